#include "Odt.h"

#include "richtext/document/DocFormats.h"
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
#include <cmath>
#include <functional>
#include <unordered_map>

namespace zorim {
namespace odt {
namespace {

using namespace Qt::StringLiterals;
using package::Xml;
using rtf::CharState;
using rtf::ParaState;
namespace cp = rtf::cp;
namespace pp = rtf::pp;
namespace tp = rtf::tp;
using RunProps = package::Stated<cp::Count>;
using ParaProps = package::Stated<pp::Count>;

constexpr int kMaxStyleChain = 32;
constexpr int kMaxListLevels = 9;
constexpr int kMaxRepeat = 1000; // rows or cells one element may stand for

// A length ("2.5cm", "12pt", "0.5in") in twips; nothing for what is no length.
std::optional<int32_t> twips(QStringView text)
{
    static const std::pair<const char16_t*, double> kUnits[] = {
        {u"in", 1440.0}, {u"cm", 1440.0 / 2.54}, {u"mm", 144.0 / 2.54}, {u"pt", 20.0}, {u"pc", 240.0}, {u"px", 15.0}};
    for (const auto& [unit, factor] : kUnits) {
        if (!text.endsWith(QStringView(unit)))
            continue;
        bool ok = false;
        const double v = text.chopped(2).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        return int32_t(std::clamp(std::round(v * factor), -4.0 * rtf::kMaxPageTwips, 4.0 * rtf::kMaxPageTwips));
    }
    return std::nullopt;
}

// How a list level's number is spelled; none for a level without a number.
uint16_t numberingOf(QStringView format)
{
    if (format == u"1") return pfn::Arabic;
    if (format == u"I") return pfn::UpperRoman;
    if (format == u"i") return pfn::LowerRoman;
    if (format == u"A") return pfn::UpperAlpha;
    if (format == u"a") return pfn::LowerAlpha;
    return pfn::None;
}

struct Style {
    QString parent;
    QString listStyle;
    RunProps run;
    ParaProps para;
    int32_t outline = -1;
    int32_t columnWidth = 0;     // a table column's
    std::optional<ColorRef> cellBackground;
    bool resolved = false, resolving = false;
};

struct HeldEnd {
    ParaState para;
    CharState chr;
};

class Reader {
public:
    Reader(package::Package* pkg, QTextCursor& cursor, qsizetype size)
        : m_pkg(pkg), m_cursor(cursor), m_builder(cursor, m_tables), m_budget(16'000'000 + 16 * int64_t(size))
    {
    }
    // A reader of a note's paragraphs into a document of their own, through the document's
    // reader's styles, fonts, colours, lists and links (shared, not copied: a file of many notes
    // costs no more than its size).
    Reader(Reader& document, QTextCursor& cursor)
        : m_pkg(document.m_pkg), m_cursor(cursor), m_builder(cursor, document.m_tables), m_budget(document.m_budget),
          m_defaultRun(document.m_defaultRun), m_defaultPara(document.m_defaultPara), m_inNote(true)
    {
        m_document = &document;
    }
    // One XML document of the package, or the flat document: its styles, then its body.
    void document(Xml& x, bool body);
    void finish(bool wholeDocument);
    const LeftOut& leftOut() const { return m_leftOut; }

private:
    void fonts(Xml& x, int depth);
    void styles(Xml& x, int depth);
    void style(Xml& x, Style& s);
    void listStyle(Xml& x, const QString& name);
    void pageLayout(Xml& x, const QString& name);
    const Style* resolved(const QString& name);
    int32_t fontIndex(const QString& face);
    int32_t colorIndex(ColorRef color);

    void blocks(Xml& x, int depth, int nesting);
    void paragraph(Xml& x, int depth, int nesting, bool heading);
    void list(Xml& x, int depth, int nesting, QString styleName);
    void inlines(Xml& x, int depth, const ParaState& para, const RunProps& run, int32_t link);
    void text(QString text, const CharState& chr, const ParaState& para);
    void frame(Xml& x, int depth, const CharState& chr, const ParaState& para);
    void picture(const QByteArray& bytes, int32_t width, int32_t height, const CharState& chr, const ParaState& para);
    void table(Xml& x, int depth, int nesting);
    // A footnote or endnote, its paragraphs read as a document of their own.
    void note(Xml& x, int depth, const CharState& chr, const ParaState& para);
    void releaseEnd();
    const std::unordered_map<QString, int32_t>& lists() const { return m_document ? m_document->m_lists : m_lists; }
    CharState state(const RunProps& run, int32_t link) const
    {
        CharState chr;
        run.applyTo(chr);
        chr[cp::Link] = link;
        return chr;
    }

