#include "richtext/layout/NoteReferences.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/NoteNumbers.h"
#include "richtext/document/Notes.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextObjectInterface>

namespace zorim {
namespace {

// The run's font in the layout's units (pixels of a 96 dpi screen, whatever the painter's
// device: a printer's painter is scaled to them), and the raised number's at two thirds of it.
QFont textFont(const QTextFormat& format, bool number)
{
    QFont font = format.toCharFormat().font();
    const qreal pixels = font.pointSizeF() > 0 ? font.pointSizeF() * (kTwipsPerInch / kTwipsPerPixel) / 72
                                               : std::max(1, font.pixelSize());
    font.setPixelSize(std::max(1, qRound(number ? pixels * 2 / 3 : pixels)));
    return font;
}

QString labelAt(QTextDocument* doc, int pos, const QTextFormat& format)
{
    if (!doc || !isNumberedNote(format))
        return {};
    return noteLabel(NoteNumbers::of(*doc).numberAt(pos), format.boolProperty(docprop::NoteEndnote));
}

class NoteReferenceHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* doc, int pos, const QTextFormat& format) override
    {
        const QString label = labelAt(doc, pos, format);
        if (label.isEmpty())
            return {0, 0};
        // As tall as the text's capitals, so the line keeps its height.
        const QFontMetricsF text(textFont(format, false));
        const QFontMetricsF number(textFont(format, true));
        return {number.horizontalAdvance(label), text.ascent()};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int pos, const QTextFormat& format) override
    {
        const QString label = labelAt(doc, pos, format);
        if (label.isEmpty())
            return;
        painter->save();
        const QFont font = textFont(format, true);
        painter->setFont(font);
        const QTextCharFormat cf = format.toCharFormat();
        if (cf.foreground().style() != Qt::NoBrush)
            painter->setPen(cf.foreground().color());
        const QFontMetricsF number(font);
        painter->drawText(QPointF(rect.left(), rect.top() + number.ascent()), label);
        painter->restore();
    }
};

} // namespace

QObject* newNoteReferenceHandler(QObject* parent)
{
    return new NoteReferenceHandler(parent);
}

} // namespace zorim

#include "NoteReferences.moc"
