#include "Docx.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/Sections.h"
#include "richtext/document/TableFormat.h"
#include "richtext/formats/package/Languages.h"
#include "richtext/formats/package/Package.h"
#include "richtext/formats/package/Stated.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/RtfBuilder.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QImage>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace zorim::docx {
namespace {

using namespace Qt::StringLiterals;
using package::Xml;
using rtf::CharState;
using rtf::ParaState;
namespace cp = rtf::cp;
namespace pp = rtf::pp;
namespace tp = rtf::tp;

using package::Stated;
using package::hexColor;
using RunProps = Stated<cp::Count>;
using ParaProps = Stated<pp::Count>;

struct Style {
    QString basedOn;
    QString name;
    bool paragraph = true;
    RunProps run;
    ParaProps para;
    bool resolved = false;
    bool resolving = false;
};

int32_t number(QStringView text, int32_t min, int32_t max, int32_t fallback = 0)
{
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    if (!ok) {
        // Some writers give lengths with a fraction.
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return fallback;
        return int32_t(std::clamp<double>(d, min, max));
    }
    return int32_t(std::clamp<qlonglong>(n, min, max));
}

std::optional<ColorRef> highlightColor(QStringView name)
{
    static const std::pair<const char16_t*, uint32_t> kNames[] = {
        {u"yellow", 0xFFFF00}, {u"green", 0x00FF00}, {u"cyan", 0x00FFFF}, {u"magenta", 0xFF00FF},
        {u"blue", 0x0000FF}, {u"red", 0xFF0000}, {u"darkBlue", 0x000080}, {u"darkCyan", 0x008080},
        {u"darkGreen", 0x008000}, {u"darkMagenta", 0x800080}, {u"darkRed", 0x800000}, {u"darkYellow", 0x808000},
        {u"darkGray", 0x808080}, {u"lightGray", 0xC0C0C0}, {u"black", 0x000000}, {u"white", 0xFFFFFF}};
    for (const auto& [n, rgb] : kNames)
        if (name == QStringView(n))
            return ColorRef(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    return std::nullopt;
}

// An on/off property: no value, or anything but false, is on.
bool onOff(const Xml& x)
{
    const QString v = x.attr("w:val"_L1);
    return !(v == u"false" || v == u"0" || v == u"off" || v == u"none");
}

// How a list level's number is spelled.
uint16_t levelNumbering(QStringView format)
{
    if (format == u"upperRoman") return pfn::UpperRoman;
    if (format == u"lowerRoman") return pfn::LowerRoman;
    if (format == u"upperLetter") return pfn::UpperAlpha;
    if (format == u"lowerLetter") return pfn::LowerAlpha;
    if (format == u"none") return pfn::None;
    if (format == u"bullet") return pfn::Bullet;
    return pfn::Arabic;
}

// A level's label as the document keeps it: "%1." names the first level's number, which the
// document holds as the character U+0000.
QString labelText(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            out += QChar(char16_t(text[i + 1].unicode() - u'1'));
            ++i;
        } else if (text[i].unicode() >= 0x20) {
            out += text[i];
        }
    }
    return out;
}

constexpr int kMaxStyleChain = 32;
constexpr int kMaxSections = 10000;
constexpr int kMaxListLevels = 9;
constexpr int32_t kEmuPerTwip = 635;

class Reader {
public:
    Reader(package::Package& pkg, QTextCursor& cursor, qsizetype size)
        : m_pkg(pkg), m_cursor(cursor), m_builder(cursor, m_tables), m_budget(16'000'000 + 16 * int64_t(size))
    {
    }
    // A reader of a note's paragraphs into a document of their own, through the document's
    // reader's styles, fonts, colours and links (shared, not copied: a file of many notes costs
    // no more than its size).
    Reader(Reader& document, QTextCursor& cursor)
        : m_pkg(document.m_pkg), m_cursor(cursor), m_builder(cursor, document.m_tables), m_budget(document.m_budget),
          m_defaultParagraphStyle(document.m_defaultParagraphStyle), m_defaultRun(document.m_defaultRun),
          m_defaultPara(document.m_defaultPara)
    {
        m_document = &document;
    }

    // Reads the parts the body refers to; false when one is damaged.
    bool prepare(const QString& documentPart);
    void body(const QByteArray& xml, bool wholeDocument);
    const LeftOut& leftOut() const { return m_leftOut; }

private:
    // Parts beside the body.
    bool styles(const QByteArray& bytes);
    bool numbering(const QByteArray& bytes);
    void runProps(Xml& x, RunProps& out, QString* charStyle = nullptr);
    void paraProps(Xml& x, ParaProps& out, RunProps* markRun, QString* paraStyle = nullptr);
    const Style* style(const QString& id);
    int32_t fontIndex(const QString& face);
    int32_t colorIndex(ColorRef color);

