#include "Odt.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/TableFormat.h"
#include "richtext/formats/package/Languages.h"
#include "richtext/formats/package/Package.h"
#include "richtext/document/Notes.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QXmlStreamWriter>

#include <map>

namespace zorim {
namespace odt {
namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kXlink = QStringLiteral("http://www.w3.org/1999/xlink");
constexpr int kHeadingLevels = 9;
const char* const kNumberFormats[] = {"", "", "1", "a", "A", "i", "I"};
constexpr int kListKinds = 7;

QString pt(int32_t twips) { return QString::number(twips / 20.0, 'f', 2) + QStringLiteral("pt"); }

QString hex(ColorRef c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 16) & 0xFF, 2, 16, QChar(u'0'));
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc), m_defaultFont(doc.defaultFont()) {}
    QByteArray write();

private:
    void frame(QTextFrame* frame);
    void block(const QTextBlock& block);
    void table(QTextTable* table);
    void content(const QTextBlock& block);
    void picture(const Picture& pic);
    // A footnote or endnote where its reference stands, its paragraphs within it.
    void note(const Note& note);
    QString textStyle(const QTextCharFormat& format, bool hidden = false);
    QString paraStyle(const QTextBlock& block);
    // Opens the lists and items the paragraph stands in (one list in another a level down), as
    // far as they are not open yet; listClose closes all.
    void listOpen(const QTextBlock& block, const ParaFormat& pf);
    void listClose();
    QByteArray automaticStyles() const;
    QByteArray styles() const;

    const QTextDocument& m_doc;
    const QFont m_defaultFont;
    QByteArray m_body;
    QXmlStreamWriter m_x{&m_body};
    std::vector<std::pair<QString, QByteArray>> m_pictureData;
    std::map<QString, QString> m_textStyles;  // properties -> name
    std::map<QString, QString> m_paraStyles;
    std::map<QString, QString> m_cellStyles;
    std::vector<std::pair<QString, int32_t>> m_columnStyles;
    std::vector<QString> m_pictures;
    int m_openList = 0; // the list paragraphs stand in now: its number in m_lists, from 1
    std::vector<bool> m_openItems; // per list element open, outermost first: whether an item is open in it
    std::vector<QTextListFormat> m_lists; // written as the list styles L1, L2, ...
    std::map<const QTextList*, int> m_listNumbers;
    int m_notes[2] = {0, 0}; // footnotes, endnotes written
};

void Writer::note(const Note& note)
{
    const int number = ++m_notes[note.endnote ? 1 : 0];
    m_x.writeStartElement(QStringLiteral("text:note"));
    m_x.writeAttribute(QStringLiteral("text:id"), QStringLiteral("%1%2").arg(note.endnote ? u"edn" : u"ftn").arg(number));
    m_x.writeAttribute(QStringLiteral("text:note-class"), note.endnote ? QStringLiteral("endnote") : QStringLiteral("footnote"));
    m_x.writeTextElement(QStringLiteral("text:note-citation"), noteLabel(number, note.endnote));
    m_x.writeStartElement(QStringLiteral("text:note-body"));
    QTextDocument content;
    readNoteContent(note, content);
    // The note's lists are its own: the list the reference stands in goes on after it.
    const int openList = std::exchange(m_openList, 0);
    const std::vector<bool> openItems = std::exchange(m_openItems, {});
    const auto listNumbers = std::exchange(m_listNumbers, {}); // the note's lists go with its document
    frame(content.rootFrame());
    m_openList = openList;
    m_openItems = openItems;
    m_listNumbers = listNumbers;
    m_x.writeEndElement();
    m_x.writeEndElement();
}

