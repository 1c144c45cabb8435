#include "Codepage.h"

#include "CodepageTables.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <map>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include <iconv.h>

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

// Pages the C library converts for us, by the name its iconv knows them by.
const char* iconvName(int codepage)
{
    switch (codepage) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 866: return "CP866";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS"; // Mac Japanese: Shift JIS with a few Mac additions
    case 10006: return "MAC-GREEK"; // only where the C library has it
    case 10007: return "MAC-CYRILLIC";
    case 10029: return "MAC-CENTRALEUROPE";
    default: return nullptr;
    }
}

// Converts one sequence of one or two bytes; the character, or 0 with why it failed.
struct Converted {
    char32_t ch = 0;
    bool incomplete = false; // a lead byte waiting for its second byte
};

Converted convert(iconv_t cd, const unsigned char* bytes, size_t n)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2] = {char(bytes[0]), n > 1 ? char(bytes[1]) : '\0'};
    char32_t out[2] = {0, 0};
    char* inp = in;
    size_t inLeft = n;
    char* outp = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    Converted c;
    if (r == size_t(-1)) {
        c.incomplete = errno == EINVAL;
        return c;
    }
    // The whole sequence must make exactly one character.
    if (inLeft == 0 && outLeft == sizeof out - sizeof(char32_t))
        c.ch = out[0];
    return c;
}

char16_t upperHalfChar(const char16_t* table, int index)
{
    const char16_t ch = table[index];
    return ch == 0xFFFD ? char16_t(0x80 + index) : ch;
}


std::unique_ptr<CodepageTable> buildTable(int codepage)
{
    auto t = std::make_unique<CodepageTable>();
    t->codepage = codepage;
    t->leadIndex.fill(-1);
    for (int b = 0; b < 0x80; ++b)
        t->single[size_t(b)] = char16_t(b);
    if (const char16_t* table = tableFor(codepage)) {
        for (int i = 0; i < 128; ++i)
            t->single[size_t(0x80 + i)] = upperHalfChar(table, i);
        return t;
    }
    const iconv_t cd = iconv_open("UTF-32LE", iconvName(codepage));
    if (cd == iconv_t(-1))
        return nullptr;
    std::vector<unsigned char> leads;
    std::vector<unsigned char> undefined;
    for (int b = 0x80; b < 0x100; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        const Converted c = convert(cd, &byte, 1);
        if (c.incomplete) {
            t->leadIndex[size_t(b)] = int16_t(leads.size());
            leads.push_back(byte);
        } else if (c.ch && c.ch <= 0xFFFF) {
            t->single[size_t(b)] = char16_t(c.ch);
        } else {
            t->single[size_t(b)] = char16_t(b);
            undefined.push_back(byte);
        }
    }
    // In a double-byte page an undefined single byte is no Latin-1 letter: it is as undefined
    // as a pair the page leaves out, and no character is written as it.
    if (!leads.empty()) {
        for (const unsigned char b : undefined)
            t->single[b] = 0xFFFD;
    }
    t->pairs.assign(leads.size() * 256, 0xFFFD);
    for (size_t l = 0; l < leads.size(); ++l) {
        for (int trail = 0x20; trail < 0x100; ++trail) {
            const unsigned char two[2] = {leads[l], static_cast<unsigned char>(trail)};
            const Converted c = convert(cd, two, 2);
            if (c.ch)
                t->pairs[l * 256 + size_t(trail)] = c.ch;
        }
    }
    iconv_close(cd);
    return t;
}

// Built tables live for the run; the lock makes first use safe from any thread.
const CodepageTable* findTable(int codepage)
{
    static std::mutex lock;
    static std::map<int, std::unique_ptr<CodepageTable>> tables;
    const std::lock_guard guard(lock);
    if (!tableFor(codepage) && !iconvName(codepage))
        return nullptr;
    auto it = tables.find(codepage);
    if (it == tables.end())
        it = tables.emplace(codepage, buildTable(codepage)).first;
    return it->second.get();
}

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

namespace {

// Reverse maps are built once per page on first use; a double-byte page maps its single
// bytes only.
const std::unordered_map<char16_t, unsigned char>& reverseMap(int codepage)
{
    // Writers ask once a character, nearly always for the page they asked for last.
    thread_local int lastPage = 0;
    thread_local const std::unordered_map<char16_t, unsigned char>* last = nullptr;
    if (last && codepage == lastPage)
        return *last;
    static std::mutex lock;
    static std::unordered_map<int, std::unordered_map<char16_t, unsigned char>> maps;
    const CodepageTable& table = codepageTable(codepage);
    const std::lock_guard guard(lock);
    auto it = maps.find(table.codepage);
    if (it != maps.end()) {
        lastPage = codepage;
        last = &it->second;
        return it->second;
    }
    std::unordered_map<char16_t, unsigned char> map;
    for (int b = 0x80; b < 0x100; ++b) {
        if (!table.isLead(static_cast<unsigned char>(b)) && table.single[size_t(b)] != 0xFFFD)
            map.emplace(table.single[size_t(b)], static_cast<unsigned char>(b));
    }
    lastPage = codepage;
    last = &maps.emplace(table.codepage, std::move(map)).first->second;
    return *last;
}

} // namespace

