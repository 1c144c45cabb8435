#include "forms/dialogs/PageSetupDialog.h"

#include "forms/Artwork.h"
#include "forms/dialogs/DialogStyle.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace zorim {

PageGeometry pageGeometry(PageSize size, bool landscape)
{
    switch (size) {
    case PageSize::A6:
        return landscape ? PageGeometry{660, 75, 510} : PageGeometry{660, 157, 345};
    case PageSize::A5:
        return landscape ? PageGeometry{714, 8, 690} : PageGeometry{660, 75, 510};
    case PageSize::A4:
        return PageGeometry{660, 8, 636};
    case PageSize::A3:
        return PageGeometry{800, 8, 777};
    }
    return PageGeometry{660, 8, 636};
}

QSize paperTwips(PageSize size)
{
    switch (size) {
    case PageSize::A6:
        return {5953, 8391};
    case PageSize::A5:
        return {8391, 11906};
    case PageSize::A4:
        return {11906, 16838};
    case PageSize::A3:
        return {16838, 23811};
    }
    return {11906, 16838};
}

PageSetupDialog::PageSetupDialog(Platform& platform, SettingsStore& settings, QWidget* parent)
    : ModalDialog(platform, parent), settings_(settings)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Nastavenie programu"), 190, 320);
    const QFont regular = dialog::verdana(13);

    GroupBox1 = dialog::groupBox(this, {8, 8, 169, 145}, QStringLiteral("Veľkosť stránky "), 13);
    Label4 = dialog::label(GroupBox1, {64, 24, 99, 16}, QStringLiteral("10,5 x 14,8 cm"), regular);
    Label1 = dialog::label(GroupBox1, {64, 56, 86, 16}, QStringLiteral("14,8 x 21 cm"), regular);
    Label2 = dialog::label(GroupBox1, {64, 88, 86, 16}, QStringLiteral("21 x 29,7 cm"), regular);
    Label3 = dialog::label(GroupBox1, {64, 120, 86, 16}, QStringLiteral("29,7 x 42 cm"), regular);
    RadioButton4 = dialog::radio(GroupBox1, {8, 24, 48, 17}, QStringLiteral("A6"), 13);
    RadioButton3 = dialog::radio(GroupBox1, {8, 56, 48, 17}, QStringLiteral("A5"), 13);
    RadioButton1 = dialog::radio(GroupBox1, {8, 88, 48, 17}, QStringLiteral("A4"), 13);
    RadioButton2 = dialog::radio(GroupBox1, {8, 120, 48, 17}, QStringLiteral("A3"), 13);
    RadioButton1->setChecked(true);

    GroupBox2 = dialog::groupBox(this, {8, 168, 169, 81}, QStringLiteral("Poloha stránky"), 13);
    RadioButton8 = dialog::radio(GroupBox2, {8, 24, 97, 17}, QStringLiteral("na výšku"), 13);
    RadioButton7 = dialog::radio(GroupBox2, {8, 56, 89, 17}, QStringLiteral("na šírku"), 13);
    RadioButton8->setChecked(true);
    Image1 = new QLabel(GroupBox2);
    Image1->setGeometry(112, 24, 49, 49);
    Image1->setPixmap(artwork::sheetPicture(false, 49));

    Button1 = dialog::button(this, {8, 256, 81, 33}, QStringLiteral("OK"), 16);
    Button2 = dialog::button(this, {96, 256, 81, 33}, QStringLiteral("Storno"), 15);
    Button1->setDefault(true);

    connect(RadioButton7, &QRadioButton::clicked, this, &PageSetupDialog::RadioButton7Click);
    connect(RadioButton8, &QRadioButton::clicked, this, &PageSetupDialog::RadioButton8Click);
    connect(Button1, &QPushButton::clicked, this, &PageSetupDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &PageSetupDialog::Button2Click);
}

