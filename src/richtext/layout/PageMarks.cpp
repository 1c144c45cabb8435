#include "richtext/layout/PageMarks.h"

#include "richtext/layout/LaidOutDocument.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace zorim {

namespace {

// A font's face as RTF text: the characters RTF gives a meaning, and all beyond ASCII, as \uN.
QByteArray rtfName(const QString& face)
{
    QByteArray out;
    for (const QChar ch : face) {
        if (ch.unicode() < 0x80 && ch != u'\\' && ch != u'{' && ch != u'}' && ch != u';')
            out += char(ch.unicode());
        else
            out += "\\u" + QByteArray::number(int(int16_t(ch.unicode()))) + '?';
    }
    return out;
}

int wordValue(const QByteArray& words, const char* word, int otherwise)
{
    const QRegularExpression re(QStringLiteral("\\\\%1(\\d+)").arg(QLatin1String(word)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(words));
    return m.hasMatch() ? std::min(m.captured(1).toInt(), 31680) : otherwise;
}

} // namespace

QByteArray headerRtf(const KeptGroups& kept, const QByteArray& group)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl";
    for (const auto& [number, font] : kept.fonts)
        out += "{\\f" + QByteArray::number(number) + "\\fcharset" + QByteArray::number(font.charset) + ' '
               + rtfName(font.face) + ";}";
    out += '}';
    if (!kept.colors.empty()) {
        // The table holds every number up to the highest the group uses, each at its place.
        out += "{\\colortbl";
        for (int32_t i = 0; i <= kept.colors.rbegin()->first; ++i) {
            const auto it = kept.colors.find(i);
            if (it != kept.colors.end() && it->second) {
                const ColorRef c = *it->second;
                out += "\\red" + QByteArray::number(c & 0xFF) + "\\green" + QByteArray::number((c >> 8) & 0xFF)
                       + "\\blue" + QByteArray::number((c >> 16) & 0xFF);
            }
            out += ';';
        }
        out += '}';
    }
    // The group's content, without its opening word and its closing brace.
    const qsizetype start = group.indexOf(' ');
    if (start > 0 && group.endsWith('}'))
        out += '\n' + group.mid(start + 1, group.size() - start - 2);
    return out + '}';
}

PageMarks::PageMarks(const std::vector<SectionSpan>& sections, bool facingPages) : facing_(facingPages)
{
    static constexpr std::array<const char*, Kinds> kHeaders{"{\\header ", "{\\headerl ", "{\\headerr ", "{\\headerf "};
    static constexpr std::array<const char*, Kinds> kFooters{"{\\footer ", "{\\footerl ", "{\\footerr ", "{\\footerf "};
    Marks marks;
    for (const SectionSpan& span : sections) {
        const KeptGroups& kept = span.setup.headers;
        for (const QByteArray& group : kept.groups) {
            for (size_t k = 0; k < Kinds; ++k) {
                if (group.startsWith(kHeaders[k]))
                    marks.headers[k] = {&kept, &group};
                if (group.startsWith(kFooters[k]))
                    marks.footers[k] = {&kept, &group};
            }
        }
        marks.headerY = wordValue(kept.words, "headery", 720);
        marks.footerY = wordValue(kept.words, "footery", 720);
        marks.titlePage = span.setup.titlePage;
        any_ = any_ || std::any_of(marks.headers.begin(), marks.headers.end(), [](const Mark& m) { return m.group; })
               || std::any_of(marks.footers.begin(), marks.footers.end(), [](const Mark& m) { return m.group; });
        sections_.push_back(marks);
    }
}

PageMarks::~PageMarks() = default;

PageMarks::Mark PageMarks::pick(const std::array<Mark, Kinds>& marks, const Page& page, bool titlePage) const
{
    if (titlePage && page.firstOfSection)
        return marks[First]; // none: the first page has none
    if (facing_) {
        const Mark& side = marks[page.number % 2 == 0 ? Left : Right];
        if (side.group)
            return side;
    }
    return marks[Plain];
}

LaidOutDocument& PageMarks::documentOf(const Mark& mark)
{
    std::unique_ptr<LaidOutDocument>& doc = documents_[mark.group];
    if (!doc) {
        doc = std::make_unique<LaidOutDocument>();
        doc->load(headerRtf(*mark.kept, *mark.group), TextFormat::Rtf);
    }
    return *doc;
}

void PageMarks::draw(QPainter& painter, const Page& page, const QRectF& paper, const QRectF& text, int dpiX, int dpiY)
{
    if (page.section >= sections_.size())
        return;
    const Marks& marks = sections_[page.section];
    const qreal screenDpi = kTwipsPerInch / kTwipsPerPixel;
    const auto place = [&](const Mark& mark, bool header) {
        if (!mark.group)
            return;
        LaidOutDocument& doc = documentOf(mark);
        auto* layout = dynamic_cast<ParagraphLayout*>(&doc.layout());
        if (!layout)
            return;
        layout->setPrintedFields({page.number, page.pages, page.fileName});
        // Its height at the text's width, to stand a footer on the paper's bottom distance.
        QTextDocument& td = *doc.textDocument();
        const qreal margin = td.documentMargin();
        td.setTextWidth(text.width() * screenDpi / std::max(1, dpiX) + 2 * margin);
        const QRectF last = layout->blockBoundingRect(td.lastBlock());
        const qreal height = std::max<qreal>(0, last.bottom() - margin) * dpiY / screenDpi;
        const qreal top = header ? paper.top() + marks.headerY * dpiY / kTwipsPerInch
                                 : paper.bottom() - marks.footerY * dpiY / kTwipsPerInch - height;
        doc.layoutPage(&painter, QRectF(text.left(), top, text.width(), std::max(height, qreal(dpiY)) + 1), dpiX, dpiY, 0);
    };
    place(pick(marks.headers, page, marks.titlePage), true);
    place(pick(marks.footers, page, marks.titlePage), false);
}

} // namespace zorim
