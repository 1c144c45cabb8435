#include "richtext/document/Notes.h"

namespace zorim {

QTextCharFormat noteFormat(const QTextCharFormat& base, const Note& note)
{
    QTextCharFormat format = base;
    format.setObjectType(kNoteObject);
    format.setProperty(docprop::NoteContent, QVariant::fromValue(note.content));
    format.setProperty(docprop::NoteKey,
                       int(qHash(note.content.groups.empty() ? QByteArray() : note.content.groups[0])));
    format.setProperty(docprop::NoteEndnote, note.endnote);
    format.setProperty(docprop::NoteCustomMark, note.customMark);
    return format;
}

std::optional<Note> noteOf(const QTextFormat& format)
{
    if (!isNoteFormat(format))
        return std::nullopt;
    return Note{format.property(docprop::NoteContent).value<KeptGroups>(), format.boolProperty(docprop::NoteEndnote),
                format.boolProperty(docprop::NoteCustomMark)};
}

} // namespace zorim
