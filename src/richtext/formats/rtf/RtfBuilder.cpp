#include "RtfBuilder.h"

#include "Objects.h"
#include "RtfNotes.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/TableFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace zorim::rtf {
namespace {

constexpr size_t kMaxCachedFormats = 4096;
// Gathered text goes in once it is this long at a paragraph break, so that a long document
// of one format is not held twice (gathered and in the document) as it goes in.
constexpr qsizetype kGatherAtMost = 1 << 16;

// The style number and outline level on the cursor's paragraph, as properties only where
// stated, so that a document without them has none.
void keepParagraphWords(QTextCursor& cursor, const AppliedParagraph& pf)
{
    const QVariant style = pf.style > 0 ? QVariant(pf.style) : QVariant();
    const QVariant outline = pf.outline >= 0 ? QVariant(pf.outline) : QVariant();
    QTextBlockFormat bf = cursor.blockFormat();
    if (bf.property(docprop::ParagraphStyle) == style && bf.property(docprop::OutlineLevel) == outline)
        return;
    for (const auto& [property, value] : {std::pair{docprop::ParagraphStyle, style}, {docprop::OutlineLevel, outline}}) {
        if (value.isValid())
            bf.setProperty(property, value);
        else
            bf.clearProperty(property);
    }
    cursor.setBlockFormat(bf);
}

} // namespace

const FontInfo* DocumentTables::font(int32_t number) const
{
    auto it = fonts.find(number < 0 ? deff : number);
    if (it == fonts.end() && number >= 0)
        it = fonts.find(deff);
    return it == fonts.end() ? nullptr : &it->second;
}

DocumentBuilder::DocumentBuilder(QTextCursor& cursor, const DocumentTables& tables, Insertion insertion)
    : m_cursor(cursor), m_tables(tables), m_insertion(insertion), m_insertStart(cursor.position()), m_table(cursor, tables),
      m_inner(cursor, tables, true)
{
    const QTextBlockFormat bf = cursor.blockFormat();
    m_paragraphWords = bf.hasProperty(docprop::ParagraphStyle) || bf.hasProperty(docprop::OutlineLevel);
}

void DocumentBuilder::tablesChanged()
{
    // Paragraphs gathered so far go in with the format they had when they ended (the tables
    // have changed already), as they would have gone in then; the paragraph being read takes
    // the new tables.
    if (m_pendingBreak && !m_run.isEmpty())
        insertGathered(m_run.size(), m_endedFormat);
    else if (m_paragraphStart > 0)
        insertGathered(m_paragraphStart, m_endedFormat);
    m_formatCache.clear();
    m_lastFormat = nullptr;
}

void DocumentBuilder::setLookahead(const Tokenizer* tokens, OpenGroups groups)
{
    m_table.setLookahead(tokens, std::move(groups));
    m_inner.setLookahead(tokens, {});
}

TableBuilder* DocumentBuilder::definitionFor(const ParaState& para, bool nestedProps)
{
    if (!nestedProps)
        return &m_table;
    return tableDepth(para) == tableprop::kMaxTableDepth ? &m_inner : nullptr;
}

QString& DocumentBuilder::startRun(const CharState& chr)
{
    enterTable(tableDepth(m_textPara));
    ensureBreak(chr);
    flushTabs(chr);
    if (!(m_runState == chr)) {
        flushRun();
        m_runState = chr;
    }
    return m_run;
}

void DocumentBuilder::character(char16_t ch, const CharState& chr, const ParaState& para)
{
    if (ch != 0)
        runFor(chr, para).append(QChar(ch));
}

void DocumentBuilder::enterTable(int depth, int cellDepth)
{
    depth = std::min(depth, tableprop::kMaxTableDepth);
    // A table in a cell ends before its cell does.
    if (depth < 2 || !m_table.rowOpen())
        enterLevel(m_inner, false, false);
    enterLevel(m_table, depth >= 1, cellDepth == 1);
    if (depth >= 2 && m_table.rowOpen())
        enterLevel(m_inner, true, cellDepth == 2);
}

void DocumentBuilder::enterLevel(TableBuilder& level, bool in, bool atCell)
{
    if (!level.enabled() || in == level.rowOpen()) {
        if (in || !level.tableOpen())
            return;
    }
    flushRun();
    m_pendingTabs = 0;
    // A break pending before a table is the table's start; one pending in a cell ends with it.
    // An empty paragraph ended before a table is the one Qt keeps there: the file's own.
    if (std::exchange(m_pendingBreak, false) && in && !level.rowOpen() && m_cursor.block().length() == 1) {
        QTextBlockFormat format = m_cursor.blockFormat();
        format.setProperty(tableprop::StatedBeforeTable, true);
        m_cursor.setBlockFormat(format);
    }
    if (in)
        level.openRow(atCell);
    else
        level.closeTable();
    m_blockInherits = false;
}

