#include "forms/dialogs/HyperlinkDialog.h"

#include "forms/dialogs/DialogStyle.h"
#include "richtext/editor/RichEdit.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace zorim {

HyperlinkDialog::HyperlinkDialog(Platform& platform, QWidget* parent) : ModalDialog(platform, parent)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Vložiť hypertextový odkaz"), 295, 120);
    GroupBox1 = dialog::groupBox(this, {8, 8, 273, 49}, QStringLiteral("Internetová adresa"), 12);
    Edit1 = dialog::edit(GroupBox1, {8, 18, 257, 22}, QStringLiteral("http://"), 12);
    Edit1->setAccessibleName(GroupBox1->title());
    Button1 = dialog::button(this, {8, 64, 185, 25}, QStringLiteral("Vložiť"), 16);
    Button2 = dialog::button(this, {200, 64, 81, 25}, QStringLiteral("Storno"), 16);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &HyperlinkDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &HyperlinkDialog::Button2Click);
    Edit1->setFocus();
}

int HyperlinkDialog::execute(RichEdit& document)
{
    document_ = &document;
    const int result = ModalDialog::execute();
    document_ = nullptr;
    return result;
}

void HyperlinkDialog::Button1Click()
{
    if (document_)
        document_->setSelectedText(Edit1->text());
    accept();
}

void HyperlinkDialog::Button2Click() { reject(); }

} // namespace zorim