QString Writer::textStyle(const QTextCharFormat& format, bool hidden)
{
    const CharFormat cf = readCharFormat(format, m_defaultFont);
    QString props;
    QXmlStreamWriter x(&props);
    x.writeEmptyElement(QStringLiteral("style:text-properties"));
    const bool defaultFace = format.hasProperty(docprop::DefaultFace) && format.stringProperty(docprop::DefaultFace) == cf.faceName;
    if (!defaultFace && !cf.faceName.isEmpty())
        x.writeAttribute(QStringLiteral("fo:font-family"), cf.faceName);
    if (!format.boolProperty(docprop::SizeUnstated))
        x.writeAttribute(QStringLiteral("fo:font-size"), pt(cf.height));
    if (cf.effects & cfe::Bold)
        x.writeAttribute(QStringLiteral("fo:font-weight"), QStringLiteral("bold"));
    if (cf.effects & cfe::Italic)
        x.writeAttribute(QStringLiteral("fo:font-style"), QStringLiteral("italic"));
    if (cf.effects & cfe::Underline)
        x.writeAttribute(QStringLiteral("style:text-underline-style"), QStringLiteral("solid"));
    if (cf.effects & cfe::Strikeout)
        x.writeAttribute(QStringLiteral("style:text-line-through-style"), QStringLiteral("solid"));
    if (!(cf.effects & cfe::AutoColor))
        x.writeAttribute(QStringLiteral("fo:color"), hex(cf.textColor));
    if (!(cf.effects & cfe::AutoBackColor))
        x.writeAttribute(QStringLiteral("fo:background-color"), hex(cf.backColor));
    if (cf.effects & (cfe::Subscript | cfe::Superscript))
        x.writeAttribute(QStringLiteral("style:text-position"),
                         (cf.effects & cfe::Superscript) ? QStringLiteral("super 58%") : QStringLiteral("sub 58%"));
    if (hidden)
        x.writeAttribute(QStringLiteral("text:display"), QStringLiteral("none"));
    if (const QString tag = package::tagOfLanguage(cf.language); tag.size() == 5) {
        x.writeAttribute(QStringLiteral("fo:language"), tag.left(2));
        x.writeAttribute(QStringLiteral("fo:country"), tag.mid(3));
    }
    x.writeCharacters(QString()); // the element's tag is closed only when something follows it
    auto [it, fresh] = m_textStyles.try_emplace(props, QStringLiteral("T%1").arg(m_textStyles.size() + 1));
    return it->second;
}

QString Writer::paraStyle(const QTextBlock& block)
{
    const ParaFormat pf = readParaFormat(block);
    QString props;
    QXmlStreamWriter x(&props);
    x.writeEmptyElement(QStringLiteral("style:paragraph-properties"));
    x.writeAttribute(QStringLiteral("fo:text-align"), pf.alignment == pfa::Center    ? QStringLiteral("center")
                                                      : pf.alignment == pfa::Right   ? QStringLiteral("end")
                                                      : pf.alignment == pfa::Justify ? QStringLiteral("justify")
                                                                                     : QStringLiteral("start"));
    // The record keeps the first line's indent and the other lines' offset from it.
    x.writeAttribute(QStringLiteral("fo:margin-left"), pt(std::max(0, pf.startIndent + pf.offset)));
    x.writeAttribute(QStringLiteral("fo:text-indent"), pt(-pf.offset));
    x.writeAttribute(QStringLiteral("fo:margin-top"), pt(pf.spaceBefore));
    x.writeAttribute(QStringLiteral("fo:margin-bottom"), pt(pf.spaceAfter));
    if (pf.lineSpacing != 0) {
        if (pf.lineMultiple)
            x.writeAttribute(QStringLiteral("fo:line-height"), QString::number(pf.lineSpacing * 100 / 240) + u'%');
        else if (pf.lineSpacing < 0)
            x.writeAttribute(QStringLiteral("fo:line-height"), pt(-pf.lineSpacing));
        else
            x.writeAttribute(QStringLiteral("style:line-height-at-least"), pt(pf.lineSpacing));
    }
    if (pf.pageBreakBefore)
        x.writeAttribute(QStringLiteral("fo:break-before"), QStringLiteral("page"));
    x.writeCharacters(QString()); // the element's tag is closed only when something follows it
    const int outline = block.blockFormat().hasProperty(docprop::OutlineLevel) ? block.blockFormat().intProperty(docprop::OutlineLevel) : -1;
    const QString parent = outline >= 0 && outline < kHeadingLevels ? QStringLiteral("Heading_20_%1").arg(outline + 1)
                                                                   : QStringLiteral("Standard");
    props = parent + u'|' + props;
    auto [it, fresh] = m_paraStyles.try_emplace(props, QStringLiteral("P%1").arg(m_paraStyles.size() + 1));
    return it->second;
}

