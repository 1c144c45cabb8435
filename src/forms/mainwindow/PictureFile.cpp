#include "forms/mainwindow/PictureFile.h"

#include "richtext/rtf/Rtf.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>

#include <climits>
#include <cstdlib>

namespace zorim {
namespace {

struct PictureType {
    const char* extension;
    const char* reader;   // Qt's reader; nullptr: not read through Qt
    const char* invalid;  // the message for a damaged file
};

// In the order the dialog lists them.
constexpr PictureType kTypes[] = {
    {"bmp", "bmp", "Bitmap image is not valid"},
    {"jpg", nullptr, nullptr}, // libjpeg's own message
    {"jpeg", nullptr, nullptr},
    {"png", "png", "PNG image is not valid"},
    {"gif", "gif", "GIF image is not valid"},
    {"ico", "ico", "Icon image is not valid"},
    {"emf", nullptr, "Metafile is not valid"},
    {"wmf", nullptr, "Metafile is not valid"},
};

constexpr const char* kFilterNames[] = {"Bitmapy", "Obrázky JPEG", "Obrázky JPEG", "Obrázky PNG", "Obrázky GIF",
                                        "Ikony", "Rozšírené metasúbory", "Metasúbory"};

const PictureType* typeFor(const QString& extension)
{
    const QString ext = extension.toLower();
    for (const PictureType& type : kTypes)
        if (ext == QLatin1String(type.extension))
            return &type;
    return nullptr;
}

[[noreturn]] void refuse(const char* message) { throw PictureFileError(QString::fromUtf8(message)); }

[[noreturn]] void tooLarge(QSize size)
{
    throw PictureFileError(QStringLiteral("Obrázok je príliš veľký (%1 × %2 bodov).").arg(size.width()).arg(size.height()));
}

bool fits(QSize size) { return int64_t(size.width()) * size.height() <= kMaxInsertPixels; }

uint32_t le32(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A bitmap file whose header places or sizes the pixels beyond the file lies about itself;
// Qt's reader would fill the gap with whatever it finds.
bool bitmapFits(const QByteArray& b)
{
    if (!b.startsWith("BM") || b.size() < 26)
        return false;
    const int64_t offBits = le32(b, 10);
    const uint32_t headerSize = le32(b, 14);
    if (offBits < 14 + int64_t(headerSize) || offBits > b.size())
        return false;
    if (headerSize < 40)
        return true; // the old header: Qt checks what little it says
    const int64_t w = int32_t(le32(b, 18));
    const int64_t h = int32_t(le32(b, 22));
    const int bpp = uint8_t(b[28]) | uint8_t(b[29]) << 8;
    const uint32_t compression = le32(b, 30);
    if (w <= 0 || h == 0 || bpp <= 0 || bpp > 32)
        return false;
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const int64_t stride = (w * bpp + 31) / 32 * 4;
    return offBits + stride * (h < 0 ? -h : h) <= b.size();
}

// Reads through Qt after checking the size the file declares; the allocation limit guards
// against a header that lies about it.
QImage readWithQt(const QByteArray& bytes, const PictureType& type)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, type.reader);
    if (qstrcmp(type.reader, "bmp") == 0) {
        // The size first, from the header itself: a huge bitmap is refused as too large
        // whether its pixels are there or not.
        if (le32(bytes, 14) >= 40) {
            const int64_t w = int32_t(le32(bytes, 18));
            const int64_t h = std::abs(int64_t(int32_t(le32(bytes, 22))));
            if (w > 0 && w * h > kMaxInsertPixels)
                tooLarge(QSize(int(std::min<int64_t>(w, INT_MAX)), int(std::min<int64_t>(h, INT_MAX))));
        }
        if (!bitmapFits(bytes))
            refuse(type.invalid);
    }
    reader.setAutoTransform(false);
    reader.setAllocationLimit(int(kMaxInsertPixels * 4 / (1 << 20)) + 1);
    const int count = reader.imageCount();
    if (qstrcmp(type.reader, "ico") == 0 && count <= 0)
        refuse(type.invalid);
    // An icon holds several sizes: the largest is the picture.
    QImage best;
    const int images = qstrcmp(type.reader, "ico") == 0 ? std::min(count, 64) : 1;
    for (int i = 0; i < images; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QSize declared = reader.size();
        if (declared.isValid() && !fits(declared))
            tooLarge(declared);
        QImage image = reader.read();
        if (!image.isNull() && int64_t(image.width()) * image.height() > int64_t(best.width()) * best.height())
            best = std::move(image);
    }
    if (best.isNull())
        refuse(type.invalid);
    return best;
}

PictureFile loadJpeg(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8\xFF")) {
        if (const auto header = pictureFromFileData(bytes); header && !fits(QSize(header->width, header->height)))
            tooLarge(QSize(header->width, header->height));
    }
    QString message;
    QImage image = decodeJpeg(bytes, {}, nullptr, &message);
    if (!message.isEmpty())
        throw PictureFileError(message);
    auto picture = pictureFromFileData(bytes);
    if (image.isNull() || !picture)
        throw PictureFileError(QStringLiteral("Not a JPEG file"));
    return {*picture, image};
}

