#include "richtext/document/NoteEdits.h"

#include "richtext/document/NoteNumbers.h"
#include "richtext/document/Notes.h"
#include "richtext/document/RichDocument.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace zorim {
namespace {

// The format of the character at pos.
QTextCharFormat formatAt(const QTextDocument& doc, int pos)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(pos);
    cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

// Within what the document holds so far (a long load going on is not waited for).
bool validAt(const RichDocument& doc, int pos) { return pos >= 0 && pos < doc.textDocument()->characterCount() - 1; }

} // namespace

int noteReferenceNear(const RichDocument& doc, int pos)
{
    // What a long load has put in so far: a refresh while it goes on must not wait for the rest.
    const QTextDocument& text = *doc.textDocument();
    const QTextBlock block = text.findBlock(std::clamp(pos, 0, std::max(0, text.characterCount() - 1)));
    int found = -1;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.position() > pos)
            break;
        if (isNoteFormat(fragment.charFormat()))
            found = std::min(pos, fragment.position() + fragment.length() - 1);
    }
    return found;
}

bool isEndnoteAt(const RichDocument& doc, int ref)
{
    const std::optional<Note> note = validAt(doc, ref) ? noteOf(formatAt(*doc.textDocument(), ref)) : std::nullopt;
    return note && note->endnote;
}

bool readNoteAt(const RichDocument& doc, int ref, RichDocument& into)
{
    const std::optional<Note> note = validAt(doc, ref) ? noteOf(formatAt(*doc.textDocument(), ref)) : std::nullopt;
    if (!note)
        return false;
    RichDocument::QuietScope quiet(into);
    QTextDocument& target = *into.textDocument();
    const bool undo = target.isUndoRedoEnabled();
    target.setUndoRedoEnabled(false);
    target.clear();
    readNoteContent(*note, target);
    target.setUndoRedoEnabled(undo);
    return true;
}

bool noteHolds(const RichDocument& doc, int ref, const RichDocument& content)
{
    const std::optional<Note> note = validAt(doc, ref) ? noteOf(formatAt(*doc.textDocument(), ref)) : std::nullopt;
    return note && note->content == noteContentOf(*content.textDocument());
}

int noteNumberAt(const RichDocument& doc, int ref)
{
    return validAt(doc, ref) ? NoteNumbers::of(*doc.textDocument()).numberAt(ref) : 0;
}

bool setNoteText(RichDocument& doc, int ref, const RichDocument& content, quint64* run)
{
    const QTextCharFormat format = validAt(doc, ref) ? formatAt(*doc.textDocument(), ref) : QTextCharFormat();
    std::optional<Note> note = noteOf(format);
    if (!note)
        return false;
    KeptGroups text = noteContentOf(*content.textDocument());
    if (text == note->content)
        return true;
    note->content = std::move(text);
    std::optional<RichDocument::Transaction> edit;
    if (run)
        edit.emplace(doc, *run);
    else
        edit.emplace(doc);
    QTextCursor cursor(doc.textDocument());
    cursor.setPosition(ref);
    cursor.setPosition(ref + 1, QTextCursor::KeepAnchor);
    cursor.setCharFormat(noteFormat(format, *note));
    return true;
}

int insertNote(RichDocument& doc, int pos, bool endnote)
{
    pos = std::clamp(pos, 0, doc.length());
    RichDocument::Transaction edit(doc);
    QTextCursor cursor(doc.textDocument());
    cursor.setPosition(pos);
    const QTextCharFormat before = cursor.charFormat();
    const QTextCharFormat base = before.objectType() == QTextFormat::NoObject ? before : cursor.blockCharFormat();
    const QTextDocument empty;
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), noteFormat(base, Note{noteContentOf(empty), endnote, false}));
    return pos;
}

} // namespace zorim
