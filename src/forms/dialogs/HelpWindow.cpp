#include "forms/dialogs/HelpWindow.h"

#include "forms/Artwork.h"
#include "forms/dialogs/DialogStyle.h"
#include "forms/Errors.h"
#include "forms/ProgramInfo.h"
#include "platform/Platform.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace zorim {

HelpWindow::HelpWindow(Platform& platform, SettingsStore& settings, QWidget* parent)
    : ModalDialog(platform, parent), settings_(settings)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Ako pracovať s programom?"), 570, 540);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 8, 169, 41);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->document()->setDocumentMargin(0);
    Memo1->setFont(dialog::verdana(11, true));
    QPalette menu = Memo1->palette();
    menu.setColor(QPalette::Base, palette().color(QPalette::Window));
    Memo1->setPalette(menu);
    Memo1->setPlainText(QStringLiteral("Vyberte si prosím jednu \nz ponúkaných tém a \ndozviete sa viac..."));
    Memo1->setAccessibleName(Memo1->toPlainText().simplified());

    auto topic = [this](int top, const QString& caption, void (HelpWindow::*handler)()) {
        QPushButton* b = dialog::button(this, {8, top, 169, 25}, caption, 11);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Button1 = topic(64, QStringLiteral("Čo je nové v tejto verzii?"), &HelpWindow::Button1Click);
    Button2 = topic(96, QStringLiteral("Základné funkcie."), &HelpWindow::Button2Click);
    Button3 = topic(128, QStringLiteral("Vytvoriť nový dokument."), &HelpWindow::Button3Click);
    Button4 = topic(160, QStringLiteral("Otváranie dokumentu."), &HelpWindow::Button4Click);
    Button5 = topic(192, QStringLiteral("Ukladanie dokumentu."), &HelpWindow::Button5Click);
    Button6 = topic(224, QStringLiteral("Vytlačenie dokumentu."), &HelpWindow::Button6Click);
    Button7 = topic(256, QStringLiteral("Špeciálne funkcie."), &HelpWindow::Button7Click);
    Button9 = topic(288, QStringLiteral("Klávesové skratky."), &HelpWindow::Button9Click);
    Button1->setDefault(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(8, 325, 169, 81);
    Image1->setPixmap(artwork::helpPicture(169, 81));

    Button8 = topic(416, QStringLiteral("LICENCIA"), &HelpWindow::Button8Click);

    GroupBox1 = dialog::groupBox(this, {8, 448, 169, 57}, QStringLiteral("ZORIM"), 13);
    const QFont small = dialog::verdana(11);
    Label1 = dialog::label(GroupBox1, {4, 22, 160, 13}, QStringLiteral("Verzia: ") + programVersion(), small);
    Label1->setAlignment(Qt::AlignHCenter);
    Label2 = dialog::label(GroupBox1, {4, 37, 160, 13}, QStringLiteral("Dátum vydania: ") + releaseDate(), small);
    Label2->setAlignment(Qt::AlignHCenter);

    RichEdit1 = new RichEdit(this, RichEdit::Kind::Simple);
    RichEdit1->setGeometry(184, 8, 369, 497);
    RichEdit1->setVerticalScrollBar(true);
    RichEdit1->widget()->setAccessibleName(windowTitle());

    loadTopic(QStringLiteral("help1.zrm"));
}

void HelpWindow::loadTopic(const QString& fileName)
{
    try {
        RichEdit1->Lines().LoadFile(settings_.programFolder() + QStringLiteral("data/") + fileName);
    } catch (const std::exception& error) {
        platform_.error(this, errorMessage(error));
    }
}

void HelpWindow::Button1Click() { loadTopic(QStringLiteral("help1.zrm")); }
void HelpWindow::Button2Click() { loadTopic(QStringLiteral("help2.zrm")); }
void HelpWindow::Button3Click() { loadTopic(QStringLiteral("help3.zrm")); }
void HelpWindow::Button4Click() { loadTopic(QStringLiteral("help4.zrm")); }
void HelpWindow::Button5Click() { loadTopic(QStringLiteral("help5.zrm")); }
void HelpWindow::Button6Click() { loadTopic(QStringLiteral("help6.zrm")); }
void HelpWindow::Button7Click() { loadTopic(QStringLiteral("help7.zrm")); }
// The licence has the eighth button, the keyboard shortcuts the ninth.
void HelpWindow::Button8Click() { loadTopic(QStringLiteral("licencia.zrm")); }
void HelpWindow::Button9Click() { loadTopic(QStringLiteral("help8.zrm")); }

} // namespace zorim
