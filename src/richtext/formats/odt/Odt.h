#pragma once
// OpenDocument text (.odt, zipped, and the flat .fodt) in and out of the document, through the
// same builder as RTF and Word documents, so a structure means one thing whatever its file.
#include "richtext/document/RichTypes.h"

#include <QByteArray>
#include <QByteArrayView>

class QTextCursor;
class QTextDocument;

namespace zorim {

// Whether bytes are a flat OpenDocument text (one XML document, .fodt), told by their head.
bool isFlatOdt(QByteArrayView head);

// Replaces the cursor's selection with the document in bytes (zipped or flat), as one edit
// block. A document that cannot be read (no content, damaged or hostile parts, as for Word
// documents) inserts nothing and gives false.
bool readOdt(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut = nullptr);

// The whole document as a zipped OpenDocument text: paragraphs with their formats, headings by
// outline level, lists, tables, pictures, links, hidden text and the page.
QByteArray writeOdt(const QTextDocument& doc);

} // namespace zorim
