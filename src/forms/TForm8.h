#pragma once
// TForm8: find. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

} // namespace zorim
