// Damaged and hostile input: the reader loads what it can and never crashes, hangs or takes
// memory far beyond the input's size.
#include "ResourceLimit.h"
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/document/Sections.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QDir>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include <random>

#include <sys/resource.h>
#include <unistd.h>

using namespace zorim;
using namespace zorim::test;

namespace {

QByteArray sampleJpeg()
{
    const auto doc = loadRtf(readFile(sharedTestData("rtf/word/image.rtf")));
    QTextCursor c(doc.get());
    c.setPosition(doc->toRawText().indexOf(QChar::ObjectReplacementCharacter) + 1);
    const auto pic = pictureFromFormat(c.charFormat());
    return pic ? pic->data : QByteArray();
}

QByteArray pictRtf(const char* kind, const QByteArray& data)
{
    return QByteArray("{\\rtf1 a{\\pict") + kind + "\\picw10\\pich10\\picwgoal150\\pichgoal150 " + data.toHex() + "}b}";
}

// The image shown for the first picture of the document.
QImage shownImage(const QTextDocument& doc)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(doc.toRawText().indexOf(QChar::ObjectReplacementCharacter) + 1);
    return doc.resource(QTextDocument::ImageResource, QUrl(c.charFormat().toImageFormat().name())).value<QImage>();
}

QByteArray pngOf(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray chunk(const char* type, const QByteArray& data, uint32_t declared)
{
    QByteArray c;
    for (int shift : {24, 16, 8, 0})
        c.append(char((declared >> shift) & 0xFF));
    return c + type + data + QByteArray(4, '\0');
}

// Runs the decoding in a child process whose address space may grow by at most `room`
// bytes, and tells whether it gave the picture it should.
void expectDecodesWithin(const Picture& picture, QSize expected, int64_t room)
{
    const auto child = [&] {
        long pages = 0;
        QFile statm("/proc/self/statm");
        if (statm.open(QIODevice::ReadOnly))
            pages = statm.readAll().split(' ').value(0).toLong();
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(room);
        const rlimit rl{limit, limit};
        setrlimit(RLIMIT_AS, &rl);
        const QImage image = decodePicture(picture);
        std::_Exit(image.size() == expected ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

} // namespace

TEST(RtfHostile, PicturesCostNoMoreThanTheBytesTheyHold)
{
    // A PNG whose text chunk after the image claims about 1.9 GB: the image is shown, and
    // nothing near the claim is allocated.
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QByteArray png = pngOf(image);
    const qsizetype iend = png.size() - 12;
    Picture liar;
    liar.kind = PictureKind::Png;
    liar.data = png.left(iend) + chunk("tEXt", QByteArray("Comment\0x", 9), 0x70000025u) + png.mid(iend);
    EXPECT_EQ(decodePicture(liar).size(), QSize(20, 10));
    expectDecodesWithin(liar, QSize(20, 10), 256 << 20);
    // The same claim before the image data ends the chunks there: no image, no allocation.
    Picture early = liar;
    early.data = png.left(33) + chunk("zTXt", "x", 0x70000025u) + png.mid(33);
    EXPECT_TRUE(decodePicture(early).isNull());
    // Text and private chunks of honest lengths do not stop the image.
    Picture honest = liar;
    honest.data = png.left(33) + chunk("tEXt", QByteArray("Title\0hi", 8), 8) + png.mid(33, iend - 33)
                  + chunk("prVt", "abc", 3) + png.mid(iend);
    EXPECT_EQ(decodePicture(honest).size(), QSize(20, 10));
    // The picture keeps its own bytes: saving writes back what was read.
    const auto doc = loadRtf(pictRtf("\\pngblip", liar.data));
    QTextCursor c(doc.get());
    c.setPosition(2);
    ASSERT_TRUE(pictureFromFormat(c.charFormat()).has_value());
    EXPECT_EQ(pictureFromFormat(c.charFormat())->data, liar.data);

    // Headers claiming far more pixels than their bytes could hold decode to nothing, of
    // every kind, without a budget to stop them.
    QByteArray dib;
    auto le32 = [&](int64_t v) { for (int i = 0; i < 4; ++i) dib.append(char((v >> (8 * i)) & 0xFF)); };
    le32(40);
    le32(60000);
    le32(60000);
    dib.append("\x01\x00\x08\x00", 4);
    le32(1); // run-length compressed: a few bytes can say "the rest is blank"
    dib.append(QByteArray(20, '\0'));
    dib.append("\x00\x01", 2);
    Picture bitmap;
    bitmap.kind = PictureKind::Dib;
    bitmap.data = dib;
    expectDecodesWithin(bitmap, QSize(0, 0), 64 << 20);
    QByteArray bigPng = png;
    bigPng[16] = bigPng[20] = char(0x7F); // IHDR: width and height near 2^31
    Picture big;
    big.kind = PictureKind::Png;
    big.data = bigPng;
    EXPECT_TRUE(decodePicture(big).isNull());
    EXPECT_TRUE(decodeDeviceBitmap(QByteArray(100, '\xFF'), 1000, 1000, 24, 0).isNull());
    EXPECT_TRUE(decodeDeviceBitmap(QByteArray(8, '\0'), 11007, 15440, 0, 0).isNull()); // no depth, no rows
    EXPECT_EQ(decodeDeviceBitmap(QByteArray(16, '\xFF'), 2, 2, 24, 8).pixel(1, 1), qRgb(255, 255, 255));
}

TEST(RtfHostile, BracesNestingAndNumbers)
{
    EXPECT_EQ(loadRtf("{\\rtf1 {{{{ abc")->toPlainText(), " abc");
    EXPECT_EQ(loadRtf("{\\rtf1 abc}}}}} def")->toPlainText(), "abc");
    EXPECT_EQ(loadRtf("{\\rtf1 abc\\")->toPlainText(), "abc");
    EXPECT_EQ(loadRtf("{\\rtf1 x\\'4")->toPlainText(), "x4"); // a broken escape leaves its digit

    const int deep = 1'000'000;
    for (const QByteArray& open : {QByteArray("{"), QByteArray("{\\*\\x"), QByteArray("{\\field{\\fldrslt "),
                                   QByteArray("{\\pict"), QByteArray("{\\footnote ")}) {
        SCOPED_TRACE(open.toStdString());
        QByteArray rtf = "{\\rtf1 ";
        rtf.reserve(open.size() * deep + 32);
        for (int i = 0; i < deep; ++i)
            rtf += open;
        rtf += "x";
        rtf += QByteArray(deep, '}');
        rtf += "}";
        bool ok = false;
        const auto doc = loadRtf(rtf, &ok);
        EXPECT_TRUE(ok);
        EXPECT_LE(doc->characterCount(), 4 * deep);
    }

    const auto doc = loadRtf("{\\rtf1 \\fs99999999999999999999 \\li-99999999999999999999 \\fi99999999999999999999 "
                             "\\cf99999999999999999999 \\f-99999999999999999999 {\\uc99999999999999999999 "
                             "\\u99999999999999999999 \\u-99999999999999999999 skipped}a\\ucx b\\par}");
    EXPECT_EQ(doc->toPlainText(), "ab");
    EXPECT_EQ(formatAt(*doc, 0).height, 1638 * 20);
}

TEST(RtfHostile, BinLongerThanTheFile)
{
    EXPECT_EQ(loadRtf("{\\rtf1 a\\bin999999999 xyz}")->toPlainText(), "a");
    EXPECT_EQ(loadRtf("{\\rtf1 a\\bin99999999999999999999")->toPlainText(), "a");
    EXPECT_EQ(loadRtf("{\\rtf1 a\\bin-5 b}")->toPlainText(), "ab");
    EXPECT_EQ(loadRtf("{\\rtf1 a{\\*\\skip \\bin3 }}}}b}")->toPlainText(), "ab");
    const auto doc = loadRtf("{\\rtf1 a{\\pict\\pngblip\\bin999999 \x89PNG\r\n\x1a\n");
    EXPECT_EQ(doc->characterCount(), 3); // "a", the picture, the end
}

TEST(RtfHostile, PicturesThatAreNotPictures)
{
    std::mt19937 rng(7);
    QByteArray junk;
    for (int i = 0; i < 5000; ++i)
        junk.append(char(rng()));
    for (const char* kind : {"\\pngblip", "\\jpegblip", "\\dibitmap0", "\\wmetafile8", "\\emfblip", "\\wbitmap0\\picbpp24"}) {
        SCOPED_TRACE(kind);
        for (const QByteArray& data : {junk, QByteArray("\x89PNG\r\n\x1a\n") + junk, QByteArray("\xFF\xD8\xFF") + junk,
                                       QByteArray("(\0\0\0", 4) + junk}) {
            const auto doc = loadRtf(pictRtf(kind, data));
            const QString text = doc->toRawText();
            ASSERT_TRUE(text.startsWith('a') && text.endsWith('b'));
            if (text.size() == 3) {
                const QImage shown = shownImage(*doc);
                EXPECT_LE(shown.width(), 256);
                EXPECT_LE(shown.height(), 256);
            }
        }
    }
    // Unreadable data is kept, so that saving loses nothing.
    const auto doc = loadRtf(pictRtf("\\pngblip", junk));
    QTextCursor c(doc.get());
    c.setPosition(2);
    ASSERT_TRUE(pictureFromFormat(c.charFormat()).has_value());
    EXPECT_EQ(pictureFromFormat(c.charFormat())->data, junk);
    EXPECT_TRUE(writeRtf(*doc).replace("\r\n", "").contains(junk.toHex()));
}

TEST(RtfHostile, ThousandsOfTinyPicturesAreBounded)
{
    // Each picture costs the document far more than its few bytes in the file.
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 100'000; ++i)
        rtf += "{\\pict\\pngblip 89}";
    rtf += "end}";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    LeftOut leftOut;
    ASSERT_TRUE(readRtf(rtf, cursor, &leftOut));
    const int omitted = leftOut.pictures;
    const QString text = doc.toRawText();
    EXPECT_TRUE(text.endsWith("end"));
    const qsizetype kept = text.count(QChar::ObjectReplacementCharacter);
    EXPECT_LT(kept, 5000);
    EXPECT_GT(kept, 100);
    EXPECT_EQ(kept + omitted, 100'000) << "what is left out is counted";
}

TEST(RtfHostile, HiddenRunsCostMemoryInProportionToTheFile)
{
    // Each distinct hidden run is a format of its own, about a kilobyte against the dozen
    // bytes of the file: past what the document may spend on them they are left out and
    // counted; the text around them stays. Runs equal to the one before cost no format.
    const int runs = 300'000;
    QByteArray distinct = "{\\rtf1 ";
    QByteArray equal = distinct;
    for (int i = 0; i < runs; ++i) {
        distinct += "{\\v " + QByteArray::number(i, 36) + "}x";
        equal += "{\\v same}x";
    }
    const auto read = [](const QByteArray& rtf, LeftOut& leftOut) {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        readRtf(rtf + "}", cursor, &leftOut);
        return doc.toRawText();
    };
    const auto loadWithin = [&](const QByteArray& rtf, rlim_t room) {
        QFile statm("/proc/self/statm");
        long pages = 0;
        if (statm.open(QIODevice::ReadOnly))
            pages = statm.readAll().split(' ').value(0).toLong();
        const ResourceLimit limit(RLIMIT_AS, rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + room);
        LeftOut leftOut;
        std::_Exit(read(rtf, leftOut).count(u'x') == runs ? 0 : 1);
    };
    EXPECT_EXIT(loadWithin(distinct, 160 << 20), ::testing::ExitedWithCode(0), "");
    LeftOut leftOut;
    const QString text = read(distinct, leftOut);
    EXPECT_GT(leftOut.kept, runs / 2);
    EXPECT_EQ(text.count(QChar::ObjectReplacementCharacter) + leftOut.kept, runs);
    EXPECT_EQ(leftOut.pictures, 0);
    leftOut = {};
    EXPECT_EQ(read(equal, leftOut).count(QChar::ObjectReplacementCharacter), runs);
    EXPECT_EQ(leftOut, LeftOut{});
}

TEST(RtfHostile, HugeAndDamagedJpegs)
{
    const QByteArray jpeg = sampleJpeg();
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8"));
    // Claims 65000 x 65000 pixels: refused within the budget, shown as a small placeholder.
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    huge[sof + 5] = huge[sof + 7] = char(0xFD);
    huge[sof + 6] = huge[sof + 8] = char(0xE8);
    PictureBudget small(1'000'000);
    EXPECT_TRUE(decodeJpeg(huge, {}, &small).isNull());
    const QImage shown = shownImage(*loadRtf(pictRtf("\\jpegblip", huge)));
    EXPECT_LE(shown.width(), 256);

    // Cut short, or with bytes spoilt: whatever libjpeg makes of it, never an abort.
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i) {
        QByteArray bad = jpeg.left(jpeg.size() * (i + 1) / 41);
        for (int k = 0; k < i; ++k)
            bad[qsizetype(rng() % bad.size())] = char(rng());
        const QImage image = decodeJpeg(bad);
        if (!image.isNull()) {
            EXPECT_EQ(image.size(), QSize(250, 250));
        }
    }
    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg("\xFF\xD8\xFF").isNull());
    // Decoding for a small display reduces the image while decoding.
    EXPECT_LE(decodeJpeg(jpeg, QSize(40, 40)).width(), 80);
}

TEST(RtfHostile, TruncatedFilesLoadWhatTheyHold)
{
    for (const QString sub : {"word", "libreoffice", "abiword"}) {
        const QDir dir(sharedTestData("rtf/" + sub));
        for (const QString& name : dir.entryList({"*.rtf"}, QDir::Files)) {
            const QByteArray full = readFile(dir.filePath(name));
            const qsizetype step = std::max<qsizetype>(1, full.size() / 60);
            for (qsizetype cut = 6; cut < full.size(); cut += step) {
                bool ok = false;
                loadRtf(full.left(cut), &ok);
                EXPECT_TRUE(ok) << name.toStdString() << " cut at " << cut;
            }
        }
    }
}

// A field whose instruction passes its bound, and a bookmark whose name does, are read as
// their text alone and counted as left out; the fields and bookmarks within bounds are kept.
TEST(RtfHostile, FieldsAndBookmarksPastTheirBoundsAreCounted)
{
    const QByteArray rtf = "{\\rtf1 {\\field{\\*\\fldinst REF " + QByteArray(5000, 'a') + "}{\\fldrslt dlhy}} "
                           "{\\*\\bkmkstart " + QByteArray(300, 'b') + "}{\\*\\bkmkstart k}"
                           "{\\field{\\*\\fldinst REF k}{\\fldrslt kratky}}\\par}";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    LeftOut leftOut;
    ASSERT_TRUE(readRtf(rtf, cursor, &leftOut));
    EXPECT_EQ(leftOut.kept, 2);
    EXPECT_EQ(doc.toRawText().remove(QChar::ObjectReplacementCharacter), "dlhy kratky");
    EXPECT_EQ(doc.toRawText().count(QChar::ObjectReplacementCharacter), 1);
    const QByteArray saved = writeRtf(doc);
    EXPECT_EQ(saved.count("\\fldinst"), 1);
    EXPECT_TRUE(saved.contains("{\\*\\bkmkstart k}")) << saved.toStdString();
}

// A note inside a note (hundreds deep) stays its text in brackets in the one note, read in
// linear time; thousands of notes are each a note; what is written reads back the same.
TEST(RtfHostile, NotesInNotesAndThousandsOfNotes)
{
    QByteArray deep = "{\\rtf1 a{\\super\\chftn}";
    for (int i = 0; i < 900; ++i)
        deep += "{\\footnote x";
    const auto doc = loadRtf(deep + QByteArray(900, '}') + " b\\cell\\sect c}");
    const std::vector<QString> notes = notesOf(*doc);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0].startsWith("x[x[x[")) << notes[0].left(40).toStdString();
    const QByteArray written = writeRtf(*doc);
    EXPECT_EQ(notesOf(*loadRtf(written)), notes);
    EXPECT_EQ(written.count("\\footnote"), 1);

    const auto many = loadRtf(readFile(QStringLiteral(ZORIM_FUZZ_CORPUS "/many-notes.rtf")));
    EXPECT_EQ(notesOf(*many).size(), 1500u);
}

