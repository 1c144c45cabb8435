#pragma once
// HyperlinkDialog: the hyperlink dialog. One instance, created at start-up, lives until the program
// ends; the address field shows "http://" at first and afterwards what was typed last.
// "Vložiť" puts the field's text, exactly as typed, into the document in place of its
// selection; "Storno" and the close box insert nothing.
#include "forms/dialogs/ModalDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace zorim {

class Platform;
class RichEdit;

class HyperlinkDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit HyperlinkDialog(Platform& platform, QWidget* parent = nullptr);

    // Shows the dialog modally for the given document; "Vložiť" inserts into it.
    int execute(RichEdit& document);

    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr; // "Vložiť"
    QPushButton* Button2 = nullptr; // "Storno"

    void Button1Click();
    void Button2Click();

private:
    RichEdit* document_ = nullptr; // while shown
};

} // namespace zorim
