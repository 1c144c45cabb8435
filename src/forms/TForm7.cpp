#include "forms/TForm7.h"

namespace zorim {

TForm7::TForm7(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nahradiť text"));
}

} // namespace zorim
