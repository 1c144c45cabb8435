// What the writer writes reads back to the same text, character formats, paragraph formats
// and pictures; and it is written the way the platform's control wrote it.
#include "RtfTestUtil.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/Sections.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QDir>
#include <QTextImageFormat>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace zorim;
using namespace zorim::test;

namespace {

const char16_t* const kSamples[] = {
    u"Žluťoučký kôň úpel ďábelské ódy",
    u"Ελληνικά γράμματα",
    u"Кириллица и ещё",
    u"漢字とかな",
    u"emoji 😀 and 🎉",
    u"braces {x} back\\slash",
    u"tab\there",
    u"nbsp\u00A0soft\u00ADhyphen\u2011non-breaking",
    u"quotes “double” ‘single’ — dash – € § ©",
    u"line\u2028separator",
    u"plain ASCII 0123456789",
    u"symbols \uF0B7\uF0A7",
};

struct Generator {
    std::mt19937 rng;
    bool languages = false; // runs in Slovak, English and German, some not to be proofed
    explicit Generator(unsigned seed, bool languages = false) : rng(seed), languages(languages) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool coin(int percent = 50) { return pick(100) < percent; }

    CharFormat charFormat()
    {
        static const char* faces[] = {"Verdana", "Arial", "Times New Roman", "DejaVu Sans", "Courier New"};
        static const uint8_t charsets[] = {238, 0, 204, 161, 1};
        static const int heights[] = {160, 200, 210, 240, 280, 360, 480, 720, 1000};
        CharFormat cf;
        cf.mask = cfm::All;
        cf.faceName = faces[pick(5)];
        cf.charset = charsets[pick(5)];
        cf.pitchAndFamily = uint8_t(pick(6) << 4 | pick(3));
        cf.height = heights[pick(9)];
        for (uint32_t bit : {cfe::Bold, cfe::Italic, cfe::Underline, cfe::Strikeout})
            if (coin(30))
                cf.effects |= bit;
        cf.weight = (cf.effects & cfe::Bold) ? 700 : 400;
        const int vertical = pick(4);
        if (vertical == 1)
            cf.effects |= cfe::Subscript;
        if (vertical == 2)
            cf.effects |= cfe::Superscript;
        if (coin())
            cf.textColor = ColorRef(rng() & 0xFFFFFF);
        else
            cf.effects |= cfe::AutoColor;
        if (coin(25))
            cf.backColor = ColorRef(rng() & 0xFFFFFF);
        else
            cf.effects |= cfe::AutoBackColor;
        if (coin(10)) {
            cf.effects |= cfe::Link;
            cf.linkTarget = coin() ? QStringLiteral("http://example.com/a?b=\"c\"&d") : QStringLiteral("https://zorim.sk/ľ");
        }
        if (languages) {
            cf.language = std::array<uint16_t, 3>{kSlovakLanguage, 1033, 1031}[size_t(pick(3))];
            cf.noProof = coin(15);
        }
        return cf;
    }

    ParaFormat paraFormat()
    {
        ParaFormat pf;
        pf.mask = pfm::All;
        pf.alignment = uint16_t(1 + pick(4));
        pf.numbering = coin(40) ? uint16_t(pick(7)) : pfn::None;
        pf.startIndent = pick(6) * 360;
        pf.offset = pick(5) * 180 - std::min(pf.startIndent, 360);
        return pf;
    }

    Picture picture()
    {
        switch (pick(3)) {
        case 0: {
            QImage image(3 + pick(40), 3 + pick(40), QImage::Format_RGB32);
            image.fill(QColor::fromRgb(rng() & 0xFFFFFF));
            Picture p = pictureFromImage(image);
            p.scaleX = 50 + pick(100);
            return p;
        }
        case 1: { // a metafile is kept as it is, whatever it holds
            Picture p;
            p.kind = coin() ? PictureKind::Wmf : PictureKind::Emf;
            for (int i = 0; i < 100 + pick(300); ++i)
                p.data.append(char(rng()));
            p.width = 2540;
            p.height = 1270;
            p.goalWidth = 1440;
            p.goalHeight = 720;
            return p;
        }
        default: { // a device-independent bitmap: header and bits
            QImage image(4, 2, QImage::Format_RGB32);
            image.fill(Qt::red);
            Picture p = *pictureFromFileData([&] {
                QByteArray bmp;
                QBuffer buffer(&bmp);
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "BMP");
                return bmp;
            }());
            return p;
        }
        }
    }

