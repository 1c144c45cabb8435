// Tables: read from RTF into QTextTables, written back, and read by other programs.
#include "RtfTestUtil.h"

#include "richtext/document/TableFormat.h"
#include "richtext/formats/rtf/Rtf.h"
#include "richtext/formats/rtf/RtfKeywords.h"

#include <QTextCursor>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;


namespace {

const QByteArray kWordTable = readFile(QStringLiteral(ZORIM_FUZZ_CORPUS "/tables-word.rtf"));

QTextTable* tableAt(const QTextDocument& doc, int index)
{
    const auto frames = doc.rootFrame()->childFrames();
    return index < frames.size() ? qobject_cast<QTextTable*>(frames[index]) : nullptr;
}

QTextTableCellFormat cellFormat(const QTextDocument& doc, int table, int row, int column)
{
    return tableAt(doc, table)->cellAt(row, column).format().toTableCellFormat();
}

} // namespace

TEST(RtfTables, RowsCellsAndTheirPropertiesAreRead)
{
    using namespace tableprop;
    const auto doc = loadRtf(kWordTable);
    // The row definition repeated before \row is the same row; a nested table is a table in its
    // cell, of its own widths; a row of another count is a table of its own.
    EXPECT_EQ(tablesOf(*doc), (std::vector<Grid>{{{"one|two", "", QString("three") + QChar::LineSeparator + "x"},
                                                 {"a", "[n1[n2]", ""}},
                                                {{"other count"}}}));
    const QTextTable* inner = qobject_cast<QTextTable*>(tableAt(*doc, 0)->childFrames().value(0));
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->cellAt(0, 1).format().intProperty(tableprop::CellRightTwips), 900);
    const QTextTableCellFormat first = cellFormat(*doc, 0, 0, 0);
    EXPECT_EQ(first.intProperty(CellRightTwips), 2000);
    EXPECT_EQ(first.intProperty(RowLeftTwips), -108);
    EXPECT_EQ(first.intProperty(RowGapTwips), 108);
    EXPECT_EQ(first.intProperty(RowHeightTwips), -400);
    EXPECT_TRUE(first.boolProperty(RowHeader));
    EXPECT_EQ(first.intProperty(MergeHorizontal), int(Merge::First));
    EXPECT_EQ(first.property(BorderTwips).value<QList<int>>(), (QList<int>{10, 15, 10, 0}));
    EXPECT_EQ(first.property(BorderStyles).value<QList<int>>(), (QList<int>{1, 4, 5, 0}));
    EXPECT_EQ(first.background().color(), QColor(255, 0, 0));
    EXPECT_EQ(first.stringProperty(CellExtraRtf), "\\clvertalc");
    EXPECT_EQ(first.stringProperty(RowExtraRtf), "\\trqc\\trbrdrt\\brdrs\\brdrw10\\trftsWidth1");
    EXPECT_EQ(cellFormat(*doc, 0, 0, 1).intProperty(MergeHorizontal), int(Merge::Continued));
    EXPECT_EQ(cellFormat(*doc, 0, 0, 2).intProperty(MergeVertical), int(Merge::First));
    EXPECT_EQ(cellFormat(*doc, 0, 1, 2).intProperty(MergeVertical), int(Merge::Continued));
    EXPECT_EQ(cellFormat(*doc, 0, 1, 2).intProperty(CellRightTwips), 6000);
    EXPECT_TRUE(formatAt(*doc, find(*doc, "one")).effects & cfe::Bold);
}

TEST(RtfTables, WrittenTablesReadBackUnchanged)
{
    const auto doc = loadRtf(kWordTable);
    const QByteArray written = writeRtf(*doc);
    const auto back = loadRtf(written);
    EXPECT_EQ(back->toRawText(), doc->toRawText());
    EXPECT_EQ(tablesOf(*back), tablesOf(*doc));
    for (int t = 0; t < 2; ++t) {
        for (int r = 0; r < tableAt(*doc, t)->rows(); ++r) {
            for (int c = 0; c < tableAt(*doc, t)->columns(); ++c)
                EXPECT_EQ(cellFormat(*back, t, r, c).properties(), cellFormat(*doc, t, r, c).properties()) << t << r << c;
        }
    }
    EXPECT_EQ(writeRtf(*back), written);
}

