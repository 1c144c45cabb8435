#include "richtext/document/TableText.h"

#include "richtext/formats/rtf/RtfTables.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace zorim {
namespace {

constexpr QChar kParagraphSeparator(0x2029);

void put(QString& raw, int at, QChar c)
{
    if (at < 0 || at >= raw.size())
        return;
    const char16_t was = raw[at].unicode();
    if (was == 0xFDD0 || was == 0xFDD1 || was == kParagraphSeparator)
        raw[at] = c;
}

// A table inside a cell reads as the flat reader had it there: its cells after tabs, each row
// and the table ending with a blank (a break inside the outer cell). Its marks go first: what
// the outer cell makes of the rest fills only the marks left.
void showFrames(const QTextFrame& parent, const QTextDocument& doc, QString& raw)
{
    const bool inCell = qobject_cast<const QTextTable*>(&parent) != nullptr;
    const QChar rowMark = inCell ? QChar(u' ') : kParagraphSeparator;
    for (QTextFrame* frame : parent.childFrames()) {
        showFrames(*frame, doc, raw);
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            for (int r = 0; r < table->rows(); ++r) {
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    if (cell.row() != r || cell.column() != c)
                        continue; // covered by a spanning cell
                    put(raw, cell.firstPosition() - 1, c == 0 ? rowMark : QChar(u'\t'));
                    const int last = cell.lastPosition();
                    for (QTextBlock b = doc.findBlock(cell.firstPosition()); b.isValid(); b = b.next()) {
                        const int end = b.position() + b.length() - 1;
                        if (end >= last)
                            break;
                        put(raw, end, u' ');
                    }
                }
            }
        } else {
            put(raw, frame->firstPosition() - 1, rowMark);
        }
        put(raw, frame->lastPosition(), rowMark);
    }
}

} // namespace

QString cellRangeText(const QTextDocument& doc, const QString& raw, int from, int to)
{
    if (doc.rootFrame()->childFrames().isEmpty() || to <= from)
        return {};
    QTextTable* table = QTextCursor(doc.findBlock(from)).currentTable();
    if (!table || to > table->lastPosition() || from < table->firstPosition())
        return {};
    const rtf::TablePart part = rtf::tablePartAt(doc.findBlock(from), from, to);
    if (part.table != table)
        return {};
    QString out;
    for (int r = part.firstRow; r <= part.lastRow; ++r) {
        if (r > part.firstRow)
            out += kParagraphSeparator;
        for (int c = part.firstColumn; c <= part.lastColumn; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (c > part.firstColumn)
                out += u'\t';
            out += QStringView(raw).mid(cell.firstPosition(), cell.lastPosition() - cell.firstPosition());
        }
    }
    return out;
}

void showTablesAsText(const QTextDocument& doc, QString& raw)
{
    if (!doc.rootFrame()->childFrames().isEmpty())
        showFrames(*doc.rootFrame(), doc, raw);
}

} // namespace zorim
