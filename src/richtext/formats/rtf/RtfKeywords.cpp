#include "RtfKeywords.h"

#include "Picture.h"
#include "RtfKeptGroups.h"

#include <algorithm>
#include <climits>

namespace zorim::rtf {
namespace {

constexpr int32_t kMaxColorIndex = 4096;
constexpr int32_t kMaxPictureSide = 1 << 20;

struct KeywordRow {
    std::string_view name;
    Keyword word;
};

// The shapes of a row: what the word does.
constexpr Keyword act(Act a, int32_t arg = 0) { return {Kind::Action, Target::Char, uint8_t(a), arg, 0, 0}; }
constexpr Keyword flag(uint8_t prop, int32_t on = 1, Target target = Target::Char)
{
    return {Kind::Flag, target, prop, on, 0, 0};
}
constexpr Keyword set(Target target, uint8_t prop, int32_t v) { return {Kind::Set, target, prop, v, 0, 0}; }
constexpr Keyword value(Target target, uint8_t prop, int32_t def, int32_t lo, int32_t hi)
{
    return {Kind::Value, target, prop, def, lo, hi};
}
constexpr Keyword chr(char16_t ch) { return {Kind::Char, Target::Char, 0, ch, 0, 0}; }
constexpr Keyword table(uint8_t prop, int32_t def, int32_t lo, int32_t hi) { return value(Target::Table, prop, def, lo, hi); }
constexpr Keyword borderStyle(int32_t style) { return set(Target::Table, tp::BorderStyle, style); }

constexpr Keyword kSkip = act(Act::SkipDest);
constexpr Keyword kUnderline = flag(cp::Underline);
constexpr Keyword kBack = value(Target::Char, cp::Back, 0, 0, kMaxColorIndex);
constexpr Keyword kLanguage = value(Target::Char, cp::Language, 0, 0, 0xFFFF);
constexpr Keyword kIndent = value(Target::Para, pp::LeftIndent, 0, -kMaxIndent, kMaxIndent);
constexpr Keyword page(uint8_t index) { return value(Target::Page, index, -1, 0, kMaxPageTwips); }
constexpr Keyword shape(uint8_t index) { return value(Target::Shape, index, 0, -kMaxShapeTwips, kMaxShapeTwips); }
constexpr Keyword family(int32_t f) { return set(Target::Font, fp::Family, f); }
constexpr Keyword pict(int32_t kind) { return set(Target::Pict, pic::Kind, kind); }
constexpr Keyword pictValue(uint8_t index, int32_t def, int32_t lo, int32_t hi)
{
    return value(Target::Pict, index, def, lo, hi);
}

// Every control word the reader knows. A name listed twice keeps its first row.
constexpr KeywordRow kRows[] = {
    // Destinations that hold nothing for the document.
    {"nonshppict", kSkip}, {"objdata", kSkip}, {"objclass", kSkip}, {"objname", kSkip},
    {"xe", kSkip}, {"tc", kSkip}, {"txe", kSkip}, {"comment", kSkip}, {"filetbl", kSkip}, {"revtbl", kSkip},
    {"rsidtbl", kSkip},
    {"pgdsctbl", kSkip}, {"themedata", kSkip}, {"colorschememapping", kSkip}, {"latentstyles", kSkip},
    {"datastore", kSkip}, {"generator", kSkip}, {"userprops", kSkip}, {"ftnsep", kSkip}, {"ftnsepc", kSkip},
    {"aftnsep", kSkip}, {"aftnsepc", kSkip}, {"ftncn", kSkip}, {"aftncn", kSkip}, {"docvar", kSkip},
    {"template", kSkip}, {"pnseclvl", kSkip}, {"pntxta", kSkip}, {"pntxtb", kSkip}, {"fldtype", kSkip},
    {"formfield", kSkip}, {"datafield", kSkip}, {"listpicture", kSkip},
    {"fchars", kSkip}, {"lchars", kSkip}, {"xmlnstbl", kSkip}, {"mmathPr", kSkip}, {"author", kSkip},
    {"operator", kSkip}, {"title", kSkip}, {"subject", kSkip}, {"keywords", kSkip}, {"doccomm", kSkip},
    {"company", kSkip}, {"falt", kSkip}, {"panose", kSkip}, {"listname", kSkip},
    {"levelnumbers", kSkip}, {"listtemplate", kSkip}, {"protusertbl", kSkip}, {"wgrffmtfilter", kSkip},
    {"pxe", kSkip}, {"picprop", kSkip}, {"blipuid", kSkip}, {"expandedcolortbl", kSkip},
    {"nonesttables", kSkip}, // the copy of nested tables for readers that cannot nest them

    // Destinations kept whole for the writer (RtfKeptGroups.h), in the order of their list.
    {"info", act(Act::KeepDest, 0)}, {"header", act(Act::KeepDest, 1)}, {"headerl", act(Act::KeepDest, 2)},
    {"headerr", act(Act::KeepDest, 3)}, {"headerf", act(Act::KeepDest, 4)}, {"footer", act(Act::KeepDest, 5)},
    {"footerl", act(Act::KeepDest, 6)}, {"footerr", act(Act::KeepDest, 7)}, {"footerf", act(Act::KeepDest, 8)},
    {"stylesheet", act(Act::KeepDest, 9)},

    // Comments: kept where they stand, each as one piece (RtfKeptGroups.h).
    {"atnid", act(Act::KeepComment, kCommentGroup)}, {"atnauthor", act(Act::KeepComment, kCommentGroup)},
    {"atnicn", act(Act::KeepComment, kCommentGroup)}, {"annotation", act(Act::KeepComment, kCommentGroup)},
    {"chatn", act(Act::KeepComment, kCommentMark)}, {"atrfstart", act(Act::KeepComment, kCommentRange)},
    {"atrfend", act(Act::KeepComment, kCommentRange)},

    // Destinations the reader reads.
    {"fonttbl", act(Act::FontTbl)}, {"colortbl", act(Act::ColorTbl)}, {"pict", act(Act::Pict)},
    {"bkmkstart", act(Act::BookmarkStart)}, {"bkmkend", act(Act::BookmarkEnd)},
    {"field", act(Act::Field)}, {"fldinst", act(Act::FldInst)}, {"fldrslt", act(Act::FldRslt)},
    {"listtable", act(Act::ListTable)}, {"listoverridetable", act(Act::ListTable)}, {"list", act(Act::List)},
    {"listlevel", act(Act::ListLevel)}, {"listoverride", act(Act::ListOverride)}, {"pn", act(Act::Pn)},
    {"pntext", act(Act::BulletText)}, {"listtext", act(Act::BulletText)}, {"footnote", act(Act::Footnote)},
    {"chftn", act(Act::NoteMark)},
    // Groups whose content is read as if the group were not there. Nested-table properties
    // hold none of the text in a well-formed file; what a malformed one puts there is kept.
    {"shppict", act(Act::Transparent)}, {"result", act(Act::Transparent)},
    {"nesttableprops", act(Act::NestTableProps)},
    // An embedded object: read as if the group were not there (its result shows it), and its
    // data kept with the picture that shows it.
    {"object", act(Act::Object)},
    {"shp", act(Act::Shape)}, {"shpinst", act(Act::ShapeInst)}, {"shprslt", act(Act::ShapeResult)},
    {"shptxt", act(Act::ShapeText)}, {"do", act(Act::DrawingObject)}, {"dptxbxtext", act(Act::ShapeText)},
    // A shape's properties: only its picture (pib) is read, at the size of the shape's box.
    {"sp", act(Act::ShapeProperty)}, {"sn", act(Act::ShapeName)}, {"sv", act(Act::ShapeValue)},
    {"shpleft", shape(shp::Left)}, {"shpright", shape(shp::Right)}, {"shptop", shape(shp::Top)},
    {"shpbottom", shape(shp::Bottom)},
    {"upr", act(Act::Upr)}, {"ud", act(Act::Ud)},

    // The document.
    {"ansi", act(Act::Charset, 1252)}, {"mac", act(Act::Charset, 10000)}, {"pc", act(Act::Charset, 437)},
    {"pca", act(Act::Charset, 850)}, {"ansicpg", act(Act::AnsiCpg)}, {"deff", act(Act::Deff)},
    {"deflang", act(Act::DefLang)}, // the language of text that names none
    {"uc", value(Target::Group, gp::SkipAfterUnicode, 1, 0, 16)}, {"u", act(Act::U)},

    // Characters.
    {"plain", act(Act::Plain)}, {"b", flag(cp::Bold)}, {"i", flag(cp::Italic)},
    {"ul", kUnderline}, {"uld", kUnderline}, {"uldash", kUnderline}, {"uldashd", kUnderline},
    {"uldashdd", kUnderline}, {"uldb", kUnderline}, {"ulhwave", kUnderline}, {"ulldash", kUnderline},
    {"ulth", kUnderline}, {"ulthd", kUnderline}, {"ulthdash", kUnderline}, {"ulthdashd", kUnderline},
    {"ulthdashdd", kUnderline}, {"ulthldash", kUnderline}, {"ululdbwave", kUnderline}, {"ulw", kUnderline},
    {"ulwave", kUnderline}, {"ulnone", set(Target::Char, cp::Underline, 0)},
    {"strike", flag(cp::Strike)}, {"striked", flag(cp::Strike)},
    {"sub", flag(cp::SubSuper, 1)}, {"super", flag(cp::SubSuper, 2)},
    {"nosupersub", set(Target::Char, cp::SubSuper, 0)}, {"up", flag(cp::SubSuper, 2)}, {"dn", flag(cp::SubSuper, 1)},
    // Half-points, within the heights the document can hold (1 to 1638 points).
    {"fs", value(Target::Char, cp::HalfPoints, 24, 2, 3276)}, {"f", act(Act::F)},
    {"cf", value(Target::Char, cp::Color, 0, 0, kMaxColorIndex)},
    {"cb", kBack}, {"highlight", kBack}, {"chcbpat", kBack},
    // The language a run is written in, for spelling (1024 and 1023: no language). Text not to
    // be proofed comes as \lang1024 for old readers and its language as \langnp; the East Asian
    // languages (\langfe, \langfenp) are not read.
    {"lang", kLanguage}, {"langnp", kLanguage}, {"noproof", flag(cp::NoProof)},
    {"rtlch", set(Target::Char, cp::Rtl, 1)}, {"ltrch", set(Target::Char, cp::Rtl, 0)},
    {"af", value(Target::Char, cp::AssocFont, 0, 0, 32767)},
    {"afs", value(Target::Char, cp::AssocHalfPoints, 24, 2, 3276)},
    {"rtlpar", set(Target::Para, pp::Rtl, 1)}, {"ltrpar", set(Target::Para, pp::Rtl, 0)},
    {"cs", value(Target::Char, cp::CharStyle, 0, 0, kMaxStyleNumber)},
    {"v", flag(cp::Hidden, kKeptHidden)}, {"deleted", flag(cp::Hidden)}, {"webhidden", flag(cp::Hidden)},

    // Paragraphs.
    {"pard", act(Act::Pard)},
    {"ql", set(Target::Para, pp::Align, pfa::Left)}, {"qr", set(Target::Para, pp::Align, pfa::Right)},
    {"qc", set(Target::Para, pp::Align, pfa::Center)}, {"qj", set(Target::Para, pp::Align, pfa::Justify)},
    {"qd", set(Target::Para, pp::Align, pfa::Justify)},
    {"li", kIndent}, {"lin", kIndent},
    {"sb", value(Target::Para, pp::SpaceBefore, 0, 0, kMaxIndent)},
    {"sa", value(Target::Para, pp::SpaceAfter, 0, 0, kMaxIndent)},
    {"sl", value(Target::Para, pp::LineSpacing, 0, -kMaxIndent, kMaxIndent)},
    {"slmult", value(Target::Para, pp::LineMultiple, 0, 0, 1)},
    {"pagebb", value(Target::Para, pp::PageBreakBefore, 1, 0, 1)},
    // Kept for the writer: the paragraph's style (read only with a kept style sheet) and its
    // level in the document's outline (0 the highest, 9 body text).
    {"s", value(Target::Para, pp::Style, 0, 0, kMaxStyleNumber)},
    {"outlinelevel", value(Target::Para, pp::OutlineLevel, 0, 0, 9)},
    {"fi", value(Target::Para, pp::FirstIndent, 0, -kMaxIndent, kMaxIndent)},
    {"intbl", flag(pp::InTable, 1, Target::Para)},
    {"itap", value(Target::Para, pp::Depth, 1, 0, 255)},
    {"ls", act(Act::Ls)}, {"ilvl", value(Target::Para, pp::Level, 0, 0, 8)},
    {"pnlvlblt", set(Target::Para, pp::Numbering, pfn::Bullet)}, {"pnlvlbody", act(Act::PnBody)},
    {"pnlvl", act(Act::PnBody)}, {"pnlvlcont", set(Target::Para, pp::Numbering, kUnnumbered)},
    {"pndec", act(Act::PnStyle, pfn::Arabic)}, {"pnlcltr", act(Act::PnStyle, pfn::LowerAlpha)},
    {"pnucltr", act(Act::PnStyle, pfn::UpperAlpha)}, {"pnlcrm", act(Act::PnStyle, pfn::LowerRoman)},
    {"pnucrm", act(Act::PnStyle, pfn::UpperRoman)},

    // Breaks and special characters.
    {"par", act(Act::Par)}, {"sect", act(Act::Par, 3)}, {"column", act(Act::Par, 1)},
    {"page", act(Act::Par, 2)}, // and the next paragraph starts a page
    {"line", act(Act::Line)}, {"tab", act(Act::Tab)}, {"cell", act(Act::Cell)}, {"nestcell", act(Act::Cell, 1)},
    {"row", act(Act::Row)}, {"nestrow", act(Act::Row, 1)},

    // Table rows. Edges within twice the largest page either side of the margin.
    {"trowd", act(Act::RowDefaults)},
    {"cellx", table(tp::CellX, 0, -2 * kMaxPageTwips, 2 * kMaxPageTwips)},
    {"trleft", table(tp::RowLeft, 0, -2 * kMaxPageTwips, 2 * kMaxPageTwips)},
    {"trgaph", table(tp::RowGap, 0, 0, kMaxPageTwips)},
    {"trrh", table(tp::RowHeight, 0, -kMaxPageTwips, kMaxPageTwips)},
    {"trhdr", flag(tp::RowHeader, 1, Target::Table)},
    {"clmgf", set(Target::Table, tp::MergeH, 1)}, {"clmrg", set(Target::Table, tp::MergeH, 2)},
    {"clvmgf", set(Target::Table, tp::MergeV, 1)}, {"clvmrg", set(Target::Table, tp::MergeV, 2)},
    {"clcbpat", table(tp::Shading, 0, 0, kMaxColorIndex)},
    {"clbrdrl", set(Target::Table, tp::BorderSide, 0)}, {"clbrdrt", set(Target::Table, tp::BorderSide, 1)},
    {"clbrdrr", set(Target::Table, tp::BorderSide, 2)}, {"clbrdrb", set(Target::Table, tp::BorderSide, 3)},
    {"trbrdrl", set(Target::Table, tp::BorderSide, kBorderSideRow + 0)},
    {"trbrdrt", set(Target::Table, tp::BorderSide, kBorderSideRow + 1)},
    {"trbrdrr", set(Target::Table, tp::BorderSide, kBorderSideRow + 2)},
    {"trbrdrb", set(Target::Table, tp::BorderSide, kBorderSideRow + 3)},
    {"trbrdrh", set(Target::Table, tp::BorderSide, kBorderSideRow + 4)},
    {"trbrdrv", set(Target::Table, tp::BorderSide, kBorderSideRow + 5)},
    // Borders of paragraphs, characters and pages: the border words after them are not a cell's.
    {"brdrt", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrb", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrl", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrr", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrbtw", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrbar", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"box", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"chbrdr", set(Target::Table, tp::BorderSide, kBorderSideNone)},
    {"brdrw", table(tp::BorderWidth, 0, 0, 1440)},
    {"brdrcf", table(tp::BorderColor, 0, 0, kMaxColorIndex)},
    {"clpadt", table(tp::PadLeft, 0, 0, kMaxPageTwips)}, {"clpadl", table(tp::PadTop, 0, 0, kMaxPageTwips)},
    {"clpadr", table(tp::PadRight, 0, 0, kMaxPageTwips)}, {"clpadb", table(tp::PadBottom, 0, 0, kMaxPageTwips)},
    {"clpadft", table(tp::PadUnitLeft, 0, 0, 255)}, {"clpadfl", table(tp::PadUnitTop, 0, 0, 255)},
    {"clpadfr", table(tp::PadUnitRight, 0, 0, 255)}, {"clpadfb", table(tp::PadUnitBottom, 0, 0, 255)},
    // The border styles, in the order of kBorderStyles; any of them is drawn as a line.
    {"brdrnone", set(Target::Table, tp::BorderStyle, 0)}, {"brdrnil", set(Target::Table, tp::BorderStyle, 0)},
    {"brdrs", borderStyle(1)}, {"brdrth", borderStyle(2)}, {"brdrsh", borderStyle(3)}, {"brdrdb", borderStyle(4)},
    {"brdrdot", borderStyle(5)}, {"brdrdash", borderStyle(6)}, {"brdrhair", borderStyle(7)},
    {"brdrdashsm", borderStyle(8)}, {"brdrdashd", borderStyle(9)}, {"brdrdashdd", borderStyle(10)},
    {"brdrtriple", borderStyle(11)}, {"brdrwavy", borderStyle(12)}, {"brdrwavydb", borderStyle(13)},
    {"brdrinset", borderStyle(14)}, {"brdroutset", borderStyle(15)}, {"brdremboss", borderStyle(16)},
    {"brdrengrave", borderStyle(17)}, {"brdrframe", borderStyle(18)}, {"brdrdashdotstr", borderStyle(19)},
    {"emdash", chr(0x2014)}, {"endash", chr(0x2013)}, {"bullet", chr(0x2022)}, {"lquote", chr(0x2018)},
    {"rquote", chr(0x2019)}, {"ldblquote", chr(0x201C)}, {"rdblquote", chr(0x201D)}, {"emspace", chr(0x2003)},
    {"enspace", chr(0x2002)}, {"qmspace", chr(0x2005)}, {"zwj", chr(0x200D)}, {"zwnj", chr(0x200C)},
    {"ltrmark", chr(0x200E)}, {"rtlmark", chr(0x200F)}, {"zwbo", chr(0x200B)},

    // The page, for the document, and for a section.
    {"paperw", page(dp::PaperWidth)}, {"pgwsxn", page(dp::SectPaperWidth)},
    {"paperh", page(dp::PaperHeight)}, {"pghsxn", page(dp::SectPaperHeight)},
    {"margl", page(dp::MarginLeft)}, {"marglsxn", page(dp::SectMarginLeft)},
    {"margr", page(dp::MarginRight)}, {"margrsxn", page(dp::SectMarginRight)},
    {"margt", page(dp::MarginTop)}, {"margtsxn", page(dp::SectMarginTop)},
    {"margb", page(dp::MarginBottom)}, {"margbsxn", page(dp::SectMarginBottom)},
    {"landscape", set(Target::Page, dp::Landscape, 1)}, {"lndscpsxn", set(Target::Page, dp::SectLandscape, 1)},
    // Which of the kept headers and footers a page uses, and where they stand.
    {"facingp", set(Target::Page, dp::FacingPages, 1)}, {"titlepg", set(Target::Page, dp::TitlePage, 1)},
    {"headery", page(dp::HeaderY)}, {"footery", page(dp::FooterY)},
    // How a section starts, and its columns.
    {"sectd", act(Act::SectionDefaults)},
    {"sbknone", set(Target::Page, dp::SectBreak, 0)}, {"sbkcol", set(Target::Page, dp::SectBreak, 1)},
    {"sbkpage", set(Target::Page, dp::SectBreak, 2)}, {"sbkeven", set(Target::Page, dp::SectBreak, 3)},
    {"sbkodd", set(Target::Page, dp::SectBreak, 4)}, {"cols", value(Target::Page, dp::SectColumns, 1, 1, 99)},

    // Font-table entries.
    {"fcharset", value(Target::Font, fp::Charset, 0, 0, 65535)},
    {"fprq", value(Target::Font, fp::Pitch, 0, 0, 3)},
    {"cpg", value(Target::Font, fp::Codepage, 0, 0, 65535)}, // a code page named outright
    {"fnil", family(0x00)}, {"froman", family(0x10)}, {"fswiss", family(0x20)}, {"fmodern", family(0x30)},
    {"fscript", family(0x40)}, {"fdecor", family(0x50)}, {"ftech", family(0x50)},

    // Colour-table entries.
    {"red", value(Target::Color, rgb::Red, 0, 0, 255)}, {"green", value(Target::Color, rgb::Green, 0, 0, 255)},
    {"blue", value(Target::Color, rgb::Blue, 0, 0, 255)},

    // Lists.
    {"listid", act(Act::ListId)}, {"levelnfc", act(Act::LevelNfc)}, {"levelnfcn", act(Act::LevelNfc)},
    {"leveltext", act(Act::LevelText)}, {"levelstartat", act(Act::LevelStart)},

    // Pictures. \wmetafileN names the metafile's mapping mode; the kind follows from it.
    {"pngblip", pict(pic::Png)}, {"jpegblip", pict(pic::Jpeg)}, {"dibitmap", pict(pic::Dib)},
    {"wbitmap", pict(pic::Wbitmap)}, {"emfblip", pict(pic::Emf)}, {"macpict", pict(pic::Unsupported)},
    {"pmmetafile", pict(pic::Unsupported)},
    {"wmetafile", pictValue(pic::MapMode, 8, 1, 8)},
    {"picw", pictValue(pic::Width, 0, 0, kMaxPictureSide)}, {"pich", pictValue(pic::Height, 0, 0, kMaxPictureSide)},
    {"picwgoal", pictValue(pic::GoalWidth, 0, 0, kMaxPictureTwips)},
    {"pichgoal", pictValue(pic::GoalHeight, 0, 0, kMaxPictureTwips)},
    {"picscalex", pictValue(pic::ScaleX, 100, 1, 1000)}, {"picscaley", pictValue(pic::ScaleY, 100, 1, 1000)},
    {"picbpp", pictValue(pic::Bpp, 0, 0, 32)}, {"picwb", pictValue(pic::RowBytes, 0, 0, kMaxPictureSide)},
};

constexpr bool rowsFitTheIndex()
{
    for (const KeywordRow& row : kRows) {
        if (row.name.empty() || row.name.size() >= KeywordTable::kMaxLength || row.name[0] < 'a' || row.name[0] > 'z')
            return false;
    }
    return true;
}
static_assert(rowsFitTheIndex(), "a keyword's name must start with a lower-case letter and be short");

constexpr bool keptRowsMatchTheirList()
{
    for (const KeywordRow& row : kRows) {
        if (row.word.kind == Kind::Action && Act(row.word.index) == Act::KeepDest
            && kKeptDestinations[size_t(row.word.value)] != row.name)
            return false;
    }
    return true;
}
static_assert(keptRowsMatchTheirList(), "a kept destination's row must give its index in the list");

} // namespace

int32_t Keyword::valueFor(bool hasNumber, int32_t number) const
{
    switch (kind) {
    case Kind::Flag: return !hasNumber || number != 0 ? value : 0;
    case Kind::Value: return std::clamp(hasNumber ? number : value, min, max);
    default: return value;
    }
}

KeywordTable::KeywordTable()
{
    // Rows in order of their bucket; of a name listed twice the first row stays.
    std::vector<const KeywordRow*> rows;
    for (const KeywordRow& row : kRows) {
        const bool seen = std::any_of(rows.begin(), rows.end(), [&](const KeywordRow* r) { return r->name == row.name; });
        if (!seen)
            rows.push_back(&row);
    }
    auto bucket = [](std::string_view name) { return name.size() * kLetters + size_t(name[0] - 'a'); };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const KeywordRow* a, const KeywordRow* b) { return bucket(a->name) < bucket(b->name); });
    std::array<uint16_t, kMaxLength * kLetters + 1> counts{};
    for (const KeywordRow* row : rows) {
        m_names.push_back(row->name.data());
        m_words.push_back(row->word);
        ++counts[bucket(row->name) + 1];
    }
    for (size_t i = 1; i < m_start.size(); ++i)
        m_start[i] = uint16_t(m_start[i - 1] + counts[i]);
}

const KeywordTable& keywordTable()
{
    static const KeywordTable table;
    return table;
}

} // namespace zorim::rtf
