#pragma once
// Notes on paper. The footnotes a printed page refers to go at its foot, under a short rule,
// each after its number, in the room the page keeps for them as its lines are put on it; the
// endnotes follow the text on pages of their own. Lengths are the layout's (screen units): the
// painter is scaled to the paper as the page's lines are.
#include <QRectF>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace zorim {

class PageNotes {
public:
    // width: the text's width on the page.
    PageNotes(QTextDocument& doc, qreal width);
    ~PageNotes();
    PageNotes(const PageNotes&) = delete;
    PageNotes& operator=(const PageNotes&) = delete;

    // The room the page's footnotes take at its foot with those referred to in [from, to)
    // added (0 while there are none).
    qreal roomWith(int from, int to);
    // The footnotes referred to in [from, to) go on this page.
    void take(int from, int to);
    // Draws the page's footnotes at its foot (height: the page's) and starts the next page.
    void drawAndClear(QPainter* painter, qreal left, qreal height);

private:
    struct Laid;
    std::vector<std::unique_ptr<Laid>> notesIn(int from, int to);
    QTextDocument& doc_;
    qreal width_;
    bool any_; // whether the document has footnotes at all
    std::vector<std::unique_ptr<Laid>> page_;
    // The notes roomWith laid out last, which take then puts on the page.
    std::vector<std::unique_ptr<Laid>> asked_;
    int askedFrom_ = -1, askedTo_ = -1;
    qreal height_ = 0; // of page_'s notes, the rule's room not included
};

// Prints the document's endnotes on new pages after its text (page: the text's rectangle in
// the printer's pixels; sx, sy: printer pixels per layout unit); answers the pages printed.
int printEndnotes(QTextDocument& doc, QPainter& painter, QPagedPaintDevice& device, const QRectF& page, qreal sx, qreal sy);

} // namespace zorim
