#pragma once
// TAboutBox: the about box. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace zorim
