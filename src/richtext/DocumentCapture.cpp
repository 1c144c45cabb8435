#include "richtext/DocumentCapture.h"

#include "richtext/DocFormats.h"
#include "richtext/rtf/Picture.h"
#include "richtext/rtf/Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace zorim {

DocumentCapture DocumentCapture::take(const QTextDocument& doc)
{
    DocumentCapture capture;
    capture.defaultFont_ = doc.defaultFont();
    capture.page_ = readPageSetup(doc);
    capture.text_ = doc.toRawText();
    capture.paragraphs_.reserve(size_t(doc.blockCount()));
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph;
        paragraph.format = block.blockFormat();
        paragraph.charFormat = block.charFormat();
        if (block.textList())
            paragraph.numbering = readParaFormat(block).numbering;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            Run run{fragment.position(), fragment.length(), fragment.charFormat(), {}};
            if (run.format.isImageFormat() && !pictureFromFormat(run.format))
                run.image = doc.resource(QTextDocument::ImageResource, QUrl(run.format.toImageFormat().name())).value<QImage>();
            paragraph.runs.push_back(std::move(run));
        }
        capture.paragraphs_.push_back(std::move(paragraph));
    }
    return capture;
}

QByteArray DocumentCapture::toRtf() const
{
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    doc.setDefaultFont(defaultFont_);
    applyPageSetup(doc, page_);
    QTextCursor cursor(&doc);
    bool first = true;
    for (const Paragraph& paragraph : paragraphs_) {
        // The list a paragraph belonged to is an object of the original document; here its
        // numbering puts it into a list of this one.
        QTextBlockFormat format = paragraph.format;
        format.clearProperty(QTextFormat::ObjectIndex);
        if (first) {
            cursor.setBlockFormat(format);
            cursor.setBlockCharFormat(paragraph.charFormat);
            first = false;
        } else {
            cursor.insertBlock(format, paragraph.charFormat);
        }
        for (const Run& run : paragraph.runs) {
            if (!run.image.isNull())
                doc.addResource(QTextDocument::ImageResource, QUrl(run.format.toImageFormat().name()), run.image);
            cursor.insertText(text_.mid(run.from, run.length), run.format);
        }
        if (paragraph.numbering) {
            ParaFormat numbering;
            numbering.mask = pfm::Numbering;
            numbering.numbering = paragraph.numbering;
            applyParaFormat(cursor, numbering);
        }
    }
    return writeRtf(doc);
}

} // namespace zorim
