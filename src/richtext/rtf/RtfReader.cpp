// The RTF reader: a byte scanner, one table of control words, and a stack of group states.
// Nothing from the file is trusted: numbers are clamped, group nesting is capped, \bin
// lengths are bounded by the data left, and pictures are decoded within a pixel budget
// proportional to the file's size.
#include "Rtf.h"

#include "Picture.h"
#include "richtext/DocFormats.h"
#include "text/Codepage.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorim {
namespace {

// Deeper groups are read as part of the group at this depth (their state is not kept apart).
constexpr int kMaxDepth = 1000;
constexpr int kMaxIndent = 31680; // 22 inches in twips
constexpr int kMaxFonts = 4096;
constexpr int kMaxColors = 4096;
constexpr int kMaxLists = 4096;
constexpr size_t kMaxFields = 65536;
constexpr int32_t kDocumentTable = INT32_MIN + 1;
constexpr int64_t kPictureCost = 2048; // bytes the document spends on one picture's format and resource

enum class Dest : uint8_t {
    Text,        // document text
    FontTable,   // font definitions
    ColorTable,  // colour definitions
    Pict,        // picture data
    FieldInst,   // field instruction text
    ListTable,   // list definitions (\listtable, \listoverridetable)
    Pn,          // old-style paragraph numbering definition
    BulletText,  // \pntext, \listtext: left out up to the first tab
    Ignore,      // text is dropped, control words still count (e.g. \*\ud's sibling)
};

// Character properties as the file gives them (table indices, half-points).
struct CharState {
    int32_t font = -1;       // font number; -1: the default font (\deff)
    int32_t halfPoints = 24;
    int32_t color = 0;       // colour-table index; 0 with an automatic entry: automatic
    int32_t back = 0;        // colour-table index; 0: automatic (no background)
    int32_t link = -1;       // index into the reader's link targets
    uint8_t subSuper = 0;    // 0 none, 1 subscript, 2 superscript
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;

