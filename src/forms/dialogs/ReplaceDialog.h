#pragma once
// ReplaceDialog: replace. One instance, created at start-up, lives until the program ends; the
// fields keep their texts between showings. "Nahradiť" hands the texts to the replace command
// through the state files hladat.ini and nahradit.ini; "Storno" and the close box write
// nothing.
#include "forms/dialogs/ModalDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace zorim {

class Platform;
class SettingsStore;

class ReplaceDialog : public ModalDialog {
    Q_OBJECT
public:
    ReplaceDialog(Platform& platform, SettingsStore& settings, QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr; // the search text
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* Edit2 = nullptr; // the replacement
    QPushButton* Button1 = nullptr; // "Nahradiť"
    QPushButton* Button2 = nullptr; // "Storno"

    void Button1Click();
    void Button2Click();

private:
    SettingsStore& settings_;
};

} // namespace zorim
