// What LibreOffice and AbiWord make of the RTF we write. Both programs are part of the test
// run: a missing one fails these tests with the package to install.
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/DocFormats.h"
#include "richtext/rtf/Rtf.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextTable>
#include <gtest/gtest.h>

#include <tuple>

using namespace zorim;
using namespace zorim::test;

TEST(RtfCodepages, OtherProgramsReadWhatWeWrite)
{
    const QString text = everyKindOfText();
    const std::vector<uint8_t> charsets{kDefaultCharset, kEastEuropeCharset, uint8_t(255), uint8_t(128)};
    std::vector<QByteArray> rtfs;
    for (const uint8_t charset : charsets)
        rtfs.push_back(writeRtf(*typedDocument(text, "Arial", charset)));
    for (const char* program : {"soffice", "abiword"}) {
        const bool abiword = QString(program) == "abiword";
        // AbiWord shows an optional hyphen by leaving it out of its text.
        const QString expected = abiword ? QString(text).remove(QChar(0x00AD)) : text;
        const auto shown = readByOtherProgram(program, rtfs);
        for (size_t i = 0; i < rtfs.size(); ++i) {
            // AbiWord reads an OEM font (set 255) in the document's page, not in the DOS page
            // the set stands for.
            if (!(abiword && charsets[i] == 255)) {
                EXPECT_EQ(shown[i], expected) << program << " charset " << int(charsets[i]);
            }
        }
    }
}

// The letter's structure, written by us, saved by the other program and read back by us.
TEST(RtfInterop, PageStructureComesBackFromOtherPrograms)
{
    const auto letter = structuredLetter();
    const auto expected = paraRecords(*letter);
    // A footnote's number and text, as we keep them.
    const auto note = loadRtf("{\\rtf1 Text{\\super\\chftn}{\\footnote{\\super\\chftn} pod ciarou.} dalej.}");
    for (const char* program : {"soffice", "abiword"}) {
        const auto saved = convertByOtherProgram(program, {writeRtf(*letter), writeRtf(*note)}, "rtf");
        EXPECT_EQ(loadRtf(saved[1])->toPlainText(), note->toPlainText()) << program;
        const auto back = loadRtf(saved[0]);
        EXPECT_EQ(back->toPlainText(), letter->toPlainText()) << program;
        const auto paras = paraRecords(*back);
        ASSERT_EQ(paras.size(), expected.size()) << program;
        for (size_t i = 0; i < paras.size(); ++i) {
            SCOPED_TRACE(testing::Message() << program << " paragraph " << i);
            // AbiWord keeps lengths in inches, a twip off now and then.
            EXPECT_NEAR(paras[i].spaceBefore, expected[i].spaceBefore, 1);
            EXPECT_NEAR(paras[i].spaceAfter, expected[i].spaceAfter, 1);
            EXPECT_EQ(paras[i].lineSpacing, expected[i].lineSpacing);
            EXPECT_EQ(paras[i].lineMultiple, expected[i].lineMultiple);
            EXPECT_EQ(paras[i].pageBreakBefore, expected[i].pageBreakBefore);
        }
        QTextCursor hidden(back.get());
        hidden.setPosition(6);
        EXPECT_EQ(hiddenTextOf(hidden.charFormat()), QString::fromUtf8("skrytá poznámka")) << program;
        const PageSetup page = readPageSetup(*back), letterPage = readPageSetup(*letter);
        EXPECT_NEAR(page.paperWidth, letterPage.paperWidth, 1) << program;
        EXPECT_NEAR(page.paperHeight, letterPage.paperHeight, 1) << program;
        EXPECT_EQ(page.landscape, letterPage.landscape) << program;
        EXPECT_NEAR(page.marginLeft, letterPage.marginLeft, 1) << program;
        EXPECT_NEAR(page.marginRight, letterPage.marginRight, 1) << program;
        EXPECT_NEAR(page.marginTop, letterPage.marginTop, 1) << program;
        EXPECT_NEAR(page.marginBottom, letterPage.marginBottom, 1) << program;
    }
}