void Writer::picture(const Picture& pic)
{
    QByteArray data = pic.data;
    QString ext;
    switch (pic.kind) {
    case PictureKind::Png: ext = QStringLiteral("png"); break;
    case PictureKind::Jpeg: ext = QStringLiteral("jpg"); break;
    case PictureKind::Emf: ext = QStringLiteral("emf"); break;
    case PictureKind::Wmf: ext = QStringLiteral("wmf"); break;
    case PictureKind::Dib: {
        const QImage image = decodePicture(pic);
        if (image.isNull())
            return;
        data.clear();
        QBuffer png(&data);
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        ext = QStringLiteral("png");
        break;
    }
    }
    const QString name = QStringLiteral("Pictures/image%1.%2").arg(m_pictures.size() + 1).arg(ext);
    m_pictures.push_back(name);
    m_pictureData.emplace_back(name, data);
    const QSize twips = displaySizeTwips(pic);
    m_x.writeStartElement(QStringLiteral("draw:frame"));
    m_x.writeAttribute(QStringLiteral("draw:name"), QStringLiteral("Obrázok %1").arg(m_pictures.size()));
    m_x.writeAttribute(QStringLiteral("text:anchor-type"), QStringLiteral("as-char"));
    m_x.writeAttribute(QStringLiteral("svg:width"), pt(twips.width()));
    m_x.writeAttribute(QStringLiteral("svg:height"), pt(twips.height()));
    m_x.writeEmptyElement(QStringLiteral("draw:image"));
    m_x.writeAttribute(QStringLiteral("xlink:href"), name);
    m_x.writeAttribute(QStringLiteral("xlink:type"), QStringLiteral("simple"));
    m_x.writeAttribute(QStringLiteral("xlink:show"), QStringLiteral("embed"));
    m_x.writeAttribute(QStringLiteral("xlink:actuate"), QStringLiteral("onLoad"));
    m_x.writeEndElement();
}

