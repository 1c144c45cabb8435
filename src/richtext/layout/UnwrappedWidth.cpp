#include "richtext/layout/UnwrappedWidth.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace zorim {
namespace {

// Unwrapped lines are laid out on a page as wide as the widest line, so that the view's own
// horizontal scroll bar reaches it; centred and right-aligned lines align on that page. The
// page only grows while the lines are unwrapped (with room to spare, so that typing at the
// end of the widest line seldom lays the document out anew); paragraphs are measured as they
// are laid out: the edited ones after each edit, the ones shown before each paint.
class UnwrappedWidth : public QObject {
public:
    explicit UnwrappedWidth(QTextEdit* view) : QObject(view), view_(view)
    {
        view->viewport()->installEventFilter(this);
        attach(view->document());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched == view_->viewport()) {
            // A whole-document load hands the view a new document.
            if (view_->document() != document_)
                attach(view_->document());
            const QTextBlock top = view_->cursorForPosition(QPoint(0, 0)).block();
            const QTextBlock bottom = view_->cursorForPosition(QPoint(0, view_->viewport()->height())).block();
            widen(widest(top, bottom));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // Follows the edits of the document; the page starts from its widest laid-out line.
    void attach(QTextDocument* doc)
    {
        if (document_)
            disconnect(document_, nullptr, this, nullptr);
        document_ = doc;
        changedFrom_ = changedTo_ = -1;
        connect(doc, &QTextDocument::contentsChange, this, [this](int from, int, int added) {
            changedFrom_ = changedFrom_ < 0 ? from : std::min(changedFrom_, from);
            changedTo_ = std::max(changedTo_, from + added);
        });
        connect(doc, &QTextDocument::contentsChanged, this, [this] {
            if (changedFrom_ < 0 || !document_)
                return;
            const QTextBlock first = document_->findBlock(changedFrom_);
            const QTextBlock last = document_->findBlock(changedTo_);
            changedFrom_ = changedTo_ = -1;
            widen(widest(first, last));
        });
        setPageWidth(widest(doc->begin(), doc->lastBlock()));
    }

    // The page width the widest laid-out line of the paragraphs first..last needs;
    // paragraphs not laid out yet are measured when they are.
    int widest(QTextBlock block, const QTextBlock& last) const
    {
        qreal widest = 0;
        for (; block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            const int lines = layout ? layout->lineCount() : 0;
            for (int i = 0; i < lines; ++i) {
                const QTextLine line = layout->lineAt(i);
                widest = std::max(widest, layout->position().x() + line.x() + line.naturalTextWidth()
                                              + block.blockFormat().rightMargin()); // in a table, from its cell
            }
            if (block == last)
                break;
        }
        return int(std::ceil(widest + 2 * view_->document()->documentMargin()));
    }

    void widen(int needed)
    {
        if (needed > view_->lineWrapColumnOrWidth() || view_->lineWrapColumnOrWidth() < view_->viewport()->width())
            setPageWidth(needed);
    }

    // A quarter of the view more than needed, so that a growing line widens the page only now
    // and then, and centred lines stay near the text.
    void setPageWidth(int needed)
    {
        const int least = view_->viewport()->width();
        view_->setLineWrapColumnOrWidth(std::max(least, needed + least / 4));
    }

    QPointer<QTextEdit> view_;
    QPointer<QTextDocument> document_;
    int changedFrom_ = -1;
    int changedTo_ = -1;
};

UnwrappedWidth* findUnwrappedWidth(QTextEdit* view)
{
    for (QObject* child : view->children())
        if (auto* width = dynamic_cast<UnwrappedWidth*>(child))
            return width;
    return nullptr;
}

} // namespace

void followWidestLine(QTextEdit* view)
{
    if (!findUnwrappedWidth(view))
        new UnwrappedWidth(view);
}

void stopFollowingWidestLine(QTextEdit* view) { delete findUnwrappedWidth(view); }

} // namespace zorim