namespace {

// A letter with a table of rows x 3 cells: widths, borders (one red), a shaded cell, a cell of two
// paragraphs and a bold word, then text after it.
QByteArray tableLetter(int rows)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;\\red200\\green0\\blue0;}Tabulka:\\par ";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd\\trgaph108\\trleft0";
        for (int c = 0; c < 3; ++c) {
            for (const char* side : {"l", "t", "r", "b"})
                rtf += QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw10" + (r == 0 && c == 0 && *side == 'l' ? "\\brdrcf2" : "");
            if (r == 0 && c == 1)
                rtf += "\\clcbpat1";
            rtf += "\\cellx" + QByteArray::number(2000 * (c + 1) + 500 * c);
        }
        for (int c = 0; c < 3; ++c) {
            rtf += "\\pard\\intbl r" + QByteArray::number(r) + "c" + QByteArray::number(c);
            if (r == 1 && c == 0)
                rtf += "\\par {\\b druhý} odsek";
            rtf += "\\cell ";
        }
        rtf += "\\row ";
    }
    return rtf + "\\pard Koniec.\\par}";
}

} // namespace

// Our table, read by the other program and written in its RTF, reads back with the same rows
// and cells; our save of that shows the same cell texts in the other program.
TEST(RtfInterop, TablesComeBackFromOtherPrograms)
{
    const auto ours = loadRtf(tableLetter(3));
    const auto grid = tablesOf(*ours);
    ASSERT_EQ(grid.size(), 1u);
    QStringList cells;
    for (const auto& row : grid[0]) {
        for (const QString& cell : row)
            cells += cell.split(u'|');
    }
    for (const char* program : {"soffice", "abiword"}) {
        SCOPED_TRACE(program);
        const auto theirs = convertByOtherProgram(program, {writeRtf(*ours)}, "rtf");
        const auto back = loadRtf(theirs[0]);
        EXPECT_EQ(tablesOf(*back), grid);
        EXPECT_EQ(tablesOf(*loadRtf(writeRtf(*back))), grid);
        const auto* table = qobject_cast<QTextTable*>(back->rootFrame()->childFrames().value(0));
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->cellAt(0, 1).format().background().color(), QColor(255, 255, 0));
        if (QLatin1String(program) == QLatin1String("soffice")) { // AbiWord keeps no cell's borders
            EXPECT_EQ(table->cellAt(0, 0).format().toTableCellFormat().leftBorderBrush().color(), QColor(200, 0, 0));
        }
        const auto shown = readByOtherProgram(program, {writeRtf(*back)});
        QStringList words = shown[0].split(QRegularExpression("\\s*[\\t\\n]\\s*"), Qt::SkipEmptyParts);
        EXPECT_EQ(words.mid(1, cells.size()), cells) << shown[0].toStdString();
    }
}

// The languages of our runs, saved by LibreOffice and read back by us; the first Slovak run
// too, though LibreOffice takes no \deflang. (AbiWord keeps no run's language.)
TEST(RtfInterop, LanguagesComeBackFromLibreOffice)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    for (const auto& [text, language] : {std::pair{"Slovensky text ", 0}, {"English words ", 1033},
                                         {"deutsche Worte ", 1031}, {"koniec", 0}}) {
        QTextCharFormat format;
        if (language)
            format.setProperty(docprop::Language, language);
        cursor.insertText(text, format);
    }
    const auto back = loadRtf(convertByOtherProgram("soffice", {writeRtf(doc)}, "rtf")[0]);
    EXPECT_EQ(formatAt(*back, find(*back, "Slovensky")).language, kSlovakLanguage);
    EXPECT_EQ(formatAt(*back, find(*back, "English")).language, 1033);
    EXPECT_EQ(formatAt(*back, find(*back, "deutsche")).language, 1031);
    EXPECT_EQ(formatAt(*back, find(*back, "koniec")).language, kSlovakLanguage);
}

