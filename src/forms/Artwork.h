#pragma once
// The pictures built into the windows, drawn when first asked for: the program picture of the
// about box, its hidden picture, the help window's picture and the sheet of paper that stands
// for the page orientation (the same sheet as the installed data/vyska.bmp and sirka.bmp).
#include <QPixmap>

namespace zorim::artwork {

QPixmap programPicture(int width, int height);
QPixmap hiddenPicture(int size);
QPixmap helpPicture(int width, int height);
QPixmap sheetPicture(bool landscape, int size);

} // namespace zorim::artwork
