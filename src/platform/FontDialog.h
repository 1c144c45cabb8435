#pragma once
// The font dialog: Qt's own, with a colour choice in its effects beside underline and
// strikeout, so the dialog hands back the text's colour too. It opens on the given font (a face
// that is not installed shows as the face the text is drawn in) and hands back what the user
// left as it was shown exactly as it was given.
#include "platform/Platform.h"

#include <QFontDialog>

class QComboBox;

namespace zorim {

class FontDialog : public QFontDialog {
    Q_OBJECT
public:
    // An invalid colour in the choice is the automatic colour.
    explicit FontDialog(const FontChoice& initial, QWidget* parent = nullptr);

    FontChoice choice() const;
    QComboBox* colorBox() const { return colorBox_; }

private:
    QComboBox* colorBox_ = nullptr;
    QFont given_; // the font the dialog was opened on
    QFont shown_; // that font as the dialog shows it
};

} // namespace zorim
