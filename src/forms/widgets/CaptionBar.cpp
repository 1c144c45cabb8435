#include "forms/widgets/CaptionBar.h"

#include "richtext/document/DocFormats.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

namespace zorim {
namespace {

constexpr int kHeight = 22;
constexpr int kIconSize = 16;
constexpr int kButtonWidth = 26;

QFont titleFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

} // namespace

CaptionBar::CaptionBar(QWidget* window)
    : QWidget(window), background_(155, 155, 255), inactiveText_(155, 155, 255)
{
    setFont(titleFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto makeButton = [this](const char* icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        b->setIconSize(QSize(kIconSize, kIconSize));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setFixedSize(kButtonWidth, kHeight - 2);
        return b;
    };
    minimize_ = makeButton("window-minimize", QStringLiteral("Minimalizovať"));
    maximize_ = makeButton("window-maximize", QStringLiteral("Maximalizovať"));
    close_ = makeButton("window-close", QStringLiteral("Zavrieť"));
    maximize_->hide();
    connect(minimize_, &QToolButton::clicked, this, &CaptionBar::minimizeRequested);
    connect(maximize_, &QToolButton::clicked, this, &CaptionBar::maximizeRequested);
    connect(close_, &QToolButton::clicked, this, &CaptionBar::closeRequested);
}

QSize CaptionBar::sizeHint() const { return {200, kHeight}; }
QSize CaptionBar::minimumSizeHint() const { return {3 * kButtonWidth + kIconSize + 8, kHeight}; }

void CaptionBar::setTitle(const QString& title)
{
    title_ = title;
    update();
}

void CaptionBar::setIcon(const QIcon& icon)
{
    icon_ = icon;
    update();
}

void CaptionBar::setBackground(const QColor& color)
{
    background_ = color;
    update();
}

void CaptionBar::setInactiveText(const QColor& color)
{
    inactiveText_ = color;
    update();
}

// Black or white by the bar's colour, so the title reads on every theme's bar. The themes
// give the inactive title the bar's own colour, which would hide it: it is then the same ink
// dimmed halfway toward the bar.
QColor CaptionBar::titleColor() const
{
    const QColor ink = inkOn(background_);
    if (active_)
        return ink;
    if (inactiveText_ != background_)
        return inactiveText_;
    const QColor bar = background_.toRgb();
    return QColor((ink.red() + bar.red()) / 2, (ink.green() + bar.green()) / 2, (ink.blue() + bar.blue()) / 2);
}

void CaptionBar::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    update();
}

void CaptionBar::setMaximizable(bool on)
{
    maximizable_ = on;
    maximize_->setVisible(on);
    placeButtons();
}

void CaptionBar::placeButtons()
{
    int x = width() - kButtonWidth - 1;
    close_->move(x, 1);
    if (maximizable_) {
        x -= kButtonWidth;
        maximize_->move(x, 1);
    }
    x -= kButtonWidth;
    minimize_->move(x, 1);
}

void CaptionBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}

void CaptionBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        setActive(window()->isActiveWindow());
    QWidget::changeEvent(event);
}

void CaptionBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    const int iconTop = (height() - kIconSize) / 2;
    if (!icon_.isNull())
        icon_.paint(&painter, QRect(4, iconTop, kIconSize, kIconSize));
    const int textLeft = 4 + kIconSize + 6;
    const int buttonsLeft = width() - (maximizable_ ? 3 : 2) * kButtonWidth - 4;
    const QRect textRect(textLeft, 0, std::max(0, buttonsLeft - textLeft), height());
    painter.setPen(titleColor());
    painter.setFont(font());
    const QString shown = painter.fontMetrics().elidedText(title_, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void CaptionBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit menuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The window system moves the window where it can; elsewhere the bar follows the mouse.
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove()) {
        event->accept();
        return;
    }
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    event->accept();
}

void CaptionBar::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - dragOffset_);
    QWidget::mouseMoveEvent(event);
}

void CaptionBar::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void CaptionBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && maximizable_)
        emit maximizeRequested();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace zorim
