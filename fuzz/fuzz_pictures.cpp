// Fuzz target: any bytes through the picture decoders. The first byte picks how the rest is
// taken: as the data of a picture of one kind, as a picture file, or as the bits of a
// device-dependent bitmap whose size the next bytes give. Run with -malloc_limit_mb so that an
// allocation out of proportion to the input is a finding.
#include "richtext/formats/rtf/Picture.h"

#include <QGuiApplication>

#include <cstdint>

extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_pictures";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zorim;
    if (size < 1)
        return 0;
    const uint8_t mode = data[0] % 8;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    // The reader's budget for a file of this size.
    PictureBudget budget(16'000'000 + 16 * int64_t(size));
    switch (mode) {
    case 0: case 1: case 2: case 3: case 4: {
        Picture picture;
        picture.kind = PictureKind(mode);
        picture.data = bytes;
        (void)decodePicture(picture, QSize(64, 64), &budget);
        (void)decodePicture(picture); // as pasting does: no budget, full size
        break;
    }
    case 5: {
        if (const auto picture = pictureFromFileData(bytes))
            (void)decodePicture(*picture, QSize(), &budget);
        break;
    }
    case 6: {
        if (bytes.size() < 6)
            break;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        const int width = p[0] << 8 | p[1], height = p[2] << 8 | p[3];
        const int bpp = p[4], rowBytes = p[5] * 4;
        (void)decodeDeviceBitmap(bytes.mid(6), width, height, bpp, rowBytes);
        break;
    }
    default:
        (void)decodeJpeg(bytes, QSize(16, 16), &budget);
        break;
    }
    return 0;
}