    package::Package* m_pkg;
    QTextCursor& m_cursor;
    rtf::DocumentTables m_tables;
    rtf::DocumentBuilder m_builder;
    PictureBudget m_budget;
    LeftOut m_leftOut;
    std::unordered_map<QString, QString> m_fontFamilies; // style:font-face name -> family
    std::unordered_map<QString, int32_t> m_fonts;
    std::unordered_map<QString, Style> m_styles;         // "family:name"
    std::unordered_map<QString, int32_t> m_lists;        // list style -> the builder's list id
    std::unordered_map<QString, PageSetup> m_layouts;
    QString m_masterLayout;
    RunProps m_defaultRun;
    ParaProps m_defaultPara;
    std::optional<HeldEnd> m_held;
    bool m_inCell = false;
    int m_tableDepth = 0; // the table whose cell is being read: 1 the outermost, 2 one in its cell
    bool m_atParagraphStart = true;
    int m_listDepth = 0;
    int32_t m_listId = 0;
    Reader* m_document = nullptr; // the document's reader, for a note's
    bool m_inNote = false; // notes do not nest: one in a note is its text in brackets
};

int32_t Reader::fontIndex(const QString& face)
{
    if (m_document)
        return m_document->fontIndex(face);
    if (face.isEmpty())
        return -1;
    const auto family = m_fontFamilies.find(face);
    QString name = family != m_fontFamilies.end() ? family->second : face;
    name = name.remove(u'\'').trimmed();
    if (name.isEmpty())
        return -1;
    auto [it, fresh] = m_fonts.try_emplace(name, int32_t(m_fonts.size()));
    if (fresh) {
        rtf::FontInfo info;
        info.face = name;
        m_tables.fonts[it->second] = info;
    }
    return it->second;
}

int32_t Reader::colorIndex(ColorRef color)
{
    if (m_document)
        return m_document->colorIndex(color);
    if (m_tables.colors.empty())
        m_tables.colors.push_back(std::nullopt);
    for (size_t i = 1; i < m_tables.colors.size(); ++i)
        if (m_tables.colors[i] == color)
            return int32_t(i);
    m_tables.colors.push_back(color);
    return int32_t(m_tables.colors.size() - 1);
}

void Reader::fonts(Xml& x, int depth)
{
    // A face with no family is known by its name.
    while (x.child(depth))
        if (x.qualified() == u"style:font-face" && !x.attr("svg:font-family"_L1).remove(u'\'').trimmed().isEmpty())
            m_fontFamilies[x.attr("style:name"_L1)] = x.attr("svg:font-family"_L1);
}

void Reader::style(Xml& x, Style& s)
{
    const int depth = x.depth();
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"style:text-properties") {
            QString face = x.attr("style:font-name"_L1);
            if (face.isEmpty())
                face = x.attr("fo:font-family"_L1);
            if (!face.isEmpty())
                s.run.set(cp::Font, fontIndex(face));
            const QString size = x.attr("fo:font-size"_L1);
            if (const auto t = twips(size))
                s.run.set(cp::HalfPoints, std::clamp(*t / 10, 2, 3276));
            if (x.has("fo:font-weight"_L1))
                s.run.set(cp::Bold, x.attr("fo:font-weight"_L1) != u"normal");
            if (x.has("fo:font-style"_L1))
                s.run.set(cp::Italic, x.attr("fo:font-style"_L1) == u"italic");
            if (x.has("style:text-underline-style"_L1))
                s.run.set(cp::Underline, x.attr("style:text-underline-style"_L1) != u"none");
            if (x.has("style:text-line-through-style"_L1))
                s.run.set(cp::Strike, x.attr("style:text-line-through-style"_L1) != u"none");
            if (x.has("fo:color"_L1)) {
                const auto c = package::hexColor(x.attr("fo:color"_L1));
                s.run.set(cp::Color, c ? colorIndex(*c) : 0);
            }
            if (x.has("fo:background-color"_L1)) {
                const auto c = package::hexColor(x.attr("fo:background-color"_L1));
                s.run.set(cp::Back, c ? colorIndex(*c) : 0);
            }
            if (x.has("style:text-position"_L1)) {
                const QString pos = x.attr("style:text-position"_L1);
                s.run.set(cp::SubSuper, pos.startsWith(u"super") ? 2 : pos.startsWith(u"sub") || pos.startsWith(u'-') ? 1
                                        : pos.startsWith(u'0')                                                ? 0
                                                                                                              : 2);
            }
            if (x.has("text:display"_L1))
                s.run.set(cp::Hidden, x.attr("text:display"_L1) == u"none" ? rtf::kKeptHidden : 0);
            if (x.has("fo:language"_L1)) {
                const QString tag = x.attr("fo:language"_L1) + u'-' + x.attr("fo:country"_L1);
                if (const uint16_t lang = package::languageOfTag(tag))
                    s.run.set(cp::Language, lang);
            }
        } else if (n == u"style:paragraph-properties") {
            const QString align = x.attr("fo:text-align"_L1);
            if (!align.isEmpty())
                s.para.set(pp::Align, align == u"center"                   ? pfa::Center
                                      : align == u"end" || align == u"right" ? pfa::Right
                                      : align == u"justify"                ? pfa::Justify
                                                                           : pfa::Left);
            if (const auto t = twips(x.attr("fo:margin-left"_L1)))
                s.para.set(pp::LeftIndent, std::clamp(*t, -rtf::kMaxIndent, rtf::kMaxIndent));
            if (const auto t = twips(x.attr("fo:text-indent"_L1)))
                s.para.set(pp::FirstIndent, std::clamp(*t, -rtf::kMaxIndent, rtf::kMaxIndent));
            if (const auto t = twips(x.attr("fo:margin-top"_L1)))
                s.para.set(pp::SpaceBefore, std::clamp(*t, 0, rtf::kMaxIndent));
            if (const auto t = twips(x.attr("fo:margin-bottom"_L1)))
                s.para.set(pp::SpaceAfter, std::clamp(*t, 0, rtf::kMaxIndent));
            const QString line = x.attr("fo:line-height"_L1);
            if (line.endsWith(u'%')) {
                s.para.set(pp::LineSpacing, std::clamp(int32_t(line.chopped(1).toDouble() * 2.4), 0, rtf::kMaxIndent));
                s.para.set(pp::LineMultiple, 1);
            } else if (const auto t = twips(line)) {
                s.para.set(pp::LineSpacing, -std::clamp(*t, 0, rtf::kMaxIndent));
                s.para.set(pp::LineMultiple, 0);
            } else if (const auto least = twips(x.attr("style:line-height-at-least"_L1))) {
                s.para.set(pp::LineSpacing, std::clamp(*least, 0, rtf::kMaxIndent));
                s.para.set(pp::LineMultiple, 0);
            }
            if (x.has("fo:break-before"_L1))
                s.para.set(pp::PageBreakBefore, x.attr("fo:break-before"_L1) == u"page");
        } else if (n == u"style:table-column-properties") {
            if (const auto t = twips(x.attr("style:column-width"_L1)))
                s.columnWidth = std::clamp(*t, 0, rtf::kMaxPageTwips);
        } else if (n == u"style:table-cell-properties") {
            s.cellBackground = package::hexColor(x.attr("fo:background-color"_L1));
        }
    }
}

void Reader::listStyle(Xml& x, const QString& name)
{
    ListLevels levels;
    for (int i = 0; i < kMaxListLevels; ++i)
        levels.push_back(plainListLevel(pfn::Bullet, i));
    const int depth = x.depth();
    while (x.child(depth)) {
        const int level = std::clamp(x.attr("text:level"_L1).toInt(), 1, kMaxListLevels) - 1;
        const bool numbered = x.qualified() == u"text:list-level-style-number";
        if (!numbered && x.qualified() != u"text:list-level-style-bullet")
            continue;
        ListLevel& l = levels[size_t(level)];
        if (numbered) {
            // The label: its text before, the numbers of the levels it shows (this one and
            // those above it), its text after.
            l.numbering = numberingOf(x.attr("style:num-format"_L1));
            l.start = std::clamp(x.has("text:start-value"_L1) ? x.attr("text:start-value"_L1).toInt() : 1, 0, 32767);
            const int shown = std::clamp(x.has("text:display-levels"_L1) ? x.attr("text:display-levels"_L1).toInt() : 1, 1, level + 1);
            l.text = x.attr("style:num-prefix"_L1);
            for (int above = level + 1 - shown; above <= level; ++above) {
                l.text += QChar(char16_t(above));
                if (above < level)
                    l.text += u'.';
            }
            l.text += x.attr("style:num-suffix"_L1);
            if (l.numbering == pfn::None)
                l.text.clear();
        } else {
            l = plainListLevel(pfn::Bullet, level);
            if (const QString bullet = x.attr("text:bullet-char"_L1); !bullet.isEmpty())
                l.text = bullet.left(1);
        }
        const int d = x.depth();
        while (x.child(d)) {
            if (x.qualified() != u"style:list-level-properties")
                continue;
            while (x.child(d + 1)) {
                if (x.qualified() != u"style:list-level-label-alignment")
                    continue;
                if (const auto left = twips(x.attr("fo:margin-left"_L1)))
                    l.indent = std::clamp(*left, 0, rtf::kMaxIndent);
                if (const auto first = twips(x.attr("fo:text-indent"_L1)))
                    l.firstIndent = std::clamp(*first, -rtf::kMaxIndent, rtf::kMaxIndent);
            }
        }
    }
    const int32_t id = int32_t(m_lists.size()) + 1;
    m_lists[name] = id;
    m_tables.defineList(id, std::move(levels));
}

void Reader::pageLayout(Xml& x, const QString& name)
{
    PageSetup page;
    const int depth = x.depth();
    while (x.child(depth)) {
        if (x.qualified() != u"style:page-layout-properties")
            continue;
        const auto side = [&](QLatin1StringView a) { return std::clamp(twips(x.attr(a)).value_or(-1), -1, rtf::kMaxPageTwips); };
        page.paperWidth = side("fo:page-width"_L1);
        page.paperHeight = side("fo:page-height"_L1);
        page.landscape = x.attr("style:print-orientation"_L1) == u"landscape";
        page.marginLeft = side("fo:margin-left"_L1);
        page.marginRight = side("fo:margin-right"_L1);
        page.marginTop = side("fo:margin-top"_L1);
        page.marginBottom = side("fo:margin-bottom"_L1);
    }
    m_layouts[name] = page;
}

void Reader::styles(Xml& x, int depth)
{
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"style:style") {
            const QString family = x.attr("style:family"_L1);
            Style s;
            s.parent = x.attr("style:parent-style-name"_L1);
            if (!s.parent.isEmpty())
                s.parent = family + u':' + s.parent;
            s.listStyle = x.attr("style:list-style-name"_L1);
            if (x.has("style:default-outline-level"_L1))
                s.outline = std::clamp(x.attr("style:default-outline-level"_L1).toInt(), 0, 10) - 1;
            const QString key = family + u':' + x.attr("style:name"_L1);
            style(x, s);
            m_styles[key] = std::move(s);
        } else if (n == u"style:default-style") {
            Style s;
            style(x, s);
            if (x.attr("style:family"_L1) == u"paragraph" || true) {
                m_defaultRun.take(s.run);
                m_defaultPara.take(s.para);
            }
        } else if (n == u"text:list-style") {
            listStyle(x, x.attr("style:name"_L1));
        } else if (n == u"style:page-layout") {
            pageLayout(x, x.attr("style:name"_L1));
        } else if (n == u"style:master-page") {
            if (m_masterLayout.isEmpty() || x.attr("style:name"_L1) == u"Standard")
                m_masterLayout = x.attr("style:page-layout-name"_L1);
            const int d = x.depth();
            while (x.child(d))
                if (x.qualified().startsWith(u"style:header") || x.qualified().startsWith(u"style:footer"))
                    m_leftOut.dropped |= leftout::HeadersFooters;
        }
    }
}

