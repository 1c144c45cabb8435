#include "RtfNumbering.h"

#include "richtext/document/CharFormat.h"

#include <utility>

namespace zorim::rtf {
namespace {

QByteArray romanNumber(int n, bool upper)
{
    static const std::pair<int, const char*> parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                       {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"},
                                                       {5, "v"}, {4, "iv"}, {1, "i"}};
    QByteArray out;
    for (const auto& [value, text] : parts) {
        while (n >= value) {
            out += text;
            n -= value;
        }
    }
    return upper ? out.toUpper() : out;
}

QByteArray letterNumber(int n, bool upper)
{
    QByteArray out;
    while (n > 0) {
        --n;
        out.prepend(char((upper ? 'A' : 'a') + n % 26));
        n /= 26;
    }
    return out;
}

} // namespace

QByteArray numberLabel(uint16_t numbering, int n)
{
    switch (numbering) {
    case pfn::LowerAlpha: return letterNumber(n, false);
    case pfn::UpperAlpha: return letterNumber(n, true);
    case pfn::LowerRoman: return romanNumber(n, false);
    case pfn::UpperRoman: return romanNumber(n, true);
    default: return QByteArray::number(n);
    }
}

const char* numberingWord(uint16_t numbering)
{
    switch (numbering) {
    case pfn::LowerAlpha: return "\\pnlcltr";
    case pfn::UpperAlpha: return "\\pnucltr";
    case pfn::LowerRoman: return "\\pnlcrm";
    case pfn::UpperRoman: return "\\pnucrm";
    default: return "\\pndec";
    }
}

} // namespace zorim::rtf
