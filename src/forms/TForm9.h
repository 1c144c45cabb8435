#pragma once
// TForm9: document statistics. One instance, created at start-up, lives until the program ends.
#include <QDialog>

namespace zorim {

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

} // namespace zorim
