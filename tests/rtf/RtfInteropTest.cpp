// What LibreOffice and AbiWord make of the RTF we write. Both programs are part of the test
// run: a missing one fails these tests with the package to install.
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/Sections.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QXmlStreamReader>
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

namespace {

// A run's colours as a reader sees them: "rrggbb/rrggbb", "-" for automatic (black) text and
// for no background.
QString colourKey(std::optional<QColor> text, std::optional<QColor> back)
{
    const auto name = [](const std::optional<QColor>& c) { return c ? c->name().mid(1) : QStringLiteral("-"); };
    if (text && (text->rgb() & 0xFFFFFF) == 0)
        text.reset();
    return name(text) + u'/' + name(back);
}

// Each run of each paragraph as its text and colours, runs of the same colours joined.
struct ColouredRuns {
    QStringList runs;
    QString text, colours;
    void add(const QString& chars, const QString& key)
    {
        if (key != colours)
            end();
        text += chars;
        colours = key;
    }
    void end()
    {
        if (!text.isEmpty())
            runs += text + u' ' + colours;
        text.clear();
    }
};

QStringList colouredRuns(const QTextDocument& doc)
{
    ColouredRuns out;
    for (const CharRecord& r : charRecords(doc)) {
        const CharFormat& f = r.format;
        if (r.ch == u'\n') {
            out.end();
            continue;
        }
        const auto colour = [](bool automatic, ColorRef ref) {
            return automatic ? std::nullopt : std::optional<QColor>(colorFromRef(ref));
        };
        out.add(r.ch, colourKey(colour(f.effects & cfe::AutoColor, f.textColor),
                                colour(f.effects & cfe::AutoBackColor, f.backColor)));
    }
    out.end();
    return out.runs;
}

// The same from AbiWord's own file format, where a run's properties are those of its element
// and the elements around it.
QStringList colouredRuns(const QByteArray& abw)
{
    ColouredRuns out;
    QXmlStreamReader xml(abw);
    QStringList props; // of the open elements, innermost last
    const auto property = [&](const QString& name) -> std::optional<QColor> {
        const QRegularExpression re("(?:^|;)\\s*" + name + ":\\s*([0-9a-fA-F]{6})");
        for (qsizetype i = props.size() - 1; i >= 0; --i) {
            if (const auto m = re.match(props[i]); m.hasMatch())
                return QColor(u'#' + m.captured(1));
        }
        return std::nullopt;
    };
    bool inText = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            props += xml.attributes().value("props").toString();
            inText = inText || xml.name() == u"p";
            break;
        case QXmlStreamReader::EndElement:
            props.removeLast();
            if (xml.name() == u"p") {
                out.end();
                inText = false;
            }
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                out.add(xml.text().toString(), colourKey(property("color"), property("bgcolor")));
            break;
        default: break;
        }
    }
    return out.runs;
}

} // namespace

// A styled document's text colours and backgrounds are what LibreOffice and AbiWord show of
// our save: a styled paragraph's first run gains no highlight (AbiWord takes \highlight0 for
// black) and no run loses one.
TEST(RtfInterop, StyledParagraphsKeepTheirColoursInOtherPrograms)
{
    const auto ours = loadRtf("{\\rtf1\\ansi{\\colortbl;\\red200\\green0\\blue0;\\red255\\green255\\blue0;}"
                              "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}"
                              "\\pard\\s1 Nadpis\\par\\pard\\s0 Obycajny {\\cf1 cerveny} a {\\highlight2 zvyrazneny} text.\\par"
                              "\\pard\\s1 {\\cf1\\highlight2 Oboje} a nic\\par}");
    const QStringList expected = colouredRuns(*ours);
    ASSERT_EQ(expected.size(), 8) << expected.join(u'|').toStdString();
    const QByteArray saved = writeRtf(*ours);
    const auto office = loadRtf(convertByOtherProgram("soffice", {saved}, "rtf")[0]);
    EXPECT_EQ(colouredRuns(*office).join(u'|').toStdString(), expected.join(u'|').toStdString());
    EXPECT_EQ(colouredRuns(convertByOtherProgram("abiword", {saved}, "abw")[0]).join(u'|').toStdString(),
              expected.join(u'|').toStdString());
}

