#pragma once
// Single-byte Windows code pages, used wherever text leaves or enters the program as bytes:
// state files, plain-text documents and RTF. Qt 6 has no converters of its own for them.
#include <QByteArray>
#include <QString>

namespace zorim {

inline constexpr int kCp1250 = 1250;

// True when the code page is one of the single-byte pages we carry tables for.
bool isKnownCodepage(int codepage);

// Code page of a Windows character-set number (as in font charsets); 0 when unknown.
int codepageForCharset(int charset);

// Bytes to text. Bytes below 0x80 are ASCII; bytes the page leaves undefined become the
// control character of the same value, so decoding never loses a byte. An unknown page
// decodes as Windows-1250.
QString decodeCodepage(const QByteArray& bytes, int codepage = kCp1250);

// One character to its byte in the page; -1 when the page has no such character.
int encodeCodepageChar(char16_t ch, int codepage = kCp1250);

// Text to bytes. A character the page lacks becomes '?', and *lossless (when given) is set
// to false.
QByteArray encodeCodepage(const QString& text, int codepage = kCp1250, bool* lossless = nullptr);

// The rule for plain-text documents: a UTF-8 byte order mark, or valid UTF-8 holding at least
// one multi-byte sequence, reads as UTF-8; anything else reads as Windows-1250.
QString decodeTextDocument(const QByteArray& bytes);

// Text whose characters all exist in Windows-1250 is written in it; other text is written as
// UTF-8 with a byte order mark, so that no character is lost.
QByteArray encodeTextDocument(const QString& text);

} // namespace zorim
