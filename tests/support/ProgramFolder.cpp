#include "ProgramFolder.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

namespace zorim::test {

ProgramFolder::ProgramFolder(bool withData)
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    if (!withData)
        return;
    const QDir source(QDir(sourceDir()).filePath(QStringLiteral("data")));
    if (!QDir().mkpath(dir_.filePath(QStringLiteral("data"))))
        throw std::runtime_error("cannot create data/");
    QDirIterator it(source.path(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = dataPath(source.relativeFilePath(from));
        QDir().mkpath(QFileInfo(to).path());
        if (!QFile::copy(from, to))
            throw std::runtime_error("cannot copy data/");
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
}

QString ProgramFolder::path() const { return dir_.path() + QLatin1Char('/'); }
QString ProgramFolder::dataPath(const QString& name) const { return path() + QStringLiteral("data/") + name; }
QString ProgramFolder::filePath(const QString& name) const { return path() + name; }

QByteArray ProgramFolder::read(const QString& name) const
{
    QFile file(dataPath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << name.toStdString();
        return {};
    }
    return file.readAll();
}

void ProgramFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(dataPath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << name.toStdString();
}

void ProgramFolder::remove(const QString& name) const { QFile::remove(dataPath(name)); }
bool ProgramFolder::exists(const QString& name) const { return QFileInfo::exists(dataPath(name)); }

QString ProgramFolder::writeDocument(const QString& name, const QByteArray& bytes) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << name.toStdString();
    return file.fileName();
}

void ProgramFolder::openToOthers() const
{
    const auto dirPerms = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir_.path(), dirPerms);
    QFile::setPermissions(dataPath(QString()), dirPerms);
}

} // namespace zorim::test
