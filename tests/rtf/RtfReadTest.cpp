// Reading RTF written by other programs, and the reader's rules for code pages, insertion
// and the things the flat document holds differently (tables, notes, lists).
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/ListLevels.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

// Text compared line by line with white space folded; leading bullet glyphs, the object
// character of pictures, and words known to be hidden in the source are left out (how a
// program shows bullets and hidden text is its own choice).
QStringList normalised(QString text, const QStringList& hidden = {})
{
    text.remove(QChar(0xFEFF)).remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::LineSeparator, u'\n').replace(u'\r', u'\n');
    for (const QString& h : hidden)
        text.remove(h);
    static const QRegularExpression bullet(QStringLiteral("^[\\x{2022}\\x{25E6}\\x{25AA}\\x{2023}\\x{2043}\\x{F0B7}\\x{00B7}]\\s"));
    QStringList out;
    for (QString line : text.split(u'\n')) {
        line = line.simplified();
        line.remove(bullet);
        line = line.simplified();
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

QString expectedText(const QString& name)
{
    return QString::fromUtf8(readFile(sharedTestData(QStringLiteral("rtf/expected/") + name)));
}

bool hasBold(const CharFormat& f) { return f.effects & cfe::Bold; }

} // namespace

TEST(RtfSharedFiles, EveryFileLoadsWithItsExpectedText)
{
    struct Case {
        QString file, expected;
        QStringList hidden;
    };
    const std::vector<Case> withText = {
        {"word/accent.rtf", "word-accent.txt", {}},
        {"word/formatting.rtf", "word-formatting.txt", {"secret"}},
        {"word/heading.rtf", "word-heading.txt", {}},
        {"word/link.rtf", "word-link.txt", {}},
        {"word/list_simple.rtf", "word-list_simple.txt", {}},
        {"word/unicode.rtf", "word-unicode.txt", {}},
        {"libreoffice/letter.rtf", "letter.txt", {}},
        {"abiword/letter.rtf", "letter.txt", {}},
    };
    for (const Case& c : withText) {
        SCOPED_TRACE(c.file.toStdString());
        bool ok = false;
        const auto doc = loadRtf(readFile(sharedTestData("rtf/" + c.file)), &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(normalised(doc->toPlainText()), normalised(expectedText(c.expected), c.hidden));
    }
    // The rest have no expected text; each must still load and hold something.
    int files = 0;
    for (const QString sub : {"word", "libreoffice", "abiword"}) {
        const QDir dir(sharedTestData("rtf/" + sub));
        for (const QString& name : dir.entryList({"*.rtf"}, QDir::Files)) {
            SCOPED_TRACE(name.toStdString());
            bool ok = false;
            const auto doc = loadRtf(readFile(dir.filePath(name)), &ok);
            EXPECT_TRUE(ok);
            EXPECT_GT(doc->characterCount(), 1);
            ++files;
        }
    }
    EXPECT_GE(files, 13);
}

TEST(RtfSharedFiles, LetterKeepsItsFormatting)
{
    for (const QString file : {"libreoffice/letter.rtf", "abiword/letter.rtf"}) {
        SCOPED_TRACE(file.toStdString());
        const bool libre = file.startsWith("libre");
        const auto doc = loadRtf(readFile(sharedTestData("rtf/" + file)));

        const CharFormat first = formatAt(*doc, find(*doc, "Vážený"));
        EXPECT_EQ(first.faceName, "Verdana");
        EXPECT_EQ(first.height, 240);
        EXPECT_FALSE(hasBold(first));
        EXPECT_TRUE(hasBold(formatAt(*doc, find(*doc, "tučné"))));
        EXPECT_TRUE(formatAt(*doc, find(*doc, "šikmé")).effects & cfe::Italic);
        EXPECT_TRUE(formatAt(*doc, find(*doc, "podčiarknuté")).effects & cfe::Underline);
        EXPECT_TRUE(formatAt(*doc, find(*doc, "preškrtnuté")).effects & cfe::Strikeout);
        EXPECT_TRUE(formatAt(*doc, find(*doc, "x2") + 1).effects & cfe::Superscript);
        EXPECT_TRUE(formatAt(*doc, find(*doc, "H2O") + 1).effects & cfe::Subscript);
        const CharFormat red = formatAt(*doc, find(*doc, "Červený"));
        EXPECT_FALSE(red.effects & cfe::AutoColor);
        EXPECT_EQ(red.textColor, 0x0000FFu);
        const CharFormat marked = formatAt(*doc, find(*doc, "zvýraznený"));
        EXPECT_FALSE(marked.effects & cfe::AutoBackColor);
        EXPECT_EQ(marked.backColor, 0x00FFFFu);
        const CharFormat closing = formatAt(*doc, find(*doc, "S pozdravom"));
        EXPECT_EQ(closing.faceName, "DejaVu Sans Mono");
        EXPECT_EQ(closing.height, 210); // \fs21: 10.5 points exactly

        const CharFormat link = formatAt(*doc, find(*doc, "http://example.com/"));
        EXPECT_TRUE(link.effects & cfe::Link);
        EXPECT_EQ(link.linkTarget, "http://example.com/");
        EXPECT_FALSE(formatAt(*doc, find(*doc, "úvodzovky")).effects & cfe::Link);

        auto para = [&](const QString& text) { return readParaFormat(doc->findBlock(find(*doc, text))); };
        EXPECT_EQ(para("Vážený").alignment, pfa::Left);
        EXPECT_EQ(para("Červený").alignment, pfa::Center);
        EXPECT_EQ(para("Zarovnané").alignment, pfa::Right);
        EXPECT_EQ(para("Odsadený").startIndent, 1440);
        if (libre) { // AbiWord wrote its bullets as plain indented paragraphs
            EXPECT_EQ(para("prvá odrážka").numbering, pfn::Bullet);
            EXPECT_EQ(para("druhá odrážka").numbering, pfn::Bullet);
            EXPECT_EQ(para("prvá odrážka").startIndent, 709 - 283);
            EXPECT_EQ(para("prvá odrážka").offset, 283);
            // The PNG of \shppict is taken, not the metafile of \nonshppict.
            const int at = find(*doc, "obrázkom: ") + 10;
            QTextCursor c(doc.get());
            c.setPosition(at + 1);
            const auto pic = pictureFromFormat(c.charFormat());
            ASSERT_TRUE(pic.has_value());
            EXPECT_EQ(pic->kind, PictureKind::Png);
            EXPECT_EQ(pic->width, 16);
            EXPECT_EQ(pic->goalWidth, 240);
            EXPECT_TRUE(pic->data.startsWith("\x89PNG"));
        }
        EXPECT_EQ(para("Vážený").numbering, pfn::None);
    }
}

TEST(RtfSharedFiles, WordFilesListsLinksTablesNotesPictures)
{
    auto load = [](const char* name) { return loadRtf(readFile(sharedTestData(QStringLiteral("rtf/word/") + name))); };

    const auto legacy = load("list_legacy.rtf");
    const auto paras = paraRecords(*legacy);
    ASSERT_GE(paras.size(), 6u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(paras[size_t(i)].numbering, pfn::Arabic) << i;
    for (int i = 3; i < 6; ++i)
        EXPECT_EQ(paras[size_t(i)].numbering, pfn::Bullet) << i;
    EXPECT_EQ(legacy->toPlainText().trimmed(), "A\nNumbered\nList\nA\nBulleted\nList");

    const auto lists = load("list_simple.rtf");
    for (const QString text : {"one", "two", "sub", "new list"})
        EXPECT_EQ(readParaFormat(lists->findBlock(find(*lists, text))).numbering, pfn::Bullet) << text.toStdString();

    const auto link = load("link.rtf");
    EXPECT_EQ(formatAt(*link, find(*link, "pandoc")).linkTarget, "http://pandoc.org");
    const auto bookmark = load("bookmark.rtf");
    EXPECT_EQ(formatAt(*bookmark, find(*bookmark, "click me")).linkTarget, "#bookmark_1");
    EXPECT_FALSE(formatAt(*bookmark, find(*bookmark, "Bookmark_1")).effects & cfe::Link);

    const auto table = load("table_simple.rtf");
    // One \cellx for four cells: the cells share its width.
    EXPECT_EQ(tablesOf(*table), (std::vector<Grid>{{{"A ", "B ", "C ", "D "}, {"E ", "F ", "G ", "H "}}}));

    const auto notes = load("footnote.rtf");
    EXPECT_TRUE(notes->toPlainText().contains(u"annotated.\uFFFC It was")) << notes->toPlainText().toStdString();
    EXPECT_EQ(notesOf(*notes), (std::vector<QString>{"See Sahlins, Bateson, and Geertz for a complete bibliography.",
                                                     "A complete bibliography will be found at the end of this chapter."}));
    EXPECT_EQ(notes->blockCount(), 1);
    // A note with no mark before it shows the mark its text has; one inside a note stays its
    // text in brackets; an endnote is one.
    const auto marked = loadRtf("{\\rtf1 a{\\super *}{\\footnote{\\super *} one{\\footnote two}} b\\chftn{\\footnote\\ftnalt\\chftn three}}");
    EXPECT_EQ(marked->toPlainText(), u"a*\uFFFC b\uFFFC");
    EXPECT_EQ(notesOf(*marked), (std::vector<QString>{"(*) * one[two]", "(e) three"}));

    // A JPEG written with "\bin" and no length: the hex that follows is the picture.
    const auto image = load("image.rtf");
    QTextCursor c(image.get());
    c.setPosition(find(*image, QString(QChar::ObjectReplacementCharacter)) + 1);
    const auto pic = pictureFromFormat(c.charFormat());
    ASSERT_TRUE(pic.has_value());
    EXPECT_EQ(pic->kind, PictureKind::Jpeg);
    EXPECT_EQ(pic->goalWidth, 2880);
    const QImage shown = decodeJpeg(pic->data);
    EXPECT_EQ(shown.size(), QSize(250, 250));
    const QImage resource = image->resource(QTextDocument::ImageResource, QUrl(c.charFormat().toImageFormat().name())).value<QImage>();
    EXPECT_EQ(resource.size(), QSize(250, 250));
}

TEST(RtfReader, CharactersFollowTheCodePageOfTheirFont)
{
    const auto doc = loadRtf("{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\fcharset204 B;}"
                             "{\\f2\\fcharset0 C;}{\\f3\\fcharset161 D;}{\\f4 E;}{\\f5\\fcharset2 Symbol;}}"
                             "\\f0\\'9e\\f1\\'e6\\f2\\'e8\\f3\\'e1\\f4\\'9a\\f5\\'b7 \\f0 \\u268?\\u-3913?{\\uc2\\u945 xyz}}");
    EXPECT_EQ(doc->toPlainText(), QString::fromUtf16(u"žжèαš\uF0B7 Č\uF0B7αz"));
    EXPECT_EQ(formatAt(*doc, 1).charset, 204);
    EXPECT_EQ(formatAt(*doc, 1).faceName, "B");

    // Without a font table: the document's code page; without \ansicpg: Windows-1252.
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg1250 \\'9e\\'e8}")->toPlainText(), "žč");
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi \\'9e\\'e8}")->toPlainText(), "žè");
}

