// Embedded and linked objects: written as \object groups with their data and a result
// picture, read back to the same object, objects of other programs kept as they came, and
// damaged object data refused without harm.
#include "RtfTestUtil.h"
#include "richtext/formats/rtf/Objects.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

namespace {

// Every object in the document, in order.
std::vector<EmbeddedObject> objectsIn(const QTextDocument& doc)
{
    std::vector<EmbeddedObject> objects;
    const QString raw = doc.toRawText();
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] != QChar::ObjectReplacementCharacter)
            continue;
        c.setPosition(i + 1);
        if (auto object = objectFromFormat(c.charFormat()))
            objects.push_back(*object);
    }
    return objects;
}

// "before", the object, "after".
std::unique_ptr<QTextDocument> documentWith(const EmbeddedObject& object)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor c(doc.get());
    c.insertText(QStringLiteral("pred "));
    insertObject(c, object);
    c.insertText(QStringLiteral(" po"));
    return doc;
}

EmbeddedObject embeddedFile()
{
    EmbeddedObject object;
    object.fileName = QStringLiteral("zmluva {návrh}.pdf");
    object.contents = QByteArray("%PDF-1.4\0\x01\xFF{}\\ end", 19);
    return object;
}

QByteArray le32(uint32_t v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

// The OLE 1 stream of an object of another program: header, class, native data, no presentation.
QByteArray foreignData(const QByteArray& className, const QByteArray& native)
{
    return le32(0x501) + le32(2) + le32(uint32_t(className.size() + 1)) + className + QByteArray(1, '\0') + le32(0)
           + le32(0) + le32(uint32_t(native.size())) + native + le32(0x501) + le32(0);
}

QByteArray pngBytes()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(RtfObjects, EmbeddedFileIsWrittenAsPackageObjectWithResultAndReadsBackWhole)
{
    const EmbeddedObject object = embeddedFile();
    const auto doc = documentWith(object);
    const QByteArray rtf = writeRtf(*doc);
    EXPECT_TRUE(rtf.contains("{\\object\\objemb{\\*\\objclass Package}")) << rtf.left(300).toStdString();
    EXPECT_TRUE(rtf.contains("{\\*\\objdata"));
    EXPECT_TRUE(rtf.contains("{\\result {\\pict\\pngblip"));

    const auto back = loadRtf(rtf);
    EXPECT_EQ(back->toPlainText(), doc->toPlainText());
    const auto objects = objectsIn(*back);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0], object);
    // Written again, the same bytes: nothing drifts from save to save.
    EXPECT_EQ(writeRtf(*back), rtf);
}

TEST(RtfObjects, LinkIsWrittenAsObjLinkAndKeepsPathsOutsideTheCodePage)
{
    EmbeddedObject link;
    link.kind = EmbeddedObject::Kind::Linked;
    link.fileName = QStringLiteral("/home/jana/Ďalšie/日本語.txt");
    const auto doc = documentWith(link);
    const QByteArray rtf = writeRtf(*doc);
    EXPECT_TRUE(rtf.contains("{\\object\\objlink{\\*\\objclass Package}"));
    const auto objects = objectsIn(*loadRtf(rtf));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0], link);
}

TEST(RtfObjects, ObjectOfAnotherProgramKeepsItsDataAndItsResultPicture)
{
    const QByteArray data = foreignData("Excel.Sheet.8", QByteArray("\xD0\xCF\x11\xE0 sheet", 10));
    const QByteArray rtf = "{\\rtf1\\ansi a{\\object\\objemb{\\*\\objclass Excel.Sheet.8}\\objw600\\objh300"
                           "{\\*\\objdata " + data.toHex() + "}{\\result{\\pict\\pngblip\\picw1\\pich1 "
                           + pngBytes().toHex() + "}}}b}";
    const auto doc = loadRtf(rtf);
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("a") + QChar::ObjectReplacementCharacter + QStringLiteral("b"));
    const auto objects = objectsIn(*doc);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].className, QStringLiteral("Excel.Sheet.8"));
    EXPECT_EQ(objects[0].objectData, data);
    EXPECT_FALSE(objects[0].isFile());
    // The result picture still shows it, and both go out again as they came.
    const auto records = charRecords(*doc);
    ASSERT_TRUE(records[1].picture.has_value());
    EXPECT_EQ(records[1].picture->data, pngBytes());
    const QByteArray again = writeRtf(*doc);
    EXPECT_TRUE(again.contains(data.toHex()));
    EXPECT_EQ(objectsIn(*loadRtf(again)), objects);
}