    void fill(QTextDocument& doc)
    {
        QTextCursor cursor(&doc);
        const int paragraphs = 1 + pick(12);
        for (int p = 0; p < paragraphs; ++p) {
            if (p > 0)
                cursor.insertBlock();
            const int runs = pick(6);
            for (int r = 0; r < runs; ++r) {
                QTextCharFormat format;
                applyCharFormat(format, charFormat());
                if (coin(10)) {
                    insertPicture(cursor, picture(), format, nullptr);
                    continue;
                }
                QString text = QString::fromUtf16(kSamples[pick(int(std::size(kSamples)))]);
                text = text.left(1 + pick(int(text.size())));
                if (text.back().isHighSurrogate())
                    text.chop(1);
                if (!text.isEmpty())
                    cursor.insertText(text, format);
            }
            applyParaFormat(cursor, paraFormat());
        }
    }
};

void expectSameDocument(const QTextDocument& a, const QTextDocument& b)
{
    EXPECT_EQ(a.toRawText(), b.toRawText());
    const auto ca = charRecords(a), cb = charRecords(b);
    ASSERT_EQ(ca.size(), cb.size());
    for (size_t i = 0; i < ca.size(); ++i) {
        ASSERT_EQ(ca[i].ch, cb[i].ch) << i;
        // A font of no code page of its own is written as one of the document's page.
        CharFormat expected = ca[i].format;
        if (expected.charset == kDefaultCharset)
            expected.charset = kEastEuropeCharset;
        EXPECT_EQ(expected, cb[i].format) << "character " << i << " '" << QString(ca[i].ch).toStdString() << "'";
        EXPECT_EQ(ca[i].picture, cb[i].picture) << i;
    }
    EXPECT_EQ(paraRecords(a), paraRecords(b));
}

} // namespace

TEST(RtfRoundTrip, GeneratedDocumentsReadBackUnchanged)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        QTextDocument doc;
        const bool languages = seed % 2 == 0;
        Generator(seed, languages).fill(doc);
        const QByteArray rtf = writeRtf(doc);
        const auto back = loadRtf(rtf);
        expectSameDocument(doc, *back);
        // Written again, the read-back document gives the same bytes.
        EXPECT_EQ(writeRtf(*back), rtf);
        // A document of no languages names its language once, where the text begins.
        if (!languages) {
            EXPECT_EQ(rtf.count("\\lang"), 1);
            EXPECT_FALSE(rtf.contains("\\noproof"));
        }
        if (HasFailure()) {
            ADD_FAILURE() << rtf.left(3000).toStdString();
            break;
        }
    }
}

namespace {

// The document as text with its fields and bookmarks marked: {instruction|result}, [+name]
// where a bookmark starts and [-name] where it ends.
QString fieldsAndBookmarks(const QTextDocument& doc)
{
    QString out;
    int open = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const int id = f.intProperty(docprop::FieldId);
            if (open && id != open)
                out += u'}';
            if (const BookmarkMark mark = bookmarkOf(f); !mark.name.isEmpty()) {
                open = 0;
                out += (mark.start ? "[+" : "[-") + mark.name + u']';
                continue;
            }
            if (id && id != open)
                out += u'{' + f.stringProperty(docprop::FieldInstruction) + u'|';
            open = id;
            out += it.fragment().text();
        }
        if (open)
            out += u'}';
        open = 0;
        out += u'/';
    }
    return out;
}

} // namespace

// Every seed of the fuzz target reads back from what it writes to the same text and tables,
// as the fuzzer checks for any input.
// A field whose result goes on across paragraphs (a table of contents) is read as its result
// alone: written as a field in each paragraph, other programs would show as many fields.
TEST(RtfRoundTrip, AFieldAcrossParagraphsIsReadAsItsResult)
{
    const auto doc = loadRtf("{\\rtf1\\ansi\\pard{\\field{\\*\\fldinst{ TOC \\\\o }}{\\fldrslt{Prv\\'e1\\tab 1\\par Druh\\'e1\\tab 2}}}"
                             "\\par Text {\\field{\\*\\fldinst{ PAGE }}{\\fldrslt 3}}.\\par}");
    const QByteArray saved = writeRtf(*doc);
    EXPECT_FALSE(saved.contains("TOC")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("PAGE")) << saved.toStdString();
    EXPECT_EQ(loadRtf(saved)->toRawText(), doc->toRawText());
}

