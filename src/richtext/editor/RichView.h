#pragma once
// A view on a RichDocument: the widget that shows it, the selection and the caret, keys and
// mouse, link presses and releases, and the edits that act at the selection (typing,
// formats of the selection, replacing it, the clipboard). The document itself (content,
// streams, search, lines, undo) is the RichDocument's; the control's rules are RichEdit's.
#include "richtext/document/CharFormat.h"
#include "richtext/document/RichTypes.h"

#include <QObject>
#include <QString>

class QKeyEvent;
class QMimeData;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace zorim {

class RichDocument;
class ViewWidget;

class RichView : public QObject {
    Q_OBJECT
public:
    RichView(RichDocument& doc, QWidget* viewParent);
    ~RichView() override;

    QTextEdit* widget() const;
    RichDocument& model() const { return doc_; }
    QTextDocument* document() const; // the text document shown now

    // Character formats: the document's default format, or the selection's (with an empty
    // selection, the insertion point's). A selection with mixed attributes reports those of
    // its first character.
    CharFormat getCharFormat(FormatScope scope) const;
    void setCharFormat(FormatScope scope, const CharFormat& rec);
    ParaFormat getParaFormat() const;
    void setParaFormat(const ParaFormat& rec);

    // Selection: (min, max), clamped to the document; max == -1 selects to the end,
    // min == -1 removes the selection and keeps the caret.
    CharRange getSel() const;
    void setSel(CharRange range);
    int caret() const;
    void scrollCaret();
    // Replaces the selection by plain text. Without canUndo the replacement cannot be
    // undone, and nothing before it can either.
    void replaceSel(const QString& text, bool canUndo);
    void selectAll();
    void deleteSelection();

    // Lines of the document, with -1 standing for the caret.
    int lineFromChar(int pos) const;
    int lineIndex(int line) const;
    int lineLength(int pos) const;
    int lineCount() const;

    void undo();
    void redo();
    void cut();
    void copy();
    void paste();
    bool canPaste() const;

    void setBackgroundColor(ColorRef color);
    // Link presses and releases are reported (the control asks only for its main document).
    void setLinkNotices(bool on) { linkNotices_ = on; }
    bool linkNotices() const { return linkNotices_; }

    CharRange linkAt(int pos) const;
    // A document position under a point of the view's viewport, -1 when none.
    int positionAt(const QPoint& viewportPoint) const;

    // Clipboard data for a range, and insertion of clipboard data at the selection.
    QMimeData* mimeDataFor(CharRange range) const;
    bool canInsertMime(const QMimeData* data) const;
    void insertMime(const QMimeData* data);

signals:
    void linkNotice(LinkEvent event, Qt::MouseButton button, CharRange range);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyPress(const QString& text);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, QPoint pos);

private:
    friend class ViewWidget;
    void showDocument();
    // Keys that act otherwise in a table (RichViewTables.cpp): Tab and Shift+Tab move between
    // cells, a word is deleted only as far as the cell's edge, deleting whole rows removes
    // them. Answers whether the key was taken.
    bool tableKey(QKeyEvent* e);
    // Tab and Shift+Tab at the start of a list item change its level (RichViewLists.cpp), as
    // one edit. Answers whether the key was taken.
    bool listKey(QKeyEvent* e);
    // Removes the rows a selection of whole rows of a table covers, as one edit; answers
    // whether the selection was such.
    bool removeWholeRows();

    RichDocument& doc_;
    ViewWidget* widget_ = nullptr;
    bool linkNotices_ = false;
    qreal settleCarry_ = 0; // what of settling's moves the scroll bar could not take yet
};

} // namespace zorim