void PageSetupDialog::showPicture(const QString& name)
{
    const QString path = settings_.programFolder() + QStringLiteral("data/") + name;
    // Only a plain file is read: a pipe or a device would never end the read.
    QImageReader reader(path);
    QImage picture;
    if (QFileInfo(path).isFile())
        picture = reader.read();
    if (picture.isNull()) {
        platform_.error(this, dialog::cannotOpenFile(path)); // the picture stays as it was
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture.scaled(49, 49, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PageSetupDialog::RadioButton7Click() { showPicture(QStringLiteral("sirka.bmp")); }
void PageSetupDialog::RadioButton8Click() { showPicture(QStringLiteral("vyska.bmp")); }

void PageSetupDialog::apply(PageSize size, bool landscape, bool setWidth)
{
    const PageGeometry g = pageGeometry(size, landscape);
    if (setWidth && target_.windowWidth)
        target_.windowWidth(g.windowWidth);
    if (target_.editorLeft)
        target_.editorLeft(g.editorLeft);
    if (target_.editorWidth)
        target_.editorWidth(g.editorWidth);
}

void PageSetupDialog::A6() { apply(PageSize::A6, false); }
void PageSetupDialog::A5() { apply(PageSize::A5, false); }
void PageSetupDialog::A4() { apply(PageSize::A4, false); }
void PageSetupDialog::A3() { apply(PageSize::A3, false); }
void PageSetupDialog::A6b() { apply(PageSize::A6, true); }
void PageSetupDialog::A5b() { apply(PageSize::A5, true); }
// A4 landscape keeps the window width the portrait routine set.
void PageSetupDialog::A4b() { apply(PageSize::A4, true, false); }
void PageSetupDialog::A3b() { apply(PageSize::A3, true); }

void PageSetupDialog::Sirka()
{
    if (RadioButton4->isChecked())
        A6b();
    if (RadioButton1->isChecked())
        A4b();
    if (RadioButton3->isChecked())
        A5b();
    if (RadioButton2->isChecked())
        A3b();
}

void PageSetupDialog::Button1Click()
{
    if (RadioButton4->isChecked())
        A6();
    if (RadioButton1->isChecked())
        A4();
    if (RadioButton3->isChecked())
        A5();
    if (RadioButton2->isChecked())
        A3();
    if (RadioButton7->isChecked())
        Sirka();
    setSectionPaper();
    accept();
}

void PageSetupDialog::Button2Click() { reject(); }

namespace {

constexpr PageSize kSizes[] = {PageSize::A6, PageSize::A5, PageSize::A4, PageSize::A3};

} // namespace

void PageSetupDialog::setTarget(PageTarget target)
{
    target_ = std::move(target);
    if (!target_.page)
        return;
    const PageSetup page = target_.page();
    if (page == shown_)
        return;
    shown_ = page;
    QRadioButton* const buttons[] = {RadioButton4, RadioButton3, RadioButton1, RadioButton2};
    const int shorter = std::min(page.paperWidth, page.paperHeight), longer = std::max(page.paperWidth, page.paperHeight);
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        // A size read from a file may be a twip off the one we write.
        const QSize paper = paperTwips(kSizes[i]);
        if (page.statesPaper() && std::abs(paper.width() - shorter) <= 20 && std::abs(paper.height() - longer) <= 20) {
            const bool landscape = page.landscape || page.paperWidth > page.paperHeight;
            buttons[i]->setChecked(true);
            (landscape ? RadioButton7 : RadioButton8)->setChecked(true);
            Image1->setPixmap(artwork::sheetPicture(landscape, 49));
        }
    }
}

void PageSetupDialog::setSectionPaper()
{
    if (!target_.page || !target_.setPage)
        return;
    QRadioButton* const buttons[] = {RadioButton4, RadioButton3, RadioButton1, RadioButton2};
    PageSetup page = target_.page(); // its margins stay
    for (size_t i = 0; i < std::size(kSizes); ++i) {
        if (!buttons[i]->isChecked())
            continue;
        const QSize paper = paperTwips(kSizes[i]);
        page.landscape = RadioButton7->isChecked();
        page.paperWidth = page.landscape ? paper.height() : paper.width();
        page.paperHeight = page.landscape ? paper.width() : paper.height();
    }
    target_.setPage(page);
    shown_ = page;
}

} // namespace zorim