void DocumentBuilder::cellEnd(const ParaState& para, const CharState& chr, bool nested)
{
    const int depth = tableDepth(para);
    if (nested && depth == tableprop::kMaxTableDepth && m_table.enabled()) {
        enterTable(depth, 2);
        if (m_inner.rowOpen()) {
            endCell(m_inner, para, chr);
            return;
        }
    }
    if (nested || !m_table.enabled() || (!para[pp::InTable] && !m_table.rowOpen())) {
        flushRun();
        ++m_pendingTabs;
        return;
    }
    enterTable(1, 1);
    endCell(m_table, para, chr);
}

void DocumentBuilder::endCell(TableBuilder& level, const ParaState& para, const CharState& chr)
{
    // A row read as text is ended by the cell's; a paragraph mark before it leaves the cell an
    // empty last paragraph.
    if (std::exchange(m_nestedRowBreak, false))
        m_pendingBreak = false;
    ensureBreak(chr);
    flushRun();
    m_pendingTabs = 0;
    // Most cells of a table end a paragraph of one format in a fresh block: the format the cell
    // before ended with is taken at once, without working it out again.
    const QTextBlockFormat before = m_cursor.blockFormat();
    const AppliedParagraph pf = applied(para);
    if (m_cellFormat && pf == m_cellFormat->para && before == m_cellFormat->before && !m_pageBreakNext
        && pf.format.numbering == pfn::None && pf.list == 0) {
        m_cursor.setBlockFormat(m_cellFormat->after);
        m_lastApplied = pf;
    } else {
        // A page break before the paragraph is its own: a cell after it does not take it.
        const bool pageBreak = m_pageBreakNext;
        applyParagraph(para);
        if (pageBreak)
            m_cellFormat.reset();
        else
            m_cellFormat = CellParagraph{pf, before, m_cursor.blockFormat()};
    }
    if (level.nextCell())
        m_blockInherits = false;
    else
        ++m_pendingTabs; // a cell beyond the row's count: read into its last cell after a tab
}

void DocumentBuilder::rowEnd(const ParaState& para, const CharState& chr, bool nested)
{
    if (nested) {
        if (tableDepth(para) == tableprop::kMaxTableDepth && m_inner.rowOpen()) {
            m_pendingBreak = false; // text after the row's last cell stays in it
            flushRun();
            m_pendingTabs = 0;
            m_inner.closeRow();
            return;
        }
        if (m_table.rowOpen()) {
            paragraphEnd(para, chr);
            m_nestedRowBreak = true;
        }
        return;
    }
    if (!m_table.rowOpen()) {
        m_pendingTabs = 0;
        endParagraph(para, chr);
        return;
    }
    // Text after the row's last cell stays in it; a table in its last cell ends with it.
    m_pendingBreak = false;
    flushRun();
    m_pendingTabs = 0;
    enterLevel(m_inner, false, false);
    m_table.closeRow();
}

void DocumentBuilder::paragraphEnd(const ParaState& para, const CharState& chr)
{
    enterTable(tableDepth(para));
    endParagraph(para, chr);
}

void DocumentBuilder::endParagraph(const ParaState& para, const CharState& chr)
{
    ensureBreak(chr);
    if (m_insertion == Insertion::RunByRun)
        flushRun();
    else if (!m_run.isEmpty())
        m_endedFormat = formatFor(m_runState); // what the paragraph's text goes in with
    m_pendingTabs = 0;
    takeSection();
    applyParagraph(para);
    m_pendingBreak = true;
}

void DocumentBuilder::takeSection()
{
    if (!m_sectionNext)
        return;
    flushRun(); // the cursor then stands in the paragraph
    m_sections.emplace_back(m_cursor.blockNumber(), std::move(*m_sectionNext));
    m_sectionNext.reset();
}

