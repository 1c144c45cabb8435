#pragma once
// TForm5: the help topics. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

} // namespace zorim
