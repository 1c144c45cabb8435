// The RTF writer: the document as the Windows rich edit control wrote it. The body is written
// first, collecting fonts and colours; the header with their tables is put before it at the end.
#include "Rtf.h"

#include "Objects.h"
#include "Picture.h"
#include "RtfKeptGroups.h"
#include "RtfNotes.h"
#include "RtfNumbering.h"
#include "RtfTables.h"
#include "RtfWriterState.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/TableFormat.h"
#include "text/Codepage.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <utility>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace zorim::rtfwrite {


// Sub- and superscript, background colours, text not to be proofed and a character style are
// written inside a group of their own, so that no word is needed to turn them off: readers
// disagree on \nosupersub and \highlight0, and \noproof and \cs have no word for off. So is a
// named face where other text names none: no word returns to no face (AbiWord misreads \plain
// after text).
bool Writer::openScope(const CharFormat& cf)
{
    const bool styled = keptCharStyle(cf) > 0;
    if (!(cf.effects & (cfe::Subscript | cfe::Superscript)) && (cf.effects & cfe::AutoBackColor) && !cf.noProof && !styled
        && !(m_faceless && !cf.faceName.isEmpty()))
        return false;
    m_body += '{';
    m_needSpace = false;
    m_beforeScope = m_written;
    if (styled) {
        // A reader gives the run the style's formatting wherever the run does not say
        // otherwise: the run says everything but that it has no background (AbiWord takes
        // \highlight0 for black). The style's word follows the run's words (run()).
        m_written.font = m_written.halfPoints = m_written.color = -1;
        m_written.language = 0;
        m_written.effectsStated = false;
    }
    return true;
}

void Writer::closeScope(bool scoped)
{
    if (!scoped)
        return;
    m_body += '}';
    m_needSpace = false;
    m_written = m_beforeScope;
}

void Writer::openLink(const QString& target)
{
    // A field's instruction quotes the address; quotes and backslashes in it are escaped
    // for the instruction first, then for RTF.
    QString quoted = target;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    m_body += "{\\field{\\*\\fldinst{HYPERLINK \"";
    m_needSpace = false;
    text(quoted, 0, false); // \uN only: the instruction's font is not ours to know
    m_body += "\"}}{\\fldrslt{";
    m_needSpace = false;
    m_inLink = true;
    m_linkTarget = target;
    m_beforeLink = m_written;
}

void Writer::enterField(const CharFormat& cf)
{
    const bool link = (cf.effects & cfe::Link) && !cf.linkTarget.isEmpty();
    const int field = !link && m_runFormat ? m_runFormat->intProperty(docprop::FieldId) : 0;
    const QString instruction = field ? m_runFormat->stringProperty(docprop::FieldInstruction) : QString();
    if (link) {
        if (!m_inLink || m_fieldId != 0 || m_linkTarget != cf.linkTarget) {
            closeLink();
            openLink(cf.linkTarget);
        }
    } else if (field && !instruction.isEmpty()) {
        if (!m_inLink || m_fieldId != field) {
            closeLink();
            m_body += "{\\field{\\*\\fldinst{ ";
            m_needSpace = false;
            text(instruction, 0, false);
            m_body += " }}{\\fldrslt{";
            m_needSpace = false;
            m_inLink = true;
            m_linkTarget.clear();
            m_fieldId = field;
            m_beforeLink = m_written;
        }
    } else {
        closeLink();
    }
}

void Writer::closeLink()
{
    if (!m_inLink)
        return;
    m_body += "}}}";
    m_needSpace = false;
    m_inLink = false;
    m_fieldId = 0;
    m_written = m_beforeLink; // the field's groups took their formatting with them
}

