// Another program's headers, footers and document information: kept with a document read
// whole and written back, their fonts and colours pointing to the same faces and colours in
// the tables we write; and its style sheet, each paragraph keeping its style.
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/formats/rtf/Rtf.h"
#include "richtext/formats/rtf/RtfKeptGroups.h"

#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

// What each reference of a document's kept groups stands for, in the order they come, and
// the groups with every reference's number taken out (what must stay byte for byte).
struct Meaning {
    std::vector<QString> references;
    std::vector<QByteArray> groups;
    bool operator==(const Meaning&) const = default;
};

Meaning meaningOf(const KeptGroups& kept)
{
    Meaning m;
    for (const QByteArray& group : kept.groups) {
        m.groups.push_back(rtf::renumberReferences(group, [&](rtf::Reference kind, int32_t n) {
            if (kind == rtf::Reference::Font) {
                const auto it = kept.fonts.find(n);
                m.references.push_back(it == kept.fonts.end() ? QStringLiteral("no font") : it->second.face);
            } else {
                const auto it = kept.colors.find(n);
                m.references.push_back(it == kept.colors.end() ? QStringLiteral("no colour")
                                       : it->second ? colorFromRef(*it->second).name()
                                                    : QStringLiteral("auto"));
            }
            return std::optional<int32_t>(0);
        }));
    }
    return m;
}

} // namespace

TEST(RtfKeptGroups, ComeBackWithTheirFontsAndColoursAndASecondSaveIsTheSame)
{
    const auto original = loadRtf(letterWithHeader());
    const KeptGroups read = readKeptGroups(*original);
    ASSERT_EQ(read.groups.size(), 3u);
    EXPECT_TRUE(read.groups[0].startsWith("{\\info "));
    const QByteArray saved = writeRtf(*original);
    const auto back = loadRtf(saved);
    EXPECT_EQ(back->toPlainText(), original->toPlainText());
    // Our tables, read back: the same faces and colours; the references the original tables
    // lacked (\f9, \cf7) are gone, all else as it was.
    Meaning expected = meaningOf(read);
    std::erase_if(expected.references, [](const QString& r) { return r.startsWith(u"no "); });
    const Meaning backMeaning = meaningOf(readKeptGroups(*back));
    EXPECT_EQ(backMeaning.references, expected.references);
    EXPECT_EQ(backMeaning.groups[0], expected.groups[0]);
    EXPECT_EQ(backMeaning.groups[2], expected.groups[2]);
    EXPECT_EQ(expected.references,
              (std::vector<QString>{"Courier New", "#c81e28", "#0a78c8", "#0a78c8", "Times New Roman"}));
    const QByteArray header = readKeptGroups(*back).groups[1];
    EXPECT_TRUE(header.contains("\\b firmy")) << header.toStdString();
    EXPECT_TRUE(saved.contains("{\\footer \\pard\\plain\\qc\\f")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}"));
    EXPECT_TRUE(saved.contains("\\titlepg\\headery600"));
    EXPECT_EQ(writeRtf(*back), saved);
    // A part of the document copied leaves them out, and RTF pasted into a document brings none.
    EXPECT_FALSE(writeRtf(*original, 0, 4).contains("\\header"));
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Môj text "));
    readRtf(saved, cursor);
    EXPECT_TRUE(readKeptGroups(doc).empty());
    EXPECT_FALSE(writeRtf(doc).contains("\\header"));
}

TEST(RtfKeptGroups, AreBoundedInSizeAndNumber)
{
    // A header group larger than all kept groups may be is left out; of thousands of footers
    // the first is kept; the text after them is read.
    QByteArray big = "{\\rtf1{\\header ";
    big += QByteArray(rtf::kMaxKeptBytes, 'x');
    big += "\\par}";
    for (int i = 0; i < 5000; ++i)
        big += "{\\footer " + QByteArray::number(i) + "\\par}";
    big += "Text\\par}";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    LeftOut leftOut;
    readRtf(big, cursor, &leftOut);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Text"));
    EXPECT_EQ(leftOut.kept, 1); // the header; the other footers are no bound's
    const KeptGroups kept = readKeptGroups(doc);
    ASSERT_EQ(kept.groups.size(), 1u);
    EXPECT_EQ(kept.groups[0], "{\\footer 0\\par}");
    // A header the file cuts short is not kept: it would leave our output open.
    EXPECT_TRUE(readKeptGroups(*loadRtf("{\\rtf1 Text{\\header cut")).empty());
}

