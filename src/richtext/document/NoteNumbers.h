#pragma once
// The numbers the note references of a document show (Notes.h): footnotes and endnotes are
// counted apart, in document order, leaving out notes with a mark of their own. The counts are
// kept per paragraph and follow each edit from the paragraphs it touched, so an edit costs what
// it changed and asking a number costs a walk of one paragraph; when the counts move, the
// document's layout is told to redraw, since every later reference shows another number.
#include <QObject>
#include <QString>

#include <array>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace zorim {

class NoteNumbers : public QObject {
    Q_OBJECT
public:
    // The document's numbers, made on first asking (a walk of the whole document, once).
    static NoteNumbers& of(QTextDocument& doc);

    // The number of the note whose reference stands at pos (from 1); 0 where none stands or
    // the note has a mark of its own.
    int numberAt(int pos);
    // The numbered notes of a kind.
    int count(bool endnote);

private:
    explicit NoteNumbers(QTextDocument& doc);
    void changed(int from, int removed, int added);
    static std::array<int, 2> countIn(const QTextBlock& block);
    void sum();

    QTextDocument& doc_;
    std::vector<std::array<int, 2>> counts_; // per paragraph: footnotes, endnotes
    std::vector<std::array<int, 2>> before_; // the notes of the paragraphs before each
    std::array<int, 2> total_{};
    bool summed_ = false;
};

// The document's notes as plain text goes after its own: an empty paragraph, then each note as
// a paragraph, its number in brackets before it ("[1] ", endnotes "[i] ") unless it has a mark
// of its own, footnotes first; paragraphs separated as QTextDocument::toRawText separates them
// (U+2029), each starting with one. Empty when the document has no note.
QString notesAsRawText(const QTextDocument& doc);

} // namespace zorim
