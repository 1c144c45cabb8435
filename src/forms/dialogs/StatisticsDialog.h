#pragma once
// StatisticsDialog: document statistics. One instance, created at start-up, lives until the program
// ends. The statistics command counts the document and shows the counts here.
#include "forms/dialogs/ModalDialog.h"

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zorim {

class Platform;
class RichEdit;
struct DocumentStatistics;

class StatisticsDialog : public ModalDialog {
    Q_OBJECT
public:
    explicit StatisticsDialog(Platform& platform, QWidget* parent = nullptr);

    // Writes the counts into the value fields: characters, words, lines, blanks.
    void fill(const DocumentStatistics& counts);
    // The statistics command: counts the document, fills the window and shows it modally.
    void showFor(RichEdit& document);

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr; // characters
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr; // words
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr; // lines
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr; // blanks
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"

    void Button1Click();

};

} // namespace zorim
