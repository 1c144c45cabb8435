// Text and its code pages: bytes are decoded in the page of their font (a double-byte page's
// characters in pairs, UTF-8 fonts by sequence) and go where the group's destination puts text.
#include "RtfReader.h"

#include <algorithm>

namespace zorim::rtf {
namespace {

// Symbol fonts: bytes above 127 go to the private area, as the platform maps them.
const CodepageTable& symbolTable()
{
    static const CodepageTable table = [] {
        CodepageTable t;
        t.codepage = 0;
        t.leadIndex.fill(-1);
        for (int i = 0; i < 256; ++i)
            t.single[size_t(i)] = char16_t(i < 0x80 ? i : 0xF000 + i);
        return t;
    }();
    return table;
}

// Fonts in UTF-8 (\cpg65001): the table marks the page; the reader puts the sequences together.
constexpr int kUtf8Codepage = 65001;
const CodepageTable& utf8Table()
{
    static const CodepageTable table = [] {
        CodepageTable t;
        t.codepage = kUtf8Codepage;
        t.leadIndex.fill(-1);
        return t;
    }();
    return table;
}

} // namespace

const CodepageTable& Reader::tableForFont(int charset, int codepage) const
{
    if (charset == kSymbolCharset)
        return symbolTable();
    if (codepage == kUtf8Codepage)
        return utf8Table();
    if (codepage && isKnownCodepage(codepage))
        return codepageTable(codepage);
    const int cp = codepageForCharset(charset);
    return codepageTable(cp && isKnownCodepage(cp) ? cp : m_codepage);
}

bool Reader::singleBytePages() const
{
    if (m_singleBytePages < 0) {
        const auto single = [](const CodepageTable& t) { return !t.doubleByte() && t.codepage != kUtf8Codepage; };
        bool all = single(codepageTable(m_codepage));
        for (auto it = m_tables.fonts.begin(); all && it != m_tables.fonts.end(); ++it)
            all = single(tableForFont(it->second.charset, it->second.codepage));
        m_singleBytePages = all;
    }
    return m_singleBytePages != 0;
}

const CodepageTable& Reader::findTableFor(const State& s)
{
    // A font's name is in the font's own code page, as its text is.
    if (s.dest == Dest::FontTable)
        return tableForFont(m_fontProps[fp::Charset], m_fontProps[fp::Codepage]);
    const int32_t font = s.chr[cp::Font];
    const CodepageTable*& table = m_fontTables[font];
    if (!table) {
        const FontInfo* info = m_tables.font(font);
        table = info ? &tableForFont(info->charset, info->codepage) : &codepageTable(m_codepage);
    }
    m_table = table;
    m_tableFont = font;
    return *m_table;
}

void Reader::bytes(const unsigned char* p, qsizetype n)
{
    State& s = st();
    if (s.dest == Dest::Pict) {
        qsizetype i = 0;
        for (; m_skip > 0 && i < n; ++i)
            --m_skip;
        pictBytes(p + i, n - i);
        return;
    }
    const CodepageTable& table = tableFor(s);
    if (table.codepage == kUtf8Codepage)
        utf8Bytes(p, n);
    else if (!table.doubleByte())
        singleBytes(table, p, n);
    else
        doubleBytes(table, p, n);
}

void Reader::singleBytes(const CodepageTable& table, const unsigned char* p, qsizetype n)
{
    const State& s = st();
    qsizetype i = 0;
    for (; m_skip > 0 && i < n; ++i)
        --m_skip;
    if (i >= n)
        return;
    if (s.dest == Dest::Text && !s.chr[cp::Hidden]) {
        // The common case: a run of text in one format, straight into the document's run.
        QString& run = m_builder.runFor(s.chr, s.para);
        const qsizetype used = run.size();
        if (run.capacity() < used + (n - i))
            run.reserve(std::max(used + (n - i), 2 * run.capacity()));
        run.resize(used + (n - i));
        QChar* out = run.data() + used;
        for (; i < n; ++i) {
            if (p[i])
                *out++ = QChar(table.single[p[i]]);
        }
        if (out != run.constData() + run.size())
            run.truncate(out - run.constData()); // NUL bytes were left out
        return;
    }
    for (; i < n; ++i)
        emitChar(table.single[p[i]]);
}

void Reader::doubleBytes(const CodepageTable& table, const unsigned char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (m_lead >= 0) {
            const char32_t ch = table.pair(static_cast<unsigned char>(m_lead), b);
            m_lead = -1;
            if (ch == 0xFFFD && b < 0x80) {
                // Not a pair after all: the lead byte is lost, the ASCII byte after it is not.
                emitChar(0xFFFD);
                emitChar(b);
            } else {
                emitCodepoint(ch);
            }
            continue;
        }
        if (m_skipTrail) {
            // The second byte of a skipped pair: one more of the bytes \ucN counts. A pair
            // whose first byte used the count up goes whole, for writers that count pairs.
            m_skipTrail = false;
            if (m_skip > 0)
                --m_skip;
            continue;
        }
        if (m_skip > 0) {
            --m_skip;
            m_skipTrail = table.isLead(b);
            continue;
        }
        if (table.isLead(b))
            m_lead = b;
        else
            emitChar(table.single[b]);
    }
}

