#pragma once
// ClipboardViewer: the clipboard viewer. One instance, created at start-up, lives until the program
// ends, so its tab pages keep the page chosen last. Its two text fields belong to it alone;
// they are refilled from the clipboard each time the viewer is shown.
#include "forms/dialogs/ModalDialog.h"

class QGroupBox;
class QPushButton;
class QTabWidget;

namespace zorim {

class Platform;
class RichEdit;

class ClipboardViewer : public ModalDialog {
    Q_OBJECT
public:
    explicit ClipboardViewer(Platform& platform, QWidget* parent = nullptr);

    // Fills the formatted page with the clipboard as the field's paste takes it, and the
    // plain page with that text, A to Z lowered, as one line.
    void fillFromClipboard();
    // The clipboard viewer command: fills the pages and shows the window modally.
    void showClipboard();

    // Only the capitals A to Z are lowered; every other character stays as it is.
    static QString lowerAsciiCapitals(QString text);

    QGroupBox* GroupBox1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "S formátovaním"
    RichEdit* RichEdit1 = nullptr;
    QWidget* TabSheet2 = nullptr; // "Bez formátovania"
    RichEdit* RichEdit2 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"

    void Button1Click();

};

} // namespace zorim
