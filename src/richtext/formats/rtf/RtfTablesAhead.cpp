#include "RtfTablesAhead.h"

#include "RtfKeywords.h"

#include <algorithm>
#include <vector>

namespace zorim::rtf::ahead {
namespace {

// Whether a group starting with this word holds nothing of the text: its \cell words are
// not the row's.
bool skippedGroup(std::string_view name)
{
    const Keyword* k = findKeyword(keywordTable(), name);
    if (!k || k->kind != Kind::Action)
        return false;
    switch (Act(k->index)) {
    case Act::SkipDest: case Act::Pict: case Act::FontTbl: case Act::ColorTbl: case Act::ListTable:
    case Act::Footnote: return true;
    default: return false;
    }
}

bool isAction(const Keyword* k, Act act) { return k && k->kind == Kind::Action && Act(k->index) == act; }

// Follows the tokens after a row's first content as the reader will take them, through groups
// of plain text, counting the rows of its table that are certain to come after it.
class RowsAhead {
public:
    RowsAhead(Tokenizer tokens, const OpenGroups& groups, int columns, int limit)
        : m_tokens(tokens), m_groups(groups), m_columns(columns), m_limit(limit)
    {
    }

    int run(int64_t budget, int64_t& used);

private:
    struct Level {
        bool inTable = false;
        int32_t skipAfterUnicode = 1;
    };
    // What a piece of content is: surely text of the document, or perhaps nothing (a byte that
    // may be half of a character).
    enum class Content { Sure, Maybe };

    Level& level() { return m_own.empty() ? m_base : m_own.back(); }
    bool enter(const OpenGroup& g);
    bool token(const Token& t);
    bool groupStart();
    bool groupEnd();
    bool picture();
    bool word(const Token& t);
    bool action(Act act, int32_t arg, const Token& t);
    bool symbol(unsigned char c);
    bool byte(bool afterSkippedByte);
    bool text(const Token& t, bool afterSkippedByte);
    bool content(Content kind);
    bool cell();
    bool row();

