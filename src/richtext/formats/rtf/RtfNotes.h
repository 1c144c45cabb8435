#pragma once
// Notes' paragraphs as documents of their own, and back: what shows a note's text, prints it
// and edits it reads it through here, and what gives a note new text writes it through here.
#include "richtext/document/Notes.h"

#include <QString>

class QTextDocument;

namespace zorim {

// Puts the note's paragraphs into the empty document, formats and all. A note inside them
// (another program's) stands there as its text in brackets.
void readNoteContent(const Note& note, QTextDocument& into);
// The document's paragraphs as a note's content, in the form a read note has.
KeptGroups noteContentOf(const QTextDocument& doc);
// The label a note's reference shows: 1, 2, 3 for footnotes, i, ii, iii for endnotes.
QString noteLabel(int number, bool endnote);

namespace rtf {
// The content read and written again: any note inside it as its text in brackets (notes do
// not nest), a table's or a section's words as our paragraphs take them.
KeptGroups withoutInnerNotes(const KeptGroups& content);
}

} // namespace zorim