    // The body.
    void blocks(Xml& x, int depth, int nesting);
    void paragraph(Xml& x, int depth, int nesting);
    void inlines(Xml& x, int depth, const ParaState& para, const RunProps& paraRun, int32_t link);
    void inlineElement(Xml& x, const ParaState& para, const RunProps& paraRun, int32_t link);
    void run(Xml& x, int depth, const ParaState& para, const RunProps& paraRun, int32_t link);
    void text(const QString& text, const CharState& chr, const ParaState& para);
    void drawing(Xml& x, int depth, const CharState& chr, const ParaState& para);
    void picture(const QString& relId, int32_t widthTwips, int32_t heightTwips, const CharState& chr,
                 const ParaState& para);
    void table(Xml& x, int depth, int nesting);
    // A section's page and how it starts, from its w:sectPr.
    void section(Xml& x, int depth, SectionSetup& setup);
    // A note's reference: the note, where its mark stands.
    void noteReference(const QString& id, bool endnote, const CharState& chr, const ParaState& para);
    // Each note of a notes part, its paragraphs read as a document of their own.
    bool notes(const QString& part, const QByteArray& bytes, bool endnotes);
    // Paragraph ends are held until what comes next is known: the last paragraph of a cell
    // ends with the cell.
    void releaseEnd();
    void dropped(uint32_t kind);
    // Content after a page break in its paragraph starts a paragraph on the next page.
    void breakBeforeContent(const CharState& chr, const ParaState& para)
    {
        if (std::exchange(m_breakAfterContent, false)) {
            m_builder.paragraphEnd(para, chr);
            m_builder.pageBreakNext();
        }
    }

    package::Package& m_pkg;
    QTextCursor& m_cursor;
    rtf::DocumentTables m_tables;
    rtf::DocumentBuilder m_builder;
    PictureBudget m_budget;
    LeftOut m_leftOut;
    QString m_part;
    package::Relationships m_rels;
    std::unordered_map<QString, Style> m_styles;
    QString m_defaultParagraphStyle;
    RunProps m_defaultRun;
    ParaProps m_defaultPara;
    std::unordered_map<QString, int32_t> m_fonts;
    std::unordered_map<QString, KeptGroups> m_footnotes, m_endnotes;
    std::unordered_map<QString, QString> m_bookmarks; // open bookmarks: id -> name
    bool m_shapeSeen = false; // a drawing shape whose text has not come (yet)
    std::vector<SectionSetup> m_sections; // each section's, in order (read ahead of the body)
    size_t m_section = 0;                 // the section being read
    bool m_sectionEnds = false;           // the paragraph being read ends its section

    struct HeldEnd {
        ParaState para;
        CharState chr;
        bool pageAfter = false; // a page break ended its content: the next paragraph starts a page
        bool sectionAfter = false; // it ends its section: the next paragraph starts the next one
    };
    std::optional<HeldEnd> m_held;
    bool m_paragraphHasContent = false;
    bool m_breakAfterContent = false; // a page break came after content: more content starts a paragraph
    int m_fieldDepth = 0;       // fields open (begin without end)
    bool m_inInstruction = false; // between a field's begin and its separator
    bool m_inCell = false;
    Reader* m_document = nullptr; // the document's reader, for a note's
    int m_tableDepth = 0; // the table whose cell is being read: 1 the outermost, 2 one in its cell
};

int32_t Reader::fontIndex(const QString& face)
{
    if (m_document)
        return m_document->fontIndex(face);
    if (face.trimmed().isEmpty())
        return -1; // a face with no name is none: the run keeps the face below it
    auto [it, fresh] = m_fonts.try_emplace(face, int32_t(m_fonts.size()));
    if (fresh) {
        rtf::FontInfo info;
        info.face = face;
        m_tables.fonts[it->second] = info;
    }
    return it->second;
}

int32_t Reader::colorIndex(ColorRef color)
{
    if (m_document)
        return m_document->colorIndex(color);
    if (m_tables.colors.empty())
        m_tables.colors.push_back(std::nullopt); // 0: automatic
    for (size_t i = 1; i < m_tables.colors.size(); ++i)
        if (m_tables.colors[i] == color)
            return int32_t(i);
    m_tables.colors.push_back(color);
    return int32_t(m_tables.colors.size() - 1);
}

void Reader::runProps(Xml& x, RunProps& out, QString* charStyle)
{
    const int depth = x.depth();
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:rStyle" && charStyle) {
            *charStyle = x.attr("w:val"_L1);
        } else if (n == u"w:rFonts") {
            QString face = x.attr("w:ascii"_L1);
            if (face.isEmpty())
                face = x.attr("w:hAnsi"_L1);
            if (!face.isEmpty())
                out.set(cp::Font, fontIndex(face));
        } else if (n == u"w:sz") {
            out.set(cp::HalfPoints, number(x.attr("w:val"_L1), 2, 3276, 24));
        } else if (n == u"w:b") {
            out.set(cp::Bold, onOff(x));
        } else if (n == u"w:i") {
            out.set(cp::Italic, onOff(x));
        } else if (n == u"w:u") {
            out.set(cp::Underline, onOff(x));
        } else if (n == u"w:strike" || n == u"w:dstrike") {
            out.set(cp::Strike, onOff(x));
        } else if (n == u"w:vanish") {
            out.set(cp::Hidden, onOff(x) ? rtf::kKeptHidden : 0);
        } else if (n == u"w:color") {
            const auto c = hexColor(x.attr("w:val"_L1));
            out.set(cp::Color, c ? colorIndex(*c) : 0);
        } else if (n == u"w:highlight") {
            const auto c = highlightColor(x.attr("w:val"_L1));
            out.set(cp::Back, c ? colorIndex(*c) : 0);
        } else if (n == u"w:shd") {
            if (const auto c = hexColor(x.attr("w:fill"_L1)))
                out.set(cp::Back, colorIndex(*c));
        } else if (n == u"w:vertAlign") {
            const QString v = x.attr("w:val"_L1);
            out.set(cp::SubSuper, v == u"subscript" ? 1 : v == u"superscript" ? 2 : 0);
        } else if (n == u"w:lang") {
            if (const uint16_t lang = package::languageOfTag(x.attr("w:val"_L1)))
                out.set(cp::Language, lang);
        } else if (n == u"w:noProof") {
            out.set(cp::NoProof, onOff(x));
        } else if (n == u"w:rtl") {
            out.set(cp::Rtl, onOff(x));
        }
    }
}