const Style* Reader::resolved(const QString& key)
{
    if (m_document)
        return m_document->resolved(key);
    auto it = m_styles.find(key);
    if (it == m_styles.end())
        return nullptr;
    Style& s = it->second;
    if (s.resolved || s.resolving)
        return &s;
    s.resolving = true;
    std::vector<Style*> chain{&s};
    for (QString next = s.parent; !next.isEmpty() && int(chain.size()) < kMaxStyleChain;) {
        auto below = m_styles.find(next);
        if (below == m_styles.end() || below->second.resolving)
            break;
        below->second.resolving = true;
        chain.push_back(&below->second);
        if (below->second.resolved)
            break;
        next = below->second.parent;
    }
    RunProps run;
    ParaProps para;
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        run.take((*link)->run);
        para.take((*link)->para);
        if ((*link)->outline >= 0)
            s.outline = (*link)->outline;
        if (!(*link)->listStyle.isEmpty())
            s.listStyle = (*link)->listStyle;
    }
    s.run = run;
    s.para = para;
    for (Style* link : chain)
        link->resolving = false;
    s.resolved = true;
    return &s;
}

void Reader::releaseEnd()
{
    if (m_held)
        m_builder.paragraphEnd(m_held->para, m_held->chr);
    m_held.reset();
}

