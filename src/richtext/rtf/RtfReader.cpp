// The RTF reader: the tokenizer's tokens drive a stack of group states. Control words are
// looked up in the keyword table, which makes most of them a property write; the rest are the
// actions below. Text is decoded in the code page of its font (the bytes of a double-byte page
// in pairs) and handed to the document builder. Nothing from the file is trusted: numbers are
// clamped by the keyword table, group nesting is capped, \bin lengths are bounded by the data
// left, and pictures are decoded within a pixel budget proportional to the file's size.
#include "Rtf.h"

#include "Objects.h"
#include "Picture.h"
#include "RtfBuilder.h"
#include "RtfField.h"
#include "RtfKeywords.h"
#include "RtfTokenizer.h"
#include "richtext/DocFormats.h"
#include "text/Codepage.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zorim {
namespace {

using namespace rtf;

// Deeper groups are read as part of the group at this depth (their state is not kept apart).
constexpr int kMaxDepth = 1000;
constexpr size_t kMaxFonts = 4096;
constexpr size_t kMaxColors = 4096;
constexpr size_t kMaxLists = 4096;
constexpr size_t kMaxFields = 65536;
constexpr qsizetype kMaxFieldInstruction = 4096;
constexpr qsizetype kMaxLabelText = 1024;
constexpr qsizetype kMaxHiddenRun = 1 << 20; // characters of hidden text in one object
constexpr int64_t kPictureCost = 2048; // bytes the document spends on one picture's format and resource
constexpr uint8_t kSymbolCharset = 2;

struct State {
    Dest dest = Dest::Text;
    CharState chr;
    ParaState para;
    std::array<int32_t, gp::Count> group{1};
    int field = -1;             // the field this group belongs to
    bool bracket = false;       // a footnote: close it with ']'
    bool ownsPict = false, ownsList = false, ownsOverride = false, ownsFont = false, ownsFontTable = false;
    bool ownsLabel = false;     // a \pntext or \listtext group
    bool ownsShapeText = false; // the text of a text box
    bool shapeResult = false;   // inside a shape's result: what readers without shapes show
};

struct PictBuild {
    std::array<int32_t, pic::Count> v{pic::None, 0, 0, 0, 0, 100, 100, 0, 0, 0};
    QByteArray data;
    int nibble = -1;
};

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

class Reader {
public:
    Reader(const QByteArray& bytes, qsizetype start, QTextCursor& cursor)
        : m_tokens(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), start),
          m_builder(cursor, m_tables), m_budget(16'000'000 + 16 * int64_t(bytes.size())),
          m_pictureRoom(kPictureCost * 512 + 2 * int64_t(bytes.size()))
    {
        m_tables.defaultFace = cursor.document()->defaultFont().family();
        if (cursor.document()->isEmpty())
            m_wholeDocument = cursor.document();
    }

    void run();
    int omitted() const { return m_omitted; }

private:
    void word(const Token& t, bool starred);
    void write(const Keyword& k, int32_t value, State& s);
    void action(Act act, int32_t arg, const Token& t, State& s);
    void symbol(char c, bool groupJustOpened);
    void bytes(const unsigned char* p, qsizetype n);
    void pictBytes(const unsigned char* p, qsizetype n);
    void emitChar(char16_t ch);
    void emitCodepoint(char32_t ch);
    void dropLead();
    void keepLabelTail(const State& s);
    void utf8Bytes(const unsigned char* p, qsizetype n);
    // Puts the hidden text read so far into the document, in the state's format.
    void keepHidden(const State& s)
    {
        if (!m_hidden.isEmpty() && s.dest == Dest::Text)
            m_builder.hidden(std::exchange(m_hidden, QString()), s.chr, s.para);
        m_hidden.clear();
    }
    void skipGroup();
    void pushGroup();
    void popGroup();
    void commitFont();
    void finishPict(const State& closed);
    void finishObject();
    void finish();
    const CodepageTable& tableFor(const State& s)
    {
        if (s.dest != Dest::FontTable && s.chr[cp::Font] == m_tableFont && m_table)
            return *m_table; // text goes on in the font it was in
        return findTableFor(s);
    }
    const CodepageTable& findTableFor(const State& s);
    const CodepageTable& tableForFont(int charset, int codepage) const;
    void codepagesChanged()
    {
        m_table = nullptr;
        m_fontTables.clear();
    }

    State& st() { return m_stack.back(); }

