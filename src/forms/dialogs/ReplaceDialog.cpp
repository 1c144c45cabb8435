#include "forms/dialogs/ReplaceDialog.h"

#include "forms/dialogs/DialogStyle.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace zorim {

ReplaceDialog::ReplaceDialog(Platform& platform, SettingsStore& settings, QWidget* parent)
    : ModalDialog(platform, parent), settings_(settings)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Nahradiť text"), 295, 177);
    GroupBox1 = dialog::groupBox(this, {8, 8, 273, 49}, QStringLiteral("Hľadaný text"), 12);
    Edit1 = dialog::edit(GroupBox1, {8, 18, 257, 22}, QString(), 12);
    Edit1->setAccessibleName(GroupBox1->title());
    GroupBox2 = dialog::groupBox(this, {8, 64, 273, 49}, QStringLiteral("Nahradený text"), 12);
    // The field lies over the second group box but belongs to the window.
    Edit2 = dialog::edit(this, {16, 82, 257, 22}, QString(), 12);
    Edit2->setAccessibleName(GroupBox2->title());
    Button1 = dialog::button(this, {8, 120, 185, 25}, QStringLiteral("Nahradiť"), 16);
    Button2 = dialog::button(this, {200, 120, 81, 25}, QStringLiteral("Storno"), 16);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &ReplaceDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &ReplaceDialog::Button2Click);
    Edit1->setFocus();
}

void ReplaceDialog::Button1Click()
{
    handOver([this] {
        settings_.writeValue(statefile::Find, Edit1->text());
        settings_.writeValue(statefile::Replace, Edit2->text());
    });
}

void ReplaceDialog::Button2Click() { reject(); }

} // namespace zorim
