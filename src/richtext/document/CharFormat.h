#pragma once
// The attribute records that the control's format messages carry, with the control's own
// bits and units (twips, 0x00BBGGRR colours). The control layer speaks only in these; the
// engine maps them onto the text document.
#include <QString>
#include <cstdint>

namespace zorim {

// Colour value: 0x00BBGGRR; the top bit names a system colour by the index in the low byte.
using ColorRef = uint32_t;
inline constexpr ColorRef kClWindowText = 0x80000008; // system window-text colour
inline constexpr ColorRef kClWindow = 0x80000005;     // system window colour
inline constexpr ColorRef kClMenu = 0x80000004;
inline constexpr ColorRef kClBtnFace = 0x8000000F;
inline constexpr ColorRef kClDefault = 0x20000000;    // "the default colour"

inline constexpr int kMaxFaceName = 32;
inline constexpr int kTwipsPerPoint = 20;
// The language of every run that names none: the document's own (a Windows language number).
inline constexpr uint16_t kSlovakLanguage = 1051;

namespace cfm { // character mask bits
inline constexpr uint32_t Bold = 0x1, Italic = 0x2, Underline = 0x4, Strikeout = 0x8;
inline constexpr uint32_t Style = 0xF;
inline constexpr uint32_t Link = 0x20;
inline constexpr uint32_t Language = 0x02000000; // the language and whether spelling checks the run
inline constexpr uint32_t SubSuper = 0x00030000;
inline constexpr uint32_t CharStyle = 0x00080000; // the run's character style in the kept style sheet
inline constexpr uint32_t Weight = 0x00400000;
inline constexpr uint32_t BackColor = 0x04000000;
inline constexpr uint32_t Charset = 0x08000000;
inline constexpr uint32_t Face = 0x20000000;
inline constexpr uint32_t Color = 0x40000000;
inline constexpr uint32_t Size = 0x80000000;
inline constexpr uint32_t All = Style | Link | Language | SubSuper | CharStyle | Weight | BackColor | Charset | Face | Color | Size;
} // namespace cfm

namespace cfe { // character effect bits
inline constexpr uint32_t Bold = 0x1, Italic = 0x2, Underline = 0x4, Strikeout = 0x8;
inline constexpr uint32_t Link = 0x20;
inline constexpr uint32_t Subscript = 0x00010000;
inline constexpr uint32_t Superscript = 0x00020000;
inline constexpr uint32_t AutoBackColor = 0x04000000;
inline constexpr uint32_t AutoColor = 0x40000000;
} // namespace cfe

struct CharFormat {
    uint32_t mask = 0;
    uint32_t effects = 0;
    int32_t height = 0;        // twips
    ColorRef textColor = 0;    // 0x00BBGGRR
    uint8_t charset = 0;       // Windows character-set number
    uint8_t pitchAndFamily = 0;
    QString faceName;          // at most kMaxFaceName characters
    int weight = 0;            // 100..900
    ColorRef backColor = 0;    // 0x00BBGGRR
    QString linkTarget;        // with the link effect: where the link points (empty for a detected address)
    uint16_t language = kSlovakLanguage; // Windows language number (1033 English, 1024 none)
    bool noProof = false;      // spelling leaves the run alone
    int32_t charStyle = 0;     // the kept style sheet's character style (\csN); 0: none

    bool operator==(const CharFormat&) const = default;
};

namespace pfm { // paragraph mask bits
inline constexpr uint32_t StartIndent = 0x1, Offset = 0x4, Alignment = 0x8, Numbering = 0x20;
inline constexpr uint32_t SpaceBefore = 0x40, SpaceAfter = 0x80, LineSpacing = 0x100, PageBreakBefore = 0x4000;
inline constexpr uint32_t All =
    StartIndent | Offset | Alignment | Numbering | SpaceBefore | SpaceAfter | LineSpacing | PageBreakBefore;
} // namespace pfm

namespace pfa { // alignment codes of the control
inline constexpr uint16_t Left = 1, Right = 2, Center = 3, Justify = 4;
}

// Numbering codes: 0 none, 1 bullets, 2 arabic numbers, 3 lower-case letters, 4 upper-case
// letters, 5 lower-case roman, 6 upper-case roman.
namespace pfn {
inline constexpr uint16_t None = 0, Bullet = 1, Arabic = 2, LowerAlpha = 3, UpperAlpha = 4, LowerRoman = 5, UpperRoman = 6;
}

struct ParaFormat {
    uint32_t mask = 0;
    uint16_t numbering = 0;
    int32_t startIndent = 0; // twips: position of the first line
    int32_t offset = 0;      // twips: following lines relative to the first
    uint16_t alignment = 0;  // pfa code; 0 when not read
    int32_t spaceBefore = 0; // twips
    int32_t spaceAfter = 0;  // twips
    // Line spacing, as RTF's \sl: 0 single; twips, at least that (> 0) or exactly (< 0); with
    // lineMultiple, 240ths of the single line.
    int32_t lineSpacing = 0;
    bool lineMultiple = false;
    bool pageBreakBefore = false; // the paragraph starts a new page

    bool operator==(const ParaFormat&) const = default;
};

// A character range of the control: [min, max). (-1, -1) means none.
struct CharRange {
    int min = 0;
    int max = 0;
    bool operator==(const CharRange&) const = default;
};

inline constexpr uint8_t kDefaultCharset = 1; // DEFAULT_CHARSET
inline constexpr uint8_t kEastEuropeCharset = 238;

} // namespace zorim
