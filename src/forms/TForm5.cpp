#include "forms/TForm5.h"

namespace zorim {

TForm5::TForm5(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ako pracovať s programom?"));
}

} // namespace zorim
