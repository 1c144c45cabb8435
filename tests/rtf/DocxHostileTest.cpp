// Word documents built to harm, or damaged: each is refused whole, in bounded time and memory,
// and the document it was to go into stays as it was.
#include "richtext/formats/docx/Docx.h"
#include "richtext/formats/odt/Odt.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <quazip.h>
#include <quazipfile.h>

#include <utility>
#include <vector>

using namespace zorim;

namespace {

using Parts = std::vector<std::pair<QString, QByteArray>>;

QByteArray zipOf(const Parts& parts)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QuaZip zip(&buffer);
    EXPECT_TRUE(zip.open(QuaZip::mdCreate));
    for (const auto& [name, data] : parts) {
        QuaZipFile file(&zip);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)));
        file.write(data);
        file.close();
    }
    zip.close();
    return bytes;
}

const QByteArray kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

QByteArray documentXml(const QByteArray& body)
{
    return "<?xml version=\"1.0\"?><w:document " + kW + "><w:body>" + body + "</w:body></w:document>";
}

Parts wordParts(const QByteArray& body)
{
    return {{"[Content_Types].xml", "<Types/>"},
            {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                            "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
                            "</Relationships>"},
            {"word/document.xml", documentXml(body)}};
}

// Sets what the directory claims a part inflates to, in its local header and its directory entry.
void claimSize(QByteArray& zip, const QByteArray& name, quint32 size)
{
    const auto put = [&](qsizetype at) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((size >> (8 * i)) & 0xFF);
    };
    for (qsizetype at = zip.indexOf("PK\x03\x04"); at >= 0; at = zip.indexOf("PK\x03\x04", at + 4))
        if (zip.mid(at + 30, name.size()) == name)
            put(at + 22);
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4))
        if (zip.mid(at + 46, name.size()) == name)
            put(at + 24);
}

} // namespace

TEST(DocxRead, ReadsAPlainDocument)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    ASSERT_TRUE(readDocx(zipOf(wordParts("<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Ahoj</w:t></w:r></w:p>"
                                         "<w:p><w:r><w:t xml:space=\"preserve\"> svet</w:t></w:r></w:p>")),
                         cursor));
    EXPECT_EQ(doc.toPlainText(), "Ahoj\n svet");
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

// What the document has no place for is named, so that the first save can ask before it goes.
TEST(DocxRead, NamesWhatItCannotKeep)
{
    Parts parts = wordParts("<w:p><w:r><w:t>a</w:t></w:r><m:oMath xmlns:m=\"m\"><m:r><m:t>x</m:t></m:r></m:oMath></w:p>");
    parts.emplace_back("word/_rels/document.xml.rels",
                       "<Relationships><Relationship Id=\"h\" Type=\"x/header\" Target=\"header1.xml\"/></Relationships>");
    parts.emplace_back("word/header1.xml", "<w:hdr/>");
    QTextDocument doc;
    QTextCursor cursor(&doc);
    LeftOut leftOut;
    ASSERT_TRUE(readDocx(zipOf(parts), cursor, &leftOut));
    EXPECT_EQ(doc.toPlainText(), "a");
    EXPECT_EQ(leftOut.dropped, leftout::HeadersFooters | leftout::Objects);
}

