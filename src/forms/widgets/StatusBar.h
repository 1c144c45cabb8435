#pragma once
// The main window's status bar: a row of panels, each with its text, width, alignment and
// bevel. Panels are numbered from 0.
#include <QFrame>
#include <QWidget>
#include <vector>

class QLabel;

namespace zorim {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };
    struct PanelLayout {
        int width;
        Qt::Alignment alignment;
        Bevel bevel;
        QString text;
    };

    StatusBar(const std::vector<PanelLayout>& panels, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    int panelWidth(int index) const;
    // The panel itself (its alignment, frame and font).
    const QLabel* panel(int index) const { return panels_.at(index); }
    void setPanelWidth(int index, int width);
    // The bar's colour; its text is black or white by that colour, as the caption bar's is.
    void setBackground(const QColor& color);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::vector<QLabel*> panels_;
};

} // namespace zorim
