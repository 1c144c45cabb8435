// Find, find next, replace and go to line on the document control.
#include "QStringPrinter.h"
#include "richtext/editor/DocumentSearch.h"
#include "richtext/editor/RichEdit.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zorim;

namespace {

struct SearchTest : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
    }
    void select(int start, int length)
    {
        edit.setSelectionStart(start);
        edit.setSelectionLength(length);
    }
    std::pair<int, int> selection() const { return {edit.SelectionStart(), edit.SelectionLength()}; }
};

// Replace as the loop of searches and single replacements that the command stands for: each
// search starts right after the text the previous replacement brought in.
void replaceOneByOne(RichEdit& edit, const QString& text, const QString& replacement)
{
    int start = 0;
    for (;;) {
        const int at = edit.SearchText(text, start, edit.TextLength() - start, so::MatchCase);
        if (at < 0 || text.isEmpty())
            return;
        edit.setSelectionStart(at);
        edit.setSelectionLength(int(text.size()));
        edit.DeleteSelection();
        edit.setSelectedText(replacement);
        start = at + int(replacement.size());
    }
}

} // namespace

TEST_F(SearchTest, FindSelectsTheFirstMatchAndFindNextWalksOnThenStartsAgainAtTheTop)
{
    edit.setText("abc abc abc");
    select(10, 0);
    FindInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    FindNextInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(4, 3));
    FindNextInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(8, 3));
    FindNextInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    // Find starts at the top again, wherever the selection is.
    select(5, 0);
    FindInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(0, 3));
    // Find next starts after the caret when nothing is selected.
    select(5, 0);
    FindNextInDocument(edit, "abc");
    EXPECT_EQ(selection(), std::make_pair(8, 3));
}

TEST_F(SearchTest, FindNextStartsAfterTheSelectionSoOverlappingMatchesAreSkipped)
{
    edit.setText("aaa");
    FindInDocument(edit, "aa");
    EXPECT_EQ(selection(), std::make_pair(0, 2));
    FindNextInDocument(edit, "aa"); // nothing after position 2: the top again
    EXPECT_EQ(selection(), std::make_pair(0, 2));
}

TEST_F(SearchTest, NoMatchCaseMismatchAndEmptyTextLeaveTheSelectionAsItWas)
{
    edit.setText("abc abc");
    for (const QString& text : {QStringLiteral("Abc"), QStringLiteral("xyz"), QString()}) {
        select(2, 3);
        FindInDocument(edit, text);
        EXPECT_EQ(selection(), std::make_pair(2, 3)) << text.toStdString();
        FindNextInDocument(edit, text);
        EXPECT_EQ(selection(), std::make_pair(2, 3)) << text.toStdString();
    }
}

TEST_F(SearchTest, ReplaceChangesEveryMatchNeverSearchesInsertedTextAndSelectsTheLastReplacement)
{
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* result;
        std::pair<int, int> selected;
    };
    const Case cases[] = {
        {"abab", "ab", "xyz", "xyzxyz", {3, 3}},
        {"a a", "a", "aa", "aa aa", {3, 2}},
        {"abcabc", "abc", "", "", {0, 0}},
        {"aaaa", "aa", "a", "aa", {1, 1}},
        {"Dobrý deň, dobrý deň", "dobrý", "pekný", "Dobrý deň, pekný deň", {11, 5}},
    };
    for (const Case& c : cases) {
        edit.setText(QString::fromUtf8(c.text));
        ReplaceInDocument(edit, QString::fromUtf8(c.find), QString::fromUtf8(c.replacement));
        EXPECT_EQ(edit.Text(), QString::fromUtf8(c.result)) << c.text;
        EXPECT_EQ(selection(), c.selected) << c.text;
    }
}