void DocumentBuilder::placeSections()
{
    // Blocks are numbered once all is in: a record set while reading would pass to every
    // paragraph split from its block.
    QTextDocument* doc = m_cursor.document();
    for (const auto& [number, setup] : m_sections) {
        const QTextBlock block = doc->findBlockByNumber(number);
        if (number == 0 || !block.isValid())
            continue; // a first section with nothing in it: the document's page holds
        QTextBlockFormat format = block.blockFormat();
        setSection(format, setup);
        QTextCursor(block).setBlockFormat(format);
    }
    m_sections.clear();
}

void DocumentBuilder::separate(const ParaState& para, const CharState& chr)
{
    if (m_pendingBreak)
        return;
    if (m_pendingTabs || !atParagraphStart())
        paragraphEnd(para, chr);
}

bool DocumentBuilder::rightAfterCell() const
{
    if (!m_run.isEmpty() || m_pendingTabs || m_pendingBreak || !m_table.tableOpen())
        return false;
    const TableBuilder& level = m_inner.tableOpen() ? m_inner : m_table;
    return !level.rowOpen() || (m_cursor.atBlockStart() && m_cursor.block().length() == 1);
}

void DocumentBuilder::picture(const Picture& picture, const CharState& chr, const ParaState& para,
                              PictureBudget& budget)
{
    // The picture belongs where the group that holds it stands.
    enterTable(tableDepth(para));
    ensureBreak(chr);
    m_textPara = para;
    flushTabs(chr);
    flushRun();
    insertPicture(m_cursor, picture, formatFor(chr), &budget);
}

void DocumentBuilder::placeObject(const CharState& chr, const ParaState& para)
{
    enterTable(tableDepth(para));
    ensureBreak(chr);
    m_textPara = para;
    flushTabs(chr);
    flushRun();
}

void DocumentBuilder::hidden(const QString& text, const CharState& chr, const ParaState& para)
{
    placeObject(chr, para);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), hiddenTextFormat(formatFor(chr), text));
}

void DocumentBuilder::bookmark(const QString& name, bool start, const CharState& chr, const ParaState& para)
{
    placeObject(chr, para);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), bookmarkFormat(formatFor(chr), name, start));
}

void DocumentBuilder::comment(const KeptGroups& comment, const CharState& chr, const ParaState& para)
{
    placeObject(chr, para);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), keptCommentFormat(formatFor(chr), comment));
}

void DocumentBuilder::note(const Note& note, const CharState& chr, const ParaState& para)
{
    placeObject(chr, para);
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), noteFormat(formatFor(chr), note));
}

void DocumentBuilder::note(const QTextDocument& content, bool endnote, const CharState& chr, const ParaState& para)
{
    note(Note{noteContentOf(content), endnote, false}, chr, para);
}

void DocumentBuilder::object(const EmbeddedObject& object, const CharState& chr, const ParaState& para)
{
    enterTable(tableDepth(para));
    ensureBreak(chr);
    m_textPara = para;
    flushTabs(chr);
    flushRun();
    insertObject(m_cursor, object, formatFor(chr));
}

void DocumentBuilder::attachToLastPicture(const EmbeddedObject& object) { attachObject(m_cursor, object); }

