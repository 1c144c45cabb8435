#pragma once
// Helpers shared by the RTF tests: loading, and reading the document back as records.
#include "richtext/document/CharFormat.h"
#include "richtext/formats/rtf/Picture.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

#include <memory>
#include <optional>
#include <vector>

namespace zorim::test {

// A new document holding the RTF (empty when the reader refused it).
std::unique_ptr<QTextDocument> loadRtf(const QByteArray& rtf, bool* accepted = nullptr);

QByteArray readFile(const QString& path);

// The character format of the character at pos.
CharFormat formatAt(const QTextDocument& doc, int pos);

// The position of the first occurrence of text; fails the test when absent.
int find(const QTextDocument& doc, const QString& text);

// Every character of the document with its format (and picture, for object characters).
struct CharRecord {
    QChar ch;
    CharFormat format;
    std::optional<Picture> picture;
    bool operator==(const CharRecord&) const = default;
};
std::vector<CharRecord> charRecords(const QTextDocument& doc);
std::vector<ParaFormat> paraRecords(const QTextDocument& doc);
// The document's tables, in order, each as rows of cell texts (a cell's paragraphs joined by '|',
// each cell of a table inside it starting with '[', the table ending with ']'). inCells: the
// tables inside the cells of the document's tables instead.
using Grid = std::vector<std::vector<QString>>;
std::vector<Grid> tablesOf(const QTextDocument& doc, bool inCells = false);

// The document's notes in order, each as its text (paragraphs joined by '|'), an endnote's
// after "(e) ", a custom mark's after "(*) ".
std::vector<QString> notesOf(const QTextDocument& doc);

// Every character of Windows-1250, then Greek, Cyrillic, CJK and one beyond the BMP.
QString everyKindOfText();

// A document of the text typed in one font of the character set.
std::unique_ptr<QTextDocument> typedDocument(const QString& text, const QString& face, uint8_t charset);

// A letter with the page structure other programs keep: paragraph spacing before and after,
// line spacing of each kind (single, one and a half, at least, exactly), a page break, hidden
// text, and its paper (landscape A5) and margins.
std::unique_ptr<QTextDocument> structuredLetter();

// A letter as Word writes one: a header in a font and colours the text does not use (and a
// font and colour its tables lack), a footer with a page number field, the title and author
// in the document information, a pasted logo (PNG) in the header, and the words that place
// the header and give the first page its own.
QByteArray letterWithHeader();

// A contract as a reviewer leaves it in Word: a comment on a commented range in the text
// (\\atrfstart/\\atrfend), and one in a table cell inside a character style's group, whose text
// is in a font and colour nothing else uses and which holds a table of its own. Without comments: the same document with none.
QByteArray reviewedContract(bool comments = true);

// Another word processor's conversion of each RTF file: LibreOffice ("soffice") or AbiWord
// ("abiword") writes it as `format`; Word and OpenDocument texts may stand in place of RTF ("txt" as UTF-8, "rtf", or LibreOffice's "fodt"); LibreOffice also
// takes its own flat files (.fodt) in place of RTF. All files go to one run of the
// program. A missing program or a failed conversion fails the test, naming the package to
// install; the result then holds empty entries.
std::vector<QByteArray> convertByOtherProgram(const QString& program, const std::vector<QByteArray>& rtfs,
                                              const QString& format);

// The plain text each file shows in the other program, byte order mark and ends trimmed.
std::vector<QString> readByOtherProgram(const QString& program, const std::vector<QByteArray>& rtfs);

} // namespace zorim::test
