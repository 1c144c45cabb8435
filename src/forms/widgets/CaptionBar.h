#pragma once
// The main window's caption bar, painted by the program: a solid background in the caption
// colour, the window icon, the title in Verdana bold, and the minimise and close buttons. The
// title is drawn in the desktop's caption-text colour while the window is active and in the
// inactive colour otherwise. Dragging the bar moves the window; a right click asks for the
// tray menu instead of the system menu.
#include <QColor>
#include <QIcon>
#include <QWidget>

class QToolButton;

namespace zorim {

class CaptionBar : public QWidget {
    Q_OBJECT
public:
    explicit CaptionBar(QWidget* window);

    QString title() const { return title_; }
    void setTitle(const QString& title);
    void setIcon(const QIcon& icon);
    QColor background() const { return background_; }
    void setBackground(const QColor& color);
    QColor inactiveText() const { return inactiveText_; }
    void setInactiveText(const QColor& color);
    // The colour the title is drawn in now.
    QColor titleColor() const;
    bool active() const { return active_; }
    void setActive(bool active);
    // Whether the window may be maximised (a window with a sizeable border).
    void setMaximizable(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void menuRequested(const QPoint& globalPos);
    void minimizeRequested();
    void maximizeRequested();
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeButtons();

    QString title_;
    QIcon icon_;
    QColor background_;
    QColor inactiveText_;
    bool active_ = true;
    bool maximizable_ = false;
    QToolButton* minimize_ = nullptr;
    QToolButton* maximize_ = nullptr;
    QToolButton* close_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
};

} // namespace zorim