void Reader::text(QString t, const CharState& chr, const ParaState& para)
{
    if (t.isEmpty())
        return;
    if (chr[cp::Hidden] == rtf::kKeptHidden) {
        m_builder.hidden(t, chr, para);
        return;
    }
    QString& out = m_builder.runFor(chr, para);
    for (QChar c : t)
        if (c != QChar::Null)
            out += c;
    m_atParagraphStart = false;
}

void Reader::picture(const QByteArray& bytes, int32_t width, int32_t height, const CharState& chr, const ParaState& para)
{
    std::optional<Picture> pic = pictureFromFileData(bytes);
    if (!pic) {
        QImage image;
        if (image.loadFromData(bytes) && m_budget.take(int64_t(image.width()) * image.height()))
            pic = pictureFromImage(image);
    }
    if (!pic) {
        ++m_leftOut.pictures;
        return;
    }
    if (width > 0 && height > 0) {
        pic->goalWidth = std::min(width, kMaxPictureTwips);
        pic->goalHeight = std::min(height, kMaxPictureTwips);
    }
    m_builder.picture(*pic, chr, para, m_budget);
    m_atParagraphStart = false;
}

void Reader::frame(Xml& x, int depth, const CharState& chr, const ParaState& para)
{
    const int32_t width = std::max(0, twips(x.attr("svg:width"_L1)).value_or(0));
    const int32_t height = std::max(0, twips(x.attr("svg:height"_L1)).value_or(0));
    bool shown = false; // a frame offers its picture in several forms: the first one read is shown
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"draw:image" && !shown) {
            const QString href = x.attr("xlink:href"_L1);
            if (!href.isEmpty() && m_pkg) {
                const QString part = package::resolveTarget(QStringLiteral("content.xml"), href);
                if (part.isEmpty()) {
                    x.fail(); // a picture outside the package
                    return;
                }
                if (m_pkg->contains(part)) {
                    if (const std::optional<QByteArray> bytes = m_pkg->part(part)) {
                        picture(*bytes, width, height, chr, para);
                        shown = true;
                    }
                }
            } else {
                const int d = x.depth();
                while (x.child(d))
                    if (x.qualified() == u"office:binary-data") {
                        picture(QByteArray::fromBase64(x.text().toLatin1()), width, height, chr, para);
                        shown = true;
                    }
            }
        } else if (n == u"draw:object" || n == u"draw:object-ole") {
            m_leftOut.dropped |= leftout::Objects; // a chart or an equation; its picture, when it has one, shows
            while (x.child(x.depth())) {
            }
        } else if (n == u"draw:text-box") {
            // The box's paragraphs come after what its anchor's paragraph holds so far.
            if (!m_atParagraphStart)
                m_builder.paragraphEnd(para, chr);
            blocks(x, x.depth(), 1);
            releaseEnd();
            m_atParagraphStart = true;
        }
    }
}