TEST(RtfReader, SpecialCharactersBreaksAndHiddenText)
{
    const auto doc = loadRtf("{\\rtf1 a\\emdash b\\endash c\\bullet\\lquote q\\rquote\\ldblquote d\\rdblquote "
                             "\\~x\\-y\\_z\\{\\}\\\\\\tab t\\line l{\\v hidden}{\\*\\unknown skipped {nested}}"
                             "{\\info{\\title T}}{\\stylesheet{\\s1 Heading;}}{\\header H}\\par next\\page last\\par\\sect}");
    EXPECT_EQ(doc->toRawText(), QString::fromUtf16(u"a\u2014b\u2013c\u2022\u2018q\u2019\u201Cd\u201D\u00A0x\u00ADy\u2011z{}\\\tt"
                                                    u"\u2028l\uFFFC\u2029next\u2029last"));
    // Hidden text is kept where it stands, as one object character that shows nothing.
    QTextCursor hidden(doc.get());
    hidden.setPosition(doc->toRawText().indexOf(QChar::ObjectReplacementCharacter) + 1);
    EXPECT_EQ(hiddenTextOf(hidden.charFormat()), "hidden");
    // Two equal hidden runs side by side share a fragment; written back they stay two.
    const auto twice = loadRtf("{\\rtf1 {\\v same}\\d\\v same}");
    EXPECT_EQ(loadRtf(writeRtf(*twice))->toRawText(), twice->toRawText());
    // \line is a line separator within the paragraph, not a new paragraph.
    EXPECT_EQ(doc->blockCount(), 3);
    // A page break, in a paragraph or after its end, or \pagebb: the next paragraph starts a page.
    const auto pages = loadRtf("{\\rtf1 a\\page b\\par\\page c\\par d\\par\\pard\\pagebb e\\par\\pard f}");
    std::string breaks;
    for (const ParaFormat& pf : paraRecords(*pages))
        breaks += pf.pageBreakBefore ? '1' : '0';
    EXPECT_EQ(breaks, "011010");
}

