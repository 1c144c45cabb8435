#pragma once
// The look every dialog window shares: a fixed-size tool window in the font "Verdana", group
// captions and buttons bold, the confirm button the default button. Sizes are pixels, as the
// window layouts give them; positions are inside the client area or the named parent.
#include <QFont>
#include <QRect>
#include <QString>

class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace zorim::dialog {

// Verdana with the given character height in pixels.
QFont verdana(int pixelHeight, bool bold = false, bool italic = false);

// Makes the dialog a fixed-size tool window with a close box whose outer size (frame and
// caption included) is about outerWidth x outerHeight, centred on the screen when shown.
void setUpToolWindow(QDialog& dialog, const QString& caption, int outerWidth, int outerHeight);

QGroupBox* groupBox(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight);
QPushButton* button(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight);
QLabel* label(QWidget* parent, const QRect& geometry, const QString& text, const QFont& font);
QLineEdit* edit(QWidget* parent, const QRect& geometry, const QString& text, int pixelHeight);
QRadioButton* radio(QWidget* parent, const QRect& geometry, const QString& caption, int pixelHeight);
// A thin sunken horizontal line.
QFrame* line(QWidget* parent, const QRect& geometry);

// The message shown when an installed data file cannot be read.
QString cannotOpenFile(const QString& path);

} // namespace zorim::dialog
