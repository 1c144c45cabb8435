#pragma once
// Pictures in the document. A picture is one character of the text: an image format whose
// name is a resource of the document (what is shown) and whose properties keep the picture's
// own bytes, so that saving writes back exactly what was read or pasted.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QTextFormat>

#include <cstdint>
#include <optional>

class QTextCursor;
class QTextDocument;

namespace zorim {

enum class PictureKind : uint8_t {
    Png,
    Jpeg,
    Dib, // device-independent bitmap: the bitmap header and bits, without the file header
    Wmf, // Windows metafile, without the placeable header
    Emf, // enhanced metafile
};

struct Picture {
    PictureKind kind = PictureKind::Png;
    QByteArray data;         // the picture's own bytes, written back unchanged
    int32_t width = 0;       // natural size: pixels for bitmaps, 0.01 mm for metafiles
    int32_t height = 0;
    int32_t goalWidth = 0;   // intended size in twips before scaling; 0: the natural size
    int32_t goalHeight = 0;
    int32_t scaleX = 100;    // percent
    int32_t scaleY = 100;
    int32_t mapMode = 8;     // mapping mode of a Windows metafile (8: anisotropic)

    bool operator==(const Picture&) const = default;
};

// Properties of the image format that carry the picture (beyond the properties the format
// mapping uses).
namespace pictprop {
inline constexpr int Data = QTextFormat::UserProperty + 101;
inline constexpr int Kind = QTextFormat::UserProperty + 102;
inline constexpr int Width = QTextFormat::UserProperty + 103;
inline constexpr int Height = QTextFormat::UserProperty + 104;
inline constexpr int GoalWidth = QTextFormat::UserProperty + 105;
inline constexpr int GoalHeight = QTextFormat::UserProperty + 106;
inline constexpr int ScaleX = QTextFormat::UserProperty + 107;
inline constexpr int ScaleY = QTextFormat::UserProperty + 108;
inline constexpr int MapMode = QTextFormat::UserProperty + 109;
} // namespace pictprop

// Largest picture side in twips (22 inches); sizes from files are clamped to it.
inline constexpr int32_t kMaxPictureTwips = 31680;

// The size the picture takes in the text, in twips: the goal size (or the natural size when
// there is none) times the scaling, each side at least one pixel and at most kMaxPictureTwips.
QSize displaySizeTwips(const Picture& picture);

// Limits the pixels that decoding may produce in total, so that a small file naming huge
// pictures cannot take memory far beyond its size.
class PictureBudget {
public:
    explicit PictureBudget(int64_t pixels) : m_left(pixels) {}
    bool take(int64_t pixels);
private:
    int64_t m_left;
};

// Decodes a picture for showing, at most at maxSize pixels (keeping the aspect ratio; an
// empty maxSize means no limit). Metafiles and undecodable data give a null image.
QImage decodePicture(const Picture& picture, QSize maxSize = {}, PictureBudget* budget = nullptr);

// Decodes JPEG bytes with libjpeg. A damaged file gives a null image (or what could be read
// before the damage), never an abort. With maxSize, the image is reduced while decoding.
// With message, the decoder's own message for a fatal error, or for data that ended early,
// is put there (it stays empty for a sound file).
QImage decodeJpeg(const QByteArray& bytes, QSize maxSize = {}, PictureBudget* budget = nullptr,
                  QString* message = nullptr);
// The size a JPEG file declares, read from its header alone; empty when there is none.
QSize jpegSize(const QByteArray& bytes);

// A Windows device-dependent bitmap: rows of bits with no header, rowBytes apart (0: rows
// padded to 16 bits). Only the formats with a fixed meaning are read (1, 24 and 32 bits per
// pixel); rows the data does not hold give a null image.
QImage decodeDeviceBitmap(const QByteArray& bits, int width, int height, int bpp, int rowBytes);

// A bitmap from the clipboard or elsewhere, kept as PNG at one pixel per screen pixel.
Picture pictureFromImage(const QImage& image);

// The contents of a picture file: PNG, JPEG, BMP (kept as a device-independent bitmap),
// placeable WMF or EMF. Nothing for other data.
std::optional<Picture> pictureFromFileData(const QByteArray& bytes);

// Inserts the picture as one character at the cursor (replacing its selection), with the
// cursor's character format around it. What is shown is registered as a resource of the
// document; a metafile or undecodable data shows as a framed placeholder of the picture's size.
void insertPicture(QTextCursor& cursor, const Picture& picture);
void insertPicture(QTextCursor& cursor, const Picture& picture, const QTextCharFormat& base,
                   PictureBudget* budget);

// The picture an image format carries; nothing for other formats.
std::optional<Picture> pictureFromFormat(const QTextFormat& format);

} // namespace zorim
