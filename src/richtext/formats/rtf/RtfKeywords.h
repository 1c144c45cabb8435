#pragma once
// The control words the reader knows, as data: what each one does, and for the words that only
// set a property, which property, its default and its range. Every number from a file is
// clamped here and nowhere else. The group states the properties live in are defined here too,
// as small arrays the table indexes.
#include "richtext/document/CharFormat.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace zorim::rtf {

// Largest indent in twips (22 inches).
inline constexpr int32_t kMaxIndent = 31680;
inline constexpr int32_t kMaxPageTwips = 31680; // 22 inches, the largest page word processors take

// Character properties as the file gives them (table indices, half-points).
namespace cp {
enum : uint8_t {
    Font,       // font number; -1: the default font (\deff)
    HalfPoints,
    Color,      // colour-table index; 0 with an automatic entry: automatic
    Back,       // colour-table index; 0: automatic (no background)
    Link,       // index into the reader's link targets; -1: none
    SubSuper,   // 0 none, 1 subscript, 2 superscript
    Bold,
    Italic,
    Underline,
    Strike,
    Hidden,     // 0 shown; 1 left out (deleted text, the ANSI half of \upr); kKeptHidden: \v
    Language,   // \lang: a Windows language number; 0: not stated (the document's \deflang)
    NoProof,    // \noproof: spelling leaves the run alone
    Rtl,        // \rtlch 1, \ltrch 0: the run's direction
    AssocFont,  // \af: the font of the run's other scripts; -1: not stated
    AssocHalfPoints, // \afs; 0: not stated
    CharStyle,  // \cs: the style's number in the kept style sheet; 0: none
    Field,      // index into the reader's kept fields (any but a link); -1: none
    Count
};
}

inline constexpr int32_t kKeptHidden = 2; // hidden text, kept as such

inline constexpr int32_t kDefaultHalfPoints = 24; // RTF's size where no \fs says one

struct CharState {
    // HalfPoints 0: no \fs since \plain (12 points here; other programs give a styled
    // paragraph's such text its style's size).
    std::array<int32_t, cp::Count> v{-1, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, -1};
    int32_t operator[](uint8_t i) const { return v[i]; }
    int32_t& operator[](uint8_t i) { return v[i]; }
    bool operator==(const CharState&) const = default;
};

struct CharStateHash {
    size_t operator()(const CharState& s) const noexcept
    {
        // Two properties a step: the table is small, the lookups many.
        uint64_t h = 0;
        for (size_t i = 0; i < s.v.size(); i += 2) {
            const uint64_t pair = uint32_t(s.v[i]) | (i + 1 < s.v.size() ? uint64_t(uint32_t(s.v[i + 1])) << 32 : 0);
            h = (h ^ pair) * 0x9E3779B97F4A7C15ull;
        }
        return size_t(h ^ (h >> 31));
    }
};

// Paragraph properties.
namespace pp {
enum : uint8_t {
    LeftIndent,  // twips
    FirstIndent, // twips, relative to the left indent
    Align,       // pfa code
    Numbering,   // pfn code from a \pn group
    List,        // \ls: list override number; 0: none
    Level,       // \ilvl
    InTable,
    SpaceBefore, // twips
    SpaceAfter,  // twips
    LineSpacing, // \sl
    LineMultiple,
    PageBreakBefore, // \pagebb
    Style,       // \s: the style's number in the kept style sheet
    OutlineLevel, // \outlinelevel; -1: not stated
    Rtl,         // \rtlpar 1, \ltrpar 0
    Depth,       // \itap: how deep in tables (1 a table's cell, 2 a cell of a table in a cell); 0: not stated
    Count
};
}

// pp::Numbering of a paragraph that goes on the item before it and shows no label (\pnlvlcont),
// whatever its list says.
inline constexpr int32_t kUnnumbered = 0x10000;

