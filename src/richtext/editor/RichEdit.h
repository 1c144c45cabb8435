#pragma once
// The document control as the windows use it: a widget holding the rich text view, with the
// attribute views, the selection, lines, streaming, search, undo and the clipboard. Every
// operation is built on the document (RichDocument) and its view (RichView) with the
// control's own rules (masks, twips, scopes, the undo flag, the link click rule).
#include "richtext/document/CharFormat.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/document/RichDocument.h"
#include "richtext/document/RichTypes.h"

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>

class QIODevice;
class QPrinter;
class QTextEdit;

namespace zorim {

class RichView;
class RichEdit;
class SpellCheck;

// The four font styles, as bits: bold 1, italic 2, underline 4, strikeout 8.
namespace fs {
inline constexpr int Bold = int(FontStyle::Bold), Italic = int(FontStyle::Italic), Underline = int(FontStyle::Underline),
                     StrikeOut = int(FontStyle::StrikeOut);
}

// What the control's Font and the font dialog carry.
struct FontDesc {
    QString name = QString::fromLatin1(kDefaultFace);
    int size = kDefaultPoints;     // points
    ColorRef color = kClWindowText;
    int style = 0;                 // fs:: bits
    uint8_t charset = kDefaultCharset;
    int pitch = 0;                 // 0 default, 1 fixed, 2 variable
    int weight = 0;                // 0: from the style (400, or 700 when bold)
    bool operator==(const FontDesc&) const = default;
};

enum class VerticalPosition { Normal, Subscript, Superscript };

// SelectionAttributes and DefaultAttributes: every read asks the control, every write sends
// one change whose mask names exactly the attribute written.
class TextAttributes {
public:
    using Scope = FormatScope;
    TextAttributes(RichEdit& edit, Scope scope) : edit_(edit), scope_(scope) {}

    QString Name() const;
    void setName(const QString& name);
    int Size() const;
    void setSize(int points);
    int Height() const; // twips
    int Style() const;
    void setStyle(int style);
    ColorRef Color() const;
    void setColor(ColorRef color);
    ColorRef BackColor() const;
    void setBackColor(ColorRef color);
    void setVerticalPosition(VerticalPosition position);
    uint8_t Charset() const;
    void setCharset(uint8_t charset);
    int Pitch() const;
    int Weight() const;
    // Assigning a font: one change with size, colour, face, the four styles and charset; with
    // a mask (cfm bits) only the attributes it names, and no change at all when it names none.
    void assign(const FontDesc& font, uint32_t mask = cfm::All);

private:
    CharFormat read() const;
    void write(const CharFormat& rec);
    RichEdit& edit_;
    Scope scope_;
};

enum class ParaAlignment { Left = 0, Right = 1, Center = 2, Justify = 3 };

// ParagraphAttributes: the paragraphs the selection touches.
class ParaAttributes {
public:
    explicit ParaAttributes(RichEdit& edit) : edit_(edit) {}

    ParaAlignment Alignment() const;
    void setAlignment(ParaAlignment alignment);
    int Numbering() const;            // 0 none, 1 bullets, higher: other numbering
    void setNumbering(int numbering); // with the offset rule for bullets
    int FirstIndent() const;          // points: position of the first line
    void setFirstIndent(int points);
    int Offset() const;               // points: following lines relative to the first
    void setOffset(int points);

private:
    ParaFormat read() const;
    void write(const ParaFormat& rec);
    RichEdit& edit_;
};

enum class StreamFormat { Default, RichText, PlainText };
namespace sm { // StreamMode bits
inline constexpr int Selection = int(StreamOption::Selection), PlainRtf = int(StreamOption::PlainRtf),
                     NoObjects = int(StreamOption::NoObjects), Unicode = int(StreamOption::Unicode);
}
namespace so { // SearchText options
inline constexpr int WholeWord = int(SearchOption::WholeWord), MatchCase = int(SearchOption::MatchCase),
                     Backward = int(SearchOption::Backward), SelectMatch = int(SearchOption::SelectMatch);
}

// Lines: files, bulk-change brackets and the line count.
class RichLines {
public:
    explicit RichLines(RichEdit& edit) : edit_(edit) {}
    void LoadFile(const QString& path);  // throws RichEditError
    void SaveFile(const QString& path);  // throws RichEditError
    // A bulk change: one undo step and one change notice at the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int LineCount() const;
    int Count() const { return LineCount(); }
    QString Line(int index) const;       // text of laid-out line index, without its break
    void Add(const QString& text);       // throws RichEditError("RichEdit line insertion error")
    void Clear();

private:
    RichEdit& edit_;
    int updateCount_ = 0;
    std::unique_ptr<RichDocument::Transaction> update_;
    friend class RichEdit;
};

// Failures of loading, saving and line insertion; what() is the message the user sees.
class RichEditError : public std::runtime_error {
public:
    explicit RichEditError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

class RichEdit : public QWidget {
    Q_OBJECT
public:
    // A Document control is the editor's main control (all features). A Simple control is
    // one of the lighter views (help, clipboard pages, scratch buffers): it streams by its
    // PlainText setting alone and retries only a failed rich-text load as text.
    enum class Kind { Document, Simple };

    explicit RichEdit(QWidget* parent = nullptr, Kind kind = Kind::Document);
    ~RichEdit() override;

