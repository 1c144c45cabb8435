#pragma once
// A copy of a document's content, taken quickly on the thread that owns the document, that
// another thread can then write out while the user goes on editing. Taking it copies the
// characters in one piece and shares the formats (Qt's formats are implicitly shared), so it
// costs a small part of writing the document; writing it rebuilds a private document and gives the
// same RTF that the original document would give.
#include "richtext/DocFormats.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <cstdint>
#include <vector>

class QTextDocument;

namespace zorim {

class DocumentCapture {
public:
    // On the document's own thread.
    static DocumentCapture take(const QTextDocument& doc);

    // On any thread.
    QByteArray toRtf() const;

private:
    struct Run {
        int from = 0; // in text_, which holds the whole document's characters
        int length = 0;
        QTextCharFormat format;
        QImage image; // what a picture without its own bytes shows
    };
    struct Paragraph {
        QTextBlockFormat format;
        QTextCharFormat charFormat;
        uint16_t numbering = 0;
        std::vector<Run> runs;
    };
    QFont defaultFont_;
    PageSetup page_;
    QString text_;
    std::vector<Paragraph> paragraphs_;
};

} // namespace zorim