    Tokenizer m_tokens;
    const KeywordTable& m_keywords = keywordTable();
    DocumentTables m_tables;
    DocumentBuilder m_builder;
    PictureBudget m_budget;
    PictureBudget m_pictureRoom; // what the document may spend on pictures besides their pixels
    int m_omitted = 0;           // pictures and objects left out for want of that room

    std::vector<State> m_stack;
    std::optional<EmbeddedObject> m_object; // of the \object group being read, until a picture shows it
    size_t m_objectDepth = 0;               // the depth of that group; 0: none
    int m_overflow = 0; // groups opened beyond kMaxDepth, read as part of the deepest one
    bool m_done = false;
    bool m_starred = false;    // \* right after an opening brace: the next word names a destination
    bool m_justOpened = false; // the last token opened a group
    int m_skip = 0;            // characters still to skip after \uN
    bool m_skipTrail = false;  // the second byte of a skipped double-byte character comes next
    int m_lead = -1;           // the first byte of a double-byte character, waiting for its second
    QByteArray m_utf8;         // the bytes of a UTF-8 sequence read so far

    // code pages
    int m_codepage = 1252;
    int32_t m_tableFont = INT32_MIN;
    const CodepageTable* m_table = nullptr;
    std::unordered_map<int32_t, const CodepageTable*> m_fontTables; // font number -> its page

    // tables under construction
    int32_t m_fontNumber = 0;
    std::array<int32_t, fp::Count> m_fontProps{kDefaultCharset, 0, 0, 0};
    QString m_fontName;
    std::array<int32_t, rgb::Count> m_rgb{};
    bool m_colorSet = false;
    int32_t m_listId = 0;
    std::vector<int> m_levels;
    int32_t m_overrideList = 0, m_overrideLs = 0;
    PictBuild m_pict;
    std::vector<QString> m_fieldInst;

    // the page: kept when the file is read as a whole document
    QTextDocument* m_wholeDocument = nullptr;
    std::array<int32_t, dp::Count> m_page{-1, -1, 0, -1, -1, -1, -1};

    // text
    int m_noteDepth = 0;
    int m_notes = 0; // footnotes read so far
    QString m_hidden; // hidden text read since the last text shown
    QString m_labelTail;       // text after the last tab of a list label
    bool m_labelTab = false;   // the label has a tab: without one, all of it is label
    bool m_shapeText = false;  // the current shape has a text box, read already
};

void Reader::run()
{
    m_stack.reserve(64);
    while (!m_done) {
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
        s.chr[k.index] = value;
        return;
    case Target::Para: s.para[k.index] = value; return;
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
        if (s.dest == Dest::Text)
            m_page[k.index] = value;
        return;
    }
}

