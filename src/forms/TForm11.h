#pragma once
// TForm11: the calculator window, never shown. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

} // namespace zorim