void Writer::picture(const QTextCharFormat& format)
{
    if (m_options.noObjects)
        return;
    std::optional<Picture> pic = pictureFromFormat(format);
    if (!pic) {
        // A picture that came in some other way: write what is shown, as PNG.
        const QTextImageFormat image = format.toImageFormat();
        const QVariant res = m_doc->resource(QTextDocument::ImageResource, QUrl(image.name()));
        QImage img = res.value<QImage>();
        if (img.isNull())
            return;
        pic = pictureFromImage(img);
        if (image.width() > 0 && image.height() > 0) {
            pic->goalWidth = int32_t(image.width() * kTwipsPerPixel);
            pic->goalHeight = int32_t(image.height() * kTwipsPerPixel);
        }
    }
    if (pic->data.isEmpty())
        return;
    const qsizetype pictAt = m_body.size();
    m_body += "{\\pict";
    switch (pic->kind) {
    case PictureKind::Png: m_body += "\\pngblip"; break;
    case PictureKind::Jpeg: m_body += "\\jpegblip"; break;
    case PictureKind::Dib: m_body += "\\dibitmap0"; break;
    case PictureKind::Wmf: m_body += "\\wmetafile" + QByteArray::number(pic->mapMode); break;
    case PictureKind::Emf: m_body += "\\emfblip"; break;
    }
    m_body += "\\picw" + QByteArray::number(pic->width) + "\\pich" + QByteArray::number(pic->height);
    if (pic->goalWidth > 0)
        m_body += "\\picwgoal" + QByteArray::number(pic->goalWidth);
    if (pic->goalHeight > 0)
        m_body += "\\pichgoal" + QByteArray::number(pic->goalHeight);
    if (pic->scaleX != 100)
        m_body += "\\picscalex" + QByteArray::number(pic->scaleX);
    if (pic->scaleY != 100)
        m_body += "\\picscaley" + QByteArray::number(pic->scaleY);
    m_body += "\r\n";
    const auto* p = reinterpret_cast<const unsigned char*>(pic->data.constData());
    const qsizetype n = pic->data.size();
    const qsizetype start = m_body.size();
    m_body.resize(start + n * 2 + (n / 64 + 1) * 2);
    char* out = m_body.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        *out++ = kHex[p[i] >> 4];
        *out++ = kHex[p[i] & 0xF];
        if (i % 64 == 63) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    m_body.resize(out - m_body.constData());
    m_body += '}';
    if (const auto object = objectFromFormat(format)) { // an object, shown by this picture
        const QByteArray pict = m_body.mid(pictAt);
        m_body.truncate(pictAt);
        m_body += objectToRtf(*object, *pic, pict);
    }
    m_needSpace = false;
}

bool Writer::hiddenObjects(const QTextCharFormat& format, const CharFormat& cf, int count)
{
    if (const KeptGroups comment = keptCommentOf(format); !comment.empty()) {
        // Another program's comment, as it was read, outside any link.
        closeLink();
        const QByteArray bytes = renumbered(comment, comment.groups[0]);
        // A reader takes the parts of comments side by side for one comment's (a range's
        // start or end is a piece of its own): a word that changes nothing here (hidden text
        // is written in groups of its own) ends the one before.
        const bool range = bytes.startsWith("{\\*\\atrf");
        for (int i = 0; i < count; ++i) {
            if (!range && m_commentEnd == m_body.size())
                m_body += "\\v0";
            m_body += bytes;
            m_commentEnd = range ? -1 : m_body.size();
        }
        m_needSpace = false;
        return true;
    }
    if (const BookmarkMark mark = bookmarkOf(format); !mark.name.isEmpty()) {
        // Where it stands, inside a field's result as well. Right after a comment a reader
        // would take the mark's group for one of the comment's parts: a word ends the comment.
        if (m_commentEnd == m_body.size())
            m_body += "\\v0";
        for (int i = 0; i < count; ++i) {
            m_body += mark.start ? "{\\*\\bkmkstart " : "{\\*\\bkmkend ";
            m_needSpace = false;
            text(mark.name, 0, false);
            m_body += '}';
        }
        m_needSpace = false;
        return true;
    }
    const QString hidden = hiddenTextOf(format);
    if (hidden.isEmpty())
        return false;
    // Hidden text in a group of its own; a link does not reach into it. Each object character
    // is its own group: two equal hidden runs side by side share one fragment, and one group
    // would read back as one run. Hidden text in a field's result stays in the field.
    if (m_fieldId == 0 || format.intProperty(docprop::FieldId) != m_fieldId)
        closeLink();
    CharFormat plain = cf;
    plain.effects &= ~cfe::Link;
    for (int i = 0; i < count; ++i) {
        const Written before = m_written;
        m_body += "{\\v";
        m_needSpace = true;
        m_inHidden = true;
        run(plain, hidden);
        m_inHidden = false;
        m_body += '}';
        m_needSpace = false;
        m_written = before;
    }
    return true;
}