    bool operator==(const CharState&) const = default;
};

struct CharStateHash {
    size_t operator()(const CharState& s) const noexcept
    {
        uint64_t h = uint32_t(s.font);
        h = h * 1000003u ^ uint32_t(s.halfPoints);
        h = h * 1000003u ^ uint32_t(s.color);
        h = h * 1000003u ^ uint32_t(s.back);
        h = h * 1000003u ^ uint32_t(s.link);
        h = h * 1000003u ^ (s.subSuper | s.bold << 2 | s.italic << 3 | s.underline << 4 | s.strike << 5 | s.hidden << 6);
        return size_t(h ^ (h >> 29));
    }
};

struct ParaState {
    int32_t li = 0, fi = 0;
    uint16_t align = pfa::Left;
    uint16_t pn = pfn::None; // from a \pn group
    int32_t ls = 0, ilvl = 0;
    bool intbl = false;
};

struct State {
    Dest dest = Dest::Text;
    CharState chr;
    ParaState para;
    int uc = 1;            // characters to skip after \uN
    int field = -1;        // the field this group belongs to
    bool starred = false;  // \* seen at the start of this group
    bool bracket = false;  // a footnote: close it with ']'
    bool ownsPict = false;
    bool ownsList = false, ownsOverride = false, ownsFont = false, ownsFontTable = false;
};

struct FontInfo {
    QString face;
    uint8_t charset = kDefaultCharset;
    uint8_t pitchAndFamily = 0;
};

struct Field {
    QString inst;
};

// Control words. Each has one action; the table below maps names to actions.
enum class Act : uint8_t {
    // destinations
    SkipDest, FontTbl, ColorTbl, Pict, Field, FldInst, FldRslt, ListTable, ListOverrideTable, List,
    ListLevel, ListOverride, Pn, BulletText, Footnote, TextDest, Upr, Ud,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    // character
    Plain, Bold, Italic, Underline, UlNone, Strike, Sub, Super, NoSupSub, Up, Dn, Fs, F, Cf, Cb, Hidden,
    // paragraph
    Pard, Ql, Qr, Qc, Qj, Li, Fi, InTbl, Ls, Ilvl,
    PnBullet, PnBody, PnCont, PnLvl, PnStyle,
    // breaks and characters
    Par, Line, Tab, Cell, Row, Char, Ignored,
    // tables of fonts, colours, lists
    FCharset, Fprq, FFamily, Red, Green, Blue, ListId, LevelNfc,
    // pictures
    PictKind, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, PicBpp, PicWb,
};

struct Word {
    Act act;
    int arg = 0;
};

enum PictKindWord : int { PkPng = 1, PkJpeg, PkDib, PkWbitmap, PkWmf, PkEmf, PkUnsupported };

const std::unordered_map<std::string_view, Word>& wordTable()
{
    static const std::unordered_map<std::string_view, Word> table = [] {
        std::unordered_map<std::string_view, Word> t;
        auto add = [&t](std::string_view name, Act act, int arg = 0) { t.emplace(name, Word{act, arg}); };
        // Destinations that hold nothing for the document.
        for (std::string_view d : {"info", "stylesheet", "header", "headerl", "headerr", "headerf", "footer", "footerl",
                                   "footerr", "footerf", "nonshppict", "objdata", "objclass", "objname", "annotation",
                                   "atnid", "atnauthor", "atrfstart", "atrfend", "xe", "tc", "txe", "comment", "do",
                                   "filetbl", "revtbl", "rsidtbl", "pgdsctbl", "themedata", "colorschememapping",
                                   "latentstyles", "datastore", "generator", "userprops", "ftnsep", "ftnsepc",
                                   "aftnsep", "aftnsepc", "ftncn", "aftncn", "docvar", "template", "shpinst",
                                   "pnseclvl", "pntxta", "pntxtb", "fldtype", "formfield", "datafield", "bkmkstart",
                                   "bkmkend", "listpicture", "fchars", "lchars", "xmlnstbl", "mmathPr", "author",
                                   "operator", "title", "subject", "keywords", "doccomm", "company", "falt",
                                   "panose", "listname", "leveltext", "levelnumbers", "listtemplate", "protusertbl",
                                   "wgrffmtfilter", "pxe", "sp", "picprop", "blipuid", "expandedcolortbl",
                                   "nesttableprops"})
            add(d, Act::SkipDest);
        add("fonttbl", Act::FontTbl);
        add("colortbl", Act::ColorTbl);
        add("pict", Act::Pict);
        add("field", Act::Field);
        add("fldinst", Act::FldInst);
        add("fldrslt", Act::FldRslt);
        add("listtable", Act::ListTable);
        add("listoverridetable", Act::ListOverrideTable);
        add("list", Act::List);
        add("listlevel", Act::ListLevel);
        add("listoverride", Act::ListOverride);
        add("pn", Act::Pn);
        add("pntext", Act::BulletText);
        add("listtext", Act::BulletText);
        add("footnote", Act::Footnote);
        for (std::string_view d : {"shppict", "shp", "shprslt", "object", "result"})
            add(d, Act::TextDest);
        add("upr", Act::Upr);
        add("ud", Act::Ud);

        add("ansi", Act::Ansi);
        add("mac", Act::Mac);
        add("pc", Act::Pc);
        add("pca", Act::Pca);
        add("ansicpg", Act::AnsiCpg);
        add("deff", Act::Deff);
        add("uc", Act::Uc);
        add("u", Act::U);
        add("bin", Act::Bin);

        add("plain", Act::Plain);
        add("b", Act::Bold);
        add("i", Act::Italic);
        for (std::string_view u : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
                                   "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
                                   "ulwave"})
            add(u, Act::Underline);
        add("ulnone", Act::UlNone);
        add("strike", Act::Strike);
        add("striked", Act::Strike);
        add("sub", Act::Sub);
        add("super", Act::Super);
        add("nosupersub", Act::NoSupSub);
        add("up", Act::Up);
        add("dn", Act::Dn);
        add("fs", Act::Fs);
        add("f", Act::F);
        add("cf", Act::Cf);
        add("cb", Act::Cb);
        add("highlight", Act::Cb);
        add("chcbpat", Act::Cb);
        add("v", Act::Hidden);
        add("deleted", Act::Hidden);
        add("webhidden", Act::Hidden);

        add("pard", Act::Pard);
        add("ql", Act::Ql);
        add("qr", Act::Qr);
        add("qc", Act::Qc);
        add("qj", Act::Qj);
        add("qd", Act::Qj);
        add("li", Act::Li);
        add("lin", Act::Li);
        add("fi", Act::Fi);
        add("intbl", Act::InTbl);
        add("ls", Act::Ls);
        add("ilvl", Act::Ilvl);
        add("pnlvlblt", Act::PnBullet);
        add("pnlvlbody", Act::PnBody);
        add("pnlvlcont", Act::PnCont);
        add("pnlvl", Act::PnLvl);
        add("pndec", Act::PnStyle, pfn::Arabic);
        add("pnlcltr", Act::PnStyle, pfn::LowerAlpha);
        add("pnucltr", Act::PnStyle, pfn::UpperAlpha);
        add("pnlcrm", Act::PnStyle, pfn::LowerRoman);
        add("pnucrm", Act::PnStyle, pfn::UpperRoman);

        add("par", Act::Par);
        add("sect", Act::Par, 1);
        add("page", Act::Par, 1);
        add("column", Act::Par, 1);
        add("line", Act::Line);
        add("tab", Act::Tab);
        add("cell", Act::Cell);
        add("nestcell", Act::Cell);
        add("row", Act::Row);
        add("emdash", Act::Char, 0x2014);
        add("endash", Act::Char, 0x2013);
        add("bullet", Act::Char, 0x2022);
        add("lquote", Act::Char, 0x2018);
        add("rquote", Act::Char, 0x2019);
        add("ldblquote", Act::Char, 0x201C);
        add("rdblquote", Act::Char, 0x201D);
        add("emspace", Act::Char, 0x2003);
        add("enspace", Act::Char, 0x2002);
        add("qmspace", Act::Char, 0x2005);
        add("zwj", Act::Char, 0x200D);
        add("zwnj", Act::Char, 0x200C);
        add("ltrmark", Act::Char, 0x200E);
        add("rtlmark", Act::Char, 0x200F);
        add("zwbo", Act::Char, 0x200B);
        add("chftn", Act::Ignored);

        add("fcharset", Act::FCharset);
        add("fprq", Act::Fprq);
        add("fnil", Act::FFamily, 0x00);
        add("froman", Act::FFamily, 0x10);
        add("fswiss", Act::FFamily, 0x20);
        add("fmodern", Act::FFamily, 0x30);
        add("fscript", Act::FFamily, 0x40);
        add("fdecor", Act::FFamily, 0x50);
        add("ftech", Act::FFamily, 0x50);
        add("red", Act::Red);
        add("green", Act::Green);
        add("blue", Act::Blue);
        add("listid", Act::ListId);
        add("levelnfc", Act::LevelNfc);
        add("levelnfcn", Act::LevelNfc);

        add("pngblip", Act::PictKind, PkPng);
        add("jpegblip", Act::PictKind, PkJpeg);
        add("dibitmap", Act::PictKind, PkDib);
        add("wbitmap", Act::PictKind, PkWbitmap);
        add("wmetafile", Act::PictKind, PkWmf);
        add("emfblip", Act::PictKind, PkEmf);
        add("macpict", Act::PictKind, PkUnsupported);
        add("pmmetafile", Act::PictKind, PkUnsupported);
        add("picw", Act::PicW);
        add("pich", Act::PicH);
        add("picwgoal", Act::PicWGoal);
        add("pichgoal", Act::PicHGoal);
        add("picscalex", Act::PicScaleX);
        add("picscaley", Act::PicScaleY);
        add("picbpp", Act::PicBpp);
        add("picwb", Act::PicWb);
        return t;
    }();
    return table;
}

