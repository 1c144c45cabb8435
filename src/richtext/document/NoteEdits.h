#pragma once
// Notes as the windows handle them (Notes.h): finding the note at the caret, reading its text
// into a document of its own (a note pane's), giving it that document's text back, and putting
// a new note in. Each change is one undo step of the document that holds the reference.
#include <QtGlobal>

namespace zorim {

class RichDocument;

// The reference at pos, else the nearest before pos in pos's paragraph; -1 when there is none.
int noteReferenceNear(const RichDocument& doc, int pos);
// Whether the note at ref is an endnote (false also where no note stands).
bool isEndnoteAt(const RichDocument& doc, int ref);
// Puts the text of the note whose reference is at ref into `into`, replacing what it held and
// leaving it with nothing to undo; false (into left as it was) when no note stands at ref.
bool readNoteAt(const RichDocument& doc, int ref, RichDocument& into);
// Whether content holds the text of the note at ref as it is (a pane showing it need not read
// it again).
bool noteHolds(const RichDocument& doc, int ref, const RichDocument& content);
// The number the reference at ref shows (0: none, or a note with a mark of its own).
int noteNumberAt(const RichDocument& doc, int ref);
// Gives the note at ref the text of `content`, one undo step; false when no note stands at
// ref. A text the note has already changes nothing. With run, edits of one run (keys typed
// in a note pane) are one undo step (RichDocument::Transaction).
bool setNoteText(RichDocument& doc, int ref, const RichDocument& content, quint64* run = nullptr);
// Puts a reference to a new, empty note at pos (in the format of the text before it), one
// undo step; answers the reference's position.
int insertNote(RichDocument& doc, int pos, bool endnote);

} // namespace zorim
