#include "forms/TForm8.h"

namespace zorim {

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Hľadať text"));
}

} // namespace zorim