    Kind kind() const { return kind_; }
    // The document shown, and the view showing it.
    RichDocument& document() { return *doc_; }
    const RichDocument& document() const { return *doc_; }
    RichView& view() { return *view_; }
    const RichView& view() const { return *view_; }
    QTextEdit* widget() const; // the widget that shows the document and takes the keys
    // Spelling marks of the document shown (off until switched on; the editor's alone).
    SpellCheck& spelling() { return *spell_; }

    TextAttributes& SelectionAttributes() { return selAttributes_; }
    TextAttributes& DefaultAttributes() { return defAttributes_; }
    ParaAttributes& ParagraphAttributes() { return paraAttributes_; }
    RichLines& Lines() { return lines_; }

    FontDesc Font() const { return font_; }
    void setFont(const FontDesc& font);
    ColorRef Color() const { return color_; }
    void setColor(ColorRef color);

    int SelectionStart() const;
    void setSelectionStart(int pos);
    int SelectionLength() const;
    void setSelectionLength(int length);
    QString SelectedText() const;
    void setSelectedText(const QString& text);
    QPoint CaretPosition() const; // x column, y line, both from 0
    // The same as the view shows it now: costs one paragraph however long the document, and
    // may count estimated lines above until LinesSettled().
    QPoint CaretPositionAsShown() const;
    int LineStart(int line) const; // -1 past the last line
    QString Text() const;          // CR LF per paragraph break
    void setText(const QString& text);
    QString TextRange(int from, int to) const;
    int TextLength() const;
    void SelectAll();
    void DeleteSelection();
    void ClearAll();
    bool Modified() const;
    void setModified(bool modified);
    // A long text file is loaded a slice at a time on the event loop after its first screen:
    // Loading() while the rest is still coming in, CompleteLoad() takes it in at once.
    // Whatever needs the whole document (the text, its length, saving, search, any edit)
    // completes the load by itself.
    bool Loading() const;
    void CompleteLoad();

    int SearchText(const QString& text, int start, int length, int options);

    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    int UndoLimit() const { return doc_->undoLimit(); } // the document keeps it
    void setUndoLimit(int limit);
    void Cut();
    void Copy();
    void Paste();
    bool CanPaste() const;

    // Streaming
    bool PlainText() const { return doc_->plainMode(); }
    // Switching converts the document as one undoable edit (RichDocument::convertToMode);
    // switching plain text on marks a document that had content as changed.
    void setPlainText(bool on);
    StreamFormat streamFormat() const { return streamFormat_; }
    void setStreamFormat(StreamFormat format) { streamFormat_ = format; }
    int StreamMode() const { return streamMode_; }
    void setStreamMode(int mode) { streamMode_ = mode; }
    void LoadStream(QIODevice& stream); // throws RichEditError
    void SaveStream(QIODevice& stream); // throws RichEditError
    bool verticalScrollBar() const;
    void setVerticalScrollBar(bool on); // re-creates the control's window: content passes through a stream

    // The control reads right to left (alignment codes left and right exchange on write).
    bool rightToLeft() const { return rightToLeft_; }
    void setRightToLeft(bool rtl) { rightToLeft_ = rtl; }

    int version() const { return kind_ == Kind::Document ? 2 : 1; }

    // Printing. PageRect, in printer pixels, bounds the text on every page; empty (as the
    // editor leaves it) means the printer's whole printable area.
    QRect PageRect;
    // Prints the whole document as one job named title on the printer, pages following each
    // other until the text ends; answers the number of pages. Throws RichEditError when the
    // job cannot start.
    // fileName: what FILENAME fields print (empty: their result).
    int Print(const QString& title, QPrinter& printer, const QString& fileName = {});

signals:
    void OnChange();
    void OnURLClick(const QString& url, Qt::MouseButton button);
    // The editor's key and mouse events, after the control has seen them.
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void OnKeyPress(const QString& text);
    void OnKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void OnMouseDown(Qt::MouseButton button, QPoint pos);
    // The paragraphs above what was last shown are laid out: CaretPositionAsShown is exact.
    void LinesSettled();
    // The last slice of a long text file is in.
    void LoadCompleted();
    // Undo or redo of a switch of PlainText set it to on.
    void PlainTextRestored(bool on);
    // A load or insertion of rich text left this out (see RichDocument::leftOut).
    void LeftOutOnLoad(zorim::LeftOut leftOut);

private:
    friend class TextAttributes;
    friend class ParaAttributes;
    friend class RichLines;
    void handleLinkNotice(LinkEvent event, Qt::MouseButton button, CharRange range);
    TextFormat basicFormat(StreamFormat format) const;
    void load(QIODevice& stream, StreamFormat format, int mode);
    void save(QIODevice& stream, StreamFormat format, int mode);
    QByteArray saveBytes(StreamFormat format, int mode) const;
    // The format a file's extension names for this control, or the control's own.
    StreamFormat fileFormat(const QString& path) const;

    Kind kind_;
    std::unique_ptr<RichDocument> doc_;
    std::unique_ptr<RichView> view_;
    std::unique_ptr<SpellCheck> spell_;
    TextAttributes selAttributes_{*this, TextAttributes::Scope::Selection};
    TextAttributes defAttributes_{*this, TextAttributes::Scope::Default};
    ParaAttributes paraAttributes_{*this};
    RichLines lines_{*this};
    FontDesc font_;
    ColorRef color_ = kClWindow;
    bool rightToLeft_ = false;
    StreamFormat streamFormat_ = StreamFormat::Default;
    int streamMode_ = 0;
    CharRange linkRange_{-1, -1};
    Qt::MouseButton linkButton_ = Qt::NoButton;
};

} // namespace zorim