int32_t clampInt(int64_t v, int64_t lo, int64_t hi) { return int32_t(std::clamp(v, lo, hi)); }

uint16_t numberingForNfc(int nfc)
{
    switch (nfc) {
    case 0: return pfn::Arabic;
    case 1: return pfn::UpperRoman;
    case 2: return pfn::LowerRoman;
    case 3: return pfn::UpperAlpha;
    case 4: return pfn::LowerAlpha;
    case 23: return pfn::Bullet;
    case 255: return pfn::None;
    default: return pfn::Arabic;
    }
}

// The target of a HYPERLINK field instruction: the address, with "#place" for \l.
std::optional<QString> hyperlinkTarget(const QString& inst)
{
    qsizetype i = 0;
    const qsizetype n = inst.size();
    auto skipSpace = [&] { while (i < n && inst[i].isSpace()) ++i; };
    auto readArg = [&]() -> QString {
        skipSpace();
        QString out;
        if (i < n && inst[i] == u'"') {
            ++i;
            while (i < n && inst[i] != u'"') {
                if (inst[i] == u'\\' && i + 1 < n && (inst[i + 1] == u'"' || inst[i + 1] == u'\\'))
                    ++i;
                out += inst[i++];
            }
            ++i;
        } else {
            while (i < n && !inst[i].isSpace())
                out += inst[i++];
        }
        return out;
    };
    skipSpace();
    if (inst.mid(i, 9).compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    i += 9;
    QString url, place;
    bool haveUrl = false;
    while (true) {
        skipSpace();
        if (i >= n)
            break;
        if (inst[i] == u'\\' && i + 1 < n) {
            const QChar sw = inst[i + 1].toLower();
            i += 2;
            if (sw == u'l')
                place = readArg();
            else if (sw == u'o' || sw == u't')
                readArg();
            continue;
        }
        const QString arg = readArg();
        if (!haveUrl) {
            url = arg;
            haveUrl = true;
        }
    }
    if (!place.isEmpty())
        url += u'#' + place;
    if (url.isEmpty())
        return std::nullopt;
    return url;
}

class Reader {
public:
    Reader(const QByteArray& bytes, QTextCursor& cursor)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData())), m_size(bytes.size()),
          m_cursor(cursor), m_budget(16'000'000 + 16 * int64_t(bytes.size())),
          m_pictureRoom(kPictureCost * 512 + 2 * int64_t(bytes.size()))
    {
        m_defaultFace = cursor.document()->defaultFont().family();
    }

    void run(qsizetype start);

private:
    // ---- scanning
    void parseControl();
    int64_t readNumber(bool& has);
    void skipGroup();
    void pushGroup();
    void popGroup();
    void doWord(std::string_view name, bool has, int64_t num);
    void doBin(int64_t count);

    // ---- output
    void textBytes(const unsigned char* p, qsizetype n);
    void emitChar(char16_t ch);
    void docChar(char16_t ch);
    void flushRun();
    void ensureBreak();
    void endParagraph();
    void applyParagraph(const ParaState& para);
    void flushTabs(const CharState& chr);
    void commitFont();
    void finishPict(State& s);
    void finish();
    const QTextCharFormat& formatFor(const CharState& s);
    const char16_t* codeTable(int32_t font);
    const FontInfo* fontFor(int32_t number) const;
    ParaFormat paraFormat(const ParaState& p) const;

    State& st() { return m_stack.back(); }

    const unsigned char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextCursor& m_cursor;
    PictureBudget m_budget;
    PictureBudget m_pictureRoom; // what the document may spend on pictures besides their pixels

    std::vector<State> m_stack;
    int m_overflow = 0; // groups opened beyond kMaxDepth, read as part of the deepest one
    bool m_done = false;
    int m_skip = 0;     // characters still to skip after \uN

    // document
    int m_codepage = 1252;
    int32_t m_deff = 0;
    QString m_defaultFace;
    std::unordered_map<int32_t, FontInfo> m_fonts;
    std::vector<std::optional<ColorRef>> m_colors;
    std::vector<QString> m_links;
    std::vector<Field> m_fields;
    std::map<int32_t, std::vector<int>> m_lists;  // list id -> number format of each level
    std::map<int32_t, int32_t> m_overrides;       // \ls number -> list id

    // tables under construction
    int32_t m_fontNumber = 0;
    FontInfo m_font;
    QString m_fontName;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    int32_t m_listId = 0;
    std::vector<int> m_levels;
    int32_t m_overrideList = 0, m_overrideLs = 0;

    struct PictBuild {
        Picture pic;
        int kind = 0;
        int bpp = 0, rowBytes = 0;
        QByteArray data;
        int nibble = -1;
    } m_pict;

    // text
    QString m_run;
    CharState m_runState;
    int m_pendingTabs = 0;
    int m_noteDepth = 0;
    ParaState m_textPara; // the paragraph state of the last text read
    bool m_pendingBreak = false;
    bool m_blockInherits = false; // the current block took its format from the paragraph before
    ParaFormat m_lastApplied;
    int m_insertStart = 0;
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_formatCache;
    int32_t m_tableFont = INT32_MIN;
    const char16_t* m_table = nullptr;
    std::map<int, std::array<char16_t, 256>> m_tables;
};