bool Writer::notes(const QTextCharFormat& format, const CharFormat& cf, int count)
{
    const std::optional<Note> note = noteOf(format);
    if (!note)
        return false;
    closeLink();
    const QByteArray content = note->content.empty() ? QByteArray() : renumbered(note->content, note->content.groups[0]);
    const bool scoped = openScope(cf);
    charState(cf);
    for (int i = 0; i < count; ++i) {
        // The mark in the text, then the note, as other word processors write a numbered one.
        if (!note->customMark)
            m_body += "{\\super\\chftn}";
        m_body += note->endnote ? "{\\footnote\\ftnalt" : "{\\footnote";
        if (!content.isEmpty() && content[0] != '\\' && content[0] != '{')
            m_body += ' ';
        m_body += content;
        m_body += '}';
    }
    m_needSpace = false;
    closeScope(scoped);
    return true;
}

int32_t Writer::keptCharStyle(const CharFormat& cf) const
{
    const bool known = cf.charStyle > 0 && std::binary_search(m_charStyles.begin(), m_charStyles.end(), cf.charStyle);
    return known ? cf.charStyle : 0;
}

std::pair<int32_t, int32_t> Writer::keptWords(const QTextBlockFormat& format) const
{
    const int32_t style = format.intProperty(docprop::ParagraphStyle);
    const bool known = std::binary_search(m_styles.begin(), m_styles.end(), style);
    return {known ? style : 0, format.hasProperty(docprop::OutlineLevel) ? format.intProperty(docprop::OutlineLevel) : -1};
}

Writer::ListItem Writer::listItem(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    if (!list)
        return {};
    const QTextListFormat format = list->format();
    int key = format.intProperty(docprop::ListKey);
    if (key <= 0) {
        const auto [at, fresh] = m_unkeyedLists.emplace(list, -int(m_unkeyedLists.size()) - 1);
        key = at->second;
    }
    WrittenList& written = m_lists[key];
    if (written.number == 0) {
        written.number = int(m_lists.size());
        written.format = format;
    }
    const int level = listLevelOf(block);
    return {written.number, level, written.counter.next(format, level)};
}

QByteArray Writer::listTables() const
{
    if (m_lists.empty())
        return {};
    std::vector<const WrittenList*> lists(m_lists.size());
    for (const auto& [key, list] : m_lists)
        lists[size_t(list.number - 1)] = &list;
    QByteArray table = "{\\*\\listtable", overrides = "{\\*\\listoverridetable";
    for (const WrittenList* list : lists) {
        table += "\r\n" + rtf::listTableEntry(list->number, list->format);
        const QByteArray n = QByteArray::number(list->number);
        overrides += "{\\listoverride\\listid" + n + "\\listoverridecount0\\ls" + n + "}";
    }
    return table + "}\r\n" + overrides + "}\r\n";
}