void Writer::content(const QTextBlock& block)
{
    QString linkTarget;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const QString target = format.isAnchor() ? format.anchorHref() : QString();
        if (target != linkTarget) {
            if (!linkTarget.isEmpty())
                m_x.writeEndElement();
            linkTarget = target;
            if (!linkTarget.isEmpty()) {
                m_x.writeStartElement(QStringLiteral("text:a"));
                m_x.writeAttribute(QStringLiteral("xlink:type"), QStringLiteral("simple"));
                m_x.writeAttribute(QStringLiteral("xlink:href"), linkTarget);
            }
        }
        if (const std::optional<Picture> pic = pictureFromFormat(format)) {
            picture(*pic);
            continue;
        }
        if (const std::optional<Note> n = noteOf(format)) {
            for (qsizetype i = 0; i < fragment.length(); ++i)
                note(*n);
            continue;
        }
        if (const QString hidden = hiddenTextOf(format); !hidden.isEmpty()) {
            m_x.writeStartElement(QStringLiteral("text:span"));
            m_x.writeAttribute(QStringLiteral("text:style-name"), textStyle(format, true));
            m_x.writeCharacters(hidden);
            m_x.writeEndElement();
            continue;
        }
        m_x.writeStartElement(QStringLiteral("text:span"));
        m_x.writeAttribute(QStringLiteral("text:style-name"), textStyle(format));
        QString pending;
        int blanks = 0;
        const auto flush = [&] {
            if (!pending.isEmpty())
                m_x.writeCharacters(pending);
            pending.clear();
        };
        for (const QChar c : fragment.text()) {
            // Blanks after the first in a row would be one: they are counted.
            if (c == u' ' && (pending.endsWith(u' ') || blanks > 0)) {
                ++blanks;
                continue;
            }
            if (blanks > 0) {
                flush();
                m_x.writeEmptyElement(QStringLiteral("text:s"));
                m_x.writeAttribute(QStringLiteral("text:c"), QString::number(blanks));
                blanks = 0;
            }
            if (c == u'\t') {
                flush();
                m_x.writeEmptyElement(QStringLiteral("text:tab"));
            } else if (c == QChar::LineSeparator || c == u'\v') {
                flush();
                m_x.writeEmptyElement(QStringLiteral("text:line-break"));
            } else if (c == QChar::ObjectReplacementCharacter || c.unicode() < 0x20 || c.isNonCharacter()) {
            } else {
                pending += c;
            }
        }
        flush();
        if (blanks > 0) {
            m_x.writeEmptyElement(QStringLiteral("text:s"));
            m_x.writeAttribute(QStringLiteral("text:c"), QString::number(blanks));
        }
        m_x.writeEndElement();
    }
    if (!linkTarget.isEmpty())
        m_x.writeEndElement();
}

void Writer::listOpen(const QTextBlock& block, const ParaFormat& pf)
{
    const QTextList* list = pf.numbering != pfn::None ? block.textList() : nullptr;
    int number = 0;
    if (list) {
        auto [it, fresh] = m_listNumbers.try_emplace(list, int(m_lists.size()) + 1);
        if (fresh)
            m_lists.push_back(list->format());
        number = it->second;
    }
    if (number != m_openList)
        listClose();
    if (number == 0)
        return;
    const size_t depth = size_t(listLevelOf(block)) + 1;
    while (m_openItems.size() > depth) {
        if (m_openItems.back())
            m_x.writeEndElement(); // list-item
        m_openItems.pop_back();
        m_x.writeEndElement(); // list
    }
    while (m_openItems.size() < depth) {
        if (!m_openItems.empty() && !m_openItems.back()) {
            m_x.writeStartElement(QStringLiteral("text:list-item"));
            m_openItems.back() = true;
        }
        m_x.writeStartElement(QStringLiteral("text:list"));
        if (m_openItems.empty())
            m_x.writeAttribute(QStringLiteral("text:style-name"), QStringLiteral("L%1").arg(number));
        m_openItems.push_back(false);
    }
    if (m_openItems.back())
        m_x.writeEndElement(); // the item before
    m_x.writeStartElement(QStringLiteral("text:list-item"));
    m_openItems.back() = true;
    m_openList = number;
}

void Writer::listClose()
{
    while (!m_openItems.empty()) {
        if (m_openItems.back())
            m_x.writeEndElement(); // list-item
        m_openItems.pop_back();
        m_x.writeEndElement(); // list
    }
    m_openList = 0;
}

void Writer::block(const QTextBlock& block)
{
    const ParaFormat pf = readParaFormat(block);
    listOpen(block, pf);
    const QTextBlockFormat bf = block.blockFormat();
    const int outline = bf.hasProperty(docprop::OutlineLevel) ? bf.intProperty(docprop::OutlineLevel) : -1;
    const bool heading = outline >= 0 && outline < kHeadingLevels;
    m_x.writeStartElement(heading ? QStringLiteral("text:h") : QStringLiteral("text:p"));
    m_x.writeAttribute(QStringLiteral("text:style-name"), paraStyle(block));
    if (heading)
        m_x.writeAttribute(QStringLiteral("text:outline-level"), QString::number(outline + 1));
    content(block);
    m_x.writeEndElement();
}

