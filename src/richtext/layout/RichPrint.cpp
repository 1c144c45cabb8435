// Printing the document: one job, a page after another, each laid out by the document's own
// paragraph layout, so a printout breaks its lines where the screen does at the same width.
#include "richtext/layout/RichPrint.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/RichDocument.h"
#include "richtext/document/Sections.h"
#include "richtext/layout/PageMarks.h"
#include "richtext/layout/PageNotes.h"
#include "richtext/layout/ParagraphLayout.h"

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

namespace {

// The paper a section states, on the printer's own layout (the printer's choice where it states none).
QPageLayout paperLayout(QPageLayout layout, const PageSetup& setup)
{
    if (setup.statesPaper()) {
        const bool landscape = setup.landscape || setup.paperWidth > setup.paperHeight;
        const QSizeF portrait(std::min(setup.paperWidth, setup.paperHeight) / 1440.0,
                              std::max(setup.paperWidth, setup.paperHeight) / 1440.0);
        layout.setPageSize(QPageSize(portrait, QPageSize::Inch));
        layout.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    return layout;
}

// A sheet of one section: its paper, where its text goes and the whole paper, in the
// painter's coordinates (the printable area's corner is the origin).
struct Sheet {
    QPageLayout layout;
    QRectF text, paper;
};

Sheet sheetOf(const QPageLayout& chosen, const PageSetup& setup, QRect pageRect, int resolution, int dpiX, int dpiY)
{
    Sheet sheet{paperLayout(chosen, setup), {}, {}};
    const QRect paintRect = sheet.layout.paintRectPixels(resolution);
    const TwipsRect twips = printRenderRect(paintRect.size(), dpiX, dpiY,
                                            pageRect.isEmpty() ? marginRect(setup, sheet.layout, resolution, dpiX, dpiY) : pageRect);
    // Back to the printer's pixels for drawing; the twips decide where lines break.
    sheet.text = QRectF(twips.left * qreal(dpiX) / 1440, twips.top * qreal(dpiY) / 1440,
                        (twips.right - twips.left) * qreal(dpiX) / 1440, (twips.bottom - twips.top) * qreal(dpiY) / 1440);
    sheet.paper = QRectF(sheet.layout.fullRectPixels(resolution)).translated(-paintRect.topLeft());
    return sheet;
}

} // namespace

std::optional<int> printDocument(RichDocument& doc, const QString& title, QPrinter& printer, QRect pageRect,
                                 const QString& fileName)
{
    printer.setDocName(title);
    // A document that states its paper prints on it, each section on its own; the printer's
    // own choice comes back after.
    const std::vector<SectionSpan> sections = sectionsOf(*doc.textDocument());
    const QPageLayout chosen = printer.pageLayout();
    struct Restore {
        QPrinter& printer;
        QPageLayout layout;
        ~Restore() { printer.setPageLayout(layout); }
    } restore{printer, chosen};
    printer.setPageLayout(paperLayout(chosen, sections.front().setup.page));
    QPainter painter;
    if (!painter.begin(&printer))
        return std::nullopt;

    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    const int resolution = printer.resolution();
    std::vector<std::optional<Sheet>> sheets(sections.size());
    const auto sheetFor = [&](size_t section) -> const Sheet& {
        if (!sheets[section])
            sheets[section] = sheetOf(chosen, sections[section].setup.page, pageRect, resolution, dpiX, dpiY);
        return *sheets[section];
    };
    PageMarks marks(sections, readKeptGroups(*doc.textDocument()).words.contains("\\facingp"));
    auto* layout = dynamic_cast<ParagraphLayout*>(&doc.layout());
    const int length = doc.length();
    // The pages one after another; without a painter only counted, for the fields that print
    // the pages in all. A section that starts on an even or odd page has an empty one before
    // it where it would come on the other.
    const auto pagesOf = [&](QPainter* on, int total) {
        int pages = 0, last = 0;
        size_t section = sections.size();
        for (;;) {
            const size_t s = sectionAt(sections, last);
            const bool starts = s != section;
            const Sheet& sheet = sheetFor(s);
            const int kind = sections[s].setup.breakKind;
            const bool blank = starts && pages > 0 && ((kind == sbk::Even && pages % 2 == 0) || (kind == sbk::Odd && pages % 2 == 1));
            for (int i = 0; i < (blank ? 2 : 1); ++i) {
                if (on && pages > 0) {
                    if (starts)
                        printer.setPageLayout(sheet.layout);
                    printer.newPage();
                }
                ++pages;
            }
            if (on)
                marks.draw(*on, {s, starts, pages, total, fileName}, sheet.paper, sheet.text, dpiX, dpiY);
            if (layout)
                layout->setPrintedFields({on ? pages : 0, total, fileName});
            last = doc.layoutPage(on, sheet.text, dpiX, dpiY, last);
            section = s;
            if (last >= length || last == -1)
                return pages;
        }
    };
    const int total = marks.any() ? pagesOf(nullptr, 0) : 0;
    int pages = pagesOf(&painter, total);
    // The endnotes follow on pages of their own, on the last section's paper.
    const qreal screenDpi = kTwipsPerInch / kTwipsPerPixel;
    pages += printEndnotes(*doc.textDocument(), painter, printer, sheetFor(sections.size() - 1).text, dpiX / screenDpi,
                           dpiY / screenDpi);
    if (layout)
        layout->setPrintedFields({});
    painter.end();
    return pages;
}

} // namespace zorim