void Reader::note(Xml& x, int depth, const CharState& chr, const ParaState& para)
{
    const bool endnote = x.attr("text:note-class"_L1) == u"endnote";
    QString citation, body;
    std::optional<KeptGroups> content;
    while (x.child(depth)) {
        if (x.qualified() == u"text:note-citation") {
            citation = x.text();
        } else if (x.qualified() == u"text:note-body" && !m_inNote) {
            QTextDocument doc;
            QTextCursor cursor(&doc);
            Reader reader(*this, cursor);
            reader.blocks(x, x.depth(), 0);
            reader.releaseEnd();
            reader.m_builder.finish(CharState{});
            m_leftOut.dropped |= reader.m_leftOut.dropped;
            m_leftOut.pictures += reader.m_leftOut.pictures;
            m_budget = reader.m_budget; // the notes' pictures come out of the document's budget
            content = noteContentOf(doc);
        } else if (x.qualified() == u"text:note-body") {
            const int d = x.depth();
            while (x.next() && !(x.isEnd() && x.depth() < d)) {
                if (x.isText())
                    body += x.characters();
                else if (x.isStart() && (x.qualified() == u"text:p" || x.qualified() == u"text:h") && !body.isEmpty())
                    body += u' ';
            }
        }
    }
    if (content) {
        CharState mark = chr;
        mark[cp::Hidden] = 0;
        m_builder.note(Note{*content, endnote, false}, mark, para);
        m_atParagraphStart = false;
        return;
    }
    CharState mark = chr;
    mark[cp::SubSuper] = 2;
    text(citation, mark, para);
    CharState plain = chr;
    plain[cp::SubSuper] = 0;
    text(u'[' + body.simplified() + u']', plain, para);
}

