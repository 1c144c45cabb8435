// Pictures and embedded objects as the reader finds them: the hex or binary data of a \pict
// group, made a picture when the group closes, within the document's room for pictures.
#include "RtfReader.h"

namespace zorim::rtf {

void Reader::pictBytes(const unsigned char* p, qsizetype n)
{
    auto hex = [](unsigned char h) -> int {
        if (h >= '0' && h <= '9') return h - '0';
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const int v = hex(p[i]);
        if (v < 0)
            continue;
        if (m_pict.nibble < 0) {
            m_pict.nibble = v;
        } else {
            m_pict.data.append(char(m_pict.nibble << 4 | v));
            m_pict.nibble = -1;
        }
    }
}

void Reader::finishPict(const State& closed)
{
    PictBuild b = std::exchange(m_pict, PictBuild{});
    int32_t kind = b.v[pic::Kind];
    if (kind == pic::None && b.v[pic::MapMode] > 0)
        kind = pic::Wmf;
    if (kind == pic::Unsupported || b.data.isEmpty() || closed.chr[cp::Hidden])
        return;
    // Each picture costs the document a format and a resource, whatever its size: a file of
    // thousands of tiny pictures must not take memory far beyond its own size.
    if (!m_pictureRoom.take(kPictureCost)) {
        if (!(m_object && m_stack.size() >= m_objectDepth))
            ++m_leftOut.pictures; // an object's picture: the object counts when it ends
        return;
    }
    Picture picture;
    picture.data = std::move(b.data);
    picture.width = b.v[pic::Width];
    picture.height = b.v[pic::Height];
    picture.goalWidth = b.v[pic::GoalWidth];
    picture.goalHeight = b.v[pic::GoalHeight];
    picture.scaleX = b.v[pic::ScaleX];
    picture.scaleY = b.v[pic::ScaleY];
    if (b.v[pic::MapMode] > 0)
        picture.mapMode = b.v[pic::MapMode];
    switch (kind) {
    case pic::Png: picture.kind = PictureKind::Png; break;
    case pic::Jpeg: picture.kind = PictureKind::Jpeg; break;
    case pic::Dib: picture.kind = PictureKind::Dib; break;
    case pic::Wmf: picture.kind = PictureKind::Wmf; break;
    case pic::Emf: picture.kind = PictureKind::Emf; break;
    case pic::Wbitmap: {
        // Device-dependent bits mean nothing on their own; they are kept as PNG.
        if (!m_budget.take(int64_t(picture.width) * picture.height))
            return;
        const QImage image = decodeDeviceBitmap(picture.data, picture.width, picture.height, b.v[pic::Bpp],
                                                b.v[pic::RowBytes]);
        if (image.isNull())
            return;
        Picture png = pictureFromImage(image);
        png.goalWidth = picture.goalWidth;
        png.goalHeight = picture.goalHeight;
        png.scaleX = picture.scaleX;
        png.scaleY = picture.scaleY;
        picture = std::move(png);
        break;
    }
    default:
        if (picture.data.startsWith("\x89PNG"))
            picture.kind = PictureKind::Png;
        else if (picture.data.startsWith("\xFF\xD8"))
            picture.kind = PictureKind::Jpeg;
        else
            return;
    }
    // A bitmap without its size in the file takes the size it decodes to.
    if ((picture.width <= 0 || picture.height <= 0) && picture.kind != PictureKind::Wmf
        && picture.kind != PictureKind::Emf) {
        if (const auto probe = pictureFromFileData(picture.kind == PictureKind::Dib ? QByteArray() : picture.data)) {
            picture.width = probe->width;
            picture.height = probe->height;
        }
    }
    if (closed.shapePicture) {
        // A shape's picture takes the shape's box, as other programs show it; a shape that
        // states no box keeps the picture's own size.
        const int32_t w = m_shape[shp::Right] - m_shape[shp::Left];
        const int32_t h = m_shape[shp::Bottom] - m_shape[shp::Top];
        if (w > 0 && h > 0) {
            picture.goalWidth = std::min(w, kMaxPictureTwips);
            picture.goalHeight = std::min(h, kMaxPictureTwips);
            picture.scaleX = picture.scaleY = 100;
        }
        m_shapePicture = true;
    }
    m_builder.picture(picture, st().chr, st().para, m_budget);
    if (m_object && m_stack.size() >= m_objectDepth) {
        m_builder.attachToLastPicture(*m_object);
        m_object.reset();
    }
}

void Reader::finishObject()
{
    // An object whose result showed no picture is shown by its icon, so its data stays.
    std::optional<EmbeddedObject> object = std::exchange(m_object, std::nullopt);
    m_objectDepth = 0;
    if (!object || st().chr[cp::Hidden])
        return;
    if (!m_pictureRoom.take(kPictureCost)) {
        ++m_leftOut.pictures;
        return;
    }
    m_builder.object(*object, st().chr, st().para);
}

} // namespace zorim::rtf
