#pragma once
// A document of the control, apart from any view: the content, the default character
// format, the modified flag and the undo depth, streams in and out, search, the line index
// (through its layout) and page layout. Anything that edits, searches, counts or prints a
// document works on this, with or without a widget showing it.
//
// Edits are grouped by a Transaction: the undo steps made while one is open are one step,
// and the change notice comes once, when the outermost transaction ends.
#include "richtext/document/CharFormat.h"
#include "richtext/document/LineLayout.h"
#include "richtext/document/RichTypes.h"
#include "text/Codepage.h"

#include <QByteArray>
#include <QObject>
#include <QTextCharFormat>
#include <QTextCursor>
#include <deque>
#include <functional>
#include <memory>

class QPainter;
class QTextDocument;
class QTimer;

namespace zorim {

class RichDocument : public QObject {
    Q_OBJECT
public:
    // Made: the layout comes with the document (a view shows it). OnDemand: a document no view
    // shows, as a conversion's: its layout, and the fonts the layout measures with, are made
    // only when something asks for lines, pages or the layout itself. maker makes it; a
    // document made without one must never be asked for lines or pages.
    enum class Layout { Made, OnDemand };
    explicit RichDocument(QObject* parent = nullptr, Layout layout = Layout::Made, LayoutMaker maker = {});
    ~RichDocument() override;
    RichDocument(const RichDocument&) = delete;
    RichDocument& operator=(const RichDocument&) = delete;

    // The text document holding the content. A whole-document load puts a new one in place
    // (replaced() tells).
    QTextDocument* textDocument() const { return doc_; }
    LineLayout& layout() const;

    // ---- content
    int length() const;                         // characters, one per paragraph break
    int lengthSoFar() const;                    // the same of what a long text has put in yet
    // A range of the control made a range of the document: both ends within [0, length()],
    // max -1 standing for the end, max never before min.
    CharRange clamp(CharRange range) const;
    QString text() const;                       // CR LF per paragraph break
    // The document's own text (as QTextDocument::toRawText) in pieces of about a million
    // characters, each ending at a paragraph's end: a long text read without a second copy.
    void forEachRawPiece(const std::function<void(const QString&)>& take) const;
    QString textRange(CharRange range) const;   // paragraph breaks as CR; max -1: to the end
    void setText(const QString& text);          // CR, LF and CR LF all end a paragraph; one undo step
    void clear();                               // empty, in the default format, nothing to undo
    // Inserts plain text at the cursor (replacing its selection); CR, LF and CR LF end paragraphs.
    static void insertText(QTextCursor& cursor, const QString& text);

    // ---- formats
    CharFormat defaultFormat() const;
    const QTextCharFormat& defaultCharFormat() const { return defaultFormat_; }
    void setDefaultFormat(const CharFormat& rec); // no edit of the user's: no notice, not modified

    // Plain-text mode: one format for the whole text; pastes take text alone.
    bool plainMode() const { return plain_; }
    void setPlainMode(bool plain) { plain_ = plain; }
    // Switches the mode and converts the content as one edit (one undo step): plain text
    // drops the formatting, pictures and objects; rich text gives the text the default format.
    // Undoing it brings back the content and the mode as they were (modeRestored tells).
    void convertToMode(bool plain);

    // ---- modified flag and undo
    bool modified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }
    bool canUndo() const;
    bool canRedo() const;
    void undo(QTextCursor* cursor = nullptr);
    void redo(QTextCursor* cursor = nullptr);
    int undoLimit() const { return undoLimit_; }
    int setUndoLimit(int limit); // answers the limit taken
    // The undo history is dropped: what was done can no longer be taken back.
    void forgetUndo();

    // ---- streams
    // Replaces the whole document by bytes of the given format; the document starts
    // unmodified, with nothing to undo. Text follows the text-document encoding rule (or
    // 16-bit units with StreamOption::Unicode); a zero character is dropped, and so is a CR
    // that ends the text. A load that fails (bytes that are no RTF, as RTF) changes nothing:
    // the new document is built apart and put in place only once it has been read.
    //
    // A long text is put in as far as a first screen needs, and the rest follows in slices
    // on the event loop, at the end of the document, while the window answers. Until it is
    // all in (loading()), nothing can be undone, and anything that reads or changes more
    // than what is shown first takes the rest in at once: every edit (a Transaction),
    // length(), the text, search, saving, line queries and page layout. A view completes
    // the load before a key, a drop or a paste reaches it.
    bool load(QByteArray bytes, TextFormat format, StreamOptions options = {});
    bool loading() const { return pending_ != nullptr; }
    void completeLoad() const;
    // The same for the cursor's selection, as one undo step.
    bool insert(QTextCursor& cursor, const QByteArray& bytes, TextFormat format, StreamOptions options = {});
    // The range as bytes (max -1: to the end). Text is written in the form of the text file
    // the document was loaded from (textForm).
    QByteArray save(TextFormat format, CharRange range = {0, -1}, StreamOptions options = {}) const;
    // How the text file the document came from was written; the default form after any other
    // load and after clear().
    const TextDocumentForm& textForm() const { return textForm_; }
    // The document stands for a text file of that form (one brought back from a copy that was
    // not in it): a later text save writes it so.
    void setTextForm(const TextDocumentForm& form) { textForm_ = form; }
    // A plain text file's bytes read as load() reads them, but a piece of whole paragraphs at a
    // time, each a text document of its own with this document's defaults (this document does
    // not change): a long text converts in time and memory that grow in step with its length.
    // `take` gets the pieces in order, `last` true with the last one; the paragraph break
    // between two pieces is in neither. A piece holds about `slice` bytes of the file (0: a
    // million), or one line longer than that. Answers the text's form.
    TextDocumentForm readTextInPieces(QByteArray bytes,
                                      const std::function<void(const QTextDocument& piece, bool last)>& take,
                                      qsizetype slice = 0) const;
    // A text handed out in pieces of the document's own characters (QTextDocument::toRawText's),
    // one after the other to the function given, as a text file of the form holds it: what
    // save() writes of a document loaded from a file of that form. `room`: the most bytes it
    // may take (reserved, never written pages cost nothing); the pieces may be asked for twice.
    using RawPieces = std::function<void(const std::function<void(const QString&)>&)>;
    static QByteArray encodeText(const TextDocumentForm& form, qsizetype room, const RawPieces& pieces);
    // What the rich text loaded or inserted since the content was last replaced left out
    // (pictures and objects, comments, hidden text and kept groups) for want of room: a file
    // of more than the document may spend on them for its size. Saving does not have them.
    // forgetLeftOut(): the user has taken that.
    LeftOut leftOut() const { return leftOut_; }
    void forgetLeftOut() { leftOut_ = {}; }
    // The document's own characters (as a capture takes them) as text: CR LF for each paragraph
    // break, VT for each line break inside a paragraph.
    static QString textOf(QString raw);