struct ParaState {
    std::array<int32_t, pp::Count> v{0, 0, pfa::Left, pfn::None, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0};
    int32_t operator[](uint8_t i) const { return v[i]; }
    int32_t& operator[](uint8_t i) { return v[i]; }
    bool operator==(const ParaState&) const = default;
};

// The depth of tables a paragraph stands in: 0 outside any, 1 in a table's cell, 2 in a cell of
// a table inside a cell, ...
inline int tableDepth(const ParaState& p) { return std::max(p[pp::InTable] != 0 ? 1 : 0, p[pp::Depth]); }

// Properties of a picture being read.
namespace pic {
enum : uint8_t { Kind, Width, Height, GoalWidth, GoalHeight, ScaleX, ScaleY, Bpp, RowBytes, MapMode, Count };
enum KindWord : int32_t { None = 0, Png, Jpeg, Dib, Wbitmap, Wmf, Emf, Unsupported };
}

// The box a shape takes (\shpleft, \shpright, \shptop, \shpbottom), in twips.
namespace shp {
enum : uint8_t { Left, Right, Top, Bottom, Count };
}
inline constexpr int32_t kMaxShapeTwips = 4 * kMaxPageTwips; // a shape may reach past its page

// Properties of a font-table entry being read.
namespace fp {
enum : uint8_t { Charset, Pitch, Family, Codepage, Count };
}

// Components of a colour-table entry being read.
namespace rgb {
enum : uint8_t { Red, Green, Blue, Count };
}

// Properties of the group itself.
namespace gp {
enum : uint8_t { SkipAfterUnicode, Count };
}

// The page the document states (twips; -1: not stated), and which headers and footers it uses.
namespace dp {
enum : uint8_t {
    PaperWidth, PaperHeight, Landscape, MarginLeft, MarginRight, MarginTop, MarginBottom,
    FacingPages, TitlePage, HeaderY, FooterY,
    // A section's own words (the ones above from \titlepg on are a section's too): what \sectd
    // resets. Not stated (-1): the document's page holds.
    SectPaperWidth, SectPaperHeight, SectLandscape, SectMarginLeft, SectMarginRight, SectMarginTop, SectMarginBottom,
    SectBreak,   // sbk code
    SectColumns, // \colsN
    Count
};
}

// Words of a table row's definition (\trowd up to the row's end), in twips where they are lengths.
namespace tp {
enum : uint8_t {
    CellX,       // the right edge of the cell being defined: ends its definition
    RowLeft,     // \trleft
    RowGap,      // \trgaph
    RowHeight,   // \trrh: > 0 at least, < 0 exactly
    RowHeader,   // \trhdr
    MergeH,      // tableprop::Merge
    MergeV,
    Shading,     // \clcbpat: colour-table index
    BorderSide,  // the side the border words that follow describe, as kBorderSide*
    BorderWidth, // \brdrw
    BorderStyle, // an index into kBorderStyles
    BorderColor, // \brdrcf: colour-table index of the border being described
    // A cell's padding by side (left, top, right, bottom) and the unit each is given in (3:
    // twips; 0: the row's padding holds). Word names left and top the other way round
    // (\clpadt is the left padding, \clpadl the top), and other programs read it so.
    PadLeft, PadTop, PadRight, PadBottom,
    PadUnitLeft, PadUnitTop, PadUnitRight, PadUnitBottom,
    Count
};
}
inline constexpr int32_t kBorderSideNone = -1;
inline constexpr int32_t kBorderSideRow = 4; // \trbrdrl, t, r, b, h, v: the row's own borders, kept as words
inline constexpr int32_t kMaxTableColumns = 63;  // as many cells as other word processors allow in a row
// Cell formats of all tables of one document (see TableBuilder): about 100 MB at most.
inline constexpr int32_t kMaxCellFormats = 50000;

// Where a property write goes.
enum class Target : uint8_t { Char, Para, Pict, Font, Color, Group, Page, Table, Shape };

