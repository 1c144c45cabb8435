// A document captured for writing elsewhere writes exactly the RTF the document itself writes,
// also when it is written on another thread while the document goes on changing.
#include "TestSupport.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/DocumentCapture.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/TableText.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <gtest/gtest.h>

#include <future>

using namespace zorim;

namespace {

std::unique_ptr<QTextDocument> read(const QByteArray& rtf)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    readRtf(rtf, cursor);
    return doc;
}

std::unique_ptr<QTextDocument> load(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? read(file.readAll()) : nullptr;
}

// Numbered and bulleted paragraphs in lists of their own, pictures with and without their own
// bytes, empty paragraphs and formats (a language among them) that change inside a paragraph.
std::unique_ptr<QTextDocument> builtDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    QTextCharFormat bold;
    bold.setFontWeight(700);
    bold.setProperty(docprop::Language, 1031);
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
    docs.emplace_back(QStringLiteral("tables"), load(QDir(test::sourceDir()).filePath("fuzz/corpus/tables-word.rtf")));
    docs.emplace_back(QStringLiteral("nested"), load(QDir(test::sourceDir()).filePath("fuzz/corpus/tables-nested-deep.rtf")));
    docs.emplace_back(QStringLiteral("sections"), load(QDir(test::sourceDir()).filePath("fuzz/corpus/sections.rtf")));
    // A table longer than a slice of the capture, and the text the document shows of it.
    QByteArray rows = "{\\rtf1 a\\par ";
    for (int i = 0; i < 300; ++i)
        rows += "\\trowd\\cellx1000\\cellx2000\\pard\\intbl{\\lang1033 x}" + QByteArray::number(i) + "\\cell y\\par z\\cell\\row ";
    docs.emplace_back(QStringLiteral("long table"), read(rows + "\\pard b\\par}"));
    for (const auto& [name, doc] : docs)
        EXPECT_EQ(DocumentCapture::take(*doc).toRtf().toStdString(), writeRtf(*doc).toStdString()) << name.toStdString();
    for (const QTextDocument* doc : {docs.back().second.get(), docs[docs.size() - 2].second.get()}) {
        QString shown = doc->toRawText();
        showTablesAsText(*doc, shown);
        EXPECT_EQ(DocumentCapture::take(*doc, DocumentCapture::Content::TextOnly).takeRawText().toStdU16String(),
                  shown.toStdU16String());
    }
    const auto notes = std::find_if(docs.begin(), docs.end(), [](const auto& d) { return d.first == "footnote.rtf"; });
    ASSERT_NE(notes, docs.end());
    EXPECT_EQ(DocumentCapture::take(*notes->second).toRtf().count("{\\footnote"), 2);
}

// Another program's style sheet, header, footer and document information go into a snapshot,
// and come back with the document restored from it, its heading a heading.
TEST(DocumentCapture, KeepsAnotherProgramsHeadersAndFooters)
{
    const auto doc = read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0\\blue0;}"
                          "{\\stylesheet{Normal;}{\\s1\\f1 heading 1;}}"
                          "{\\info{\\title Ponuka}}\\titlepg{\\headerf\\f1\\cf1 Hlavi\\'e8ka\\par}"
                          "{\\footer Strana {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\\s1\\f0 Nadpis\\par\\pard Text\\par}");
    ASSERT_EQ(readKeptGroups(*doc).groups.size(), 4u);
    EXPECT_EQ(read(DocumentCapture::take(*doc).toRtf())->begin().blockFormat().property(docprop::ParagraphStyle), 1);
    const QByteArray snapshot = DocumentCapture::take(*doc).toRtf();
    EXPECT_EQ(snapshot.toStdString(), writeRtf(*doc).toStdString());
    EXPECT_EQ(readKeptGroups(*read(snapshot)), readKeptGroups(*read(writeRtf(*read(snapshot)))));
    EXPECT_TRUE(snapshot.contains("\\titlepg"));
    EXPECT_EQ(readKeptGroups(*read(snapshot)).fonts.begin()->second.face, QStringLiteral("Courier New"));
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

// Taken in steps with edits between them (before, inside and after the part already taken,
// text and formats), the capture holds the document as it is when the last step ends.
TEST(DocumentCapture, InStepsFollowsTheEditsMadeBetweenThem)
{
    for (const auto content : {DocumentCapture::Content::Rich, DocumentCapture::Content::TextOnly}) {
        auto doc = builtDocument();
        QTextCursor end(doc.get());
        end.movePosition(QTextCursor::End);
        for (int i = 0; i < 600; ++i) {
            end.insertBlock();
            end.insertText(QStringLiteral("odsek %1 ").arg(i));
        }
        SteppedCapture stepped(*doc, content, std::chrono::microseconds(0));
        int steps = 0;
        QTextCharFormat italic;
        italic.setFontItalic(true);
        while (!stepped.step()) {
            QTextCursor at(doc.get());
            switch (steps++) {
            case 0: // inside what is taken
                at.setPosition(doc->findBlockByNumber(5).position() + 2);
                at.insertText(QStringLiteral("vložené"));
                break;
            case 1: // a paragraph break removed at the start
                at.setPosition(doc->begin().length() - 1);
                at.deleteChar();
                break;
            case 2: // a format only
                at.setPosition(5);
                at.setPosition(40, QTextCursor::KeepAnchor);
                at.mergeCharFormat(italic);
                break;
            case 3: // beyond it
                end.insertText(QStringLiteral(" koniec"));
                break;
            default: // and then no more edits
                break;
            }
        }
        EXPECT_GT(steps, 3);
        EXPECT_FALSE(stepped.failed());
        if (content == DocumentCapture::Content::Rich)
            EXPECT_EQ(stepped.capture().toRtf(), writeRtf(*doc));
        else
            EXPECT_EQ(stepped.capture().takeRawText(), doc->toRawText());
    }
}
