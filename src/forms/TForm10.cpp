#include "forms/TForm10.h"

namespace zorim {

TForm10::TForm10(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Vložiť hypertextový odkaz"));
}

} // namespace zorim