const QTextCharFormat& DocumentBuilder::formatFor(const CharState& s)
{
    if (m_lastFormat && m_lastFormatState == s)
        return *m_lastFormat; // a paragraph's mark and its first run share theirs
    auto it = m_formatCache.find(s);
    if (it != m_formatCache.end()) {
        m_lastFormatState = s;
        m_lastFormat = &it->second;
        return it->second;
    }
    CharFormat cf;
    cf.mask = cfm::All;
    const FontInfo* font = m_tables.font(s[cp::Font]);
    if (font) {
        cf.faceName = font->face;
        cf.charset = font->charset;
        cf.pitchAndFamily = font->pitchAndFamily;
    } else {
        cf.faceName = m_tables.defaultFace;
        cf.charset = kDefaultCharset;
    }
    cf.height = (s[cp::HalfPoints] > 0 ? s[cp::HalfPoints] : kDefaultHalfPoints) * 10;
    if (s[cp::Bold]) cf.effects |= cfe::Bold;
    if (s[cp::Italic]) cf.effects |= cfe::Italic;
    if (s[cp::Underline]) cf.effects |= cfe::Underline;
    if (s[cp::Strike]) cf.effects |= cfe::Strikeout;
    if (s[cp::SubSuper] == 1) cf.effects |= cfe::Subscript;
    if (s[cp::SubSuper] == 2) cf.effects |= cfe::Superscript;
    cf.weight = s[cp::Bold] ? 700 : 400;
    const auto& colors = m_tables.colors;
    if (size_t(s[cp::Color]) < colors.size() && colors[size_t(s[cp::Color])])
        cf.textColor = *colors[size_t(s[cp::Color])];
    else
        cf.effects |= cfe::AutoColor;
    if (s[cp::Back] > 0 && size_t(s[cp::Back]) < colors.size() && colors[size_t(s[cp::Back])])
        cf.backColor = *colors[size_t(s[cp::Back])];
    else
        cf.effects |= cfe::AutoBackColor;
    if (s[cp::Link] >= 0 && size_t(s[cp::Link]) < m_tables.links.size()) {
        cf.effects |= cfe::Link;
        cf.linkTarget = m_tables.links[size_t(s[cp::Link])];
    }
    // A run that names no language is in the document's (\deflang, Slovak when not stated).
    cf.language = uint16_t(s[cp::Language] > 0 ? s[cp::Language] : m_tables.defaultLanguage);
    cf.noProof = s[cp::NoProof] != 0;
    cf.charStyle = s[cp::CharStyle];
    QTextCharFormat format;
    applyCharFormat(format, cf);
    if (!font)
        format.setProperty(docprop::DefaultFace, cf.faceName);
    if (s[cp::HalfPoints] <= 0)
        format.setProperty(docprop::SizeUnstated, true);
    if (s[cp::Field] >= 0 && size_t(s[cp::Field]) < m_tables.fields.size()) {
        const auto& field = m_tables.fields[size_t(s[cp::Field])];
        format.setProperty(docprop::FieldInstruction, field.instruction);
        format.setProperty(docprop::FieldId, field.id);
    }
    // The run's direction and its other scripts' font and size, kept for the writer.
    if (s[cp::Rtl])
        format.setProperty(docprop::RtlRun, true);
    if (const FontInfo* other = s[cp::AssocFont] >= 0 ? m_tables.font(s[cp::AssocFont]) : nullptr) {
        format.setProperty(docprop::AssocFace, other->face);
        format.setProperty(docprop::AssocFontBits, other->charset | (other->pitchAndFamily << 8));
    }
    if (s[cp::AssocHalfPoints] > 0)
        format.setProperty(docprop::AssocHalfPoints, s[cp::AssocHalfPoints]);
    if (m_formatCache.size() > kMaxCachedFormats)
        m_formatCache.clear();
    m_lastFormatState = s;
    m_lastFormat = &m_formatCache.emplace(s, format).first->second;
    return *m_lastFormat;
}

void DocumentBuilder::flushTabs(const CharState& chr)
{
    if (!m_pendingTabs)
        return;
    if (!(m_runState == chr))
        flushRun();
    m_runState = chr;
    m_run.append(QString(m_pendingTabs, u'\t'));
    m_pendingTabs = 0;
}

bool DocumentBuilder::atParagraphStart() const
{
    return m_paragraphStart >= 0 ? m_run.size() == m_paragraphStart : m_run.isEmpty() && m_cursor.atBlockStart();
}

void DocumentBuilder::flushRun()
{
    if (!m_run.isEmpty())
        insertGathered(m_run.size(), formatFor(m_runState));
}

// Puts the first `length` characters gathered into the document. A break among them starts a
// paragraph in the format of the one before and the run's character format, as insertBlock
// would.
void DocumentBuilder::insertGathered(qsizetype length, const QTextCharFormat& format)
{
    if (length == m_run.size()) {
        m_cursor.insertText(m_run, format);
        m_run.resize(0); // keeps the room for the next run
        if (m_run.capacity() > 4 * kGatherAtMost)
            m_run.squeeze();
        m_paragraphStart = -1;
        return;
    }
    m_cursor.insertText(m_run.first(length), format);
    m_run.remove(0, length);
    m_paragraphStart = m_paragraphStart > length ? m_paragraphStart - length : -1;
}

void DocumentBuilder::ensureBreak(const CharState& chr)
{
    m_nestedRowBreak = false;
    if (!m_pendingBreak)
        return;
    m_pendingBreak = false;
    m_blockInherits = true;
    if (m_insertion == Insertion::RunByRun) {
        flushRun();
        m_cursor.insertBlock(m_cursor.blockFormat(), formatFor(chr));
        return;
    }
    // The break joins the run that follows it, whose format it takes.
    if (!(m_runState == chr) || m_run.size() >= kGatherAtMost)
        flushRun();
    m_runState = chr;
    m_run.append(QChar::ParagraphSeparator);
    m_paragraphStart = m_run.size();
    m_endedFormat = formatFor(chr); // what the break goes in with
}

