#pragma once
// The state files: one value per file in the folder data/ beside the executable. Every value
// is read or written whole in one call; nothing is cached, so every read sees the latest
// write, also one made by another running copy of the program.
#include <QString>

#include <stdexcept>

namespace zorim {

// A failed open, read, write or close of a state file. message() is what the user is shown.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The user's message for a system error number (errno) of a state file operation.
QString ioErrorMessage(int error);

class SettingsStore {
public:
    // The folder of the running executable.
    SettingsStore();
    // Another program folder (a copy of the installed one, for tests).
    explicit SettingsStore(const QString& programFolder);

    // The program folder, with its trailing separator.
    const QString& programFolder() const { return folder_; }
    // Full path of a state file: the program folder, "data", the name.
    QString filePath(const QString& name) const;

    // The first line of the file (up to CR, LF or the end), Windows-1250.
    QString readValue(const QString& name) const;
    // The first line as a decimal integer, leading blanks skipped.
    int readInteger(const QString& name) const;
    // Replaces the file's content with the value and no line end. The file is replaced whole
    // or not at all: the value goes to a new file beside it, which then takes its name.
    void writeValue(const QString& name, const QString& value) const;
    void writeInteger(const QString& name, int value) const;

private:
    QString folder_;
};

} // namespace zorim
