#pragma once
// The document side of the RTF reader: puts runs, paragraph breaks, table cells and pictures
// into the document at the cursor, each run with a complete character format and each
// paragraph with a complete paragraph format made from the group states and the document's
// tables (fonts, colours, links, lists).
//
// Text is gathered before it goes in: a paragraph break joins the run that follows it, and
// paragraphs of one character format and one paragraph format join into one insertion, since
// each insertion costs the document a format lookup, a block format and a piece-table edit.
// The document comes out as if each run and break had gone in by itself.
#include "Picture.h"
#include "RtfKeywords.h"
#include "RtfTables.h"
#include "richtext/document/CharFormat.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/Notes.h"
#include "richtext/document/Sections.h"

#include <QPointer>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

class QTextCursor;
class QTextList;
class QTextDocument;

namespace zorim {
struct EmbeddedObject;
struct KeptGroups;
}

namespace zorim::rtf {

struct FontInfo {
    QString face;
    uint8_t charset = kDefaultCharset;
    uint8_t pitchAndFamily = 0;
    int codepage = 0; // \cpg: the font's code page when the file names it; 0: its charset's
};

// What the file defines once and the text refers to by number.
struct DocumentTables {
    QString defaultFace;                          // the document's default font, for text without a font table
    int32_t deff = -1;                            // the default font number (\deff); -1: none, as other programs take it
    int32_t defaultLanguage = 0;                  // \deflang: the language of runs that name none; 0: Slovak
    std::unordered_map<int32_t, FontInfo> fonts;
    std::vector<std::optional<ColorRef>> colors;  // nothing: the automatic colour
    std::vector<QString> links;
    struct Field {
        QString instruction;
        int id = 0; // the document's field number (newFieldId)
    };
    std::vector<Field> fields;                    // fields other than links, kept with their instruction
    std::map<int32_t, ListLevels> lists;          // list id -> its levels
    std::map<int32_t, int32_t> overrides;         // \ls number -> list id

    // A list of levels under its number, which its paragraphs name: the paragraph state's
    // pp::List, with its level in pp::Level (inList). So other formats' readers state lists.
    void defineList(int32_t number, ListLevels levels)
    {
        lists[number] = std::move(levels);
        overrides[number] = number;
    }

    // The font of a number; the default font for -1 or a number the table lacks.
    const FontInfo* font(int32_t number) const;
};

// The paragraph is an item of the list of this number (DocumentTables::defineList), at a level
// from 0 to 8.
inline void inList(ParaState& para, int32_t number, int level)
{
    para[pp::List] = number;
    para[pp::Level] = std::clamp(level, 0, kListLevelCount - 1);
}

// A paragraph as it goes in: its format, and the words kept beside it for the writer.
struct AppliedParagraph {
    ParaFormat format;
    int32_t list = 0;  // the number of the list of levels it is an item of; 0: none
    int32_t level = 0; // its level there
    int32_t style = 0;    // in the kept style sheet
    int32_t outline = -1; // -1: not stated
    bool rtl = false;     // right to left (\rtlpar)
    bool operator==(const AppliedParagraph&) const = default;
};

class DocumentBuilder {
public:
    // Gathered: as above. RunByRun: each run and each break goes in by itself (the reference
    // the gathered build is checked against).
    enum class Insertion { Gathered, RunByRun };
    DocumentBuilder(QTextCursor& cursor, const DocumentTables& tables, Insertion insertion = Insertion::Gathered);

