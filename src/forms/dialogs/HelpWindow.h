#pragma once
// HelpWindow: the help topics. One instance, created at start-up (which shows the first topic),
// lives until the program ends and shows the topic loaded last. Each topic is a document of
// the program's own format in data/ beside the program.
#include "forms/dialogs/ModalDialog.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zorim {

class Platform;
class RichEdit;
class SettingsStore;

class HelpWindow : public ModalDialog {
    Q_OBJECT
public:
    HelpWindow(Platform& platform, SettingsStore& settings, QWidget* parent = nullptr);

    // Replaces the topic field's content with the named file of data/. A file that cannot be
    // read shows "Cannot open file" with its full path; the field keeps what it showed.
    void loadTopic(const QString& fileName);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr; // "Čo je nové v tejto verzii?"  help1
    QPushButton* Button2 = nullptr; // "Základné funkcie."           help2
    QPushButton* Button3 = nullptr; // "Vytvoriť nový dokument."     help3
    QPushButton* Button4 = nullptr; // "Otváranie dokumentu."        help4
    QPushButton* Button5 = nullptr; // "Ukladanie dokumentu."        help5
    QPushButton* Button6 = nullptr; // "Vytlačenie dokumentu."       help6
    QPushButton* Button7 = nullptr; // "Špeciálne funkcie."          help7
    QPushButton* Button9 = nullptr; // "Klávesové skratky."          help8
    QLabel* Image1 = nullptr;
    QPushButton* Button8 = nullptr; // "LICENCIA"                    licencia
    QGroupBox* GroupBox1 = nullptr; // "ZORIM"
    QLabel* Label1 = nullptr;       // version
    QLabel* Label2 = nullptr;       // release date
    RichEdit* RichEdit1 = nullptr;  // the topic

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();

private:
    SettingsStore& settings_;
};

} // namespace zorim
