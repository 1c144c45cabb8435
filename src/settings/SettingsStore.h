#pragma once
// The state files: one value per file in the state folder. That is data/ beside the
// executable while the user may write there (a copy run from its build or unpacked folder);
// an installation the user cannot write keeps each user's state in their own configuration
// folder instead. Every value is read or written whole in one call; nothing is cached, so
// every read sees the latest write, also one made by another running copy of the program.
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
    // The folder of the running executable, with the state folder chosen for it by
    // chooseStateFolder from the user's environment.
    SettingsStore();
    // Another program folder (a copy of the installed one, for tests): state in its data/.
    explicit SettingsStore(const QString& programFolder);
    // A program folder with its state kept elsewhere.
    SettingsStore(const QString& programFolder, const QString& stateFolder);

    // The program folder, with its trailing separator: the installed data (help documents,
    // pictures) is read from its data/.
    const QString& programFolder() const { return folder_; }
    // The folder of the state files, with its trailing separator.
    const QString& stateFolder() const { return stateFolder_; }
    // Full path of a state file: the state folder and the name.
    QString filePath(const QString& name) const;

    // The state folder for a program folder: its data/ when that may be written; otherwise
    // "zorim" in configHome (the user's $XDG_CONFIG_HOME, or ~/.config), created when
    // missing and seeded with the installed state files the user does not have yet. When
    // even that folder cannot be made, data/ all the same: writes then report the failure.
    static QString chooseStateFolder(const QString& programFolder, const QString& configHome);
    // The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
    // ~/.config.
    static QString userConfigHome();

    // A state file holds one short value: a longer one is refused (tooLong()), so that a
    // damaged or planted file cannot hold the program up.
    static constexpr qsizetype kMaxFileSize = 64 * 1024;
    // Throws the refusal when the file is longer than that.
    void checkSize(const QString& name) const;

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
    QString stateFolder_;
};

} // namespace zorim
