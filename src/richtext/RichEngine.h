#pragma once
// The engine behind the document control: a text document shown in a text view, offered
// through typed calls that stand for the control's messages (formats with masks, selection,
// replace, text ranges, lines, find, streams, undo, clipboard) and its notices (change,
// link press/release, keys and mouse). It holds no rules of the editor; those live in the
// control layer (RichEdit).
#include "richtext/CharFormat.h"

#include <QObject>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QString>
#include <functional>

class QTextDocument;
class QTextEdit;
class QWidget;
class QMimeData;

namespace zorim {

class RichView;
class LinkHighlighter;

namespace sf { // stream format codes and flags
inline constexpr int Text = 1, Rtf = 2, RtfNoObjects = 3;
inline constexpr int Unicode = 0x10, PlainRtf = 0x4000, Selection = 0x8000;
inline constexpr int FormatMask = 0x3;
} // namespace sf

namespace fr { // find flags
inline constexpr int Down = 1, WholeWord = 2, MatchCase = 4;
}

namespace enm { // event mask bits
inline constexpr uint32_t Change = 0x1, Protected = 0x200000, RequestResize = 0x40000, SelChange = 0x80000,
                          Link = 0x04000000;
}

namespace linkmsg { // the button message of a link notice
inline constexpr int Press = 1, Release = 2;
}

class RichEngine : public QObject {
    Q_OBJECT
public:
    explicit RichEngine(QWidget* viewParent);
    ~RichEngine() override;

    QTextEdit* view() const;
    QTextDocument* document() const;

    // Character formats: scope 0 is the control's default format, 1 the selection (with an
    // empty selection, the insertion point).
    CharFormat getCharFormat(int scope) const;
    void setCharFormat(int scope, const CharFormat& rec);
    ParaFormat getParaFormat() const;
    void setParaFormat(const ParaFormat& rec);

    // Selection: (min, max); max == -1 selects to the end, min == -1 removes the selection.
    CharRange getSel() const;
    void setSel(CharRange range);
    int caret() const;
    void scrollCaret();
    void replaceSel(const QString& text, bool canUndo);
    void selectAll();

    int textLength() const;                 // characters, one per paragraph break
    QString textRange(CharRange range) const; // paragraph breaks as CR
    QString text() const;                   // CR LF per paragraph break
    void setText(const QString& text);      // CR, LF and CR LF all end a paragraph
    void clearAll();                        // empty document in the default format, no undo

    // Lines as laid out at the view's width.
    int lineFromChar(int pos) const;  // pos -1: the caret
    int lineIndex(int line) const;    // -1: the caret's line; past the end: -1
    int lineLength(int pos) const;    // of the line holding pos, without its break
    int lineCount() const;            // at least 1

    int findText(int flags, CharRange range, const QString& what, CharRange* found) const;

    bool modified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }

    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const;
    int setUndoLimit(int limit);

    void cut();
    void copy();
    void paste();
    void clear();
    bool canPaste() const;

    // Plain-text mode: one format for the whole text; pastes take text alone.
    void setTextMode(bool plain);
    bool plainMode() const { return plain_; }

    // Streams. The read callback fills at most cb bytes and returns the count (0: end,
    // negative: error); the write callback takes a chunk and returns the count written.
    using ReadCallback = std::function<qint64(char* buffer, qint64 cb)>;
    using WriteCallback = std::function<qint64(const char* data, qint64 count)>;
    bool streamIn(int flags, const ReadCallback& read);
    bool streamOut(int flags, const WriteCallback& write) const;

    void setBackgroundColor(ColorRef color);
    void setAutoUrlDetect(bool on);
    uint32_t eventMask() const { return eventMask_; }
    void setEventMask(uint32_t mask) { eventMask_ = mask; }
    // Notices are held back while the control is being set up.
    void setCreating(bool creating) { creating_ = creating; }

    // The link range at a character position, or (-1, -1).
    CharRange linkAt(int pos) const;
    // A document position under a point of the view's viewport, -1 when none.
    int positionAt(const QPoint& viewportPoint) const;

    // Clipboard data for a range, and insertion of clipboard data at the selection.
    QMimeData* mimeDataFor(CharRange range) const;
    bool canInsertMime(const QMimeData* data) const;
    void insertMime(const QMimeData* data);

    // Whether bytes begin as an RTF document does (after white space).
    static bool looksLikeRtf(const QByteArray& bytes);

signals:
    void changed();
    void linkNotice(int message, Qt::MouseButton button, CharRange range);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyPress(const QString& text);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, QPoint pos);

private:
    friend class RichView;
    void onContentsChange(int from, int removed, int added);
    void attachDocument(QTextDocument* doc);
    bool loadDocument(const QByteArray& bytes, bool rich, bool utf16);
    bool insertContent(QTextCursor& cursor, const QByteArray& bytes, bool rich, bool utf16) const;
    void ensureLaidOutTo(int pos) const;
    void syncLinesTo(int blockNumber) const;
    const QString& rawText() const;
    void insertPlain(class QTextCursor& cursor, const QString& text) const;

    RichView* view_ = nullptr;
    LinkHighlighter* highlighter_ = nullptr;
    bool modified_ = false;
    bool plain_ = false;
    bool creating_ = true;
    uint32_t eventMask_ = 0;
    int undoLimit_ = 100;
    int undoDepth_ = 0;  // steps that may still be undone
    int redoDepth_ = 0;
    bool inUndo_ = false;
    QTextCharFormat defaultFormat_; // the control's default character format
    mutable QString rawCache_;
    // The document's line index (first line number of each paragraph) holds the laid-out
    // line counts of the first syncedBlocks_ paragraphs, less the changed ones listed.
    mutable int syncedBlocks_ = 0;
    mutable QList<QTextBlock> unsyncedBlocks_;
    mutable qreal syncedWidth_ = -1;
    int knownBlockCount_ = 1;
    mutable bool rawValid_ = false;
};

} // namespace zorim