TEST(RtfReader, RefusesWhatIsNotRtfAndInsertsAtTheCursor)
{
    QTextDocument doc;
    doc.setPlainText("Hello world");
    QTextCursor cursor(&doc);
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    EXPECT_FALSE(readRtf("plain text {\\rtf1 no}", cursor));
    EXPECT_FALSE(readRtf("", cursor));
    EXPECT_EQ(doc.toPlainText(), "Hello world");
    EXPECT_TRUE(cursor.hasSelection());

    // Centre the paragraph, then paste a few bold words over "world": the paragraph keeps
    // its own format, the words bring theirs.
    ParaFormat centre;
    centre.mask = pfm::Alignment;
    centre.alignment = pfa::Center;
    applyParaFormat(QTextCursor(&doc), centre);
    EXPECT_TRUE(readRtf("  \r\n{\\rtf1\\ansi {\\b big} there}", cursor));
    EXPECT_EQ(doc.toPlainText(), "Hello big there");
    EXPECT_EQ(cursor.position(), 15);
    EXPECT_EQ(readParaFormat(doc.begin()).alignment, pfa::Center);
    EXPECT_TRUE(formatAt(doc, 6).effects & cfe::Bold);
    EXPECT_FALSE(formatAt(doc, 10).effects & cfe::Bold);

    // A final \par of a document read at the end adds no empty paragraph; in the middle of
    // the text the break is kept.
    QTextDocument whole;
    QTextCursor end(&whole);
    readRtf("{\\rtf1 one\\par two\\par}", end);
    EXPECT_EQ(whole.blockCount(), 2);
    QTextDocument middle;
    middle.setPlainText("XY");
    QTextCursor mid(&middle);
    mid.setPosition(1);
    readRtf("{\\rtf1 one\\par}", mid);
    EXPECT_EQ(middle.toPlainText(), "Xone\nY");
}