TEST(RtfObjects, ObjectWithoutResultPictureIsShownByItsIconAndKeepsItsData)
{
    const EmbeddedObject object = embeddedFile();
    const QByteArray rtf = "{\\rtf1\\ansi x{\\object\\objemb{\\*\\objdata " + oleObjectData(object).toHex() + "}}y}";
    const auto doc = loadRtf(rtf);
    EXPECT_EQ(doc->toPlainText().size(), 3);
    const auto objects = objectsIn(*doc);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0], object);
}

TEST(RtfObjects, WritingWithoutObjectsLeavesThemOut)
{
    const auto doc = documentWith(embeddedFile());
    RtfWriteOptions options;
    options.noObjects = true;
    const QByteArray rtf = writeRtf(*doc, 0, -1, options);
    EXPECT_FALSE(rtf.contains("\\object"));
    EXPECT_EQ(loadRtf(rtf)->toPlainText(), QStringLiteral("pred  po"));
}

TEST(RtfObjects, DamagedObjectDataIsKeptAsDataOrLeftOutNeverTrusted)
{
    const QByteArray good = oleObjectData(embeddedFile());
    // Lengths that run past the data, at every place a length is read.
    std::vector<QByteArray> bad;
    for (int cut = 1; cut < good.size(); cut += 7)
        bad.push_back(good.left(cut));
    QByteArray lying = good;
    lying.replace(8, 4, le32(0x7FFFFFF0)); // the class name's length
    bad.push_back(lying);
    bad.push_back(foreignData("Package", QByteArray("\x02\x00name", 6))); // a package record cut short
    bad.push_back(QByteArray(64, '\xFF'));
    for (const QByteArray& data : bad) {
        const QByteArray rtf = "{\\rtf1 a{\\object\\objemb{\\*\\objdata " + data.toHex() + "}}b}";
        const auto doc = loadRtf(rtf);
        // Whatever is kept is kept whole: the file when its record is complete, else an
        // object of its own class with exactly the data read.
        for (const EmbeddedObject& object : objectsIn(*doc)) {
            if (object.isFile())
                EXPECT_EQ(object, embeddedFile());
            else
                EXPECT_EQ(object.objectData, data);
        }
        EXPECT_TRUE(doc->toPlainText().startsWith(u'a'));
    }
    EXPECT_FALSE(parseObjectGroup(QByteArrayView("\\objemb{\\*\\objdata }}")).has_value());
}

TEST(RtfObjects, HostileGroupsEndAndCostNoMoreThanTheirSize)
{
    // Unclosed, nested, \bin inside the data, an object word repeated in one group.
    const QByteArray data = oleObjectData(embeddedFile());
    const QByteArray cases[] = {
        "{\\rtf1 {\\object\\objemb{\\*\\objdata " + data.toHex(),
        "{\\rtf1 {\\object{\\object{\\object{\\object\\objemb{\\*\\objdata " + data.toHex() + "}}}}}}",
        "{\\rtf1 {\\object\\objemb{\\*\\objdata \\bin" + QByteArray::number(data.size()) + " " + data + "}}}",
        "{\\rtf1 {\\object\\objemb{\\*\\objdata \\bin999999999 ab}}}",
        "{\\rtf1 {" + QByteArray("\\object ").repeated(20000) + "}}",
    };
    for (const QByteArray& rtf : cases) {
        const auto doc = loadRtf(rtf);
        EXPECT_LE(objectsIn(*doc).size(), 1u);
    }
    // The \bin form is the same object as the hex form.
    const auto objects = objectsIn(*loadRtf(cases[2]));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0], embeddedFile());
}
