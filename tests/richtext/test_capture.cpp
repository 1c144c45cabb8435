// A document captured for writing elsewhere writes exactly the RTF the document itself writes,
// also when it is written on another thread while the document goes on changing.
#include "TestSupport.h"
#include "richtext/DocFormats.h"
#include "richtext/DocumentCapture.h"
#include "richtext/rtf/Rtf.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <gtest/gtest.h>

#include <future>

using namespace zorim;

namespace {

std::unique_ptr<QTextDocument> load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    readRtf(file.readAll(), cursor);
    return doc;
}

// Numbered and bulleted paragraphs in lists of their own, pictures with and without their own
// bytes, empty paragraphs and formats that change inside a paragraph.
std::unique_ptr<QTextDocument> builtDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    QTextCharFormat bold;
    bold.setFontWeight(700);
    cursor.insertText(QStringLiteral("Vážený pán "));
    cursor.insertText(QStringLiteral("Novák,"), bold);
    for (uint16_t numbering : {pfn::Bullet, pfn::Bullet, pfn::Arabic, pfn::Arabic, pfn::None, pfn::UpperRoman}) {
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("položka %1").arg(numbering));
        ParaFormat pf;
        pf.mask = pfm::Numbering | pfm::StartIndent;
        pf.numbering = numbering;
        pf.startIndent = 360;
        applyParaFormat(cursor, pf);
    }
    cursor.insertBlock();
    cursor.insertBlock();
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("shown:1")), red);
    QTextImageFormat image;
    image.setName(QStringLiteral("shown:1"));
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral(" obrázok bez vlastných bajtov"));
    return doc;
}

} // namespace

TEST(DocumentCapture, WritesWhatTheDocumentWrites)
{
    std::vector<std::pair<QString, std::unique_ptr<QTextDocument>>> docs;
    docs.emplace_back(QStringLiteral("built"), builtDocument());
    docs.emplace_back(QStringLiteral("empty"), std::make_unique<QTextDocument>());
    const QDir shared(test::sharedTestData(QStringLiteral("rtf")));
    for (const QString& folder : shared.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo& file : QDir(shared.filePath(folder)).entryInfoList({QStringLiteral("*.rtf")}, QDir::Files))
            if (auto doc = load(file.filePath()))
                docs.emplace_back(file.fileName(), std::move(doc));
    ASSERT_GT(docs.size(), 3u) << "no shared test documents";
    for (const auto& [name, doc] : docs)
        EXPECT_EQ(DocumentCapture::take(*doc).toRtf(), writeRtf(*doc)) << name.toStdString();
}

TEST(DocumentCapture, IsWrittenOnAnotherThreadWhileTheDocumentChanges)
{
    const auto doc = builtDocument();
    const QByteArray before = writeRtf(*doc);
    const DocumentCapture capture = DocumentCapture::take(*doc);
    auto written = std::async(std::launch::async, [&capture] { return capture.toRtf(); });
    QTextCursor cursor(doc.get());
    for (int i = 0; i < 200; ++i)
        cursor.insertText(QStringLiteral("ďalší text "));
    EXPECT_EQ(written.get(), before);
}
