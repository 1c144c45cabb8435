#include "TestSupport.h"

#include <QDir>

namespace zorim::test {

QString sourceDir()
{
    const QString dir = qEnvironmentVariable("ZORIM_SOURCE_DIR");
    return dir.isEmpty() ? QDir::currentPath() : dir;
}

QString sharedTestData(const QString& relative)
{
    return QDir(sourceDir()).absoluteFilePath(QStringLiteral("../shared/testdata/") + relative);
}

} // namespace zorim::test