// The kept bytes stay in the file's page: a header's font that names no set was read in the
// file's page, and is written with a set that names it (Western, not our Central European).
// The information's text, in no font, is written in our page.
TEST(RtfKeptGroups, KeepTheTextOfAnotherPage)
{
    const auto doc = loadRtf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\info{\\title Cr\\'e8me \\'9a\\u269\\'e8}}"
                             "{\\header\\f0 Cr\\'e8me\\par}x\\par}");
    EXPECT_EQ(readKeptGroups(*doc).fonts.at(0).charset, 0);
    const QByteArray saved = writeRtf(*doc);
    EXPECT_TRUE(saved.contains("{\\f1\\fnil\\fcharset0 Arial;}"));
    EXPECT_TRUE(saved.contains("{\\title Cr{\\uc1\\u232?}me \\'9a\\u269\\'e8}")) << saved.toStdString();
}

namespace {

// The comments of a document in order, each kept as one object character where it stands.
KeptGroups commentsOf(const QTextDocument& doc)
{
    KeptGroups all;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const KeptGroups one = keptCommentOf(it.fragment().charFormat());
            for (int i = 0; i < it.fragment().length() && !one.empty(); ++i) {
                all.groups.push_back(one.groups[0]);
                all.fonts.insert(one.fonts.begin(), one.fonts.end());
                all.colors.insert(one.colors.begin(), one.colors.end());
            }
        }
    }
    return all;
}

} // namespace