    // The run that text of this state goes into, after any pending paragraph break and cell
    // tabs; the caller appends characters to it (no NUL characters).
    QString& runFor(const CharState& chr, const ParaState& para)
    {
        m_textPara = para;
        if (!m_pendingBreak && !m_pendingTabs && m_runState == chr && !para[pp::InTable] && !para[pp::Depth] && !m_table.rowOpen()
            && !m_table.tableOpen())
            return m_run; // more of the same run: the common case
        return startRun(chr);
    }
    void character(char16_t ch, const CharState& chr, const ParaState& para);
    // A table cell ends: the next text goes into the row's next cell. A cell of a table in a
    // cell (nested) ends so in a paragraph as deep as kMaxTableDepth. A cell deeper, or outside
    // any row, ends with a tab before the next text. A reader builds a table in a cell so: its
    // paragraphs with pp::Depth 2, its cells ended nested, its row's words given to
    // definitionFor(para, true) before its row ends nested.
    void cellEnd(const ParaState& para, const CharState& chr, bool nested);
    // A table row ends; a nested row deeper than kMaxTableDepth ends a paragraph of its cell.
    void rowEnd(const ParaState& para, const CharState& chr, bool nested);
    // The reader's tokens and groups, for the tables' look-ahead.
    void setLookahead(const Tokenizer* tokens, OpenGroups groups);
    // The table a row definition's word of this paragraph belongs to (nestedProps: it stands in
    // a nested table's properties); null for a table read as text.
    TableBuilder* definitionFor(const ParaState& para, bool nestedProps);
    // The paragraph ends; its break is put in when more follows.
    void paragraphEnd(const ParaState& para, const CharState& chr);
    // Ends the paragraph if it holds anything, so that what follows starts a paragraph.
    void separate(const ParaState& para, const CharState& chr);
    bool breakPending() const { return m_pendingBreak; }
    // A table's row or cell has just ended and nothing came after it: what comes next starts
    // a paragraph (of the next row, the cell, or after the table).
    bool rightAfterCell() const;
    // The next paragraph starts a new page (\page).
    void pageBreakNext() { m_pageBreakNext = true; }
    // The paragraph that ends next, outside a table, starts a section of this setup (its page,
    // how it starts, its headers and footers); see richtext/document/Sections.h.
    void sectionStart(const SectionSetup& setup) { m_sectionNext = setup; }
    // Puts each section's record on its first paragraph: once, when the whole document is read.
    void placeSections();
    void picture(const Picture& picture, const CharState& chr, const ParaState& para, PictureBudget& budget);
    // Hidden text, kept where it stands and shown as nothing.
    void hidden(const QString& text, const CharState& chr, const ParaState& para);
    // Another program's comment (KeptGroups.h), kept where it stands and shown as nothing.
    void comment(const KeptGroups& comment, const CharState& chr, const ParaState& para);
    // A footnote or endnote (Notes.h), kept where its reference stands.
    void note(const Note& note, const CharState& chr, const ParaState& para);
    // A note whose paragraphs another reader has built as a document of their own.
    void note(const QTextDocument& content, bool endnote, const CharState& chr, const ParaState& para);
    // A bookmark's start or end, kept where it stands and shown as nothing.
    void bookmark(const QString& name, bool start, const CharState& chr, const ParaState& para);
    // An embedded object shown by its icon, where its group stands.
    void object(const EmbeddedObject& object, const CharState& chr, const ParaState& para);
    // The picture just put in shows this object.
    void attachToLastPicture(const EmbeddedObject& object);
    // The tables changed: formats made so far may be stale.
    void tablesChanged();
    // The document's end: the last paragraph takes its format, the final break is dropped.
    void finish(const CharState& chr);
    // A field is kept within one paragraph: one whose result goes on across paragraphs (a
    // table of contents) is read as its result alone, since the writer writes a field within
    // a paragraph and other programs would take each paragraph's part for a field of its own.
    void keepFieldsWithinParagraphs();
    // Puts the text gathered so far into the document: the cursor then stands after all that
    // was read. Whatever goes in at the cursor other than through runFor/character comes after.
    void flush() { flushRun(); }

private:
    QString& startRun(const CharState& chr);
    const QTextCharFormat& formatFor(const CharState& s);
    ParaFormat paraFormat(const ParaState& p) const;
    AppliedParagraph applied(const ParaState& p) const;
    // The levels of the list the paragraph is an item of, where it shows a label.
    const ListLevels* listOf(const ParaState& p) const;
    // The cursor's paragraph becomes an item of the list of this number, at this level.
    void placeInList(QTextCursor& cursor, const AppliedParagraph& pf);
    void applyParagraph(const ParaState& para);
    // The paragraph the cursor is in starts the section asked for, if any.
    void takeSection();
    void ensureBreak(const CharState& chr);
    void endParagraph(const ParaState& para, const CharState& chr);
    // Content of a paragraph this deep in tables comes: opens rows or closes tables. cellDepth:
    // the word being read ends a cell of the table this deep (0: none).
    void enterTable(int depth, int cellDepth = 0);
    void enterLevel(TableBuilder& level, bool in, bool atCell);
    // The cell of the level ends (at the paragraph's format), and the level moves to its next cell.
    void endCell(TableBuilder& level, const ParaState& para, const CharState& chr);
    void flushTabs(const CharState& chr);
    // An object character comes: what was read before it goes in, where the paragraph state says.
    void placeObject(const CharState& chr, const ParaState& para);
    void flushRun();
    void insertGathered(qsizetype length, const QTextCharFormat& format);
    // Nothing read since the last paragraph break (the cursor's place, once flushed).
    bool atParagraphStart() const;

    QTextCursor& m_cursor;
    const DocumentTables& m_tables;
    const Insertion m_insertion;
    QString m_run;                    // text not yet in the document, breaks included
    qsizetype m_paragraphStart = -1;  // where in m_run the last break's paragraph starts; -1: no break in it
    CharState m_runState;
    QTextCharFormat m_endedFormat; // the gathered run's format when its last paragraph ended
    int m_pendingTabs = 0;
    ParaState m_textPara; // the paragraph state of the last text read
    bool m_pendingBreak = false;
    bool m_nestedRowBreak = false; // the pending break ends a row read as text
    bool m_pageBreakNext = false;
    std::optional<SectionSetup> m_sectionNext;
    std::vector<std::pair<int, SectionSetup>> m_sections; // a block's number, its section
    bool m_blockInherits = false; // the current block took its format from the paragraph before
    AppliedParagraph m_lastApplied;
    bool m_paragraphWords = false; // a block may hold a style number or an outline level
    int m_insertStart = 0;
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_formatCache;
    CharState m_lastFormatState;                  // the last format asked for, and its entry
    const QTextCharFormat* m_lastFormat = nullptr;
    TableBuilder m_table;
    TableBuilder m_inner; // a table in a cell of m_table's
    struct CellParagraph {
        AppliedParagraph para;
        QTextBlockFormat before, after; // a block's format before and after taking para
    };
    std::optional<CellParagraph> m_cellFormat; // of the last cell's paragraph
    std::map<int32_t, QPointer<QTextList>> m_lists; // the document's list of each list number
};

} // namespace zorim::rtf
