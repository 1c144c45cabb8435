#include "RtfKeywords.h"

#include "Picture.h"

#include <algorithm>
#include <climits>
#include <tuple>
#include <unordered_map>

namespace zorim::rtf {
namespace {

constexpr int32_t kMaxColorIndex = 4096;
constexpr int32_t kMaxPictureSide = 1 << 20;

class Table {
public:
    Table()
    {
        // Destinations that hold nothing for the document.
        for (std::string_view d : {"info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer", "footerl",
                                   "footerr", "footerf", "nonshppict", "objdata", "objclass", "objname", "annotation",
                                   "atnid", "atnauthor", "atrfstart", "atrfend", "xe", "tc", "txe", "comment",
                                   "filetbl", "revtbl", "rsidtbl", "pgdsctbl", "themedata", "colorschememapping",
                                   "latentstyles", "datastore", "generator", "userprops", "ftnsep", "ftnsepc",
                                   "aftnsep", "aftnsepc", "ftncn", "aftncn", "docvar", "template", "pnseclvl",
                                   "pntxta", "pntxtb", "fldtype", "formfield", "datafield", "bkmkstart", "bkmkend",
                                   "listpicture", "fchars", "lchars", "xmlnstbl", "mmathPr", "author", "operator",
                                   "title", "subject", "keywords", "doccomm", "company", "falt", "panose", "listname",
                                   "leveltext", "levelnumbers", "listtemplate", "protusertbl", "wgrffmtfilter", "pxe",
                                   "sp", "picprop", "blipuid", "expandedcolortbl",
                                   // the copy of nested tables for readers that cannot nest them
                                   "nonesttables"})
            action(d, Act::SkipDest);
        action("fonttbl", Act::FontTbl);
        action("colortbl", Act::ColorTbl);
        action("pict", Act::Pict);
        action("field", Act::Field);
        action("fldinst", Act::FldInst);
        action("fldrslt", Act::FldRslt);
        action("listtable", Act::ListTable);
        action("listoverridetable", Act::ListTable);
        action("list", Act::List);
        action("listlevel", Act::ListLevel);
        action("listoverride", Act::ListOverride);
        action("pn", Act::Pn);
        action("pntext", Act::BulletText);
        action("listtext", Act::BulletText);
        action("footnote", Act::Footnote);
        action("chftn", Act::NoteMark);
        // Groups whose content is read as if the group were not there. Nested-table properties
        // hold none of the text in a well-formed file; what a malformed one puts there is kept.
        for (std::string_view d : {"shppict", "result", "nesttableprops"})
            action(d, Act::Transparent);
        // An embedded object: read as if the group were not there (its result shows it), and
        // its data kept with the picture that shows it.
        action("object", Act::Object);
        action("shp", Act::Shape);
        action("shpinst", Act::ShapeInst);
        action("shprslt", Act::ShapeResult);
        action("shptxt", Act::ShapeText);
        action("do", Act::DrawingObject);
        action("dptxbxtext", Act::ShapeText);
        action("upr", Act::Upr);
        action("ud", Act::Ud);

        action("ansi", Act::Charset, 1252);
        action("mac", Act::Charset, 10000);
        action("pc", Act::Charset, 437);
        action("pca", Act::Charset, 850);
        action("ansicpg", Act::AnsiCpg);
        action("deff", Act::Deff);
        value("uc", Target::Group, gp::SkipAfterUnicode, 1, 0, 16);
        action("u", Act::U);

        action("plain", Act::Plain);
        flag("b", cp::Bold);
        flag("i", cp::Italic);
        for (std::string_view u : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
                                   "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
                                   "ulwave"})
            flag(u, cp::Underline);
        set("ulnone", Target::Char, cp::Underline, 0);
        flag("strike", cp::Strike);
        flag("striked", cp::Strike);
        flag("sub", cp::SubSuper, 1);
        flag("super", cp::SubSuper, 2);
        set("nosupersub", Target::Char, cp::SubSuper, 0);
        flag("up", cp::SubSuper, 2);
        flag("dn", cp::SubSuper, 1);
        // Half-points, within the heights the document can hold (1 to 1638 points).
        value("fs", Target::Char, cp::HalfPoints, 24, 2, 3276);
        action("f", Act::F);
        value("cf", Target::Char, cp::Color, 0, 0, kMaxColorIndex);
        for (std::string_view b : {"cb", "highlight", "chcbpat"})
            value(b, Target::Char, cp::Back, 0, 0, kMaxColorIndex);
        flag("v", cp::Hidden, kKeptHidden);
        for (std::string_view v : {"deleted", "webhidden"})
            flag(v, cp::Hidden);