// Text in a file that names no font shows in each program's own default face, and so it does
// after our save: we write no face for it (nor a default font), only for what names one. So
// with text of no size, which a program may give its paragraph style's size.
TEST(RtfInterop, FacesAndSizesShowAsTheOtherProgramShowedThem)
{
    const std::vector<QByteArray> files{
        "{\\rtf1\\ansi\\pard Bez p\\'edsma.\\par}",
        "{\\rtf1\\ansi{\\fonttbl{\\f1\\fswiss Arial;}}\\pard Bez p\\'edsma, {\\f1 v Ariali} a zase bez.\\par}",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\stylesheet{\\s0 Normal;}{\\s1\\fs36 heading 1;}"
        "{\\s2\\sbasedon1 Podnadpis;}}\\pard\\s1 Nadpis\\par\\pard\\s2 Pod nadpisom\\par\\pard\\s0 Text {\\fs20 mensi}"
        "\\par\\pard\\s2 Znova\\par}"};
    std::vector<QByteArray> saved;
    for (const QByteArray& file : files) {
        saved.push_back(writeRtf(*loadRtf(file)));
        EXPECT_EQ(writeRtf(*loadRtf(saved.back())).toStdString(), saved.back().toStdString()); // and stays so
    }
    for (const char* program : {"soffice", "abiword"}) {
        const auto before = convertByOtherProgram(program, files, "rtf");
        const auto after = convertByOtherProgram(program, saved, "rtf");
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(testing::Message() << program << " file " << i << ": " << saved[i].toStdString());
            const auto shown = loadRtf(before[i]), ours = loadRtf(after[i]);
            for (const char* text : {"Bez", "v Ariali", "a zase", "Nadpis", "Pod nadpisom", "Text", "mensi", "Znova"}) {
                if (shown->find(text).isNull())
                    continue;
                const CharFormat was = formatAt(*shown, find(*shown, text)), is = formatAt(*ours, find(*ours, text));
                EXPECT_EQ(is.faceName.toStdString(), was.faceName.toStdString()) << text;
                EXPECT_EQ(is.height, was.height) << text;
            }
        }
    }
}

// Tables of other cell counts one empty paragraph apart, as LibreOffice writes them, stay
// apart through our save, and a table with no paragraph before it gains none.
TEST(RtfInterop, TablesOneEmptyParagraphApartStayApart)
{
    const auto table = [](int cells, const char* name) {
        QByteArray rtf = "\\trowd";
        for (int c = 1; c <= cells; ++c)
            rtf += "\\cellx" + QByteArray::number(1500 * c);
        for (int c = 0; c < cells; ++c)
            rtf += QByteArray("\\pard\\intbl ") + name + QByteArray::number(c) + "\\cell ";
        return rtf + "\\row ";
    };
    const QByteArray source = "{\\rtf1\\ansi " + table(2, "a") + "\\pard\\par " + table(3, "b") + "\\pard\\par "
                              + table(2, "c") + "\\pard\\par\\par " + table(3, "d") + "\\pard Koniec.\\par}";
    const QByteArray office = convertByOtherProgram("soffice", {source}, "rtf")[0];
    const QByteArray saved = writeRtf(*loadRtf(office));
    // The tables each program makes, in its own format (its RTF would write a table of rows of
    // several counts as several tables again).
    for (const auto& [program, format, tag] : {std::tuple{"soffice", "fodt", "<table:table "}, {"abiword", "abw", "<table "}}) {
        SCOPED_TRACE(program);
        const auto own = convertByOtherProgram(program, {office, saved}, format);
        EXPECT_EQ(own[1].count(tag), own[0].count(tag));
        const auto shown = readByOtherProgram(program, {office, saved});
        EXPECT_EQ(shown[1].toStdString(), shown[0].toStdString());
    }
    EXPECT_EQ(convertByOtherProgram("soffice", {office}, "fodt")[0].count("<table:table "), 4);
}

