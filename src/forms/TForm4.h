#pragma once
// TForm4: go to line. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

} // namespace zorim
