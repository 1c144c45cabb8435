#include "platform/FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace zorim {
namespace {

// The sixteen colours a word processor's font dialog offers, in its order.
struct NamedColor {
    const char* name; // UTF-8
    QRgb rgb;
};
constexpr NamedColor kColors[] = {
    {"Čierna", 0x000000},     {"Gaštanová", 0x800000}, {"Zelená", 0x008000},   {"Olivová", 0x808000},
    {"Tmavomodrá", 0x000080}, {"Fialová", 0x800080},   {"Modrozelená", 0x008080}, {"Sivá", 0x808080},
    {"Strieborná", 0xC0C0C0}, {"Červená", 0xFF0000},   {"Žltozelená", 0x00FF00}, {"Žltá", 0xFFFF00},
    {"Modrá", 0x0000FF},      {"Purpurová", 0xFF00FF}, {"Azúrová", 0x00FFFF},    {"Biela", 0xFFFFFF},
};

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    if (color.isValid())
        painter.setBrush(color);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(pixmap);
}

} // namespace

FontDialog::FontDialog(const FontChoice& initial, QWidget* parent) : QFontDialog(parent)
{
    // Qt's own dialog, not the desktop's: it speaks the program's language and has room for
    // the colour.
    setOption(QFontDialog::DontUseNativeDialog);
    setCurrentFont(initial.font);

    colorBox_ = new QComboBox(this);
    colorBox_->setObjectName(QStringLiteral("colorBox"));
    colorBox_->addItem(swatch(QColor()), QStringLiteral("Automatická"), QColor());
    for (const NamedColor& c : kColors)
        colorBox_->addItem(swatch(QColor(c.rgb)), QString::fromUtf8(c.name), QColor(c.rgb));
    int index = colorBox_->findData(initial.color);
    if (index < 0) {
        // A colour of the text that is none of the sixteen stays offered as it is.
        colorBox_->addItem(swatch(initial.color), QStringLiteral("Vlastná (%1)").arg(initial.color.name()), initial.color);
        index = colorBox_->count() - 1;
    }
    colorBox_->setCurrentIndex(index);
    auto* label = new QLabel(QStringLiteral("&Farba:"), this);
    label->setBuddy(colorBox_);
    colorBox_->setAccessibleName(QStringLiteral("Farba"));

    // The effects group holds the underline and strikeout boxes; the colour goes under them.
    QGroupBox* effects = nullptr;
    for (QGroupBox* group : findChildren<QGroupBox*>())
        if (!effects && !group->findChildren<QCheckBox*>().isEmpty())
            effects = group;
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(colorBox_, 1);
    if (effects && effects->layout()) {
        label->setParent(effects);
        colorBox_->setParent(effects);
        if (auto* box = qobject_cast<QBoxLayout*>(effects->layout()))
            box->addLayout(row);
    } else if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addLayout(row, grid->rowCount(), 0, 1, -1);
    }
}

FontChoice FontDialog::choice() const
{
    return {currentFont(), colorBox_->currentData().value<QColor>()};
}

} // namespace zorim
