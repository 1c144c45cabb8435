#pragma once
// TForm7: replace. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

} // namespace zorim
