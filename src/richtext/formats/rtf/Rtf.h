#pragma once
// Rich text (RTF) in and out of the document.
//
// The reader turns an RTF stream into paragraphs, character runs, pictures and tables of the
// document (one block per paragraph, a QTextTable per table: richtext/document/TableFormat.h); every run
// it inserts carries a complete character format and every paragraph a complete paragraph
// format. What the document cannot hold is brought into its terms:
//   - a table in a table's cell (\itap2, \nestcell, \nestrow) is a table in that cell, and is
//     written back so; tables deeper still stay text in their cell: their cells after tabs,
//     each row a paragraph; a table read into a table cell stays text there too;
//   - \line becomes a line separator (U+2028) inside the paragraph, and is written back as
//     \line; \page and \sect end the paragraph, and after \page the next paragraph starts a page;
//   - the page (paper, orientation, margins) is kept with a document read whole, into an
//     empty document;
//   - footnotes and endnotes (\footnote, \ftnalt) are notes kept where their reference
//     stands (richtext/document/Notes.h), their paragraphs as read, written back as a
//     \footnote group after {\super\chftn}; past the bounds, and inside a note, a note's text
//     stands in square brackets after its number;
//   - hidden text (\v) is kept as an object character that shows nothing and is written
//     back as hidden text;
//   - headers, footers and the document information are not shown but kept with a document
//     read whole, into an empty document, and written back (richtext/document/KeptGroups.h);
//   - comments are not shown but kept where they stand, each as one object character that
//     shows nothing and holds its groups, written back as read (richtext/document/KeptGroups.h);
//   - deleted text and the style sheet are left out;
//   - bullet texts (\pntext, \listtext) are left out up to their last tab: numbering is a
//     paragraph attribute;
//   - text boxes are kept as paragraphs at their shape's place;
//   - embedded objects show their result (usually a picture);
//   - pictures the document cannot show (metafiles, damaged data) keep their bytes and show
//     as a framed placeholder; device-dependent bitmaps (\wbitmap) are kept as PNG.
//
// The writer writes what the Windows rich edit control wrote: \ansicpg1250, a font table, a
// colour table, \'hh in the code page its font's character set declares, \uN? for other
// characters, bullets as \pn groups, pictures as \pict and links as HYPERLINK fields; tables
// as rows (\trowd ... \cellx, cells of \intbl paragraphs ending with \cell, \row).
#include "richtext/document/RichTypes.h"

#include <QByteArray>

#include <memory>

class QTextCursor;
class QTextDocument;

namespace zorim {

// Whether bytes are an RTF document: "{\rtf" after nothing but ASCII white space (blank,
// tab, CR, LF, form feed, vertical tab). The one test of the program: the reader, a load, a
// paste and the converter all ask this, so what one takes as RTF the others read as RTF.
bool isRtf(QByteArrayView bytes);

// Replaces the cursor's selection with the RTF document in bytes, as one edit block, and
// leaves the cursor after the inserted text. Input that is no RTF (isRtf) inserts nothing and
// gives false, so the caller can take it as text.
// Damaged input after a valid start loads what can be read and gives true. A final \par at
// the end of the document ends the last paragraph instead of adding an empty one.
// Pictures and objects beyond what the document may spend on them for a file of this size
// are left out, and so are comments, hidden text and kept groups beyond theirs; with
// leftOut, their numbers are put there.
bool readRtf(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut = nullptr);

struct RtfWriteOptions {
    bool noObjects = false; // leave pictures out
};

// Writes the range [from, to) of the document (to = -1: up to the end) as RTF. A range that
// reaches the end of the document ends with \par for its last paragraph. A range from one
// cell of a table to another writes the cells between them; one that reaches into a table
// from outside, the whole rows it touches.
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
