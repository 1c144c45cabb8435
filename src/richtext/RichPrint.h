#pragma once
// The page arithmetic of printing, apart from any printer so that it can be checked alone.
#include <QRect>
#include <QSize>

namespace zorim {

// A page's text rectangle in twips (1440 an inch), right and bottom edges exclusive.
struct TwipsRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The rectangle a page's text is laid out in: the printable area (pixels at dpiX by dpiY)
// from the origin when pageRect is empty, else pageRect's sides. Every product is whole and
// each division drops its remainder, as the printer's own arithmetic does.
TwipsRect printRenderRect(QSize printablePixels, int dpiX, int dpiY, QRect pageRect = {});

} // namespace zorim