        action("pard", Act::Pard);
        set("ql", Target::Para, pp::Align, pfa::Left);
        set("qr", Target::Para, pp::Align, pfa::Right);
        set("qc", Target::Para, pp::Align, pfa::Center);
        set("qj", Target::Para, pp::Align, pfa::Justify);
        set("qd", Target::Para, pp::Align, pfa::Justify);
        value("li", Target::Para, pp::LeftIndent, 0, -kMaxIndent, kMaxIndent);
        value("sb", Target::Para, pp::SpaceBefore, 0, 0, kMaxIndent);
        value("sa", Target::Para, pp::SpaceAfter, 0, 0, kMaxIndent);
        value("sl", Target::Para, pp::LineSpacing, 0, -kMaxIndent, kMaxIndent);
        value("slmult", Target::Para, pp::LineMultiple, 0, 0, 1);
        value("pagebb", Target::Para, pp::PageBreakBefore, 1, 0, 1);
        value("lin", Target::Para, pp::LeftIndent, 0, -kMaxIndent, kMaxIndent);
        value("fi", Target::Para, pp::FirstIndent, 0, -kMaxIndent, kMaxIndent);
        m_words.emplace("intbl", Keyword{Kind::Flag, Target::Para, pp::InTable, 1, 0, 0});
        action("ls", Act::Ls);
        value("ilvl", Target::Para, pp::Level, 0, 0, 8);
        set("pnlvlblt", Target::Para, pp::Numbering, pfn::Bullet);
        action("pnlvlbody", Act::PnBody);
        action("pnlvl", Act::PnBody);
        set("pnlvlcont", Target::Para, pp::Numbering, pfn::None);
        action("pndec", Act::PnStyle, pfn::Arabic);
        action("pnlcltr", Act::PnStyle, pfn::LowerAlpha);
        action("pnucltr", Act::PnStyle, pfn::UpperAlpha);
        action("pnlcrm", Act::PnStyle, pfn::LowerRoman);
        action("pnucrm", Act::PnStyle, pfn::UpperRoman);

