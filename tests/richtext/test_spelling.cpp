// Spelling marks with the real Slovak dictionary: which words are marked, in which language,
// correcting, the personal word list (the test program's own Enchant folder), edits inside a
// paragraph, drawing on the screen and never on paper.
#include "LayoutTest.h"
#include "richtext/document/DocFormats.h"
#include "richtext/spelling/SpellCheck.h"
#include "richtext/spelling/Speller.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <QTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

struct Spelling : Layout {
    SpellCheck& spell() { return edit.spelling(); }
    void SetUp() override
    {
        Layout::SetUp();
        // The Slovak dictionary is one of the program's packages: its absence is a failure.
        ASSERT_EQ(spell().availability(), SpellCheck::Availability::Ready) << "install hunspell-sk and libenchant-2-2";
        spell().setEnabled(true);
    }
    QStringList marked()
    {
        QStringList words;
        for (const CharRange& r : spell().misspellings())
            words << edit.TextRange(r.min, r.max);
        return words;
    }
    void loadRtf(const QByteArray& rtf)
    {
        QBuffer stream;
        stream.setData(rtf);
        stream.open(QIODevice::ReadOnly);
        edit.setStreamFormat(StreamFormat::RichText);
        edit.LoadStream(stream);
    }
    int redPixels(const QImage& image)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > c.green() + 60 && c.red() > c.blue() + 60; // the wavy line is smoothed
            }
        return n;
    }
};

} // namespace

// "chybne" is a Slovak word (an adverb) and so not misspelled; "chibné" is no word.
TEST_F(Spelling, MarksOnlyTheMisspelledWord)
{
    edit.setText("Toto je chibné slovo");
    EXPECT_EQ(marked(), QStringList{"chibné"});
}

TEST_F(Spelling, WordsWithDigitsInCapitalsAddressesLinksAndSingleLettersAreNotMarked)
{
    edit.setText("x q3x chibne2 www.chibnex.sk chibnex@priklad.sk q linkk chibnex IBAN CHÍBNE");
    QTextCursor c(doc());
    c.setPosition(int(edit.Text().indexOf("linkk")));
    c.setPosition(c.position() + 5, QTextCursor::KeepAnchor);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref("https://priklad.sk");
    c.mergeCharFormat(link);
    EXPECT_EQ(marked(), QStringList{"chibnex"});
}

TEST_F(Spelling, ASuggestionReplacesTheWordAsOneUndoStepKeepingItsFormat)
{
    edit.setText("Toto je chibné slovo");
    edit.view().setSel({8, 14});
    edit.SelectionAttributes().setStyle(fs::Bold);
    edit.view().setSel({0, 0});
    const auto word = spell().misspellingAt(10);
    ASSERT_TRUE(word.has_value());
    EXPECT_EQ(word->language, "sk_SK");
    const QStringList offered = spell().suggestions(*word);
    EXPECT_LE(offered.size(), 5);
    ASSERT_TRUE(offered.contains("chybné"));
    const bool couldUndo = edit.CanUndo();
    ASSERT_TRUE(spell().correct(*word, "chybné"));
    EXPECT_EQ(edit.Text(), "Toto je chybné slovo");
    EXPECT_TRUE(marked().isEmpty());
    edit.view().setSel({9, 10});
    EXPECT_EQ(edit.SelectionAttributes().Style() & fs::Bold, fs::Bold);
    edit.Undo();
    EXPECT_EQ(edit.Text(), "Toto je chibné slovo");
    EXPECT_EQ(edit.CanUndo(), couldUndo);
    // A word that changed since it was offered is left alone.
    EXPECT_FALSE(spell().correct({8, 6, "chubné", "sk_SK"}, "chybné"));
}

TEST_F(Spelling, AddedAndIgnoredWordsAreNoLongerMarked)
{
    edit.setText("Zorimovo slovo a Zorimovo znova, Ignorujtoo.");
    ASSERT_EQ(marked(), (QStringList{"Zorimovo", "Zorimovo", "Ignorujtoo"}));
    spell().addToDictionary(*spell().misspellingAt(0));
    EXPECT_EQ(marked(), QStringList{"Ignorujtoo"});
    // Into the personal word list of the test program's own Enchant folder.
    QFile list(qEnvironmentVariable("ENCHANT_CONFIG_DIR") + "/sk_SK.dic");
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(list.readAll()).split('\n').contains("Zorimovo"));
    spell().ignore(*spell().misspellingAt(int(edit.Text().indexOf("Ignor"))));
    EXPECT_TRUE(marked().isEmpty());
    edit.setText("Zorimovo Ignorujtoo");
    EXPECT_TRUE(marked().isEmpty());
}