// A right-to-left paragraph of complex-script text, as LibreOffice writes it, is laid out right
// to left here and keeps its direction, other scripts' font and size through our save.
TEST(RtfInterop, RightToLeftTextKeepsItsDirectionAndScriptFormats)
{
    const QByteArray source = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil DejaVu Sans;}}"
                              "\\pard\\rtlpar\\rtlch\\af1\\afs32 \\u1513?\\u1500?\\u1493?\\u1501? \\u1506?\\u1493?\\u1500?\\u1501?\\par"
                              "\\pard\\ltrpar\\ltrch Zlava doprava\\par}";
    const auto ours = loadRtf(convertByOtherProgram("soffice", {source}, "rtf")[0]);
    const auto check = [](const QTextDocument& doc) {
        const QTextBlock first = doc.begin();
        EXPECT_EQ(first.blockFormat().layoutDirection(), Qt::RightToLeft);
        EXPECT_NE(first.next().blockFormat().layoutDirection(), Qt::RightToLeft);
        const QTextCharFormat hebrew = first.begin().fragment().charFormat();
        EXPECT_TRUE(hebrew.boolProperty(docprop::RtlRun));
        EXPECT_EQ(hebrew.intProperty(docprop::AssocHalfPoints), 32);
        EXPECT_EQ(hebrew.stringProperty(docprop::AssocFace), QStringLiteral("DejaVu Sans"));
    };
    check(*ours);
    const QByteArray saved = writeRtf(*ours);
    check(*loadRtf(saved));
    check(*loadRtf(convertByOtherProgram("soffice", {saved}, "rtf")[0]));
    const QByteArray abw = convertByOtherProgram("abiword", {saved}, "abw")[0];
    EXPECT_TRUE(QRegularExpression("<p [^>]*dom-dir:rtl[^>]*>[^<]*<c [^>]*>\\x{5e9}").match(QString::fromUtf8(abw)).hasMatch())
        << abw.toStdString();
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

// A floating picture as LibreOffice writes one (a shape whose picture is its pib property) is
// read as a picture where the shape stands, at the shape's size; our save of it shows the
// picture in LibreOffice and AbiWord.
TEST(RtfInterop, FloatingPictureOfLibreOfficeIsKept)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QByteArray fodt
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
          " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
          " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
          " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" office:version=\"1.2\""
          " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
          "<text:p>Prvý odsek.</text:p><text:p>Pri obrázku<draw:frame draw:name=\"P\" text:anchor-type=\"paragraph\""
          " svg:width=\"2cm\" svg:height=\"1cm\"><draw:image><office:binary-data>"
        + pictureFromImage(image).data.toBase64()
        + "</office:binary-data></draw:image></draw:frame> stojí text.</text:p><text:p>Koniec.</text:p>"
          "</office:text></office:body></office:document>";
    const QByteArray theirs = convertByOtherProgram("soffice", {fodt}, "rtf")[0];
    ASSERT_TRUE(theirs.contains("\\shp") && theirs.contains("{\\sn pib}")) << theirs.left(3000).toStdString();

    const auto doc = loadRtf(theirs);
    std::vector<Picture> pictures;
    for (const CharRecord& c : charRecords(*doc)) {
        if (c.picture)
            pictures.push_back(*c.picture);
    }
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(QSize(pictures[0].width, pictures[0].height), QSize(40, 20));
    EXPECT_EQ(displaySizeTwips(pictures[0]), QSize(1134, 567)); // 2 cm by 1 cm
    const QTextBlock block = doc->findBlock(find(*doc, "Pri obrázku"));
    EXPECT_TRUE(block.text().contains(QChar::ObjectReplacementCharacter)) << block.text().toStdString();
    EXPECT_EQ(doc->toPlainText().remove(QChar::ObjectReplacementCharacter), "Prvý odsek.\nPri obrázku stojí text.\nKoniec.");

    const QByteArray saved = writeRtf(*doc);
    const QString office = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    EXPECT_TRUE(office.contains("<draw:image") && office.contains("<office:binary-data>")) << office.right(3000).toStdString();
    const QString abiword = QString::fromUtf8(convertByOtherProgram("abiword", {saved}, "abw")[0]);
    EXPECT_TRUE(abiword.contains("<image ") && abiword.contains("mime-type=\"image/png\"")) << abiword.right(3000).toStdString();
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