void Reader::run(qsizetype start)
{
    m_pos = start;
    m_insertStart = m_cursor.position();
    m_stack.reserve(64);
    while (m_pos < m_size && !m_done) {
        const unsigned char c = m_data[m_pos];
        if (c == '{') {
            ++m_pos;
            m_skip = 0;
            pushGroup();
        } else if (c == '}') {
            ++m_pos;
            m_skip = 0;
            popGroup();
        } else if (c == '\\') {
            ++m_pos;
            parseControl();
        } else if (c == '\r' || c == '\n' || m_stack.empty()) {
            ++m_pos;
        } else {
            qsizetype end = m_pos + 1;
            while (end < m_size) {
                const unsigned char d = m_data[end];
                if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n')
                    break;
                ++end;
            }
            textBytes(m_data + m_pos, end - m_pos);
            m_pos = end;
        }
    }
    finish();
}

int64_t Reader::readNumber(bool& has)
{
    bool negative = false;
    if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size && m_data[m_pos + 1] >= '0'
        && m_data[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    int64_t value = 0;
    has = false;
    while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
        has = true;
        // Saturate: a number of twenty digits is just "very large".
        if (value < 10'000'000'000LL)
            value = value * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    value = std::min<int64_t>(value, INT32_MAX);
    return negative ? -value : value;
}

void Reader::parseControl()
{
    if (m_pos >= m_size)
        return;
    const unsigned char c = m_data[m_pos];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        const qsizetype start = m_pos;
        while (m_pos < m_size && ((m_data[m_pos] >= 'a' && m_data[m_pos] <= 'z') || (m_data[m_pos] >= 'A' && m_data[m_pos] <= 'Z')))
            ++m_pos;
        // Names longer than any real control word are cut; they match nothing.
        const std::string_view name(reinterpret_cast<const char*>(m_data + start), size_t(std::min<qsizetype>(m_pos - start, 40)));
        bool has = false;
        const int64_t num = readNumber(has);
        if (m_pos < m_size && m_data[m_pos] == ' ')
            ++m_pos;
        if (m_skip > 0 && name != "bin") {
            --m_skip;
            return;
        }
        doWord(name, has, num);
        return;
    }
    ++m_pos;
    if (c == '\'') {
        auto hex = [](unsigned char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        int value = -1;
        if (m_pos + 1 < m_size) {
            const int hi = hex(m_data[m_pos]), lo = hex(m_data[m_pos + 1]);
            if (hi >= 0 && lo >= 0) {
                value = hi * 16 + lo;
                m_pos += 2;
            }
        }
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        if (value >= 0) {
            const unsigned char b = static_cast<unsigned char>(value);
            textBytes(&b, 1);
        }
        return;
    }
    if (m_skip > 0) {
        --m_skip;
        return;
    }
    switch (c) {
    case '\\': case '{': case '}': {
        const unsigned char b = c;
        textBytes(&b, 1);
        break;
    }
    case '~': emitChar(0x00A0); break;
    case '-': emitChar(0x00AD); break;
    case '_': emitChar(0x2011); break;
    case '*':
        if (!m_stack.empty())
            st().starred = true;
        break;
    case '\r': case '\n': doWord("par", false, 0); break;
    case '\t': doWord("tab", false, 0); break;
    default: break; // \| \: and the like have no meaning here
    }
}

void Reader::skipGroup()
{
    // The group's opening brace has been read; read up to its closing brace, stepping over
    // escapes and binary data, then close it.
    int depth = 1;
    while (m_pos < m_size) {
        const unsigned char c = m_data[m_pos++];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                popGroup();
                return;
            }
        } else if (c == '\\' && m_pos < m_size) {
            const unsigned char d = m_data[m_pos];
            if (d == 'b' && m_pos + 3 <= m_size && std::memcmp(m_data + m_pos, "bin", 3) == 0
                && (m_pos + 3 == m_size || !std::isalpha(m_data[m_pos + 3]))) {
                m_pos += 3;
                bool has = false;
                const int64_t n = readNumber(has);
                if (m_pos < m_size && m_data[m_pos] == ' ')
                    ++m_pos;
                m_pos += std::clamp<int64_t>(n, 0, m_size - m_pos);
            } else {
                ++m_pos; // an escaped character, or the first letter of a control word
            }
        }
    }
    m_skip = 0;
}

void Reader::pushGroup()
{
    if (m_stack.empty()) {
        m_stack.emplace_back();
        return;
    }
    if (int(m_stack.size()) >= kMaxDepth || m_overflow > 0) {
        ++m_overflow;
        return;
    }
    State next = st();
    next.starred = false;
    next.bracket = false;
    next.ownsPict = next.ownsList = next.ownsOverride = next.ownsFont = next.ownsFontTable = false;
    m_stack.push_back(std::move(next));
}

void Reader::commitFont()
{
    const QString name = m_fontName.trimmed();
    if (!name.isEmpty() && int(m_fonts.size()) < kMaxFonts) {
        m_font.face = name.left(kMaxFaceName);
        m_fonts[m_fontNumber] = m_font;
        m_formatCache.clear();
        m_tableFont = INT32_MIN;
    }
    m_fontName.clear();
}

void Reader::popGroup()
{
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.empty())
        return;
    State closed = std::move(m_stack.back());
    m_stack.pop_back();
    if (closed.ownsFont || closed.ownsFontTable)
        commitFont();
    if (closed.ownsList && int(m_lists.size()) < kMaxLists)
        m_lists[m_listId] = m_levels;
    if (closed.ownsList)
        m_levels.clear();
    if (closed.ownsOverride && int(m_overrides.size()) < kMaxLists)
        m_overrides[m_overrideLs] = m_overrideList;
    if (closed.bracket)
        --m_noteDepth;
    if (m_stack.empty()) {
        m_done = true; // the document's group has ended; what follows is not part of it
        return;
    }
    if (closed.ownsPict)
        finishPict(closed);
    if (closed.bracket && !closed.chr.hidden)
        docChar(u']');
    if (closed.dest == Dest::Pn && st().dest != Dest::Pn)
        st().para.pn = closed.para.pn;
}