TEST(RtfReader, EveryRunAndParagraphGetsACompleteFormat)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("Courier", 31));
    QTextCursor cursor(&doc);
    readRtf("{\\rtf1 plain\\par {\\pard\\qc\\li300\\fi-100 \\cf1 centred\\par}}", cursor);
    const CharFormat plain = formatAt(doc, 0);
    EXPECT_EQ(plain.height, 240); // RTF's own default, not the document's
    EXPECT_TRUE(plain.effects & cfe::AutoColor); // \cf1 without a colour table: automatic
    const ParaFormat second = readParaFormat(doc.begin().next());
    EXPECT_EQ(second.alignment, pfa::Center);
    EXPECT_EQ(second.startIndent, 200);
    EXPECT_EQ(second.offset, 100);
    EXPECT_EQ(readParaFormat(doc.begin()).alignment, pfa::Left);
}

TEST(RtfReader, StarMarksADestinationOnlyRightAfterABrace)
{
    EXPECT_EQ(loadRtf("{\\rtf1 {\\b\\*\\cs7 The quick brown fox} jumps{\\*\\cs8 styled away}{\\*\\unknown gone}.}")
                  ->toPlainText().toStdString(),
              "The quick brown fox jumps.");
    // A known word after \* is read as ever.
    EXPECT_EQ(loadRtf("{\\rtf1 a{\\*\\fldinst x}b \\*c}")->toPlainText().toStdString(), "ab c");
}

// A paragraph that goes on the item before it (\pnlvlcont, or a level that shows nothing)
// shows no label, and the next item counts on.
TEST(RtfReader, ContinuationParagraphsOfAListShowNoLabel)
{
    const auto doc = loadRtf("{\\rtf1{\\*\\listtable{\\list\\listid5{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
                             "{\\listlevel\\levelnfc255{\\leveltext\\'00;}}}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}"
                             "\\pard\\ls1 Prvy\\par\\pard\\ls1{\\*\\pn\\pnlvlcont\\ilvl0\\ls1\\pnrnot0\\pndec}pokracovanie\\par"
                             "\\pard\\ls1\\ilvl1 bez cisla\\par\\pard\\ls1 Druhy\\par}");
    QStringList labels;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        labels << listLabel(b);
    EXPECT_EQ(labels, QStringList({"1.", "", "", "2."}));
    EXPECT_EQ(readParaFormat(doc->begin().next()).numbering, pfn::None);
}

