#pragma once
// What a document asks of the layout that lays it out in lines and pages. The document knows
// only this; the layout (richtext/layout/) implements it, and whoever makes a document that is
// laid out hands it the maker of its layout, so the arrows run from the layout to the
// document and never back.
#include <QtGlobal>
#include <functional>

class QAbstractTextDocumentLayout;
class QPainter;
class QRectF;
class QTextDocument;

namespace zorim {

class LineLayout {
public:
    // Lines as laid out at the page width; each query lays out no further than it names.
    virtual int lineCount() const = 0;         // at least 1
    virtual int lineOf(int pos) const = 0;     // the line holding document position pos
    virtual int lineStart(int line) const = 0; // its first position; -1 past the last line
    virtual int lineLength(int pos) const = 0; // of the line holding pos, without its break
    // Lays the document out for a page from position from, drawing on painter when given;
    // answers the first position that did not fit (the text length when all did).
    virtual int layoutPage(QPainter* painter, const QRectF& page, qreal dpiX, qreal dpiY, int from) = 0;
    virtual void setLinkDetection(bool on) = 0;
    // Whether a view shows the document: unseen, an edit lays out nothing at once.
    virtual void setShown(bool shown) = 0;
    virtual bool shown() const = 0;
    // The layout as Qt knows it, installed on the text document.
    virtual QAbstractTextDocumentLayout* textLayout() = 0;

protected:
    ~LineLayout() = default;
};

// Makes the layout of a text document, owned by it; settled is called whenever the lines
// above what was last asked for become exact.
using LayoutMaker = std::function<LineLayout*(QTextDocument* doc, std::function<void()> settled)>;

} // namespace zorim
