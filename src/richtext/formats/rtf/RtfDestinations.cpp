// The destinations of the RTF reader: what a group's word makes of the group, and what the
// group leaves behind when it closes, side by side for each. A group's closing work is keyed
// by what its state owns (the state of a group is dropped whole when it closes).
#include "RtfField.h"
#include "RtfKeptGroups.h"
#include "RtfNotes.h"
#include "RtfReader.h"
#include "richtext/document/DocFormats.h"

namespace zorim::rtf {
namespace {

// Reads off the word that makes a note an endnote (\ftnalt) where it opens the note's group.
bool takeEndnoteWord(QByteArray& group)
{
    Tokenizer tokens(reinterpret_cast<const unsigned char*>(group.constData()), group.size(), 0);
    const Token t = tokens.next();
    if (t.kind != Token::Word || t.name() != "ftnalt")
        return false;
    group = group.sliced(group.size() - tokens.rest().size());
    return true;
}

} // namespace

void Reader::openDestination(Act act, State& s)
{
    switch (act) {
    case Act::SkipDest: skipGroup(); return;
    case Act::FontTbl: openFontTable(s); return;
    case Act::ColorTbl: openColorTable(s); return;
    case Act::Pict: openPict(s); return;
    case Act::Field: openField(s); return;
    case Act::FldInst: openFieldInstruction(s); return;
    case Act::FldRslt: openFieldResult(s); return;
    case Act::BookmarkStart: openBookmark(s, true); return;
    case Act::BookmarkEnd: openBookmark(s, false); return;
    case Act::ListTable: s.dest = Dest::ListTable; return;
    case Act::List: openList(s); return;
    case Act::ListLevel: openListLevel(s); return;
    case Act::ListOverride: openListOverride(s); return;
    case Act::LevelText: openLevelText(s); return;
    case Act::Pn: openPn(s); return;
    case Act::BulletText: openLabel(s); return;
    case Act::Footnote: openFootnote(s); return;
    case Act::NoteMark:
        // The number of the note that follows, where the text refers to it: the note shows it.
        // In the note itself the mark is left out.
        if (s.dest == Dest::Text && m_noteDepth == 0)
            m_notePending = true;
        return;
    case Act::Transparent: return;
    case Act::Object: openObject(); return;
    case Act::Shape:
        m_shapeText = m_shapePicture = false;
        m_shape = {};
        return;
    case Act::ShapeInst:
        // The shape's properties hold no text; only its text box does.
        if (s.dest == Dest::Text)
            s.dest = Dest::Ignore;
        return;
    case Act::ShapeResult: openShapeResult(s); return;
    case Act::DrawingObject: openDrawingObject(s); return;
    case Act::ShapeText: openShapeText(s); return;
    case Act::ShapeProperty:
    case Act::ShapeName:
    case Act::ShapeValue: shapeProperty(act, s); return;
    case Act::Upr: // the ANSI half; the \ud inside has the Unicode text
        keepHidden(s);
        s.chr[cp::Hidden] = 1;
        return;
    case Act::Ud:
        keepHidden(s);
        s.chr[cp::Hidden] = 0;
        return;
    default: return;
    }
}

// ---- the style sheet, headers, footers and the document information: kept whole, as read,
// when the file is read as a whole document; left out like any other group they are not shown in otherwise

void Reader::keepGroup(size_t kind, const State& s)
{
    const uint32_t bit = 1u << kind;
    // A later section's headers and footers are its own.
    const bool ofSection = m_sections > 0 && kind != kInfoDestination && kind != kStyleSheetDestination;
    KeptGroups& kept = ofSection ? m_sectionKept : m_kept;
    uint32_t& kinds = ofSection ? m_sectionKeptKinds : m_keptKinds;
    if (!m_wholeDocument || s.dest != Dest::Text || m_overflow > 0 || m_noteDepth > 0 || (kinds & bit)) {
        skipGroup();
        return;
    }
    const std::string_view name = kKeptDestinations[kind];
    // The information's text is in the file's page, not in a font's (a kept font keeps that).
    std::optional<QByteArray> group =
        groupAsRead("{\\" + QByteArray(name.data(), qsizetype(name.size())) + ' ', kind == kInfoDestination);
    if (group && m_keptBytes + group->size() <= kMaxKeptBytes) {
        m_keptBytes += group->size();
        kept.groups.push_back(std::move(*group));
        kinds |= bit;
    } else if (group) {
        ++m_leftOut.kept;
    }
    if (group)
        popGroup();
    m_skip = 0;
}

std::optional<QByteArray> Reader::groupAsRead(const QByteArray& opening, bool fileText)
{
    const QByteArrayView before = m_tokens.rest();
    if (!m_tokens.skipGroup())
        return std::nullopt;
    QByteArray group = opening;
    group.append(before.first(before.size() - m_tokens.rest().size()));
    if (fileText && m_codepage != kCp1250 && !codepageTable(m_codepage).doubleByte())
        group = recodeBytes(group, m_codepage);
    return group;
}

// What the numbers of fonts and colours in the kept groups mean in this file's tables, now
// that the tables are whole; and, with headers or footers, the words that choose among them.
void Reader::keepReferences()
{
    const PageWords& first = m_sections > 0 ? m_firstSection : m_page;
    if (m_keptKinds & ~((1u << kInfoDestination) | (1u << kStyleSheetDestination))) {
        m_kept.words = m_page[dp::FacingPages] ? "\\facingp" : "";
        if (first[dp::TitlePage])
            m_kept.words += "\\titlepg";
        m_kept.words += headerWords(first);
    }
    recordReferences(m_kept);
}

// ---- sections: the first is the document's page and headers; each later one's record goes
// on its first paragraph

Reader::PageWords Reader::pageDefaults()
{
    PageWords words;
    words.fill(-1);
    words[dp::Landscape] = words[dp::FacingPages] = words[dp::TitlePage] = 0;
    return words;
}

void Reader::sectionDefaults()
{
    const PageWords defaults = pageDefaults();
    for (const uint8_t i : {dp::TitlePage, dp::HeaderY, dp::FooterY})
        m_page[i] = defaults[i];
    for (uint8_t i = dp::SectPaperWidth; i < dp::Count; ++i)
        m_page[i] = defaults[i];
}

void Reader::startSection()
{
    if (!m_wholeDocument)
        return;
    if (m_sections == 0)
        m_firstSection = m_page;
    // A section with no paragraph of its own (two breaks in a row) leaves nothing to hold it.
    ++m_sections;
    m_sectionPending = true;
    m_sectionKept = {};
    m_sectionKeptKinds = 0;
}

// A later section is landscape only by its own word: the document's \\landscape is the first's.
PageSetup Reader::sectionPage(const PageWords& words, bool first)
{
    const auto pick = [&](uint8_t section, uint8_t document) { return words[section] >= 0 ? words[section] : words[document]; };
    PageSetup page;
    page.paperWidth = pick(dp::SectPaperWidth, dp::PaperWidth);
    page.paperHeight = pick(dp::SectPaperHeight, dp::PaperHeight);
    page.landscape = words[dp::SectLandscape] > 0 || (first && words[dp::Landscape] != 0);
    page.marginLeft = pick(dp::SectMarginLeft, dp::MarginLeft);
    page.marginRight = pick(dp::SectMarginRight, dp::MarginRight);
    page.marginTop = pick(dp::SectMarginTop, dp::MarginTop);
    page.marginBottom = pick(dp::SectMarginBottom, dp::MarginBottom);
    return page;
}

QByteArray Reader::headerWords(const PageWords& words) const
{
    QByteArray out;
    if (words[dp::HeaderY] >= 0)
        out += "\\headery" + QByteArray::number(words[dp::HeaderY]);
    if (words[dp::FooterY] >= 0)
        out += "\\footery" + QByteArray::number(words[dp::FooterY]);
    return out;
}

SectionSetup Reader::sectionSetup()
{
    SectionSetup setup;
    setup.page = sectionPage(m_page, false);
    setup.breakKind = m_page[dp::SectBreak] >= 0 ? m_page[dp::SectBreak] : sbk::Page;
    setup.columns = std::max(1, m_page[dp::SectColumns]);
    setup.titlePage = m_page[dp::TitlePage] != 0;
    setup.headers = m_sectionKept;
    setup.headers.words = headerWords(m_page);
    recordReferences(setup.headers);
    return setup;
}

void Reader::recordReferences(KeptGroups& kept) const
{
    for (const QByteArray& group : kept.groups) {
        renumberReferences(group, [&](Reference kind, int32_t number) -> std::optional<int32_t> {
            if (kind == Reference::Font) {
                if (const auto it = m_tables.fonts.find(number); it != m_tables.fonts.end())
                    kept.fonts[number] = KeptFont{it->second.face, keptCharset(it->second), it->second.pitchAndFamily};
            } else if (number >= 0 && size_t(number) < m_tables.colors.size()) {
                kept.colors[number] = m_tables.colors[size_t(number)];
            } else if (number == 0 && m_tables.colors.empty()) {
                kept.colors[0] = std::nullopt; // no table: colour 0 is the automatic one
            }
            return number;
        });
    }
}

// The character set a kept font is written with: one that names the page its text was read
// in, since the kept bytes stay as they are. A font whose set names no page was read in the
// file's page (or its \cpg), which the writer's own page need not be; a page no set names
// (UTF-8) leaves the set as it was.
uint8_t Reader::keptCharset(const FontInfo& font) const
{
    if (font.charset == kSymbolCharset)
        return font.charset;
    const int page = tableForFont(font.charset, font.codepage).codepage;
    if (codepageForCharset(font.charset) == page)
        return font.charset;
    for (int charset = 0; charset <= 255; ++charset) {
        if (codepageForCharset(charset) == page)
            return uint8_t(charset);
    }
    return font.charset;
}

// ---- comments: each kept whole where it stands (RtfKeptGroups.h), its references read with
// the tables as they are there; left out where text is (another destination's, deleted text,
// beyond the depth limit) and past the bounds

void Reader::keepComment(int32_t part, const Token& t, State& s)
{
    const bool keep =
        s.dest == Dest::Text && m_overflow == 0 && (!s.chr[cp::Hidden] || s.chr[cp::Hidden] == kKeptHidden);
    if (part == kCommentMark) {
        if (keep)
            addToComment("\\chatn ", s);
        return;
    }
    if (!keep) {
        skipGroup();
        return;
    }
    const std::string_view name = t.name();
    // The initials' and the author's text is in the file's page (a kept font keeps its own).
    const std::optional<QByteArray> group = groupAsRead("{\\*\\" + QByteArray(name.data(), qsizetype(name.size())) + ' ',
                                                        name == "atnid" || name == "atnauthor");
    if (!group) {
        m_skip = 0;
        return;
    }
    if (part == kCommentRange)
        flushComment();
    addToComment(*group, s);
    if (part == kCommentRange)
        flushComment();
    popGroup();
    m_skip = 0;
}

void Reader::addToComment(QByteArrayView bytes, const State& s)
{
    if (m_commentBytes + bytes.size() > kMaxKeptBytes) {
        m_comment.clear(); // not a part of a comment without the rest
        ++m_leftOut.kept;
        return;
    }
    m_commentBytes += bytes.size();
    if (m_comment.isEmpty()) {
        keepHidden(s); // hidden text before the comment stays before it
        m_commentChr = s.chr;
        m_commentPara = s.para;
    }
    m_comment += bytes;
}

void Reader::flushComment()
{
    if (m_comment.isEmpty())
        return;
    KeptGroups comment;
    comment.groups.push_back(std::exchange(m_comment, QByteArray()));
    if (m_comments >= kMaxComments || !roomForKept(comment.groups[0].size(), qHash(comment.groups[0]))) {
        ++m_leftOut.kept;
        return;
    }
    ++m_comments;
    recordReferences(comment);
    m_builder.comment(comment, m_commentChr, m_commentPara);
}

bool Reader::continuesComment(const Token& t) const
{
    switch (t.kind) {
    case Token::GroupStart: return true;
    case Token::Symbol: return t.ch == '*';
    case Token::Word: {
        const Keyword* k = findKeyword(m_keywords, t.name());
        // A word no one knows, or a destination left out whole (a bookmark among the parts
        // is), between the comment's parts puts nothing where it stands.
        if (!k || (m_starred && k->kind == Kind::Action
                   && (Act(k->index) == Act::SkipDest || Act(k->index) == Act::BookmarkStart
                       || Act(k->index) == Act::BookmarkEnd)))
            return true;
        return k && k->kind == Kind::Action && Act(k->index) == Act::KeepComment && k->value != kCommentRange;
    }
    case Token::GroupEnd: {
        // A group around parts of the comment that holds nothing else (a character style's,
        // hidden text's with none of its text read): its end puts nothing into the document.
        if (m_stack.size() <= 1 || m_overflow > 0 || m_objectDepth > 0)
            return false;
        State closing = m_stack.back();
        if (closing.chr[cp::Hidden] == kKeptHidden && m_hidden.isEmpty())
            closing.chr[cp::Hidden] = 0;
        return plainGroup(closing);
    }
    default: return false;
    }
}

// ---- hidden text: kept as one piece when the hidden group ends

void Reader::keepHidden(const State& s)
{
    if (!m_hidden.isEmpty() && s.dest == Dest::Text) {
        if (roomForKept(2 * m_hidden.size(), qHash(m_hidden)))
            m_builder.hidden(m_hidden, s.chr, s.para);
        else
            ++m_leftOut.kept;
    }
    m_hidden.clear();
}

bool Reader::roomForKept(qsizetype bytes, size_t hash)
{
    if (m_lastKept == hash)
        return true;
    if (!m_keptRoom.take(kKeptObjectCost + bytes))
        return false;
    m_lastKept = hash;
    return true;
}

void Reader::closeHidden(const State& closed)
{
    if (closed.chr[cp::Hidden] == kKeptHidden && (m_stack.empty() || st().chr[cp::Hidden] != kKeptHidden))
        keepHidden(closed);
}

// ---- the font table, and each font in it (\f in the table opens an entry; ';' ends it)

void Reader::openFontTable(State& s)
{
    s.dest = Dest::FontTable;
    s.ownsFontTable = true;
    m_fontName.clear();
}

void Reader::openFont(State& s, int32_t number)
{
    m_fontNumber = number;
    m_fontProps = {kDefaultCharset, 0, 0, 0};
    m_fontName.clear();
    s.ownsFont = true;
}

void Reader::closeFont(const State& closed)
{
    if (closed.ownsFont || closed.ownsFontTable)
        commitFont();
}

void Reader::commitFont()
{
    const QString name = m_fontName.trimmed();
    if (!name.isEmpty() && (m_tables.fonts.size() < kMaxFonts || m_tables.fonts.count(m_fontNumber))) {
        FontInfo& font = m_tables.fonts[m_fontNumber];
        font.face = name;
        // A set number beyond the Windows sets names none: the font is in the document's page.
        const int32_t charset = m_fontProps[fp::Charset];
        font.charset = charset <= 255 ? uint8_t(charset) : kDefaultCharset;
        font.pitchAndFamily = uint8_t((m_fontProps[fp::Family] & 0xF0) | m_fontProps[fp::Pitch]);
        font.codepage = m_fontProps[fp::Codepage];
        m_builder.tablesChanged();
        codepagesChanged();
    }
    m_fontName.clear();
}

// ---- the colour table: its entries end at each ';' (see emitChar), not with a group

void Reader::openColorTable(State& s)
{
    s.dest = Dest::ColorTable;
    m_tables.colors.clear();
    m_colorSet = false;
    m_rgb = {};
    m_builder.tablesChanged();
}

// ---- pictures

void Reader::openPict(State& s)
{
    if (s.dest == Dest::Pict) { // a picture inside a picture means nothing
        skipGroup();
        return;
    }
    s.dest = Dest::Pict;
    s.ownsPict = true;
    m_pict = PictBuild{};
}

void Reader::closePict(const State& closed)
{
    if (closed.ownsPict)
        finishPict(closed);
}

// ---- fields: the instruction is collected; the result is the text shown, a link when the
// instruction names one, and otherwise text that carries the field's instruction (a field in
// another's result is read as its result alone). The field's group closes nothing of its own.

void Reader::openField(State& s)
{
    if (m_fieldInst.size() >= kMaxFields) {
        s.field = -1;
        return;
    }
    m_fieldInst.emplace_back();
    s.field = int(m_fieldInst.size()) - 1;
}

void Reader::openFieldInstruction(State& s)
{
    if (s.field < 0) {
        skipGroup();
        return;
    }
    s.dest = Dest::FieldInst;
}

void Reader::openFieldResult(State& s)
{
    s.dest = s.dest == Dest::FieldInst ? Dest::Ignore : s.dest;
    if (s.field < 0)
        return;
    const auto target = hyperlinkTarget(m_fieldInst[size_t(s.field)]);
    if (target && s.chr[cp::Field] < 0 && m_tables.links.size() < kMaxFields) {
        m_tables.links.push_back(*target);
        s.chr[cp::Link] = int32_t(m_tables.links.size()) - 1;
    }
    QString& inst = m_fieldInst[size_t(s.field)];
    const bool cut = inst.size() >= kMaxFieldInstruction;
    const QString instruction = std::exchange(inst, QString()).trimmed();
    if (target || instruction.isEmpty() || s.chr[cp::Field] >= 0 || s.chr[cp::Link] >= 0 || s.dest != Dest::Text)
        return;
    // An instruction cut at its bound would be written back as another field: such a field
    // is read as its result alone, as one beyond the count.
    if (cut || m_tables.fields.size() >= kMaxFields
        || !roomForKept(2 * instruction.size(), qHash(instruction) ^ m_tables.fields.size())) {
        ++m_leftOut.kept;
        return;
    }
    m_tables.fields.push_back({instruction, newFieldId()});
    s.chr[cp::Field] = int32_t(m_tables.fields.size()) - 1;
}

// ---- bookmarks: the name is collected; the group's end puts a mark where it stands.

void Reader::openBookmark(State& s, bool start)
{
    if (s.dest != Dest::Text || s.chr[cp::Hidden]) {
        skipGroup();
        return;
    }
    if (!m_comment.isEmpty()) {
        // Among a comment's parts a mark would cut the comment in two.
        ++m_leftOut.kept;
        skipGroup();
        return;
    }
    s.dest = Dest::Bookmark;
    s.ownsBookmark = start ? 1 : -1;
    m_bookmark.clear();
}

void Reader::closeBookmark(const State& closed, const State& outer)
{
    if (!closed.ownsBookmark || outer.dest != Dest::Text)
        return;
    const QString name = std::exchange(m_bookmark, QString()).trimmed();
    if (name.isEmpty())
        return;
    if (name.size() > kMaxBookmarkName || m_bookmarks >= 2 * kMaxBookmarks
        || !roomForKept(2 * name.size(), qHash(name) ^ size_t(closed.ownsBookmark))) {
        ++m_leftOut.kept;
        return;
    }
    ++m_bookmarks;
    m_builder.bookmark(name, closed.ownsBookmark > 0, closed.chr, closed.para);
}

// ---- lists, and the overrides that give them their \ls numbers

void Reader::openList(State& s)
{
    // A list inside a list (or inside one of its levels) is no list: reading it would drop the
    // levels of the one still open under it.
    if (s.dest != Dest::ListTable || m_listOpen) {
        skipGroup();
        return;
    }
    s.ownsList = m_listOpen = true;
    m_listId = 0;
    m_levels.clear();
}

void Reader::openListLevel(State& s)
{
    if (s.dest != Dest::ListTable) {
        skipGroup();
        return;
    }
    if (m_levels.size() >= size_t(kListLevelCount))
        return;
    m_levels.push_back(ListLevel{});
    s.ownsLevel = m_levelOpen = true;
    m_levelTextRead = false;
    m_levelText.clear();
}

void Reader::closeListLevel(const State& closed)
{
    if (!closed.ownsLevel || m_levels.empty())
        return;
    m_levelOpen = false;
    ListLevel& level = m_levels.back();
    if (!m_levelTextRead) // a level that states no label shows its number with a full stop
        level.text = plainListLevel(level.numbering, int(m_levels.size()) - 1).text;
    // The level's indent is stated by the paragraph words in its group.
    if (closed.para[pp::LeftIndent] != 0 || closed.para[pp::FirstIndent] != 0) {
        level.indent = closed.para[pp::LeftIndent];
        level.firstIndent = closed.para[pp::FirstIndent];
    }
}

void Reader::openLevelText(State& s)
{
    if (!m_levelOpen || s.dest != Dest::ListTable) {
        skipGroup();
        return;
    }
    s.dest = Dest::LevelText;
    m_levelText.clear();
}

void Reader::closeLevelText(const State& closed, const State& outer)
{
    if (closed.dest != Dest::LevelText || outer.dest == Dest::LevelText || !m_levelOpen)
        return;
    // The first character is the label's length; the characters below 9 in it stand for the
    // numbers of those levels. Fonts of symbols give their private characters: a bullet.
    const QString read = std::exchange(m_levelText, QString());
    QString text = read.mid(1, read.isEmpty() ? 0 : read[0].unicode());
    for (QChar& ch : text) {
        if (ch.unicode() == 0xF0B7 || ch.unicode() == 0xF0A7 || ch.unicode() == 0xF06C)
            ch = QChar(0x2022);
        else if (ch.unicode() >= 0xF020 && ch.unicode() <= 0xF0FF)
            ch = QChar(0x25AA); // a symbol font's other marks: a square
    }
    m_levels.back().text = text;
    m_levelTextRead = true;
}

void Reader::closeList(const State& closed)
{
    if (!closed.ownsList)
        return;
    m_listOpen = false;
    if (m_tables.lists.size() < kMaxLists)
        m_tables.lists[m_listId] = m_levels;
    m_levels.clear();
}

void Reader::openListOverride(State& s)
{
    if (s.dest != Dest::ListTable) {
        skipGroup();
        return;
    }
    s.ownsOverride = true;
    m_overrideList = 0;
    m_overrideLs = 0;
}

void Reader::closeListOverride(const State& closed)
{
    if (closed.ownsOverride && m_tables.overrides.size() < kMaxLists)
        m_tables.overrides[m_overrideLs] = m_overrideList;
}

// ---- old-style numbering: what the \pn group sets goes to the paragraph around it

void Reader::openPn(State& s)
{
    if (s.dest != Dest::Text) {
        skipGroup();
        return;
    }
    s.dest = Dest::Pn;
    if (s.para[pp::Numbering] != kUnnumbered)
        s.para[pp::Numbering] = pfn::Arabic; // until the level says otherwise
}

void Reader::closePn(const State& closed, State& outer)
{
    if (closed.dest == Dest::Pn && outer.dest != Dest::Pn)
        outer.para[pp::Numbering] = closed.para[pp::Numbering];
}

// ---- list labels (\pntext, \listtext): the label is left out, what follows its last tab kept

void Reader::openLabel(State& s)
{
    if (s.dest != Dest::Text)
        return;
    s.dest = Dest::BulletText;
    s.ownsLabel = true;
    m_labelTail.clear();
    m_labelTab = false;
}

void Reader::closeLabel(const State& closed, const State& outer)
{
    if (closed.ownsLabel && outer.dest == Dest::Text && !closed.chr[cp::Hidden])
        keepLabelTail(closed); // some writers put the item's own text after the label's tab
}

// ---- footnotes and endnotes: each kept where its reference stands (Notes.h), its paragraphs
// as read; where that cannot be (beyond the bounds, inside a note's own text), their text
// stands in brackets after the note's number

void Reader::openFootnote(State& s)
{
    const bool numbered = std::exchange(m_notePending, false);
    // Beyond the depth limit groups share one state, which cannot hold a second note.
    if (s.dest != Dest::Text || s.chr[cp::Hidden] || s.bracket || m_overflow > 0) {
        skipGroup();
        return;
    }
    ++m_notes;
    if (!m_inNote && keepNote(numbered, s))
        return;
    if (numbered) {
        for (const QChar ch : QString::number(m_notes))
            emitChar(ch.unicode());
    }
    m_builder.character(u'[', s.chr, s.para);
    s.bracket = true;
    ++m_noteDepth;
}

bool Reader::keepNote(bool numbered, const State& s)
{
    const Tokenizer before = m_tokens;
    std::optional<QByteArray> group = groupAsRead({}, false);
    if (group && m_notes <= kMaxNotes && group->size() <= kMaxKeptBytes && roomForKept(group->size(), qHash(*group))) {
        group->chop(1); // the closing brace
        Note note;
        note.customMark = !numbered;
        note.endnote = takeEndnoteWord(*group);
        note.content.groups.push_back(std::move(*group));
        recordReferences(note.content);
        // What a note cannot hold (a note, a table's or section's end) is read as our own
        // paragraphs would hold it, so the note is written back as other programs read notes.
        const QByteArray& text = note.content.groups[0];
        if (text.contains("footnote") || text.contains("\\cell") || text.contains("\\row") || text.contains("\\sect")
            || text.contains("\\nest"))
            note.content = withoutInnerNotes(note.content);
        keepHidden(s);
        m_builder.note(note, s.chr, s.para);
        popGroup();
        m_skip = 0;
        return true;
    }
    if (group)
        ++m_leftOut.kept;
    m_tokens = before; // its text is read where it stands
    return false;
}

void Reader::closeFootnote(const State& closed, const State& outer)
{
    if (!closed.bracket)
        return;
    --m_noteDepth;
    if (!closed.chr[cp::Hidden])
        m_builder.character(u']', outer.chr, outer.para);
}

// ---- embedded objects: read as if the group were not there; the object ends with the
// group it opened in (see finishObject)

void Reader::openObject()
{
    if (m_objectDepth == 0) {
        m_objectDepth = m_stack.size();
        m_object = parseObjectGroup(m_tokens.rest());
    }
}

void Reader::closeObject()
{
    if (m_objectDepth > 0 && m_stack.size() < m_objectDepth)
        finishObject();
}

// ---- shapes and drawing objects: only a text box's text and a shape's picture are read, and
// only once

void Reader::openShapeResult(State& s)
{
    // What a reader without shapes shows: a text box or picture read already would come twice.
    if (m_shapeText || m_shapePicture) {
        skipGroup();
        return;
    }
    s.shapeResult = true;
}

void Reader::openDrawingObject(State& s)
{
    if (s.shapeResult && m_shapeText) {
        skipGroup();
        return;
    }
    if (s.dest == Dest::Text)
        s.dest = Dest::Ignore;
}

void Reader::shapeProperty(Act act, State& s)
{
    // A property is read only among a shape's instructions; of the values, only the picture's
    // (other pictures there fill or outline the shape, and are no picture of the text).
    if (s.dest != Dest::Ignore) {
        skipGroup();
        return;
    }
    switch (act) {
    case Act::ShapeProperty: m_shapeName.clear(); return;
    case Act::ShapeName:
        m_shapeName.clear();
        s.dest = Dest::ShapeName;
        return;
    default:
        if (m_shapeName.trimmed() != u"pib")
            skipGroup();
        else
            s.shapePicture = true;
        return;
    }
}

void Reader::openShapeText(State& s)
{
    if (s.dest != Dest::Text && s.dest != Dest::Ignore)
        return;
    // A text box's paragraphs stand at the shape's place, apart from the text around it.
    m_builder.separate(s.para, s.chr);
    s.dest = Dest::Text;
    s.ownsShapeText = true;
    m_shapeText = true;
}

void Reader::closeShapeText(const State& closed)
{
    if (closed.ownsShapeText)
        m_builder.separate(closed.para, closed.chr);
}

} // namespace zorim::rtf