    // ---- search: the first match in range (the last with SearchOption::Backward), or (-1, -1)
    CharRange find(const QString& what, CharRange range, SearchOptions options) const;

    // ---- links
    CharRange linkAt(int pos) const; // (-1, -1) when pos is on no link
    bool linkDetection() const;
    void setLinkDetection(bool on);

    // ---- lines, as laid out at the layout's width
    int lineCount() const;
    int lineOf(int pos) const;
    int lineStart(int line) const;  // -1 past the last line
    int lineLength(int pos) const;

    // ---- pages: see LineLayout::layoutPage
    int layoutPage(QPainter* painter, const QRectF& page, qreal dpiX, qreal dpiY, int from);

    // One edit as the user sees it: one undo step and one change notice.
    class Transaction {
    public:
        explicit Transaction(RichDocument& doc);
        // One edit of a run the user sees as one (keystrokes in a box, each applied at once):
        // it joins the undo step that run names while nothing was done, undone or redone
        // since; run then names the step this edit is in (0: it made none). Set run to 0 to
        // end the run.
        Transaction(RichDocument& doc, quint64& run);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        RichDocument& doc_;
        quint64* run_ = nullptr;
        quint64 stepsBefore_ = 0;
        bool joined_ = false;
    };

    // Changes made while one is alive are no edit of the user's: no notice, and the
    // modified flag stays as it was.
    class QuietScope {
    public:
        explicit QuietScope(RichDocument& doc) : doc_(doc) { ++doc_.quiet_; }
        ~QuietScope() { --doc_.quiet_; }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        RichDocument& doc_;
    };

signals:
    void changed();  // the content changed (once per outermost transaction)
    void replaced(); // a load put a new text document in place
    void linesSettled(); // the lines above what was last shown are laid out, exactly counted
    void loadCompleted(); // the last slice of a long text is in
    void modeRestored(bool plain); // undo or redo of convertToMode set the mode

private:
    friend class ModeSwitch;
    void restoreMode(bool plain);
    void attach(QTextDocument* doc);
    LineLayout* newLayout(QTextDocument* doc);
    void makeLayout();
    void onContentsChange(int from, int removed, int added);
    void notice();
    const QString& rawText() const;
    QString wholeRawText() const;
    QByteArray encodeWholeText() const;
    // An empty text document with this one's defaults, its paragraph in the default format.
    QTextDocument* newTextDocument(QObject* parent) const;
    bool insertContent(QTextCursor& cursor, QByteArray bytes, TextFormat format, StreamOptions options,
                       bool wholeDocument);
    // Puts the next slice of a long text in; the last one ends the load.
    void continueLoad();
    void dropPendingLoad();
    void endLoad(bool completed); // nothing more to come; undo on again

    QTextDocument* doc_ = nullptr;
    LayoutMaker layoutMaker_;
    LineLayout* layout_ = nullptr; // the text document's layout, once made
    bool linkDetection_ = false;
    QTextCharFormat defaultFormat_;
    TextDocumentForm textForm_;
    bool modified_ = false;
    bool plain_ = false;
    int undoLimit_ = 100;
    int undoDepth_ = 0; // steps that may still be undone
    quint64 steps_ = 1; // names the last step; moves on with every step made, undone or redone
    bool joining_ = false; // the open transaction goes on in the last step
    int redoDepth_ = 0;
    bool inUndo_ = false;
    int undoFrom_ = -1; // during an undo: where the first change it made starts
    int quiet_ = 0;
    LeftOut leftOut_;
    int transactions_ = 0;
    bool pendingNotice_ = false;
    QTextCursor transactionCursor_;
    mutable QString rawCache_;
    mutable bool rawValid_ = false;
    struct PendingText;
    std::unique_ptr<PendingText> pending_; // what is still to come of a long text
    QTimer* loadTimer_ = nullptr;
};

} // namespace zorim
