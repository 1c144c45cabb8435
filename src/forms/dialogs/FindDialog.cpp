#include "forms/dialogs/FindDialog.h"

#include "forms/dialogs/DialogStyle.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace zorim {

FindDialog::FindDialog(Platform& platform, SettingsStore& settings, QWidget* parent)
    : ModalDialog(platform, parent), settings_(settings)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Hľadať text"), 295, 120);
    GroupBox1 = dialog::groupBox(this, {8, 8, 273, 49}, QStringLiteral("Hľadaný text"), 12);
    Edit1 = dialog::edit(GroupBox1, {8, 18, 257, 22}, QString(), 12);
    Edit1->setAccessibleName(GroupBox1->title());
    Button1 = dialog::button(this, {8, 64, 185, 25}, QStringLiteral("Hľadať"), 16);
    Button2 = dialog::button(this, {200, 64, 81, 25}, QStringLiteral("Storno"), 16);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &FindDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &FindDialog::Button2Click);
    Edit1->setFocus();
}

void FindDialog::Button1Click()
{
    handOver([this] {
        settings_.writeValue(statefile::Find, Edit1->text());
    });
}

void FindDialog::Button2Click() { reject(); }

} // namespace zorim