// A bookmark and a reference to it, as LibreOffice writes them, are kept through our save:
// LibreOffice reading our save has the bookmark and the reference field again.
TEST(RtfInterop, BookmarksAndReferencesReachLibreOffice)
{
    const QByteArray fodt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                            "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                            " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\""
                            " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
                            "<text:p>Článok <text:bookmark-start text:name=\"Clanok\"/>Platby<text:bookmark-end"
                            " text:name=\"Clanok\"/> platí.</text:p><text:p>Pozri <text:bookmark-ref"
                            " text:reference-format=\"text\" text:ref-name=\"Clanok\">Platby</text:bookmark-ref>.</text:p>"
                            "</office:text></office:body></office:document>";
    const QByteArray theirs = convertByOtherProgram("soffice", {fodt}, "rtf")[0];
    const auto doc = loadRtf(theirs);
    const int ref = doc->findBlockByNumber(1).position() + int(doc->findBlockByNumber(1).text().indexOf("Platby"));
    QTextCursor at(doc.get());
    at.setPosition(ref + 1);
    EXPECT_TRUE(at.charFormat().stringProperty(docprop::FieldInstruction).contains("Clanok"))
        << theirs.right(1500).toStdString();

    const QByteArray saved = writeRtf(*doc);
    const QString office = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    const QString body = office.mid(office.indexOf("<office:body>"));
    EXPECT_TRUE(body.contains(QRegularExpression("<text:bookmark-start text:name=\"Clanok\"/>(<[^>]*>)*Platby(<[^>]*>)*"
                                                     "<text:bookmark-end text:name=\"Clanok\"/>")))
        << body.toStdString();
    EXPECT_TRUE(body.contains(QRegularExpression("<text:bookmark-ref [^>]*text:ref-name=\"Clanok\"[^>]*>Platby<")))
        << body.toStdString();
}