void Reader::paraProps(Xml& x, ParaProps& out, RunProps* markRun, QString* paraStyle)
{
    const int depth = x.depth();
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:pStyle" && paraStyle) {
            *paraStyle = x.attr("w:val"_L1);
        } else if (n == u"w:jc") {
            const QString v = x.attr("w:val"_L1);
            out.set(pp::Align, v == u"center"                    ? pfa::Center
                               : v == u"right" || v == u"end"    ? pfa::Right
                               : v == u"both" || v == u"distribute" ? pfa::Justify
                                                                 : pfa::Left);
        } else if (n == u"w:ind") {
            QString left = x.attr("w:left"_L1);
            if (left.isEmpty())
                left = x.attr("w:start"_L1);
            if (!left.isEmpty())
                out.set(pp::LeftIndent, number(left, -rtf::kMaxIndent, rtf::kMaxIndent));
            if (x.has("w:hanging"_L1))
                out.set(pp::FirstIndent, -number(x.attr("w:hanging"_L1), 0, rtf::kMaxIndent));
            else if (x.has("w:firstLine"_L1))
                out.set(pp::FirstIndent, number(x.attr("w:firstLine"_L1), -rtf::kMaxIndent, rtf::kMaxIndent));
        } else if (n == u"w:spacing") {
            if (x.has("w:before"_L1))
                out.set(pp::SpaceBefore, number(x.attr("w:before"_L1), 0, rtf::kMaxIndent));
            if (x.has("w:after"_L1))
                out.set(pp::SpaceAfter, number(x.attr("w:after"_L1), 0, rtf::kMaxIndent));
            if (x.has("w:line"_L1)) {
                const int32_t line = number(x.attr("w:line"_L1), 0, rtf::kMaxIndent);
                const QString rule = x.attr("w:lineRule"_L1);
                out.set(pp::LineSpacing, rule == u"exact" ? -line : line);
                out.set(pp::LineMultiple, rule.isEmpty() || rule == u"auto" ? 1 : 0);
            }
        } else if (n == u"w:pageBreakBefore") {
            out.set(pp::PageBreakBefore, onOff(x));
        } else if (n == u"w:outlineLvl") {
            const int32_t level = number(x.attr("w:val"_L1), 0, 9, 9);
            out.set(pp::OutlineLevel, level >= 9 ? -1 : level);
        } else if (n == u"w:numPr") {
            const int d = x.depth();
            while (x.child(d)) {
                if (x.qualified() == u"w:numId")
                    out.set(pp::List, number(x.attr("w:val"_L1), 0, INT32_MAX));
                else if (x.qualified() == u"w:ilvl")
                    out.set(pp::Level, number(x.attr("w:val"_L1), 0, kMaxListLevels - 1));
            }
        } else if (n == u"w:rPr" && markRun) {
            runProps(x, *markRun);
        } else if (n == u"w:sectPr") {
            m_sectionEnds = true; // its page was read ahead
            while (x.child(x.depth())) {
            }
        }
    }
}

bool Reader::styles(const QByteArray& bytes)
{
    Xml x(bytes);
    if (!x.child(0))
        return !x.failed();
    while (x.child(1)) {
        if (x.qualified() == u"w:docDefaults") {
            while (x.child(2)) {
                const bool run = x.qualified() == u"w:rPrDefault";
                while (x.child(3)) {
                    if (run && x.qualified() == u"w:rPr")
                        runProps(x, m_defaultRun);
                    else if (!run && x.qualified() == u"w:pPr")
                        paraProps(x, m_defaultPara, nullptr);
                }
            }
        } else if (x.qualified() == u"w:style") {
            const QString type = x.attr("w:type"_L1);
            if (type != u"paragraph" && type != u"character")
                continue;
            const QString id = x.attr("w:styleId"_L1);
            Style s;
            s.paragraph = type == u"paragraph";
            if (s.paragraph && onOff(x) && x.attr("w:default"_L1) == u"1")
                m_defaultParagraphStyle = id;
            while (x.child(2)) {
                const QStringView n = x.qualified();
                if (n == u"w:name")
                    s.name = x.attr("w:val"_L1);
                else if (n == u"w:basedOn")
                    s.basedOn = x.attr("w:val"_L1);
                else if (n == u"w:rPr")
                    runProps(x, s.run);
                else if (n == u"w:pPr")
                    paraProps(x, s.para, nullptr);
            }
            // Headings that state no outline level are outline levels by their name, as
            // word processors take them.
            if (s.paragraph && !s.para.v[pp::OutlineLevel] && s.name.startsWith(u"heading ", Qt::CaseInsensitive)) {
                const int level = number(QStringView(s.name).sliced(8), 1, 9, 0);
                if (level > 0)
                    s.para.set(pp::OutlineLevel, level - 1);
            }
            m_styles[id] = std::move(s);
        }
    }
    return !x.failed();
}