TEST(DocxHostile, EachEndsRefusedWithTheDocumentAsItWas)
{
    std::vector<std::pair<const char*, QByteArray>> cases;
    // A part that inflates far past what its package could honestly hold, claiming it or not.
    Parts bombBody = wordParts("<w:p><w:r><w:t>" + QByteArray(40 << 20, 'x') + "</w:t></w:r></w:p>");
    cases.emplace_back("claimed bomb", zipOf(bombBody));
    QByteArray lying = zipOf(bombBody);
    claimSize(lying, "word/document.xml", 100);
    cases.emplace_back("lying bomb", lying);
    Parts many = wordParts("<w:p/>");
    for (int i = 0; i < 5000; ++i)
        many.emplace_back(QString("p/%1").arg(i), QByteArray());
    cases.emplace_back("many parts", zipOf(many));
    cases.emplace_back("deep nesting", zipOf(wordParts(QByteArray(100000, 'x').replace("x", "<w:sdt>"))));
    Parts entities = wordParts("");
    entities[2].second = "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                         "<w:document " + kW + "><w:body><w:p><w:r><w:t>&b;&b;&b;</w:t></w:r></w:p></w:body></w:document>";
    cases.emplace_back("entities", zipOf(entities));
    Parts outside = wordParts("<w:p><w:r><w:drawing><a:blip xmlns:a=\"a\" r:embed=\"p\"/></w:drawing></w:r></w:p>");
    outside.emplace_back("word/_rels/document.xml.rels", "<Relationships><Relationship Id=\"p\" Type=\"x/image\" "
                                                        "Target=\"../../../../etc/passwd\"/></Relationships>");
    cases.emplace_back("outside the package", zipOf(outside));
    Parts missing = wordParts("");
    missing.pop_back();
    cases.emplace_back("no document part", zipOf(missing));
    const QByteArray sound = zipOf(wordParts("<w:p><w:r><w:t>text</w:t></w:r></w:p>"));
    cases.emplace_back("cut short", sound.first(sound.size() / 2));
    cases.emplace_back("not well-formed", zipOf(wordParts("<w:p><w:r><w:t>text</w:r></w:p>")));
    for (const auto& [what, bytes] : cases) {
        QTextDocument doc;
        doc.setPlainText("Ahoj");
        QTextCursor cursor(&doc);
        cursor.movePosition(QTextCursor::End);
        EXPECT_FALSE(readDocx(bytes, cursor)) << what;
        EXPECT_EQ(doc.toPlainText(), "Ahoj") << what;
    }
}

// The OpenDocument reader shares the container's bounds; what is its own: no content, and the
// flat document's XML.
TEST(OdtHostile, EachEndsRefusedWithTheDocumentAsItWas)
{
    const QByteArray flatHead = "<?xml version=\"1.0\"?>";
    const QByteArray flatRoot = "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                                "office:mimetype=\"application/vnd.oasis.opendocument.text\">";
    const std::pair<const char*, QByteArray> cases[] = {
        {"no content", zipOf({{"mimetype", "application/vnd.oasis.opendocument.text"}, {"styles.xml", "<x/>"}})},
        {"flat with entities", flatHead + "<!DOCTYPE d [<!ENTITY a \"aaaa\">]>" + flatRoot + "&a;</office:document>"},
        {"flat nested deep", flatHead + flatRoot + QByteArray(100000, 'x').replace("x", "<text:section>")},
        {"picture outside", zipOf({{"mimetype", "application/vnd.oasis.opendocument.text"},
                                   {"content.xml", QByteArray(flatRoot).replace("office:document", "office:document-content") +
                                                       "<office:body><office:text><text:p><draw:frame><draw:image "
                                                       "xlink:href=\"../../etc/passwd\"/></draw:frame></text:p>"
                                                       "</office:text></office:body></office:document-content>"}})},
    };
    for (const auto& [what, bytes] : cases) {
        QTextDocument doc;
        doc.setPlainText("Ahoj");
        QTextCursor cursor(&doc);
        cursor.movePosition(QTextCursor::End);
        EXPECT_FALSE(readOdt(bytes, cursor)) << what;
        EXPECT_EQ(doc.toPlainText(), "Ahoj") << what;
    }
}

// A font with no family names no face: the text keeps its letters when written as RTF and read
// back (it came back as a symbol font's).
TEST(OdtRead, AFontWithNoFamilyNamesNoFace)
{
    const QByteArray fodt =
        "<?xml version=\"1.0\"?><office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:style=\"s\" xmlns:text=\"t\" xmlns:svg=\"v\" office:mimetype=\"application/vnd.oasis.opendocument.text\">"
        "<office:font-face-decls><style:font-face style:name=\"F\"/></office:font-face-decls><office:automatic-styles>"
        "<style:style style:name=\"P\" style:family=\"paragraph\"><style:text-properties style:font-name=\"F\"/>"
        "</style:style></office:automatic-styles><office:body><office:text><text:p text:style-name=\"P\">"
        "\xC4\x8D\xC3\xBD</text:p></office:text></office:body></office:document>";
    QTextDocument doc;
    QTextCursor cursor(&doc);
    ASSERT_TRUE(readOdt(fodt, cursor));
    QTextDocument back;
    QTextCursor again(&back);
    ASSERT_TRUE(readRtf(writeRtf(doc), again));
    EXPECT_EQ(back.toPlainText(), QString::fromUtf8("čý"));
}
