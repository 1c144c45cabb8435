// Fuzz target: any bytes as a picture file the user inserts. The first byte picks the file
// extension; the rest is the file. A file is either refused with a message or gives a picture
// within the pixel limit whose rich text reads back to one picture.
#include "forms/mainwindow/PictureFile.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Qt keeps caches for the whole run (fonts, image plugins); they are not leaks of the loader.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_picture_loader";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const extensions[] = {"bmp", "jpg", "jpeg", "png", "gif", "ico", "wmf", "emf"};
    if (size < 1)
        return 0;
    const QString extension = QString::fromLatin1(extensions[data[0] % std::size(extensions)]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    zorim::PictureFile file;
    try {
        file = zorim::loadPictureData(bytes, extension);
    } catch (const zorim::PictureFileError& error) {
        if (QString::fromUtf8(error.what()).isEmpty()) {
            std::fprintf(stderr, "refused without a message\n");
            std::abort();
        }
        return 0;
    }
    if (int64_t(file.image.width()) * file.image.height() > zorim::kMaxInsertPixels || file.picture.data.isEmpty()) {
        std::fprintf(stderr, "accepted a picture beyond the limits (%dx%d)\n", file.image.width(), file.image.height());
        std::abort();
    }
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    if (!zorim::readRtf(zorim::pictureRtf(file.picture), cursor) || doc.toRawText() != QString(QChar::ObjectReplacementCharacter)) {
        std::fprintf(stderr, "the picture's rich text does not read back to one picture\n");
        std::abort();
    }
    return 0;
}
