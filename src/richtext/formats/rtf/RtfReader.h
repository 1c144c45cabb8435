#pragma once
// The RTF reader's own parts: the group states, and the reader that drives them from the
// tokenizer's tokens. Its code is spread by concern: the token loop and the groups
// (RtfReader.cpp), the destinations, each one's opening beside its closing
// (RtfDestinations.cpp), text and its code pages (RtfText.cpp), pictures and objects
// (RtfPictures.cpp).
#include "Objects.h"
#include "Picture.h"
#include "RtfBuilder.h"
#include "RtfKeywords.h"
#include "RtfTokenizer.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/RichTypes.h"
#include "text/Codepage.h"

#include <QTextCursor>
#include <QTextDocument>

#include <array>
#include <climits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zorim::rtf {

// Deeper groups are read as part of the group at this depth (their state is not kept apart).
constexpr int kMaxDepth = 1000;
constexpr size_t kMaxFonts = 4096;
constexpr size_t kMaxColors = 4096;
constexpr size_t kMaxLists = 4096;
constexpr size_t kMaxFields = 65536;
constexpr qsizetype kMaxFieldInstruction = 4096;
constexpr size_t kMaxBookmarks = 65536;       // starts and ends, each
constexpr qsizetype kMaxBookmarkName = 256;
constexpr qsizetype kMaxLabelText = 1024;
constexpr qsizetype kMaxLevelText = 256;
constexpr qsizetype kMaxHiddenRun = 1 << 20; // characters of hidden text in one object
constexpr qsizetype kMaxShapeName = 64;
constexpr int64_t kPictureCost = 2048; // bytes the document spends on one picture's format and resource
// Bytes the document spends on the format of one hidden run or comment besides what it holds:
// each distinct one is a format of its own, kept in the document's format collection.
constexpr int64_t kKeptObjectCost = 1024;
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
    bool ownsLevel = false;     // a list level's group
    int8_t ownsBookmark = 0;    // a \bkmkstart (1) or \bkmkend (-1) group
    bool ownsShapeText = false; // the text of a text box
    bool shapeResult = false;   // inside a shape's result: what readers without shapes show
    bool shapePicture = false;  // inside the value of a shape's picture (pib)
    bool nestedTableProps = false; // inside a nested table's properties
};

// A group in the text whose state owns nothing: its end closes nothing but its formatting.
inline bool plainGroup(const State& s)
{
    return s.dest == Dest::Text && !s.chr[cp::Hidden] && !s.bracket && !s.ownsPict && !s.ownsList && !s.ownsOverride
           && !s.ownsFont && !s.ownsFontTable && !s.ownsLabel && !s.ownsShapeText && !s.shapeResult
           && !s.nestedTableProps;
}

struct PictBuild {
    std::array<int32_t, pic::Count> v{pic::None, 0, 0, 0, 0, 100, 100, 0, 0, 0};
    QByteArray data;
    int nibble = -1;
};

class Reader {
public:
    Reader(const QByteArray& bytes, qsizetype start, QTextCursor& cursor,
           DocumentBuilder::Insertion insertion = DocumentBuilder::Insertion::Gathered)
        : m_tokens(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), start),
          m_builder(cursor, m_tables, insertion), m_budget(16'000'000 + 16 * int64_t(bytes.size())),
          m_pictureRoom(kPictureCost * 512 + 2 * int64_t(bytes.size())),
          m_keptRoom(kKeptObjectCost * 16384 + 16 * int64_t(bytes.size()))
    {
        m_tables.defaultFace = cursor.document()->defaultFont().family();
        m_builder.setLookahead(&m_tokens, [this](size_t out) { return openGroup(out); });
        if (cursor.document()->isEmpty())
            m_wholeDocument = cursor.document();
    }

    void run();
    // Reads on until the tokens read reach `until` where a paragraph has just ended outside
    // any table and no group but plain text is open, and puts what was gathered in; or to the
    // end. True once the whole file is read (and finished).
    bool readOn(qsizetype until);
    LeftOut leftOut() const { return m_leftOut; }
    qsizetype tokensLeft() const { return m_tokens.rest().size(); }
    // The text read is a note's own: a note in it stands in brackets where it is referred to.
    void readingNote() { m_inNote = true; }

