#include "richtext/document/ForeignFormats.h"

#include <array>

namespace zorim {
namespace {

uint32_t little16(QByteArrayView b, qsizetype at) { return uchar(b[at]) | uint32_t(uchar(b[at + 1])) << 8; }
uint32_t little32(QByteArrayView b, qsizetype at) { return little16(b, at) | little16(b, at + 2) << 16; }

// A ZIP container is named by what it holds: the OpenDocument "mimetype" entry, or the
// folder an Office Open XML document keeps its parts in. Every local header in the head is
// looked at, since the order of entries is the writer's choice.
QString zipKind(QByteArrayView head)
{
    static const std::array<std::pair<const char*, const char*>, 3> ooxml{
        {{"word/", "DOCX"}, {"xl/", "XLSX"}, {"ppt/", "PPTX"}}};
    static const std::array<std::pair<const char*, const char*>, 4> odf{
        {{"text", "ODT"}, {"spreadsheet", "ODS"}, {"presentation", "ODP"}, {"graphics", "ODG"}}};
    for (qsizetype at = head.indexOf("PK\x03\x04"); at >= 0 && at + 30 <= head.size();
         at = head.indexOf("PK\x03\x04", at + 4)) {
        const qsizetype nameLength = little16(head, at + 26);
        const qsizetype dataAt = at + 30 + nameLength + little16(head, at + 28);
        if (at + 30 + nameLength > head.size())
            break;
        const QByteArrayView name = head.sliced(at + 30, nameLength);
        for (const auto& [folder, kind] : ooxml)
            if (name.startsWith(folder))
                return QString::fromLatin1(kind);
        if (name == "mimetype" && dataAt < head.size()) {
            const QByteArrayView type = head.sliced(dataAt);
            if (type.startsWith("application/epub+zip"))
                return QStringLiteral("EPUB");
            constexpr QByteArrayView odfPrefix("application/vnd.oasis.opendocument.");
            if (type.startsWith(odfPrefix)) {
                for (const auto& [subtype, kind] : odf)
                    if (type.sliced(odfPrefix.size()).startsWith(subtype))
                        return QString::fromLatin1(kind);
                return QStringLiteral("ODF");
            }
        }
    }
    return QStringLiteral("ZIP");
}

// "BM" starts many a text; a bitmap also has its reserved words zero and a known header size.
bool isBitmap(QByteArrayView head)
{
    if (head.size() < 18 || !head.startsWith("BM") || little32(head, 6) != 0)
        return false;
    const uint32_t headerSize = little32(head, 14);
    return headerSize == 12 || headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
           headerSize == 124;
}

// "MZ" alone is a DOS program or a text; a Windows program has its "PE" header where the
// DOS header points.
bool isWindowsProgram(QByteArrayView head)
{
    if (head.size() < 0x40 || !head.startsWith("MZ"))
        return false;
    const uint32_t pe = little32(head, 0x3C);
    return pe <= uint32_t(head.size() - 4) && head.sliced(pe, 4) == QByteArrayView("PE\0\0", 4);
}

} // namespace

QString foreignFormat(QByteArrayView head)
{
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return zipKind(head);
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return QStringLiteral("DOC");
    if (head.startsWith("%PDF-"))
        return QStringLiteral("PDF");
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("PNG");
    if (head.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("JPEG");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QStringLiteral("GIF");
    if (head.startsWith(QByteArrayView("II*\0", 4)) || head.startsWith(QByteArrayView("MM\0*", 4)))
        return QStringLiteral("TIFF");
    if (head.size() >= 12 && head.startsWith("RIFF") && head.sliced(8, 4) == "WEBP")
        return QStringLiteral("WEBP");
    if (isBitmap(head))
        return QStringLiteral("BMP");
    if (head.startsWith("\x7F" "ELF"))
        return QStringLiteral("ELF");
    if (isWindowsProgram(head))
        return QStringLiteral("EXE");
    return {};
}

} // namespace zorim