// A Word letter's header and footer, saved by us, are the header and footer LibreOffice shows
// (its text export leaves them out: its own flat file has them).
TEST(RtfInterop, KeptHeaderAndFooterReachLibreOffice)
{
    const QByteArray saved = writeRtf(*loadRtf(letterWithHeader()));
    const QString xml = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    const auto header = xml.indexOf(QStringLiteral("<style:header"));
    ASSERT_GE(header, 0) << xml.left(4000).toStdString();
    EXPECT_GT(xml.indexOf(QStringLiteral("Hlavičkový papier"), header), header);
    EXPECT_GT(xml.indexOf(QStringLiteral("<text:page-number"), header), header);
    EXPECT_TRUE(xml.contains(QStringLiteral("<dc:title>Ponuka</dc:title>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Courier New")));
}

// A reviewer's comments, kept through our save, are comments in LibreOffice, with their text
// and author (its text export leaves them out: its own flat file has them).
TEST(RtfInterop, KeptCommentsReachLibreOffice)
{
    const QByteArray saved = writeRtf(*loadRtf(reviewedContract()));
    const QString xml = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    const auto first = xml.indexOf(QStringLiteral("<office:annotation"));
    ASSERT_GE(first, 0) << xml.right(4000).toStdString();
    EXPECT_GT(xml.indexOf(QStringLiteral("Jana Nová"), first), first);
    EXPECT_GT(xml.indexOf(QStringLiteral("Skontrolovať termín."), first), first);
    const auto second = xml.indexOf(QStringLiteral("<office:annotation"), first + 1);
    ASSERT_GT(second, first);
    EXPECT_GT(xml.indexOf(QStringLiteral("Peter Kováč"), second), second);
    EXPECT_GT(xml.indexOf(QStringLiteral("Bez DPH?"), second), second);
}

// Word's headings, saved by us, are headings in LibreOffice, in its heading styles.
TEST(RtfInterop, KeptHeadingStylesReachLibreOffice)
{
    const QByteArray saved = writeRtf(*loadRtf(readFile(sharedTestData("rtf/word/heading.rtf"))));
    const QString xml = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    for (const QString level : {"1", "2"}) {
        const QRegularExpression heading("<text:h text:style-name=\"([^\"]+)\" text:outline-level=\"" + level
                                         + "\">(<[^>]*>)*Heading " + level + "<");
        const QRegularExpressionMatch h = heading.match(xml);
        ASSERT_TRUE(h.hasMatch()) << level.toStdString() << xml.right(2000).toStdString();
        const QString style = "<style:style style:name=\"" + h.captured(1) + "\" style:family=\"paragraph\""
                              + " style:parent-style-name=\"Heading_20_" + level + "\"";
        EXPECT_TRUE(h.captured(1) == "Heading_20_" + level || xml.contains(style))
            << style.toStdString() << xml.left(xml.indexOf("<office:body>")).right(6000).toStdString();
    }
}

// A word in a character style, in a file LibreOffice wrote, is in that style in LibreOffice
// and AbiWord after our save; the text around it is not.
TEST(RtfInterop, CharacterStylesReachOtherPrograms)
{
    const QByteArray typed = "{\\rtf1\\ansi{\\stylesheet{\\s0 Normal;}{\\*\\cs15\\i Emphasis;}}"
                             "\\pard Prv\\'e9 {\\cs15\\i zd\\'f4raznen\\'e9} slovo.\\par}";
    const auto doc = loadRtf(convertByOtherProgram("soffice", {typed}, "rtf")[0]);
    ASSERT_GT(formatAt(*doc, find(*doc, "zdôraznené")).charStyle, 0);
    const QByteArray saved = writeRtf(*doc);
    // Each program's own file: LibreOffice's spans, AbiWord's runs.
    const std::tuple<const char*, const char*, const char*> programs[] = {
        {"soffice", "fodt", "<text:span text:style-name=\"Emphasis\">(<[^>]*>)*([^<]*)<"},
        {"abiword", "abw", "<c style=\"Emphasis\"()[^>]*>([^<]*)<"}};
    for (const auto& [program, format, pattern] : programs) {
        const QString xml = QString::fromUtf8(convertByOtherProgram(program, {saved}, format)[0]);
        QStringList styled;
        for (const QRegularExpressionMatch& m : QRegularExpression(pattern).globalMatch(xml))
            styled << m.captured(2);
        EXPECT_EQ(styled, QStringList{"zdôraznené"}) << program << xml.mid(xml.indexOf("<office:body>")).toStdString();
    }
}