void Reader::inlines(Xml& x, int depth, const ParaState& para, const RunProps& run, int32_t link)
{
    while (x.next()) {
        if (x.isEnd()) {
            if (x.depth() < depth)
                return;
            continue;
        }
        if (x.isText()) {
            // White space in a paragraph's text is one blank; text:s states more.
            QString t = x.characters().toString();
            t.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
            QString collapsed;
            collapsed.reserve(t.size());
            for (QChar c : t)
                if (!(c == u' ' && (collapsed.endsWith(u' ') || (collapsed.isEmpty() && m_atParagraphStart))))
                    collapsed += c;
            text(collapsed, state(run, link), para);
            continue;
        }
        const QStringView n = x.qualified();
        const int d = x.depth();
        if (n == u"text:span") {
            RunProps inner = run;
            if (const Style* s = resolved(u"text:"_s + x.attr("text:style-name"_L1)))
                inner.take(s->run);
            inlines(x, d, para, inner, link);
        } else if (n == u"text:a") {
            rtf::DocumentTables& tables = m_document ? m_document->m_tables : m_tables;
            tables.links.push_back(x.attr("xlink:href"_L1));
            RunProps inner = run;
            if (const Style* s = resolved(u"text:"_s + x.attr("text:style-name"_L1)))
                inner.take(s->run);
            inlines(x, d, para, inner, int32_t(tables.links.size() - 1));
        } else if (n == u"text:s") {
            const int count = std::clamp(x.attr("text:c"_L1).toInt(), 1, 1000);
            text(QString(count, u' '), state(run, link), para);
        } else if (n == u"text:tab") {
            text(QStringLiteral("\t"), state(run, link), para);
        } else if (n == u"text:line-break") {
            text(QString(QChar::LineSeparator), state(run, link), para);
        } else if (n == u"text:note") {
            note(x, d, state(run, link), para);
        } else if (n == u"draw:frame") {
            frame(x, d, state(run, link), para);
        } else if (n == u"text:bookmark" || n == u"text:bookmark-start" || n == u"text:bookmark-end") {
            const QString name = x.attr("text:name"_L1);
            if (!name.isEmpty()) {
                if (n != u"text:bookmark-end")
                    m_builder.bookmark(name, true, state(run, link), para);
                if (n != u"text:bookmark-start")
                    m_builder.bookmark(name, false, state(run, link), para);
            }
        } else if (n == u"office:annotation" || n == u"text:tracked-changes" || n == u"draw:custom-shape" ||
                   n == u"text:note-citation" || n == u"office:annotation-end" || n == u"draw:object" ||
                   n == u"draw:rect" || n == u"draw:ellipse" || n == u"draw:line" || n == u"draw:path" ||
                   n == u"draw:polygon" || n == u"draw:g") {
            if (n == u"office:annotation")
                m_leftOut.dropped |= leftout::Comments;
            else if (n == u"draw:object")
                m_leftOut.dropped |= leftout::Objects;
            else if (n.startsWith(u"draw:"))
                m_leftOut.dropped |= leftout::Drawings;
            while (x.child(d)) {
            }
        } else {
            // Fields and marks show what they hold: their last result.
            inlines(x, d, para, run, link);
        }
    }
}

void Reader::paragraph(Xml& x, int depth, int nesting, bool heading)
{
    ParaProps props = m_defaultPara;
    RunProps run = m_defaultRun;
    ParaState para;
    int32_t outline = -1;
    QString listStyle;
    if (const Style* s = resolved(u"paragraph:"_s + x.attr("text:style-name"_L1))) {
        props.take(s->para);
        run.take(s->run);
        outline = s->outline;
        listStyle = s->listStyle;
    }
    if (heading)
        outline = std::clamp(x.attr("text:outline-level"_L1).toInt(), 1, 10) - 1;
    props.applyTo(para);
    para[pp::OutlineLevel] = outline >= 0 && outline < 9 ? outline : -1;
    if (m_listDepth > 0 && m_listId > 0) {
        para[pp::List] = m_listId;
        para[pp::Level] = std::min(m_listDepth, kMaxListLevels) - 1;
    } else if (const auto id = lists().find(listStyle); !listStyle.isEmpty() && id != lists().end()) {
        para[pp::List] = id->second;
    }
    para[pp::InTable] = m_inCell && nesting == 0 ? 1 : 0;
    para[pp::Depth] = m_inCell && nesting == 0 && m_tableDepth > 1 ? m_tableDepth : 0;
    releaseEnd();
    m_atParagraphStart = true;
    inlines(x, depth, para, run, -1);
    CharState chr = state(run, -1);
    chr[cp::Hidden] = 0;
    m_held = HeldEnd{para, chr};
}

