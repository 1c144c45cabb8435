#include "Docx.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/TableFormat.h"
#include "richtext/formats/package/Languages.h"
#include "richtext/formats/package/Package.h"
#include "richtext/document/Notes.h"
#include "richtext/document/Sections.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QBuffer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QXmlStreamWriter>

#include <map>

using namespace Qt::StringLiterals;

namespace zorim {
namespace docx {
namespace {

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kR = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kRelTypes = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
constexpr int kHeadingLevels = 9;
constexpr int kEmuPerTwip = 635;

QString hex(ColorRef c)
{
    return QStringLiteral("%1%2%3")
        .arg(c & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((c >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

// The numbering formats by the numbering style (pfn order).
const char* const kNumberFormats[] = {"none", "bullet", "decimal", "lowerLetter", "upperLetter", "lowerRoman", "upperRoman"};
constexpr int kListKinds = 7;

// A level's label as Word spells it: the number of level n as "%n+1".
QString labelText(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < kListLevelCount)
            out += u'%' + QString::number(c.unicode() + 1);
        else
            out += c;
    }
    return out;
}

class Writer {
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc), m_defaultFont(doc.defaultFont()) {}
    QByteArray write();

private:
    void frame(QTextFrame* frame);
    void block(const QTextBlock& block);
    void table(QTextTable* table);
    void run(const QTextCharFormat& format, const QString& text);
    void runProps(const QTextCharFormat& format);
    void picture(const Picture& picture, const QTextCharFormat& format);
    QString relationship(const QString& type, const QString& target, bool external);
    QByteArray styles() const;
    QByteArray numbering() const;
    // A section's page and how it starts, where the section ends.
    void section(const SectionSetup& setup);
    // A note's reference in the text; the note goes into its part (notesPart).
    void noteReference(const Note& note);
    // The footnotes' or endnotes' part, written when the body is done; empty when there are none.
    QByteArray notesPart(bool endnotes);
    // The paragraph's list and level, its list written once (numbering()).
    void listLevel(const QTextBlock& block, const ParaFormat& pf);

    const QTextDocument& m_doc;
    const QFont m_defaultFont;
    QByteArray m_body;
    QXmlStreamWriter m_x{&m_body};
    package::PackageWriter m_package;
    std::vector<std::pair<QString, std::pair<QString, QString>>> m_rels; // id -> type, target (external when it has a scheme)
    std::map<QString, QString> m_linkIds;
    int m_pictures = 0;
    bool m_listsUsed = false;
    std::vector<QTextListFormat> m_lists; // a list's number is its place here, from 1
    std::map<const QTextList*, int> m_listNumbers;
    std::vector<SectionSpan> m_sections; // the document's, in order
    std::vector<Note> m_notes[2]; // footnotes, endnotes; a note's id is its place there, from 1
    const char* m_noteMark = nullptr; // the mark the next paragraph starts with (a note's first)
};

QByteArray relationshipsXml(const std::vector<std::pair<QString, std::pair<QString, QString>>>& rels)
{
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeStartElement(QStringLiteral("Relationships"));
    x.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships"));
    for (const auto& [id, rel] : rels) {
        x.writeEmptyElement(QStringLiteral("Relationship"));
        x.writeAttribute(QStringLiteral("Id"), id);
        x.writeAttribute(QStringLiteral("Type"), kRelTypes + rel.first);
        const bool external = rel.second.startsWith(u'!');
        x.writeAttribute(QStringLiteral("Target"), external ? rel.second.mid(1) : rel.second);
        if (external)
            x.writeAttribute(QStringLiteral("TargetMode"), QStringLiteral("External"));
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

void Writer::noteReference(const Note& note)
{
    std::vector<Note>& notes = m_notes[note.endnote ? 1 : 0];
    notes.push_back(note);
    m_x.writeStartElement(QStringLiteral("w:r"));
    m_x.writeStartElement(QStringLiteral("w:rPr"));
    m_x.writeEmptyElement(QStringLiteral("w:vertAlign"));
    m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("superscript"));
    m_x.writeEndElement();
    m_x.writeEmptyElement(note.endnote ? QStringLiteral("w:endnoteReference") : QStringLiteral("w:footnoteReference"));
    m_x.writeAttribute(QStringLiteral("w:id"), QString::number(notes.size()));
    m_x.writeEndElement();
}

QByteArray Writer::notesPart(bool endnotes)
{
    const std::vector<Note>& notes = m_notes[endnotes ? 1 : 0];
    if (notes.empty())
        return {};
    // The notes' paragraphs are written as the body's are, into their own part with their own
    // relationships.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_x.setDevice(&buffer);
    auto bodyRels = std::exchange(m_rels, {});
    auto bodyLinks = std::exchange(m_linkIds, {});
    const QString kind = endnotes ? QStringLiteral("endnote") : QStringLiteral("footnote");
    m_x.writeStartDocument(QStringLiteral("1.0"), true);
    m_x.writeStartElement(QStringLiteral("w:") + kind + u's');
    m_x.writeNamespace(kW, QStringLiteral("w"));
    m_x.writeNamespace(kR, QStringLiteral("r"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"), QStringLiteral("wp"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main"), QStringLiteral("a"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"), QStringLiteral("pic"));
    for (size_t i = 0; i < notes.size(); ++i) {
        m_x.writeStartElement(QStringLiteral("w:") + kind);
        m_x.writeAttribute(QStringLiteral("w:id"), QString::number(i + 1));
        QTextDocument content;
        readNoteContent(notes[i], content);
        m_noteMark = endnotes ? "w:endnoteRef" : "w:footnoteRef";
        m_listNumbers.clear(); // the lists of the note before are gone with its document
        frame(content.rootFrame());
        m_noteMark = nullptr;
        m_x.writeEndElement();
    }
    m_x.writeEndElement();
    m_x.writeEndDocument();
    m_x.setDevice(nullptr);
    if (!m_rels.empty())
        m_package.add(QStringLiteral("word/_rels/") + kind + QStringLiteral("s.xml.rels"), relationshipsXml(m_rels));
    m_rels = std::move(bodyRels);
    m_linkIds = std::move(bodyLinks);
    relationship(kind + u's', kind + QStringLiteral("s.xml"), false);
    return bytes;
}

QString Writer::relationship(const QString& type, const QString& target, bool external)
{
    const QString id = QStringLiteral("rId%1").arg(m_rels.size() + 10);
    m_rels.push_back({id, {type, external ? u'!' + target : target}});
    return id;
}

void Writer::runProps(const QTextCharFormat& format)
{
    const CharFormat cf = readCharFormat(format, m_defaultFont);
    m_x.writeStartElement(QStringLiteral("w:rPr"));
    const bool defaultFace = format.hasProperty(docprop::DefaultFace) && format.stringProperty(docprop::DefaultFace) == cf.faceName;
    if (!defaultFace && !cf.faceName.isEmpty()) {
        m_x.writeEmptyElement(QStringLiteral("w:rFonts"));
        m_x.writeAttribute(QStringLiteral("w:ascii"), cf.faceName);
        m_x.writeAttribute(QStringLiteral("w:hAnsi"), cf.faceName);
        m_x.writeAttribute(QStringLiteral("w:cs"), cf.faceName);
    }
    if (cf.effects & cfe::Bold)
        m_x.writeEmptyElement(QStringLiteral("w:b"));
    if (cf.effects & cfe::Italic)
        m_x.writeEmptyElement(QStringLiteral("w:i"));
    if (cf.effects & cfe::Strikeout)
        m_x.writeEmptyElement(QStringLiteral("w:strike"));
    if (!(cf.effects & cfe::AutoColor)) {
        m_x.writeEmptyElement(QStringLiteral("w:color"));
        m_x.writeAttribute(QStringLiteral("w:val"), hex(cf.textColor));
    }
    if (!format.boolProperty(docprop::SizeUnstated)) {
        m_x.writeEmptyElement(QStringLiteral("w:sz"));
        m_x.writeAttribute(QStringLiteral("w:val"), QString::number(std::max(2, cf.height / 10)));
    }
    if (cf.effects & cfe::Underline) {
        m_x.writeEmptyElement(QStringLiteral("w:u"));
        m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("single"));
    }
    if (!(cf.effects & cfe::AutoBackColor)) {
        m_x.writeEmptyElement(QStringLiteral("w:shd"));
        m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
        m_x.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
        m_x.writeAttribute(QStringLiteral("w:fill"), hex(cf.backColor));
    }
    if (cf.effects & (cfe::Subscript | cfe::Superscript)) {
        m_x.writeEmptyElement(QStringLiteral("w:vertAlign"));
        m_x.writeAttribute(QStringLiteral("w:val"), (cf.effects & cfe::Superscript) ? QStringLiteral("superscript")
                                                                                      : QStringLiteral("subscript"));
    }
    if (const QString tag = package::tagOfLanguage(cf.language); !tag.isEmpty()) {
        m_x.writeEmptyElement(QStringLiteral("w:lang"));
        m_x.writeAttribute(QStringLiteral("w:val"), tag);
    }
    m_x.writeEndElement();
}

void Writer::run(const QTextCharFormat& format, const QString& text)
{
    m_x.writeStartElement(QStringLiteral("w:r"));
    runProps(format);
    QString pending;
    const auto flush = [&] {
        if (pending.isEmpty())
            return;
        m_x.writeStartElement(QStringLiteral("w:t"));
        m_x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        m_x.writeCharacters(pending);
        m_x.writeEndElement();
        pending.clear();
    };
    for (const QChar c : text) {
        if (c == u'\t') {
            flush();
            m_x.writeEmptyElement(QStringLiteral("w:tab"));
        } else if (c == QChar::LineSeparator || c == u'\v') {
            flush();
            m_x.writeEmptyElement(QStringLiteral("w:br"));
        } else if (c == QChar::ObjectReplacementCharacter || c.unicode() < 0x20 || c.isNonCharacter()) {
            // Nothing an XML document may hold as text.
        } else {
            pending += c;
        }
    }
    flush();
    m_x.writeEndElement();
}

void Writer::picture(const Picture& pic, const QTextCharFormat& format)
{
    // PNG and JPEG go as they are; what Word would not show (device bitmaps) as PNG; metafiles
    // as the files they are.
    QByteArray data = pic.data;
    QString ext;
    switch (pic.kind) {
    case PictureKind::Png: ext = QStringLiteral("png"); break;
    case PictureKind::Jpeg: ext = QStringLiteral("jpeg"); break;
    case PictureKind::Emf: ext = QStringLiteral("emf"); break;
    case PictureKind::Wmf: ext = QStringLiteral("wmf"); break;
    case PictureKind::Dib: {
        const QImage image = decodePicture(pic);
        if (image.isNull())
            return;
        QBuffer png(&data);
        data.clear();
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        ext = QStringLiteral("png");
        break;
    }
    }
    const QString name = QStringLiteral("media/image%1.%2").arg(++m_pictures).arg(ext);
    m_package.add(QStringLiteral("word/") + name, data);
    const QString id = relationship(QStringLiteral("image"), name, false);
    const QSize twips = displaySizeTwips(pic);
    const QString cx = QString::number(int64_t(twips.width()) * kEmuPerTwip);
    const QString cy = QString::number(int64_t(twips.height()) * kEmuPerTwip);
    const QString n = QString::number(m_pictures);
    m_x.writeStartElement(QStringLiteral("w:r"));
    runProps(format);
    m_x.writeStartElement(QStringLiteral("w:drawing"));
    m_x.writeStartElement(QStringLiteral("wp:inline"));
    m_x.writeEmptyElement(QStringLiteral("wp:extent"));
    m_x.writeAttribute(QStringLiteral("cx"), cx);
    m_x.writeAttribute(QStringLiteral("cy"), cy);
    m_x.writeEmptyElement(QStringLiteral("wp:docPr"));
    m_x.writeAttribute(QStringLiteral("id"), n);
    m_x.writeAttribute(QStringLiteral("name"), QStringLiteral("Obrázok ") + n);
    m_x.writeStartElement(QStringLiteral("a:graphic"));
    m_x.writeStartElement(QStringLiteral("a:graphicData"));
    m_x.writeAttribute(QStringLiteral("uri"), QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    m_x.writeStartElement(QStringLiteral("pic:pic"));
    m_x.writeStartElement(QStringLiteral("pic:nvPicPr"));
    m_x.writeEmptyElement(QStringLiteral("pic:cNvPr"));
    m_x.writeAttribute(QStringLiteral("id"), n);
    m_x.writeAttribute(QStringLiteral("name"), name.section(u'/', -1));
    m_x.writeEmptyElement(QStringLiteral("pic:cNvPicPr"));
    m_x.writeEndElement();
    m_x.writeStartElement(QStringLiteral("pic:blipFill"));
    m_x.writeEmptyElement(QStringLiteral("a:blip"));
    m_x.writeAttribute(QStringLiteral("r:embed"), id);
    m_x.writeStartElement(QStringLiteral("a:stretch"));
    m_x.writeEmptyElement(QStringLiteral("a:fillRect"));
    m_x.writeEndElement();
    m_x.writeEndElement();
    m_x.writeStartElement(QStringLiteral("pic:spPr"));
    m_x.writeStartElement(QStringLiteral("a:xfrm"));
    m_x.writeEmptyElement(QStringLiteral("a:off"));
    m_x.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    m_x.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    m_x.writeEmptyElement(QStringLiteral("a:ext"));
    m_x.writeAttribute(QStringLiteral("cx"), cx);
    m_x.writeAttribute(QStringLiteral("cy"), cy);
    m_x.writeEndElement();
    m_x.writeStartElement(QStringLiteral("a:prstGeom"));
    m_x.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    m_x.writeEndElement();
    m_x.writeEndElement(); // spPr
    m_x.writeEndElement(); // pic
    m_x.writeEndElement(); // graphicData
    m_x.writeEndElement(); // graphic
    m_x.writeEndElement(); // inline
    m_x.writeEndElement(); // drawing
    m_x.writeEndElement(); // r
}

void Writer::listLevel(const QTextBlock& block, const ParaFormat& pf)
{
    const QTextList* list = block.textList();
    if (!list || pf.numbering == pfn::None || pf.numbering >= kListKinds)
        return;
    m_listsUsed = true;
    auto [it, fresh] = m_listNumbers.try_emplace(list, int(m_lists.size()) + 1);
    if (fresh)
        m_lists.push_back(list->format());
    m_x.writeStartElement(QStringLiteral("w:numPr"));
    m_x.writeEmptyElement(QStringLiteral("w:ilvl"));
    m_x.writeAttribute(QStringLiteral("w:val"), QString::number(listLevelOf(block)));
    m_x.writeEmptyElement(QStringLiteral("w:numId"));
    m_x.writeAttribute(QStringLiteral("w:val"), QString::number(it->second));
    m_x.writeEndElement();
}

void Writer::block(const QTextBlock& block)
{
    const ParaFormat pf = readParaFormat(block);
    const QTextBlockFormat bf = block.blockFormat();
    m_x.writeStartElement(QStringLiteral("w:p"));
    m_x.writeStartElement(QStringLiteral("w:pPr"));
    const int outline = bf.hasProperty(docprop::OutlineLevel) ? bf.intProperty(docprop::OutlineLevel) : -1;
    if (outline >= 0 && outline < kHeadingLevels) {
        m_x.writeEmptyElement(QStringLiteral("w:pStyle"));
        m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("Heading%1").arg(outline + 1));
    }
    if (pf.pageBreakBefore)
        m_x.writeEmptyElement(QStringLiteral("w:pageBreakBefore"));
    listLevel(block, pf);
    m_x.writeEmptyElement(QStringLiteral("w:spacing"));
    m_x.writeAttribute(QStringLiteral("w:before"), QString::number(pf.spaceBefore));
    m_x.writeAttribute(QStringLiteral("w:after"), QString::number(pf.spaceAfter));
    if (pf.lineSpacing == 0) {
        m_x.writeAttribute(QStringLiteral("w:line"), QStringLiteral("240"));
        m_x.writeAttribute(QStringLiteral("w:lineRule"), QStringLiteral("auto"));
    } else {
        m_x.writeAttribute(QStringLiteral("w:line"), QString::number(std::abs(pf.lineSpacing)));
        m_x.writeAttribute(QStringLiteral("w:lineRule"), pf.lineMultiple      ? QStringLiteral("auto")
                                                         : pf.lineSpacing < 0 ? QStringLiteral("exact")
                                                                              : QStringLiteral("atLeast"));
    }
    m_x.writeEmptyElement(QStringLiteral("w:ind"));
    // The record keeps the first line's indent and the other lines' offset from it.
    m_x.writeAttribute(QStringLiteral("w:left"), QString::number(std::max(0, pf.startIndent + pf.offset)));
    if (pf.offset > 0)
        m_x.writeAttribute(QStringLiteral("w:hanging"), QString::number(pf.offset));
    else if (pf.offset < 0)
        m_x.writeAttribute(QStringLiteral("w:firstLine"), QString::number(-pf.offset));
    m_x.writeEmptyElement(QStringLiteral("w:jc"));
    m_x.writeAttribute(QStringLiteral("w:val"), pf.alignment == pfa::Center    ? QStringLiteral("center")
                                                : pf.alignment == pfa::Right   ? QStringLiteral("right")
                                                : pf.alignment == pfa::Justify ? QStringLiteral("both")
                                                                               : QStringLiteral("left"));
    // The last paragraph of a section, but the document's last, states the section.
    if (block.document() == &m_doc && m_sections.size() > 1 && !QTextCursor(block).currentTable()) {
        const QTextBlock next = block.next();
        if (next.isValid() && sectionOf(next.blockFormat()))
            section(m_sections[sectionAt(m_sections, block.position())].setup);
    }
    m_x.writeEndElement(); // pPr
    if (m_noteMark) {
        m_x.writeStartElement(QStringLiteral("w:r"));
        m_x.writeStartElement(QStringLiteral("w:rPr"));
        m_x.writeEmptyElement(QStringLiteral("w:vertAlign"));
        m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("superscript"));
        m_x.writeEndElement();
        m_x.writeEmptyElement(QLatin1StringView(std::exchange(m_noteMark, nullptr)));
        m_x.writeEndElement();
    }
    QString linkTarget;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        // A link is its own element around its runs.
        const QString target = format.isAnchor() ? format.anchorHref() : QString();
        if (target != linkTarget) {
            if (!linkTarget.isEmpty())
                m_x.writeEndElement();
            linkTarget = target;
            if (!linkTarget.isEmpty()) {
                m_x.writeStartElement(QStringLiteral("w:hyperlink"));
                auto id = m_linkIds.find(linkTarget);
                if (id == m_linkIds.end())
                    id = m_linkIds.emplace(linkTarget, relationship(QStringLiteral("hyperlink"), linkTarget, true)).first;
                m_x.writeAttribute(QStringLiteral("r:id"), id->second);
            }
        }
        if (const std::optional<Picture> pic = pictureFromFormat(format)) {
            picture(*pic, format);
            continue;
        }
        if (const std::optional<Note> note = noteOf(format)) {
            for (qsizetype i = 0; i < fragment.length(); ++i)
                noteReference(*note);
            continue;
        }
        if (const QString hidden = hiddenTextOf(format); !hidden.isEmpty()) {
            m_x.writeStartElement(QStringLiteral("w:r"));
            m_x.writeStartElement(QStringLiteral("w:rPr"));
            m_x.writeEmptyElement(QStringLiteral("w:vanish"));
            m_x.writeEndElement();
            m_x.writeStartElement(QStringLiteral("w:t"));
            m_x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            m_x.writeCharacters(hidden);
            m_x.writeEndElement();
            m_x.writeEndElement();
            continue;
        }
        run(format, fragment.text());
    }
    if (!linkTarget.isEmpty())
        m_x.writeEndElement();
    m_x.writeEndElement(); // p
}

void Writer::table(QTextTable* t)
{
    m_x.writeStartElement(QStringLiteral("w:tbl"));
    m_x.writeStartElement(QStringLiteral("w:tblPr"));
    m_x.writeEmptyElement(QStringLiteral("w:tblW"));
    m_x.writeAttribute(QStringLiteral("w:w"), QStringLiteral("0"));
    m_x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("auto"));
    m_x.writeEmptyElement(QStringLiteral("w:tblLayout"));
    m_x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("fixed"));
    m_x.writeEndElement();
    // The grid: the first row's cell edges.
    const int columns = t->columns();
    std::vector<int32_t> widths;
    int32_t left = t->cellAt(0, 0).format().intProperty(tableprop::RowLeftTwips);
    for (int c = 0; c < columns; ++c) {
        const int32_t right = t->cellAt(0, c).format().intProperty(tableprop::CellRightTwips);
        widths.push_back(std::max(1, right - left));
        left = right;
    }
    m_x.writeStartElement(QStringLiteral("w:tblGrid"));
    for (const int32_t w : widths) {
        m_x.writeEmptyElement(QStringLiteral("w:gridCol"));
        m_x.writeAttribute(QStringLiteral("w:w"), QString::number(w));
    }
    m_x.writeEndElement();
    for (int r = 0; r < t->rows(); ++r) {
        m_x.writeStartElement(QStringLiteral("w:tr"));
        const QTextCharFormat first = t->cellAt(r, 0).format();
        if (first.boolProperty(tableprop::RowHeader) || first.intProperty(tableprop::RowHeightTwips) != 0) {
            m_x.writeStartElement(QStringLiteral("w:trPr"));
            if (const int32_t h = first.intProperty(tableprop::RowHeightTwips)) {
                m_x.writeEmptyElement(QStringLiteral("w:trHeight"));
                m_x.writeAttribute(QStringLiteral("w:val"), QString::number(std::abs(h)));
                m_x.writeAttribute(QStringLiteral("w:hRule"), h < 0 ? QStringLiteral("exact") : QStringLiteral("atLeast"));
            }
            if (first.boolProperty(tableprop::RowHeader))
                m_x.writeEmptyElement(QStringLiteral("w:tblHeader"));
            m_x.writeEndElement();
        }
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = t->cellAt(r, c);
            const QTextCharFormat f = cell.format();
            // Cells merged into this one from the right are its grid span.
            int span = 1;
            if (f.intProperty(tableprop::MergeHorizontal) == int(tableprop::Merge::First))
                while (c + span < columns && t->cellAt(r, c + span).format().intProperty(tableprop::MergeHorizontal) ==
                                                 int(tableprop::Merge::Continued))
                    ++span;
            int32_t width = 0;
            for (int s = 0; s < span; ++s)
                width += widths[size_t(c + s)];
            m_x.writeStartElement(QStringLiteral("w:tc"));
            m_x.writeStartElement(QStringLiteral("w:tcPr"));
            m_x.writeEmptyElement(QStringLiteral("w:tcW"));
            m_x.writeAttribute(QStringLiteral("w:w"), QString::number(width));
            m_x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
            if (span > 1) {
                m_x.writeEmptyElement(QStringLiteral("w:gridSpan"));
                m_x.writeAttribute(QStringLiteral("w:val"), QString::number(span));
            }
            const int vmerge = f.intProperty(tableprop::MergeVertical);
            if (vmerge != int(tableprop::Merge::None)) {
                m_x.writeEmptyElement(QStringLiteral("w:vMerge"));
                if (vmerge == int(tableprop::Merge::First))
                    m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("restart"));
            }
            const QList<int> borders = f.property(tableprop::BorderStyles).value<QList<int>>();
            const QList<int> widthsB = f.property(tableprop::BorderTwips).value<QList<int>>();
            if (borders.size() == 4 && borders != QList<int>(4, 0)) {
                static const char* const kSides[] = {"w:left", "w:top", "w:right", "w:bottom"};
                m_x.writeStartElement(QStringLiteral("w:tcBorders"));
                for (int s = 0; s < 4; ++s) {
                    m_x.writeEmptyElement(QLatin1StringView(kSides[s]));
                    m_x.writeAttribute(QStringLiteral("w:val"), borders[s] ? QStringLiteral("single") : QStringLiteral("nil"));
                    if (borders[s])
                        m_x.writeAttribute(QStringLiteral("w:sz"),
                                           QString::number(std::clamp(widthsB.value(s) * 8 / 20, 2, 96)));
                }
                m_x.writeEndElement();
            }
            if (f.background().style() != Qt::NoBrush) {
                const QColor bg = f.background().color();
                m_x.writeEmptyElement(QStringLiteral("w:shd"));
                m_x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
                m_x.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
                m_x.writeAttribute(QStringLiteral("w:fill"), bg.name().mid(1).toUpper());
            }
            m_x.writeEndElement(); // tcPr
            // A cell holds at least one paragraph.
            for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                if (it.currentBlock().isValid())
                    block(it.currentBlock());
                else if (auto* inner = qobject_cast<QTextTable*>(it.currentFrame()))
                    this->table(inner);
            }
            m_x.writeEndElement(); // tc
            c += span;
        }
        m_x.writeEndElement(); // tr
    }
    m_x.writeEndElement(); // tbl
}