TEST_F(Spelling, RunsAreCheckedInTheirOwnLanguage)
{
    // English where the program has an English dictionary, a language with none unmarked.
    loadRtf("{\\rtf1\\ansi Toto je chibn\\'e9 slovo.\\par {\\lang1033 This wordd is Englishh.}\\par"
            "{\\lang1033 Slovo je chybne.}\\par {\\lang1079 Chibnex qwertzz.}\\par {\\noproof Chibnex}\\par}");
    QStringList expected{"chibné"};
    if (Speller::system().hasDictionary("en_US"))
        expected << "wordd" << "Englishh" << "Slovo" << "je" << "chybne";
    EXPECT_EQ(marked(), expected);
}

// An English word stays English copied into Slovak text, typed on after, and given a font.
TEST_F(Spelling, AWordKeepsItsLanguageWhenCopiedTypedOnAndRestyled)
{
    loadRtf("{\\rtf1\\ansi Slovo {\\lang1033 word} koniec}");
    edit.setSelectionStart(6);
    edit.setSelectionLength(4);
    edit.Copy();
    edit.setSelectionStart(edit.TextLength());
    edit.Paste();
    QTest::keyClicks(edit.widget(), "dd");
    edit.setSelectionStart(edit.TextLength() - 6);
    edit.setSelectionLength(6);
    edit.SelectionAttributes().assign(FontDesc{.name = "Courier New", .size = 20});
    ASSERT_EQ(edit.Text(), "Slovo word koniecworddd");
    QTextCursor c(doc());
    for (int pos = 1; pos <= edit.TextLength(); ++pos) {
        c.setPosition(pos);
        const bool english = (pos > 6 && pos <= 10) || pos > 17;
        EXPECT_EQ(c.charFormat().intProperty(docprop::Language), english ? 1033 : 0) << pos;
    }
}

// Edits inside a paragraph check only the words around them; the marks they leave must be
// those a fresh check finds.
TEST_F(Spelling, MarksFollowEditsAsAFreshCheckFindsThem)
{
    edit.setText("Toto je chibné slovo a ďalšie chibnex slovo.\r\nDruhý odsek bez chýb.");
    QRandomGenerator random(26);
    const QStringList pieces{"x", "é", " ", "ab", "chib", ".", "slovo ", "ý"};
    for (int step = 0; step < 300; ++step) {
        QTextCursor c(doc());
        const int length = edit.TextLength();
        c.setPosition(random.bounded(length + 1));
        if (random.bounded(3) == 0 && c.position() < length)
            c.setPosition(std::min(length, c.position() + 1 + random.bounded(3)), QTextCursor::KeepAnchor);
        if (c.hasSelection() && random.bounded(2) == 0)
            c.removeSelectedText();
        else
            c.insertText(pieces[random.bounded(int(pieces.size()))]);
        const QList<CharRange> followed = spell().misspellings();
        spell().setEnabled(false);
        spell().setEnabled(true);
        ASSERT_EQ(followed, spell().misspellings()) << "step " << step << ": " << edit.Text().toStdString();
    }
}

TEST_F(Spelling, MarksAreDrawnOnTheScreenOnlyAndOnlyWhileOn)
{
    edit.setText("chibnex chibnex chibnex");
    const auto draw = [&] { return redPixels(drawn(QSize(400, 60))); };
    EXPECT_GT(draw(), 20);
    QImage paper(400, 60, QImage::Format_ARGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        layout()->layoutPage(&p, QRectF(0, 0, 400, 60), 96, 96, 0);
    }
    EXPECT_EQ(redPixels(paper), 0);
    spell().setEnabled(false);
    EXPECT_EQ(draw(), 0);
}

TEST_F(Spelling, TheWordBeingTypedShowsItsMarkOnceTheCaretLeavesIt)
{
    edit.setText("Toto je ");
    edit.setSelectionStart(8);
    QTest::keyClicks(edit.widget(), "chibnex");
    ASSERT_EQ(marked(), QStringList{"chibnex"});
    EXPECT_EQ(redPixels(drawn(QSize(400, 60))), 0);
    QTest::keyClick(edit.widget(), Qt::Key_Home);
    EXPECT_GT(redPixels(drawn(QSize(400, 60))), 10);
}

TEST_F(Spelling, ALoadedDocumentIsCheckedInSlicesOnTheEventLoop)
{
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QString("Odsek %1 má chibnex slovo a správne slová.\r\n").arg(i);
    edit.setText(text);
    spell().setEnabled(false);
    spell().setEnabled(true);
    EXPECT_FALSE(spell().complete());
    for (int i = 0; i < 2000 && !spell().complete(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(spell().complete());
    EXPECT_EQ(spell().misspellings().size(), 3000);
}

TEST(Speller, WithoutTheLibraryNothingIsChecked)
{
    Speller missing("libzorim-no-such-enchant.so");
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.check("sk_SK", "chibné"), Speller::Verdict::NoDictionary);
    EXPECT_TRUE(missing.suggest("sk_SK", "chibné", 5).isEmpty());
}
