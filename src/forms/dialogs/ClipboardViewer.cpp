#include "forms/dialogs/ClipboardViewer.h"

#include "forms/dialogs/DialogStyle.h"
#include "richtext/editor/RichEdit.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

namespace zorim {

namespace {

RichEdit* page(QWidget* sheet)
{
    auto* field = new RichEdit(sheet, RichEdit::Kind::Simple);
    field->setGeometry(0, 1, 249, 304);
    FontDesc font = field->Font();
    font.name = QStringLiteral("Verdana");
    font.size = 9; // 12 pixels
    field->setFont(font);
    field->setVerticalScrollBar(true);
    return field;
}

} // namespace

ClipboardViewer::ClipboardViewer(Platform& platform, QWidget* parent) : ModalDialog(platform, parent)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Obsah schránky"), 295, 440);
    GroupBox1 = dialog::groupBox(this, {8, 8, 273, 369}, QStringLiteral("Obsah schránky"), 13);
    PageControl1 = new QTabWidget(GroupBox1);
    PageControl1->setGeometry(8, 24, 257, 337);
    PageControl1->setFont(dialog::verdana(11));
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("S formátovaním"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Bez formátovania"));
    RichEdit1 = page(TabSheet1);
    RichEdit2 = page(TabSheet2);
    RichEdit1->widget()->setAccessibleName(PageControl1->tabText(0));
    RichEdit2->widget()->setAccessibleName(PageControl1->tabText(1));
    PageControl1->setCurrentWidget(TabSheet1);
    Button1 = dialog::button(this, {8, 384, 273, 25}, QStringLiteral("OK"), 16);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &ClipboardViewer::Button1Click);
}

QString ClipboardViewer::lowerAsciiCapitals(QString text)
{
    for (QChar& ch : text)
        if (ch >= u'A' && ch <= u'Z')
            ch = QChar(ch.unicode() + 32);
    return text;
}

void ClipboardViewer::fillFromClipboard()
{
    RichEdit1->ClearAll();
    RichEdit1->Paste();
    RichEdit2->ClearAll();
    RichEdit2->Lines().Add(lowerAsciiCapitals(RichEdit1->Text()));
}

void ClipboardViewer::showClipboard()
{
    fillFromClipboard();
    ModalDialog::execute();
}

void ClipboardViewer::Button1Click() { accept(); }

} // namespace zorim
