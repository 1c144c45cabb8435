#include "forms/TForm9.h"

namespace zorim {

TForm9::TForm9(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Štatistika dokumentu"));
}

} // namespace zorim
