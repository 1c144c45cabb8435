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
