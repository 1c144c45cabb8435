#pragma once
// Word documents (the zipped XML kind, .docx) in and out of the document. The reader builds
// the document through the same builder as the RTF reader, so a table, a list, a picture or a
// link means one thing whatever file it came from. What the document cannot hold is brought
// into its terms as RTF's is: text boxes' text stands as paragraphs where the box is anchored,
// fields show their last result, tracked changes show the final text, deleted text is left out.
#include "richtext/document/RichTypes.h"

#include <QByteArray>

class QTextCursor;
class QTextDocument;

namespace zorim {

// Replaces the cursor's selection with the document in bytes, as one edit block. A package
// that cannot be read (no ZIP, no document part, damaged or hostile parts: a part that
// inflates past its bound, too many parts, XML nested past reason or with a DTD) inserts
// nothing and gives false.
bool readDocx(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut = nullptr);

// The whole document as a Word document: paragraphs with their formats, headings as heading
// styles by outline level, lists, tables, pictures, links, hidden text and the page.
QByteArray writeDocx(const QTextDocument& doc);

} // namespace zorim
