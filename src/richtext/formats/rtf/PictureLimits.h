#pragma once
// Limits shared by the picture decoders: what a file of a given size can honestly hold, and
// how far a decoder may reduce a picture that is shown small.
#include <QSize>
#include <QtGlobal>

#include <cstdint>

namespace zorim::picture {

// The most pixels a picture of this many bytes can honestly hold. Deflate packs at most
// about a thousand to one and a pixel takes at least a bit, so a real PNG (the most compact
// kind) stays under 8,300 pixels a byte; JPEG, bitmaps and their compressions stay far below.
// A few bytes claiming more are lying, and would make us allocate what the file never held.
inline constexpr int64_t kPixelsPerByte = 16384;
inline constexpr int64_t kMinPixelAllowance = 65536;

inline bool plausiblePixels(int64_t pixels, qsizetype bytes)
{
    return pixels >= 0 && pixels <= kMinPixelAllowance + kPixelsPerByte * int64_t(bytes);
}

// The largest reduction that still leaves the image at least maxSize (1, 2, 4 or 8).
inline int reductionFor(QSize natural, QSize maxSize)
{
    if (maxSize.isEmpty())
        return 1;
    int denom = 1;
    for (int d : {8, 4, 2}) {
        if (natural.width() / d >= maxSize.width() && natural.height() / d >= maxSize.height()) {
            denom = d;
            break;
        }
    }
    return denom;
}

} // namespace zorim::picture