// Destinations: what the text of a group is.
enum class Dest : uint8_t {
    Text,       // document text
    FontTable,  // font definitions
    ColorTable, // colour definitions
    Pict,       // picture data
    FieldInst,  // field instruction text
    ShapeName,  // the name of a shape's property (\sn)
    Bookmark,   // a bookmark's name (\bkmkstart, \bkmkend)
    ListTable,  // list definitions (\listtable, \listoverridetable)
    Pn,         // old-style paragraph numbering definition
    BulletText, // \pntext, \listtext: the label, up to the group's last tab
    Ignore,     // text is dropped, control words still count (a shape's instructions, a drawing object)
    LevelText,  // a list level's label: its length, then its text with the levels' numbers
};

// Control words whose work is more than a property write: the reader's own code.
enum class Act : uint8_t {
    // destinations
    SkipDest, KeepDest, KeepComment, FontTbl, ColorTbl, Pict, Field, FldInst, FldRslt, ListTable, List, ListLevel,
    ListOverride, Pn, BulletText, Footnote, NoteMark, Transparent, Object, Upr, Ud, Shape, ShapeInst, ShapeResult,
    ShapeText, DrawingObject, ShapeProperty, ShapeName, ShapeValue, BookmarkStart, BookmarkEnd,
    // document
    Charset, AnsiCpg, Deff, DefLang, U,
    // character and paragraph resets
    Plain, Pard,
    // numbering that depends on what is set already
    PnBody, PnStyle,
    // breaks
    Par, Line, Tab, Cell, Row,
    // tables: a row's definition starts; nested-table properties
    RowDefaults, NestTableProps,
    // words whose meaning depends on the destination
    F, Ls, ListId, LevelNfc,
    // a list level's label (a destination) and its first number
    LevelText, LevelStart,
    // a section's words back to their defaults
    SectionDefaults,
};

enum class Kind : uint8_t {
    Flag,   // no number or a non-zero number turns the property to `value`, zero to 0
    Value,  // the number (or `value` without one), clamped to [min, max]
    Set,    // the property becomes `value`, whatever the number
    Char,   // the character `value` in the text
    Action, // Act(`index`), with `value` as its argument
};

struct Keyword {
    Kind kind = Kind::Action;
    Target target = Target::Char;
    uint8_t index = 0;
    int32_t value = 0;
    int32_t min = 0;
    int32_t max = 0;

    // The value a Flag, Value or Set word writes for the number it came with.
    int32_t valueFor(bool hasNumber, int32_t number) const;
};

// The known words, found by their length and first letter: the rows of one length and letter
// are few (at most a handful), so a lookup is an index and a short compare, with no hashing.
class KeywordTable {
public:
    static constexpr size_t kMaxLength = 24; // longer than any known word
    static constexpr size_t kLetters = 26;

    KeywordTable();

    const Keyword* find(std::string_view name) const
    {
        const size_t length = name.size();
        const unsigned letter = unsigned(static_cast<unsigned char>(name.empty() ? 0 : name[0])) - 'a';
        if (length >= kMaxLength || letter >= kLetters)
            return nullptr;
        const size_t bucket = length * kLetters + letter;
        for (uint16_t i = m_start[bucket], end = m_start[bucket + 1]; i < end; ++i) {
            if (std::memcmp(m_names[i], name.data(), length) == 0)
                return &m_words[i];
        }
        return nullptr;
    }

private:
    std::vector<const char*> m_names; // by length, then first letter
    std::vector<Keyword> m_words;
    std::array<uint16_t, kMaxLength * kLetters + 1> m_start{};
};

// Every control word the reader knows, by name.
const KeywordTable& keywordTable();

// The keyword of a control word's name; nullptr for words the reader does not know.
inline const Keyword* findKeyword(const KeywordTable& table, std::string_view name) { return table.find(name); }

} // namespace zorim::rtf
