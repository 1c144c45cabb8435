// The reader gathers text before it goes into the document; the document must come out as
// when each run and each break went in by itself: the same text, the same character format at
// every position, the same paragraph formats and paragraph marks.
#include "RtfTestUtil.h"
#include "QStringPrinter.h"
#include "TestSupport.h"

#include "richtext/formats/rtf/RtfReader.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <gtest/gtest.h>

#include <random>

using namespace zorim;
using namespace zorim::test;

namespace {

using Insertion = rtf::DocumentBuilder::Insertion;

// The document built from the RTF, inserted into `before` at `at` (a new document when empty).
std::unique_ptr<QTextDocument> build(const QByteArray& rtf, Insertion insertion, const QString& before = {}, int at = 0)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    cursor.insertText(before);
    cursor.setPosition(at);
    EXPECT_TRUE(rtf::readRtfWith(rtf, cursor, nullptr, insertion));
    return doc;
}

// The properties in which two formats differ, for the failure's message.
std::string difference(const QTextFormat& a, const QTextFormat& b)
{
    std::string out;
    auto pa = a.properties(), pb = b.properties();
    for (int key : pa.keys() + pb.keys())
        if (pa.value(key) != pb.value(key))
            out += " property " + std::to_string(key) + ": " + pa.value(key).toString().toStdString() + " / "
                   + pb.value(key).toString().toStdString();
    return out;
}

// The pixels of a picture in the document, in place of its name.
QString pictureContent(const QTextDocument& doc, const QTextCharFormat& format)
{
    const QImage image = qvariant_cast<QImage>(doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name())))
                             .convertToFormat(QImage::Format_ARGB32); // no padding at the lines' ends
    const QByteArray pixels(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    return QStringLiteral("%1x%2:%3").arg(image.width()).arg(image.height()).arg(qHash(pixels));
}

// Compares paragraph by paragraph: text, paragraph format, the mark's format, the list a
// paragraph is in, and the character format of each stretch, wherever one changes.
void expectSameDocument(const QTextDocument& gathered, const QTextDocument& reference, const std::string& what)
{
    ASSERT_EQ(gathered.toRawText(), reference.toRawText()) << what;
    ASSERT_EQ(gathered.blockCount(), reference.blockCount()) << what;
    for (QTextBlock a = gathered.begin(), b = reference.begin(); a.isValid(); a = a.next(), b = b.next()) {
        const std::string where = what + ", paragraph " + std::to_string(a.blockNumber());
        ASSERT_TRUE(a.blockFormat() == b.blockFormat()) << where << difference(a.blockFormat(), b.blockFormat());
        ASSERT_TRUE(a.charFormat() == b.charFormat()) << where << difference(a.charFormat(), b.charFormat());
        ASSERT_EQ(a.textList() != nullptr, b.textList() != nullptr) << where;
        if (a.textList()) {
            // Each build gives its lists keys of their own.
            QTextListFormat listA = a.textList()->format(), listB = b.textList()->format();
            listA.clearProperty(docprop::ListKey);
            listB.clearProperty(docprop::ListKey);
            ASSERT_TRUE(listA == listB) << where;
        }
        // Fragment ends may differ; the format at each position may not.
        // A picture is named by a counter of the process: its image is compared instead.
        auto stretches = [](const QTextBlock& block) {
            std::vector<std::pair<int, QTextCharFormat>> out;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                QTextCharFormat format = f.charFormat();
                if (format.isImageFormat())
                    format.setProperty(QTextFormat::ImageName, pictureContent(*block.document(), format));
                if (out.empty() || !(out.back().second == format))
                    out.emplace_back(f.position(), format);
            }
            return out;
        };
        const auto sa = stretches(a), sb = stretches(b);
        ASSERT_EQ(sa.size(), sb.size()) << where;
        for (size_t i = 0; i < sa.size(); ++i) {
            ASSERT_EQ(sa[i].first, sb[i].first) << where;
            ASSERT_TRUE(sa[i].second == sb[i].second)
                << where << ", position " << sa[i].first << difference(sa[i].second, sb[i].second);
        }
    }
}

QByteArray pngPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 90));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "{\\pict\\pngblip\\picw4\\pich3 " + png.toHex() + "}";
}