private:
    // the token loop (RtfReader.cpp)
    void word(const Token& t, bool starred);
    void write(const Keyword& k, int32_t value, State& s);
    void action(Act act, int32_t arg, const Token& t, State& s);
    void documentWord(Act act, int32_t arg, const Token& t, State& s);
    void formatWord(Act act, int32_t arg, const Token& t, State& s);
    void breakWord(Act act, int32_t arg, State& s);
    void symbol(char c, bool groupJustOpened);
    void skipGroup();
    void pushGroup();
    void popGroup();
    void finish();
    // Whether reading may pause here: between paragraphs, nothing half read.
    bool mayPause() const;
    // An open group as the table builder's look-ahead sees it.
    OpenGroup openGroup(size_t out) const;

    // destinations: each opens on its word and closes with its group (RtfDestinations.cpp)
    void openDestination(Act act, State& s);
    void keepGroup(size_t kind, const State& s);
    // The group whose destination word was just read, whole as the file has it, `opening`
    // put back before the rest; text of the file's own page (`fileText`) recoded from a
    // single-byte page into the writer's. Nothing when the file cuts the group short: it
    // would leave the writer's output open.
    std::optional<QByteArray> groupAsRead(const QByteArray& opening, bool fileText);
    void keepReferences();
    // What the font and colour numbers in the groups mean in this file's tables.
    void recordReferences(KeptGroups& kept) const;
    void keepComment(int32_t part, const Token& t, State& s);
    void addToComment(QByteArrayView bytes, const State& s);
    // Puts the comment read so far into the document where it stands.
    void flushComment();
    // Whether the token may be part of the comment being read (the next token decides for a group's start).
    bool continuesComment(const Token& t) const;
    uint8_t keptCharset(const FontInfo& font) const;
    void openFontTable(State& s);
    void openFont(State& s, int32_t number);
    void closeFont(const State& closed);
    void commitFont();
    void openColorTable(State& s);
    void openPict(State& s);
    void closePict(const State& closed);
    void openField(State& s);
    void openFieldInstruction(State& s);
    void openBookmark(State& s, bool start);
    void closeBookmark(const State& closed, const State& outer);
    void openFieldResult(State& s);
    void openList(State& s);
    void openListLevel(State& s);
    void closeList(const State& closed);
    void closeListLevel(const State& closed);
    void openLevelText(State& s);
    void closeLevelText(const State& closed, const State& outer);
    void openListOverride(State& s);
    void closeListOverride(const State& closed);
    void openPn(State& s);
    void closePn(const State& closed, State& outer);
    void openLabel(State& s);
    void closeLabel(const State& closed, const State& outer);
    void openFootnote(State& s);
    // Keeps the note whose \footnote word was just read; false (the tokens as they were) when
    // it cannot be kept.
    bool keepNote(bool numbered, const State& s);
    void closeFootnote(const State& closed, const State& outer);
    void openObject();
    void closeObject();
    void openShapeResult(State& s);
    void openDrawingObject(State& s);
    void openShapeText(State& s);
    void closeShapeText(const State& closed);
    void shapeProperty(Act act, State& s);
    void closeHidden(const State& closed);
    // sections (RtfDestinations.cpp)
    using PageWords = std::array<int32_t, dp::Count>;
    static PageWords pageDefaults();
    void startSection();
    void sectionDefaults();
    SectionSetup sectionSetup();
    static PageSetup sectionPage(const PageWords& words, bool first);
    QByteArray headerWords(const PageWords& words) const;

    // text and its code pages (RtfText.cpp)
    void bytes(const unsigned char* p, qsizetype n);
    void singleBytes(const CodepageTable& table, const unsigned char* p, qsizetype n);
    void doubleBytes(const CodepageTable& table, const unsigned char* p, qsizetype n);
    void utf8Bytes(const unsigned char* p, qsizetype n);
    void emitChar(char16_t ch);
    void emitCodepoint(char32_t ch);
    void dropLead();
    void keepLabelTail(const State& s);
    // Puts the hidden text read so far into the document, in the state's format.
    void keepHidden(const State& s);
    // Whether the document has room for one more hidden run or comment that holds `bytes`;
    // one equal to the one before it shares its format and costs nothing more.
    bool roomForKept(qsizetype bytes, size_t hash);

    // pictures and objects (RtfPictures.cpp)
    void pictBytes(const unsigned char* p, qsizetype n);
    void finishPict(const State& closed);
    void finishObject();

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
        m_singleBytePages = -1;
    }
    // Whether every page text may be in (the document's, its fonts') has a character a byte.
    bool singleBytePages() const;

    State& st() { return m_stack.back(); }

    Tokenizer m_tokens;
    const KeywordTable& m_keywords = keywordTable();
    DocumentTables m_tables;
    DocumentBuilder m_builder;
    PictureBudget m_budget;
    PictureBudget m_pictureRoom; // what the document may spend on pictures besides their pixels
    // What the document may spend on the formats of hidden runs and comments: each distinct
    // one costs about a kilobyte, against a few bytes of the file.
    PictureBudget m_keptRoom;
    std::optional<size_t> m_lastKept; // the hash of the last hidden run or comment put in
    LeftOut m_leftOut;           // what was left out for want of room

    std::vector<State> m_stack;
    std::optional<EmbeddedObject> m_object; // of the \object group being read, until a picture shows it
    size_t m_objectDepth = 0;               // the depth of that group; 0: none
    int m_overflow = 0; // groups opened beyond kMaxDepth, read as part of the deepest one
    bool m_done = false;
    bool m_finished = false; // finish() has run
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
    mutable int m_singleBytePages = -1; // singleBytePages(); -1: not known yet

    // tables under construction
    int32_t m_fontNumber = 0;
    std::array<int32_t, fp::Count> m_fontProps{kDefaultCharset, 0, 0, 0};
    QString m_fontName;
    std::array<int32_t, rgb::Count> m_rgb{};
    bool m_colorSet = false;
    int32_t m_listId = 0;
    ListLevels m_levels;      // of the list being read
    bool m_listOpen = false;  // a list of the list table is being read
    bool m_levelOpen = false; // a level of it is being read
    QString m_levelText;      // the label of that level, as read
    bool m_levelTextRead = false;
    int32_t m_overrideList = 0, m_overrideLs = 0;
    PictBuild m_pict;
    std::vector<QString> m_fieldInst;
    QString m_bookmark;          // the name of the bookmark group being read
    size_t m_bookmarks = 0;      // bookmark starts and ends kept

    // the page: kept when the file is read as a whole document
    QTextDocument* m_wholeDocument = nullptr;
    PageWords m_page = pageDefaults();
    // sections: the first section's words as they stood at its end (once a \sect has come), the
    // sections begun, whether the next paragraph starts one, and its headers and footers
    PageWords m_firstSection = pageDefaults();
    int m_sections = 0;
    bool m_sectionPending = false;
    KeptGroups m_sectionKept;
    uint32_t m_sectionKeptKinds = 0;
    // headers, footers and the document information: kept too, whole (RtfKeptGroups.h)
    KeptGroups m_kept;
    qsizetype m_keptBytes = 0;
    uint32_t m_keptKinds = 0; // a bit for each kind kept already
    // comments: kept where they stand, read whatever the file is read into
    QByteArray m_comment; // the groups of the comment being read
    CharState m_commentChr;
    ParaState m_commentPara;
    qsizetype m_commentBytes = 0;
    int m_comments = 0;

    // text
    int m_noteDepth = 0;
    int m_notes = 0; // footnotes read so far
    bool m_notePending = false; // a note's mark (\chftn) stands before the note to come
    bool m_inNote = false;      // the document read is a note's own text
    QString m_hidden; // hidden text read since the last text shown
    QString m_labelTail;       // text after the last tab of a list label
    bool m_labelTab = false;   // the label has a tab: without one, all of it is label
    bool m_shapeText = false;  // the current shape has a text box, read already
    bool m_shapePicture = false; // the current shape has shown its picture
    std::array<int32_t, shp::Count> m_shape{}; // the current shape's box
    QString m_shapeName;       // of the shape property being read
};

// readRtf, with the text put in as the insertion says (the tests compare the two).
bool readRtfWith(const QByteArray& bytes, QTextCursor& cursor, LeftOut* leftOut, DocumentBuilder::Insertion insertion);

} // namespace zorim::rtf
