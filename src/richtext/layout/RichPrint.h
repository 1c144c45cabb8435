#pragma once
// The page arithmetic of printing, apart from any printer so that it can be checked alone.
#include <QRect>
#include <QSize>

#include <optional>

class QPrinter;
#include <QString>

namespace zorim {

class RichDocument;

// A page's text rectangle in twips (1440 an inch), right and bottom edges exclusive.
struct TwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The rectangle a page's text is laid out in: the printable area (pixels at dpiX by dpiY)
// from the origin when pageRect is empty, else pageRect's sides. Every product is whole and
// each division drops its remainder, as the printer's own arithmetic does.
TwipsRect printRenderRect(QSize printablePixels, int dpiX, int dpiY, QRect pageRect = {});

// Prints the whole document as one job named title on printer, a page after another, each laid
// out by the document's own layout, so a printout breaks its lines where the screen does at the
// same width. pageRect (printer pixels) bounds the text on every page; empty, the document's
// margins do. Each section prints on its paper, and each page with its header and footer;
// fileName is what FILENAME fields print (empty: their result). Answers the pages printed, or
// nothing when the printer would not take the job.
std::optional<int> printDocument(RichDocument& doc, const QString& title, QPrinter& printer, QRect pageRect,
                                 const QString& fileName = {});

} // namespace zorim
