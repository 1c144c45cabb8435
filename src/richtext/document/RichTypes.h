#pragma once
// The one vocabulary of the document control: the typed options that the control layer
// (RichEdit), the view and the document pass to each other. The control's public int
// constants (fs::, so::, sm::) are spelled from these, so a bit means the same everywhere
// and nothing translates between two sets by hand.
#include "richtext/document/CharFormat.h"

#include <type_traits>

namespace zorim {

// A set of bits of one enum.
template <typename E>
class Flags {
public:
    using Int = std::underlying_type_t<E>;
    constexpr Flags() = default;
    constexpr Flags(E e) : bits_(Int(e)) {} // NOLINT: a single flag is a set of one
    static constexpr Flags fromInt(Int bits) { return Flags(bits, 0); }
    constexpr bool has(E e) const { return (bits_ & Int(e)) != 0; }
    constexpr Int toInt() const { return bits_; }
    constexpr Flags operator|(Flags o) const { return Flags(Int(bits_ | o.bits_), 0); }
    constexpr Flags& operator|=(Flags o)
    {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr bool operator==(const Flags&) const = default;

private:
    constexpr Flags(Int bits, int) : bits_(bits) {}
    Int bits_ = 0;
};

// Which character format a format call reads or writes.
enum class FormatScope { Default, Selection };

// The two halves of a click on a link.
enum class LinkEvent { Press, Release };

// The kind of bytes a stream carries.
// Docx: a Word document (zipped XML), Odt: an OpenDocument text (zipped or flat); both read
// and written whole.
enum class TextFormat { Text, Rtf, Docx, Odt };

// How a stream is read or written; the bits are those of the control's StreamMode.
enum class StreamOption : int {
    Selection = 1, // the stream replaces, or holds, the selection only
    PlainRtf = 2,  // accepted for callers; the document writes and reads one kind of RTF
    NoObjects = 4, // RTF without pictures
    Unicode = 8,   // text as 16-bit units
};
using StreamOptions = Flags<StreamOption>;

// Search options; the bits are those of the control's SearchText options.
enum class SearchOption : int {
    WholeWord = 1,
    MatchCase = 2,
    Backward = 4,
    SelectMatch = 8, // for the control: select what was found
};
using SearchOptions = Flags<SearchOption>;

// The four font styles, the same bits as the character effects.
enum class FontStyle : int {
    Bold = int(cfe::Bold),
    Italic = int(cfe::Italic),
    Underline = int(cfe::Underline),
    StrikeOut = int(cfe::Strikeout),
};

// What a read of rich text left out for want of room, counted: pictures and objects beyond
// what the document may spend on them, and the parts it keeps without showing them (comments,
// hidden text, headers, footers, style sheet, information) beyond their bounds. A save cannot
// write them, so the user is told at the load and asked before the save.
// Word and OpenDocument files may hold kinds of things the document has no place for at all:
// `dropped` names them (leftout:: bits).
namespace leftout {
inline constexpr uint32_t Comments = 1, HeadersFooters = 2, Objects = 4, Drawings = 8, Sections = 16;
}
struct LeftOut {
    int pictures = 0;
    int kept = 0;
    uint32_t dropped = 0;
    bool any() const { return pictures > 0 || kept > 0 || dropped != 0; }
    LeftOut& operator+=(const LeftOut& o)
    {
        pictures += o.pictures;
        kept += o.kept;
        dropped |= o.dropped;
        return *this;
    }
    LeftOut operator-(const LeftOut& o) const { return {pictures - o.pictures, kept - o.kept, dropped & ~o.dropped}; }
    bool operator==(const LeftOut&) const = default;
};

} // namespace zorim
