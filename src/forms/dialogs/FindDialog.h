#pragma once
// FindDialog: find. One instance, created at start-up, lives until the program ends; the field
// keeps its text between showings. "Hľadať" hands the text to the find command through the
// state file hladat.ini; "Storno" and the close box write nothing.
#include "forms/dialogs/ModalDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace zorim {

class Platform;
class SettingsStore;

class FindDialog : public ModalDialog {
    Q_OBJECT
public:
    FindDialog(Platform& platform, SettingsStore& settings, QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr; // "Hľadať"
    QPushButton* Button2 = nullptr; // "Storno"

    void Button1Click();
    void Button2Click();

private:
    SettingsStore& settings_;
};

} // namespace zorim
