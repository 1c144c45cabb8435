#pragma once
// TForm6: the clipboard viewer. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
};

} // namespace zorim
