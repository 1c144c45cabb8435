// Printing the document: one job, a page after another, each laid out by the document's own
// paragraph layout, so a printout breaks its lines where the screen does at the same width.
#include "richtext/layout/RichPrint.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/RichDocument.h"
#include "richtext/layout/PageNotes.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <cstdint>

namespace zorim {
namespace {

int toTwips(int64_t pixels, int dpi) { return dpi > 0 ? int(pixels * 1440 / dpi) : 0; }

// The text rectangle of a page, in printer pixels from the printable area's corner and within
// that area: the document's margins, and where it states none the ones RTF takes for granted
// (1.25 inches at the sides, 1 inch above and below), as other word processors print such a
// file; never nearer the paper's edge than the printer can print.
QRect marginRect(const PageSetup& setup, const QPageLayout& layout, int resolution, int dpiX, int dpiY)
{
    auto side = [](int32_t twips, int32_t otherwise) { return twips >= 0 ? twips : otherwise; };
    const QRect paper = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);
    const QRect text(QPoint(int(int64_t(side(setup.marginLeft, 1800)) * dpiX / 1440),
                            int(int64_t(side(setup.marginTop, 1440)) * dpiY / 1440)),
                     QPoint(paper.width() - 1 - int(int64_t(side(setup.marginRight, 1800)) * dpiX / 1440),
                            paper.height() - 1 - int(int64_t(side(setup.marginBottom, 1440)) * dpiY / 1440)));
    const QRect within = text.intersected(printable);
    return within.isEmpty() ? QRect() : within.translated(-printable.topLeft());
}

} // namespace

TwipsRect printRenderRect(QSize printablePixels, int dpiX, int dpiY, QRect pageRect)
{
    if (pageRect.isEmpty())
        return {0, 0, toTwips(printablePixels.width(), dpiX), toTwips(printablePixels.height(), dpiY)};
    return {toTwips(pageRect.left(), dpiX), toTwips(pageRect.top(), dpiY),
            toTwips(int64_t(pageRect.left()) + pageRect.width(), dpiX),
            toTwips(int64_t(pageRect.top()) + pageRect.height(), dpiY)};
}

std::optional<int> printDocument(RichDocument& doc, const QString& title, QPrinter& printer, QRect pageRect)
{
    printer.setDocName(title);
    // A document that states its paper prints on it; the printer's own choice comes back after.
    const PageSetup setup = readPageSetup(*doc.textDocument());
    const QPageLayout chosen = printer.pageLayout();
    struct Restore {
        QPrinter& printer;
        QPageLayout layout;
        ~Restore() { printer.setPageLayout(layout); }
    } restore{printer, chosen};
    if (setup.statesPaper()) {
        const bool landscape = setup.landscape || setup.paperWidth > setup.paperHeight;
        const QSizeF portrait(std::min(setup.paperWidth, setup.paperHeight) / 1440.0,
                              std::max(setup.paperWidth, setup.paperHeight) / 1440.0);
        printer.setPageSize(QPageSize(portrait, QPageSize::Inch));
        printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return std::nullopt;

    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const QRect paintRect = layout.paintRectPixels(printer.resolution());
    const QSize printable = paintRect.size();
    const TwipsRect twips = printRenderRect(printable, dpiX, dpiY,
                                            pageRect.isEmpty() ? marginRect(setup, layout, printer.resolution(), dpiX, dpiY) : pageRect);
    // Back to the printer's pixels for drawing; the twips decide where lines break.
    const QRectF page(twips.left * qreal(dpiX) / 1440, twips.top * qreal(dpiY) / 1440,
                      (twips.right - twips.left) * qreal(dpiX) / 1440, (twips.bottom - twips.top) * qreal(dpiY) / 1440);
    const int length = doc.length();
    int pages = 0;
    int last = 0;
    for (;;) {
        last = doc.layoutPage(&painter, page, dpiX, dpiY, last);
        ++pages;
        if (last < length && last != -1)
            printer.newPage();
        else
            break;
    }
    const qreal screenDpi = kTwipsPerInch / kTwipsPerPixel;
    pages += printEndnotes(*doc.textDocument(), painter, printer, page, dpiX / screenDpi, dpiY / screenDpi);
    painter.end();
    return pages;
}

} // namespace zorim
