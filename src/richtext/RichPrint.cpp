// Printing the document: one job, a page after another, each laid out by the document's own
// paragraph layout, so a printout breaks its lines where the screen does at the same width.
#include "richtext/RichPrint.h"

#include "richtext/RichEdit.h"

#include <QPainter>
#include <QPrinter>

#include <cstdint>

namespace zorim {
namespace {

int toTwips(int64_t pixels, int dpi) { return dpi > 0 ? int(pixels * 1440 / dpi) : 0; }

} // namespace

TwipsRect printRenderRect(QSize printablePixels, int dpiX, int dpiY, QRect pageRect)
{
    if (pageRect.isEmpty())
        return {0, 0, toTwips(printablePixels.width(), dpiX), toTwips(printablePixels.height(), dpiY)};
    return {toTwips(pageRect.left(), dpiX), toTwips(pageRect.top(), dpiY),
            toTwips(int64_t(pageRect.left()) + pageRect.width(), dpiX),
            toTwips(int64_t(pageRect.top()) + pageRect.height(), dpiY)};
}

int RichEdit::Print(const QString& title, QPrinter& printer)
{
    if (printer.printerState() == QPrinter::Active)
        throw RichEditError(QStringLiteral("Printing in progress"));
    printer.setDocName(title);
    QPainter painter;
    // A printer that cannot take the job (no printer, a file that cannot be written) is said
    // so, rather than the job reported as printed.
    if (!painter.begin(&printer))
        throw RichEditError(QStringLiteral("Tlač sa nedá začať: tlačiareň dokument neprijala."));

    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    const QSize printable = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    const TwipsRect twips = printRenderRect(printable, dpiX, dpiY, PageRect);
    // Back to the printer's pixels for drawing; the twips decide where lines break.
    const QRectF page(twips.left * qreal(dpiX) / 1440, twips.top * qreal(dpiY) / 1440,
                      (twips.right - twips.left) * qreal(dpiX) / 1440, (twips.bottom - twips.top) * qreal(dpiY) / 1440);
    const int length = TextLength();
    int pages = 0;
    int last = 0;
    for (;;) {
        last = doc_->layoutPage(&painter, page, dpiX, dpiY, last);
        ++pages;
        if (last < length && last != -1)
            printer.newPage();
        else
            break;
    }
    painter.end();
    return pages;
}

} // namespace zorim