TEST(RtfKeptComments, StayWhereTheyStandWithTheirFontsAndColoursAndASecondSaveIsTheSame)
{
    const auto original = loadRtf(reviewedContract());
    QString shown = original->toPlainText();
    // The text is the document's without its comments; each comment is one character there.
    EXPECT_EQ(shown.count(QChar::ObjectReplacementCharacter), 4);
    const auto without = loadRtf(reviewedContract(false));
    EXPECT_EQ(shown.remove(QChar::ObjectReplacementCharacter), without->toPlainText());
    auto cells = tablesOf(*original);
    for (auto& row : cells.at(0))
        for (QString& cell : row)
            cell.remove(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(cells, tablesOf(*without));
    const KeptGroups read = commentsOf(*original);
    ASSERT_EQ(read.groups.size(), 4u);
    EXPECT_EQ(read.groups[0], "{\\*\\atrfstart 1}");
    EXPECT_EQ(read.groups[1], "{\\*\\atrfend 1}");
    // The character style's group around the first parts is not kept; its parts are one comment.
    EXPECT_TRUE(read.groups[3].startsWith("{\\*\\atnid PK}{\\*\\atnauthor Peter Kov\\'e1\\'e8}\\chatn "
                                          "{\\*\\annotation"))
        << read.groups[3].toStdString();
    const QByteArray saved = writeRtf(*original);
    EXPECT_TRUE(saved.contains("dielo{\\*\\atrfend 1}{\\*\\atnid JN}")) << saved.toStdString();
    const auto back = loadRtf(saved);
    EXPECT_EQ(back->toPlainText(), original->toPlainText());
    EXPECT_EQ(tablesOf(*back), tablesOf(*original));
    EXPECT_EQ(meaningOf(commentsOf(*back)), meaningOf(read));
    EXPECT_EQ(meaningOf(read).references, (std::vector<QString>{"Arial", "Courier New", "#c81e28"}));
    EXPECT_EQ(writeRtf(*back), saved);
    // A copied part writes the comments in it; RTF pasted into a document brings its comments.
    const int cell = find(*original, "100 EUR");
    EXPECT_TRUE(writeRtf(*original, cell, cell + 8).contains("Bez DPH?"));
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Môj text "));
    readRtf(saved, cursor);
    EXPECT_EQ(commentsOf(doc).groups.size(), 4u);
}

TEST(RtfKeptComments, AreBoundedInSizeAndNumber)
{
    // A comment larger than all kept comments may be is left out; of thousands of range marks
    // the first ones are kept; the text after them is read.
    QByteArray big = "{\\rtf1 a{\\*\\annotation ";
    big += QByteArray(rtf::kMaxKeptBytes, 'x');
    big += "}b";
    for (int i = 0; i < rtf::kMaxComments + 100; ++i)
        big += "{\\*\\atrfstart " + QByteArray::number(i) + "}";
    big += "c\\par}";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    LeftOut leftOut;
    readRtf(big, cursor, &leftOut);
    QString text = doc.toPlainText();
    EXPECT_EQ(text.count(QChar::ObjectReplacementCharacter), rtf::kMaxComments);
    EXPECT_EQ(text.remove(QChar::ObjectReplacementCharacter), QStringLiteral("abc"));
    EXPECT_EQ(leftOut.kept, 1 + 100) << "what is left out is counted, to be said";
}

namespace {

// A report as Word writes one: a style sheet (Normal; Heading 1 in a font the text does not
// use; Heading 2 in a colour it does not use; a character style) and paragraphs of each style,
// one in a table cell, the last one naming a style the sheet lacks.
QByteArray reportWithStyles()
{
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\froman\\fcharset238 Times New Roman;}"
           "{\\f1\\fswiss\\fcharset238 Arial Black;}{\\f2\\fswiss\\fcharset238 Arial;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green56\\blue100;\\red200\\green30\\blue40;}\r\n"
           "{\\stylesheet{\\ql\\f0\\fs24 Normal;}{\\s1\\ql\\sb240\\outlinelevel0\\f1\\fs32\\b\\cf2 \\sbasedon0 \\snext0 heading 1;}"
           "{\\s2\\ql\\outlinelevel1\\f0\\fs28\\cf3 \\sbasedon0 \\snext0 heading 2;}{\\*\\cs10 \\additive Default Paragraph Font;}}\r\n"
           "{\\info{\\title Spr\\'e1va}}\r\n"
           "\\pard\\plain\\s1\\sb240\\outlinelevel0\\f2\\fs32\\b\\cf2 Nadpis\\par\r\n"
           "\\pard\\plain\\s2\\outlinelevel1\\f0\\fs28 Podnadpis\\par\r\n"
           "\\pard\\plain\\s0\\f0\\fs24 Text spr\\'e1vy.\\par\r\n"
           "\\trowd\\cellx3000\\pard\\plain\\intbl\\s2\\f0 Bunka\\cell\\row\r\n"
           "\\pard\\plain\\s7\\f0\\fs24 Cudz\\'ed \\'9at\\'fdl.\\par}";
}

// The style number and outline level of each paragraph (0 and -1: none).
std::vector<std::pair<int, int>> paragraphStyles(const QTextDocument& doc)
{
    std::vector<std::pair<int, int>> styles;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat f = block.blockFormat();
        styles.emplace_back(f.intProperty(docprop::ParagraphStyle),
                            f.hasProperty(docprop::OutlineLevel) ? f.intProperty(docprop::OutlineLevel) : -1);
    }
    return styles;
}

} // namespace

