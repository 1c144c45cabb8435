#include "richtext/document/RichDocument.h"

#include "richtext/document/Links.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

// What the document answers about its text as it stands: where a string is, links, lines and pages.

namespace zorim {
namespace {

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

// ---- search -------------------------------------------------------------------------------

CharRange RichDocument::find(const QString& what, CharRange range, SearchOptions options) const
{
    if (what.isEmpty())
        return {-1, -1};
    completeLoad();
    const QString& raw = rawText();
    const int len = int(raw.size());
    const auto [from, to] = clamp(range);
    if (to - from < what.size())
        return {-1, -1};
    const Qt::CaseSensitivity cs = options.has(SearchOption::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = options.has(SearchOption::WholeWord);
    const qsizetype n = what.size();
    auto isWhole = [&](qsizetype at) {
        if (!whole)
            return true;
        const bool leftOk = at == 0 || !isWordChar(raw[at - 1]);
        const bool rightOk = at + n >= len || !isWordChar(raw[at + n]);
        return leftOk && rightOk;
    };
    if (!options.has(SearchOption::Backward)) {
        qsizetype at = from;
        while ((at = raw.indexOf(what, at, cs)) >= 0 && at + n <= to) {
            if (isWhole(at))
                return {int(at), int(at + n)};
            ++at;
        }
    } else {
        qsizetype at = to - n;
        while (at >= from && (at = raw.lastIndexOf(what, at, cs)) >= from) {
            if (isWhole(at))
                return {int(at), int(at + n)};
            --at;
        }
    }
    return {-1, -1};
}

// ---- links, lines, pages ------------------------------------------------------------------

CharRange RichDocument::linkAt(int pos) const { return linkRangeAt(doc_->findBlock(pos), pos, linkDetection()); }
bool RichDocument::linkDetection() const { return linkDetection_; }
void RichDocument::setLinkDetection(bool on)
{
    linkDetection_ = on;
    if (layout_)
        layout().setLinkDetection(on);
}

// The line of a position and the length of its line depend on nothing after it.
int RichDocument::lineCount() const
{
    completeLoad();
    return layout().lineCount();
}
int RichDocument::lineOf(int pos) const { return layout().lineOf(pos); }
int RichDocument::lineStart(int line) const
{
    completeLoad();
    return layout().lineStart(line);
}
int RichDocument::lineLength(int pos) const { return layout().lineLength(pos); }

int RichDocument::layoutPage(QPainter* painter, const QRectF& page, qreal dpiX, qreal dpiY, int from)
{
    completeLoad();
    return layout().layoutPage(painter, page, dpiX, dpiY, from);
}

} // namespace zorim