// A table in a table's cell, as LibreOffice writes it (it states the outer row again after the
// cell and ends the row with one cell too many), is a table in that cell here, and our save
// shows the same nesting in LibreOffice and AbiWord.
TEST(RtfInterop, NestedTablesStayNested)
{
    const auto cell = [](const QString& content) { return "<table:table-cell>" + content + "</table:table-cell>"; };
    const auto table = [](const QString& rows) {
        return "<table:table><table:table-column table:number-columns-repeated=\"2\"/>" + rows + "</table:table>";
    };
    const auto p = [](const char* text) { return QString("<text:p>%1</text:p>").arg(text); };
    const QString inner = table("<table:table-row>" + cell(p("x1")) + cell(p("x2")) + "</table:table-row><table:table-row>"
                                + cell(p("x3")) + cell(p("x4")) + "</table:table-row>");
    const QString outer = table("<table:table-row>" + cell(p("A1") + inner + p("po")) + cell(p("B1"))
                                + "</table:table-row><table:table-row>" + cell(p("A2")) + cell(p("B2")) + "</table:table-row>");
    const QByteArray fodt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                            "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                            " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
                            " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:version=\"1.2\""
                            " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
                            + (p("Pred") + outer + p("Po")).toUtf8() + "</office:text></office:body></office:document>";
    const QByteArray theirs = convertByOtherProgram("soffice", {fodt}, "rtf")[0];
    ASSERT_TRUE(theirs.contains("\\nestcell")) << theirs.toStdString();

    const auto doc = loadRtf(theirs);
    const std::vector<Grid> outerGrid{{{"A1[x1[x2[x3[x4]po", "B1"}, {"A2", "B2"}}};
    const std::vector<Grid> innerGrid{{{"x1", "x2"}, {"x3", "x4"}}};
    EXPECT_EQ(tablesOf(*doc), outerGrid);
    EXPECT_EQ(tablesOf(*doc, true), innerGrid);
    const QByteArray saved = writeRtf(*doc);
    const auto back = loadRtf(saved);
    EXPECT_EQ(tablesOf(*back), outerGrid);
    EXPECT_EQ(tablesOf(*back, true), innerGrid);
    const auto body = [](const QByteArray& rtf) { return rtf.mid(rtf.indexOf("\\viewkind")).toStdString(); };
    EXPECT_EQ(body(writeRtf(*back)), body(saved));

    // Each program's own format, down to its tables, cells and text.
    const auto shape = [](const QByteArray& xml, const QString& tableTag, const QString& cellTag) {
        QString out;
        QXmlStreamReader r(xml);
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.qualifiedName() == tableTag)
                out += " T(";
            else if (r.isEndElement() && r.qualifiedName() == tableTag)
                out += " )";
            else if (r.isStartElement() && r.qualifiedName() == cellTag)
                out += " C";
            else if (r.isCharacters() && !r.isWhitespace() && r.text().toString().contains(QRegularExpression("^[A-Za-z][0-9]$|^po$")))
                out += " " + r.text().toString();
        }
        return out.toStdString();
    };
    const std::string expected = " T( C A1 T( C x1 C x2 C x3 C x4 ) po C B1 C A2 C B2 )";
    EXPECT_EQ(shape(convertByOtherProgram("soffice", {saved}, "fodt")[0], "table:table", "table:table-cell"), expected);
    EXPECT_EQ(shape(convertByOtherProgram("abiword", {saved}, "abw")[0], "table", "cell"), expected);
}

// A list of three levels made by LibreOffice ("1.", "a)", "i.") is read with its levels and
// labels, a paragraph that goes on an item without a label keeps none, and after our save
// LibreOffice and AbiWord show the levels and labels they showed of LibreOffice's own file.
TEST(RtfInterop, ListLevelsAndLabelsComeThroughOurSave)
{
    const auto item = [](const char* text, const QByteArray& sublist = {}) {
        return "<text:list-item><text:p>" + QByteArray(text) + "</text:p>" + sublist + "</text:list-item>";
    };
    QByteArray levels;
    for (const auto& [level, format, suffix] : {std::tuple{1, "1", "."}, {2, "a", ")"}, {3, "i", "."}})
        levels += "<text:list-level-style-number text:level=\"" + QByteArray::number(level) + "\" style:num-format=\""
                  + format + "\" style:num-suffix=\"" + suffix + "\"/>";
    const QByteArray fodt
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
          " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
          " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" office:version=\"1.2\""
          " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:automatic-styles>"
          "<text:list-style style:name=\"L1\">" + levels + "</text:list-style></office:automatic-styles>"
          "<office:body><office:text><text:p>Pred.</text:p><text:list text:style-name=\"L1\">"
        + item("Jedna", "<text:list>" + item("Pod A", "<text:list>" + item("Hlbka") + item("Hlbka2") + "</text:list>")
                            + item("Pod B") + "</text:list>")
        + "<text:list-item><text:p>Dva</text:p><text:p>pokracovanie</text:p></text:list-item>"
          "</text:list><text:p>Po.</text:p></office:text></office:body></office:document>";
    const QByteArray theirs = convertByOtherProgram("soffice", {fodt}, "rtf")[0];
    const auto doc = loadRtf(theirs);
    QStringList read;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        read << (b.textList() ? QString::number(listLevelOf(b)) + u' ' + listLabel(b) + u' ' : QString()) + b.text();
    EXPECT_EQ(read.join(u'|').toStdString(),
              "Pred.|0 1. Jedna|1 a) Pod A|2 i. Hlbka|2 ii. Hlbka2|1 b) Pod B|0 2. Dva|pokracovanie|Po.")
        << theirs.toStdString();

    const QByteArray saved = writeRtf(*doc);
    // LibreOffice's text shows each label, indented by its level.
    const auto office = readByOtherProgram("soffice", {theirs, saved});
    EXPECT_TRUE(office[0].contains("a) Pod A")) << office[0].toStdString();
    EXPECT_EQ(office[1].toStdString(), office[0].toStdString());
    // AbiWord's own file: each paragraph's level and its list's numbering and label text.
    const auto abiword = convertByOtherProgram("abiword", {theirs, saved}, "abw");
    const auto items = [](const QByteArray& abw) {
        QStringList out;
        for (const QRegularExpressionMatch& p : QRegularExpression("<p level=\"(\\d)\"[^>]*>").globalMatch(QString::fromUtf8(abw))) {
            const QString props = p.captured(0);
            out << p.captured(1) + u' ' + QRegularExpression("list-style:([^;\"]*)").match(props).captured(1) + u' '
                       + QRegularExpression("list-delim:([^;\"]*)").match(props).captured(1);
        }
        return out.join(u'|').toStdString();
    };
    EXPECT_EQ(items(abiword[1]), items(abiword[0]));
    EXPECT_TRUE(items(abiword[0]).starts_with("0 Numbered List %L.|1 Lower Case List %L)|2 Lower Roman List %L.|"))
        << items(abiword[0]);
}

