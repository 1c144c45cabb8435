#include "forms/TForm3.h"

namespace zorim {

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Nastavenie programu"));
}

} // namespace zorim
