#pragma once
// The grip left of a toolbar in the tool bar area: dragging it moves the toolbar within the
// area, to either row and along it, never out of the area and never onto another toolbar.
#include <QWidget>

class QToolBar;

namespace zorim {

class ToolBarHandle : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 9;
    static constexpr int kRowHeight = 30;

    explicit ToolBarHandle(QToolBar* bar);

    // Moves the toolbar to the nearest row and the place nearest to topLeft that keeps it
    // inside the area and off the other toolbars; false when no such place is there.
    bool moveBarTo(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QToolBar* bar_;
    QPoint grab_;
};

} // namespace zorim
