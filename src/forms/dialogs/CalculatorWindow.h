#pragma once
// CalculatorWindow: a calculator window that the program carries but no command shows (the calculator
// command starts the desktop's own calculator). Both buttons only close it.
#include <QDialog>

class QDoubleSpinBox;
class QPushButton;

namespace zorim {

class CalculatorWindow : public QDialog {
    Q_OBJECT
public:
    explicit CalculatorWindow(QWidget* parent = nullptr);

    QDoubleSpinBox* CalcEdit1 = nullptr; // up to 10 decimal places
    QPushButton* Button1 = nullptr;      // "Vlož výsledok"
    QPushButton* Button2 = nullptr;      // "Storno"
};

} // namespace zorim
