#include "forms/commands/DesktopCalculator.h"

#include "platform/Platform.h"

#include <QStandardPaths>

namespace zorim {

const QStringList& calculatorPrograms()
{
    static const QStringList programs = {
        QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),         QStringLiteral("galculator"),
        QStringLiteral("mate-calc"),        QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc"),
    };
    return programs;
}

void Kakulaka(Platform& platform, const QStringList& searchPath)
{
    for (const QString& name : calculatorPrograms()) {
        const QString program = QStandardPaths::findExecutable(name, searchPath);
        if (!program.isEmpty()) {
            platform.startDetached(program, {}); // whether it started is not looked at
            return;
        }
    }
}

} // namespace zorim