void Writer::paragraph(const QTextBlock& block, bool startsHere)
{
    const ParaFormat pf = readParaFormat(block);
    const auto [style, outline] = keptWords(block.blockFormat());
    // A paragraph that starts a section starts with the section's break and its words.
    const std::optional<SectionSetup> section =
        startsHere && m_depth == 0 && m_paragraphs > 0 ? sectionOf(block.blockFormat()) : std::nullopt;
    if (section)
        sectionBreak(*section);
    if (style > 0 || (m_paragraphs == 0 && !m_styles.empty())) {
        // Other programs give a styled paragraph's text the style's character formatting
        // wherever the file does not say otherwise (with a style sheet, text of no style
        // too, the sheet's normal style's): its first run says everything. Except the
        // background: a run with one is in a group of its own (openScope), and no word says
        // "none" to every reader (AbiWord shows \highlight0 as black).
        m_written.halfPoints = m_written.color = -1;
        if (!m_faceless)
            m_written.font = -1; // outside a group, text of a faceless document names none
        m_written.language = 0;
        m_written.effectsStated = false;
    }
    const ListItem item = listItem(block);
    const bool rtl = block.blockFormat().layoutDirection() == Qt::RightToLeft;
    if (!m_para || !(*m_para == pf) || style != m_paraStyle || outline != m_paraOutline || rtl != m_paraRtl
        || item.list != m_paraList || item.level != m_paraLevel) {
        m_body += m_depth > 0 ? "\\pard\\intbl" : "\\pard";
        if (m_depth > 1)
            word("\\itap", m_depth);
        m_needSpace = true;
        if (style > 0)
            word("\\s", style);
        if (outline >= 0)
            word("\\outlinelevel", outline);
        if (rtl)
            word("\\rtlpar");
        m_paraStyle = style;
        m_paraOutline = outline;
        m_paraRtl = rtl;
        m_paraList = item.list;
        m_paraLevel = item.level;
        if (item.list > 0) {
            word("\\ls", item.list);
            word("\\ilvl", item.level);
        }
        const int fi = -pf.offset;
        const int li = pf.startIndent + pf.offset;
        if (fi)
            word("\\fi", fi);
        if (li)
            word("\\li", li);
        if (pf.spaceBefore)
            word("\\sb", pf.spaceBefore);
        if (pf.spaceAfter)
            word("\\sa", pf.spaceAfter);
        if (pf.lineSpacing) {
            word("\\sl", pf.lineSpacing);
            word("\\slmult", pf.lineMultiple ? 1 : 0);
        }
        switch (pf.alignment) {
        case pfa::Right: word("\\qr"); break;
        case pfa::Center: word("\\qc"); break;
        case pfa::Justify: word("\\qj"); break;
        default: break;
        }
        m_para = pf;
    }
    // The label as the list shows it, for readers that know no lists; readers that do leave
    // it out and number the paragraph by its list.
    if (startsHere && !item.label.isEmpty()) {
        m_body += "{\\listtext\\pard\\plain " + rtf::listText(item.label) + "\\tab}";
        m_needSpace = false;
    }
    // A page break as \page at the paragraph's start, which every reader knows (AbiWord
    // ignores \pagebb); before the first paragraph it would make an empty page.
    if (pf.pageBreakBefore && startsHere && m_paragraphs > 0 && !section)
        word("\\page");
    ++m_paragraphs;
}

// Every value the section has, so it means the same whatever the document's page says; its
// own headers and footers after.
void Writer::sectionBreak(const SectionSetup& setup)
{
    static constexpr const char* kBreaks[] = {"\\sbknone", "\\sbkcol", "\\sbkpage", "\\sbkeven", "\\sbkodd"};
    m_body += "\\sect\\sectd";
    if (setup.breakKind != sbk::Page && setup.breakKind >= 0 && setup.breakKind < int32_t(std::size(kBreaks)))
        m_body += kBreaks[setup.breakKind];
    const PageSetup& page = setup.page;
    for (const auto& [name, value] : {std::pair<const char*, int32_t>{"\\pgwsxn", page.paperWidth},
                                      {"\\pghsxn", page.paperHeight}, {"\\marglsxn", page.marginLeft},
                                      {"\\margrsxn", page.marginRight}, {"\\margtsxn", page.marginTop},
                                      {"\\margbsxn", page.marginBottom}}) {
        if (value >= 0)
            m_body += name + QByteArray::number(value);
    }
    if (page.landscape)
        m_body += "\\lndscpsxn";
    if (setup.columns > 1)
        m_body += "\\cols" + QByteArray::number(setup.columns);
    if (setup.titlePage)
        m_body += "\\titlepg";
    m_body += setup.headers.words + "\r\n";
    for (const QByteArray& group : setup.headers.groups)
        m_body += renumbered(setup.headers, group) + "\r\n";
    m_needSpace = false;
    m_para.reset(); // the paragraph's words again after the section's
}

