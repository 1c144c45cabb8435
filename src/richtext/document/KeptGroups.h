#pragma once
// Groups of another program's RTF file that the document neither shows nor edits but keeps,
// so that saving gives them back: its style sheet, headers, footers and document information
// (on the document; each paragraph and each run keeps its style's number), and its comments (each where it stands, as an object character). Each is kept
// whole, as read, with what the numbers of the fonts and colours it refers to meant in that
// file's own tables (a writer numbers its tables anew).
#include "richtext/document/CharFormat.h"

#include <QByteArray>
#include <QString>
#include <QTextCharFormat>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class QTextDocument;

namespace zorim {

namespace docprop {
inline constexpr int KeptGroups = QTextFormat::UserProperty + 19;  // on the root frame
inline constexpr int KeptComment = QTextFormat::UserProperty + 20; // of a kept comment's object
// A number made from the comment's bytes: formats are told apart by a hash of their
// properties, and the comment's own property has none that differs between comments.
inline constexpr int KeptCommentKey = QTextFormat::UserProperty + 21;
// On a paragraph's block: its style in the kept style sheet (\sN; none: the sheet's style 0)
// and its outline level (\outlinelevelN, 0 the highest; none: not stated).
inline constexpr int ParagraphStyle = QTextFormat::UserProperty + 22;
inline constexpr int OutlineLevel = QTextFormat::UserProperty + 23;
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

// A comment (its groups, as one piece of RTF) kept where it stands: an object character of the
// hidden-text kind (it takes no room and shows nothing), its one group and the meaning of its
// references in its format.
QTextCharFormat keptCommentFormat(const QTextCharFormat& base, const KeptGroups& comment);
// The comment an object character's format holds; empty for any other format.
KeptGroups keptCommentOf(const QTextFormat& format);

} // namespace zorim
