#include "forms/widgets/StatusBar.h"

#include "richtext/document/DocFormats.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace zorim {

StatusBar::StatusBar(const std::vector<PanelLayout>& panels, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(1);
    for (const PanelLayout& setup : panels) {
        auto* label = new QLabel(setup.text, this);
        label->setAlignment(setup.alignment | Qt::AlignVCenter);
        label->setFrameShape(setup.bevel == Bevel::None ? QFrame::NoFrame : QFrame::Panel);
        label->setFrameShadow(setup.bevel == Bevel::Raised ? QFrame::Raised : QFrame::Sunken);
        label->setFixedWidth(std::max(0, setup.width));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
        panels_.push_back(label);
    }
    layout->addStretch(1);
}

QString StatusBar::panelText(int index) const { return panels_.at(index)->text(); }
void StatusBar::setPanelText(int index, const QString& text) { panels_.at(index)->setText(text); }
int StatusBar::panelWidth(int index) const { return panels_.at(index)->width(); }

void StatusBar::setPanelWidth(int index, int width)
{
    // A panel narrower than nothing is no panel: the bar clamps it at 0.
    panels_.at(index)->setFixedWidth(std::max(0, width));
}

void StatusBar::setBackground(const QColor& color)
{
    // The desktop's text colour belongs to the desktop's own window colour: on a dark scheme it
    // is light, and would vanish on a theme's light bar.
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color);
    colors.setColor(QPalette::WindowText, inkOn(color));
    setPalette(colors);
}

void StatusBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace zorim