namespace {

// Each section's start, page and break, its first page's own headers, and how many headers and
// footers it has (their bytes are the writer's, renumbered).
QString sectionsAsWritten(const QTextDocument& doc)
{
    QStringList out;
    for (const SectionSpan& span : sectionsOf(doc)) {
        const SectionSetup& s = span.setup;
        const PageSetup& p = s.page;
        out << (QString::asprintf("%d: %dx%d %d %d %d %d %d break %d columns %d title %d marks %d", span.start,
                                        p.paperWidth, p.paperHeight, p.landscape, p.marginLeft, p.marginRight,
                                        p.marginTop, p.marginBottom, s.breakKind, s.columns, s.titlePage,
                                        int(s.headers.groups.size())));
    }
    return out.join(u'|');
}

} // namespace

TEST(RtfRoundTrip, FuzzSeedsReadWriteReadStable)
{
    const QDir corpus(QStringLiteral(ZORIM_FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const auto doc = loadRtf(readFile(corpus.filePath(name)));
        const QByteArray written = writeRtf(*doc);
        const auto back = loadRtf(written);
        EXPECT_EQ(back->toRawText(), doc->toRawText()) << written.toStdString();
        EXPECT_EQ(tablesOf(*back), tablesOf(*doc));
        EXPECT_EQ(fieldsAndBookmarks(*back), fieldsAndBookmarks(*doc));
        EXPECT_EQ(notesOf(*back), notesOf(*doc));
        EXPECT_EQ(sectionsAsWritten(*back).toStdString(), sectionsAsWritten(*doc).toStdString());
    }
}

// A run's language in a table's cell is written with the cell and read back there.
TEST(RtfRoundTrip, LanguagesInTableCellsReadBackUnchanged)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText("Slovensky ");
    QTextTable* table = cursor.insertTable(1, 2);
    for (const auto& [column, language] : {std::pair{0, 1033}, std::pair{1, 1031}}) {
        QTextCharFormat format;
        format.setProperty(docprop::Language, language);
        QTextCursor cell = table->cellAt(0, column).firstCursorPosition();
        cell.insertText(QString("cell%1 ").arg(column), format);
        cell.insertText(QString("sk%1").arg(column), QTextCharFormat());
    }
    const QByteArray rtf = writeRtf(doc);
    const auto back = loadRtf(rtf);
    ASSERT_EQ(back->toRawText(), doc.toRawText());
    for (int pos = 0; pos < doc.characterCount() - 1; ++pos)
        EXPECT_EQ(formatAt(*back, pos).language, formatAt(doc, pos).language) << pos;
    EXPECT_EQ(formatAt(*back, find(*back, "cell1")).language, 1031);
    EXPECT_EQ(writeRtf(*back), rtf);
}

TEST(RtfRoundTrip, PageStructureReadsBackUnchanged)
{
    const auto letter = structuredLetter();
    const QByteArray rtf = writeRtf(*letter);
    const auto back = loadRtf(rtf);
    EXPECT_EQ(back->toRawText(), letter->toRawText());
    EXPECT_EQ(paraRecords(*back), paraRecords(*letter));
    EXPECT_EQ(readPageSetup(*back), readPageSetup(*letter));
    EXPECT_EQ(writeRtf(*back), rtf);
    // The page is the document's: text read into a document that has some keeps its page.
    QTextCursor end(back.get());
    end.movePosition(QTextCursor::End);
    readRtf("{\\rtf1\\paperw5000\\paperh5000 more}", end);
    EXPECT_EQ(readPageSetup(*back), readPageSetup(*letter));
}