void Reader::list(Xml& x, int depth, int nesting, QString styleName)
{
    const int32_t outerId = m_listId;
    if (const auto id = lists().find(styleName); id != lists().end())
        m_listId = id->second;
    ++m_listDepth;
    while (x.child(depth)) {
        if (x.qualified() == u"text:list-item" || x.qualified() == u"text:list-header")
            blocks(x, x.depth(), nesting);
    }
    --m_listDepth;
    m_listId = outerId;
}

void Reader::blocks(Xml& x, int depth, int nesting)
{
    while (x.child(depth)) {
        const QStringView n = x.qualified();
        if (n == u"text:p" || n == u"text:h")
            paragraph(x, x.depth(), nesting, n == u"text:h");
        else if (n == u"text:list")
            list(x, x.depth(), nesting, x.attr("text:style-name"_L1));
        else if (n == u"table:table")
            table(x, x.depth(), nesting);
        else if (n == u"text:section" || n == u"text:table-of-content" || n == u"text:index-body" ||
                 n == u"text:alphabetical-index" || n == u"text:illustration-index" || n == u"text:user-index" ||
                 n == u"text:bibliography" || n == u"text:object-index" || n == u"text:table-index" ||
                 n == u"table:table-header-rows" || n == u"table:table-rows" || n == u"text:change-start")
            blocks(x, x.depth(), nesting);
    }
}

void Reader::table(Xml& x, int depth, int nesting)
{
    // A table in a cell of a table is a table of the cell; one deeper stays text in its cell.
    const int level = nesting == 0 ? m_tableDepth + 1 : tableprop::kMaxTableDepth + 1;
    ParaState levelPara;
    levelPara[pp::InTable] = 1;
    levelPara[pp::Depth] = level;
    rtf::TableBuilder* found = level <= tableprop::kMaxTableDepth ? m_builder.definitionFor(levelPara, level > 1) : nullptr;
    const bool nested = !found || !found->enabled();
    const bool inner = !nested && level > 1; // its cells and rows end as a table's in a cell
    const int wasDepth = m_tableDepth;
    std::vector<int32_t> grid;
    std::vector<int> rowsLeft; // per column: rows a cell above still covers
    const bool wasInCell = m_inCell;
    int rows = 0;
    const auto row = [&](Xml& x, int rd, bool header) {
        if (++rows > 32768) // the builder's cells are bounded too; past this the rows are passed over
            return;
        const int columns = std::max<int>(1, int(grid.size()));
        if (!nested) {
            releaseEnd();
            found->expectCells(columns);
            found->rowDefaults();
            if (header)
                found->word(tp::RowHeader, 1);
        }
        rowsLeft.resize(size_t(columns), 0);
        int column = 0;
        int32_t right = 0;
        ParaState cellPara;
        cellPara[pp::InTable] = nested ? 0 : 1;
        cellPara[pp::Depth] = inner ? level : 0;
        CharState cellChr;
        int spanLeft = 0; // cells of the row still covered by one to their left
        while (x.child(rd)) {
            const QStringView cn = x.qualified();
            if (cn != u"table:table-cell" && cn != u"table:covered-table-cell")
                continue;
            const bool covered = cn == u"table:covered-table-cell";
            const int repeat = std::clamp(x.attr("table:number-columns-repeated"_L1).toInt(), 1, kMaxRepeat);
            const int span = std::clamp(x.attr("table:number-columns-spanned"_L1).toInt(), 1, rtf::kMaxTableColumns);
            const int down = std::clamp(x.attr("table:number-rows-spanned"_L1).toInt(), 1, 32768);
            int32_t shading = 0;
            if (const Style* s = resolved(u"table-cell:"_s + x.attr("table:style-name"_L1)); s && s->cellBackground)
                shading = colorIndex(*s->cellBackground);
            m_inCell = true;
            if (!nested)
                m_tableDepth = level;
            if (!covered)
                blocks(x, x.depth(), nested ? nesting + 1 : 0);
            else
                while (x.child(x.depth())) {
                }
            m_inCell = wasInCell;
            m_tableDepth = wasDepth;
            for (int r = 0; r < repeat && column < std::max(columns, 1) + (nested ? kMaxRepeat : 0); ++r) {
                if (!nested) {
                    if (column >= columns)
                        break;
                    right = int32_t(std::clamp<int64_t>(int64_t(right) + grid[size_t(column)], 0, 4 * rtf::kMaxPageTwips));
                    int32_t mergeV = 0, mergeH = 0;
                    if (covered && rowsLeft[size_t(column)] > 0)
                        mergeV = 2;
                    else if (covered && spanLeft > 0)
                        mergeH = 2;
                    if (!covered && span > 1)
                        mergeH = 1;
                    if (!covered && down > 1) {
                        mergeV = 1;
                        for (int c = column; c < std::min(columns, column + span); ++c)
                            rowsLeft[size_t(c)] = down;
                    }
                    if (mergeH)
                        found->word(tp::MergeH, mergeH);
                    if (mergeV)
                        found->word(tp::MergeV, mergeV);
                    if (shading)
                        found->word(tp::Shading, shading);
                    found->word(tp::CellX, right);
                }
                if (!covered)
                    spanLeft = span;
                --spanLeft;
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
        if (!nested)
            for (; column < columns; ++column)
                m_builder.cellEnd(cellPara, cellChr, inner);
        for (int& left : rowsLeft)
            left = std::max(0, left - 1);
        m_builder.rowEnd(cellPara, cellChr, nested || inner);
    };
    std::function<void(int, bool)> rowsOf = [&](int d, bool header) {
        while (x.child(d)) {
            const QStringView n = x.qualified();
            if (n == u"table:table-column") {
                const int repeat = std::clamp(x.attr("table:number-columns-repeated"_L1).toInt(), 1, rtf::kMaxTableColumns);
                const Style* s = resolved(u"table-column:"_s + x.attr("table:style-name"_L1));
                for (int r = 0; r < repeat && grid.size() < size_t(rtf::kMaxTableColumns); ++r)
                    grid.push_back(s && s->columnWidth > 0 ? s->columnWidth : 1440);
            } else if (n == u"table:table-columns" || n == u"table:table-column-group") {
                rowsOf(x.depth(), header);
            } else if (n == u"table:table-row") {
                row(x, x.depth(), header);
            } else if (n == u"table:table-header-rows") {
                rowsOf(x.depth(), true);
            } else if (n == u"table:table-rows" || n == u"table:table-row-group") {
                rowsOf(x.depth(), header);
            }
        }
    };
    rowsOf(depth, false);
    if (found)
        found->expectCells(0);
}

void Reader::document(Xml& x, bool body)
{
    if (!x.child(0))
        return;
    while (x.child(1)) {
        const QStringView n = x.qualified();
        if (n == u"office:font-face-decls")
            fonts(x, 2);
        else if (n == u"office:styles" || n == u"office:automatic-styles" || n == u"office:master-styles")
            styles(x, 2);
        else if (n == u"office:body" && body)
            while (x.child(2))
                if (x.qualified() == u"office:text")
                    blocks(x, 3, 0);
    }
}

void Reader::finish(bool wholeDocument)
{
    releaseEnd();
    m_builder.finish(CharState{});
    if (const auto page = m_layouts.find(m_masterLayout); wholeDocument && page != m_layouts.end())
        applyPageSetup(*m_cursor.document(), page->second);
}

bool wellFormed(const QByteArray& bytes)
{
    Xml x(bytes);
    while (x.next()) {
    }
    return !x.failed();
}

} // namespace
} // namespace odt