    Tokenizer m_tokens;
    const OpenGroups& m_groups;
    const int m_columns;
    const int m_limit;
    size_t m_out = 0;    // the reader's group the look-ahead is in, when it has none of its own
    Level m_base;        // that group's state
    std::vector<Level> m_own; // groups opened ahead
    size_t m_room = 0;
    bool m_singleBytes = false;
    int m_skip = 0;      // characters still skipped after \u
    bool m_skippedByte = false; // the last token was a byte skipped after \u: a double-byte
                                // page may skip the byte after it too
    int m_rows = 0;
    // the row being followed; first the one being opened, which is the table's already
    bool m_rowOpen = true;
    bool m_opening = true;
    bool m_atCell = false;   // it opened with a \cell
    int m_cells = 0;         // \cell words after the one it opened with, as cellsAhead counts them
    bool m_counting = false; // cellsAhead would still count
    int m_cellWords = 0;
};

int RowsAhead::run(int64_t budget, int64_t& used)
{
    const qsizetype start = m_tokens.rest().size();
    used = 0;
    const OpenGroup innermost = m_groups(0);
    if (!enter(innermost))
        return 0;
    m_room = innermost.room;
    m_singleBytes = innermost.singleBytes;
    m_skip = innermost.skipping;
    int rows = 0;
    while (m_rows < m_limit && token(m_tokens.next())) {
        if (start - m_tokens.rest().size() > budget)
            break; // a row this token ended may be one cellsAhead has no bytes left for
        rows = m_rows;
    }
    used = start - m_tokens.rest().size();
    return rows;
}

bool RowsAhead::enter(const OpenGroup& g)
{
    m_base = Level{g.inTable, g.skipAfterUnicode};
    return g.plain;
}

// Each step gives false where the look-ahead ends: the table ends there, or what the reader
// makes of it is not certain.
bool RowsAhead::token(const Token& t)
{
    const bool afterSkippedByte = std::exchange(m_skippedByte, false);
    switch (t.kind) {
    case Token::GroupStart: m_skip = 0; return groupStart();
    case Token::GroupEnd: m_skip = 0; return groupEnd();
    case Token::Word: return m_skip == 0 && word(t);
    case Token::Symbol: return m_skip == 0 && symbol(t.ch);
    case Token::Byte:
        if (m_skip > 0) {
            --m_skip;
            m_skippedByte = true;
            return true;
        }
        return byte(afterSkippedByte);
    case Token::Text: return text(t, afterSkippedByte);
    case Token::Binary: return m_skip == 0; // data outside a picture: nothing
    case Token::End: return false;
    }
    return false;
}

bool RowsAhead::groupStart()
{
    Tokenizer peek = m_tokens;
    const Token first = peek.next();
    if (first.kind == Token::Symbol && first.ch == '*') {
        // Unknown destinations and those that hold nothing are left out by the reader, and
        // their \cell words by cellsAhead; field instructions are not text.
        const Token name = peek.next();
        if (name.kind != Token::Word)
            return false;
        const Keyword* k = findKeyword(keywordTable(), name.name());
        if (name.name() == "shppict")
            return picture();
        if (k && !isAction(k, Act::SkipDest) && !isAction(k, Act::FldInst))
            return false;
        return m_tokens.skipGroup();
    }
    if (first.kind == Token::Word) {
        const Keyword* k = findKeyword(keywordTable(), first.name());
        if (isAction(k, Act::SkipDest))
            return m_tokens.skipGroup();
        if (isAction(k, Act::Pict))
            return picture();
    }
    if (m_own.size() + 1 >= m_room)
        return false;
    m_own.push_back(level());
    return true;
}

// A picture's group (or a shape's, \shppict, holding one): the picture is one piece of content
// where the group stands, in the state around it; the reader may leave it out for want of room.
// Its \cell words are not the text's, nor does cellsAhead count them.
bool RowsAhead::picture() { return content(Content::Maybe) && m_tokens.skipGroup(); }

bool RowsAhead::groupEnd()
{
    if (!m_own.empty()) {
        m_own.pop_back();
        return true;
    }
    return enter(m_groups(++m_out));
}

bool RowsAhead::word(const Token& t)
{
    const Keyword* k = findKeyword(keywordTable(), t.name());
    if (!k)
        return true; // a word of a row's definition, kept, or one that means nothing
    switch (k->kind) {
    case Kind::Char: return content(Content::Sure);
    case Kind::Action: return action(Act(k->index), k->value, t);
    default: break;
    }
    const int32_t value = k->valueFor(t.hasNumber, t.number);
    if (k->target == Target::Char && k->index == cp::Hidden)
        return value == 0;
    if (k->target == Target::Para && k->index == pp::InTable)
        level().inTable = value != 0;
    else if (k->target == Target::Group && k->index == gp::SkipAfterUnicode)
        level().skipAfterUnicode = value;
    return true;
}

bool RowsAhead::action(Act act, int32_t arg, const Token& t)
{
    switch (act) {
    case Act::Pard: level().inTable = false; return true;
    case Act::Plain: case Act::F: case Act::Ls: case Act::ListId: case Act::LevelNfc: case Act::PnBody:
    case Act::PnStyle: case Act::Field: case Act::FldRslt: case Act::Transparent: return true;
    case Act::RowDefaults:
        if (m_rowOpen && m_cells > 0)
            m_counting = false; // cellsAhead ends at a new row's definition after some cells
        return true;
    case Act::U: {
        if (!t.hasNumber)
            return true;
        const int32_t v = t.number < 0 ? t.number + 65536 : t.number;
        if (v > 0 && v <= 0xFFFF && !content(Content::Sure))
            return false;
        m_skip = level().skipAfterUnicode;
        return true;
    }
    case Act::Par: return arg == 0 && content(Content::Sure); // \sect, \page: left to the reader
    case Act::Line: case Act::Tab: return content(Content::Sure);
    case Act::Cell: return arg == 0 && cell();
    case Act::Row: return arg == 0 && row();
    default: return false; // destinations, nested tables, code pages
    }
}

bool RowsAhead::symbol(unsigned char c)
{
    switch (c) {
    case '\\': case '{': case '}': case '~': case '-': case '_': case '\t': case '\n': return content(Content::Sure);
    default: return true; // \* not after a brace, \| \: and the like mean nothing
    }
}

// A byte or text right after a byte skipped after \u may be the rest of a skipped character.
bool RowsAhead::byte(bool afterSkippedByte)
{
    // In a double-byte page a byte may wait for the next one: the text it is part of comes
    // with that (a byte or text), or before any other token as a replacement character.
    Tokenizer peek = m_tokens;
    const Token next = peek.next();
    const bool sure = m_singleBytes
                      || (!afterSkippedByte && (next.kind == Token::Byte || next.kind == Token::Text));
    return content(sure ? Content::Sure : Content::Maybe);
}

bool RowsAhead::text(const Token& t, bool afterSkippedByte)
{
    qsizetype i = 0;
    for (; m_skip > 0 && i < t.size; ++i) {
        if (t.data[i] >= 0x80 && !m_singleBytes)
            return false; // a double-byte page skips characters, not bytes
        --m_skip;
    }
    if (i == t.size)
        return true;
    // A character of its own, or the second byte of one: text either way.
    const bool ascii = t.data[i] >= 0x20 && t.data[i] < 0x7F;
    return content(m_singleBytes || (ascii && !afterSkippedByte) ? Content::Sure : Content::Maybe);
}

bool RowsAhead::content(Content kind)
{
    if (!level().inTable)
        return false; // content outside \intbl ends the table, or it is not certain what it is
    if (m_rowOpen)
        return true;
    if (kind != Content::Sure)
        return false;
    m_rowOpen = true;
    m_atCell = false;
    m_cells = 0;
    m_counting = true;
    m_cellWords = 0;
    return true;
}

bool RowsAhead::cell()
{
    if (!m_rowOpen) {
        // A \cell in a paragraph of a table opens a row, one outside reads as a tab.
        if (!content(Content::Sure))
            return false;
        m_atCell = true;
    } else if (m_counting && m_cells < kMaxTableColumns) {
        ++m_cells;
    }
    ++m_cellWords;
    return true;
}

bool RowsAhead::row()
{
    if (std::exchange(m_opening, false)) {
        m_rowOpen = false;
        return true;
    }
    if (!m_rowOpen || m_cellWords == 0)
        return false;
    m_rowOpen = false;
    // A row of another count starts a new table.
    if (std::clamp(m_cells + (m_atCell ? 1 : 0), 1, int(kMaxTableColumns)) != m_columns)
        return false;
    ++m_rows;
    return true;
}

} // namespace

int cellsAhead(Tokenizer t, int64_t& budget, bool nested)
{
    const qsizetype start = t.rest().size();
    int cells = 0;
    bool holdsTable = false; // a cell of the row holds a table
    int restated = -1;       // the \cellx words of a definition stated again after that, -1 none
    int depth = 2;           // nested: the depth of the paragraph the words are in (\itap)
    for (Token token = t.next(); token.kind != Token::End && cells < kMaxTableColumns; token = t.next()) {
        if (token.kind == Token::GroupStart) {
            Tokenizer peek = t;
            const Token first = peek.next();
            const bool starred = first.kind == Token::Symbol && first.ch == '*';
            if (nested && starred && depth == 2) {
                const Token name = peek.next();
                if (name.kind == Token::Word && name.name() == "nesttableprops")
                    break; // the row's properties: its end
            }
            if (starred || (first.kind == Token::Word && skippedGroup(first.name())))
                t.skipGroup();
        } else if (token.kind == Token::Word) {
            const std::string_view name = token.name();
            if (nested) {
                // A cell of a table deeper still is not the row's.
                if (name == "itap")
                    depth = token.hasNumber ? token.number : 1;
                else if (name == "pard")
                    depth = 1;
                else if (name == "nestcell" && depth == 2)
                    ++cells;
                else if (name == "cell" || name == "row" || name == "nestrow")
                    break;
            } else if (name == "cell") {
                ++cells;
            } else if (name == "nestcell") {
                holdsTable = true;
            } else if (name == "row") {
                break;
            } else if (name == "trowd" && cells > 0) {
                if (!holdsTable)
                    break;
                restated = 0;
            } else if (name == "cellx" && restated >= 0) {
                ++restated;
            }
        }
        if (start - t.rest().size() > budget)
            break;
    }
    budget = std::max<int64_t>(0, budget - (start - t.rest().size()));
    return restated > 0 ? std::min(cells, restated) : cells;
}

int rowsAhead(Tokenizer tokens, const OpenGroups& groups, int columns, int limit, int64_t budget, int64_t& used)
{
    used = 0;
    if (!groups || limit <= 0)
        return 0;
    return RowsAhead(tokens, groups, columns, limit).run(budget, used);
}

} // namespace zorim::rtf::ahead