TEST_F(SearchTest, ReplaceGivesWhatReplacingOneMatchAtATimeGives)
{
    // Every small document over a two-letter alphabet, with short search texts and
    // replacements that may hold the search text, create new matches or be empty.
    QRandomGenerator random(1250);
    RichEdit reference;
    auto word = [&](int minLength, int maxLength, const char* letters) {
        QString w;
        const int n = int(random.bounded(minLength, maxLength + 1));
        for (int i = 0; i < n; ++i)
            w += QChar::fromLatin1(letters[random.bounded(int(strlen(letters)))]);
        return w;
    };
    for (int round = 0; round < 300; ++round) {
        const QString text = word(0, 12, "ab");
        const QString find = word(1, 3, "ab");
        const QString replacement = word(0, 3, "abc");
        edit.setText(text);
        reference.setText(text);
        const int replaced = ReplaceInDocument(edit, find, replacement);
        replaceOneByOne(reference, find, replacement);
        ASSERT_EQ(edit.Text(), reference.Text()) << text.toStdString() << " / " << find.toStdString() << " -> "
                                                 << replacement.toStdString();
        if (replaced > 0) {
            EXPECT_EQ(edit.SelectionStart(), reference.SelectionStart());
            EXPECT_EQ(edit.SelectionLength(), reference.SelectionLength());
        }
    }
}

TEST_F(SearchTest, ReplaceIsOneChangeOneUndoStepAndKeepsTheMatchesAttributes)
{
    edit.setText("x abc y abc z");
    edit.setModified(false);
    select(2, 3);
    edit.SelectionAttributes().setStyle(fs::Bold);
    QSignalSpy changes(&edit, &RichEdit::OnChange);

    EXPECT_EQ(ReplaceInDocument(edit, "abc", QString::fromUtf8("dôvod")), 2);
    EXPECT_EQ(edit.Text(), QString::fromUtf8("x dôvod y dôvod z"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(edit.Modified());
    select(2, 5);
    EXPECT_EQ(edit.SelectionAttributes().Style(), fs::Bold); // the bold match stays bold
    select(10, 5);
    EXPECT_EQ(edit.SelectionAttributes().Style(), 0);

    edit.Undo();
    EXPECT_EQ(edit.Text(), "x abc y abc z");
    edit.Redo();
    EXPECT_EQ(edit.Text(), QString::fromUtf8("x dôvod y dôvod z"));
}

TEST_F(SearchTest, ReplaceWithoutMatchOrWithEmptyTextChangesNothing)
{
    edit.setText("abc");
    edit.setModified(false);
    select(1, 1);
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    EXPECT_EQ(ReplaceInDocument(edit, "Abc", "x"), 0);
    EXPECT_EQ(ReplaceInDocument(edit, QString(), "x"), 0);
    EXPECT_EQ(edit.Text(), "abc");
    EXPECT_EQ(selection(), std::make_pair(1, 1));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(edit.Modified());
}

TEST_F(SearchTest, ReplaceTakesLineBreaksOfTheReplacementAsParagraphBreaks)
{
    edit.setText("a;b;c");
    ReplaceInDocument(edit, ";", "\r\n");
    EXPECT_EQ(edit.Text(), "a\r\nb\r\nc");
    EXPECT_EQ(selection(), std::make_pair(3, 1));
}

TEST_F(SearchTest, GoToLinePutsTheCaretAtTheStartOfTheLineAndStaysInsideTheDocument)
{
    edit.setText("prvy\r\ndruhy\r\ntreti\r\nstvrty\r\npiaty");
    struct Case {
        int line;
        int position;
    };
    // 65537 names no line: it goes to the last line, not around to the first.
    const Case cases[] = {{1, 0}, {3, 11}, {5, 24}, {6, 24}, {65537, 24}, {INT_MAX, 24}, {0, 0}, {-4, 0}, {INT_MIN, 0}};
    for (const Case& c : cases) {
        select(2, 2);
        GoToLine(edit, c.line);
        EXPECT_EQ(selection(), std::make_pair(c.position, 0)) << c.line;
    }
}

TEST_F(SearchTest, GoToLineCountsLaidOutLinesOfAWrappedParagraph)
{
    edit.resize(120, 300);
    QString text;
    for (int i = 0; i < 20; ++i)
        text += QString::fromUtf8("slovo ");
    edit.setText(text);
    const int second = edit.LineStart(1);
    ASSERT_GT(second, 0);
    GoToLine(edit, 2);
    EXPECT_EQ(selection(), std::make_pair(second, 0));
}

TEST_F(SearchTest, GoToLineInAnEmptyDocument)
{
    edit.setText(QString());
    GoToLine(edit, 3);
    EXPECT_EQ(selection(), std::make_pair(0, 0));
}