void Reader::utf8Bytes(const unsigned char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (m_skip > 0) {
            --m_skip;
            continue;
        }
        if (!m_utf8.isEmpty() && (b & 0xC0) != 0x80)
            dropLead(); // a sequence cut short
        if (b < 0x80) {
            emitChar(b);
            continue;
        }
        m_utf8.append(char(b));
        const unsigned char first = static_cast<unsigned char>(m_utf8[0]);
        const qsizetype length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
        if (m_utf8.size() < length)
            continue;
        for (const QChar ch : QString::fromUtf8(std::exchange(m_utf8, QByteArray())))
            emitChar(ch.unicode());
    }
}

void Reader::keepLabelTail(const State& s)
{
    const QString tail = std::exchange(m_labelTail, QString());
    if (!m_labelTab)
        return;
    for (const QChar ch : tail)
        m_builder.character(ch.unicode(), s.chr, s.para);
}

void Reader::dropLead()
{
    m_skipTrail = false;
    if (m_lead < 0 && m_utf8.isEmpty())
        return;
    m_lead = -1;
    m_utf8.clear();
    if (!m_stack.empty())
        emitChar(0xFFFD); // a first byte whose second never came
}

void Reader::emitCodepoint(char32_t ch)
{
    if (ch > 0xFFFF) {
        emitChar(QChar::highSurrogate(ch));
        emitChar(QChar::lowSurrogate(ch));
    } else {
        emitChar(char16_t(ch));
    }
}

void Reader::emitChar(char16_t ch)
{
    State& s = st();
    switch (s.dest) {
    case Dest::Text:
        if (!s.chr[cp::Hidden]) {
            m_builder.character(ch, s.chr, s.para);
        } else if (s.chr[cp::Hidden] == kKeptHidden) {
            m_hidden.append(QChar(ch));
            if (m_hidden.size() >= kMaxHiddenRun)
                keepHidden(s);
        }
        return;
    case Dest::BulletText:
        if (m_labelTail.size() < kMaxLabelText)
            m_labelTail.append(QChar(ch));
        return;
    case Dest::FontTable:
        if (ch == u';')
            commitFont();
        else if (m_fontName.size() < kMaxFaceName && !(m_fontName.isEmpty() && QChar::isSpace(ch)))
            m_fontName.append(QChar(ch));
        return;
    case Dest::ColorTable:
        if (ch == u';' && m_tables.colors.size() < kMaxColors) {
            if (m_colorSet)
                m_tables.colors.push_back(ColorRef(m_rgb[rgb::Red] | m_rgb[rgb::Green] << 8 | m_rgb[rgb::Blue] << 16));
            else
                m_tables.colors.push_back(std::nullopt);
            m_rgb = {};
            m_colorSet = false;
            m_builder.tablesChanged();
        }
        return;
    case Dest::FieldInst:
        if (s.field >= 0 && m_fieldInst[size_t(s.field)].size() < kMaxFieldInstruction)
            m_fieldInst[size_t(s.field)].append(QChar(ch));
        return;
    case Dest::Bookmark:
        if (m_bookmark.size() <= kMaxBookmarkName)
            m_bookmark.append(QChar(ch));
        return;
    case Dest::ShapeName:
        if (m_shapeName.size() < kMaxShapeName)
            m_shapeName.append(QChar(ch));
        return;
    case Dest::LevelText:
        if (m_levelText.size() < kMaxLevelText)
            m_levelText.append(QChar(ch));
        return;
    default: return;
    }
}

} // namespace zorim::rtf
