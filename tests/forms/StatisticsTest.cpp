// The statistics window's counts: characters, words, laid-out lines and blanks.
#include "QStringPrinter.h"
#include "ScriptedPlatform.h"
#include "richtext/editor/DocumentStatistics.h"
#include "forms/dialogs/StatisticsDialog.h"
#include "richtext/editor/RichEdit.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {
QString u(const char* text) { return QString::fromUtf8(text); }
} // namespace

TEST(StatisticsTest, WordsAreRunsOfLettersDigitsHyphensAndUnderscores)
{
    struct Case {
        const char* text;
        int words;
    };
    const Case cases[] = {
        {"", 0},
        {"Dobrý deň", 2},
        {"e-mail a_b", 2},
        {"a.b", 2},
        {"Šťastný žiak, ôsmy v rade; 3x áno!", 7},
        {"  \t medzery \r\n na   krajoch \t ", 3},
        {"§ 5 € © «x»", 2},            // signs are no word characters; 5 and x are
        {"Привет мир", 2},              // letters beyond Windows-1250 are letters all the same
        {"smajlík \xF0\x9F\x98\x80 a", 2}, // a picture character is none
        {"-", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountWords(u(c.text)), c.words) << c.text;
}

TEST(StatisticsTest, BlanksAreSpacesAndTabsOnly)
{
    EXPECT_EQ(CountBlanks(u("a b\tc\r\nd\u00A0e  f")), 4);
    EXPECT_EQ(CountBlanks(QString()), 0);
}

TEST(StatisticsTest, CharactersCountLineBreaksTwiceAndEachCharacterOnce)
{
    EXPECT_EQ(CountCharacters(u("ab\r\ncd")), 6);
    EXPECT_EQ(CountCharacters(u("Dobrý deň")), 9);
    EXPECT_EQ(CountCharacters(u("a\xF0\x9F\x98\x80")), 2);
}

TEST(StatisticsTest, CountsOfADocument)
{
    RichEdit edit;
    edit.resize(400, 300);
    edit.show();
    struct Case {
        const char* text;
        DocumentStatistics counts;
    };
    const Case cases[] = {
        {"", {0, 0, 0, 0}},
        {"Dobrý deň", {9, 2, 1, 1}},
        {"ab\r\ncd", {6, 2, 2, 0}},
        {"jeden\tdva", {9, 2, 1, 1}},
    };
    for (const Case& c : cases) {
        edit.setText(u(c.text));
        EXPECT_EQ(countDocument(edit), c.counts) << c.text;
    }
}

TEST(StatisticsTest, AWrappedParagraphCountsItsLaidOutLines)
{
    RichEdit edit;
    edit.resize(150, 300);
    edit.show();
    QString text;
    for (int i = 0; i < 12; ++i)
        text += u("riadok ");
    edit.setText(text);
    const DocumentStatistics counts = countDocument(edit);
    EXPECT_GT(counts.lines, 1);
    EXPECT_EQ(counts.lines, edit.Lines().LineCount());
    EXPECT_EQ(counts.words, 12);
}

TEST(StatisticsTest, TheWindowShowsTheCountsOfTheDocument)
{
    ScriptedPlatform platform;
    StatisticsDialog form(platform);
    EXPECT_EQ(form.windowTitle(), u("Štatistika dokumentu"));
    EXPECT_EQ(form.Label2->text(), "0");
    RichEdit edit;
    edit.resize(400, 300);
    edit.show();
    edit.setText(u("Vážený pán riaditeľ,\r\nďakujem."));
    QStringList shown;
    platform.answerModal([&](QDialog&) {
        shown = {form.Label2->text(), form.Label4->text(), form.Label6->text(), form.Label8->text()};
        return int(QDialog::Accepted);
    });
    form.showFor(edit);
    EXPECT_EQ(shown, (QStringList{"30", "4", "2", "2"}));
}
