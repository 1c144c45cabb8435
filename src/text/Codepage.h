#pragma once
// Code pages, used wherever text leaves or enters the program as bytes: state files,
// plain-text documents and RTF. Qt 6 has no converters of its own for them. The Windows
// single-byte pages come from tables of our own (they are on every hot path); the Mac, DOS and
// East Asian double-byte pages that RTF files name come from the C library's iconv.
#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace zorim {

inline constexpr int kCp1250 = 1250;

// True when the code page can be decoded: a Windows single-byte page, or a page the C
// library converts (Mac Roman 10000, DOS 437/850/852, the double-byte 932/936/949/950/1361).
bool isKnownCodepage(int codepage);

// Code page of a Windows character-set number (as in font charsets); 0 when unknown.
int codepageForCharset(int charset);

// The decoding table of one code page, built once on first use and kept for the run.
struct CodepageTable {
    int codepage = kCp1250;
    // Character of each single byte; a lead byte of a double-byte page maps to 0, a byte it
    // leaves undefined to U+FFFD.
    std::array<char16_t, 256> single{};
    // For double-byte pages: the characters of the pairs, 256 per lead byte, in the order of
    // the page's lead bytes (leadIndex), U+FFFD for a pair the page leaves undefined.
    std::array<int16_t, 256> leadIndex{}; // -1: no lead byte
    std::vector<char32_t> pairs;

    bool doubleByte() const { return !pairs.empty(); }
    bool isLead(unsigned char b) const { return leadIndex[b] >= 0; }
    char32_t pair(unsigned char lead, unsigned char trail) const
    {
        return pairs[size_t(leadIndex[lead]) * 256 + trail];
    }
};

// The table of a page; an unknown page gives the table of Windows-1250.
const CodepageTable& codepageTable(int codepage);

// Bytes to text. Bytes below 0x80 are ASCII; single bytes a single-byte page leaves undefined
// become the control character of the same value, so decoding never loses a byte. A pair of a
// double-byte page is one character; U+FFFD stands for an undefined or cut-off pair and for an
// undefined single byte of such a page. An unknown page
// decodes as Windows-1250.
QString decodeCodepage(const QByteArray& bytes, int codepage = kCp1250);

// One character to its byte in the page; -1 when the page has no such character (and for
// every non-ASCII character of a double-byte page).
int encodeCodepageChar(char16_t ch, int codepage = kCp1250);

// Text to bytes. A character the page lacks becomes '?', and *lossless (when given) is set
// to false.
QByteArray encodeCodepage(const QString& text, int codepage = kCp1250, bool* lossless = nullptr);

// The rule for plain-text documents: a UTF-8 byte order mark, or valid UTF-8 holding at least
// one multi-byte sequence, reads as UTF-8; anything else reads as Windows-1250.
QString decodeTextDocument(const QByteArray& bytes);

// The same rule taken apart, for a document read a part at a time: the encoding is chosen
// once from all of its bytes, then each part (cut where no UTF-8 sequence is split) is
// decoded on its own. A byte order mark is skipped by the
// caller: bomLength bytes at the start.
enum class TextDocumentEncoding { Utf8, Cp1250 };
TextDocumentEncoding textDocumentEncoding(const QByteArray& bytes, qsizetype* bomLength = nullptr);
QString decodeTextDocumentPart(const char* bytes, qsizetype size, TextDocumentEncoding encoding);

// Text whose characters all exist in Windows-1250 is written in it; other text is written as
// UTF-8 with a byte order mark, so that no character is lost.
QByteArray encodeTextDocument(const QString& text);

// How a text file was written, so that saving it writes it the same way: its encoding, its
// byte order mark and its line end. The default form, of a document that came from no text
// file, is written by encodeTextDocument's rule with CR LF; so is a Windows-1250 file.
struct TextDocumentForm {
    enum class Encoding { ByRule, Utf8 };
    Encoding encoding = Encoding::ByRule;
    bool byteOrderMark = false;
    QString lineEnd = QStringLiteral("\r\n");
    bool operator==(const TextDocumentForm&) const = default;
};

// The form of a text file's bytes: UTF-8 (with its mark or without) as decodeTextDocument
// reads it, else the rule; the first line end found (CR LF when there is none). Plain ASCII
// fits either: with LF line ends it came from a tool of this system and stays UTF-8,
// otherwise it follows the rule.
TextDocumentForm textDocumentForm(const QByteArray& bytes);

// Text with CR LF line ends, written in the form.
QByteArray encodeTextDocument(QString text, const TextDocumentForm& form);

} // namespace zorim