void Writer::table(QTextTable* t)
{
    listClose();
    const int columns = t->columns();
    m_x.writeStartElement(QStringLiteral("table:table"));
    int32_t left = t->cellAt(0, 0).format().intProperty(tableprop::RowLeftTwips);
    for (int c = 0; c < columns; ++c) {
        const int32_t right = t->cellAt(0, c).format().intProperty(tableprop::CellRightTwips);
        const QString name = QStringLiteral("Co%1").arg(m_columnStyles.size() + 1);
        m_columnStyles.emplace_back(name, std::max(1, right - left));
        left = right;
        m_x.writeEmptyElement(QStringLiteral("table:table-column"));
        m_x.writeAttribute(QStringLiteral("table:style-name"), name);
    }
    for (int r = 0; r < t->rows(); ++r) {
        m_x.writeStartElement(QStringLiteral("table:table-row"));
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            const QTextCharFormat f = cell.format();
            const bool coveredH = f.intProperty(tableprop::MergeHorizontal) == int(tableprop::Merge::Continued);
            const bool coveredV = f.intProperty(tableprop::MergeVertical) == int(tableprop::Merge::Continued);
            if (coveredH || coveredV) {
                m_x.writeEmptyElement(QStringLiteral("table:covered-table-cell"));
                continue;
            }
            m_x.writeStartElement(QStringLiteral("table:table-cell"));
            m_x.writeAttribute(QStringLiteral("office:value-type"), QStringLiteral("string"));
            QString cellProps = QStringLiteral("fo:padding=0.04in");
            const QList<int> borders = f.property(tableprop::BorderStyles).value<QList<int>>();
            if (borders.size() == 4 && borders != QList<int>(4, 0))
                cellProps += QStringLiteral("|fo:border=0.5pt solid #000000");
            if (f.background().style() != Qt::NoBrush)
                cellProps += QStringLiteral("|fo:background-color=") + f.background().color().name();
            auto [style, fresh] = m_cellStyles.try_emplace(cellProps, QStringLiteral("Ce%1").arg(m_cellStyles.size() + 1));
            m_x.writeAttribute(QStringLiteral("table:style-name"), style->second);
            if (f.intProperty(tableprop::MergeHorizontal) == int(tableprop::Merge::First)) {
                int span = 1;
                while (c + span < columns && t->cellAt(r, c + span).format().intProperty(tableprop::MergeHorizontal) ==
                                                 int(tableprop::Merge::Continued))
                    ++span;
                m_x.writeAttribute(QStringLiteral("table:number-columns-spanned"), QString::number(span));
            }
            if (f.intProperty(tableprop::MergeVertical) == int(tableprop::Merge::First)) {
                int span = 1;
                while (r + span < t->rows() && t->cellAt(r + span, c).format().intProperty(tableprop::MergeVertical) ==
                                                   int(tableprop::Merge::Continued))
                    ++span;
                m_x.writeAttribute(QStringLiteral("table:number-rows-spanned"), QString::number(span));
            }
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                if (it.currentBlock().isValid())
                    block(it.currentBlock());
                else if (auto* inner = qobject_cast<QTextTable*>(it.currentFrame()))
                    table(inner);
            }
            listClose();
            m_x.writeEndElement(); // cell
        }
        m_x.writeEndElement(); // row
    }
    m_x.writeEndElement(); // table
}

void Writer::frame(QTextFrame* frame)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) {
            const QTextBlock b = it.currentBlock();
            QTextFrame::iterator next = it;
            ++next;
            const bool beforeTable = !next.atEnd() && qobject_cast<QTextTable*>(next.currentFrame());
            if (beforeTable && b.length() == 1 && b.position() == 0 &&
                !b.blockFormat().boolProperty(tableprop::StatedBeforeTable))
                continue; // the empty paragraph Qt keeps before a table the file did not have
            block(b);
        } else if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
            table(t);
        }
    }
    listClose();
}

