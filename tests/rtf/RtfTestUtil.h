#pragma once
// Helpers shared by the RTF tests: loading, and reading the document back as records.
#include "richtext/CharFormat.h"
#include "richtext/rtf/Picture.h"

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

} // namespace zorim::test
