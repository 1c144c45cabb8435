#pragma once
// TForm3: page setup. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace zorim
