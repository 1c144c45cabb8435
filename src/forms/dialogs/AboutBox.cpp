#include "forms/dialogs/AboutBox.h"

#include "forms/Artwork.h"
#include "forms/dialogs/DialogStyle.h"
#include "forms/ProgramInfo.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace zorim {

AboutBox::AboutBox(Platform& platform, QWidget* parent) : ModalDialog(platform, parent)
{
    dialog::setUpToolWindow(*this, QStringLiteral("O programe"), 305, 250);

    Bevel2 = dialog::line(this, {88, 48, 185, 3});
    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 281, 185);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(8, 8, 81, 169);
    ProgramIcon->setPixmap(artwork::programPicture(81, 169));

    QFont black(QStringLiteral("Arial Black"));
    black.setPixelSize(21);
    black.setWeight(QFont::Black);
    ProductName = dialog::label(Panel1, {96, 13, 90, 30}, QStringLiteral("ZORIM"), black);
    Version = dialog::label(Panel1, {186, 25, 60, 13}, QStringLiteral("(%1)").arg(programVersion()),
                            dialog::verdana(11, false, true));
    Label2 = dialog::label(Panel1, {96, 38, 177, 13}, QStringLiteral("Slovenský textový editor"), dialog::verdana(11, true));
    Label3 = dialog::label(Panel1, {222, 2, 53, 13}, QStringLiteral("freeware"), dialog::verdana(11, false, true));
    Label3->setAlignment(Qt::AlignRight);
    Bevel1 = dialog::line(Panel1, {96, 56, 177, 3});

    const QFont credits = dialog::verdana(11);
    dialog::label(Panel1, {96, 68, 177, 13}, QStringLiteral("Verzia ") + programVersion(), credits);
    dialog::label(Panel1, {96, 84, 177, 13}, QStringLiteral("Dátum vydania: ") + releaseDate(), credits);
    dialog::label(Panel1, {96, 108, 177, 13}, QStringLiteral("Program je voľne šíriteľný"), credits);
    dialog::label(Panel1, {96, 124, 177, 13}, QStringLiteral("a zadarmo (freeware)."), credits);
    dialog::label(Panel1, {96, 148, 177, 13}, QStringLiteral("Podrobnosti: Pomoc, LICENCIA."), credits);

    Image1 = new QLabel(Panel1);
    Image1->setGeometry(56, 0, 185, 185);
    Image1->setPixmap(artwork::hiddenPicture(185));
    Image1->hide();

    OKButton = dialog::button(this, {7, 200, 282, 21}, QStringLiteral("OK"), 16);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    // The context menu's one item is not shown; its key works while the box is active.
    contextMenu = new QMenu(this);
    Autor1 = contextMenu->addAction(QStringLiteral("Autor"));
    Autor1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    Autor1->setVisible(false);
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1), this);
    connect(key, &QShortcut::activated, this, &AboutBox::Autor1Click);
    connect(Autor1, &QAction::triggered, this, &AboutBox::Autor1Click);
}

void AboutBox::Autor1Click()
{
    Image1->show();
    Image1->raise();
}

} // namespace zorim