void Writer::frame(QTextFrame* frame)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) {
            // The empty paragraph Qt keeps before a table the file did not have is left out.
            const QTextBlock b = it.currentBlock();
            QTextFrame::iterator next = it;
            ++next;
            const bool beforeTable = !next.atEnd() && qobject_cast<QTextTable*>(next.currentFrame());
            if (beforeTable && b.length() == 1 && !b.blockFormat().boolProperty(tableprop::StatedBeforeTable) &&
                b.position() == 0)
                continue;
            block(b);
        } else if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) {
            table(t);
        }
    }
}

void Writer::section(const SectionSetup& setup)
{
    const PageSetup& page = setup.page;
    m_x.writeStartElement(QStringLiteral("w:sectPr"));
    static const char* const kStarts[] = {"continuous", "nextColumn", "nextPage", "evenPage", "oddPage"};
    if (setup.breakKind != sbk::Page && setup.breakKind >= 0 && setup.breakKind <= sbk::Odd) {
        m_x.writeEmptyElement(QStringLiteral("w:type"));
        m_x.writeAttribute(QStringLiteral("w:val"), QLatin1StringView(kStarts[setup.breakKind]));
    }
    m_x.writeEmptyElement(QStringLiteral("w:pgSz"));
    m_x.writeAttribute(QStringLiteral("w:w"), QString::number(page.paperWidth > 0 ? page.paperWidth : 11906));
    m_x.writeAttribute(QStringLiteral("w:h"), QString::number(page.paperHeight > 0 ? page.paperHeight : 16838));
    if (page.landscape)
        m_x.writeAttribute(QStringLiteral("w:orient"), QStringLiteral("landscape"));
    m_x.writeEmptyElement(QStringLiteral("w:pgMar"));
    const auto margin = [](int32_t m) { return QString::number(m >= 0 ? m : 1417); };
    m_x.writeAttribute(QStringLiteral("w:top"), margin(page.marginTop));
    m_x.writeAttribute(QStringLiteral("w:right"), margin(page.marginRight));
    m_x.writeAttribute(QStringLiteral("w:bottom"), margin(page.marginBottom));
    m_x.writeAttribute(QStringLiteral("w:left"), margin(page.marginLeft));
    m_x.writeAttribute(QStringLiteral("w:header"), QStringLiteral("709"));
    m_x.writeAttribute(QStringLiteral("w:footer"), QStringLiteral("709"));
    m_x.writeAttribute(QStringLiteral("w:gutter"), QStringLiteral("0"));
    if (setup.columns > 1) {
        m_x.writeEmptyElement(QStringLiteral("w:cols"));
        m_x.writeAttribute(QStringLiteral("w:num"), QString::number(setup.columns));
    }
    m_x.writeEndElement();
}