namespace {

// A run read from a file that named no face for it, still in the face it was shown in.
bool faceless(const QTextCharFormat& format)
{
    const QVariant face = format.property(docprop::DefaultFace);
    return face.isValid() && format.fontFamilies().toStringList().value(0) == face.toString();
}

bool anyFaceless(const QTextDocument& doc, int from, int end)
{
    for (QTextBlock block = doc.findBlock(from); block.isValid() && block.position() <= end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (faceless(it.fragment().charFormat()))
                return true;
        }
    }
    return false;
}

} // namespace

void Writer::body(const QTextDocument& doc, int from, int to)
{
    const int docEnd = std::max(0, doc.characterCount() - 1);
    const int end = (to < 0 || to > docEnd) ? docEnd : to;
    from = std::clamp(from, 0, end);
    // The first piece's page (the header comes after the pieces), headers only from a whole
    // document, and room for that piece (later ones let the body grow: reserving copies it).
    if (m_body.isEmpty()) {
        m_page = readPageSetup(doc);
        m_kept = from == 0 && end == docEnd ? readKeptGroups(doc) : KeptGroups{};
        for (const QByteArray& group : m_kept.groups) {
            if (group.startsWith("{\\stylesheet ")) {
                m_styles = rtf::sheetStyles(group, rtf::StyleKind::Paragraph);
                m_charStyles = rtf::sheetStyles(group, rtf::StyleKind::Character);
            }
        }
        m_body.reserve(qsizetype(end - from) * 2 + 256);
        // Text that names no face is written with none, and the header then names no default
        // font (\deff) and no font 0, which some readers take for the default all the same.
        // Decided before the first font is numbered; a later piece's such text names the face.
        m_faceless = anyFaceless(doc, from, end);
        if (m_faceless)
            m_fonts.push_back(FontKey{});
    }
    m_doc = &doc;

    const bool tables = m_depth < tableprop::kMaxTableDepth && !m_doc->rootFrame()->childFrames().isEmpty();
    for (QTextBlock block = m_doc->findBlock(from); block.isValid() && block.position() <= end; block = block.next()) {
        if (const rtf::TablePart part = tables ? rtf::tablePartAt(block, from, end, m_within) : rtf::TablePart{}; part.table) {
            block = table(part);
            continue;
        } else if (tables && block.position() >= from && rtf::holdsTablePlace(block)
                   && !block.blockFormat().boolProperty(tableprop::StatedBeforeTable)) {
            continue;
        }
        const int blockStart = block.position();
        const int sep = blockStart + block.length() - 1; // position of the paragraph break
        paragraph(block, blockStart >= from);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = frag.position(), fe = fs + frag.length();
            const int a = std::max(fs, from), b = std::min(fe, end);
            if (a >= b)
                continue;
            const QTextCharFormat format = frag.charFormat();
            m_runFormat = &format;
            CharFormat cf = readCharFormat(format, m_defaultFont);
            if (m_faceless && faceless(format))
                cf.faceName.clear();
            if (cf.height == kDefaultHalfPoints * 10 && format.boolProperty(docprop::SizeUnstated))
                cf.height = 0; // no size: written with none where the reader has none either
            if (hiddenObjects(format, cf, b - a) || notes(format, cf, b - a))
                continue;
            if (format.isImageFormat()) {
                if (m_options.noObjects)
                    continue;
                // Each object character of an image fragment is one picture.
                enterField(cf);
                const bool scoped = openScope(cf);
                charState(cf);
                for (int i = a; i < b; ++i)
                    picture(format);
                closeScope(scoped);
                continue;
            }
            run(cf, frag.text().mid(a - fs, b - a));
        }
        m_runFormat = nullptr;
        closeLink();
        const bool finalBreak = sep == docEnd && end == docEnd && (from < end || from == 0);
        if (sep < end || finalBreak) {
            m_body += "\\par\r\n";
            m_needSpace = false;
        }
    }
}

