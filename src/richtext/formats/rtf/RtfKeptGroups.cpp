#include "RtfKeptGroups.h"

#include "RtfTokenizer.h"
#include "text/Codepage.h"

#include <algorithm>

namespace zorim::rtf {
namespace {

// The words whose number is a font-table entry (\af: the font of the other scripts, after
// \loch, \hich or \dbch; \pnf: a numbering's font) or a colour-table entry.
constexpr std::string_view kFontWords[] = {"f", "af", "pnf"};
constexpr std::string_view kColorWords[] = {"cf", "cb", "highlight", "brdrcf", "ulc", "pncf"};

// The patterns' colours: \cbpat, \chcfpat, \clcbpatraw, \trcfpat and the like.
bool isPatternColor(std::string_view name)
{
    return name.ends_with("cfpat") || name.ends_with("cbpat") || name.ends_with("cfpatraw")
           || name.ends_with("cbpatraw");
}

std::optional<Reference> referenceOf(std::string_view name)
{
    if (std::find(std::begin(kFontWords), std::end(kFontWords), name) != std::end(kFontWords))
        return Reference::Font;
    if (std::find(std::begin(kColorWords), std::end(kColorWords), name) != std::end(kColorWords)
        || isPatternColor(name))
        return Reference::Color;
    return std::nullopt;
}

bool endsWord(char c) { return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n'; }

} // namespace

bool refersToColor(std::string_view name) { return referenceOf(name) == Reference::Color; }

QByteArray renumberReferences(QByteArrayView group, const Renumber& renumber)
{
    const auto* data = reinterpret_cast<const unsigned char*>(group.data());
    Tokenizer tokens(data, group.size(), 0);
    QByteArray out;
    out.reserve(group.size() + 16);
    qsizetype at = 0;            // where the current token starts (line breaks before it included)
    bool openWord = false;       // the last word written ends with no delimiter
    for (Token t = tokens.next(); t.kind != Token::End; t = tokens.next()) {
        const qsizetype end = group.size() - tokens.rest().size();
        const QByteArrayView span = group.sliced(at, end - at);
        const std::optional<Reference> kind = t.kind == Token::Word ? referenceOf(t.name()) : std::nullopt;
        if (!kind) {
            out += span;
            openWord = t.kind == Token::Word && !span.endsWith(' ');
            at = end;
            continue;
        }
        const qsizetype nameEnd = qsizetype(t.data - data) + t.size;
        const bool delimited = span.endsWith(' ');
        if (const std::optional<int32_t> number = renumber(*kind, t.hasNumber ? t.number : 0)) {
            out += group.sliced(at, nameEnd - at);
            out += QByteArray::number(*number);
            if (delimited)
                out += ' ';
            openWord = !delimited;
        } else if (openWord && end < group.size() && !endsWord(group[end])) {
            out += ' '; // the word before ends here now, not in the text after the one left out
            openWord = false;
        }
        at = end;
    }
    out += group.sliced(at);
    return out;
}

std::vector<int32_t> sheetStyles(QByteArrayView styleSheet, StyleKind kind)
{
    const auto* data = reinterpret_cast<const unsigned char*>(styleSheet.data());
    Tokenizer tokens(data, styleSheet.size(), 0);
    std::vector<int32_t> styles;
    int depth = 0;
    int32_t style = 0;  // of the entry being read
    int entry = -1;     // its kind (a StyleKind); -1: a section or table style
    for (Token t = tokens.next(); t.kind != Token::End; t = tokens.next()) {
        if (t.kind == Token::GroupStart && ++depth == 2) {
            style = 0;
            entry = int(StyleKind::Paragraph);
        } else if (t.kind == Token::GroupEnd && depth-- == 2 && entry == int(kind)) {
            styles.push_back(style);
        } else if (t.kind == Token::Word && depth == 2 && entry >= 0) {
            const std::string_view name = t.name();
            const int32_t number = std::clamp(t.hasNumber ? t.number : 0, 0, kMaxStyleNumber);
            if (name == "s" && entry == int(StyleKind::Paragraph)) {
                style = number;
            } else if (name == "cs") {
                style = number;
                entry = int(StyleKind::Character);
            } else if (name == "ds" || name == "ts") {
                entry = -1;
            }
        }
    }
    std::sort(styles.begin(), styles.end());
    styles.erase(std::unique(styles.begin(), styles.end()), styles.end());
    return styles;
}

QByteArray recodeBytes(QByteArrayView group, int from)
{
    const CodepageTable& table = codepageTable(from);
    const auto* data = reinterpret_cast<const unsigned char*>(group.data());
    Tokenizer tokens(data, group.size(), 0);
    QByteArray out;
    out.reserve(group.size() + 16);
    qsizetype at = 0;
    int32_t skipAfterUnicode = 1, skip = 0; // \ucN, and the fallback still to come after \uN
    for (Token t = tokens.next(); t.kind != Token::End; t = tokens.next()) {
        const qsizetype end = group.size() - tokens.rest().size();
        const bool fallback = skip > 0;
        if (t.kind == Token::Byte && !fallback) {
            const char16_t ch = table.single[t.ch];
            const int byte = encodeCodepageChar(ch, kCp1250);
            out += group.sliced(at, end - at - 4); // the line breaks before it
            out += byte >= 0 ? "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0')
                             : "{\\uc1\\u" + QByteArray::number(int16_t(ch)) + "?}";
        } else {
            out += group.sliced(at, end - at);
        }
        if (t.kind == Token::GroupStart || t.kind == Token::GroupEnd)
            skip = 0;
        else if (fallback)
            skip -= t.kind == Token::Text ? int32_t(std::min<qsizetype>(t.size, skip)) : 1;
        if (t.kind == Token::Word && t.name() == "uc")
            skipAfterUnicode = std::clamp(t.number, 0, 16);
        else if (t.kind == Token::Word && t.name() == "u")
            skip = skipAfterUnicode;
        at = end;
    }
    out += group.sliced(at);
    return out;
}

} // namespace zorim::rtf
