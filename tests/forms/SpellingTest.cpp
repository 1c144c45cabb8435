// Spelling in the window: the switch in the tools menu and its state file, the corrections the
// context menu offers over a misspelled word, with the real Slovak dictionary (the test
// program keeps Enchant's word lists in a folder of its own).
#include "FormsTestSupport.h"
#include "richtext/spelling/SpellCheck.h"
#include "richtext/spelling/Speller.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

using namespace zorim;
using namespace zorim::test;

namespace {

class SpellingTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        form->show();
        ASSERT_EQ(form->RichEdit1->spelling().availability(), SpellCheck::Availability::Ready)
            << "install hunspell-sk and libenchant-2-2";
    }
    // Opens the context menu with the mouse over document position pos; answers the entries
    // shown before the menu's own first one.
    QStringList openMenuAt(int pos)
    {
        form->RichEdit1->setSelectionStart(pos);
        QTextEdit* view = form->RichEdit1->widget();
        emit view->customContextMenuRequested(view->cursorRect().center());
        QStringList shown;
        for (const QAction* a : form->contextMenu->actions()) {
            if (a == form->contextCutItem)
                break;
            if (a->isVisible())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        form->contextMenu->hide();
        return shown;
    }
    bool marked() { return !form->RichEdit1->spelling().misspellings().isEmpty(); }

    std::unique_ptr<MainWindow> form;
};

} // namespace

TEST_F(SpellingTest, TheStateFileSwitchesTheMarks)
{
    // None yet: on.
    EXPECT_TRUE(form->spellCheckItem->isEnabled());
    EXPECT_TRUE(form->spellCheckItem->isChecked());
    typeText(form->RichEdit1->widget(), QString::fromUtf8("Toto je chibné slovo"));
    EXPECT_TRUE(marked());
    form->spellCheckItem->trigger();
    EXPECT_FALSE(form->spellCheckItem->isChecked());
    EXPECT_FALSE(marked());
    EXPECT_EQ(folder.read("pravopis.ini"), "0");
    form.reset();
    form = start();
    EXPECT_FALSE(form->spellCheckItem->isChecked());
    EXPECT_FALSE(form->RichEdit1->spelling().enabled());
    folder.write("pravopis.ini", "1");
    form.reset();
    form = start();
    EXPECT_TRUE(form->spellCheckItem->isChecked());
    EXPECT_TRUE(form->RichEdit1->spelling().enabled());
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(SpellingTest, TheContextMenuOffersCorrectionsOfTheWordUnderTheMouse)
{
    typeText(form->RichEdit1->widget(), QString::fromUtf8("Toto je chibné slovo"));
    EXPECT_EQ(openMenuAt(2), QStringList());
    const QStringList offered = openMenuAt(10);
    ASSERT_GE(offered.size(), 4);
    EXPECT_LE(offered.size(), 8);
    EXPECT_EQ(offered[0], QString::fromUtf8("chybné"));
    EXPECT_EQ(offered.mid(offered.size() - 3), QStringList({QString::fromUtf8("Pridať do slovníka"),
                                                             QString::fromUtf8("Ignorovať"), "-"}));
    form->suggestion1Item->trigger();
    EXPECT_EQ(form->RichEdit1->Text(), QString::fromUtf8("Toto je chybné slovo"));
    EXPECT_FALSE(marked());
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->RichEdit1->Text(), QString::fromUtf8("Toto je chibné slovo"));
    // Ignoring takes the mark away for the run.
    openMenuAt(10);
    form->ignoreWordItem->trigger();
    EXPECT_FALSE(marked());
    EXPECT_EQ(openMenuAt(10), QStringList());
}

TEST_F(SpellingTest, WithoutADictionaryTheItemIsGreyedNamingThePackage)
{
    static Speller missing("libzorim-no-such-enchant.so"); // outlives the window
    form->RichEdit1->spelling().useSpeller(missing);
    form->commands().spelling.restoreSpellCheck();
    EXPECT_FALSE(form->spellCheckItem->isEnabled());
    EXPECT_FALSE(form->spellCheckItem->isChecked());
    EXPECT_TRUE(form->spellCheckItem->toolTip().contains("libenchant-2-2"));
    typeText(form->RichEdit1->widget(), QString::fromUtf8("Toto je chibné slovo"));
    EXPECT_FALSE(marked());
    EXPECT_FALSE(folder.exists("pravopis.ini"));
}