QByteArray Writer::styles() const
{
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeStartElement(QStringLiteral("w:styles"));
    x.writeNamespace(kW, QStringLiteral("w"));
    x.writeStartElement(QStringLiteral("w:style"));
    x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
    x.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
    x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("Normal"));
    x.writeEmptyElement(QStringLiteral("w:name"));
    x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("Normal"));
    x.writeEndElement();
    // Headings by outline level, named as word processors know them, so that they stay headings.
    for (int level = 0; level < kHeadingLevels; ++level) {
        x.writeStartElement(QStringLiteral("w:style"));
        x.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
        x.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("Heading%1").arg(level + 1));
        x.writeEmptyElement(QStringLiteral("w:name"));
        x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("heading %1").arg(level + 1));
        x.writeEmptyElement(QStringLiteral("w:basedOn"));
        x.writeAttribute(QStringLiteral("w:val"), QStringLiteral("Normal"));
        x.writeEmptyElement(QStringLiteral("w:qFormat"));
        x.writeStartElement(QStringLiteral("w:pPr"));
        x.writeEmptyElement(QStringLiteral("w:keepNext"));
        x.writeEmptyElement(QStringLiteral("w:outlineLvl"));
        x.writeAttribute(QStringLiteral("w:val"), QString::number(level));
        x.writeEndElement();
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

