#pragma once
// A temporary program folder with its own copy of the project's data/, so that a test never
// touches the installed state files. Removed with the object.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zorim::test {

class ProgramFolder {
public:
    // withData false: a program folder without data/.
    explicit ProgramFolder(bool withData = true);

    QString path() const;                        // with its trailing separator
    QString dataPath(const QString& name) const; // path of a file in data/
    QString filePath(const QString& name) const; // path of a file beside data/ (documents)

    // Raw bytes of a file in data/, for checking exactly what was written.
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    void remove(const QString& name) const;
    bool exists(const QString& name) const;
    // A document beside data/; returns its path.
    QString writeDocument(const QString& name, const QByteArray& bytes) const;
    // Opens the folder, data/ and its files to other users (for the unprivileged tests).
    void openToOthers() const;

private:
    QTemporaryDir dir_;
};

} // namespace zorim::test