TEST(RtfInterop, NotesOfLibreOfficeComeBackAsNotesInBothPrograms)
{
    const auto note = [](const char* kind, const char* citation, const QByteArray& body) {
        return "<text:note text:id=\"n" + QByteArray(citation) + "\" text:note-class=\"" + kind + "\"><text:note-citation>"
               + citation + "</text:note-citation><text:note-body>" + body + "</text:note-body></text:note>";
    };
    const QByteArray fodt
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
          " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\""
          " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text><text:p>Telo"
        + note("footnote", "1", "<text:p>Prvá poznámka.</text:p><text:p>Jej druhý odsek.</text:p>") + " a ďalej"
        + note("footnote", "2", "<text:p>Druhá.</text:p>") + ".</text:p><text:p>Koniec"
        + note("endnote", "i", "<text:p>Vysvetlivka na konci.</text:p>") + ".</text:p></office:text></office:body></office:document>";
    const std::vector<QString> expected{"Prvá poznámka.|Jej druhý odsek.", "Druhá.", "(e) Vysvetlivka na konci."};
    const auto trimmed = [](std::vector<QString> notes) {
        for (QString& n : notes)
            n = n.remove(u'\t').split(u'|').replaceInStrings(QRegularExpression("^\\s+|\\s+$"), {}).join(u'|');
        return notes;
    };
    const auto doc = loadRtf(convertByOtherProgram("soffice", {fodt}, "rtf")[0]);
    EXPECT_EQ(doc->toPlainText(), QString::fromUtf8("Telo\uFFFC a ďalej\uFFFC.\nKoniec\uFFFC."));
    EXPECT_EQ(trimmed(notesOf(*doc)), expected);

    const QByteArray saved = writeRtf(*doc);
    EXPECT_EQ(writeRtf(*loadRtf(saved)), saved);
    const QString office = QString::fromUtf8(convertByOtherProgram("soffice", {saved}, "fodt")[0]);
    EXPECT_EQ(office.count("<text:note "), 3) << office.right(3000).toStdString();
    EXPECT_EQ(office.count("text:note-class=\"endnote\"><"), 1);
    const QString abiword = QString::fromUtf8(convertByOtherProgram("abiword", {saved}, "abw")[0]);
    EXPECT_EQ(abiword.count("<foot "), 2) << abiword.right(3000).toStdString();
    EXPECT_EQ(abiword.count("<endnote "), 1);
    for (const char* text : {"Prvá poznámka.", "Jej druhý odsek.", "Druhá.", "Vysvetlivka na konci."}) {
        EXPECT_TRUE(office.contains(QString::fromUtf8(text))) << text;
        EXPECT_TRUE(abiword.contains(QString::fromUtf8(text))) << text;
    }
}