TEST(RtfKeptStyles, ParagraphsKeepTheirStylesOfTheKeptSheetAndASecondSaveIsTheSame)
{
    const auto original = loadRtf(reportWithStyles());
    const KeptGroups read = readKeptGroups(*original);
    ASSERT_EQ(read.groups.size(), 2u);
    const QByteArray saved = writeRtf(*original);
    const auto back = loadRtf(saved);
    EXPECT_EQ(back->toPlainText(), original->toPlainText());
    // A style the sheet lacks is not written.
    EXPECT_EQ(paragraphStyles(*original), (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {0, -1}, {2, -1}, {7, -1}}));
    EXPECT_EQ(paragraphStyles(*back), (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {0, -1}, {2, -1}, {0, -1}}));
    // The sheet's fonts and colours are the same faces and colours in our tables; it stands
    // after the colour table, before the document information.
    EXPECT_EQ(meaningOf(readKeptGroups(*back)), meaningOf(read));
    EXPECT_EQ(meaningOf(read).references, (std::vector<QString>{"Times New Roman", "Arial Black", "#1f3864", "Times New Roman", "#c81e28"}));
    EXPECT_LT(saved.indexOf("{\\colortbl"), saved.indexOf("{\\stylesheet {\\ql"));
    EXPECT_LT(saved.indexOf("{\\stylesheet"), saved.indexOf("{\\info"));
    EXPECT_TRUE(saved.contains("\\pard\\s1\\outlinelevel0")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\\pard\\intbl\\s2"));
    EXPECT_EQ(writeRtf(*back), saved);
    // RTF pasted into a document brings no style sheet: its style numbers would point into another.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("Môj text "));
    readRtf(saved, cursor);
    for (const auto& [style, outline] : paragraphStyles(doc))
        EXPECT_EQ(style, 0);
    EXPECT_FALSE(writeRtf(doc).contains("\\stylesheet"));
}

// A run keeps its character style through our save, saying all its formatting in its group
// with \cs (a reader takes what it leaves unsaid from the style); a number the sheet lacks is
// not written, and pasted text brings no style.
TEST(RtfKeptStyles, RunsKeepTheirCharacterStyles)
{
    QByteArray rtf = reportWithStyles();
    rtf.replace("{\\*\\cs10 ", "{\\*\\cs11\\i\\b\\cf3 Emphasis;}{\\*\\cs10 ");
    rtf.replace("Text spr\\'e1vy.", "Text {\\cs11\\i spr\\'e1vy} {\\cs12\\b nie}.");
    const auto styleAt = [](const QTextDocument& doc, const QString& text) { return formatAt(doc, find(doc, text)).charStyle; };
    const auto original = loadRtf(rtf);
    EXPECT_EQ(styleAt(*original, "správy"), 11);
    EXPECT_EQ(styleAt(*original, "nie"), 12);
    const QByteArray saved = writeRtf(*original);
    const auto back = loadRtf(saved);
    EXPECT_EQ(styleAt(*back, "Text"), 0);
    EXPECT_EQ(styleAt(*back, "správy"), 11);
    EXPECT_EQ(formatAt(*back, find(*back, "správy")).effects & (cfe::Bold | cfe::Italic), cfe::Italic);
    EXPECT_EQ(styleAt(*back, "nie"), 0);
    EXPECT_FALSE(saved.contains("\\cs12"));
    const QByteArray styled = saved.mid(saved.lastIndexOf('{', saved.indexOf("\\cs11 ")));
    const QByteArray words = styled.left(styled.indexOf(' '));
    EXPECT_TRUE(words.contains("\\b0") && words.contains("\\fs") && words.contains("\\cf")) << words.toStdString();
    EXPECT_EQ(writeRtf(*back), saved);
    QTextDocument pasted;
    QTextCursor cursor(&pasted);
    cursor.insertText(QStringLiteral("Môj text "));
    readRtf(saved, cursor);
    EXPECT_EQ(styleAt(pasted, "správy"), 0);
}

// Hidden text that starts a styled paragraph after sized text: the words that return the run to
// no size (\plain) inside its hidden group do not make it shown.
TEST(RtfKeptStyles, HiddenTextAtAStyledParagraphsStartStaysHidden)
{
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s0 Normal;}{\\s1\\fs32 Heading;}}"
                           "\\pard\\fs20 Malé\\par\\pard\\plain\\s1 {\\v skryté}nadpis\\par}";
    const auto original = loadRtf(rtf);
    const QByteArray saved = writeRtf(*original);
    const auto back = loadRtf(saved);
    EXPECT_EQ(back->toPlainText(), original->toPlainText()) << saved.toStdString();
    EXPECT_EQ(writeRtf(*back), saved);
}

