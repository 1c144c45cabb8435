#pragma once
// A small plain panel that shows one colour and reports a click: the colour strips under the
// text-colour and background-colour buttons.
#include <QColor>
#include <QWidget>

namespace zorim {

class ColorStrip : public QWidget {
    Q_OBJECT
public:
    ColorStrip(const QColor& color, QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor color_;
};

} // namespace zorim
