#pragma once
// The headers and footers of printed pages: each read from the RTF the document keeps into a
// document of its own, laid out by the same paragraph layout as the text, with its page fields'
// values (PAGE, NUMPAGES, DATE, TIME, FILENAME).
#include "richtext/document/Sections.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace zorim {

class LaidOutDocument;

// A header or footer group as an RTF document of its own: the group's content with the fonts
// and colours its numbers meant where it was read.
QByteArray headerRtf(const KeptGroups& kept, const QByteArray& group);

class PageMarks {
public:
    // sections as sectionsOf gives them; facingPages: left and right pages have their own.
    PageMarks(const std::vector<SectionSpan>& sections, bool facingPages);
    ~PageMarks();
    bool any() const { return any_; }

    struct Page {
        size_t section = 0;       // the index of the page's section
        bool firstOfSection = false;
        int number = 1;           // from 1
        int pages = 0;            // in all; 0: not counted
        QString fileName;
    };
    // Draws the page's header and footer: paper is the whole sheet and text the text's
    // rectangle on it, both in the painter's coordinates (device pixels at dpiX by dpiY).
    void draw(QPainter& painter, const Page& page, const QRectF& paper, const QRectF& text, int dpiX, int dpiY);

private:
    struct Mark {
        const KeptGroups* kept = nullptr;
        const QByteArray* group = nullptr;
    };
    enum Kind : size_t { Plain, Left, Right, First, Kinds };
    // Each section's headers and footers by kind, a kind it has none of taken from the section before.
    struct Marks {
        std::array<Mark, Kinds> headers, footers;
        int headerY = 720, footerY = 720; // twips from the paper's edge
        bool titlePage = false;
    };
    Mark pick(const std::array<Mark, Kinds>& marks, const Page& page, bool titlePage) const;
    LaidOutDocument& documentOf(const Mark& mark);

    std::vector<Marks> sections_;
    bool facing_ = false;
    bool any_ = false;
    std::map<const QByteArray*, std::unique_ptr<LaidOutDocument>> documents_;
};

} // namespace zorim