// A level's first number, its label around the number, a symbol font's bullet, and its indent,
// which a paragraph that states none takes; all of it written back.
TEST(RtfReader, ListLevelsKeepStartLabelBulletAndIndent)
{
    const auto doc = loadRtf("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\*\\listtable{\\list\\listid3"
                             "{\\listlevel\\levelnfc0\\levelstartat4{\\leveltext\\'03(\\'00);}\\fi-360\\li720}"
                             "{\\listlevel\\levelnfc23{\\leveltext\\f1\\'01\\'b7;}\\fi-360\\li1440}}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid3\\ls2}}"
                             "\\pard\\ls2 a\\par\\pard\\ls2\\ilvl1 b\\par\\pard\\ls2\\ilvl1\\li100 c\\par\\pard\\ls2 d\\par}");
    const auto shown = [](const QTextDocument& d) {
        QStringList out;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
            const ParaFormat pf = readParaFormat(b);
            out << QStringLiteral("%1 %2/%3").arg(listLabel(b)).arg(pf.startIndent).arg(pf.offset);
        }
        return out.join(u'|').toStdString();
    };
    EXPECT_EQ(shown(*doc), "(4) 360/360|\u2022 1080/360|\u2022 100/0|(5) 360/360");
    EXPECT_EQ(shown(*loadRtf(writeRtf(*doc))), shown(*doc));
}

TEST(RtfReader, ListLabelsEndAtTheirLastTab)
{
    // The label is everything up to the group's last tab; a label without a tab is all label.
    const auto doc = loadRtf("{\\rtf1{\\*\\listtable{\\list\\listid7{\\listlevel\\levelnfc23}}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                             "\\pard\\ls1{\\listtext\\tab \\bullet \\tab}First item\\par"
                             "{\\listtext 2.}Second\\par"
                             "\\pard{\\pntext\\f1 a)\\tab}Third\\par}");
    EXPECT_EQ(doc->toPlainText().toStdString(), "First item\nSecond\nThird");
    EXPECT_EQ(readParaFormat(doc->begin()).numbering, pfn::Bullet);
    // A bullet as \uN, its tab taken for the fallback, still ends at the tab.
    EXPECT_EQ(loadRtf("{\\rtf1{\\listtext\\tab \\u8226 \\tab}First item}")->toPlainText().toStdString(), "First item");
    // A writer that puts the item itself after the tab, inside the label group.
    EXPECT_EQ(loadRtf("{\\rtf1{\\listtext\\pard{\\f1 \\'b7}{\\tab first}{\\par}}{\\listtext\\tab second\\par}after\\par}")
                  ->toPlainText().toStdString(),
              "first\nsecond\nafter");
}

TEST(RtfReader, TextBoxesAreKeptAtTheirPlace)
{
    const auto doc = loadRtf(
        "{\\rtf1 before{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 202}}"
        "{\\shptxt \\pard Text in a text box\\par second line\\par}}"
        "{\\shprslt{\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext\\pard fallback copy\\par}}}}after\\par"
        "{\\*\\do\\dobxpage\\dptxbx{\\dptxbxtext\\pard Old box\\par}}{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv x}}}"
        "{\\shprslt{\\pict\\pngblip 00}}}end}");
    EXPECT_EQ(doc->toPlainText().toStdString(), "before\nText in a text box\nsecond line\nafter\nOld box\n\xEF\xBF\xBC" "end");
}