bool isKnownCodepage(int codepage) { return tableFor(codepage) != nullptr || findTable(codepage) != nullptr; }

const CodepageTable& codepageTable(int codepage)
{
    if (const CodepageTable* t = findTable(codepage))
        return *t;
    return *findTable(kCp1250);
}

int codepageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 77: return 10000; // Mac Roman
    case 78: return 10001; // Mac Japanese
    case 85: return 10006; // Mac Greek (where the C library has it)
    case 88: return 10029; // Mac Central European
    case 89: return 10007; // Mac Cyrillic
    case 128: return 932;  // Japanese (Shift JIS)
    case 129: return 949;  // Korean (Unified Hangul)
    case 130: return 1361; // Korean (Johab)
    case 134: return 936;  // Simplified Chinese (GBK)
    case 136: return 950;  // Traditional Chinese (Big5)
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 163: return 1258; // Vietnamese
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 204: return 1251; // Russian
    case 222: return 874;  // Thai
    case 238: return 1250; // Eastern European
    case 254: return 437;  // PC 437
    case 255: return 850;  // OEM: the DOS Latin page
    default: return 0;
    }
}

QString decodeCodepage(const QByteArray& bytes, int codepage)
{
    if (!tableFor(codepage)) {
        const CodepageTable& t = codepageTable(codepage);
        QString out;
        out.reserve(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (!t.isLead(b)) {
                out += QChar(t.single[b]);
                continue;
            }
            if (i + 1 >= bytes.size()) {
                out += QChar(QChar::ReplacementCharacter);
                break;
            }
            const auto trail = static_cast<unsigned char>(bytes[++i]);
            const char32_t ch = t.pair(b, trail);
            if (ch == 0xFFFD && trail < 0x80) {
                // Not a pair after all: the lead byte is lost, the ASCII byte after it is not.
                out += QChar(QChar::ReplacementCharacter);
                out += QChar(trail);
            } else {
                out += QString::fromUcs4(&ch, 1);
            }
        }
        return out;
    }
    const char16_t* table = tableFor(codepage);
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
    const auto& map = reverseMap(codepage);
    auto it = map.find(ch);
    return it == map.end() ? -1 : it->second;
}

QByteArray encodeCodepage(const QString& text, int codepage, bool* lossless)
{
    const auto& map = reverseMap(codepage);
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

TextDocumentEncoding textDocumentEncoding(const QByteArray& bytes, qsizetype* bomLength)
{
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bomLength)
        *bomLength = bom ? 3 : 0;
    return bom || isValidUtf8WithMultibyte(bytes) ? TextDocumentEncoding::Utf8 : TextDocumentEncoding::Cp1250;
}

QString decodeTextDocumentPart(const char* bytes, qsizetype size, TextDocumentEncoding encoding)
{
    if (encoding == TextDocumentEncoding::Utf8) {
        // A mark at the part's start is a character of the text (a zero-width no-break space):
        // the file's own mark is taken off before, and a part may start anywhere in the file.
        // Stateless: a cut sequence at its end is a replacement character, not held back.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
        return decoder.decode(QByteArrayView(bytes, size));
    }
    return decodeCodepage(QByteArray::fromRawData(bytes, size), kCp1250);
}

QString decodeTextDocument(const QByteArray& bytes)
{
    qsizetype bom = 0;
    const TextDocumentEncoding encoding = textDocumentEncoding(bytes, &bom);
    return decodeTextDocumentPart(bytes.constData() + bom, bytes.size() - bom, encoding);
}

QByteArray encodeTextDocument(const QString& text)
{
    bool lossless = true;
    QByteArray bytes = encodeCodepage(text, kCp1250, &lossless);
    if (lossless)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

TextDocumentForm textDocumentForm(const QByteArray& bytes)
{
    TextDocumentForm form;
    const std::string_view all(bytes.constData(), size_t(bytes.size()));
    const size_t brk = all.find_first_of("\r\n");
    if (brk != std::string_view::npos)
        form.lineEnd = all[brk] == '\n' ? QStringLiteral("\n")
                       : all.substr(brk, 2) == "\r\n" ? QStringLiteral("\r\n")
                                                     : QStringLiteral("\r");
    qsizetype bom = 0;
    if (textDocumentEncoding(bytes, &bom) == TextDocumentEncoding::Utf8) {
        form.encoding = TextDocumentForm::Encoding::Utf8;
        form.byteOrderMark = bom > 0;
    } else if (form.lineEnd == QLatin1String("\n") &&
               std::none_of(all.begin(), all.end(), [](char c) { return uchar(c) >= 0x80; })) {
        form.encoding = TextDocumentForm::Encoding::Utf8;
    }
    return form;
}

QByteArray encodeTextDocument(QString text, const TextDocumentForm& form)
{
    if (form.lineEnd != QLatin1String("\r\n"))
        text.replace(QLatin1String("\r\n"), form.lineEnd);
    if (form.encoding == TextDocumentForm::Encoding::Utf8)
        return (form.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    return encodeTextDocument(text);
}

} // namespace zorim
