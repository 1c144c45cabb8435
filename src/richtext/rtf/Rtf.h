#pragma once
// Rich text (RTF) in and out of the document.
//
// The reader turns an RTF stream into paragraphs, character runs and pictures of the flat
// document (one block per paragraph, no tables or frames); every run it inserts carries a
// complete character format and every paragraph a complete paragraph format. What the
// document cannot hold is brought into its terms:
//   - tables become text: the cells of a row separated by tabs, each row one paragraph
//     (a paragraph break inside a cell becomes a space);
//   - \line becomes a line separator (U+2028) inside the paragraph, and is written back as
//     \line; \page and \sect end the paragraph;
//   - footnotes and endnotes are kept in place as text in square brackets;
//   - hidden (\v) and deleted text, headers, footers, comments, the style sheet and the
//     document information are left out;
//   - bullet texts (\pntext, \listtext) are left out up to their last tab: numbering is a
//     paragraph attribute;
//   - text boxes are kept as paragraphs at their shape's place;
//   - embedded objects show their result (usually a picture);
//   - pictures the document cannot show (metafiles, damaged data) keep their bytes and show
//     as a framed placeholder; device-dependent bitmaps (\wbitmap) are kept as PNG.
//
// The writer writes what the Windows rich edit control wrote: \ansicpg1250, a font table, a
// colour table, \'hh in the code page its font's character set declares, \uN? for other
// characters, bullets as \pn groups, pictures as \pict and links as HYPERLINK fields.
#include <QByteArray>

#include <memory>

class QTextCursor;
class QTextDocument;

namespace zorim {

// Replaces the cursor's selection with the RTF document in bytes, as one edit block, and
// leaves the cursor after the inserted text. Input that does not begin with "{\rtf" (after
// optional white space) inserts nothing and gives false, so the caller can take it as text.
// Damaged input after a valid start loads what can be read and gives true. A final \par at
// the end of the document ends the last paragraph instead of adding an empty one.
bool readRtf(const QByteArray& bytes, QTextCursor& cursor);

struct RtfWriteOptions {
    bool noObjects = false; // leave pictures out
};

// Writes the range [from, to) of the document (to = -1: up to the end) as RTF. A range that
// reaches the end of the document ends with \par for its last paragraph.
QByteArray writeRtf(const QTextDocument& doc, int from = 0, int to = -1, const RtfWriteOptions& options = {});

// One RTF document written from several text documents, whole ones one after the other, as if
// their paragraphs were those of one document (the font and colour tables and the numbering go
// on from piece to piece): a large document can be written a slice at a time.
class RtfPiecesWriter {
public:
    explicit RtfPiecesWriter(const RtfWriteOptions& options = {});
    ~RtfPiecesWriter();
    RtfPiecesWriter(const RtfPiecesWriter&) = delete;
    RtfPiecesWriter& operator=(const RtfPiecesWriter&) = delete;
    // The piece is read now; it need not outlive the call.
    void add(const QTextDocument& piece);
    QByteArray finish();

private:
    struct State;
    RtfWriteOptions options_;
    std::unique_ptr<State> state_;
};

} // namespace zorim
