#pragma once
// Picture files the user inserts: the types the picture dialog offers, and loading one file
// into what goes to the clipboard. Every file is decoded in full before anything is handed
// on, so a damaged file is refused with its message and changes nothing.
#include "richtext/document/EmbeddedContent.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace zorim {

// A picture file that could not be used; what() is the message the user sees (UTF-8).
class PictureFileError : public std::runtime_error {
public:
    explicit PictureFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

struct PictureFile {
    Picture picture; // what the document keeps (the file's own bytes for JPEG, PNG and metafiles)
    QImage image;    // the bitmap the clipboard carries; null for a metafile
};

// Decoding a picture may produce at most this many pixels, and a file may be at most this
// large: pictures of real cameras fit, a header that names 50 000 × 50 000 pixels does not.
inline constexpr qint64 kMaxInsertPixels = 64'000'000;
inline constexpr qint64 kMaxPictureFileBytes = 256LL << 20;

// The picture dialog's filter: one entry for every readable type together, then one per type.
QString pictureDialogFilter();

// Loads the picture; the type is chosen by the file extension (bmp, jpg, jpeg, ico, png,
// gif, wmf, emf). Throws PictureFileError with the message for the user.
PictureFile loadPictureFile(const QString& path);
PictureFile loadPictureData(const QByteArray& bytes, const QString& extension);

} // namespace zorim
