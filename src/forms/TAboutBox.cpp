#include "forms/TAboutBox.h"

namespace zorim {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("O programe"));
}

} // namespace zorim