TEST(RtfTables, BorderColoursAndPaddingAreReadAndWrittenThroughTheWritersColours)
{
    using namespace tableprop;
    // The border's colour is the table's third entry; the writer numbers its own table.
    const QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red1\\green2\\blue3;\\red0\\green0\\blue0;\\red200\\green0\\blue0;}"
                           "\\trowd\\trgaph108\\clbrdrl\\brdrs\\brdrw10\\brdrcf3\\clbrdrb\\brdrs\\brdrw10\\brdrcf0"
                           "\\clpadt300\\clpadft3\\clpadl150\\clpadfl3\\clpadr45\\clpadfr0\\cellx3000\\cellx6000"
                           "\\pard\\intbl a\\cell b\\cell\\row\\pard\\par}";
    const auto doc = loadRtf(rtf);
    const QTextTableCellFormat f = cellFormat(*doc, 0, 0, 0);
    EXPECT_EQ(f.leftBorderBrush().color(), QColor(200, 0, 0));
    EXPECT_FALSE(f.hasProperty(QTextFormat::TableCellBottomBorderBrush)) << "automatic colour";
    // Word's \clpadt is the left padding, \clpadl the top; a unit other than twips states none.
    EXPECT_EQ(f.property(PaddingTwips).value<QList<int>>(), (QList<int>{300, 150, -1, -1}));
    EXPECT_FALSE(cellFormat(*doc, 0, 0, 1).hasProperty(PaddingTwips));
    const QByteArray written = writeRtf(*doc);
    const auto back = loadRtf(written);
    EXPECT_EQ(cellFormat(*back, 0, 0, 0).properties(), f.properties());
    EXPECT_EQ(writeRtf(*back), written);
}

TEST(RtfTables, MalformedTablesGiveSoundDocuments)
{
    const QByteArray sixtyFour = QByteArray("\\pard\\intbl x\\cell").repeated(64);
    const std::vector<QByteArray> inputs = {
        "{\\rtf1 a\\cell b\\cell\\row c}",                              // cells outside any row
        "{\\rtf1\\trowd\\cellx100\\pard\\intbl a\\cell b\\par\\pard c}", // no \row, then text
        "{\\rtf1\\trowd\\cellx100\\pard\\intbl a\\cell after\\row}",     // text after the last cell
        "{\\rtf1\\pard\\intbl a\\cell\\row\\pard\\intbl b\\cell c\\cell\\row}", // another count
        "{\\rtf1\\trowd\\cellx999999999\\trleft-999999999\\pard\\intbl" + sixtyFour + "\\row}",
        "{\\rtf1\\pard\\intbl{\\*\\nesttableprops\\trowd\\cellx5\\nestrow}\\nestcell\\nestrow\\cell",
        "{\\rtf1\\pard\\intbl\\par cg\\par\\cell\\row}", // empty first and last paragraphs of a cell
    };
    for (const QByteArray& rtf : inputs) {
        SCOPED_TRACE(rtf.toStdString());
        const auto doc = loadRtf(rtf);
        for (const Grid& table : tablesOf(*doc))
            EXPECT_LE(table.front().size(), 63u);
        const auto back = loadRtf(writeRtf(*doc));
        EXPECT_EQ(back->toRawText(), doc->toRawText());
    }
    EXPECT_EQ(tablesOf(*loadRtf(inputs[2])), (std::vector<Grid>{{{"a\tafter"}}}));
    EXPECT_EQ(tablesOf(*loadRtf(inputs[3])).size(), 2u);
    EXPECT_EQ(tablesOf(*loadRtf(inputs[6])), (std::vector<Grid>{{{"|cg|"}}}));
}

TEST(RtfTables, ManySmallWideTablesStopBeingTablesAtTheBound)
{
    // Each wide table keeps its own cell formats; past the bound the rows read as text, so a
    // file of tiny wide tables cannot cost hundreds of times its size.
    const QByteArray row = "\\trowd\\pard\\intbl " + QByteArray("x\\cell ").repeated(63) + "\\row\\pard p\\par ";
    const int tables = rtf::kMaxCellFormats / 63 + 20;
    const auto doc = loadRtf("{\\rtf1 " + row.repeated(tables) + "last}");
    const qsizetype made = doc->rootFrame()->childFrames().size();
    EXPECT_LE(made, rtf::kMaxCellFormats / 63);
    EXPECT_GT(made, rtf::kMaxCellFormats / 63 - 5);
    const QString raw = doc->toRawText();
    EXPECT_TRUE(raw.endsWith(QStringLiteral("p") + QChar::ParagraphSeparator + QStringLiteral("last")));
    EXPECT_TRUE(raw.contains(QStringLiteral("x\tx\tx"))); // the rows past the bound, as text
}