TEST(RtfRoundTrip, RangesAndOptions)
{
    QTextDocument doc;
    Generator(99).fill(doc);
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText("middle of the last");
    insertPicture(cursor, pictureFromImage(QImage(8, 8, QImage::Format_RGB32)));
    cursor.insertText(" paragraph");
    const QString raw = doc.toRawText();
    const int end = doc.characterCount() - 1;

    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{0, end}, {3, end - 4}, {end - 20, end}, {5, 9}}) {
        SCOPED_TRACE(from);
        const auto part = loadRtf(writeRtf(doc, from, to));
        EXPECT_EQ(part->toRawText(), raw.mid(from, to - from));
    }
    const QByteArray without = writeRtf(doc, 0, -1, {.noObjects = true});
    EXPECT_FALSE(without.contains("\\pict"));
    EXPECT_TRUE(writeRtf(doc).contains("\\pict"));
    EXPECT_FALSE(loadRtf(without)->toRawText().contains(QChar::ObjectReplacementCharacter));
}

// A numbered item copied and pasted right after its list goes on in that list.
TEST(RtfRoundTrip, PastedListItemsGoOnInTheListBeforeThem)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText("one\ntwo\nthree");
    cursor.select(QTextCursor::Document);
    ParaFormat numbered;
    numbered.mask = pfm::Numbering;
    numbered.numbering = pfn::Arabic;
    applyParaFormat(cursor, numbered);
    const QTextBlock second = doc.begin().next();
    const QByteArray copied = writeRtf(doc, second.position(), second.position() + second.length());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    ASSERT_TRUE(readRtf(copied, cursor));
    QStringList labels;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        labels << listLabel(b);
    EXPECT_EQ(labels.join(u' ').toStdString(), "1. 2. 3. 4.");
}

TEST(RtfWriter, WritesWhatThePlatformControlWrote)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    CharFormat cf;
    cf.mask = cfm::All;
    cf.faceName = "Verdana";
    cf.charset = kEastEuropeCharset;
    cf.height = 210;
    cf.effects = cfe::AutoColor | cfe::AutoBackColor;
    QTextCharFormat format;
    applyCharFormat(format, cf);
    cursor.insertText(QString::fromUtf16(u"Žlté {x} 😀 ω"), format);
    cursor.insertBlock();
    ParaFormat bullet;
    bullet.mask = pfm::All;
    bullet.numbering = pfn::Bullet;
    bullet.startIndent = 0;
    bullet.offset = 360;
    bullet.alignment = pfa::Left;
    cursor.insertText("item", format);
    applyParaFormat(cursor, bullet);
    cursor.insertBlock();
    cf.effects |= cfe::Link;
    cf.linkTarget = "http://a.sk/";
    applyCharFormat(format, cf);
    cursor.insertText("link", format);
    ParaFormat plain = bullet;
    plain.numbering = pfn::None;
    plain.offset = 0;
    plain.alignment = pfa::Center;
    applyParaFormat(cursor, plain);

    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl{\\f0\\fnil\\fcharset238 Verdana;}"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("\\viewkind4\\uc1\\lang1051\\pard"));
    EXPECT_TRUE(rtf.contains("\\fs21\\'8elt\\'e9 \\{x\\} \\u-10179?\\u-8704? \\u969?")) << rtf.toStdString();
    // A list item names its list and level, and carries its label for readers that know no lists.
    EXPECT_TRUE(rtf.contains("\\pard\\ls1\\ilvl0\\fi-360\\li360{\\listtext\\pard\\plain \\u8226?\\tab}item"))
        << rtf.toStdString();
    EXPECT_TRUE(rtf.contains("{\\listlevel\\levelnfc23\\levelnfcn23"));
    EXPECT_TRUE(rtf.contains("\\qc{\\field{\\*\\fldinst{HYPERLINK \"http://a.sk/\"}}{\\fldrslt{link}}}\\par\r\n}"));
    EXPECT_EQ(rtf.count("\\par\r\n"), 3);
    // Balanced groups, ASCII only.
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        ASSERT_LT(uchar(rtf[i]), 0x80);
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            ASSERT_GE(--depth, 0);
        }
    }
    EXPECT_EQ(depth, 0);
}

