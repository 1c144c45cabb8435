#include "Picture.h"
#include "PictureLimits.h"

#include "richtext/document/DocFormats.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace zorim {
namespace {

using picture::plausiblePixels;
using picture::reductionFor;

uint32_t le32(const QByteArray& b, qsizetype at)
{
    if (at + 4 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t le16(const QByteArray& b, qsizetype at)
{
    if (at + 2 > b.size())
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return uint16_t(p[0] | p[1] << 8);
}

void putLe32(QByteArray& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

bool isPng(const QByteArray& b) { return b.startsWith("\x89PNG\r\n\x1a\n"); }
bool isJpeg(const QByteArray& b) { return b.startsWith("\xFF\xD8\xFF"); }

uint32_t be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }


// The PNG with only the chunks that make the image, each of a length the data holds. A chunk
// declaring more bytes than are left ends the walk (what came before is decoded, if it makes
// an image); text, profiles and private chunks are left out, since the decoder would allocate
// their declared size before reading them. The picture's own bytes are kept unchanged; this is
// only what is handed to the decoder.
QByteArray pngForDecoding(const QByteArray& png)
{
    static constexpr const char* kept[] = {"IHDR", "PLTE", "tRNS", "gAMA", "cHRM", "sRGB", "pHYs", "IDAT"};
    const auto* p = reinterpret_cast<const unsigned char*>(png.constData());
    const qsizetype n = png.size();
    QByteArray out = png.left(8);
    bool header = false, data = false;
    for (qsizetype at = 8; at + 12 <= n;) {
        const uint32_t length = be32(p + at);
        if (length > uint32_t(n - at - 12))
            break;
        const char* type = png.constData() + at + 4;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
        for (const char* k : kept) {
            if (std::memcmp(type, k, 4) == 0) {
                if (std::memcmp(type, "IHDR", 4) == 0) {
                    if (header)
                        break;
                    header = true;
                }
                data = data || std::memcmp(type, "IDAT", 4) == 0;
                out.append(png.constData() + at, qsizetype(length) + 12);
                break;
            }
        }
        at += qsizetype(length) + 12;
    }
    if (!header || !data)
        return {};
    out.append("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    return out;
}

int32_t clampTwips(int64_t v) { return int32_t(std::clamp<int64_t>(v, 15, kMaxPictureTwips)); }


// ---- Device-independent bitmaps ----------------------------------------------------------

struct DibInfo {
    QSize size;
    uint32_t offBits = 0; // offset of the bits when a file header is put before the data
};

std::optional<DibInfo> dibInfo(const QByteArray& dib)
{
    const uint32_t headerSize = le32(dib, 0);
    DibInfo info;
    int64_t w = 0, h = 0;
    int bpp = 0;
    int64_t colors = 0;
    int entry = 4;
    if (headerSize == 12) {
        w = le16(dib, 4);
        h = le16(dib, 6);
        bpp = le16(dib, 10);
        colors = bpp <= 8 ? (int64_t(1) << bpp) : 0;
        entry = 3;
    } else if (headerSize >= 40 && headerSize <= 1024 && headerSize <= uint32_t(dib.size())) {
        w = int32_t(le32(dib, 4));
        h = int32_t(le32(dib, 8));
        bpp = le16(dib, 14);
        const uint32_t compression = le32(dib, 16);
        const uint32_t used = le32(dib, 32);
        colors = used ? std::min<int64_t>(used, 256) : (bpp <= 8 ? (int64_t(1) << bpp) : 0);
        if (headerSize == 40 && (compression == 3 || compression == 6))
            colors += compression == 3 ? 3 : 4; // colour masks after the header
    } else {
        return std::nullopt;
    }
    h = h < 0 ? -h : h;
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535 || bpp == 0 || bpp > 32)
        return std::nullopt;
    info.size = QSize(int(w), int(h));
    info.offBits = uint32_t(std::min<int64_t>(14 + headerSize + colors * entry, 14 + dib.size()));
    return info;
}

QImage decodeDib(const QByteArray& dib, QSize maxSize, PictureBudget* budget)
{
    const auto info = dibInfo(dib);
    if (!info)
        return {};
    const int64_t pixels = int64_t(info->size.width()) * info->size.height();
    if (!plausiblePixels(pixels, dib.size()) || (budget && !budget->take(pixels)))
        return {};
    QByteArray file("BM");
    putLe32(file, uint32_t(14 + dib.size()));
    putLe32(file, 0);
    putLe32(file, info->offBits);
    file.append(dib);
    QImage image;
    if (!image.loadFromData(file, "BMP"))
        return {};
    if (!maxSize.isEmpty() && (image.width() > 2 * maxSize.width() || image.height() > 2 * maxSize.height()))
        image = image.scaled(maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage decodeWithQt(const QByteArray& bytes, const char* format, QSize maxSize, PictureBudget* budget)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    const QSize natural = reader.size();
    if (natural.isEmpty() || !plausiblePixels(int64_t(natural.width()) * natural.height(), bytes.size()))
        return {};
    QSize target = natural;
    if (!maxSize.isEmpty() && (natural.width() > 2 * maxSize.width() || natural.height() > 2 * maxSize.height()))
        target = natural.scaled(maxSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (budget && !budget->take(int64_t(natural.width()) * natural.height()))
        return {};
    if (target != natural)
        reader.setScaledSize(target);
    return reader.read();
}

// ---- Placeholders -----------------------------------------------------------------------

QImage placeholder(QSize px, const QString& label)
{
    // Shown at the picture's size by the layout; the image itself stays small, and pictures
    // of one size share it.
    QSize size = px.expandedTo(QSize(8, 8));
    if (size.width() > 256 || size.height() > 256)
        size = size.scaled(256, 256, Qt::KeepAspectRatio).expandedTo(QSize(8, 8));
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1x%2 %3").arg(size.width()).arg(size.height()).arg(label);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF4, 0xF4));
    {
        QPainter p(&image);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(0, 0, size.width() - 1, size.height() - 1);
        if (size.width() >= 24 && size.height() >= 12)
            p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, label);
    }
    if (cache.size() > 64)
        cache.clear();
    cache.insert(key, image);
    return image;
}

QString kindLabel(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Wmf: return QStringLiteral("WMF");
    case PictureKind::Emf: return QStringLiteral("EMF");
    default: return {};
    }
}

std::atomic<quint64> g_pictureSerial{0};

} // namespace

bool PictureBudget::take(int64_t pixels)
{
    if (pixels < 0 || pixels > m_left)
        return false;
    m_left -= pixels;
    return true;
}

QSize displaySizeTwips(const Picture& picture)
{
    const bool metafile = picture.kind == PictureKind::Wmf || picture.kind == PictureKind::Emf;
    auto natural = [&](int32_t v) -> int64_t {
        return metafile ? int64_t(v) * 1440 / 2540 : int64_t(v) * int64_t(kTwipsPerPixel);
    };
    int64_t w = picture.goalWidth > 0 ? picture.goalWidth : natural(picture.width);
    int64_t h = picture.goalHeight > 0 ? picture.goalHeight : natural(picture.height);
    if (w <= 0)
        w = 1440;
    if (h <= 0)
        h = 1440;
    const int64_t sx = std::clamp<int64_t>(picture.scaleX, 1, 1000);
    const int64_t sy = std::clamp<int64_t>(picture.scaleY, 1, 1000);
    return QSize(clampTwips(w * sx / 100), clampTwips(h * sy / 100));
}


QImage decodeDeviceBitmap(const QByteArray& bits, int width, int height, int bpp, int rowBytes)
{
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || (bpp != 1 && bpp != 24 && bpp != 32))
        return {};
    if (rowBytes <= 0)
        rowBytes = ((width * bpp + 15) / 16) * 2;
    if (int64_t(rowBytes) * height > bits.size() || int64_t(rowBytes) * 8 < int64_t(width) * bpp)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto* p = reinterpret_cast<const unsigned char*>(bits.constData());
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = p + int64_t(y) * rowBytes;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bpp) {
            case 1: out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); break;
            case 24: out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            case 32: out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]); break;
            default: return {};
            }
        }
    }
    return image;
}