TEST(RtfTables, RowsThatChangeTheirDefinitionMakeFormatsOnlyUpToTheBound)
{
    // One table whose every row moves its left edge: each new definition makes a cell format
    // for every column. Past the bound the rows take the formats of the row before; every row
    // and its text stay in the table.
    const int rows = rtf::kMaxCellFormats / 63 + 300;
    QByteArray rtf = "{\\rtf1 ";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd\\trleft" + QByteArray::number(r);
        for (int c = 1; c <= 63; ++c)
            rtf += "\\cellx" + QByteArray::number(100 * c + 1000);
        rtf += "\\pard\\intbl " + QByteArray("x\\cell ").repeated(63) + "\\row\n";
    }
    const auto doc = loadRtf(rtf + "\\pard end}");
    // Qt keeps each cell format twice: as given and with its table's number.
    EXPECT_LT(doc->allFormats().size(), 2 * rtf::kMaxCellFormats + 1000);
    const auto tables = tablesOf(*doc);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].size(), size_t(rows));
    EXPECT_EQ(tables[0].back(), std::vector<QString>(63, QStringLiteral("x")));
}

namespace {

// One table row of three cells: a row definition, cells of plain or Word-like grouped text
// ("\pard ... {text\cell }", with the definition repeated before \row), and a \u character.
QByteArray tableRow(int columns, const QByteArray& key, bool grouped)
{
    QByteArray def = "\\trowd\\trgaph108";
    for (int c = 1; c <= columns; ++c)
        def += "\\cellx" + QByteArray::number(2000 * c);
    QByteArray row = def + "\\pard\\plain\\intbl ";
    for (int c = 0; c < columns; ++c) {
        const QByteArray text = key + "." + QByteArray::number(c) + (c == 1 ? " \\u268\\'c8" : "");
        row += grouped ? "{\\insrsid1 " + text + "}{\\cell }" : text + "\\cell ";
    }
    return row + (grouped ? "{" + def + "\\row }\r\n" : QByteArray("\\row\r\n"));
}

QString cellText(const Grid& table, int row, int column) { return table[size_t(row)][size_t(column)]; }

} // namespace

TEST(RtfTables, LongTableReadsWholeInEitherWritersWay)
{
    for (const bool grouped : {false, true}) {
        SCOPED_TRACE(grouped);
        const int rows = 3000;
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250 ";
        for (int r = 0; r < rows; ++r)
            rtf += tableRow(3, "r" + QByteArray::number(r), grouped);
        const auto doc = loadRtf(rtf + "\\pard after\\par}");
        const std::vector<Grid> tables = tablesOf(*doc);
        ASSERT_EQ(tables.size(), 1u);
        ASSERT_EQ(tables[0].size(), size_t(rows));
        for (const int r : {0, rows / 2, rows - 1}) {
            EXPECT_EQ(cellText(tables[0], r, 0), QStringLiteral("r%1.0").arg(r));
            EXPECT_EQ(cellText(tables[0], r, 1), QStringLiteral("r%1.1 Č").arg(r));
            EXPECT_EQ(cellText(tables[0], r, 2), QStringLiteral("r%1.2").arg(r));
        }
        EXPECT_TRUE(doc->toRawText().endsWith(QStringLiteral("after")));
    }
}

TEST(RtfTables, LongTableSplitsWhereRowsChangeCountOrTextComesBetween)
{
    QByteArray rtf = "{\\rtf1 ";
    for (int r = 0; r < 1200; ++r)
        rtf += tableRow(r < 700 ? 3 : 2, QByteArray::number(r), r % 2 == 0);
    rtf += "\\pard between\\par ";
    for (int r = 1200; r < 1500; ++r)
        rtf += tableRow(2, QByteArray::number(r), false);
    const auto doc = loadRtf(rtf + "}");
    const std::vector<Grid> tables = tablesOf(*doc);
    ASSERT_EQ(tables.size(), 3u);
    EXPECT_EQ(tables[0].size(), 700u);
    EXPECT_EQ(tables[1].size(), 500u);
    EXPECT_EQ(tables[2].size(), 300u);
    EXPECT_EQ(cellText(tables[0], 699, 2), "699.2");
    EXPECT_EQ(cellText(tables[1], 0, 0), "700.0");
    EXPECT_EQ(cellText(tables[1], 499, 1), "1199.1 Č");
    EXPECT_EQ(cellText(tables[2], 0, 0), "1200.0");
    EXPECT_TRUE(doc->toRawText().contains(QStringLiteral("between")));
}

