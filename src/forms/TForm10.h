#pragma once
// TForm10: insert a link. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};

} // namespace zorim
