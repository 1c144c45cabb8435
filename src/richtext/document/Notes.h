#pragma once
// Footnotes and endnotes. A note rides on one object character where the text refers to it
// (its reference): the character's format holds the note's kind and its paragraphs as RTF, as
// a kept comment holds its groups (KeptGroups.h), so copying, pasting, undoing and deleting the
// reference take the note along. The reference shows as the note's number, counted in document
// order, footnotes and endnotes apart; a note whose text shows a mark of its own (a custom
// mark, written in the text before it) shows nothing more and takes no number.
#include "richtext/document/KeptGroups.h"

#include <QTextCharFormat>

#include <optional>

namespace zorim {

namespace docprop {
inline constexpr int NoteContent = QTextFormat::UserProperty + 230; // KeptGroups: the paragraphs, one group
// A number made from the content's bytes (Qt's format hash ignores the content itself).
inline constexpr int NoteKey = QTextFormat::UserProperty + 231;
inline constexpr int NoteEndnote = QTextFormat::UserProperty + 232;    // true: an endnote
inline constexpr int NoteCustomMark = QTextFormat::UserProperty + 233; // true: the text shows its own mark
}

inline constexpr int kNoteObject = QTextFormat::UserObject + 10;

struct Note {
    // groups[0]: the note's paragraphs as RTF, what stands in its \footnote group after the
    // words that open it; fonts and colours: what the numbers in it mean.
    KeptGroups content;
    bool endnote = false;
    bool customMark = false;
    bool operator==(const Note&) const = default;
};

QTextCharFormat noteFormat(const QTextCharFormat& base, const Note& note);
// The note a format holds; nothing for any other format.
std::optional<Note> noteOf(const QTextFormat& format);
inline bool isNoteFormat(const QTextFormat& format) { return format.objectType() == kNoteObject; }
// Whether the note takes a number (no custom mark); endnote tells which count it is in.
inline bool isNumberedNote(const QTextFormat& format)
{
    return isNoteFormat(format) && !format.boolProperty(docprop::NoteCustomMark);
}

} // namespace zorim
