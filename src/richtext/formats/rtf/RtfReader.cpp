// The RTF reader: the tokenizer's tokens drive a stack of group states. Control words are
// looked up in the keyword table, which makes most of them a property write; the rest are the
// reader's own actions. Text is decoded in the code page of its font (the bytes of a
// double-byte page in pairs) and handed to the document builder. Nothing from the file is
// trusted: numbers are clamped by the keyword table, group nesting is capped, \bin lengths are
// bounded by the data left, and pictures are decoded within a pixel budget proportional to the
// file's size.
#include "Rtf.h"

#include "RtfKeptGroups.h"
#include "RtfReader.h"
#include "richtext/document/DocFormats.h"

#include <algorithm>

namespace zorim {
namespace rtf {
namespace {

// A list level's number format (\levelnfc) as the numbering style it shows.
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

} // namespace

void Reader::run()
{
    m_stack.reserve(64);
    while (!m_done) {
        if (m_lead >= 0 || !m_utf8.isEmpty()) {
            // A first byte whose second never comes is a character of its own before the token
            // that ends it, put in before that token is taken: what counts ahead from it (a
            // row's cells) must see that token too.
            Tokenizer peek = m_tokens;
            const Token::Kind next = peek.next().kind;
            if (next != Token::Byte && next != Token::Text)
                dropLead();
        }
        if (!m_comment.isEmpty()) {
            // The comment goes in before the token that ends it is taken, as hidden text and
            // pictures do: what counts ahead from it (a row's cells) must see that token too.
            Tokenizer peek = m_tokens;
            if (!continuesComment(peek.next()))
                flushComment();
        }
        const Token t = m_tokens.next();
        if (t.kind == Token::End)
            break;
        const bool starred = std::exchange(m_starred, false);
        const bool opened = std::exchange(m_justOpened, false);
        if (t.kind != Token::Byte && t.kind != Token::Text)
            dropLead();
        if (m_skip > 0 && (t.kind == Token::Word || t.kind == Token::Symbol || t.kind == Token::Binary)) {
            // After \uN a control word or symbol is one of the characters to skip; but a list
            // label's tab stays its separator, also where a writer left it as a fallback.
            if (t.kind != Token::Word || t.name() != "tab" || m_stack.empty() || st().dest != Dest::BulletText) {
                --m_skip;
                continue;
            }
            m_skip = 0;
        }
        switch (t.kind) {
        case Token::GroupStart:
            m_skip = 0;
            pushGroup();
            m_justOpened = true;
            break;
        case Token::GroupEnd:
            m_skip = 0;
            popGroup();
            break;
        case Token::Word:
            if (!m_stack.empty())
                word(t, starred);
            break;
        case Token::Binary:
            if (!m_stack.empty() && st().dest == Dest::Pict)
                m_pict.data.append(reinterpret_cast<const char*>(t.data), t.size);
            break;
        case Token::Symbol:
            if (!m_stack.empty())
                symbol(char(t.ch), opened);
            break;
        case Token::Byte:
            if (!m_stack.empty())
                bytes(&t.ch, 1);
            break;
        case Token::Text:
            if (!m_stack.empty())
                bytes(t.data, t.size);
            break;
        case Token::End: break;
        }
    }
    finish();
}

void Reader::word(const Token& t, bool starred)
{
    const Keyword* k = findKeyword(m_keywords, t.name());
    if (!k) {
        // An unknown destination is left out whole; an unknown word elsewhere means nothing.
        if (starred)
            skipGroup();
        else if (TableBuilder* table = st().dest == Dest::Text ? m_builder.definitionFor(st().para, st().nestedTableProps) : nullptr)
            table->unknownWord(t.name(), t.hasNumber, t.number);
        return;
    }
    // {\*\csN …} is a character style's entry of a style sheet: out of the sheet, it is left
    // out whole, as before \csN was known.
    if (starred && t.name() == "cs") {
        skipGroup();
        return;
    }
    State& s = st();
    switch (k->kind) {
    case Kind::Char: emitChar(char16_t(k->value)); return;
    case Kind::Action: action(Act(k->index), k->value, t, s); return;
    default: write(*k, k->valueFor(t.hasNumber, t.number), s); return;
    }
}

void Reader::write(const Keyword& k, int32_t value, State& s)
{
    switch (k.target) {
    case Target::Char:
        if (k.index == cp::Hidden && s.chr[cp::Hidden] == kKeptHidden && value != kKeptHidden)
            keepHidden(s);
        // A character style's number, like a paragraph's, only with the sheet it points into.
        if (k.index != cp::CharStyle || (m_keptKinds & (1u << kStyleSheetDestination)))
            s.chr[k.index] = value;
        return;
    case Target::Para:
        // A note's text is part of the paragraph it stands in (in brackets): its own
        // paragraph words would take that paragraph out of its table cell or list. A style's
        // number means something only with the style sheet it points into, kept.
        if (m_noteDepth == 0 && (k.index != pp::Style || (m_keptKinds & (1u << kStyleSheetDestination))))
            s.para[k.index] = value;
        return;
    case Target::Group: s.group[k.index] = value; return;
    // The words of a table or picture mean something only in it.
    case Target::Pict:
        if (s.dest == Dest::Pict)
            m_pict.v[k.index] = value;
        return;
    case Target::Font:
        if (s.dest == Dest::FontTable)
            m_fontProps[k.index] = value;
        return;
    case Target::Color:
        if (s.dest == Dest::ColorTable) {
            m_rgb[k.index] = value;
            m_colorSet = true;
        }
        return;
    case Target::Page:
        if (s.dest == Dest::Text && m_noteDepth == 0)
            m_page[k.index] = value;
        return;
    case Target::Table:
        if (TableBuilder* table = s.dest == Dest::Text ? m_builder.definitionFor(s.para, s.nestedTableProps) : nullptr)
            table->word(k.index, value);
        return;
    case Target::Shape: m_shape[k.index] = value; return;
    }
}

void Reader::action(Act act, int32_t arg, const Token& t, State& s)
{
    switch (act) {
    case Act::Charset:
    case Act::AnsiCpg:
    case Act::Deff:
    case Act::DefLang:
    case Act::U: documentWord(act, arg, t, s); return;
    case Act::Plain:
    case Act::Pard:
    case Act::PnBody:
    case Act::PnStyle:
    case Act::F:
    case Act::Ls:
    case Act::ListId:
    case Act::LevelNfc:
    case Act::LevelStart: formatWord(act, arg, t, s); return;
    case Act::Par:
    case Act::Line:
    case Act::Tab:
    case Act::Cell:
    case Act::Row: breakWord(act, arg, s); return;
    case Act::RowDefaults:
        if (TableBuilder* table = s.dest == Dest::Text ? m_builder.definitionFor(s.para, s.nestedTableProps) : nullptr)
            table->rowDefaults();
        return;
    case Act::NestTableProps:
        // A nested table's properties: read as text (a malformed writer puts some there, and
        // the row's \nestrow is there), its row words the nested row's, not the outer row's.
        s.nestedTableProps = true;
        return;
    case Act::KeepDest: keepGroup(size_t(arg), s); return;
    case Act::SectionDefaults:
        if (s.dest == Dest::Text && m_noteDepth == 0)
            sectionDefaults();
        return;
    case Act::KeepComment: keepComment(arg, t, s); return;
    default: openDestination(act, s); return;
    }
}

void Reader::documentWord(Act act, int32_t arg, const Token& t, State& s)
{
    switch (act) {
    case Act::Charset:
        m_codepage = arg;
        codepagesChanged();
        return;
    case Act::AnsiCpg:
        if (t.hasNumber && isKnownCodepage(t.number)) {
            m_codepage = t.number;
            codepagesChanged();
        }
        return;
    case Act::Deff:
        m_tables.deff = std::max(0, t.number);
        m_builder.tablesChanged();
        codepagesChanged();
        return;
    case Act::DefLang:
        m_tables.defaultLanguage = std::clamp(t.number, 0, 0xFFFF);
        m_builder.tablesChanged();
        return;
    case Act::U: {
        if (!t.hasNumber)
            return;
        // RTF numbers are signed 16-bit: characters above 32767 come negative.
        const int32_t v = t.number < 0 ? t.number + 65536 : t.number;
        m_skip = s.group[gp::SkipAfterUnicode]; // before the character, which may open a table row
        if (v >= 0 && v <= 0xFFFF)
            emitChar(char16_t(v));
        return;
    }
    default: return;
    }
}

// Resets, and the words whose meaning depends on what is set already or on the destination.
void Reader::formatWord(Act act, int32_t arg, const Token& t, State& s)
{
    const int32_t nonNegative = std::max(0, t.number);
    switch (act) {
    case Act::Plain: {
        keepHidden(s);
        const int32_t link = s.chr[cp::Link], field = s.chr[cp::Field];
        s.chr = CharState{};
        s.chr[cp::Link] = link;
        s.chr[cp::Field] = field;
        return;
    }
    case Act::Pard: {
        if (m_noteDepth > 0)
            return; // as the paragraph words in a note
        const bool keepNumbering = s.dest == Dest::Pn;
        const int32_t pn = s.para[pp::Numbering];
        s.para = ParaState{};
        if (keepNumbering)
            s.para[pp::Numbering] = pn;
        return;
    }
    case Act::PnBody:
        if (s.para[pp::Numbering] == pfn::None || s.para[pp::Numbering] == pfn::Bullet)
            s.para[pp::Numbering] = pfn::Arabic;
        return;
    case Act::PnStyle:
        if (s.para[pp::Numbering] != pfn::Bullet && s.para[pp::Numbering] != kUnnumbered)
            s.para[pp::Numbering] = arg;
        return;
    case Act::F:
        if (s.dest == Dest::FontTable)
            openFont(s, nonNegative);
        else
            s.chr[cp::Font] = nonNegative;
        return;
    case Act::Ls:
        if (s.dest == Dest::ListTable)
            m_overrideLs = nonNegative;
        else
            s.para[pp::List] = nonNegative;
        return;
    case Act::ListId:
        if (s.ownsOverride)
            m_overrideList = t.number;
        else if (s.ownsList)
            m_listId = t.number;
        return;
    case Act::LevelNfc:
        if (m_levelOpen)
            m_levels.back().numbering = numberingForNfc(std::clamp(t.number, 0, 255));
        return;
    case Act::LevelStart:
        if (m_levelOpen)
            m_levels.back().start = std::clamp(t.number, 0, 32767);
        return;
    default: return;
    }
}

void Reader::breakWord(Act act, int32_t arg, State& s)
{
    switch (act) {
    case Act::Par:
        if (s.dest == Dest::BulletText && !s.chr[cp::Hidden]) {
            // A writer that puts the whole item in its label group: what followed the last
            // tab is the paragraph's text, and the paragraph ends here.
            keepLabelTail(s);
        } else if (s.dest != Dest::Text || s.chr[cp::Hidden]) {
            return;
        }
        // A page or section break right after a paragraph's end, or a table's cell or row, is
        // no new paragraph; after a page break the next paragraph starts a page.
        // A section ends where the text is the document's own, not in a note or a table.
        if (arg >= 1 && (m_builder.breakPending() || m_builder.rightAfterCell())) {
            if (arg == 2)
                m_builder.pageBreakNext();
            if (arg == 3 && m_noteDepth == 0 && !s.para[pp::InTable])
                startSection();
            return;
        }
        // A paragraph break inside a note keeps the note in the paragraph it belongs to.
        if (m_noteDepth > 0) {
            emitChar(u' ');
        } else {
            const bool body = !s.para[pp::InTable];
            if (m_sectionPending && body) {
                m_builder.sectionStart(sectionSetup());
                m_sectionPending = false;
            }
            m_builder.paragraphEnd(s.para, s.chr);
            if (arg == 2)
                m_builder.pageBreakNext();
            if (arg == 3 && body)
                startSection();
        }
        return;
    case Act::Line: emitChar(QChar::LineSeparator); return;
    case Act::Tab:
        if (s.dest == Dest::BulletText) {
            m_labelTail.clear(); // all before the label's last tab is the label
            m_labelTab = true;
            return;
        }
        emitChar(u'\t');
        return;
    case Act::Cell:
        if (s.dest == Dest::Text && !s.chr[cp::Hidden] && m_noteDepth == 0)
            m_builder.cellEnd(s.para, s.chr, arg == 1);
        return;
    case Act::Row:
        if (s.dest == Dest::Text && !s.chr[cp::Hidden] && m_noteDepth == 0)
            m_builder.rowEnd(s.para, s.chr, arg == 1);
        return;
    default: return;
    }
}

void Reader::symbol(char c, bool groupJustOpened)
{
    switch (c) {
    case '\\': case '{': case '}': {
        const unsigned char b = static_cast<unsigned char>(c);
        bytes(&b, 1);
        return;
    }
    case '~': emitChar(0x00A0); return;
    case '-': emitChar(0x00AD); return;
    case '_': emitChar(0x2011); return;
    case '*':
        // Only right after an opening brace does \* mark a destination; elsewhere it means
        // nothing, and the words and text after it are read as usual.
        m_starred = groupJustOpened;
        return;
    case '\n': action(Act::Par, 0, Token{}, st()); return;
    case '\t': action(Act::Tab, 0, Token{}, st()); return;
    default: return; // \| \: and the like have no meaning here
    }
}

void Reader::skipGroup()
{
    // The group's opening brace has been read; its closing brace closes its state.
    if (m_tokens.skipGroup())
        popGroup();
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
    next.bracket = false;
    next.ownsPict = next.ownsList = next.ownsOverride = next.ownsFont = next.ownsFontTable = false;
    next.ownsLabel = next.ownsShapeText = next.ownsLevel = false;
    next.ownsBookmark = 0;
    m_stack.push_back(std::move(next));
}

void Reader::popGroup()
{
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.empty())
        return;
    const State closed = std::move(m_stack.back());
    m_stack.pop_back();
    // The tables a group defines are kept even when it is the document's own.
    closeHidden(closed);
    closeFont(closed);
    closeListLevel(closed);
    closeList(closed);
    closeListOverride(closed);
    if (m_stack.empty()) {
        m_done = true; // the document's group has ended; what follows is not part of it
        return;
    }
    State& s = st();
    closePict(closed);
    closeObject();
    closeLabel(closed, s);
    closeLevelText(closed, s);
    closeBookmark(closed, s);
    closeShapeText(closed);
    closeFootnote(closed, s);
    closePn(closed, s);
}

OpenGroup Reader::openGroup(size_t out) const
{
    OpenGroup g;
    // What the reader carries from token to token besides its groups: the look-ahead takes
    // none of it.
    if (out >= m_stack.size() || m_overflow > 0 || m_skipTrail || !m_hidden.isEmpty() || !m_comment.isEmpty() || !m_bookmark.isEmpty()
        || m_objectDepth > 0 || m_noteDepth > 0)
        return g;
    const State& s = m_stack[m_stack.size() - 1 - out];
    g.plain = plainGroup(s);
    g.inTable = s.para[pp::InTable] != 0;
    g.skipAfterUnicode = s.group[gp::SkipAfterUnicode];
    g.room = size_t(kMaxDepth) - m_stack.size();
    g.skipping = out == 0 ? m_skip : 0;
    g.singleBytes = singleBytePages();
    return g;
}

void Reader::finish()
{
    // A truncated file: close what is open, so pictures and notes end as they would have.
    dropLead();
    flushComment();
    m_overflow = 0;
    while (!m_stack.empty())
        popGroup();
    m_hidden.clear(); // nothing of the document's group is left to hold it
    if (m_sectionPending) // the last section's paragraph, if it has one unended
        m_builder.sectionStart(sectionSetup());
    m_builder.finish(CharState{});
    if (!m_tables.fields.empty())
        m_builder.keepFieldsWithinParagraphs();
    if (m_wholeDocument) {
        m_builder.placeSections();
        applyPageSetup(*m_wholeDocument, sectionPage(m_sections > 0 ? m_firstSection : m_page, true));
        keepReferences();
        applyKeptGroups(*m_wholeDocument, m_kept);
    }
}

} // namespace rtf

using rtf::Reader;

namespace {

bool isRtfSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

qsizetype rtfStart(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && isRtfSpace(bytes[start]))
        ++start;
    return start;
}

} // namespace

bool isRtf(QByteArrayView bytes) { return bytes.sliced(rtfStart(bytes)).startsWith("{\\rtf"); }

namespace rtf {

bool readRtfWith(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut, DocumentBuilder::Insertion insertion)
{
    if (!isRtf(bytes) || !cursor.document())
        return false;
    const qsizetype start = rtfStart(bytes);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Reader reader(bytes, start, cursor, insertion);
    reader.run();
    cursor.endEditBlock();
    if (leftOut)
        *leftOut = reader.leftOut();
    return true;
}

} // namespace rtf

bool readRtf(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut)
{
    return rtf::readRtfWith(bytes, cursor, leftOut, rtf::DocumentBuilder::Insertion::Gathered);
}

} // namespace zorim
