// The edit commands from the keys, the menu, the toolbar and the context menu, checked by
// what the document and the clipboard hold afterwards.
#include "DocumentTestSupport.h"

#include <QClipboard>

using namespace zorim;
using namespace zorim::test;

namespace {

class EditCommandsTest : public DocumentTest {
protected:
    static QString clipboard() { return QApplication::clipboard()->text(); }
};

TEST_F(EditCommandsTest, UndoAndRedoFromTheKeysTheMenuAndTheToolbar)
{
    type(QStringLiteral("Ahoj"));
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("X"));
    ASSERT_EQ(doc().Text(), QStringLiteral("X"));

    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), QStringLiteral("Ahoj"));
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), QStringLiteral("X"));

    click(form->undoButton);
    EXPECT_EQ(doc().Text(), QStringLiteral("Ahoj"));
    click(form->redoButton);
    EXPECT_EQ(doc().Text(), QStringLiteral("X"));
    choose(form->undoItem);
    EXPECT_EQ(doc().Text(), QStringLiteral("Ahoj"));
    choose(form->redoItem);
    EXPECT_EQ(doc().Text(), QStringLiteral("X"));
}

TEST_F(EditCommandsTest, CutCopyAndPasteFromTheKeysAndTheContextMenu)
{
    type(QStringLiteral("jeden dva"));
    select(0, 5);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("jeden"));
    EXPECT_EQ(doc().Text(), QStringLiteral("jeden dva"));

    press(Qt::Key_End);
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), QStringLiteral("jeden dvajeden"));

    select(6, 3);
    press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("dva"));
    EXPECT_EQ(doc().Text(), QStringLiteral("jeden jeden"));

    // The context menu's items run the toolbar's buttons.
    select(0, 5);
    choose(form->contextCopyItem);
    EXPECT_EQ(clipboard(), QStringLiteral("jeden"));
    choose(form->contextCutItem);
    EXPECT_EQ(doc().Text(), QStringLiteral(" jeden"));
    choose(form->contextPasteItem);
    EXPECT_EQ(doc().Text(), QStringLiteral("jeden jeden"));
    click(form->pasteButton);
    EXPECT_EQ(doc().Text(), QStringLiteral("jedenjeden jeden"));
}

TEST_F(EditCommandsTest, DeleteEmptiesTheWholeDocumentAsOneStepThatUndoBringsBack)
{
    type(QStringLiteral("prvé slovo"));
    press(Qt::Key_Return);
    type(QStringLiteral("druhý riadok"));
    select(0, 4);
    press(Qt::Key_B, Qt::ControlModifier);
    doc().setModified(false);
    form->document().setModified(false);
    const QString text = doc().Text();

    press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(doc().Text(), QString());
    EXPECT_TRUE(doc().Modified());
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));

    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().Text(), text);
    EXPECT_EQ(styleAt(0) & fs::Bold, fs::Bold);
    EXPECT_EQ(styleAt(5) & fs::Bold, 0);

    // Nothing selected: the same.
    press(Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(doc().SelectionLength(), 0);
    press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(doc().Text(), QString());
    EXPECT_EQ(platform.questions(), QStringList());
}

TEST_F(EditCommandsTest, SelectAllSelectsTheWholeDocument)
{
    type(QStringLiteral("raz"));
    press(Qt::Key_Return);
    type(QStringLiteral("dva"));
    press(Qt::Key_Home, Qt::ControlModifier);
    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(doc().SelectionStart(), 0);
    EXPECT_EQ(doc().SelectionLength(), doc().TextLength());
    choose(form->selectAllItem);
    EXPECT_EQ(doc().SelectionLength(), doc().TextLength());
    type(QStringLiteral("nové"));
    EXPECT_EQ(doc().Text(), QStringLiteral("nové"));
}

} // namespace
