#include "richtext/document/TextSlices.h"

#include <algorithm>
#include <string_view>

namespace zorim {

qsizetype textSliceEnd(const QByteArray& bytes, qsizetype from, qsizetype slice)
{
    const qsizetype n = bytes.size();
    qsizetype cut = std::min(n, from + std::max<qsizetype>(1, slice));
    if (cut >= n)
        return n;
    const size_t brk = std::string_view(bytes.constData() + from, size_t(cut - from)).find_last_of("\r\n");
    if (brk != std::string_view::npos) {
        cut = from + qsizetype(brk) + 1;
    } else {
        // A UTF-8 character has at most three bytes after its first: bytes that are no UTF-8
        // (a run of 0x80..0xBF in Windows-1250) do not shrink the slice to nothing.
        const qsizetype limit = std::max(from + 1, cut - 3);
        while (cut > limit && (uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;
    }
    if (bytes[cut - 1] == '\r' && cut < n && bytes[cut] == '\n')
        ++cut;
    return cut;
}

std::deque<QByteArray> cutIntoSlices(const QByteArray& bytes, qsizetype from)
{
    std::deque<QByteArray> parts;
    while (from < bytes.size()) {
        const qsizetype cut = textSliceEnd(bytes, from);
        parts.push_back(bytes.mid(from, cut - from));
        from = cut;
    }
    return parts;
}

void dropZeroBytes(QByteArray& bytes)
{
    if (bytes.contains('\0'))
        bytes.removeIf([](char c) { return c == '\0'; });
}

} // namespace zorim