const Style* Reader::style(const QString& id)
{
    if (m_document)
        return m_document->style(id);
    auto it = m_styles.find(id);
    if (it == m_styles.end())
        return nullptr;
    Style& s = it->second;
    if (s.resolved || s.resolving)
        return &s;
    // The chain below the style first, each link once: a loop or a chain past reason stops.
    s.resolving = true;
    std::vector<Style*> chain{&s};
    for (QString next = s.basedOn; !next.isEmpty() && int(chain.size()) < kMaxStyleChain;) {
        auto below = m_styles.find(next);
        if (below == m_styles.end() || below->second.resolving)
            break;
        below->second.resolving = true;
        chain.push_back(&below->second);
        if (below->second.resolved)
            break;
        next = below->second.basedOn;
    }
    RunProps run;
    ParaProps para;
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        run.take((*link)->run);
        para.take((*link)->para);
    }
    s.run = run;
    s.para = para;
    for (Style* link : chain)
        link->resolving = false;
    s.resolved = true;
    return &s;
}

bool Reader::numbering(const QByteArray& bytes)
{
    Xml x(bytes);
    if (!x.child(0))
        return !x.failed();
    std::unordered_map<QString, ListLevels> abstracts;
    std::vector<std::pair<int32_t, QString>> nums;
    while (x.child(1)) {
        if (x.qualified() == u"w:abstractNum") {
            ListLevels& levels = abstracts[x.attr("w:abstractNumId"_L1)];
            levels.clear();
            for (int i = 0; i < kMaxListLevels; ++i)
                levels.push_back(plainListLevel(pfn::Arabic, i));
            while (x.child(2)) {
                if (x.qualified() != u"w:lvl")
                    continue;
                const int level = number(x.attr("w:ilvl"_L1), 0, kMaxListLevels - 1);
                ListLevel& l = levels[size_t(level)];
                std::optional<QString> label;
                while (x.child(3)) {
                    const QStringView n = x.qualified();
                    if (n == u"w:numFmt") {
                        l.numbering = levelNumbering(x.attr("w:val"_L1));
                    } else if (n == u"w:start") {
                        l.start = number(x.attr("w:val"_L1), 0, 32767, 1);
                    } else if (n == u"w:lvlText") {
                        label = labelText(x.attr("w:val"_L1));
                    } else if (n == u"w:pPr") {
                        while (x.child(4)) {
                            if (x.qualified() != u"w:ind")
                                continue;
                            QString left = x.attr("w:left"_L1);
                            if (left.isEmpty())
                                left = x.attr("w:start"_L1);
                            if (!left.isEmpty())
                                l.indent = number(left, 0, rtf::kMaxIndent);
                            if (x.has("w:hanging"_L1))
                                l.firstIndent = -number(x.attr("w:hanging"_L1), 0, rtf::kMaxIndent);
                            else if (x.has("w:firstLine"_L1))
                                l.firstIndent = number(x.attr("w:firstLine"_L1), -rtf::kMaxIndent, rtf::kMaxIndent);
                        }
                    }
                }
                l.text = label ? *label : plainListLevel(l.numbering, level).text;
            }
        } else if (x.qualified() == u"w:num") {
            const int32_t id = number(x.attr("w:numId"_L1), 0, INT32_MAX);
            QString abstract;
            while (x.child(2))
                if (x.qualified() == u"w:abstractNumId")
                    abstract = x.attr("w:val"_L1);
            nums.emplace_back(id, abstract);
        }
    }
    // Each numbering instance is a list of its own: the builder's list ids are the instances'.
    for (const auto& [id, abstract] : nums) {
        const auto levels = abstracts.find(abstract);
        if (id <= 0 || levels == abstracts.end())
            continue;
        m_tables.defineList(id, levels->second);
    }
    return !x.failed();
}

bool Reader::notes(const QString& part, const QByteArray& bytes, bool endnotes)
{
    Xml x(bytes);
    if (!x.child(0))
        return !x.failed();
    package::Relationships rels;
    if (!package::readRelationships(m_pkg, part, rels))
        return false;
    const QLatin1StringView name(endnotes ? "w:endnote" : "w:footnote");
    auto& out = endnotes ? m_endnotes : m_footnotes;
    while (x.child(1)) {
        // The separators between the text and the notes are the page's, not notes.
        if (x.qualified() != name || !x.attr("w:type"_L1).isEmpty())
            continue;
        const QString id = x.attr("w:id"_L1);
        QTextDocument content;
        QTextCursor cursor(&content);
        Reader reader(*this, cursor);
        reader.m_rels = rels;
        reader.m_part = part;
        reader.blocks(x, x.depth(), 0);
        reader.releaseEnd();
        reader.m_builder.finish(CharState{});
        m_leftOut.dropped |= reader.m_leftOut.dropped;
        m_leftOut.pictures += reader.m_leftOut.pictures;
        m_budget = reader.m_budget; // the notes' pictures come out of the document's budget
        out[id] = noteContentOf(content);
    }
    return !x.failed();
}