QImage decodePicture(const Picture& picture, QSize maxSize, PictureBudget* budget)
{
    const QByteArray& d = picture.data;
    // The data decides over the control word: writers have been known to label one format
    // as another.
    if (isPng(d)) {
        const QByteArray png = pngForDecoding(d);
        return png.isEmpty() ? QImage() : decodeWithQt(png, "png", maxSize, budget);
    }
    if (isJpeg(d))
        return decodeJpeg(d, maxSize, budget);
    switch (picture.kind) {
    case PictureKind::Dib: return decodeDib(d, maxSize, budget);
    case PictureKind::Png:
    case PictureKind::Jpeg:
        if (d.startsWith("BM"))
            return decodeDib(d.mid(14), maxSize, budget);
        return {};
    case PictureKind::Wmf:
    case PictureKind::Emf: return {};
    }
    return {};
}

Picture pictureFromImage(const QImage& image)
{
    Picture picture;
    picture.kind = PictureKind::Png;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    picture.width = image.width();
    picture.height = image.height();
    picture.goalWidth = clampTwips(int64_t(image.width()) * int64_t(kTwipsPerPixel));
    picture.goalHeight = clampTwips(int64_t(image.height()) * int64_t(kTwipsPerPixel));
    return picture;
}

std::optional<Picture> pictureFromFileData(const QByteArray& bytes)
{
    Picture picture;
    QSize px;
    if (isPng(bytes)) {
        picture.kind = PictureKind::Png;
        picture.data = bytes;
        QBuffer buffer;
        buffer.setData(pngForDecoding(bytes));
        buffer.open(QIODevice::ReadOnly);
        px = QImageReader(&buffer, "png").size();
    } else if (isJpeg(bytes)) {
        picture.kind = PictureKind::Jpeg;
        picture.data = bytes;
        px = jpegSize(bytes);
    } else if (bytes.startsWith("BM") && bytes.size() > 14 + 12) {
        picture.kind = PictureKind::Dib;
        picture.data = bytes.mid(14);
        if (const auto info = dibInfo(picture.data))
            px = info->size;
    } else if (le32(bytes, 0) == 0x9AC6CDD7u && bytes.size() > 22 + 18) {
        // Placeable metafile: a bounding box in logical units and the units per inch.
        picture.kind = PictureKind::Wmf;
        picture.data = bytes.mid(22);
        const int64_t inch = le16(bytes, 14) ? le16(bytes, 14) : 1440;
        const int64_t w = int16_t(le16(bytes, 10)) - int64_t(int16_t(le16(bytes, 6)));
        const int64_t h = int16_t(le16(bytes, 12)) - int64_t(int16_t(le16(bytes, 8)));
        picture.width = int32_t(std::clamp<int64_t>(w * 2540 / inch, 0, 1 << 20));
        picture.height = int32_t(std::clamp<int64_t>(h * 2540 / inch, 0, 1 << 20));
        picture.goalWidth = clampTwips(w * 1440 / inch);
        picture.goalHeight = clampTwips(h * 1440 / inch);
        return picture;
    } else if (le32(bytes, 0) == 1 && bytes.size() >= 88 && bytes.mid(40, 4) == " EMF") {
        // Enhanced metafile: the frame rectangle is in hundredths of a millimetre.
        picture.kind = PictureKind::Emf;
        picture.data = bytes;
        const int64_t w = int64_t(int32_t(le32(bytes, 32))) - int32_t(le32(bytes, 24));
        const int64_t h = int64_t(int32_t(le32(bytes, 36))) - int32_t(le32(bytes, 28));
        picture.width = int32_t(std::clamp<int64_t>(w, 0, 1 << 20));
        picture.height = int32_t(std::clamp<int64_t>(h, 0, 1 << 20));
        picture.goalWidth = clampTwips(w * 1440 / 2540);
        picture.goalHeight = clampTwips(h * 1440 / 2540);
        return picture;
    } else {
        return std::nullopt;
    }
    if (px.isEmpty())
        return std::nullopt;
    picture.width = px.width();
    picture.height = px.height();
    picture.goalWidth = clampTwips(int64_t(px.width()) * int64_t(kTwipsPerPixel));
    picture.goalHeight = clampTwips(int64_t(px.height()) * int64_t(kTwipsPerPixel));
    return picture;
}

