#include "text/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

namespace zorim {
namespace {

constexpr char16_t kEscapeBase = 0xDC80; // U+DC80..U+DCFF stand for the bytes 0x80..0xFF

// The length of the UTF-8 character at p (at most n bytes there), 0 when none starts there.
int utf8Length(const uchar* p, qsizetype n, char32_t* code)
{
    const uchar b = p[0];
    int len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b < 0x80) {
        *code = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        len = 2, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, c = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    // Over-long forms, surrogates and what lies beyond Unicode are no characters.
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *code = c;
    return len;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        char32_t code = 0;
        const int len = utf8Length(p + i, n - i, &code);
        if (len == 0) {
            out += QChar(char16_t(kEscapeBase + (p[i] & 0x7F)));
            ++i;
            continue;
        }
        out += QChar::fromUcs4(code);
        i += len;
    }
    return out;
}

QByteArray fileNameBytes(const QString& name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype from = 0; // start of the run of ordinary characters not yet written
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        const bool pairedLow = i > 0 && name[i - 1].isHighSurrogate();
        if (u < kEscapeBase || u > 0xDCFF || pairedLow)
            continue;
        out += QStringView(name).mid(from, i - from).toUtf8();
        out += char(0x80 | (u - kEscapeBase));
        from = i + 1;
    }
    out += QStringView(name).mid(from).toUtf8();
    return out;
}

QString existingFileName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (!path.mid(slash + 1).contains(QChar::ReplacementCharacter) || isPlainFile(path))
        return path;
    const QString folder = path.left(slash + 1);
    const QString shown = path.mid(slash + 1);
    DIR* dir = ::opendir(folder.isEmpty() ? "." : fileNameBytes(folder).constData());
    if (!dir)
        return path;
    QString found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        // Shown as the dialog shows it: each undecodable stretch as U+FFFD.
        if (QString::fromUtf8(bytes) == shown) {
            found = fileNameFromBytes(bytes);
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? folder + found : path;
}

bool isPlainFile(const QString& path)
{
    struct stat st;
    return ::stat(fileNameBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString& path)
{
    struct stat st;
    return ::stat(fileNameBytes(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QStringList folderEntries(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(folder.isEmpty() ? "." : fileNameBytes(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView bytes(entry->d_name);
        if (bytes != "." && bytes != "..")
            names << fileNameFromBytes(bytes);
    }
    ::closedir(dir);
    return names;
}

} // namespace zorim