bool Reader::prepare(const QString& documentPart)
{
    m_part = documentPart;
    if (!package::readRelationships(m_pkg, documentPart, m_rels))
        return false;
    // Notes are read after the styles their paragraphs name.
    std::vector<std::pair<QString, bool>> noteParts;
    for (const package::Relationship& r : std::as_const(m_rels)) {
        if (r.external)
            continue;
        const auto read = [&](auto&& take) {
            const std::optional<QByteArray> bytes = m_pkg.part(r.target);
            return m_pkg.contains(r.target) ? bytes && take(*bytes) : true;
        };
        bool ok = true;
        if (r.type.endsWith(u"/footnotes") || r.type.endsWith(u"/endnotes"))
            noteParts.emplace_back(r.target, r.type.endsWith(u"/endnotes"));
        else if (r.type.endsWith(u"/styles"))
            ok = read([&](const QByteArray& b) { return styles(b); });
        else if (r.type.endsWith(u"/numbering"))
            ok = read([&](const QByteArray& b) { return numbering(b); });
        else if (r.type.endsWith(u"/header") || r.type.endsWith(u"/footer"))
            m_leftOut.dropped |= leftout::HeadersFooters;
        else if (r.type.endsWith(u"/comments"))
            m_leftOut.dropped |= leftout::Comments;
        if (!ok)
            return false;
    }
    for (const auto& [part, endnotes] : noteParts) {
        if (!m_pkg.contains(part))
            continue;
        const std::optional<QByteArray> bytes = m_pkg.part(part);
        if (!bytes || !notes(part, *bytes, endnotes))
            return false;
    }
    return true;
}

void Reader::releaseEnd()
{
    if (m_held) {
        m_builder.paragraphEnd(m_held->para, m_held->chr);
        if (m_held->pageAfter)
            m_builder.pageBreakNext();
        if (m_held->sectionAfter && m_section + 1 < m_sections.size())
            m_builder.sectionStart(m_sections[++m_section]);
    }
    m_held.reset();
}

void Reader::text(const QString& text, const CharState& chr, const ParaState& para)
{
    if (text.isEmpty())
        return;
    breakBeforeContent(chr, para);
    m_paragraphHasContent = true;
    if (chr[cp::Hidden] == rtf::kKeptHidden) {
        m_builder.hidden(text, chr, para);
        return;
    }
    QString& out = m_builder.runFor(chr, para);
    for (QChar c : text)
        if (c != QChar::Null)
            out += c;
}

void Reader::picture(const QString& relId, int32_t widthTwips, int32_t heightTwips, const CharState& chr,
                     const ParaState& para)
{
    const auto rel = m_rels.constFind(relId);
    if (rel == m_rels.constEnd() || rel->external || !m_pkg.contains(rel->target))
        return;
    const std::optional<QByteArray> bytes = m_pkg.part(rel->target);
    if (!bytes)
        return; // the part is damaged: the whole read fails
    std::optional<Picture> pic = pictureFromFileData(*bytes);
    if (!pic) {
        // Kinds the document keeps as PNG (GIF, TIFF, WEBP, SVG, ...), when Qt can draw them
        // within the budget.
        QImage image;
        if (image.loadFromData(*bytes) && m_budget.take(int64_t(image.width()) * image.height()))
            pic = pictureFromImage(image);
    }
    if (!pic) {
        ++m_leftOut.pictures;
        return;
    }
    if (widthTwips > 0 && heightTwips > 0) {
        pic->goalWidth = std::min(widthTwips, kMaxPictureTwips);
        pic->goalHeight = std::min(heightTwips, kMaxPictureTwips);
    }
    breakBeforeContent(chr, para);
    m_paragraphHasContent = true;
    m_builder.picture(*pic, chr, para, m_budget);
}

void Reader::drawing(Xml& x, int depth, const CharState& chr, const ParaState& para)
{
    // A picture (a:blip) at its extent, or a text box whose paragraphs stand here; a chart or
    // a shape with no text is dropped, and said so.
    int32_t width = 0, height = 0;
    m_shapeSeen = false;
    while (x.next() && x.depth() >= depth) {
        if (x.isEnd()) {
            if (x.depth() < depth)
                break;
            continue;
        }
        if (!x.isStart())
            continue;
        const QStringView n = x.qualified();
        if (n == u"wp:extent") {
            width = int32_t(std::clamp<int64_t>(number(x.attr("cx"_L1), 0, INT32_MAX) / kEmuPerTwip, 0, kMaxPictureTwips));
            height = int32_t(std::clamp<int64_t>(number(x.attr("cy"_L1), 0, INT32_MAX) / kEmuPerTwip, 0, kMaxPictureTwips));
        } else if (n == u"a:graphicData") {
            const QString uri = x.attr("uri"_L1);
            if (uri.endsWith(u"/chart") || uri.contains(u"chartex"))
                m_leftOut.dropped |= leftout::Objects;
            else if (uri.endsWith(u"/wordprocessingShape") || uri.endsWith(u"/wordprocessingGroup"))
                m_shapeSeen = true;
        } else if (n == u"w:txbxContent") {
            // The box's paragraphs come after what its anchor's paragraph holds so far; its
            // shape itself is not kept, its text is.
            m_shapeSeen = false;
            if (m_paragraphHasContent) {
                m_builder.paragraphEnd(para, chr);
                m_paragraphHasContent = false;
            }
            blocks(x, x.depth(), 1);
            releaseEnd();
        } else if (n == u"a:blip") {
            picture(x.attr("r:embed"_L1), width, height, chr, para);
        } else if (n == u"v:imagedata") {
            picture(x.attr("r:id"_L1), 0, 0, chr, para);
        } else if (n == u"mc:Choice") {
            // What a writer offers in two forms is read from the one every reader takes.
            const int d = x.depth();
            while (x.child(d)) {
            }
        }
    }
    if (m_shapeSeen)
        dropped(leftout::Drawings);
}

void Reader::dropped(uint32_t kind) { m_leftOut.dropped |= kind; }

void Reader::noteReference(const QString& id, bool endnote, const CharState& chr, const ParaState& para)
{
    const auto& notes = endnote ? m_endnotes : m_footnotes;
    const auto it = notes.find(id);
    if (it == notes.end())
        return;
    breakBeforeContent(chr, para);
    m_paragraphHasContent = true;
    CharState mark = chr;
    mark[cp::Hidden] = 0;
    m_builder.note(Note{it->second, endnote, false}, mark, para);
}

