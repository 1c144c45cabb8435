#pragma once
// Groups of another program's RTF file that the document neither shows nor edits but keeps,
// so that saving gives them back: its headers, footers and document information. Each is kept
// whole, as read, with what the numbers of the fonts and colours it refers to meant in that
// file's own tables (a writer numbers its tables anew).
#include "richtext/CharFormat.h"

#include <QByteArray>
#include <QString>
#include <QTextFormat>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class QTextDocument;

namespace zorim {

namespace docprop {
inline constexpr int KeptGroups = QTextFormat::UserProperty + 19; // on the root frame
}

struct KeptFont {
    QString face;
    uint8_t charset = kDefaultCharset;
    uint8_t pitchAndFamily = 0;
    bool operator==(const KeptFont&) const = default;
};

struct KeptGroups {
    std::vector<QByteArray> groups;                     // each from its opening brace to its closing one
    std::map<int32_t, KeptFont> fonts;                  // a font number in the groups -> the font
    std::map<int32_t, std::optional<ColorRef>> colors;  // a colour number -> its colour; nothing: automatic
    // The words that say which of the headers and footers a page uses and where they stand:
    // \facingp (left and right pages differ), \titlepg (the first page has its own), \headeryN
    // and \footeryN (their distance from the paper's edge, twips). Kept with the groups only.
    QByteArray words;
    bool empty() const { return groups.empty(); }
    bool operator==(const KeptGroups&) const = default;
};

// The groups kept with the document (none when it keeps none), and keeping them.
KeptGroups readKeptGroups(const QTextDocument& doc);
void applyKeptGroups(QTextDocument& doc, const KeptGroups& kept);

} // namespace zorim
