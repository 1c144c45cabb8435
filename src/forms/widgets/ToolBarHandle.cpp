#include "forms/widgets/ToolBarHandle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>

#include <algorithm>

namespace zorim {

ToolBarHandle::ToolBarHandle(QToolBar* bar) : QWidget(bar->parentWidget()), bar_(bar)
{
    setCursor(Qt::SizeAllCursor);
    bar->installEventFilter(this);
    follow();
}

void ToolBarHandle::follow()
{
    setGeometry(bar_->x() - kWidth, bar_->y(), kWidth, kRowHeight);
    setVisible(bar_->isVisibleTo(parentWidget()));
}

bool ToolBarHandle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide)
            follow();
    }
    return QWidget::eventFilter(watched, event);
}

bool ToolBarHandle::moveBarTo(QPoint topLeft)
{
    const QWidget* area = parentWidget();
    const int rows = std::max(1, area->height() / kRowHeight);
    const int row = std::clamp((topLeft.y() + kRowHeight / 2) / kRowHeight, 0, rows - 1);
    const int x = std::clamp(topLeft.x(), kWidth, std::max(kWidth, area->width() - bar_->width()));
    const QRect wanted(x - kWidth, row * kRowHeight, bar_->width() + kWidth, kRowHeight);
    for (const QToolBar* other : area->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (other == bar_ || !other->isVisibleTo(area))
            continue;
        if (wanted.intersects(other->geometry().adjusted(-kWidth, 0, 0, 0)))
            return false;
    }
    bar_->move(x, row * kRowHeight);
    return true;
}

void ToolBarHandle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    for (int x : {2, 5}) {
        painter.setPen(dark);
        painter.drawLine(x, 4, x, height() - 6);
        painter.setPen(light);
        painter.drawLine(x + 1, 4, x + 1, height() - 6);
    }
}

void ToolBarHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        grab_ = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void ToolBarHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        const QPoint handleAt = mapToParent(event->position().toPoint() - grab_);
        moveBarTo(handleAt + QPoint(kWidth, 0));
    }
    QWidget::mouseMoveEvent(event);
}

} // namespace zorim