void Reader::doBin(int64_t count)
{
    const qsizetype n = qsizetype(std::clamp<int64_t>(count, 0, m_size - m_pos));
    if (m_skip > 0) {
        --m_skip;
        m_pos += n;
        return;
    }
    if (!m_stack.empty() && st().dest == Dest::Pict && m_pict.data.size() + n <= m_size)
        m_pict.data.append(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
}

void Reader::doWord(std::string_view name, bool has, int64_t num)
{
    if (m_stack.empty())
        return;
    const auto& table = wordTable();
    const auto it = table.find(name);
    State& s = st();
    const bool starred = s.starred;
    s.starred = false;
    if (it == table.end()) {
        if (starred)
            skipGroup();
        return;
    }
    const Word w = it->second;
    auto param = [&](int64_t def) { return has ? num : def; };
    auto on = [&] { return !has || num != 0; };

    switch (w.act) {
    // ---- destinations
    case Act::SkipDest: skipGroup(); return;
    case Act::FontTbl:
        s.dest = Dest::FontTable;
        s.ownsFontTable = true;
        m_fontName.clear();
        return;
    case Act::ColorTbl:
        s.dest = Dest::ColorTable;
        m_colors.clear();
        m_colorSet = false;
        m_red = m_green = m_blue = 0;
        m_formatCache.clear();
        return;
    case Act::Pict:
        if (s.dest == Dest::Pict) { // a picture inside a picture means nothing
            skipGroup();
            return;
        }
        s.dest = Dest::Pict;
        s.ownsPict = true;
        m_pict = PictBuild{};
        return;
    case Act::Field:
        if (m_fields.size() >= kMaxFields) {
            s.field = -1;
            return;
        }
        m_fields.push_back({});
        s.field = int(m_fields.size()) - 1;
        return;
    case Act::FldInst:
        if (s.field < 0) {
            skipGroup();
            return;
        }
        s.dest = Dest::FieldInst;
        return;
    case Act::FldRslt:
        s.dest = s.dest == Dest::FieldInst ? Dest::Ignore : s.dest;
        if (s.field >= 0) {
            auto target = hyperlinkTarget(m_fields[size_t(s.field)].inst);
            m_fields[size_t(s.field)].inst.clear();
            if (target && m_links.size() < kMaxFields) {
                m_links.push_back(*target);
                s.chr.link = int32_t(m_links.size()) - 1;
            }
        }
        return;
    case Act::ListTable:
    case Act::ListOverrideTable: s.dest = Dest::ListTable; return;
    case Act::List:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        s.ownsList = true;
        m_listId = 0;
        m_levels.clear();
        return;
    case Act::ListLevel:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        if (m_levels.size() < 9)
            m_levels.push_back(0);
        return;
    case Act::ListOverride:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        s.ownsOverride = true;
        m_overrideList = 0;
        m_overrideLs = 0;
        return;
    case Act::Pn:
        if (s.dest != Dest::Text) { skipGroup(); return; }
        s.dest = Dest::Pn;
        s.para.pn = pfn::Arabic; // until the level says otherwise
        return;
    case Act::BulletText:
        if (s.dest == Dest::Text)
            s.dest = Dest::BulletText;
        return;
    case Act::Footnote:
        // Beyond the depth limit groups share one state, which cannot hold a second note.
        if (s.dest != Dest::Text || s.chr.hidden || s.bracket || m_overflow > 0) {
            skipGroup();
            return;
        }
        docChar(u'[');
        s.bracket = true;
        ++m_noteDepth;
        return;
    case Act::TextDest: return;
    case Act::Upr: s.chr.hidden = true; return; // the ANSI half; the \ud inside has the Unicode text
    case Act::Ud: s.chr.hidden = false; return;

    // ---- document
    case Act::Ansi: m_codepage = 1252; m_tableFont = INT32_MIN; return;
    case Act::Mac: case Act::Pc: case Act::Pca: return;
    case Act::AnsiCpg:
        if (isKnownCodepage(int(num))) {
            m_codepage = int(num);
            m_tableFont = INT32_MIN;
        }
        return;
    case Act::Deff: m_deff = clampInt(num, 0, INT32_MAX); m_formatCache.clear(); m_tableFont = INT32_MIN; return;
    case Act::Uc: s.uc = clampInt(param(1), 0, 16); return;
    case Act::U: {
        if (!has)
            return;
        int64_t v = num;
        if (v < 0)
            v += 65536;
        if (v >= 0 && v <= 0xFFFF)
            emitChar(char16_t(v));
        m_skip = s.uc;
        return;
    }
    case Act::Bin: doBin(param(0)); return;

    // ---- character
    case Act::Plain: {
        const int32_t link = s.chr.link;
        s.chr = CharState{};
        s.chr.link = link;
        return;
    }
    case Act::Bold: s.chr.bold = on(); return;
    case Act::Italic: s.chr.italic = on(); return;
    case Act::Underline: s.chr.underline = on(); return;
    case Act::UlNone: s.chr.underline = false; return;
    case Act::Strike: s.chr.strike = on(); return;
    case Act::Sub: s.chr.subSuper = on() ? 1 : 0; return;
    case Act::Super: s.chr.subSuper = on() ? 2 : 0; return;
    case Act::NoSupSub: s.chr.subSuper = 0; return;
    case Act::Up: s.chr.subSuper = param(6) > 0 ? 2 : 0; return;
    case Act::Dn: s.chr.subSuper = param(6) > 0 ? 1 : 0; return;
    case Act::Fs: s.chr.halfPoints = clampInt(param(24), 2, 3276); return;
    case Act::F:
        if (s.dest == Dest::FontTable) {
            m_fontNumber = clampInt(num, 0, INT32_MAX);
            m_font = FontInfo{};
            m_fontName.clear();
            s.ownsFont = true;
        } else {
            s.chr.font = clampInt(num, 0, INT32_MAX);
        }
        return;
    case Act::Cf: s.chr.color = clampInt(num, 0, kMaxColors); return;
    case Act::Cb: s.chr.back = clampInt(num, 0, kMaxColors); return;
    case Act::Hidden: s.chr.hidden = on(); return;

    // ---- paragraph
    case Act::Pard: {
        const bool keepNumbering = s.dest == Dest::Pn;
        const uint16_t pn = s.para.pn;
        s.para = ParaState{};
        if (keepNumbering)
            s.para.pn = pn;
        return;
    }
    case Act::Ql: s.para.align = pfa::Left; return;
    case Act::Qr: s.para.align = pfa::Right; return;
    case Act::Qc: s.para.align = pfa::Center; return;
    case Act::Qj: s.para.align = pfa::Justify; return;
    case Act::Li: s.para.li = clampInt(num, -kMaxIndent, kMaxIndent); return;
    case Act::Fi: s.para.fi = clampInt(num, -kMaxIndent, kMaxIndent); return;
    case Act::InTbl: s.para.intbl = on(); return;
    case Act::Ls:
        if (s.dest == Dest::ListTable)
            m_overrideLs = clampInt(num, 0, INT32_MAX);
        else
            s.para.ls = clampInt(num, 0, INT32_MAX);
        return;
    case Act::Ilvl: s.para.ilvl = clampInt(num, 0, 8); return;
    case Act::PnBullet: s.para.pn = pfn::Bullet; return;
    case Act::PnBody:
    case Act::PnLvl:
        if (s.para.pn == pfn::None || s.para.pn == pfn::Bullet)
            s.para.pn = pfn::Arabic;
        return;
    case Act::PnCont: s.para.pn = pfn::None; return;
    case Act::PnStyle:
        if (s.para.pn != pfn::Bullet)
            s.para.pn = uint16_t(w.arg);
        return;

    // ---- breaks and characters
    case Act::Par:
        if ((s.dest != Dest::Text && s.dest != Dest::BulletText) || s.chr.hidden)
            return;
        // A page or section break right after a paragraph's end is no new paragraph.
        if (w.arg == 1 && m_pendingBreak)
            return;
        // A paragraph break inside a table cell or a note keeps the row or the note in the
        // paragraph it belongs to.
        if (s.para.intbl || m_noteDepth > 0)
            emitChar(u' ');
        else
            endParagraph();
        return;
    case Act::Line: emitChar(QChar::LineSeparator); return;
    case Act::Tab:
        if (s.dest == Dest::BulletText) {
            s.dest = Dest::Text; // what follows the bullet's tab is the paragraph's own text
            return;
        }
        emitChar(u'\t');
        return;
    case Act::Cell:
        if (s.dest == Dest::Text && !s.chr.hidden) {
            flushRun();
            ++m_pendingTabs;
        }
        return;
    case Act::Row:
        if (s.dest == Dest::Text && !s.chr.hidden) {
            m_pendingTabs = 0;
            endParagraph();
        }
        return;
    case Act::Char: emitChar(char16_t(w.arg)); return;
    case Act::Ignored: return;

    // ---- tables
    case Act::FCharset: if (s.dest == Dest::FontTable) m_font.charset = uint8_t(clampInt(num, 0, 255)); return;
    case Act::Fprq:
        if (s.dest == Dest::FontTable)
            m_font.pitchAndFamily = uint8_t((m_font.pitchAndFamily & 0xF0) | clampInt(num, 0, 3));
        return;
    case Act::FFamily:
        if (s.dest == Dest::FontTable)
            m_font.pitchAndFamily = uint8_t((m_font.pitchAndFamily & 0x0F) | w.arg);
        return;
    case Act::Red: m_red = clampInt(num, 0, 255); m_colorSet = true; return;
    case Act::Green: m_green = clampInt(num, 0, 255); m_colorSet = true; return;
    case Act::Blue: m_blue = clampInt(num, 0, 255); m_colorSet = true; return;
    case Act::ListId:
        if (s.ownsOverride)
            m_overrideList = clampInt(num, INT32_MIN, INT32_MAX);
        else if (s.ownsList)
            m_listId = clampInt(num, INT32_MIN, INT32_MAX);
        return;
    case Act::LevelNfc:
        if (!m_levels.empty())
            m_levels.back() = clampInt(num, 0, 255);
        return;

    // ---- pictures
    case Act::PictKind:
        if (s.dest == Dest::Pict) {
            m_pict.kind = w.arg;
            if (w.arg == PkWmf)
                m_pict.pic.mapMode = clampInt(param(8), 1, 8);
        }
        return;
    case Act::PicW: m_pict.pic.width = clampInt(num, 0, 1 << 20); return;
    case Act::PicH: m_pict.pic.height = clampInt(num, 0, 1 << 20); return;
    case Act::PicWGoal: m_pict.pic.goalWidth = clampInt(num, 0, kMaxPictureTwips); return;
    case Act::PicHGoal: m_pict.pic.goalHeight = clampInt(num, 0, kMaxPictureTwips); return;
    case Act::PicScaleX: m_pict.pic.scaleX = clampInt(param(100), 1, 1000); return;
    case Act::PicScaleY: m_pict.pic.scaleY = clampInt(param(100), 1, 1000); return;
    case Act::PicBpp: m_pict.bpp = clampInt(num, 0, 32); return;
    case Act::PicWb: m_pict.rowBytes = clampInt(num, 0, 1 << 20); return;
    }
}

const FontInfo* Reader::fontFor(int32_t number) const
{
    auto it = m_fonts.find(number < 0 ? m_deff : number);
    if (it == m_fonts.end() && number >= 0)
        it = m_fonts.find(m_deff);
    return it == m_fonts.end() ? nullptr : &it->second;
}

const char16_t* Reader::codeTable(int32_t font)
{
    if (font == m_tableFont && m_table)
        return m_table;
    // Font names are in the document's code page (kDocumentTable), text in its font's.
    const FontInfo* info = font == kDocumentTable ? nullptr : fontFor(font);
    int cp = m_codepage;
    if (info) {
        if (info->charset == 2)
            cp = 2; // symbol fonts: bytes above 127 go to the private area, as the platform maps them
        else if (const int fontCp = codepageForCharset(info->charset))
            cp = fontCp;
    }
    auto it = m_tables.find(cp);
    if (it == m_tables.end()) {
        std::array<char16_t, 256> t{};
        if (cp == 2) {
            for (int i = 0; i < 256; ++i)
                t[size_t(i)] = char16_t(i < 0x80 ? i : 0xF000 + i);
        } else {
            QByteArray all(256, '\0');
            for (int i = 0; i < 256; ++i)
                all[i] = char(i);
            const QString decoded = decodeCodepage(all, cp);
            for (int i = 0; i < 256; ++i)
                t[size_t(i)] = decoded[i].unicode();
        }
        it = m_tables.emplace(cp, t).first;
    }
    m_tableFont = font;
    m_table = it->second.data();
    return m_table;
}

void Reader::textBytes(const unsigned char* p, qsizetype n)
{
    if (m_stack.empty())
        return;
    qsizetype i = 0;
    while (m_skip > 0 && i < n) {
        --m_skip;
        ++i;
    }
    if (i >= n)
        return;
    State& s = st();
    if (s.dest == Dest::Pict) {
        auto hex = [](unsigned char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        for (; i < n; ++i) {
            const int v = hex(p[i]);
            if (v < 0)
                continue;
            if (m_pict.nibble < 0) {
                m_pict.nibble = v;
            } else {
                m_pict.data.append(char(m_pict.nibble << 4 | v));
                m_pict.nibble = -1;
            }
        }
        return;
    }
    if (s.dest == Dest::Text && !s.chr.hidden) {
        const char16_t* table = codeTable(s.chr.font);
        m_textPara = s.para;
        if (m_pendingBreak || m_pendingTabs || !(m_runState == s.chr))
            docChar(table[p[i++]]);
        for (; i < n; ++i) {
            const unsigned char b = p[i];
            if (b == 0)
                continue;
            m_run.append(QChar(table[b]));
        }
        return;
    }
    const char16_t* table = codeTable(s.dest == Dest::FontTable ? kDocumentTable : s.chr.font);
    for (; i < n; ++i)
        emitChar(table[p[i]]);
}

void Reader::emitChar(char16_t ch)
{
    if (m_stack.empty())
        return;
    State& s = st();
    switch (s.dest) {
    case Dest::Text:
        if (!s.chr.hidden)
            docChar(ch);
        return;
    case Dest::FontTable:
        if (ch == u';')
            commitFont();
        else if (m_fontName.size() < 256) {
            m_fontName.append(QChar(ch));
        }
        return;
    case Dest::ColorTable:
        if (ch == u';' && int(m_colors.size()) < kMaxColors) {
            if (m_colorSet)
                m_colors.push_back(ColorRef(m_red | m_green << 8 | m_blue << 16));
            else
                m_colors.push_back(std::nullopt);
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
            m_formatCache.clear();
        }
        return;
    case Dest::FieldInst:
        if (s.field >= 0 && m_fields[size_t(s.field)].inst.size() < 4096)
            m_fields[size_t(s.field)].inst.append(QChar(ch));
        return;
    default: return;
    }
}

void Reader::docChar(char16_t ch)
{
    if (ch == 0)
        return;
    ensureBreak();
    const CharState& chr = st().chr;
    m_textPara = st().para;
    flushTabs(chr);
    if (!(m_runState == chr)) {
        flushRun();
        m_runState = chr;
    }
    m_run.append(QChar(ch));
}

const QTextCharFormat& Reader::formatFor(const CharState& s)
{
    auto it = m_formatCache.find(s);
    if (it != m_formatCache.end())
        return it->second;
    CharFormat cf;
    cf.mask = cfm::All;
    if (const FontInfo* font = fontFor(s.font)) {
        cf.faceName = font->face;
        cf.charset = font->charset;
        cf.pitchAndFamily = font->pitchAndFamily;
    } else {
        cf.faceName = m_defaultFace;
        cf.charset = kDefaultCharset;
    }
    cf.height = clampHeightTwips(int64_t(s.halfPoints) * 10);
    if (s.bold) cf.effects |= cfe::Bold;
    if (s.italic) cf.effects |= cfe::Italic;
    if (s.underline) cf.effects |= cfe::Underline;
    if (s.strike) cf.effects |= cfe::Strikeout;
    if (s.subSuper == 1) cf.effects |= cfe::Subscript;
    if (s.subSuper == 2) cf.effects |= cfe::Superscript;
    cf.weight = s.bold ? 700 : 400;
    if (s.color >= 0 && size_t(s.color) < m_colors.size() && m_colors[size_t(s.color)])
        cf.textColor = *m_colors[size_t(s.color)];
    else
        cf.effects |= cfe::AutoColor;
    if (s.back > 0 && size_t(s.back) < m_colors.size() && m_colors[size_t(s.back)])
        cf.backColor = *m_colors[size_t(s.back)];
    else
        cf.effects |= cfe::AutoBackColor;
    if (s.link >= 0 && size_t(s.link) < m_links.size()) {
        cf.effects |= cfe::Link;
        cf.linkTarget = m_links[size_t(s.link)];
    }
    QTextCharFormat format;
    applyCharFormat(format, cf);
    if (m_formatCache.size() > 4096)
        m_formatCache.clear();
    return m_formatCache.emplace(s, format).first->second;
}

void Reader::flushTabs(const CharState& chr)
{
    if (!m_pendingTabs)
        return;
    if (!(m_runState == chr))
        flushRun();
    m_runState = chr;
    m_run.append(QString(m_pendingTabs, u'\t'));
    m_pendingTabs = 0;
}

void Reader::flushRun()
{
    if (m_run.isEmpty())
        return;
    m_cursor.insertText(m_run, formatFor(m_runState));
    m_run.clear();
}

void Reader::ensureBreak()
{
    if (!m_pendingBreak)
        return;
    m_pendingBreak = false;
    flushRun();
    const CharState chr = m_stack.empty() ? CharState{} : st().chr;
    m_cursor.insertBlock(m_cursor.blockFormat(), formatFor(chr));
    m_blockInherits = true;
}

ParaFormat Reader::paraFormat(const ParaState& p) const
{
    ParaFormat pf;
    pf.mask = pfm::All;
    pf.alignment = p.align;
    pf.startIndent = clampInt(int64_t(p.li) + p.fi, 0, kMaxIndent);
    pf.offset = clampInt(-int64_t(p.fi), -kMaxIndent, kMaxIndent);
    uint16_t numbering = p.pn;
    if (p.ls > 0) {
        const auto ov = m_overrides.find(p.ls);
        const auto list = ov == m_overrides.end() ? m_lists.end() : m_lists.find(ov->second);
        if (list != m_lists.end() && !list->second.empty()) {
            const size_t level = std::min<size_t>(size_t(p.ilvl), list->second.size() - 1);
            numbering = numberingForNfc(list->second[level]);
        } else if (numbering == pfn::None) {
            numbering = pfn::Bullet; // a list we have no definition of
        }
    }
    pf.numbering = numbering;
    return pf;
}

void Reader::applyParagraph(const ParaState& para)
{
    const ParaFormat pf = paraFormat(para);
    if (m_blockInherits && pf == m_lastApplied)
        return;
    QTextCursor c(m_cursor);
    c.clearSelection();
    applyParaFormat(c, pf);
    m_lastApplied = pf;
}

void Reader::endParagraph()
{
    ensureBreak();
    flushRun();
    m_pendingTabs = 0;
    applyParagraph(st().para);
    m_pendingBreak = true;
}

void Reader::finishPict(State& s)
{
    PictBuild b = std::move(m_pict);
    m_pict = PictBuild{};
    if (b.kind == PkUnsupported || b.data.isEmpty() || s.chr.hidden || m_stack.empty())
        return;
    // Each picture costs the document a format and a resource, whatever its size: a file of
    // thousands of tiny pictures must not take memory far beyond its own size.
    if (!m_pictureRoom.take(kPictureCost))
        return;
    Picture pic = std::move(b.pic);
    pic.data = std::move(b.data);
    switch (b.kind) {
    case PkPng: pic.kind = PictureKind::Png; break;
    case PkJpeg: pic.kind = PictureKind::Jpeg; break;
    case PkDib: pic.kind = PictureKind::Dib; break;
    case PkWmf: pic.kind = PictureKind::Wmf; break;
    case PkEmf: pic.kind = PictureKind::Emf; break;
    case PkWbitmap: {
        // Device-dependent bits mean nothing on their own; they are kept as PNG.
        if (!m_budget.take(int64_t(pic.width) * pic.height))
            return;
        const QImage image = decodeDeviceBitmap(pic.data, pic.width, pic.height, b.bpp, b.rowBytes);
        if (image.isNull())
            return;
        Picture png = pictureFromImage(image);
        png.goalWidth = pic.goalWidth;
        png.goalHeight = pic.goalHeight;
        png.scaleX = pic.scaleX;
        png.scaleY = pic.scaleY;
        pic = std::move(png);
        break;
    }
    default:
        if (pic.data.startsWith("\x89PNG"))
            pic.kind = PictureKind::Png;
        else if (pic.data.startsWith("\xFF\xD8"))
            pic.kind = PictureKind::Jpeg;
        else
            return;
    }
    // A bitmap without its size in the file takes the size it decodes to.
    if ((pic.width <= 0 || pic.height <= 0) && pic.kind != PictureKind::Wmf && pic.kind != PictureKind::Emf) {
        if (const auto probe = pictureFromFileData(pic.kind == PictureKind::Dib ? QByteArray() : pic.data)) {
            pic.width = probe->width;
            pic.height = probe->height;
        }
    }
    // The picture belongs where the group that holds it stands.
    ensureBreak();
    const CharState chr = st().chr;
    m_textPara = st().para;
    flushTabs(chr);
    flushRun();
    insertPicture(m_cursor, pic, formatFor(chr), &m_budget);
}

void Reader::finish()
{
    // A truncated file: close what is open, so pictures and notes end as they would have.
    m_overflow = 0;
    while (!m_stack.empty())
        popGroup();
    flushRun();
    m_pendingTabs = 0;
    if (m_pendingBreak) {
        // The final paragraph mark of a document read at the end ends its last paragraph;
        // elsewhere the break is part of what was read.
        if (!m_cursor.atEnd())
            ensureBreak();
        m_pendingBreak = false;
        return;
    }
    // An unfinished last paragraph takes its format only when it holds nothing but what was
    // read (so pasting a few words into a paragraph leaves the paragraph as it was).
    const QTextBlock block = m_cursor.block();
    if (block.position() >= m_insertStart && m_cursor.position() == block.position() + block.length() - 1
        && m_cursor.position() > m_insertStart)
        applyParagraph(m_textPara);
}

} // namespace

bool readRtf(const QByteArray& bytes, QTextCursor& cursor)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    if (!QByteArrayView(bytes).sliced(start).startsWith("{\\rtf") || !cursor.document())
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Reader reader(bytes, cursor);
    reader.run(start);
    cursor.endEditBlock();
    return true;
}

} // namespace zorim