void Reader::run(Xml& x, int depth, const ParaState& para, const RunProps& paraRun, int32_t link)
{
    RunProps props = paraRun;
    CharState chr;
    bool stated = false;
    const auto state = [&]() -> const CharState& {
        if (!stated) {
            chr = CharState{};
            props.applyTo(chr);
            chr[cp::Link] = link;
            stated = true;
        }
        return chr;
    };
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:rPr") {
            // The character style goes under the run's own properties.
            RunProps own;
            QString charStyle;
            runProps(x, own, &charStyle);
            if (const Style* s = charStyle.isEmpty() ? nullptr : style(charStyle))
                props.take(s->run);
            props.take(own);
            stated = false;
        } else if (n == u"w:t") {
            const QString t = x.text();
            if (!m_inInstruction)
                text(t, state(), para);
        } else if (n == u"w:tab") {
            text(QStringLiteral("\t"), state(), para);
        } else if (n == u"w:br") {
            const QString type = x.attr("w:type"_L1);
            if (type == u"page") {
                if (m_paragraphHasContent)
                    m_breakAfterContent = true;
                else
                    m_builder.pageBreakNext();
            } else if (type != u"column") {
                text(QString(QChar::LineSeparator), state(), para);
            }
        } else if (n == u"w:cr") {
            text(QString(QChar::LineSeparator), state(), para);
        } else if (n == u"w:noBreakHyphen") {
            text(QString(QChar(0x2011)), state(), para);
        } else if (n == u"w:softHyphen") {
            text(QString(QChar(0x00AD)), state(), para);
        } else if (n == u"w:sym") {
            const uint code = x.attr("w:char"_L1).toUInt(nullptr, 16);
            if (code > 0 && code < 0xFFFF)
                text(QString(QChar(char16_t(code))), state(), para);
        } else if (n == u"w:fldChar") {
            const QString type = x.attr("w:fldCharType"_L1);
            if (type == u"begin") {
                ++m_fieldDepth;
                m_inInstruction = true;
            } else if (type == u"separate") {
                m_inInstruction = false;
            } else if (type == u"end") {
                m_fieldDepth = std::max(0, m_fieldDepth - 1);
                m_inInstruction = false;
            }
        } else if (n == u"w:drawing" || n == u"w:pict" || n == u"w:object" || n == u"mc:AlternateContent") {
            drawing(x, x.depth(), state(), para);
        } else if (n == u"w:footnoteReference" || n == u"w:endnoteReference") {
            noteReference(x.attr("w:id"_L1), n == u"w:endnoteReference", state(), para);
        }
    }
}

void Reader::inlines(Xml& x, int depth, const ParaState& para, const RunProps& paraRun, int32_t link)
{
    while (x.child(depth))
        inlineElement(x, para, paraRun, link);
}

void Reader::inlineElement(Xml& x, const ParaState& para, const RunProps& paraRun, int32_t link)
{
    const QStringView n = x.qualified();
    if (n == u"w:r") {
        run(x, x.depth(), para, paraRun, link);
    } else if (n == u"w:hyperlink") {
        int32_t target = link;
        const auto rel = m_rels.constFind(x.attr("r:id"_L1));
        if (rel != m_rels.constEnd() && rel->external) {
            rtf::DocumentTables& tables = m_document ? m_document->m_tables : m_tables;
            tables.links.push_back(rel->target);
            target = int32_t(tables.links.size() - 1);
        }
        inlines(x, x.depth(), para, paraRun, target);
    } else if (n == u"w:ins" || n == u"w:smartTag" || n == u"w:customXml" || n == u"w:sdt" || n == u"w:sdtContent" ||
               n == u"w:fldSimple" || n == u"w:moveTo" || n == u"w:dir" || n == u"w:bdo" ||
               n == u"mc:AlternateContent" || n == u"mc:Fallback") {
        inlines(x, x.depth(), para, paraRun, link);
    } else if (n == u"m:oMath" || n == u"m:oMathPara") {
        dropped(leftout::Objects);
        while (x.child(x.depth())) {
        }
    } else if (n == u"w:bookmarkStart" || n == u"w:bookmarkEnd") {
        CharState chr;
        paraRun.applyTo(chr);
        chr[cp::Hidden] = 0;
        if (n == u"w:bookmarkStart") {
            const QString name = x.attr("w:name"_L1);
            if (!name.isEmpty() && name != u"_GoBack" && m_bookmarks.size() < 65536) {
                m_bookmarks[x.attr("w:id"_L1)] = name;
                m_builder.bookmark(name, true, chr, para);
            }
        } else if (const auto it = m_bookmarks.find(x.attr("w:id"_L1)); it != m_bookmarks.end()) {
            m_builder.bookmark(it->second, false, chr, para);
            m_bookmarks.erase(it);
        }
    }
    // Deleted text (w:del, w:moveFrom), choices offered in another form as well (mc:Choice)
    // and what the document has no place for are passed over.
}

