#include "RtfWriterState.h"

#include "RtfKeptGroups.h"

#include "text/Codepage.h"

#include <QTextCharFormat>

// The character side of the RTF writer: the font and colour tables, the words that set a
// run's character format, and its text in the font's code page.

namespace zorim::rtfwrite {
namespace {

constexpr uint8_t kSymbolCharset = 2;

constexpr uint32_t kWrittenEffects = cfe::Bold | cfe::Italic | cfe::Underline | cfe::Strikeout | cfe::Subscript | cfe::Superscript;

// The character set a font is written with. Every \'hh byte of a run is in the code page of
// its font's written set, so the set must name a page we encode: a font whose set names none
// (DEFAULT_CHARSET above all, what typed text carries) is written as Eastern European, the
// document's own page.
uint8_t writtenCharset(uint8_t charset)
{
    if (charset == kSymbolCharset)
        return charset;
    const int codepage = codepageForCharset(charset);
    return codepage && isKnownCodepage(codepage) ? charset : kEastEuropeCharset;
}

int codepageOfWritten(uint8_t charset) { return codepageForCharset(writtenCharset(charset)); }

} // namespace

int Writer::fontIndex(const CharFormat& cf)
{
    FontKey key{cf.faceName.isEmpty() ? m_defaultFont.family() : cf.faceName, writtenCharset(cf.charset), cf.pitchAndFamily};
    auto it = m_fontIndex.find(key);
    if (it != m_fontIndex.end())
        return it->second;
    const int index = int(m_fonts.size());
    m_fonts.push_back(key);
    m_fontIndex.emplace(key, index);
    return index;
}

int Writer::colorIndex(ColorRef ref)
{
    const QColor color = colorFromRef(ref);
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    auto it = m_colorIndex.find(rgb);
    if (it != m_colorIndex.end())
        return it->second;
    m_colors.push_back(color);
    const int index = int(m_colors.size()); // entry 0 is the automatic colour
    m_colorIndex.emplace(rgb, index);
    return index;
}

void Writer::charState(const CharFormat& cf)
{
    Written want;
    want.font = cf.faceName.isEmpty() ? kNoFont : fontIndex(cf);
    // A height of 0: text whose file gave it no size, 12 points here.
    const bool sizeless = cf.height == 0;
    want.halfPoints = sizeless ? kDefaultHalfPoints : std::max(1, int((int64_t(cf.height) + 5) / 10));
    want.color = (cf.effects & cfe::AutoColor) ? 0 : colorIndex(cf.textColor);
    want.back = (cf.effects & cfe::AutoBackColor) ? 0 : colorIndex(cf.backColor);
    want.effects = cf.effects & kWrittenEffects;
    want.language = cf.language ? cf.language : kSlovakLanguage;
    if (m_runFormat) {
        want.rtl = m_runFormat->boolProperty(docprop::RtlRun);
        if (m_runFormat->hasProperty(docprop::AssocFace)) {
            CharFormat other;
            other.faceName = m_runFormat->stringProperty(docprop::AssocFace);
            const int bits = m_runFormat->intProperty(docprop::AssocFontBits);
            other.charset = uint8_t(bits & 0xFF);
            other.pitchAndFamily = uint8_t(bits >> 8);
            want.assocFont = fontIndex(other);
        }
        want.assocHalfPoints = m_runFormat->intProperty(docprop::AssocHalfPoints);
    }

    Written& have = m_written;
    if (sizeless && have.sizeStated && have.halfPoints < 0) {
        // A styled paragraph's first run, after sizes were written: \plain returns to no
        // size (there, as AbiWord misreads it after text) and to the reader's defaults of
        // everything else, which are said again.
        word("\\plain");
        if (m_inHidden)
            word("\\v"); // \plain ends hidden text too
        have = Written{};
        have.font = m_faceless ? kNoFont : -1;
        have.color = -1;
        have.language = 0;
        have.effectsStated = false;
    }
    want.sizeStated = have.sizeStated;
    if (sizeless && !have.sizeStated)
        have.halfPoints = want.halfPoints; // the reader has no size either
    constexpr uint32_t kOnOff = cfe::Bold | cfe::Italic | cfe::Underline | cfe::Strikeout;
    const uint32_t changed = (want.effects ^ have.effects) | (have.effectsStated ? 0 : kOnOff);
    auto flag = [&](uint32_t bit, const char* onWord, const char* offWord) {
        if (changed & bit)
            word((want.effects & bit) ? onWord : offWord);
    };
    flag(cfe::Bold, "\\b", "\\b0");
    flag(cfe::Italic, "\\i", "\\i0");
    flag(cfe::Underline, "\\ul", "\\ulnone");
    flag(cfe::Strikeout, "\\strike", "\\strike0");
    if (changed & (cfe::Subscript | cfe::Superscript)) {
        if (want.effects & cfe::Superscript)
            word("\\super");
        else if (want.effects & cfe::Subscript)
            word("\\sub");
        else
            word("\\nosupersub"); // not reached: scoped runs end with their group
    }
    if (want.font != have.font && want.font != kNoFont)
        word("\\f", want.font);
    if (want.halfPoints != have.halfPoints) {
        word("\\fs", want.halfPoints);
        want.sizeStated = true;
    }
    if (want.color != have.color)
        word("\\cf", want.color);
    if (want.back != have.back)
        word("\\highlight", want.back);
    if (want.language != have.language)
        word("\\lang", want.language);
    // A reader takes \af and \afs for the scripts of the direction \rtlch or \ltrch chose last
    // (LibreOffice: right to left, after \rtlch), so they go before the run's own direction.
    // One the run lacks is left as it was: no word says none.
    if (want.assocFont < 0)
        want.assocFont = have.assocFont;
    if (want.assocHalfPoints <= 0)
        want.assocHalfPoints = have.assocHalfPoints;
    if (want.assocFont != have.assocFont || want.assocHalfPoints != have.assocHalfPoints) {
        word("\\rtlch");
        if (want.assocFont != have.assocFont)
            word("\\af", want.assocFont);
        if (want.assocHalfPoints != have.assocHalfPoints)
            word("\\afs", want.assocHalfPoints);
        if (!want.rtl)
            word("\\ltrch");
    } else if (want.rtl != have.rtl) {
        word(want.rtl ? "\\rtlch" : "\\ltrch");
    }
    if (cf.noProof)
        word("\\noproof"); // within the run's own group (openScope)
    have = want;
}

void Writer::text(const QString& text, int codepage, bool symbol)
{
    for (const QChar qc : text) {
        const char16_t ch = qc.unicode();
        // Plain ASCII is written as it is; everything else needs no delimiter of its own.
        if (ch >= 0x20 && ch < 0x80 && ch != u'\\' && ch != u'{' && ch != u'}') {
            if (m_needSpace) {
                m_body += ' ';
                m_needSpace = false;
            }
            m_body += char(ch);
            continue;
        }
        switch (ch) {
        case u'\\': m_body += "\\\\"; m_needSpace = false; continue;
        case u'{': m_body += "\\{"; m_needSpace = false; continue;
        case u'}': m_body += "\\}"; m_needSpace = false; continue;
        case u'\t': word("\\tab"); continue;
        case 0x00A0: m_body += "\\~"; m_needSpace = false; continue;
        case 0x00AD: m_body += "\\-"; m_needSpace = false; continue;
        case 0x2011: m_body += "\\_"; m_needSpace = false; continue;
        case QChar::LineSeparator: word("\\line"); continue;
        default: break;
        }
        int byte = -1;
        if (symbol && ch >= 0xF080 && ch <= 0xF0FF)
            byte = ch - 0xF000;
        else if (!symbol && ch >= 0x80 && codepage > 0)
            byte = encodeCodepageChar(ch, codepage);
        if (byte >= 0x80) {
            m_body += "\\'";
            m_body += kHex[byte >> 4];
            m_body += kHex[byte & 0xF];
            m_needSpace = false;
        } else {
            // RTF numbers are signed 16-bit: characters above 32767 are written negative.
            m_body += "\\u";
            m_body += QByteArray::number(ch > 32767 ? int(ch) - 65536 : int(ch));
            m_body += '?';
            m_needSpace = false;
        }
    }
}

void Writer::run(const CharFormat& cf, const QString& str)
{
    if (str.isEmpty())
        return;
    if (!m_inHidden)
        enterField(cf);
    const bool scoped = openScope(cf);
    charState(cf);
    // After the run's own words: AbiWord gives a style named first the text before the group.
    if (const int32_t style = keptCharStyle(cf))
        word("\\cs", style);
    const bool symbol = cf.charset == kSymbolCharset;
    text(str, symbol ? 0 : codepageOfWritten(cf.charset), symbol);
    closeScope(scoped);
}

QByteArray Writer::renumbered(const KeptGroups& kept, const QByteArray& group)
{
    return rtf::renumberReferences(group, [&](rtf::Reference kind, int32_t number) -> std::optional<int32_t> {
        if (kind == rtf::Reference::Font) {
            const auto it = kept.fonts.find(number);
            if (it == kept.fonts.end())
                return std::nullopt; // a font the file's table lacked
            CharFormat cf;
            cf.faceName = it->second.face;
            cf.charset = it->second.charset;
            cf.pitchAndFamily = it->second.pitchAndFamily;
            return fontIndex(cf);
        }
        const auto it = kept.colors.find(number);
        if (it == kept.colors.end())
            return number == 0 ? std::optional<int32_t>(0) : std::nullopt; // automatic, with or without a table
        return it->second ? colorIndex(*it->second) : 0;
    });
}

QByteArray Writer::keptGroups(QByteArrayView destination)
{
    QByteArray out;
    for (const QByteArray& group : m_kept.groups) {
        const bool ownPlace = group.startsWith("{\\stylesheet ") || group.startsWith("{\\info ");
        if (destination.isEmpty() ? !ownPlace : group.startsWith(destination))
            out += renumbered(m_kept, group) + "\r\n";
    }
    return out;
}

QByteArray Writer::header()
{
    // The kept groups first: their fonts and colours join the tables.
    const QByteArray styles = keptGroups("{\\stylesheet ");
    const QByteArray info = keptGroups("{\\info ");
    const QByteArray sections = keptGroups({});
    QByteArray out = m_faceless ? "{\\rtf1\\ansi\\ansicpg1250\\deflang1051{\\fonttbl"
                                : "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl";
    if (m_fonts.empty() && !m_faceless) {
        CharFormat cf;
        cf.faceName = m_defaultFont.family();
        cf.charset = kEastEuropeCharset;
        fontIndex(cf);
    }
    for (size_t i = m_faceless ? 1 : 0; i < m_fonts.size(); ++i) {
        const FontKey& f = m_fonts[i];
        static const char* families[] = {"\\fnil", "\\froman", "\\fswiss", "\\fmodern", "\\fscript", "\\fdecor"};
        const int family = (f.pitchAndFamily >> 4) & 0xF;
        out += "{\\f" + QByteArray::number(int(i)) + (family <= 5 ? families[family] : "\\fnil");
        if (f.pitchAndFamily & 0x3)
            out += "\\fprq" + QByteArray::number(f.pitchAndFamily & 0x3);
        out += "\\fcharset" + QByteArray::number(f.charset) + ' ';
        Writer nameWriter(m_options);
        QString face = f.face;
        face.remove(u';'); // the name ends at the first semicolon
        // A font's name is in its own code page, as its text is.
        nameWriter.text(face, f.charset == kSymbolCharset ? kCp1250 : codepageForCharset(f.charset), false);
        out += nameWriter.m_body;
        out += ";}";
    }
    out += "}\r\n";
    if (!m_colors.empty()) {
        out += "{\\colortbl ;";
        for (const QColor& c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                   + QByteArray::number(c.blue()) + ';';
        out += "}\r\n";
    }
    out += styles + listTables() + info;
    const PageSetup& page = m_page;
    for (const auto& [word, value] : {std::pair<const char*, int32_t>{"\\paperw", page.paperWidth},
                                      {"\\paperh", page.paperHeight}, {"\\margl", page.marginLeft},
                                      {"\\margr", page.marginRight}, {"\\margt", page.marginTop},
                                      {"\\margb", page.marginBottom}}) {
        if (value >= 0)
            out += word + QByteArray::number(value);
    }
    if (page.landscape)
        out += "\\landscape";
    // The text's language said once where it begins: \deflang1051 says it too, but some
    // readers (LibreOffice) skip \deflang and would take the text for their own default language.
    out += m_kept.words + "\\viewkind4\\uc1";
    if (!sections.isEmpty())
        out += "\r\n" + sections;
    out += "\\lang1051";
    return out;
}

} // namespace zorim::rtfwrite