namespace {

// LibreOffice's flat file of two sections: portrait A4 with its header, then landscape A4
// with its own; the page number and count in both footers.
QByteArray twoSectionsFodt()
{
    const auto master = [](const char* name, const char* layout, const char* header) {
        return QByteArray("<style:master-page style:name=\"") + name + "\" style:page-layout-name=\"" + layout
               + "\"><style:header><text:p>" + header + "</text:p></style:header><style:footer><text:p>Strana "
               + "<text:page-number>1</text:page-number> z <text:page-count>2</text:page-count></text:p>"
               + "</style:footer></style:master-page>";
    };
    const auto layout = [](const char* name, const char* width, const char* height, const char* orientation) {
        return QByteArray("<style:page-layout style:name=\"") + name + "\"><style:page-layout-properties fo:page-width=\""
               + width + "\" fo:page-height=\"" + height + "\" style:print-orientation=\"" + orientation
               + "\" fo:margin-top=\"2cm\" fo:margin-bottom=\"2cm\" fo:margin-left=\"2cm\" fo:margin-right=\"2cm\"/>"
               + "<style:header-style/><style:footer-style/></style:page-layout>";
    };
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document "
                      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                      "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                      "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.2\" "
                      "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:automatic-styles>")
           + layout("pmP", "21cm", "29.7cm", "portrait") + layout("pmL", "29.7cm", "21cm", "landscape")
           + "<style:style style:name=\"PL\" style:family=\"paragraph\" style:master-page-name=\"Wide\"/>"
           + "</office:automatic-styles><office:master-styles>" + master("Standard", "pmP", "First header")
           + master("Wide", "pmL", "Second header")
           + "</office:master-styles><office:body><office:text><text:p>Upright text.</text:p>"
           + "<text:p text:style-name=\"PL\">Wide text.</text:p></office:text></office:body></office:document>";
}

// The sections' orientations and the text of each one's header, as "portrait:First header|…".
QString sectionSummary(const QTextDocument& doc)
{
    QStringList out;
    for (const SectionSpan& span : sectionsOf(doc)) {
        const PageSetup& page = span.setup.page;
        QString header;
        for (const QByteArray& group : span.setup.headers.groups) {
            if (group.startsWith("{\\header ")) {
                static const QRegularExpression text(QStringLiteral("(First|Second) header"));
                header = text.match(QString::fromLatin1(group)).captured(0);
            }
        }
        out << QString::fromLatin1(page.landscape || page.paperWidth > page.paperHeight ? "landscape:" : "portrait:") + header;
    }
    return out.join(u'|');
}

} // namespace

// LibreOffice's two sections (paper, header) read as two, our save keeps them byte for byte
// and LibreOffice reads them back the same; AbiWord sees both sections.
TEST(RtfInterop, SectionsComeAndGoWithOtherPrograms)
{
    const QString expected = QStringLiteral("portrait:First header|landscape:Second header");
    const auto theirs = loadRtf(convertByOtherProgram("soffice", {twoSectionsFodt()}, "rtf")[0]);
    EXPECT_EQ(sectionSummary(*theirs).toStdString(), expected.toStdString());
    const QByteArray saved = writeRtf(*theirs);
    EXPECT_EQ(writeRtf(*loadRtf(saved)), saved);
    EXPECT_EQ(sectionSummary(*loadRtf(convertByOtherProgram("soffice", {saved}, "rtf")[0])).toStdString(),
              expected.toStdString());
    const QString abw = QString::fromUtf8(convertByOtherProgram("abiword", {saved}, "abw")[0]);
    // AbiWord loses the first header or footer it reads (its own number 0) once a document
    // has two sections, LibreOffice's own file as ours: the later section's must be there.
    EXPECT_EQ(abw.count(QStringLiteral("<section footer=")), 2) << abw.toStdString();
    EXPECT_TRUE(abw.contains(QStringLiteral("Second header")));
}