void Reader::paragraph(Xml& x, int depth, int nesting)
{
    ParaProps props = m_defaultPara;
    ParaProps direct;
    RunProps paraRun = m_defaultRun;
    RunProps mark;
    QString styleId = m_defaultParagraphStyle;
    bool started = false;
    ParaState para;
    const auto start = [&] {
        if (std::exchange(started, true))
            return;
        if (const Style* s = styleId.isEmpty() ? nullptr : style(styleId)) {
            props.take(s->para);
            paraRun.take(s->run);
        }
        props.take(direct);
        props.applyTo(para);
        para[pp::InTable] = m_inCell && nesting == 0 ? 1 : 0;
        para[pp::Depth] = m_inCell && nesting == 0 && m_tableDepth > 1 ? m_tableDepth : 0;
        releaseEnd();
        m_paragraphHasContent = false;
        m_breakAfterContent = false;
    };
    bool endsSection = false;
    while (x.child(depth)) {
        if (x.qualified() == u"w:pPr" && !started) {
            m_sectionEnds = false;
            paraProps(x, direct, &mark, &styleId);
            endsSection = m_sectionEnds && !m_inCell && nesting == 0 && !m_document;
            continue;
        }
        start();
        inlineElement(x, para, paraRun, -1);
    }
    start();
    CharState chr;
    RunProps markRun = paraRun;
    markRun.take(mark);
    markRun.applyTo(chr);
    chr[cp::Hidden] = 0;
    m_held = HeldEnd{para, chr, std::exchange(m_breakAfterContent, false), endsSection};
}

void Reader::blocks(Xml& x, int depth, int nesting)
{
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:p")
            paragraph(x, x.depth(), nesting);
        else if (n == u"w:tbl")
            table(x, x.depth(), nesting);
        else if (n == u"w:sdt" || n == u"w:sdtContent" || n == u"w:customXml" || n == u"w:ins" || n == u"w:moveTo")
            blocks(x, x.depth(), nesting);
        else if (n == u"w:sectPr")
            while (x.child(x.depth())) {
            } // the last section's: read ahead
    }
}

void Reader::section(Xml& x, int depth, SectionSetup& setup)
{
    PageSetup& page = setup.page;
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:pgSz") {
            page.paperWidth = number(x.attr("w:w"_L1), 1, rtf::kMaxPageTwips, -1);
            page.paperHeight = number(x.attr("w:h"_L1), 1, rtf::kMaxPageTwips, -1);
            page.landscape = x.attr("w:orient"_L1) == u"landscape";
        } else if (n == u"w:pgMar") {
            page.marginLeft = number(x.attr("w:left"_L1), 0, rtf::kMaxPageTwips, -1);
            page.marginRight = number(x.attr("w:right"_L1), 0, rtf::kMaxPageTwips, -1);
            page.marginTop = std::abs(number(x.attr("w:top"_L1), -rtf::kMaxPageTwips, rtf::kMaxPageTwips, -1));
            page.marginBottom = std::abs(number(x.attr("w:bottom"_L1), -rtf::kMaxPageTwips, rtf::kMaxPageTwips, -1));
        } else if (n == u"w:type") {
            const QString v = x.attr("w:val"_L1);
            setup.breakKind = v == u"continuous" ? sbk::None : v == u"nextColumn" ? sbk::Column
                              : v == u"evenPage"  ? sbk::Even : v == u"oddPage" ? sbk::Odd : sbk::Page;
        } else if (n == u"w:cols") {
            setup.columns = number(x.attr("w:num"_L1), 1, 16, 1);
        }
    }
}