void insertPicture(QTextCursor& cursor, const Picture& picture)
{
    insertPicture(cursor, picture, cursor.charFormat(), nullptr);
}

void insertPicture(QTextCursor& cursor, const Picture& picture, const QTextCharFormat& base,
                   PictureBudget* budget)
{
    QTextDocument* doc = cursor.document();
    if (!doc)
        return;
    const QSize twips = displaySizeTwips(picture);
    const double w = twips.width() / kTwipsPerPixel;
    const double h = twips.height() / kTwipsPerPixel;
    // Decoded at twice the shown size at most: enough for printing, and bounded by the
    // picture's size in the text rather than by what the file claims.
    const QSize maxDecode(int(w * 2) + 1, int(h * 2) + 1);
    QImage image = decodePicture(picture, maxDecode, budget);
    if (image.isNull())
        image = placeholder(QSize(int(w + 0.5), int(h + 0.5)), kindLabel(picture.kind));

    const QUrl url(QStringLiteral("zorim-picture:%1").arg(++g_pictureSerial));
    doc->addResource(QTextDocument::ImageResource, url, image);

    QTextImageFormat format;
    format.merge(base);
    format.setObjectType(QTextFormat::ImageObject);
    format.setName(url.toString());
    format.setWidth(w);
    format.setHeight(h);
    format.setProperty(pictprop::Data, picture.data);
    format.setProperty(pictprop::Kind, int(picture.kind));
    format.setProperty(pictprop::Width, picture.width);
    format.setProperty(pictprop::Height, picture.height);
    format.setProperty(pictprop::GoalWidth, picture.goalWidth);
    format.setProperty(pictprop::GoalHeight, picture.goalHeight);
    format.setProperty(pictprop::ScaleX, picture.scaleX);
    format.setProperty(pictprop::ScaleY, picture.scaleY);
    format.setProperty(pictprop::MapMode, picture.mapMode);
    cursor.insertImage(format);
}

std::optional<Picture> pictureFromFormat(const QTextFormat& format)
{
    if (!format.isImageFormat() || !format.hasProperty(pictprop::Data))
        return std::nullopt;
    Picture picture;
    const int kind = format.intProperty(pictprop::Kind);
    if (kind < int(PictureKind::Png) || kind > int(PictureKind::Emf))
        return std::nullopt;
    picture.kind = PictureKind(kind);
    picture.data = format.property(pictprop::Data).toByteArray();
    picture.width = format.intProperty(pictprop::Width);
    picture.height = format.intProperty(pictprop::Height);
    picture.goalWidth = format.intProperty(pictprop::GoalWidth);
    picture.goalHeight = format.intProperty(pictprop::GoalHeight);
    picture.scaleX = format.intProperty(pictprop::ScaleX);
    picture.scaleY = format.intProperty(pictprop::ScaleY);
    picture.mapMode = format.intProperty(pictprop::MapMode);
    return picture;
}

} // namespace zorim
