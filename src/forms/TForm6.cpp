#include "forms/TForm6.h"

namespace zorim {

TForm6::TForm6(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Obsah schránky"));
}

} // namespace zorim