QByteArray Writer::numbering() const
{
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeStartElement(QStringLiteral("w:numbering"));
    x.writeNamespace(kW, QStringLiteral("w"));
    // Each list its own definition of its nine levels.
    for (size_t i = 0; i < m_lists.size(); ++i) {
        x.writeStartElement(QStringLiteral("w:abstractNum"));
        x.writeAttribute(QStringLiteral("w:abstractNumId"), QString::number(i + 1));
        for (int level = 0; level < kListLevelCount; ++level) {
            const ListLevel l = listLevelOf(m_lists[i], level);
            x.writeStartElement(QStringLiteral("w:lvl"));
            x.writeAttribute(QStringLiteral("w:ilvl"), QString::number(level));
            x.writeEmptyElement(QStringLiteral("w:start"));
            x.writeAttribute(QStringLiteral("w:val"), QString::number(l.start));
            x.writeEmptyElement(QStringLiteral("w:numFmt"));
            x.writeAttribute(QStringLiteral("w:val"), QLatin1StringView(kNumberFormats[l.numbering < kListKinds ? l.numbering : pfn::Arabic]));
            x.writeEmptyElement(QStringLiteral("w:lvlText"));
            x.writeAttribute(QStringLiteral("w:val"), labelText(l.text));
            x.writeStartElement(QStringLiteral("w:pPr"));
            x.writeEmptyElement(QStringLiteral("w:ind"));
            // A level that states no indent stands 360 twips further in than the one above it.
            const int32_t indent = l.indent >= 0 ? l.indent : 720 + 360 * level;
            x.writeAttribute(QStringLiteral("w:left"), QString::number(indent));
            if (l.indent < 0 || l.firstIndent < 0)
                x.writeAttribute(QStringLiteral("w:hanging"), QString::number(l.indent < 0 ? 360 : -l.firstIndent));
            else if (l.firstIndent > 0)
                x.writeAttribute(QStringLiteral("w:firstLine"), QString::number(l.firstIndent));
            x.writeEndElement();
            x.writeEndElement();
        }
        x.writeEndElement();
    }
    for (size_t i = 0; i < m_lists.size(); ++i) {
        x.writeStartElement(QStringLiteral("w:num"));
        x.writeAttribute(QStringLiteral("w:numId"), QString::number(i + 1));
        x.writeEmptyElement(QStringLiteral("w:abstractNumId"));
        x.writeAttribute(QStringLiteral("w:val"), QString::number(i + 1));
        x.writeEndElement();
    }
    x.writeEndElement();
    x.writeEndDocument();
    return out;
}