TEST(RtfPictures, FilesBecomePicturesKeptByteForByte)
{
    auto le16 = [](QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto le32 = [&](QByteArray& b, int v) { le16(b, v & 0xFFFF); le16(b, (v >> 16) & 0xFFFF); };

    // A placeable metafile, 2 x 1 inches at 1440 units an inch: the header goes, the rest stays.
    QByteArray wmf;
    le32(wmf, int(0x9AC6CDD7u));
    le16(wmf, 0);
    for (int v : {0, 0, 2880, 1440, 1440})
        le16(wmf, v);
    le32(wmf, 0);
    le16(wmf, 0);
    const QByteArray records = QByteArray::fromHex("010009000003220000000000");
    wmf += records + QByteArray(24, '\0');
    const auto w = pictureFromFileData(wmf);
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->kind, PictureKind::Wmf);
    EXPECT_EQ(w->data, wmf.mid(22));
    EXPECT_EQ(QSize(w->goalWidth, w->goalHeight), QSize(2880, 1440));
    EXPECT_EQ(w->width, 5080); // hundredths of a millimetre

    // An enhanced metafile whose frame is 50.8 x 25.4 mm.
    QByteArray emf;
    le32(emf, 1);
    le32(emf, 88);
    for (int v : {0, 0, 100, 50, 0, 0, 5080, 2540})
        le32(emf, v);
    emf += " EMF";
    emf += QByteArray(88 - emf.size(), '\0');
    const auto e = pictureFromFileData(emf);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->kind, PictureKind::Emf);
    EXPECT_EQ(e->data, emf);
    EXPECT_EQ(QSize(e->goalWidth, e->goalHeight), QSize(2880, 1440));

    EXPECT_FALSE(pictureFromFileData("GIF89a").has_value());
    EXPECT_FALSE(pictureFromFileData(QByteArray()).has_value());

    // In the document and out again: metafiles show as a placeholder of their size and are
    // written back unchanged.
    QTextDocument doc;
    QTextCursor cursor(&doc);
    insertPicture(cursor, *w);
    insertPicture(cursor, *e);
    const QTextImageFormat shown = doc.begin().begin().fragment().charFormat().toImageFormat();
    EXPECT_DOUBLE_EQ(shown.width(), 2880 / kTwipsPerPixel);
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\pict\\wmetafile8\\picw5080\\pich2540\\picwgoal2880\\pichgoal1440\r\n"));
    EXPECT_TRUE(rtf.contains("{\\pict\\emfblip"));
    const auto back = loadRtf(rtf);
    const auto pics = charRecords(*back);
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_EQ(pics[0].picture, w);
    EXPECT_EQ(pics[1].picture, e);
}

// Fields other than links keep their instruction and result (hidden text in it too), bookmarks
// their places; both are written back as fields and bookmarks, and a second save writes the same bytes.
TEST(RtfRoundTrip, FieldsAndBookmarksAreKept)
{
    const QByteArray source =
        "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}\\pard Pozri {\\*\\bkmkstart Zmluva}\\b Zmluva\\b0{\\*\\bkmkend Zmluva} "
        "na strane {\\field{\\*\\fldinst { PAGEREF Zmluva \\\\h }}{\\fldrslt {\\i 3}}}.\\par "
        "{\\field{\\*\\fldinst REF Zmluva}{\\fldrslt Zmluva}} zo d\\'f2a "
        "{\\field{\\*\\fldinst DATE \\\\@ \"d.M.yyyy\"}{\\fldrslt 1.2.{\\v x}2026}}"
        "{\\field{\\*\\fldinst HYPERLINK \"http://a.sk/\"}{\\fldrslt odkaz}}\\par}";
    const QString expected = QStringLiteral("Pozri [+Zmluva]Zmluva[-Zmluva] na strane {PAGEREF Zmluva \\h|3}./"
                                            "{REF Zmluva|Zmluva} zo dňa {DATE \\@ \"d.M.yyyy\"|1.2.\uFFFC2026}odkaz/");
    const auto doc = loadRtf(source);
    EXPECT_EQ(fieldsAndBookmarks(*doc).toStdString(), expected.toStdString());
    EXPECT_TRUE(formatAt(*doc, find(*doc, "3")).effects & cfe::Italic);
    EXPECT_EQ(formatAt(*doc, find(*doc, "odkaz")).linkTarget, "http://a.sk/");

    const QByteArray saved = writeRtf(*doc);
    EXPECT_TRUE(saved.contains("{\\*\\bkmkstart Zmluva}")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("{\\field{\\*\\fldinst{ PAGEREF Zmluva \\\\h }}{\\fldrslt{")) << saved.toStdString();
    const auto again = loadRtf(saved);
    EXPECT_EQ(fieldsAndBookmarks(*again).toStdString(), expected.toStdString());
    EXPECT_EQ(writeRtf(*again), saved);
}