ParaFormat DocumentBuilder::paraFormat(const ParaState& p) const
{
    ParaFormat pf;
    pf.mask = pfm::All;
    pf.alignment = uint16_t(p[pp::Align]);
    pf.startIndent = int32_t(std::clamp<int64_t>(int64_t(p[pp::LeftIndent]) + p[pp::FirstIndent], 0, int64_t(kMaxIndent)));
    pf.offset = -p[pp::FirstIndent];
    uint16_t numbering = p[pp::Numbering] == kUnnumbered ? pfn::None : uint16_t(p[pp::Numbering]);
    if (const ListLevels* levels = listOf(p)) {
        const ListLevel& level = (*levels)[size_t(std::clamp<int32_t>(p[pp::Level], 0, int32_t(levels->size()) - 1))];
        numbering = level.numbering;
        // A paragraph that states no indent of its own stands at its level's.
        if (p[pp::LeftIndent] == 0 && p[pp::FirstIndent] == 0 && level.indent >= 0) {
            pf.startIndent = std::clamp(level.indent + level.firstIndent, 0, int32_t(kMaxIndent));
            pf.offset = -level.firstIndent;
        }
    } else if (p[pp::List] > 0 && numbering == pfn::None && p[pp::Numbering] != kUnnumbered) {
        const auto ov = m_tables.overrides.find(p[pp::List]);
        const auto list = ov == m_tables.overrides.end() ? m_tables.lists.end() : m_tables.lists.find(ov->second);
        if (list == m_tables.lists.end() || list->second.empty())
            numbering = pfn::Bullet; // a list we have no definition of
    }
    pf.numbering = numbering;
    pf.pageBreakBefore = p[pp::PageBreakBefore] != 0;
    pf.spaceBefore = p[pp::SpaceBefore];
    pf.spaceAfter = p[pp::SpaceAfter];
    // One times the single line, or a multiple of nothing, is single spacing.
    const bool multiple = p[pp::LineMultiple] != 0;
    if (!(multiple && (p[pp::LineSpacing] <= 0 || p[pp::LineSpacing] == 240))) {
        pf.lineSpacing = p[pp::LineSpacing];
        pf.lineMultiple = multiple;
    }
    return pf;
}

const ListLevels* DocumentBuilder::listOf(const ParaState& p) const
{
    if (p[pp::List] <= 0 || p[pp::Numbering] == kUnnumbered)
        return nullptr;
    const auto ov = m_tables.overrides.find(p[pp::List]);
    const auto list = ov == m_tables.overrides.end() ? m_tables.lists.end() : m_tables.lists.find(ov->second);
    if (list == m_tables.lists.end() || list->second.empty())
        return nullptr;
    // A level that shows nothing (no number, no text) makes a paragraph that goes on the item
    // before it, with no label.
    const ListLevel& level = list->second[size_t(std::clamp<int32_t>(p[pp::Level], 0, int32_t(list->second.size()) - 1))];
    const bool shows = std::any_of(level.text.begin(), level.text.end(), [&](QChar ch) {
        return ch.unicode() >= kListLevelCount ? !ch.isSpace() : list->second.size() > ch.unicode() && list->second[ch.unicode()].numbering != pfn::None;
    });
    return shows ? &list->second : nullptr;
}

AppliedParagraph DocumentBuilder::applied(const ParaState& p) const
{
    AppliedParagraph a{paraFormat(p), 0, 0, p[pp::Style], p[pp::OutlineLevel], p[pp::Rtl] != 0};
    if (const ListLevels* levels = listOf(p)) {
        a.list = p[pp::List];
        a.level = std::clamp<int32_t>(p[pp::Level], 0, int32_t(levels->size()) - 1);
    }
    return a;
}