bool isFlatOdt(QByteArrayView head)
{
    // The root element and the document's type, as the office suites write them.
    const QByteArrayView start = head.first(std::min<qsizetype>(head.size(), 4096));
    return start.contains("<office:document") && start.contains("application/vnd.oasis.opendocument.text");
}

bool readOdt(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut)
{
    if (!cursor.document())
        return false;
    const bool wholeDocument = cursor.document()->isEmpty() && !cursor.hasSelection();
    std::optional<package::Package> pkg;
    QByteArray content, styles;
    if (isFlatOdt(bytes)) {
        if (!odt::wellFormed(bytes))
            return false;
    } else {
        pkg.emplace(bytes);
        if (!pkg->valid() || !pkg->contains(QStringLiteral("content.xml")))
            return false;
        const std::optional<QByteArray> c = pkg->part(QStringLiteral("content.xml"));
        std::optional<QByteArray> s = pkg->contains(QStringLiteral("styles.xml")) ? pkg->part(QStringLiteral("styles.xml"))
                                                                                   : QByteArray();
        if (!c || !s || !odt::wellFormed(*c) || !odt::wellFormed(*s))
            return false;
        content = *c;
        styles = *s;
    }
    odt::Reader reader(pkg ? &*pkg : nullptr, cursor, bytes.size());
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    bool failed = false;
    if (pkg) {
        package::Xml s(styles);
        reader.document(s, false);
        package::Xml c(content);
        reader.document(c, true);
        failed = s.failed() || c.failed();
    } else {
        package::Xml x(bytes);
        reader.document(x, true);
        failed = x.failed();
    }
    reader.finish(wholeDocument);
    cursor.endEditBlock();
    if (leftOut)
        *leftOut = reader.leftOut();
    return !failed && !(pkg && pkg->damaged());
}

} // namespace zorim
