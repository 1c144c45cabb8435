#include "forms/dialogs/StatisticsDialog.h"

#include "forms/dialogs/DialogStyle.h"
#include "richtext/editor/DocumentStatistics.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace zorim {

StatisticsDialog::StatisticsDialog(Platform& platform, QWidget* parent) : ModalDialog(platform, parent)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Štatistika dokumentu"), 255, 220);
    GroupBox1 = dialog::groupBox(this, {8, 8, 233, 145}, QStringLiteral("Štatistika dokumentu"), 13);
    const QFont regular = dialog::verdana(13);
    // The values are wider than the layout's 8 pixels once they have several digits; they
    // reach to the right end of the lines.
    Label1 = dialog::label(GroupBox1, {24, 24, 95, 16}, QStringLiteral("Počet znakov:"), regular);
    Label2 = dialog::label(GroupBox1, {144, 24, 65, 16}, QStringLiteral("0"), regular);
    Bevel1 = dialog::line(GroupBox1, {24, 48, 185, 2});
    Label3 = dialog::label(GroupBox1, {24, 56, 75, 16}, QStringLiteral("Počet slov:"), regular);
    Label4 = dialog::label(GroupBox1, {144, 56, 65, 16}, QStringLiteral("0"), regular);
    Bevel2 = dialog::line(GroupBox1, {24, 80, 185, 2});
    Label5 = dialog::label(GroupBox1, {24, 88, 96, 16}, QStringLiteral("Počet riadkov:"), regular);
    Label6 = dialog::label(GroupBox1, {144, 88, 65, 16}, QStringLiteral("0"), regular);
    Bevel3 = dialog::line(GroupBox1, {24, 112, 185, 2});
    Label7 = dialog::label(GroupBox1, {24, 120, 99, 16}, QStringLiteral("Počet medzier:"), regular);
    Label8 = dialog::label(GroupBox1, {144, 120, 65, 16}, QStringLiteral("0"), regular);
    Button1 = dialog::button(this, {8, 160, 233, 25}, QStringLiteral("OK"), 16);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &StatisticsDialog::Button1Click);
}

void StatisticsDialog::fill(const DocumentStatistics& counts)
{
    Label2->setText(QString::number(counts.characters));
    Label4->setText(QString::number(counts.words));
    Label6->setText(QString::number(counts.lines));
    Label8->setText(QString::number(counts.blanks));
}

void StatisticsDialog::showFor(RichEdit& document)
{
    fill(countDocument(document));
    ModalDialog::execute();
}

void StatisticsDialog::Button1Click() { accept(); }

} // namespace zorim