// Word's own file: its headings are headings after our save, in the sheet's heading styles.
TEST(RtfKeptStyles, WordHeadingsStayHeadings)
{
    const auto back = loadRtf(writeRtf(*loadRtf(readFile(sharedTestData("rtf/word/heading.rtf")))));
    const auto styles = paragraphStyles(*back);
    ASSERT_EQ(styles.size(), 4u);
    EXPECT_EQ(styles, (std::vector<std::pair<int, int>>{{1, 0}, {2, 1}, {3, 2}, {0, -1}}));
    const KeptGroups kept = readKeptGroups(*back);
    ASSERT_FALSE(kept.empty());
    EXPECT_TRUE(kept.groups[0].startsWith("{\\stylesheet "));
    EXPECT_TRUE(kept.groups[0].contains(" heading 1;}"));
    // A heading says every character word at its start: other programs would give what it
    // leaves unsaid the style's formatting, also where the text no longer has it.
    const QByteArray saved = writeRtf(*back);
    for (const char* style : {"\\s1", "\\s2", "\\s3"}) {
        const QByteArray start = saved.mid(saved.indexOf(QByteArray("\\pard") + style));
        const QByteArray words = start.left(start.indexOf(' '));
        EXPECT_TRUE(words.contains("\\b0") && words.contains("\\i0") && words.contains("\\fs")) << words.toStdString();
    }
}

// A destination left out whole or a word no one knows between a comment's parts does not cut
// the comment in two: written back side by side, the parts would read as one.
TEST(RtfKeptComments, AreOneAcrossADestinationLeftOut)
{
    const auto doc = loadRtf("{\\rtf1\\ansi Text{\\*\\atnid JN}{\\*\\unknownword x}{\\*\\bkmkstart b}\\chatn\\unknownword "
                             "{\\*\\annotation note} end.\\par}");
    EXPECT_EQ(doc->toRawText().count(QChar::ObjectReplacementCharacter), 1);
    EXPECT_EQ(loadRtf(writeRtf(*doc))->toRawText(), doc->toRawText());
}

// What a cell holds, or where a hidden group ends, does not change the comments and cells a
// save gives back: a comment alone in a cell is that cell's, and the parts of one comment in
// hidden text are one comment; comments side by side stay apart.
TEST(RtfKeptComments, ReadWriteReadKeepsCellsAndComments)
{
    const QByteArray comment = "{\\*\\atnid JN}\\chatn {\\*\\annotation note}";
    const QByteArray row = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl ";
    const auto doc = loadRtf("{\\rtf1 " + row + "a\\cell " + comment + "\\cell c\\cell\\row " + row + comment
                             + "\\cell b\\cell c\\cell\\row\\pard "
                             "{\\v {\\*\\atnid X}}{\\*\\annotation one} "
                             "{\\*\\atnid Y}{\\v}{\\*\\annotation two}.\\par}");
    const QString kept(QChar::ObjectReplacementCharacter);
    const Grid cells{{"a", kept, "c"}, {kept, "b", "c"}};
    ASSERT_EQ(tablesOf(*doc), std::vector<Grid>{cells});
    const QString last = doc->lastBlock().text();
    EXPECT_EQ(last.count(QChar::ObjectReplacementCharacter), 3) << "one comment, then two";
    auto again = loadRtf(writeRtf(*doc));
    for (int save = 0; save < 2; ++save) {
        EXPECT_EQ(tablesOf(*again), std::vector<Grid>{cells});
        EXPECT_EQ(again->toRawText(), doc->toRawText());
        again = loadRtf(writeRtf(*again));
    }
}
