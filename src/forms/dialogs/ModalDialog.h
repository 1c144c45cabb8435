#pragma once
// What the dialog windows share: they are shown modally through the platform, and those that
// hand a value to a command write it to a state file when the user confirms.
#include <QDialog>

#include <functional>

namespace zorim {

class Platform;
class SettingsStore;

class ModalDialog : public QDialog {
public:
    explicit ModalDialog(Platform& platform, QWidget* parent = nullptr) : QDialog(parent), platform_(platform) {}

    // Shows the dialog modally; returns when it is closed, however it was closed.
    int execute();

protected:
    // The confirm button of a dialog that hands its values over through state files: write
    // writes them, then the dialog closes. A write that fails shows its error and the dialog
    // stays open.
    void handOver(const std::function<void()>& write);

    Platform& platform_;
};

} // namespace zorim
