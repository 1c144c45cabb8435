// What a screen reader finds walking the windows through Qt's accessibility interfaces: every
// button, box and text field named, the document named "Dokument", nothing hidden exposed.
#include "FormsTestSupport.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/FindDialog.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "forms/dialogs/ObjectDialogs.h"
#include "forms/dialogs/ReplaceDialog.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QMenu>
#include <QToolBar>
#include <QtTest/QTest>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

#include <functional>

using namespace zorim;
using namespace zorim::test;

namespace {

// Every interface under the given one, depth first, as an assistive technology walks them.
void walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit)
{
    if (!node)
        return;
    visit(node);
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), visit);
}

// The names of the window's fields, buttons and boxes, by the widget each belongs to.
std::map<QObject*, QString> namedControls(QWidget* window)
{
    std::map<QObject*, QString> names;
    walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* node) {
        QObject* o = node->object();
        if (qobject_cast<QToolButton*>(o) || qobject_cast<QComboBox*>(o) || qobject_cast<QLineEdit*>(o)
            || qobject_cast<QTextEdit*>(o) || qobject_cast<QPlainTextEdit*>(o) || qobject_cast<QAbstractSpinBox*>(o))
            names[o] = node->text(QAccessible::Name);
    });
    return names;
}

class AccessibilityTest : public MainWindowTest {};

TEST_F(AccessibilityTest, ScreenReadersFindEveryControlNamedAndNothingHidden)
{
    auto form = start();
    form->show();
    const std::map<QObject*, QString> names = namedControls(form.get());

    int buttons = 0;
    for (const auto& [control, name] : names) {
        if (control->objectName().startsWith(QLatin1String("SpeedButton")))
            ++buttons;
        EXPECT_FALSE(name.isEmpty()) << control->metaObject()->className() << " " << control->objectName().toStdString();
        EXPECT_FALSE(name.contains(QLatin1Char('&'))) << name.toStdString();
    }
    EXPECT_EQ(buttons, 30);
    const auto nameOf = [&](QObject* o) { return names.count(o) ? names.at(o) : QStringLiteral("(not exposed)"); };
    EXPECT_EQ(nameOf(form->boldButton), QStringLiteral("Tučné"));
    EXPECT_EQ(nameOf(form->objectButton), QStringLiteral("Objekt")); // no hint: its menu item's caption
    EXPECT_EQ(nameOf(form->fontSizeBox), QStringLiteral("Veľkosť"));
    EXPECT_EQ(nameOf(form->fontNameBox), QStringLiteral("Písmo"));
    EXPECT_EQ(nameOf(form->RichEdit1->widget()), QStringLiteral("Dokument"));
    // The scratch buffers are in no window's tree.
    EXPECT_EQ(names.count(form->RichEdit2->widget()) + names.count(form->RichEdit3->widget()), 0u);
    walk(QAccessible::queryAccessibleInterface(qApp), [&](QAccessibleInterface* node) {
        EXPECT_FALSE(node->object() == form->RichEdit2->widget() || node->object() == form->RichEdit3->widget());
    });

    // The dialogs' text fields carry the names of the captions they stand under.
    FindDialog find(platform, settings);
    ReplaceDialog replace(platform, settings);
    HyperlinkDialog hyperlink(platform);
    GoToLineDialog goToLine(platform, settings);
    HelpWindow help(platform, settings);
    ClipboardViewer clipboard(platform);
    InsertObjectDialog insertObject(platform);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&find, &replace, &hyperlink, &goToLine, &help, &clipboard, &insertObject}) {
        const std::map<QObject*, QString> fields = namedControls(dialog);
        EXPECT_FALSE(fields.empty()) << dialog->windowTitle().toStdString();
        for (const auto& [field, name] : fields)
            EXPECT_FALSE(name.isEmpty()) << dialog->windowTitle().toStdString() << " " << field->metaObject()->className();
    }
    EXPECT_EQ(namedControls(&replace).at(replace.Edit2), QStringLiteral("Nahradený text"));
}

} // namespace

// The six toolbars carry the names of their entries in the tool bar area's menu; the context
// menu opens from the keyboard (menu key, Shift+F10) at the caret through the standard popup,
// its items named without access letters; the document reads hidden text and comments as
// nothing that is spoken, at the document's own positions.
TEST_F(AccessibilityTest, ToolbarsAreNamedTheContextMenuOpensByKeyAndHiddenTextReadsAsNothing)
{
    auto form = start();
    form->show();
    const std::pair<QToolBar*, const char*> bars[] = {
        {form->ToolBar1, "Základné funkcie"}, {form->ToolBar4, "Hladanie"}, {form->ToolBar5, "Vkladanie"},
        {form->ToolBar6, "Nápoveda"},         {form->ToolBar2, "Nastavenie písma"}, {form->ToolBar3, "Indexy"}};
    for (const auto& [bar, name] : bars) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(bar);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->role(), QAccessible::ToolBar);
        EXPECT_EQ(node->text(QAccessible::Name), QString::fromUtf8(name));
    }

    QByteArray rtf = "{\\rtf1\\ansi Ahoj{\\v skryte} svet{\\*\\atnid JN}\\chatn{\\*\\annotation pozn} koniec\\par}";
    QBuffer stream(&rtf);
    stream.open(QIODevice::ReadOnly);
    form->RichEdit1->setStreamFormat(StreamFormat::RichText);
    form->RichEdit1->LoadStream(stream);
    QTextEdit* editor = form->RichEdit1->widget();
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(editor)->textInterface();
    ASSERT_NE(text, nullptr);
    const QString read = text->text(0, text->characterCount());
    EXPECT_EQ(read, QStringLiteral("Ahoj\u2060 svet\u2060 koniec")) << read.toStdString();
    EXPECT_EQ(text->characterCount(), form->RichEdit1->TextLength());
    int start = 0, end = 0;
    EXPECT_EQ(text->textAtOffset(1, QAccessible::WordBoundary, &start, &end).remove(QChar(0x2060)), QStringLiteral("Ahoj"));

    editor->setFocus();
    form->RichEdit1->setSelectionStart(7);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QTest::keyClick(editor, key, modifiers);
        ASSERT_EQ(QApplication::activePopupWidget(), form->contextMenu) << key;
        EXPECT_EQ(form->contextMenuPosition(), 7);
        // It starts on its first item that can be chosen, which a screen reader then reads.
        ASSERT_NE(form->contextMenu->activeAction(), nullptr);
        EXPECT_TRUE(form->contextMenu->activeAction()->isEnabled());
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form->contextMenu);
        EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
        QStringList items;
        for (int i = 0; i < menu->childCount(); ++i)
            if (menu->child(i)->role() == QAccessible::MenuItem && !menu->child(i)->state().invisible)
                items << menu->child(i)->text(QAccessible::Name).section(u'\t', 0, 0); // the key follows a tab
        EXPECT_TRUE(items.contains(QStringLiteral("Kopírovať"))) << items.join(u',').toStdString();
        for (const QString& item : items)
            EXPECT_FALSE(item.contains(u'&')) << item.toStdString();
        form->contextMenu->hide();
    }
}