void Reader::action(Act act, int32_t arg, const Token& t, State& s)
{
    const int32_t nonNegative = std::max(0, t.number);
    switch (act) {
    // ---- destinations
    case Act::SkipDest: skipGroup(); return;
    case Act::FontTbl:
        s.dest = Dest::FontTable;
        s.ownsFontTable = true;
        m_fontName.clear();
        return;
    case Act::ColorTbl:
        s.dest = Dest::ColorTable;
        m_tables.colors.clear();
        m_colorSet = false;
        m_rgb = {};
        m_builder.tablesChanged();
        return;
    case Act::Pict:
        if (s.dest == Dest::Pict) { // a picture inside a picture means nothing
            skipGroup();
            return;
        }
        s.dest = Dest::Pict;
        s.ownsPict = true;
        m_pict = PictBuild{};
        return;
    case Act::Field:
        if (m_fieldInst.size() >= kMaxFields) {
            s.field = -1;
            return;
        }
        m_fieldInst.emplace_back();
        s.field = int(m_fieldInst.size()) - 1;
        return;
    case Act::FldInst:
        if (s.field < 0) {
            skipGroup();
            return;
        }
        s.dest = Dest::FieldInst;
        return;
    case Act::FldRslt:
        s.dest = s.dest == Dest::FieldInst ? Dest::Ignore : s.dest;
        if (s.field >= 0) {
            const auto target = hyperlinkTarget(m_fieldInst[size_t(s.field)]);
            m_fieldInst[size_t(s.field)].clear();
            if (target && m_tables.links.size() < kMaxFields) {
                m_tables.links.push_back(*target);
                s.chr[cp::Link] = int32_t(m_tables.links.size()) - 1;
            }
        }
        return;
    case Act::ListTable: s.dest = Dest::ListTable; return;
    case Act::List:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        s.ownsList = true;
        m_listId = 0;
        m_levels.clear();
        return;
    case Act::ListLevel:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        if (m_levels.size() < 9)
            m_levels.push_back(0);
        return;
    case Act::ListOverride:
        if (s.dest != Dest::ListTable) { skipGroup(); return; }
        s.ownsOverride = true;
        m_overrideList = 0;
        m_overrideLs = 0;
        return;
    case Act::Pn:
        if (s.dest != Dest::Text) { skipGroup(); return; }
        s.dest = Dest::Pn;
        s.para[pp::Numbering] = pfn::Arabic; // until the level says otherwise
        return;
    case Act::BulletText:
        if (s.dest == Dest::Text) {
            s.dest = Dest::BulletText;
            s.ownsLabel = true;
            m_labelTail.clear();
            m_labelTab = false;
        }
        return;
    case Act::Footnote:
        // Beyond the depth limit groups share one state, which cannot hold a second note.
        if (s.dest != Dest::Text || s.chr[cp::Hidden] || s.bracket || m_overflow > 0) {
            skipGroup();
            return;
        }
        m_builder.character(u'[', s.chr, s.para);
        s.bracket = true;
        ++m_noteDepth;
        ++m_notes;
        return;
    case Act::NoteMark:
        // The number of the note that follows, where the text refers to it; in the note
        // itself, which stands right after that number, the mark is left out.
        if (s.dest == Dest::Text && m_noteDepth == 0) {
            for (const QChar ch : QString::number(m_notes + 1))
                emitChar(ch.unicode());
        }
        return;
    case Act::Transparent: return;
    case Act::Object:
        if (m_objectDepth == 0) {
            m_objectDepth = m_stack.size();
            m_object = parseObjectGroup(m_tokens.rest());
        }
        return;
    case Act::Shape: m_shapeText = false; return;
    case Act::ShapeInst:
        // The shape's properties hold no text; only its text box does.
        if (s.dest == Dest::Text)
            s.dest = Dest::Ignore;
        return;
    case Act::ShapeResult:
        // What a reader without shapes shows: a text box read already would come twice.
        if (m_shapeText) {
            skipGroup();
            return;
        }
        s.shapeResult = true;
        return;
    case Act::DrawingObject:
        if (s.shapeResult && m_shapeText) {
            skipGroup();
            return;
        }
        if (s.dest == Dest::Text)
            s.dest = Dest::Ignore;
        return;
    case Act::ShapeText:
        if (s.dest != Dest::Text && s.dest != Dest::Ignore)
            return;
        // A text box's paragraphs stand at the shape's place, apart from the text around it.
        m_builder.separate(s.para, s.chr);
        s.dest = Dest::Text;
        s.ownsShapeText = true;
        m_shapeText = true;
        return;
    case Act::Upr: // the ANSI half; the \ud inside has the Unicode text
        keepHidden(s);
        s.chr[cp::Hidden] = 1;
        return;
    case Act::Ud:
        keepHidden(s);
        s.chr[cp::Hidden] = 0;
        return;

    // ---- document
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
        m_tables.deff = nonNegative;
        m_builder.tablesChanged();
        codepagesChanged();
        return;
    case Act::U: {
        if (!t.hasNumber)
            return;
        // RTF numbers are signed 16-bit: characters above 32767 come negative.
        const int32_t v = t.number < 0 ? t.number + 65536 : t.number;
        if (v >= 0 && v <= 0xFFFF)
            emitChar(char16_t(v));
        m_skip = s.group[gp::SkipAfterUnicode];
        return;
    }

    // ---- resets
    case Act::Plain: {
        keepHidden(s);
        const int32_t link = s.chr[cp::Link];
        s.chr = CharState{};
        s.chr[cp::Link] = link;
        return;
    }
    case Act::Pard: {
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
        if (s.para[pp::Numbering] != pfn::Bullet)
            s.para[pp::Numbering] = arg;
        return;

    // ---- breaks
    case Act::Par:
        if (s.dest == Dest::BulletText && !s.chr[cp::Hidden]) {
            // A writer that puts the whole item in its label group: what followed the last
            // tab is the paragraph's text, and the paragraph ends here.
            keepLabelTail(s);
        } else if (s.dest != Dest::Text || s.chr[cp::Hidden]) {
            return;
        }
        // A page or section break right after a paragraph's end is no new paragraph; after a
        // page break the next paragraph starts a page.
        if (arg >= 1 && m_builder.breakPending()) {
            if (arg == 2)
                m_builder.pageBreakNext();
            return;
        }
        // A paragraph break inside a table cell or a note keeps the row or the note in the
        // paragraph it belongs to.
        if (s.para[pp::InTable] || m_noteDepth > 0) {
            emitChar(u' ');
        } else {
            m_builder.paragraphEnd(s.para, s.chr);
            if (arg == 2)
                m_builder.pageBreakNext();
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
        if (s.dest == Dest::Text && !s.chr[cp::Hidden])
            m_builder.cellEnd();
        return;
    case Act::Row:
        if (s.dest == Dest::Text && !s.chr[cp::Hidden])
            m_builder.rowEnd(s.para, s.chr);
        return;

    // ---- words whose meaning depends on the destination
    case Act::F:
        if (s.dest == Dest::FontTable) {
            m_fontNumber = nonNegative;
            m_fontProps = {kDefaultCharset, 0, 0, 0};
            m_fontName.clear();
            s.ownsFont = true;
        } else {
            s.chr[cp::Font] = nonNegative;
        }
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
        if (!m_levels.empty())
            m_levels.back() = std::clamp(t.number, 0, 255);
        return;
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

void Reader::pictBytes(const unsigned char* p, qsizetype n)
{
    auto hex = [](unsigned char h) -> int {
        if (h >= '0' && h <= '9') return h - '0';
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const int v = hex(p[i]);
        if (v < 0)
            continue;
        if (m_pict.nibble < 0) {
            m_pict.nibble = v;
        } else {
            m_pict.data.append(char(m_pict.nibble << 4 | v));
            m_pict.nibble = -1;
        }
    }
}

void Reader::bytes(const unsigned char* p, qsizetype n)
{
    State& s = st();
    qsizetype i = 0;
    if (s.dest == Dest::Pict) {
        for (; m_skip > 0 && i < n; ++i)
            --m_skip;
        pictBytes(p + i, n - i);
        return;
    }
    const CodepageTable& table = tableFor(s);
    if (table.codepage == kUtf8Codepage) {
        utf8Bytes(p, n);
        return;
    }
    if (!table.doubleByte()) {
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
        return;
    }
    for (; i < n; ++i) {
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
    default: return;
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
    next.ownsLabel = next.ownsShapeText = false;
    m_stack.push_back(std::move(next));
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
    if (closed.chr[cp::Hidden] == kKeptHidden && (m_stack.empty() || st().chr[cp::Hidden] != kKeptHidden))
        keepHidden(closed);
    if (closed.ownsFont || closed.ownsFontTable)
        commitFont();
    if (closed.ownsList && m_tables.lists.size() < kMaxLists)
        m_tables.lists[m_listId] = m_levels;
    if (closed.ownsList)
        m_levels.clear();
    if (closed.ownsOverride && m_tables.overrides.size() < kMaxLists)
        m_tables.overrides[m_overrideLs] = m_overrideList;
    if (closed.bracket)
        --m_noteDepth;
    if (m_stack.empty()) {
        m_done = true; // the document's group has ended; what follows is not part of it
        return;
    }
    State& s = st();
    if (closed.ownsPict)
        finishPict(closed);
    if (m_objectDepth > 0 && m_stack.size() < m_objectDepth)
        finishObject();
    if (closed.ownsLabel && s.dest == Dest::Text && !closed.chr[cp::Hidden])
        keepLabelTail(closed); // some writers put the item's own text after the label's tab
    if (closed.ownsShapeText)
        m_builder.separate(closed.para, closed.chr);
    if (closed.bracket && !closed.chr[cp::Hidden])
        m_builder.character(u']', s.chr, s.para);
    if (closed.dest == Dest::Pn && s.dest != Dest::Pn)
        s.para[pp::Numbering] = closed.para[pp::Numbering];
}

void Reader::finishPict(const State& closed)
{
    PictBuild b = std::exchange(m_pict, PictBuild{});
    int32_t kind = b.v[pic::Kind];
    if (kind == pic::None && b.v[pic::MapMode] > 0)
        kind = pic::Wmf;
    if (kind == pic::Unsupported || b.data.isEmpty() || closed.chr[cp::Hidden])
        return;
    // Each picture costs the document a format and a resource, whatever its size: a file of
    // thousands of tiny pictures must not take memory far beyond its own size.
    if (!m_pictureRoom.take(kPictureCost)) {
        if (!(m_object && m_stack.size() >= m_objectDepth))
            ++m_omitted; // an object's picture: the object counts when it ends
        return;
    }
    Picture picture;
    picture.data = std::move(b.data);
    picture.width = b.v[pic::Width];
    picture.height = b.v[pic::Height];
    picture.goalWidth = b.v[pic::GoalWidth];
    picture.goalHeight = b.v[pic::GoalHeight];
    picture.scaleX = b.v[pic::ScaleX];
    picture.scaleY = b.v[pic::ScaleY];
    if (b.v[pic::MapMode] > 0)
        picture.mapMode = b.v[pic::MapMode];
    switch (kind) {
    case pic::Png: picture.kind = PictureKind::Png; break;
    case pic::Jpeg: picture.kind = PictureKind::Jpeg; break;
    case pic::Dib: picture.kind = PictureKind::Dib; break;
    case pic::Wmf: picture.kind = PictureKind::Wmf; break;
    case pic::Emf: picture.kind = PictureKind::Emf; break;
    case pic::Wbitmap: {
        // Device-dependent bits mean nothing on their own; they are kept as PNG.
        if (!m_budget.take(int64_t(picture.width) * picture.height))
            return;
        const QImage image = decodeDeviceBitmap(picture.data, picture.width, picture.height, b.v[pic::Bpp],
                                                b.v[pic::RowBytes]);
        if (image.isNull())
            return;
        Picture png = pictureFromImage(image);
        png.goalWidth = picture.goalWidth;
        png.goalHeight = picture.goalHeight;
        png.scaleX = picture.scaleX;
        png.scaleY = picture.scaleY;
        picture = std::move(png);
        break;
    }
    default:
        if (picture.data.startsWith("\x89PNG"))
            picture.kind = PictureKind::Png;
        else if (picture.data.startsWith("\xFF\xD8"))
            picture.kind = PictureKind::Jpeg;
        else
            return;
    }
    // A bitmap without its size in the file takes the size it decodes to.
    if ((picture.width <= 0 || picture.height <= 0) && picture.kind != PictureKind::Wmf
        && picture.kind != PictureKind::Emf) {
        if (const auto probe = pictureFromFileData(picture.kind == PictureKind::Dib ? QByteArray() : picture.data)) {
            picture.width = probe->width;
            picture.height = probe->height;
        }
    }
    m_builder.picture(picture, st().chr, st().para, m_budget);
    if (m_object && m_stack.size() >= m_objectDepth) {
        m_builder.attachToLastPicture(*m_object);
        m_object.reset();
    }
}

void Reader::finishObject()
{
    // An object whose result showed no picture is shown by its icon, so its data stays.
    std::optional<EmbeddedObject> object = std::exchange(m_object, std::nullopt);
    m_objectDepth = 0;
    if (!object || st().chr[cp::Hidden])
        return;
    if (!m_pictureRoom.take(kPictureCost)) {
        ++m_omitted;
        return;
    }
    m_builder.object(*object, st().chr, st().para);
}

void Reader::finish()
{
    // A truncated file: close what is open, so pictures and notes end as they would have.
    dropLead();
    m_overflow = 0;
    while (!m_stack.empty())
        popGroup();
    m_hidden.clear(); // nothing of the document's group is left to hold it
    m_builder.finish(CharState{});
    if (m_wholeDocument) {
        PageSetup page;
        page.paperWidth = m_page[dp::PaperWidth];
        page.paperHeight = m_page[dp::PaperHeight];
        page.landscape = m_page[dp::Landscape] != 0;
        page.marginLeft = m_page[dp::MarginLeft];
        page.marginRight = m_page[dp::MarginRight];
        page.marginTop = m_page[dp::MarginTop];
        page.marginBottom = m_page[dp::MarginBottom];
        applyPageSetup(*m_wholeDocument, page);
    }
}

} // namespace

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

bool readRtf(const QByteArray& bytes, QTextCursor& cursor, int* omitted)
{
    if (!isRtf(bytes) || !cursor.document())
        return false;
    const qsizetype start = rtfStart(bytes);
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Reader reader(bytes, start, cursor);
    reader.run();
    cursor.endEditBlock();
    if (omitted)
        *omitted = reader.omitted();
    return true;
}

} // namespace zorim
