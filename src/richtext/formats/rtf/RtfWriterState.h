#pragma once
// The RTF writer's state, shared by RtfWriter.cpp (paragraphs, tables, pictures, links, the
// body as a whole) and RtfWriterChars.cpp (fonts, colours, character words, text).
#include "Rtf.h"
#include "RtfKeywords.h"
#include "RtfTables.h"
#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/Sections.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cstdint>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace zorim::rtfwrite {

constexpr char kHex[] = "0123456789abcdef";
using rtf::kDefaultHalfPoints;

constexpr int kNoFont = -2; // a run that names no face: the reader's own default

// What the reader assumes before any control word: the state the body's words change.
struct Written {
    int font = kNoFont; // -1: not known
    int halfPoints = 24;
    int color = 0;
    int back = 0;
    uint32_t effects = 0; // bold, italic, underline, strikeout, sub, super
    // The header's \deflang1051: a run that names no language is Slovak, and a Slovak run
    // (which the document keeps with no language) is written with none. \plain would return
    // to it too; the writer writes \plain only before a styled paragraph's text of no size,
    // and states the language again after it.
    uint16_t language = kSlovakLanguage;
    // False where the reader's effects are not known to match ours: each one is written.
    bool effectsStated = true;
    // Whether a size has been written since the start (or \plain): before it, text of no
    // size can be written with none.
    bool sizeStated = false;
    // Right-to-left and complex-script text (\rtlch, \af, \afs): none stated.
    bool rtl = false;
    int assocFont = -1;
    int assocHalfPoints = 0;
};

struct FontKey {
    QString face;
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    bool operator<(const FontKey& o) const
    {
        return std::tie(face, charset, pitchAndFamily) < std::tie(o.face, o.charset, o.pitchAndFamily);
    }
};

class Writer {
public:
    Writer(const QTextDocument& doc, const RtfWriteOptions& options)
        : m_doc(&doc), m_options(options), m_defaultFont(doc.defaultFont()) {}

    // A writer of text alone (a font's name), with no document behind it.
    explicit Writer(const RtfWriteOptions& options) : m_doc(nullptr), m_options(options) {}

    QByteArray write(int from, int to)
    {
        body(*m_doc, from, to);
        return finish();
    }
    // The paragraphs of [from, to) of the document; the tables and the state of the paragraphs
    // go on from the document written before.
    void body(const QTextDocument& doc, int from, int to);
    // The header with the tables the body has filled, and the body; once.
    QByteArray finish();
    // The body with no header, its fonts and colours as a kept group's are (a note's content).
    KeptGroups finishAsKept();

private:
    QByteArray header();
    // The kept groups of one part of the header (the style sheet, the document information, or
    // with no name the rest), their fonts and colours renumbered into this writer's tables.
    QByteArray keptGroups(QByteArrayView destination);
    // A kept group with its fonts and colours renumbered into this writer's tables.
    QByteArray renumbered(const KeptGroups& kept, const QByteArray& group);
    // A section's break and words, where the paragraph that starts it starts.
    void sectionBreak(const SectionSetup& setup);
    int fontIndex(const CharFormat& cf);
    int colorIndex(ColorRef ref);
    void paragraph(const QTextBlock& block, bool startsHere);
    // The paragraph's style (0 where the kept style sheet lacks it) and outline level (-1: none).
    std::pair<int32_t, int32_t> keptWords(const QTextBlockFormat& format) const;
    // The run's character style (0 where the kept style sheet lacks it).
    int32_t keptCharStyle(const CharFormat& cf) const;
    QTextBlock table(const rtf::TablePart& part); // gives the part's last block
    void run(const CharFormat& cf, const QString& text);
    void charState(const CharFormat& cf);
    void text(const QString& text, int codepage, bool symbol);
    void picture(const QTextCharFormat& format);
    // The object characters that show nothing (a kept comment, hidden text), `count` of one
    // format; false for any other format.
    bool hiddenObjects(const QTextCharFormat& format, const CharFormat& cf, int count);
    // Note references (Notes.h), `count` of one format, each with its note.
    bool notes(const QTextCharFormat& format, const CharFormat& cf, int count);
    bool openScope(const CharFormat& cf);
    void closeScope(bool scoped);
    void openLink(const QString& target);
    void closeLink();
    // Opens or closes the field the run stands in: its link, or another field it carries
    // (docprop::FieldId); the field stays open while the runs share it.
    void enterField(const CharFormat& cf);
    void word(const char* name) { m_body += name; m_needSpace = true; }
    void word(const char* name, int value) { word(name); m_body += QByteArray::number(value); }

    const QTextDocument* m_doc; // the document the body is being written from
    PageSetup m_page;           // the page the document states, as it was read
    KeptGroups m_kept;          // another program's headers and footers, for a whole document
    RtfWriteOptions m_options;
    QFont m_defaultFont;
    QByteArray m_body;
    bool m_needSpace = false; // a control word was written last: text needs a delimiter
    qsizetype m_commentEnd = -1; // where the last kept comment written ends in m_body

    std::map<FontKey, int> m_fontIndex;
    std::vector<FontKey> m_fonts;
    bool m_faceless = false; // some run names no face: font 0 and \deff are left out
    std::map<QRgb, int> m_colorIndex;
    std::vector<QColor> m_colors;

    Written m_written;
    std::optional<ParaFormat> m_para;
    int32_t m_paraStyle = 0, m_paraOutline = -1; // the kept words written with m_para
    bool m_paraRtl = false;                       // and its direction
    const QTextCharFormat* m_runFormat = nullptr; // the format of the run being written
    std::vector<int32_t> m_styles; // the paragraph styles of the kept style sheet
    std::vector<int32_t> m_charStyles; // and its character styles
    int m_paragraphs = 0; // paragraphs written so far
    int m_depth = 0; // how deep in tables the paragraphs being written are (0: in none)
    const QTextTable* m_within = nullptr; // the table whose cell is being written
    bool m_inLink = false;
    bool m_inHidden = false; // the run being written is hidden text inside its {\v group
    QString m_linkTarget;
    int m_fieldId = 0; // the open field's number; 0: the open field is a link
    Written m_beforeLink;
    Written m_beforeScope;

    // The lists written, numbered from 1 as \ls and \listid, by their key (docprop::ListKey;
    // a list with none by its object, as its own list), each with its numbers so far.
    struct WrittenList {
        int number = 0;
        QTextListFormat format;
        ListCounter counter;
    };
    std::map<int, WrittenList> m_lists;
    std::map<const QTextList*, int> m_unkeyedLists; // -> the key it is written under (< 0)
    int32_t m_paraList = 0, m_paraLevel = 0;          // the list words written with m_para
    // The list a paragraph is written in, its level and its label; (0, 0, "") for one in none.
    struct ListItem {
        int32_t list = 0, level = 0;
        QString label;
    };
    ListItem listItem(const QTextBlock& block);
    QByteArray listTables() const;
};

} // namespace zorim::rtfwrite