QByteArray Writer::automaticStyles() const
{
    // Each style's properties were written as XML when it was first met: they go in as they are.
    QString styles;
    for (const auto& [props, name] : m_textStyles)
        styles += QStringLiteral("<style:style style:name=\"%1\" style:family=\"text\">%2</style:style>").arg(name, props);
    for (const auto& [props, name] : m_paraStyles) {
        const QString parent = props.section(u'|', 0, 0);
        styles += QStringLiteral("<style:style style:name=\"%1\" style:family=\"paragraph\" style:parent-style-name=\"%2\">%3</style:style>")
                      .arg(name, parent, props.section(u'|', 1));
    }
    for (const auto& [name, width] : m_columnStyles)
        styles += QStringLiteral("<style:style style:name=\"%1\" style:family=\"table-column\"><style:table-column-properties "
                                 "style:column-width=\"%2\"/></style:style>")
                      .arg(name, pt(width));
    for (const auto& [props, name] : m_cellStyles) {
        QString attrs;
        for (const QString& p : props.split(u'|'))
            attrs += QStringLiteral(" %1=\"%2\"").arg(p.section(u'=', 0, 0), p.section(u'=', 1).toHtmlEscaped());
        styles += QStringLiteral("<style:style style:name=\"%1\" style:family=\"table-cell\"><style:table-cell-properties%2/></style:style>")
                      .arg(name, attrs);
    }
    // Each list its nine levels: the label's text before and after the numbers it shows.
    for (size_t i = 0; i < m_lists.size(); ++i) {
        styles += QStringLiteral("<text:list-style style:name=\"L%1\">").arg(i + 1);
        for (int level = 0; level < kListLevelCount; ++level) {
            const ListLevel l = listLevelOf(m_lists[i], level);
            const bool bullet = l.numbering == pfn::Bullet;
            if (bullet) {
                const QString mark = l.text.isEmpty() ? QStringLiteral("\u2022") : l.text.left(1);
                styles += QStringLiteral("<text:list-level-style-bullet text:level=\"%1\" text:bullet-char=\"%2\">")
                              .arg(level + 1)
                              .arg(mark.toHtmlEscaped());
            } else {
                const qsizetype first = std::find_if(l.text.begin(), l.text.end(), [](QChar c) { return c.unicode() < kListLevelCount; }) - l.text.begin();
                qsizetype last = l.text.size();
                while (last > first && l.text[last - 1].unicode() >= kListLevelCount)
                    --last;
                const int shown = int(std::count_if(l.text.begin(), l.text.end(), [](QChar c) { return c.unicode() < kListLevelCount; }));
                styles += QStringLiteral("<text:list-level-style-number text:level=\"%1\" style:num-prefix=\"%2\" "
                                         "style:num-suffix=\"%3\" style:num-format=\"%4\" text:start-value=\"%5\" text:display-levels=\"%6\">")
                              .arg(level + 1)
                              .arg(l.text.left(first).toHtmlEscaped(), l.text.mid(last).toHtmlEscaped(),
                                   l.numbering == pfn::None ? QString() : QLatin1StringView(kNumberFormats[l.numbering < kListKinds ? l.numbering : pfn::Arabic]))
                              .arg(l.start)
                              .arg(std::max(1, shown));
            }
            const int32_t indent = l.indent >= 0 ? l.indent : 720 + 360 * level;
            const int32_t firstIndent = l.indent >= 0 ? l.firstIndent : -360;
            styles += QStringLiteral("<style:list-level-properties text:list-level-position-and-space-mode=\"label-alignment\">"
                                     "<style:list-level-label-alignment text:label-followed-by=\"listtab\" "
                                     "text:list-tab-stop-position=\"%1\" fo:text-indent=\"%2\" fo:margin-left=\"%1\"/>"
                                     "</style:list-level-properties>")
                          .arg(pt(indent), pt(firstIndent));
            styles += bullet ? QStringLiteral("</text:list-level-style-bullet>") : QStringLiteral("</text:list-level-style-number>");
        }
        styles += QStringLiteral("</text:list-style>");
    }
    return styles.toUtf8();
}