QByteArray Writer::write()
{
    m_x.writeStartDocument(QStringLiteral("1.0"), true);
    m_x.writeStartElement(QStringLiteral("w:document"));
    m_x.writeNamespace(kW, QStringLiteral("w"));
    m_x.writeNamespace(kR, QStringLiteral("r"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"), QStringLiteral("wp"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main"), QStringLiteral("a"));
    m_x.writeNamespace(QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"), QStringLiteral("pic"));
    m_x.writeStartElement(QStringLiteral("w:body"));
    m_sections = sectionsOf(m_doc);
    frame(m_doc.rootFrame());
    section(m_sections.empty() ? firstSection(m_doc) : m_sections.back().setup);
    m_x.writeEndElement();
    m_x.writeEndElement();
    m_x.writeEndDocument();

    // The notes first: lists in them need the numbering part too.
    const QByteArray footnotes = notesPart(false);
    const QByteArray endnotes = notesPart(true);
    const QString styles = relationship(QStringLiteral("styles"), QStringLiteral("styles.xml"), false);
    (void)styles;
    if (m_listsUsed)
        relationship(QStringLiteral("numbering"), QStringLiteral("numbering.xml"), false);
    const QByteArray rels = relationshipsXml(m_rels);
    QByteArray types;
    {
        QXmlStreamWriter x(&types);
        x.writeStartDocument(QStringLiteral("1.0"), true);
        x.writeStartElement(QStringLiteral("Types"));
        x.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
        const std::pair<const char*, const char*> defaults[] = {
            {"rels", "application/vnd.openxmlformats-package.relationships+xml"}, {"xml", "application/xml"},
            {"png", "image/png"}, {"jpeg", "image/jpeg"}, {"emf", "image/x-emf"}, {"wmf", "image/x-wmf"}};
        for (const auto& [ext, type] : defaults) {
            x.writeEmptyElement(QStringLiteral("Default"));
            x.writeAttribute(QStringLiteral("Extension"), QLatin1StringView(ext));
            x.writeAttribute(QStringLiteral("ContentType"), QLatin1StringView(type));
        }
        const std::pair<const char*, const char*> overrides[] = {
            {"/word/document.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"},
            {"/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"},
            {"/word/numbering.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml"},
            {"/word/footnotes.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.footnotes+xml"},
            {"/word/endnotes.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.endnotes+xml"}};
        for (const auto& [part, type] : overrides) {
            const QLatin1StringView name(part);
            if ((!m_listsUsed && name.contains("numbering"_L1)) || (footnotes.isEmpty() && name.contains("footnotes"_L1))
                || (endnotes.isEmpty() && name.contains("endnotes"_L1)))
                continue;
            x.writeEmptyElement(QStringLiteral("Override"));
            x.writeAttribute(QStringLiteral("PartName"), QLatin1StringView(part));
            x.writeAttribute(QStringLiteral("ContentType"), QLatin1StringView(type));
        }
        x.writeEndElement();
        x.writeEndDocument();
    }
    m_package.add(QStringLiteral("[Content_Types].xml"), types);
    m_package.add(QStringLiteral("_rels/.rels"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>");
    m_package.add(QStringLiteral("word/document.xml"), m_body);
    m_package.add(QStringLiteral("word/_rels/document.xml.rels"), rels);
    m_package.add(QStringLiteral("word/styles.xml"), this->styles());
    if (m_listsUsed)
        m_package.add(QStringLiteral("word/numbering.xml"), numbering());
    if (!footnotes.isEmpty())
        m_package.add(QStringLiteral("word/footnotes.xml"), footnotes);
    if (!endnotes.isEmpty())
        m_package.add(QStringLiteral("word/endnotes.xml"), endnotes);
    return m_package.finish();
}

} // namespace
} // namespace docx

QByteArray writeDocx(const QTextDocument& doc) { return docx::Writer(doc).write(); }

} // namespace zorim