// A picture held in a shape, as LibreOffice writes every floating picture and Word its
// floating ones, is an inline picture where the shape stands, at the size of the shape's box;
// the copy for readers without shapes (\shprslt, \nonshppict) is left out, and so is a
// picture that only fills the shape. It is written back as a picture.
TEST(RtfReader, PicturesInShapesAreReadAtTheShapesPlaceAndSize)
{
    const QByteArray png = pictureFromImage(QImage(40, 20, QImage::Format_RGB32)).data.toHex();
    const QByteArray fill = pictureFromImage(QImage(7, 7, QImage::Format_RGB32)).data.toHex();
    const auto doc = loadRtf(
        "{\\rtf1 a{\\shp{\\*\\shpinst\\shpleft100\\shpright1540\\shptop0\\shpbottom720"
        "{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip " + fill + "}}}"
        "{\\sp{\\sn pib}{\\sv {\\pict\\picscalex150\\picw40\\pich20\\picwgoal600\\pichgoal300\\pngblip " + png + "}}}}"
        "{\\shprslt\\par\\pard{\\pict\\pngblip " + png + "}\\par}}"
        "b{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
        "c{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\picwgoal300\\pichgoal150\\pngblip " + png + "}}}}}d}");
    const QString object(QChar::ObjectReplacementCharacter);
    EXPECT_EQ(doc->toPlainText(), "a" + object + "b" + object + "c" + object + "d");
    const auto records = charRecords(*doc);
    ASSERT_EQ(records.size(), 7u);
    for (const size_t i : {1u, 3u, 5u}) {
        ASSERT_TRUE(records[i].picture.has_value()) << i;
        EXPECT_EQ(QSize(records[i].picture->width, records[i].picture->height), QSize(40, 20)) << i;
    }
    EXPECT_EQ(displaySizeTwips(*records[1].picture), QSize(1440, 720)); // the shape's box
    EXPECT_EQ(displaySizeTwips(*records[5].picture), QSize(300, 150));  // a shape that states none
    const auto back = loadRtf(writeRtf(*doc));
    EXPECT_EQ(back->toPlainText(), doc->toPlainText());
    const auto again = charRecords(*back);
    for (size_t i = 0; i < std::min(again.size(), records.size()); ++i)
        EXPECT_EQ(again[i].picture, records[i].picture) << i;
}

TEST(RtfReader, NestedTablesAreReadOnce)
{
    // The copy for readers without nested tables is left out; cell text a malformed writer put
    // among the nested table's properties is kept, in the nested table's cell. A table a level
    // deeper stays text in its cell.
    const auto doc = loadRtf("{\\rtf1\\pard\\intbl a\\cell\\pard\\intbl\\itap2 b\\nestcell{\\*\\nesttableprops\\trowd"
                             "\\cellx100 c\\nestcell\\nestrow}{\\nonesttables b copy\\par}"
                             "\\pard\\intbl\\itap2 d\\par\\itap3 e\\nestcell f\\nestcell{\\*\\nesttableprops\\trowd\\cellx50\\cellx90\\nestrow}"
                             "\\itap2\\nestcell{\\*\\nesttableprops\\trowd\\cellx100\\nestrow}\\cell\\row}");
    EXPECT_EQ(tablesOf(*doc), (std::vector<Grid>{{{"a", "[b\tc[d|e\tf]"}}}));
    EXPECT_EQ(tablesOf(*doc, true), (std::vector<Grid>{{{"b\tc"}, {"d|e\tf"}}}));
}

// Text that names no language is in the document's default (\deflang, which \plain returns
// to); text not to be proofed comes as \lang1024 with its language in \langnp; every number
// is bounded.
TEST(RtfReader, LanguagesOfOtherWordProcessors)
{
    const auto doc = loadRtf("{\\rtf1\\ansi\\deflang1031 Hallo {\\lang1024\\langfe1024\\noproof\\langnp1033 code}"
                             "{\\lang1033 over{\\plain Welt}}{\\lang1051 slovo}{\\lang99999 big}}");
    const auto at = [&](const char* word) { return formatAt(*doc, find(*doc, word)); };
    EXPECT_EQ(at("Hallo").language, 1031);
    EXPECT_EQ(at("code").language, 1033);
    EXPECT_TRUE(at("code").noProof);
    EXPECT_FALSE(at("over").noProof);
    EXPECT_EQ(at("over").language, 1033);
    EXPECT_EQ(at("Welt").language, 1031);
    EXPECT_EQ(at("slovo").language, kSlovakLanguage);
    EXPECT_EQ(at("big").language, 0xFFFF);
    EXPECT_EQ(loadRtf("{\\rtf1 text}")->begin().begin().fragment().charFormat().hasProperty(docprop::Language), false);
}
