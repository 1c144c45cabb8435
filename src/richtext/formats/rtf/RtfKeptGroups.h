#pragma once
// The groups of a file the reader keeps whole for the writer (richtext/document/KeptGroups.h): which
// they are, how much of them is kept, and the font and colour numbers in them, found and
// renumbered with the tokenizer while every other byte stays as it was.
#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace zorim::rtf {

// The destinations kept, by their index in the keyword table's rows. The document has one
// section, so the first group of each kind (the first section's) is the one kept.
inline constexpr std::array<std::string_view, 10> kKeptDestinations{
    "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "stylesheet"};
inline constexpr size_t kInfoDestination = 0;
inline constexpr size_t kStyleSheetDestination = 9;
// The paragraphs' style numbers (\sN) are read only with a kept style sheet, and a number is
// at most this.
inline constexpr int32_t kMaxStyleNumber = 32767;
// All kept groups of one file together; a group that would pass it is left out, as a group
// of a kind already kept is.
inline constexpr qsizetype kMaxKeptBytes = 4 << 20;

// Comments are kept where they stand: the groups of one comment (\atnid, \atnauthor, \atnicn,
// \annotation) with the mark \chatn among them as one piece, each start or end of a commented
// range (\atrfstart, \atrfend) as a piece of its own. Bounded like the kept groups, in bytes
// and in pieces; what passes a bound is left out.
inline constexpr int32_t kCommentGroup = 0, kCommentRange = 1, kCommentMark = 2;
inline constexpr int kMaxComments = 16384;
// Notes are kept where their references stand, each bounded as a kept group is; past this
// count a note's text stands in brackets in the text.
inline constexpr int kMaxNotes = 1 << 20;

enum class Reference : uint8_t { Font, Color };

// Gives the number a reference becomes, or nothing to leave the word out.
using Renumber = std::function<std::optional<int32_t>(Reference kind, int32_t number)>;

// Whether a word's number is an entry of the colour table (\cf, \highlight, \clcbpat, …),
// which the writer numbers anew.
bool refersToColor(std::string_view name);

// The numbers of the styles of one kind a kept style sheet defines, in ascending order: its
// paragraph styles (\sN; an entry with no number of any kind is style 0) or its character
// styles (\csN).
enum class StyleKind : uint8_t { Paragraph, Character };
std::vector<int32_t> sheetStyles(QByteArrayView styleSheet, StyleKind kind);

// The group with each font and colour reference renumbered; every other byte as it was.
QByteArray renumberReferences(QByteArrayView group, const Renumber& renumber);

// The group's \'hh bytes, written in the single-byte code page `from`, as the writer's own
// page (Windows-1250) has them: \'hh where it has the character, {\uc1\uN?} where it has not.
// The fallback bytes after \uN stay as they are (readers skip them).
QByteArray recodeBytes(QByteArrayView group, int from);

} // namespace zorim::rtf
