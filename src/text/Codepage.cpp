#include "Codepage.h"

#include "CodepageTables.h"

#include <array>
#include <unordered_map>

namespace zorim {
namespace {

const char16_t* tableFor(int codepage)
{
    switch (codepage) {
    case 874: return cptables::cp874;
    case 1250: return cptables::cp1250;
    case 1251: return cptables::cp1251;
    case 1252: return cptables::cp1252;
    case 1253: return cptables::cp1253;
    case 1254: return cptables::cp1254;
    case 1255: return cptables::cp1255;
    case 1256: return cptables::cp1256;
    case 1257: return cptables::cp1257;
    case 1258: return cptables::cp1258;
    default: return nullptr;
    }
}

char16_t upperHalfChar(const char16_t* table, int index)
{
    const char16_t ch = table[index];
    return ch == 0xFFFD ? char16_t(0x80 + index) : ch;
}

// Reverse maps are built once per page on first use.
const std::unordered_map<char16_t, unsigned char>& reverseMap(int codepage)
{
    static std::unordered_map<int, std::unordered_map<char16_t, unsigned char>> maps;
    auto it = maps.find(codepage);
    if (it != maps.end())
        return it->second;
    std::unordered_map<char16_t, unsigned char> map;
    const char16_t* table = tableFor(codepage);
    for (int i = 0; i < 128; ++i)
        map.emplace(upperHalfChar(table, i), static_cast<unsigned char>(0x80 + i));
    return maps.emplace(codepage, std::move(map)).first->second;
}

int knownOr1250(int codepage) { return tableFor(codepage) ? codepage : kCp1250; }

bool isValidUtf8WithMultibyte(const QByteArray& bytes)
{
    bool multibyte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
        else return false;
        if (i + extra >= n) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past the Unicode range are not UTF-8.
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        multibyte = true;
        i += extra + 1;
    }
    return multibyte;
}

} // namespace

bool isKnownCodepage(int codepage) { return tableFor(codepage) != nullptr; }

int codepageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 163: return 1258; // Vietnamese
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 204: return 1251; // Russian
    case 222: return 874;  // Thai
    case 238: return 1250; // Eastern European
    default: return 0;
    }
}

QString decodeCodepage(const QByteArray& bytes, int codepage)
{
    const char16_t* table = tableFor(knownOr1250(codepage));
    QString out;
    out.resize(bytes.size());
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = QChar(b < 0x80 ? char16_t(b) : upperHalfChar(table, b - 0x80));
    }
    return out;
}

int encodeCodepageChar(char16_t ch, int codepage)
{
    if (ch < 0x80)
        return ch;
    const auto& map = reverseMap(knownOr1250(codepage));
    auto it = map.find(ch);
    return it == map.end() ? -1 : it->second;
}

QByteArray encodeCodepage(const QString& text, int codepage, bool* lossless)
{
    const auto& map = reverseMap(knownOr1250(codepage));
    QByteArray out;
    out.resize(text.size());
    bool all = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < 0x80) {
            out[i] = char(ch);
            continue;
        }
        auto it = map.find(ch);
        if (it == map.end()) {
            out[i] = '?';
            all = false;
        } else {
            out[i] = char(it->second);
        }
    }
    if (lossless)
        *lossless = all;
    return out;
}

QString decodeTextDocument(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (isValidUtf8WithMultibyte(bytes))
        return QString::fromUtf8(bytes);
    return decodeCodepage(bytes, kCp1250);
}

QByteArray encodeTextDocument(const QString& text)
{
    bool lossless = true;
    QByteArray bytes = encodeCodepage(text, kCp1250, &lossless);
    if (lossless)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace zorim
