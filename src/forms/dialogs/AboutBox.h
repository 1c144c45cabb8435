#pragma once
// AboutBox: the about box. One instance, created at start-up, lives until the program ends.
// Ctrl+F1 while it is active reveals its hidden picture for the rest of the run.
#include "forms/dialogs/ModalDialog.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;

namespace zorim {

class Platform;

class AboutBox : public ModalDialog {
    Q_OBJECT
public:
    explicit AboutBox(Platform& platform, QWidget* parent = nullptr);

    QFrame* Bevel2 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Label2 = nullptr; // the description
    QLabel* Label3 = nullptr; // "freeware"
    QFrame* Bevel1 = nullptr;
    QLabel* Image1 = nullptr; // the hidden picture
    QPushButton* OKButton = nullptr;
    QMenu* contextMenu = nullptr;
    QAction* Autor1 = nullptr; // "Autor", Ctrl+F1, not shown in the menu

    void Autor1Click();

private:
};

} // namespace zorim
