#include "forms/widgets/ColorStrip.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorim {

ColorStrip::ColorStrip(const QColor& color, QWidget* parent) : QWidget(parent), color_(color)
{
    setCursor(Qt::PointingHandCursor);
}

void ColorStrip::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void ColorStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), color_);
}

void ColorStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace zorim