QTextBlock Writer::table(const rtf::TablePart& part)
{
    closeLink();
    const auto color = [this](const QColor& c) { return colorIndex(refFromColor(c)); };
    const QTextTable* within = m_within;
    const bool nested = m_depth > 0;
    const auto cell = [&](int first, int last) {
        m_para.reset(); // each cell starts with \pard\intbl
        ++m_depth;
        m_within = part.table;
        body(*m_doc, first, last);
        m_within = within;
        --m_depth;
        word(nested ? "\\nestcell" : "\\cell");
    };
    const QTextBlock last = rtf::writeTable(part, m_body, color, cell, nested);
    m_needSpace = false;
    m_para.reset();
    return last;
}

QByteArray Writer::finish()
{
    // The header goes in front of the body in the body's own buffer: the tables are known
    // only now, and a second buffer for the whole output would double the memory it takes.
    const QByteArray head = header();
    static constexpr char tail[] = "}\r\n";
    const qsizetype bodySize = m_body.size();
    m_body.resize(head.size() + bodySize + qsizetype(sizeof tail - 1));
    char* out = m_body.data();
    std::memmove(out + head.size(), out, size_t(bodySize));
    std::memcpy(out, head.constData(), size_t(head.size()));
    std::memcpy(out + head.size() + bodySize, tail, sizeof tail - 1);
    return std::exchange(m_body, QByteArray());
}

KeptGroups Writer::finishAsKept()
{
    KeptGroups kept;
    // A note's paragraphs end where its group does: a last \par would add an empty one.
    if (m_body.endsWith("\\par\r\n"))
        m_body.chop(6);
    // The note's number where its text starts, as other word processors write it.
    kept.groups.push_back("{\\super\\chftn}" + std::exchange(m_body, QByteArray()));
    for (size_t i = m_faceless ? 1 : 0; i < m_fonts.size(); ++i)
        kept.fonts[int32_t(i)] = KeptFont{m_fonts[i].face, m_fonts[i].charset, m_fonts[i].pitchAndFamily};
    for (size_t i = 0; i < m_colors.size(); ++i)
        kept.colors[int32_t(i) + 1] = refFromColor(m_colors[i]);
    return kept;
}

} // namespace zorim::rtfwrite

namespace zorim {

using rtfwrite::Writer;

KeptGroups noteContentOf(const QTextDocument& doc)
{
    Writer writer(doc, {});
    writer.body(doc, 0, -1);
    return writer.finishAsKept();
}

QByteArray writeRtf(const QTextDocument& doc, int from, int to, const RtfWriteOptions& options)
{
    Writer writer(doc, options);
    return writer.write(from, to);
}

struct RtfPiecesWriter::State {
    Writer writer;
};

RtfPiecesWriter::RtfPiecesWriter(const RtfWriteOptions& options) : options_(options) {}
RtfPiecesWriter::~RtfPiecesWriter() = default;

void RtfPiecesWriter::add(const QTextDocument& piece)
{
    if (!state_)
        state_ = std::make_unique<State>(State{Writer(piece, options_)});
    state_->writer.body(piece, 0, -1);
}

QByteArray RtfPiecesWriter::finish()
{
    if (!state_) {
        const QTextDocument empty;
        add(empty);
    }
    return state_->writer.finish();
}

} // namespace zorim
