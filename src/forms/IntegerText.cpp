#include "forms/IntegerText.h"

#include <algorithm>
#include <stdexcept>

namespace zorim {

int StrToInt(const QString& text)
{
    const QString digits = text.trimmed();
    bool ok = false;
    // Only a sign and decimal digits: no hexadecimal prefix, no group separators, no point.
    const bool plain = !digits.isEmpty()
                       && std::all_of(digits.begin() + ((digits[0] == u'+' || digits[0] == u'-') ? 1 : 0),
                                      digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int value = plain ? digits.toInt(&ok, 10) : 0;
    if (!ok)
        throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return value;
}

} // namespace zorim