// Thousands of sections, each with its header, read as as many, written and read back the
// same; a \\sect inside a table's row or a note, or in a header, starts none.
TEST(RtfHostile, ThousandsOfSectionsAndSectionsInOddPlaces)
{
    QByteArray rtf = "{\\rtf1\\ansi First\\par";
    for (int i = 0; i < 5000; ++i)
        rtf += "\\sect\\sectd" + QByteArray(i % 2 ? "\\lndscpsxn" : "\\sbknone") + "{\\header H" + QByteArray::number(i)
               + "\\par}Text " + QByteArray::number(i) + "\\par";
    rtf += "}";
    const auto doc = loadRtf(rtf);
    const std::vector<SectionSpan> sections = sectionsOf(*doc);
    ASSERT_EQ(sections.size(), 5001u);
    EXPECT_TRUE(sections[5000].setup.page.landscape && !sections[4999].setup.page.landscape);
    EXPECT_TRUE(sections[4999].setup.headers.groups.at(0).contains("H4998"));
    EXPECT_EQ(sectionsOf(*loadRtf(writeRtf(*doc))).size(), 5001u);

    const auto odd = loadRtf("{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\intbl A\\sect B\\cell C\\cell\\row\\pard "
                             "Text{\\footnote\\pard Note\\sect\\sectd\\lndscpsxn more\\par} after."
                             "{\\header H\\sect\\lndscpsxn\\par}\\par Last.\\par}");
    EXPECT_EQ(sectionsOf(*odd).size(), 1u);
    EXPECT_FALSE(readPageSetup(*odd).landscape);
    EXPECT_EQ(tablesOf(*odd).size(), 1u);
}