void Reader::table(Xml& x, int depth, int nesting)
{
    // A table in a cell of a table is a table of the cell; one deeper stays text in its cell,
    // cells after tabs and rows as paragraphs.
    const int level = nesting == 0 ? m_tableDepth + 1 : tableprop::kMaxTableDepth + 1;
    ParaState levelPara;
    levelPara[pp::InTable] = 1;
    levelPara[pp::Depth] = level;
    rtf::TableBuilder* rows = level <= tableprop::kMaxTableDepth ? m_builder.definitionFor(levelPara, level > 1) : nullptr;
    const bool nested = !rows || !rows->enabled();
    const bool inner = !nested && level > 1; // its cells and rows end as a table's in a cell
    const int wasDepth = m_tableDepth;
    std::vector<int32_t> grid;
    int32_t indent = 0;
    const bool wasInCell = m_inCell;
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"w:tblPr") {
            const int d = x.depth();
            while (x.child(d))
                if (x.qualified() == u"w:tblInd")
                    indent = number(x.attr("w:w"_L1), -rtf::kMaxIndent, rtf::kMaxIndent);
        } else if (n == u"w:tblGrid") {
            const int d = x.depth();
            while (x.child(d))
                if (x.qualified() == u"w:gridCol" && grid.size() < size_t(rtf::kMaxTableColumns))
                    grid.push_back(number(x.attr("w:w"_L1), 0, rtf::kMaxPageTwips));
        } else if (n == u"w:tr") {
            if (!nested) {
                releaseEnd();
                rows->expectCells(std::max<int>(1, int(grid.size())));
                rows->rowDefaults();
                rows->word(tp::RowLeft, indent);
            }
            int column = 0;
            int32_t right = indent;
            ParaState cellPara;
            cellPara[pp::InTable] = nested ? 0 : 1;
            cellPara[pp::Depth] = inner ? level : 0;
            CharState cellChr;
            const int rd = x.depth();
            while (x.child(rd)) {
                const QStringView rn = x.qualified();
                if (rn == u"w:trPr") {
                    const int d = x.depth();
                    while (x.child(d)) {
                        if (nested)
                            continue;
                        if (x.qualified() == u"w:tblHeader" && onOff(x))
                            rows->word(tp::RowHeader, 1);
                        else if (x.qualified() == u"w:trHeight") {
                            const int32_t h = number(x.attr("w:val"_L1), 0, rtf::kMaxPageTwips);
                            rows->word(tp::RowHeight, x.attr("w:hRule"_L1) == u"exact" ? -h : h);
                        }
                    }
                    continue;
                }
                if (rn != u"w:tc")
                    continue;
                int span = 1;
                int32_t merge = 0;
                int32_t shading = 0;
                // The cell's properties come first, then its paragraphs.
                m_inCell = true;
                if (!nested)
                    m_tableDepth = level;
                bool contentStarted = false;
                const int cd = x.depth();
                while (x.child(cd)) {
                    const QStringView cn = x.qualified();
                    if (cn == u"w:tcPr" && !contentStarted) {
                        const int d = x.depth();
                        while (x.child(d)) {
                            if (x.qualified() == u"w:gridSpan")
                                span = number(x.attr("w:val"_L1), 1, rtf::kMaxTableColumns, 1);
                            else if (x.qualified() == u"w:vMerge")
                                merge = x.attr("w:val"_L1) == u"restart" ? 1 : 2;
                            else if (x.qualified() == u"w:shd")
                                if (const auto c = hexColor(x.attr("w:fill"_L1)))
                                    shading = colorIndex(*c);
                        }
                        continue;
                    }
                    contentStarted = true;
                    if (cn == u"w:p")
                        paragraph(x, x.depth(), nested ? nesting + 1 : 0);
                    else if (cn == u"w:tbl")
                        table(x, x.depth(), nested ? nesting + 1 : 0);
                    else if (cn == u"w:sdt" || cn == u"w:sdtContent" || cn == u"w:customXml")
                        blocks(x, x.depth(), nested ? nesting + 1 : 0);
                }
                m_inCell = wasInCell;
                m_tableDepth = wasDepth;
                // The cell's edges: each grid column it spans is a cell of its own, the ones
                // after the first merged into it.
                for (int part = 0; part < span; ++part) {
                    if (!nested) {
                        const int32_t width = size_t(column) < grid.size() ? grid[size_t(column)] : 0;
                        right = int32_t(std::clamp<int64_t>(int64_t(right) + width, -rtf::kMaxPageTwips, 4 * rtf::kMaxPageTwips));
                        if (span > 1)
                            rows->word(tp::MergeH, part == 0 ? 1 : 2);
                        if (merge)
                            rows->word(tp::MergeV, merge);
                        if (shading)
                            rows->word(tp::Shading, shading);
                        rows->word(tp::CellX, right);
                    }
                    ++column;
                    const HeldEnd end = m_held.value_or(HeldEnd{cellPara, cellChr});
                    m_held.reset();
                    cellPara = end.para;
                    cellChr = end.chr;
                    if (!nested) {
                        cellPara[pp::InTable] = 1;
                        cellPara[pp::Depth] = inner ? level : 0;
                    }
                    m_builder.cellEnd(cellPara, cellChr, nested || inner);
                }
            }
            if (!nested) {
                // Cells the row leaves out of its grid are empty ones.
                for (; column < int(grid.size()); ++column)
                    m_builder.cellEnd(cellPara, cellChr, inner);
            }
            m_builder.rowEnd(cellPara, cellChr, nested || inner);
        }
    }
    if (rows)
        rows->expectCells(0);
}

void Reader::body(const QByteArray& bytes, bool wholeDocument)
{
    // Each section's page is stated where the section ends; they are read first, so that each
    // section's record is known where it starts.
    {
        Xml scan(bytes);
        while (scan.next())
            if (scan.isStart() && scan.qualified() == u"w:sectPr" && m_sections.size() < size_t(kMaxSections)) {
                m_sections.emplace_back();
                section(scan, scan.depth(), m_sections.back());
            }
    }
    Xml x(bytes);
    if (!x.child(0))
        return;
    while (x.child(1))
        if (x.qualified() == u"w:body")
            blocks(x, 2, 0);
    releaseEnd();
    m_builder.finish(CharState{});
    if (!m_tables.fields.empty())
        m_builder.keepFieldsWithinParagraphs();
    m_builder.placeSections();
    if (wholeDocument && !m_sections.empty())
        applyPageSetup(*m_cursor.document(), m_sections.front().page); // the first section's is the document's
}

// Every XML part the read takes is read through once before the document is touched, so a
// damaged one leaves the document as it was.
bool wellFormed(const QByteArray& bytes)
{
    Xml x(bytes);
    while (x.next()) {
    }
    return !x.failed();
}

} // namespace
} // namespace zorim::docx

namespace zorim {

bool readDocx(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut)
{
    if (!cursor.document())
        return false;
    package::Package pkg(bytes);
    if (!pkg.valid())
        return false;
    QString main = package::packageTarget(pkg, QStringLiteral("officeDocument"));
    if (main.isEmpty())
        main = QStringLiteral("word/document.xml");
    if (!pkg.contains(main))
        return false;
    const std::optional<QByteArray> body = pkg.part(main);
    if (!body || !docx::wellFormed(*body))
        return false;
    const bool wholeDocument = cursor.document()->isEmpty() && !cursor.hasSelection();
    docx::Reader reader(pkg, cursor, bytes.size());
    if (!reader.prepare(main))
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    reader.body(*body, wholeDocument);
    const bool ok = !pkg.damaged();
    cursor.endEditBlock();
    if (leftOut)
        *leftOut = reader.leftOut();
    return ok;
}

} // namespace zorim
