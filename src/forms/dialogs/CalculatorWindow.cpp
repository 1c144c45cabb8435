#include "forms/dialogs/CalculatorWindow.h"

#include "forms/dialogs/DialogStyle.h"

#include <QDoubleSpinBox>
#include <QPushButton>

#include <limits>

namespace zorim {

CalculatorWindow::CalculatorWindow(QWidget* parent) : QDialog(parent)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Kalkulačka"), 295, 120);
    CalcEdit1 = new QDoubleSpinBox(this);
    CalcEdit1->setGeometry(8, 8, 273, 24);
    CalcEdit1->setFont(dialog::verdana(12));
    CalcEdit1->setDecimals(10);
    CalcEdit1->setRange(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    CalcEdit1->setButtonSymbols(QAbstractSpinBox::NoButtons);
    Button1 = dialog::button(this, {8, 64, 185, 25}, QStringLiteral("Vlož výsledok"), 16);
    Button2 = dialog::button(this, {200, 64, 81, 25}, QStringLiteral("Storno"), 16);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace zorim