// RTF of everything that ends, starts or changes a run or a paragraph, in random order:
// font, size, style and colour changes, paragraph formats (alignment, indents, spacing,
// lists), empty paragraphs, page and line breaks, table cells and rows, hidden text, pictures,
// links, a font table that changes in the middle, a CR written as a character.
QByteArray generatedRtf(unsigned seed, int paragraphs)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const char* words[] = {"Žltý", "kôň", "úpel", "ódy", "a", "text", "\\'9ea\\'e8ka", "\\u269?", "\\tab", "\\line"};
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Verdana;}{\\f1\\fcharset238 Arial;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue255;}"
                     "{\\*\\listtable{\\list\\listid7{\\listlevel\\levelnfc0}{\\listlevel\\levelnfc23}}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\n";
    const QByteArray picture = pngPicture();
    for (int p = 0; p < paragraphs; ++p) {
        switch (pick(12)) {
        case 0: out += "\\pard\\qc\\sb120 "; break;
        case 1: out += "\\pard\\li360\\fi-360\\ls1\\ilvl" + QByteArray::number(pick(2)) + ' '; break;
        case 2: out += "\\pard\\sl360\\slmult1\\sa60 "; break;
        case 3: out += "\\pard "; break;
        case 4: out += "\\page "; break;
        default: break; // the paragraph before's format
        }
        for (int r = 0, runs = pick(5); r < runs; ++r) {
            out += "{";
            switch (pick(14)) {
            case 0: out += "\\b "; break;
            case 1: out += "\\i\\cf" + QByteArray::number(pick(3)) + ' '; break;
            case 2: out += "\\f1\\fs" + QByteArray::number(16 + 2 * pick(8)) + ' '; break;
            case 3: out += "\\v tajné}{"; break;
            case 4: out += picture; break;
            case 5: out += "{\\field{\\*\\fldinst HYPERLINK \"http://example.sk/\"}{\\fldrslt odkaz}}"; break;
            case 6: out += "\\cell "; break;
            case 7: out += "\\row "; break;
            case 8: out += "\\par\\par "; break;
            case 9: out += "\\u13?"; break;
            case 10: out += "{\\fonttbl{\\f1\\fcharset0 Courier New;}{\\f0\\fcharset238 Tahoma;}}"; break;
            default: break;
            }
            for (int w = 0, n = pick(6); w < n; ++w)
                out += QByteArray(words[pick(10)]) + ' ';
            out += "}";
        }
        if (pick(9) != 0)
            out += "\\par\n";
    }
    out += '}';
    return out;
}

} // namespace

TEST(RtfGatheredBuild, SameDocumentAsRunByRunForSharedAndGeneratedFiles)
{
    std::vector<std::pair<std::string, QByteArray>> files;
    const QDir shared(sharedTestData(QStringLiteral("rtf")));
    for (const QString& folder : shared.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(shared.filePath(folder)).entryList({QStringLiteral("*.rtf")}))
            files.emplace_back((folder + u'/' + name).toStdString(), readFile(shared.filePath(folder + u'/' + name)));
    ASSERT_GE(files.size(), 10u);
    for (unsigned seed = 1; seed <= 40; ++seed)
        files.emplace_back("generated " + std::to_string(seed), generatedRtf(seed, seed < 35 ? 30 : 3000));
    for (const auto& [name, rtf] : files) {
        expectSameDocument(*build(rtf, Insertion::Gathered), *build(rtf, Insertion::RunByRun), name);
        // Pasted into the middle of a paragraph of a document that has text.
        const QString before = QStringLiteral("Prvý odsek.\x2029" "Druhý odsek.");
        expectSameDocument(*build(rtf, Insertion::Gathered, before, 5), *build(rtf, Insertion::RunByRun, before, 5),
                           name + ", pasted");
    }
}

TEST(RtfGatheredBuild, LongTextOfOneFormatGoesInPieceByPiece)
{
    // Thousands of paragraphs of one format are gathered into insertions of bounded size; the
    // document is the same as paragraph by paragraph.
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int p = 0; p < 20000; ++p)
        rtf += "Riadok " + QByteArray::number(p) + " textu, ktorý ide do dokumentu.\\par\n";
    rtf += "}";
    expectSameDocument(*build(rtf, Insertion::Gathered), *build(rtf, Insertion::RunByRun), "long text");
}
