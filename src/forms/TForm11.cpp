#include "forms/TForm11.h"

namespace zorim {

TForm11::TForm11(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Kalkulačka"));
}

} // namespace zorim