void DocumentBuilder::placeInList(QTextCursor& cursor, const AppliedParagraph& pf)
{
    const QTextBlock block = cursor.block();
    QPointer<QTextList>& list = m_lists[pf.list];
    if (!list || block.textList() != list) {
        if (QTextList* other = block.textList())
            other->remove(block);
        const ListLevels& levels = m_tables.lists.at(m_tables.overrides.at(pf.list));
        QTextListFormat lf;
        lf.setStyle(levels[0].numbering == pfn::Bullet ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        lf.setIndent(0);
        setListLevels(lf, levels);
        // Items pasted right after a list of the same levels go on in it, as pasted items of
        // one numbering always have.
        const QTextBlock before = block.previous();
        QTextList* neighbour = !list && before.isValid() && before.position() < m_insertStart ? before.textList() : nullptr;
        if (neighbour && sameLevels(neighbour->format(), lf))
            list = neighbour;
        if (list) {
            list->add(block);
        } else {
            lf.setProperty(docprop::ListKey, newListKey());
            list = cursor.createList(lf);
        }
    }
    QTextBlockFormat bf = cursor.blockFormat();
    if (bf.intProperty(docprop::ListLevel) != pf.level) {
        if (pf.level > 0)
            bf.setProperty(docprop::ListLevel, pf.level);
        else
            bf.clearProperty(docprop::ListLevel);
        cursor.setBlockFormat(bf);
    }
}

void DocumentBuilder::applyParagraph(const ParaState& para)
{
    AppliedParagraph pf = applied(para);
    if (std::exchange(m_pageBreakNext, false))
        pf.format.pageBreakBefore = true;
    if (m_blockInherits && pf == m_lastApplied)
        return; // the paragraph has this format from the one before: gathering goes on
    flushRun(); // the format goes to the paragraph the cursor is in
    QTextCursor c(m_cursor);
    c.clearSelection();
    if (pf.list > 0) {
        // An item of a list of levels: in that list, not in one of its numbering's.
        ParaFormat own = pf.format;
        own.mask &= ~pfm::Numbering;
        placeInList(c, pf);
        applyParaFormat(c, own);
    } else {
        applyParaFormat(c, pf.format);
    }
    // New paragraphs take the block format they split from, so once any has a style number or
    // outline level each one's are set; before that there are none to set or clear.
    if (m_paragraphWords || pf.style > 0 || pf.outline >= 0) {
        m_paragraphWords = true;
        keepParagraphWords(c, pf);
    }
    // A right-to-left paragraph is laid out so (new paragraphs take it from the one they split from).
    if (QTextBlockFormat bf = c.blockFormat(); (bf.layoutDirection() == Qt::RightToLeft) != pf.rtl) {
        if (pf.rtl)
            bf.setLayoutDirection(Qt::RightToLeft);
        else
            bf.clearProperty(QTextFormat::LayoutDirection);
        c.setBlockFormat(bf);
    }
    m_lastApplied = pf;
}

void DocumentBuilder::finish(const CharState& chr)
{
    enterTable(0); // a table still open at the end ends there
    flushRun();
    m_pendingTabs = 0;
    if (m_pendingBreak) {
        // The final paragraph mark of a document read at the end ends its last paragraph;
        // elsewhere the break is part of what was read.
        if (!m_cursor.atEnd()) {
            ensureBreak(chr);
            flushRun();
        }
        m_pendingBreak = false;
        return;
    }
    // An unfinished last paragraph takes its format only when it holds nothing but what was
    // read (so pasting a few words into a paragraph leaves the paragraph as it was).
    const QTextBlock block = m_cursor.block();
    if (block.position() >= m_insertStart && m_cursor.position() == block.position() + block.length() - 1
        && m_cursor.position() > m_insertStart) {
        takeSection();
        applyParagraph(m_textPara);
    }
}

void DocumentBuilder::keepFieldsWithinParagraphs()
{
    QTextDocument* doc = m_cursor.document();
    const int end = m_cursor.position();
    std::unordered_map<int, int> paragraphOf; // a field's number -> where its first paragraph starts
    std::unordered_set<int> across;
    struct Run {
        int at, length;
        QTextCharFormat format;
    };
    std::vector<Run> runs; // every field's runs
    for (QTextBlock b = doc->findBlock(m_insertStart); b.isValid() && b.position() <= end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int id = frag.charFormat().intProperty(docprop::FieldId);
            if (id == 0)
                continue;
            const auto [first, fresh] = paragraphOf.emplace(id, b.position());
            if (!fresh && first->second != b.position())
                across.insert(id);
            runs.push_back({frag.position(), frag.length(), frag.charFormat()});
        }
    }
    if (across.empty())
        return;
    QTextCursor cursor(doc);
    for (auto& [at, length, format] : runs) {
        if (!across.count(format.intProperty(docprop::FieldId)))
            continue;
        cursor.setPosition(at);
        cursor.setPosition(at + length, QTextCursor::KeepAnchor);
        format.clearProperty(docprop::FieldId);
        format.clearProperty(docprop::FieldInstruction);
        cursor.setCharFormat(format);
    }
}

} // namespace zorim::rtf