        action("par", Act::Par);
        for (std::string_view b : {"sect", "column"})
            action(b, Act::Par, 1);
        action("page", Act::Par, 2); // and the next paragraph starts a page
        action("line", Act::Line);
        action("tab", Act::Tab);
        action("cell", Act::Cell);
        action("nestcell", Act::Cell);
        action("row", Act::Row);
        for (const auto& [name, ch] : {std::pair<std::string_view, char16_t>{"emdash", 0x2014}, {"endash", 0x2013},
                                       {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
                                       {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
                                       {"enspace", 0x2002}, {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C},
                                       {"ltrmark", 0x200E}, {"rtlmark", 0x200F}, {"zwbo", 0x200B}})
            m_words.emplace(name, Keyword{Kind::Char, Target::Char, 0, ch, 0, 0});

        value("fcharset", Target::Font, fp::Charset, 0, 0, 65535);
        // The page, for the document or its (first) section.
        for (const auto& [doc, section, index] :
             {std::tuple<std::string_view, std::string_view, uint8_t>{"paperw", "pgwsxn", dp::PaperWidth},
              {"paperh", "pghsxn", dp::PaperHeight}, {"margl", "marglsxn", dp::MarginLeft},
              {"margr", "margrsxn", dp::MarginRight}, {"margt", "margtsxn", dp::MarginTop},
              {"margb", "margbsxn", dp::MarginBottom}}) {
            value(doc, Target::Page, index, -1, 0, kMaxPageTwips);
            value(section, Target::Page, index, -1, 0, kMaxPageTwips);
        }
        set("landscape", Target::Page, dp::Landscape, 1);
        set("lndscpsxn", Target::Page, dp::Landscape, 1);
        value("fprq", Target::Font, fp::Pitch, 0, 0, 3);
        value("cpg", Target::Font, fp::Codepage, 0, 0, 65535); // a code page named outright
        for (const auto& [name, family] : {std::pair<std::string_view, int32_t>{"fnil", 0x00}, {"froman", 0x10},
                                           {"fswiss", 0x20}, {"fmodern", 0x30}, {"fscript", 0x40},
                                           {"fdecor", 0x50}, {"ftech", 0x50}})
            set(name, Target::Font, fp::Family, family);
        value("red", Target::Color, rgb::Red, 0, 0, 255);
        value("green", Target::Color, rgb::Green, 0, 0, 255);
        value("blue", Target::Color, rgb::Blue, 0, 0, 255);
        action("listid", Act::ListId);
        action("levelnfc", Act::LevelNfc);
        action("levelnfcn", Act::LevelNfc);

        set("pngblip", Target::Pict, pic::Kind, pic::Png);
        set("jpegblip", Target::Pict, pic::Kind, pic::Jpeg);
        set("dibitmap", Target::Pict, pic::Kind, pic::Dib);
        set("wbitmap", Target::Pict, pic::Kind, pic::Wbitmap);
        set("emfblip", Target::Pict, pic::Kind, pic::Emf);
        set("macpict", Target::Pict, pic::Kind, pic::Unsupported);
        set("pmmetafile", Target::Pict, pic::Kind, pic::Unsupported);
        // \wmetafileN names the metafile's mapping mode; the kind follows from it.
        value("wmetafile", Target::Pict, pic::MapMode, 8, 1, 8);
        value("picw", Target::Pict, pic::Width, 0, 0, kMaxPictureSide);
        value("pich", Target::Pict, pic::Height, 0, 0, kMaxPictureSide);
        value("picwgoal", Target::Pict, pic::GoalWidth, 0, 0, kMaxPictureTwips);
        value("pichgoal", Target::Pict, pic::GoalHeight, 0, 0, kMaxPictureTwips);
        value("picscalex", Target::Pict, pic::ScaleX, 100, 1, 1000);
        value("picscaley", Target::Pict, pic::ScaleY, 100, 1, 1000);
        value("picbpp", Target::Pict, pic::Bpp, 0, 0, 32);
        value("picwb", Target::Pict, pic::RowBytes, 0, 0, kMaxPictureSide);
    }

    const KeywordTable& words() const { return m_words; }

private:
    void action(std::string_view name, Act act, int32_t arg = 0)
    {
        m_words.emplace(name, Keyword{Kind::Action, Target::Char, uint8_t(act), arg, 0, 0});
    }
    void flag(std::string_view name, uint8_t prop, int32_t on = 1)
    {
        m_words.emplace(name, Keyword{Kind::Flag, Target::Char, prop, on, 0, 0});
    }
    void set(std::string_view name, Target target, uint8_t prop, int32_t v)
    {
        m_words.emplace(name, Keyword{Kind::Set, target, prop, v, 0, 0});
    }
    void value(std::string_view name, Target target, uint8_t prop, int32_t def, int32_t lo, int32_t hi)
    {
        m_words.emplace(name, Keyword{Kind::Value, target, prop, def, lo, hi});
    }

    KeywordTable m_words;
};

} // namespace

int32_t Keyword::valueFor(bool hasNumber, int32_t number) const
{
    switch (kind) {
    case Kind::Flag: return !hasNumber || number != 0 ? value : 0;
    case Kind::Value: return std::clamp(hasNumber ? number : value, min, max);
    default: return value;
    }
}

const KeywordTable& keywordTable()
{
    static const Table table;
    return table.words();
}

} // namespace zorim::rtf
