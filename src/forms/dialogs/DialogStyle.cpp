#include "forms/dialogs/DialogStyle.h"

#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zorim::dialog {

namespace {
// What a tool window's frame adds around its client area: the borders and the small caption.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 23;
} // namespace

QFont verdana(int pixelHeight, bool bold, bool italic)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setUpToolWindow(QDialog& dialog, const QString& caption, int outerWidth, int outerHeight)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(outerWidth - kFrameWidth, outerHeight - kFrameHeight);
    dialog.setFont(verdana(12));
    dialog.setModal(true);
}

QGroupBox* groupBox(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight)
{
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(geometry);
    box->setFont(verdana(pixelHeight, true));
    return box;
}

QPushButton* button(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(geometry);
    b->setFont(verdana(pixelHeight, true));
    return b;
}

QLabel* label(QWidget* parent, const QRect& geometry, const QString& text, const QFont& font)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

QLineEdit* edit(QWidget* parent, const QRect& geometry, const QString& text, int pixelHeight)
{
    auto* e = new QLineEdit(text, parent);
    e->setGeometry(geometry);
    e->setFont(verdana(pixelHeight));
    return e;
}

QRadioButton* radio(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight)
{
    auto* r = new QRadioButton(caption, parent);
    r->setGeometry(geometry);
    r->setFont(verdana(pixelHeight, true));
    return r;
}

QFrame* line(QWidget* parent, const QRect& geometry)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    f->setGeometry(geometry);
    return f;
}

QString cannotOpenFile(const QString& path) { return QStringLiteral("Cannot open file %1").arg(path); }

} // namespace zorim::dialog
