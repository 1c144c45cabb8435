#include "forms/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace zorim::artwork {

namespace {

const QColor kInk(40, 90, 180);
const QColor kEdge(70, 70, 90);
const QColor kLines(150, 156, 176);

QFont bold(int pixelSize, const QString& family = QStringLiteral("Verdana"))
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// A sheet of paper with a folded corner, a heading and lines of text.
void drawSheet(QPainter& p, const QRectF& r)
{
    const qreal fold = std::min(r.width(), r.height()) * 0.25;
    QPainterPath page;
    page.moveTo(r.topLeft());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.bottomRight());
    page.lineTo(r.bottomLeft());
    page.closeSubpath();
    p.fillPath(page.translated(2, 2), QColor(160, 160, 168));
    p.fillPath(page, Qt::white);
    p.setPen(QPen(kEdge, 1));
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    p.fillPath(corner, QColor(214, 220, 236));
    p.drawPath(corner);
    const qreal margin = std::max<qreal>(3, r.width() * 0.12);
    const qreal step = std::max<qreal>(3, r.height() * 0.075);
    p.fillRect(QRectF(r.left() + margin, r.top() + margin, r.width() * 0.35, step * 0.7), kInk);
    int n = 0;
    for (qreal y = r.top() + margin + step * 1.7; y < r.bottom() - margin; y += step, ++n) {
        const qreal right = n % 4 == 3 ? r.left() + r.width() * 0.6 : r.right() - margin;
        p.fillRect(QRectF(r.left() + margin, y, right - r.left() - margin, std::max<qreal>(1, step * 0.35)), kLines);
    }
}

} // namespace

QPixmap programPicture(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(30, 60, 140));
    sky.setColorAt(1, QColor(120, 170, 240));
    p.fillRect(pm.rect(), sky);
    drawSheet(p, QRectF(width * 0.14, height * 0.34, width * 0.72, height * 0.56));
    p.setPen(Qt::white);
    p.setFont(bold(int(width * 0.62), QStringLiteral("Arial Black")));
    p.drawText(QRectF(0, height * 0.02, width, height * 0.32), Qt::AlignCenter, QStringLiteral("Z"));
    return pm;
}

QPixmap hiddenPicture(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(size / 2.0, size / 2.0, size / 2.0);
    glow.setColorAt(0, QColor(255, 246, 200));
    glow.setColorAt(1, QColor(245, 190, 60));
    p.setBrush(glow);
    p.setPen(QPen(QColor(180, 120, 20), 3));
    p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    // A quill across the sun, and the greeting of the people who made the program.
    QPainterPath quill;
    quill.moveTo(size * 0.28, size * 0.72);
    quill.cubicTo(size * 0.40, size * 0.40, size * 0.62, size * 0.22, size * 0.78, size * 0.18);
    quill.cubicTo(size * 0.70, size * 0.36, size * 0.52, size * 0.56, size * 0.28, size * 0.72);
    p.setBrush(Qt::white);
    p.setPen(QPen(kEdge, 2));
    p.drawPath(quill);
    p.drawLine(QPointF(size * 0.28, size * 0.72), QPointF(size * 0.22, size * 0.80));
    p.setPen(kInk);
    p.setFont(bold(size / 9));
    p.drawText(QRectF(0, size * 0.70, size, size * 0.16), Qt::AlignCenter, QStringLiteral("Ďakujeme!"));
    return pm;
}

QPixmap helpPicture(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, width, 0);
    band.setColorAt(0, QColor(225, 232, 248));
    band.setColorAt(1, QColor(190, 205, 240));
    p.fillRect(pm.rect(), band);
    drawSheet(p, QRectF(10, 8, height * 0.62, height - 18));
    p.setPen(kInk);
    p.setFont(bold(int(height * 0.7), QStringLiteral("Arial Black")));
    p.drawText(QRectF(height * 0.62 + 14, 0, width - height * 0.62 - 18, height), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}

QPixmap sheetPicture(bool landscape, int size)
{
    QPixmap pm(size, size);
    pm.fill(QColor(240, 240, 240));
    QPainter p(&pm);
    const qreal longSide = size * 0.84, shortSide = size * 0.63;
    const qreal w = landscape ? longSide : shortSide, h = landscape ? shortSide : longSide;
    drawSheet(p, QRectF((size - w) / 2, (size - h) / 2, w, h));
    return pm;
}

} // namespace zorim::artwork
