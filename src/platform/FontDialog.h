#pragma once
// The font dialog: Qt's own, with a colour choice in its effects beside underline and
// strikeout, so the dialog hands back the text's colour too.
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
};

} // namespace zorim