PictureFile loadMetafile(const QByteArray& bytes, const PictureType& type)
{
    auto picture = pictureFromFileData(bytes);
    if (!picture || (picture->kind != PictureKind::Wmf && picture->kind != PictureKind::Emf))
        refuse(type.invalid);
    // The records must fit the file: the header's size in 16-bit words (WMF) or bytes (EMF).
    const QByteArray& d = picture->data;
    auto le32 = [&d](int at) {
        const auto* p = reinterpret_cast<const unsigned char*>(d.constData() + at);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    if (picture->kind == PictureKind::Wmf) {
        if (d.size() < 18 || (d[0] != 1 && d[0] != 2) || d[2] != 9 || int64_t(le32(6)) * 2 > d.size())
            refuse(type.invalid);
    } else if (le32(48) > uint32_t(d.size()) || le32(48) < 88) {
        refuse(type.invalid);
    }
    return {*picture, {}};
}

} // namespace

QString pictureDialogFilter()
{
    QStringList all;
    for (const PictureType& type : kTypes)
        all << QStringLiteral("*.") + QLatin1String(type.extension);
    QString filter = QStringLiteral("Všetky obrázky|") + all.join(QLatin1Char(';'));
    for (size_t i = 0; i < std::size(kTypes); ++i)
        filter += QStringLiteral("|%1|*.%2").arg(QString::fromUtf8(kFilterNames[i]), QLatin1String(kTypes[i].extension));
    return filter;
}

PictureFile loadPictureData(const QByteArray& bytes, const QString& extension)
{
    const PictureType* type = typeFor(extension);
    if (!type)
        throw PictureFileError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
    if (!type->reader && !type->invalid)
        return loadJpeg(bytes);
    if (!type->reader)
        return loadMetafile(bytes, *type);
    PictureFile file;
    file.image = readWithQt(bytes, *type);
    // PNG keeps its own bytes; the other bitmaps are kept as they decoded.
    if (qstrcmp(type->reader, "png") == 0)
        if (auto picture = pictureFromFileData(bytes))
            file.picture = *picture;
    if (file.picture.data.isEmpty())
        file.picture = pictureFromImage(file.image);
    return file;
}

PictureFile loadPictureFile(const QString& path)
{
    const QFileInfo info(path);
    const QString extension = info.suffix();
    if (!typeFor(extension))
        throw PictureFileError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw PictureFileError(QStringLiteral("Cannot open file %1").arg(path));
    if (file.size() > kMaxPictureFileBytes)
        throw PictureFileError(QStringLiteral("Obrázok je príliš veľký (%1 MB).").arg(file.size() >> 20));
    return loadPictureData(file.readAll(), extension);
}

QByteArray oneCharacterRtf(const std::function<void(QTextCursor&)>& insert)
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    insert(cursor);
    // A character after it keeps the range short of the document's end, which would close
    // the range with a paragraph mark.
    cursor.insertText(QStringLiteral(" "));
    return writeRtf(doc, 0, doc.characterCount() - 2);
}

QByteArray pictureRtf(const Picture& picture)
{
    return oneCharacterRtf([&picture](QTextCursor& cursor) { insertPicture(cursor, picture); });
}

} // namespace zorim
