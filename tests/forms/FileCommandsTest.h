#pragma once
// The window for the file command tests: the messages they expect, a rich text document and
// what it reads as, and the fixture with its clock, file and save helpers.
#include "ShownWindowTest.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QFile>

namespace zorim::test {

const QString kQuestion = QStringLiteral("Chcete uložiť rozpísaný dokument?");
const QString kSaved = QStringLiteral("Dokument bol uložený!");
const QByteArray kRtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
                        "\\f0\\fs24 Dobr\\'fd {\\b de\\'f2}\\par Druh\\'fd riadok}";
const QString kRtfText = QStringLiteral("Dobrý deň\r\nDruhý riadok");

class FileCommandsTest : public ShownWindowTest {
protected:
    // Moves the clock on, so that a refresh of the date and time panels shows.
    void laterClock() { platform.clock = QDateTime(QDate(2025, 1, 2), QTime(10, 11, 12)); }
    void expectLaterDateAndTime() const
    {
        EXPECT_EQ(panel(*form, 4), QStringLiteral("Dátum: 2.1.2025"));
        EXPECT_EQ(panel(*form, 5), QStringLiteral("Čas: 10:11:12"));
    }
    void expectEarlierDateAndTime() const { EXPECT_NE(panel(*form, 5), QStringLiteral("Čas: 10:11:12")); }
    QByteArray document(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // Saves the typed document under a name, as the user does, and forgets what was shown.
    QString saveUnder(const QString& name)
    {
        const QString path = folder.filePath(name);
        platform.answerSaveFile(path);
        form->saveAsItem->trigger();
        platform.clearShown();
        return path;
    }
    QString text() const { return form->RichEdit1->Text(); }
};

} // namespace zorim::test
