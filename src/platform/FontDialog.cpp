#include "platform/FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cstdlib>

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

// A family as the font database lists it, without the foundry it names in brackets when
// several foundries make it ("C059 [UKWN]").
QString familyOf(const QFont& font)
{
    QString family = font.family();
    const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
    if (bracket > 0 && family.endsWith(u']'))
        family.truncate(bracket);
    return family;
}

// The font as the dialog can show it. A face that is not installed is shown as the face the
// text is drawn in, not as the list's first face or the desktop's; the style is the face's own
// of that slant nearest the weight, since the dialog only finds a style by its name and takes
// the list's first otherwise ("Bold Italic" for plain text).
QFont showable(const QFont& font)
{
    QFont shown = font;
    if (!QFontDatabase::hasFamily(font.family()))
        shown.setFamily(QFontInfo(font).family());
    const QString family = shown.family();
    QString best;
    int distance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        if ((QFontDatabase::font(family, style, 12).style() != QFont::StyleNormal) != font.italic())
            continue;
        const int d = std::abs(QFontDatabase::weight(family, style) - font.weight());
        if (best.isEmpty() || d < distance) {
            best = style;
            distance = d;
        }
    }
    if (!best.isEmpty())
        shown.setStyleName(best);
    return shown;
}

} // namespace

FontDialog::FontDialog(const FontChoice& initial, QWidget* parent) : QFontDialog(parent), given_(initial.font)
{
    // Qt's own dialog, not the desktop's: it speaks the program's language and has room for
    // the colour.
    setOption(QFontDialog::DontUseNativeDialog);
    setCurrentFont(showable(initial.font));
    shown_ = currentFont();

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

// Face, size and style each come back as given unless the user chose another; underline and
// strikeout are the boxes, which opened on the given font's.
FontChoice FontDialog::choice() const
{
    const QFont now = currentFont();
    QFont font = given_;
    if (familyOf(now) != familyOf(shown_))
        font.setFamily(familyOf(now));
    if (now.pointSizeF() != shown_.pointSizeF())
        font.setPointSizeF(now.pointSizeF());
    if (now.weight() != shown_.weight() || now.italic() != shown_.italic()) {
        font.setWeight(now.weight());
        font.setItalic(now.italic());
    }
    font.setUnderline(now.underline());
    font.setStrikeOut(now.strikeOut());
    return {font, colorBox_->currentData().value<QColor>()};
}

} // namespace zorim