QByteArray Writer::styles() const
{
    const PageSetup page = readPageSetup(m_doc);
    const auto side = [](int32_t v, int32_t fallback) { return pt(v > 0 ? v : fallback); };
    QString headings;
    for (int level = 1; level <= kHeadingLevels; ++level)
        headings += QStringLiteral("<style:style style:name=\"Heading_20_%1\" style:display-name=\"Heading %1\" "
                                   "style:family=\"paragraph\" style:parent-style-name=\"Standard\" "
                                   "style:default-outline-level=\"%1\" style:class=\"text\"/>")
                        .arg(level);
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                 "<office:document-styles xmlns:office=\"%1\" xmlns:style=\"%2\" xmlns:text=\"%3\" "
                                 "xmlns:fo=\"%4\" office:version=\"1.3\"><office:styles>"
                                 "<style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\"/>")
                      .arg(kOffice, kStyle, kText, kFo);
    out += headings;
    out += QStringLiteral("</office:styles><office:automatic-styles><style:page-layout style:name=\"pm1\">"
                          "<style:page-layout-properties fo:page-width=\"%1\" fo:page-height=\"%2\" "
                          "style:print-orientation=\"%3\" fo:margin-top=\"%4\" fo:margin-bottom=\"%5\" "
                          "fo:margin-left=\"%6\" fo:margin-right=\"%7\"/></style:page-layout></office:automatic-styles>"
                          "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\"/>"
                          "</office:master-styles></office:document-styles>")
               .arg(side(page.paperWidth, 11906), side(page.paperHeight, 16838),
                    page.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"), side(page.marginTop, 1417),
                    side(page.marginBottom, 1417), side(page.marginLeft, 1417), side(page.marginRight, 1417));
    return out.toUtf8();
}

QByteArray Writer::write()
{
    m_x.writeStartElement(QStringLiteral("office:body"));
    m_x.writeStartElement(QStringLiteral("office:text"));
    frame(m_doc.rootFrame());
    m_x.writeEndElement();
    m_x.writeEndElement();

    // The body was written first, so its styles are known; the document is put together around it.
    QByteArray content = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content");
    for (const auto& [prefix, ns] : std::initializer_list<std::pair<const char*, const QString*>>{
             {"office", &kOffice}, {"style", &kStyle}, {"text", &kText}, {"table", &kTable}, {"fo", &kFo},
             {"svg", &kSvg}, {"draw", &kDraw}, {"xlink", &kXlink}})
        content += " xmlns:" + QByteArray(prefix) + "=\"" + ns->toUtf8() + "\"";
    content += " xmlns:ooow=\"http://openoffice.org/2004/writer\" office:version=\"1.3\"><office:automatic-styles>";
    content += automaticStyles();
    content += "</office:automatic-styles>";
    content += m_body;
    content += "</office:document-content>";

    QByteArray manifest = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><manifest:manifest "
                          "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.3\">"
                          "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/"
                          "vnd.oasis.opendocument.text\"/>"
                          "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>"
                          "<manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>";
    for (const QString& name : m_pictures)
        manifest += "<manifest:file-entry manifest:full-path=\"" + name.toUtf8() + "\" manifest:media-type=\"image/" +
                    name.section(u'.', -1).toUtf8().replace("jpg", "jpeg") + "\"/>";
    manifest += "</manifest:manifest>";

    package::PackageWriter out;
    out.add(QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text", true);
    out.add(QStringLiteral("content.xml"), content);
    out.add(QStringLiteral("styles.xml"), styles());
    out.add(QStringLiteral("META-INF/manifest.xml"), manifest);
    for (const auto& [name, data] : m_pictureData)
        out.add(name, data);
    return out.finish();
}

} // namespace
} // namespace odt

QByteArray writeOdt(const QTextDocument& doc) { return odt::Writer(doc).write(); }

} // namespace zorim
