#pragma once
// Whole numbers typed by the user: a plain decimal conversion whose failure names the text.
#include <QString>

namespace zorim {

// The text as a decimal integer: digits with an optional sign, blanks around them allowed.
// Anything else, and a number beyond the range of int, throws with the message
// "'<text>' is not a valid integer value".
int StrToInt(const QString& text);

} // namespace zorim