TEST(RtfTables, LastCellKeepsItsParagraphFormatWhenRowsAreNotCountedAhead)
{
    // A note in every row: the rows cannot be counted ahead, so the table grows with room to
    // spare, which goes when it ends; the last cell, empty, keeps its right alignment (Qt joined
    // it to the first spare cell, whose formats it took).
    QByteArray rtf = "{\\rtf1 ";
    for (int rows = 5; rows <= 40; rows += 5) {
        for (int r = 0; r < rows; ++r)
            rtf += "\\pard\\intbl a{\\footnote n}\\cell\\pard\\intbl" + QByteArray(r == rows - 1 ? "\\qr " : " b") + "\\cell\\row ";
        rtf += "\\pard text\\par ";
    }
    const auto doc = loadRtf(rtf + "}");
    const auto frames = doc->rootFrame()->childFrames();
    ASSERT_EQ(frames.size(), 8);
    for (QTextFrame* frame : frames) {
        const auto* table = qobject_cast<QTextTable*>(frame);
        ASSERT_TRUE(table);
        SCOPED_TRACE(table->rows());
        const QTextTableCell last = table->cellAt(table->rows() - 1, 1);
        EXPECT_TRUE(last.firstCursorPosition().blockFormat().alignment() & Qt::AlignRight);
        EXPECT_FALSE(table->cellAt(table->rows() - 1, 0).firstCursorPosition().blockFormat().alignment() & Qt::AlignRight);
    }
}

TEST(RtfTables, ANoteInACellStaysInItsCell)
{
    // As Word writes a note: its own paragraph words, a paragraph end, no \intbl.
    const QByteArray row = "\\trowd\\cellx2000\\cellx4000\\pard\\intbl ";
    const auto doc = loadRtf("{\\rtf1\\ansi " + row + "A{\\super\\chftn}{\\footnote\\pard\\plain\\ql {\\super\\chftn} note\\par more}"
                             "\\cell B\\cell\\row " + row + "C\\cell D\\cell\\row\\pard after\\par}");
    EXPECT_EQ(tablesOf(*doc), (std::vector<Grid>{{{QStringLiteral("A\uFFFC"), "B"}, {"C", "D"}}}));
    EXPECT_EQ(notesOf(*doc), std::vector<QString>{" note|more"});
}

TEST(RtfTables, AHalfDoubleByteCharacterAtARowsStartKeepsItsCells)
{
    // A first byte of a Shift-JIS character whose second byte never comes, before \cell.
    const auto doc = loadRtf("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Mincho;}}\\f0 "
                             "\\trowd\\cellx1000\\cellx2000\\pard\\intbl \\'e8\\cell x\\cell\\row\\pard b\\par}");
    EXPECT_EQ(tablesOf(*doc), (std::vector<Grid>{{{QString(QChar(0xFFFD)), "x"}}}));
}

// A page break before a cell's paragraph is that paragraph's alone: the next cell, of the same
// format otherwise, does not take it (in a table in a cell neither).
TEST(RtfTables, APageBreakInACellStaysWithItsParagraph)
{
    const QByteArray rows = "\\trowd\\cellx1000\\cellx2000\\pard\\intbl x\\cell y\\cell\\row"
                            "\\pard\\intbl\\page a\\cell\\pard\\intbl b\\cell\\row";
    const QByteArray props = "{\\*\\nesttableprops\\trowd\\cellx500\\cellx900\\nestrow}";
    const QByteArray nested = "\\trowd\\cellx3000\\pard\\intbl o\\par\\pard\\intbl\\itap2 x\\nestcell y\\nestcell" + props
                              + "\\pard\\intbl\\itap2\\page a\\nestcell\\pard\\intbl\\itap2 b\\nestcell" + props
                              + "\\pard\\intbl\\cell\\row";
    for (const QByteArray& body : {rows, nested}) {
        const auto doc = loadRtf("{\\rtf1" + body + "}");
        SCOPED_TRACE(body.toStdString());
        EXPECT_TRUE(doc->findBlock(find(*doc, "a")).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        EXPECT_FALSE(doc->findBlock(find(*doc, "b")).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    }
}
