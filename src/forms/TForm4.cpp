#include "forms/TForm4.h"

namespace zorim {

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Riadok"));
}

} // namespace zorim
