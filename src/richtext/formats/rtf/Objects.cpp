#include "richtext/formats/rtf/Objects.h"

#include "richtext/document/DocFormats.h"
#include "text/Codepage.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace zorim {
namespace {

constexpr uint32_t kOleVersion = 0x0501;
constexpr uint32_t kFormatLinked = 1;
constexpr uint32_t kFormatEmbedded = 2;
constexpr char kHex[] = "0123456789abcdef";

// ---- little-endian records ---------------------------------------------------------------

void put16(QByteArray& b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

void put32(QByteArray& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// Names travel in the document's code page; one that it cannot hold goes as UTF-8, which
// the reading side recognises by the same rule as text documents.
QByteArray nameBytes(const QString& name) { return encodeTextDocument(name); }
QString nameFrom(const QByteArray& bytes) { return decodeTextDocument(bytes); }

void putLengthPrefixed(QByteArray& b, const QByteArray& s)
{
    if (s.isEmpty()) {
        put32(b, 0);
        return;
    }
    put32(b, uint32_t(s.size() + 1));
    b.append(s);
    b.append('\0');
}

// Reads the records of a byte array; any read past its end fails the reader for good.
class Records {
public:
    explicit Records(const QByteArray& data) : d_(data) {}
    bool ok() const { return ok_; }
    qsizetype left() const { return d_.size() - at_; }
    uint32_t u32()
    {
        if (!need(4))
            return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(d_.constData() + at_);
        at_ += 4;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    uint16_t u16()
    {
        if (!need(2))
            return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(d_.constData() + at_);
        at_ += 2;
        return uint16_t(p[0] | p[1] << 8);
    }
    QByteArray bytes(uint32_t n)
    {
        if (!need(qsizetype(n)))
            return {};
        QByteArray out = d_.mid(at_, qsizetype(n));
        at_ += qsizetype(n);
        return out;
    }
    QByteArray lengthPrefixed()
    {
        QByteArray s = bytes(u32());
        const qsizetype end = s.indexOf('\0');
        return end < 0 ? s : s.left(end);
    }
    QByteArray zeroTerminated()
    {
        const qsizetype end = d_.indexOf('\0', at_);
        if (end < 0) {
            ok_ = false;
            return {};
        }
        QByteArray s = d_.mid(at_, end - at_);
        at_ = end + 1;
        return s;
    }

private:
    bool need(qsizetype n)
    {
        if (!ok_ || n < 0 || n > left())
            ok_ = false;
        return ok_;
    }
    const QByteArray& d_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

// The packager's record of an embedded file.
QByteArray packageNative(const EmbeddedObject& object)
{
    const QByteArray label = nameBytes(QFileInfo(object.fileName).fileName());
    QByteArray b;
    put16(b, 2);
    b.append(label).append('\0');
    b.append(label).append('\0'); // the original path: only the name is known
    put16(b, 0);
    put16(b, 3); // an embedded file
    putLengthPrefixed(b, label);
    put32(b, uint32_t(object.contents.size()));
    b.append(object.contents);
    return b;
}

std::optional<EmbeddedObject> packageFromNative(const QByteArray& native)
{
    Records r(native);
    if (r.u16() != 2)
        return std::nullopt;
    EmbeddedObject object;
    object.fileName = nameFrom(r.zeroTerminated());
    const QByteArray path = r.zeroTerminated();
    r.u16();
    const uint16_t type = r.u16();
    if (!r.ok() || type != 3)
        return std::nullopt;
    r.lengthPrefixed();
    object.contents = r.bytes(r.u32());
    if (!r.ok())
        return std::nullopt;
    if (object.fileName.isEmpty())
        object.fileName = QFileInfo(nameFrom(path)).fileName();
    return object;
}

// ---- writing -------------------------------------------------------------------------

void hexLines(QByteArray& out, const QByteArray& data)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    out.reserve(out.size() + data.size() * 2 + data.size() / 32 + 4);
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += kHex[p[i] >> 4];
        out += kHex[p[i] & 0xF];
        if (i % 64 == 63)
            out += "\r\n";
    }
}

// Text of a destination, with RTF escapes of the writer's kind.
QByteArray rtfText(const QString& text)
{
    QByteArray out;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else {
            out += "\\u" + QByteArray::number(int16_t(c)) + '?';
        }
    }
    return out;
}

// ---- reading the group -----------------------------------------------------------------

int hexValue(char h)
{
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1;
}

} // namespace

QString objectTypeName(const EmbeddedObject& object)
{
    if (object.className == QLatin1String("Package") && !object.fileName.isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(object.fileName, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
            return type.comment();
        return QStringLiteral("Súbor");
    }
    return object.className.isEmpty() ? QStringLiteral("Objekt") : object.className;
}

Picture objectIconPicture(const EmbeddedObject& object)
{
    constexpr int kWidth = 96, kHeight = 72, kIcon = 40;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect iconRect((kWidth - kIcon) / 2, 4, kIcon, kIcon);
    QIcon icon;
    if (object.className == QLatin1String("Package") && !object.fileName.isEmpty()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(object.fileName, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    if (!icon.isNull()) {
        icon.paint(&p, iconRect);
    } else {
        // A sheet with a folded corner, where the desktop has no icon for the type.
        QPainterPath sheet;
        const QRectF r = QRectF(iconRect).adjusted(6, 0, -6, 0);
        sheet.moveTo(r.topLeft());
        sheet.lineTo(r.right() - 10, r.top());
        sheet.lineTo(r.right(), r.top() + 10);
        sheet.lineTo(r.bottomRight());
        sheet.lineTo(r.bottomLeft());
        sheet.closeSubpath();
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        p.setBrush(QColor(0xF8, 0xF8, 0xF8));
        p.drawPath(sheet);
        for (int y = 14; y < kIcon - 6; y += 6)
            p.drawLine(QPointF(r.left() + 5, r.top() + y), QPointF(r.right() - 5, r.top() + y));
    }
    if (object.kind == EmbeddedObject::Kind::Linked) {
        // The shortcut arrow of a link.
        const QRect badge(iconRect.left(), iconRect.bottom() - 13, 14, 14);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(badge);
        p.drawLine(badge.left() + 3, badge.bottom() - 3, badge.right() - 3, badge.top() + 3);
        p.drawLine(badge.right() - 3, badge.top() + 3, badge.right() - 7, badge.top() + 3);
        p.drawLine(badge.right() - 3, badge.top() + 3, badge.right() - 3, badge.top() + 7);
    }
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::black);
    const QString name = object.fileName.isEmpty() ? objectTypeName(object) : QFileInfo(object.fileName).fileName();
    const QString shown = QFontMetrics(font).elidedText(name, Qt::ElideMiddle, kWidth - 4);
    p.drawText(QRect(2, iconRect.bottom() + 4, kWidth - 4, kHeight - iconRect.bottom() - 4),
               Qt::AlignHCenter | Qt::AlignTop, shown);
    p.end();
    return pictureFromImage(image);
}

void attachObject(const QTextCursor& cursor, const EmbeddedObject& object)
{
    QTextCursor c(cursor);
    c.clearSelection();
    if (!c.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor))
        return;
    QTextCharFormat format;
    format.setProperty(objprop::Kind, int(object.kind));
    format.setProperty(objprop::ClassName, object.className);
    format.setProperty(objprop::FileName, object.fileName);
    format.setProperty(objprop::Contents, object.contents);
    format.setProperty(objprop::ObjectData, object.objectData);
    c.mergeCharFormat(format);
}

void insertObject(QTextCursor& cursor, const EmbeddedObject& object)
{
    insertObject(cursor, object, cursor.charFormat());
}

void insertObject(QTextCursor& cursor, const EmbeddedObject& object, const QTextCharFormat& base)
{
    cursor.beginEditBlock();
    insertPicture(cursor, objectIconPicture(object), base, nullptr);
    attachObject(cursor, object);
    cursor.endEditBlock();
}

std::optional<EmbeddedObject> objectFromFormat(const QTextFormat& format)
{
    if (!format.isImageFormat() || !format.hasProperty(objprop::Kind))
        return std::nullopt;
    EmbeddedObject object;
    object.kind = format.intProperty(objprop::Kind) == int(EmbeddedObject::Kind::Linked) ? EmbeddedObject::Kind::Linked
                                                                                         : EmbeddedObject::Kind::Embedded;
    object.className = format.stringProperty(objprop::ClassName);
    object.fileName = format.stringProperty(objprop::FileName);
    object.contents = format.property(objprop::Contents).toByteArray();
    object.objectData = format.property(objprop::ObjectData).toByteArray();
    return object;
}

QByteArray oleObjectData(const EmbeddedObject& object)
{
    if (!object.objectData.isEmpty())
        return object.objectData;
    QByteArray b;
    put32(b, kOleVersion);
    const bool linked = object.kind == EmbeddedObject::Kind::Linked;
    put32(b, linked ? kFormatLinked : kFormatEmbedded);
    putLengthPrefixed(b, object.className.toLatin1());
    if (linked) {
        putLengthPrefixed(b, nameBytes(object.fileName)); // the topic: the linked file
        put32(b, 0);                                       // no item
        put32(b, 0);                                       // no network name
        put32(b, 0);                                       // reserved
        put32(b, 1);                                       // update: always
    } else {
        put32(b, 0); // no topic
        put32(b, 0); // no item
        const QByteArray native = packageNative(object);
        put32(b, uint32_t(native.size()));
        b.append(native);
    }
    put32(b, kOleVersion); // no presentation: the result picture shows the object
    put32(b, 0);
    return b;
}

std::optional<EmbeddedObject> objectFromOleData(const QByteArray& data, bool linked)
{
    Records r(data);
    r.u32();
    const uint32_t format = r.u32();
    const QString className = QString::fromLatin1(r.lengthPrefixed());
    const QByteArray topic = r.lengthPrefixed();
    r.lengthPrefixed();
    if (!r.ok() || className.isEmpty())
        return std::nullopt;
    if (className == QLatin1String("Package") && format == kFormatLinked && linked) {
        EmbeddedObject object;
        object.kind = EmbeddedObject::Kind::Linked;
        object.fileName = nameFrom(topic);
        return object;
    }
    if (className == QLatin1String("Package") && format == kFormatEmbedded && !linked) {
        const QByteArray native = r.bytes(r.u32());
        if (r.ok())
            if (auto object = packageFromNative(native))
                return object;
    }
    // Any other object is kept as it came.
    EmbeddedObject object;
    object.kind = linked ? EmbeddedObject::Kind::Linked : EmbeddedObject::Kind::Embedded;
    object.className = className;
    object.objectData = data;
    return object;
}

QByteArray objectToRtf(const EmbeddedObject& object, const Picture& result, const QByteArray& resultRtf)
{
    const bool linked = object.kind == EmbeddedObject::Kind::Linked;
    const QSize twips = displaySizeTwips(result);
    QByteArray b = linked ? "{\\object\\objlink" : "{\\object\\objemb";
    b += "{\\*\\objclass " + rtfText(object.className) + '}';
    b += "\\objw" + QByteArray::number(twips.width()) + "\\objh" + QByteArray::number(twips.height());
    b += "{\\*\\objdata\r\n";
    hexLines(b, oleObjectData(object));
    b += "}{\\result " + resultRtf + "}}";
    return b;
}

std::optional<EmbeddedObject> parseObjectGroup(QByteArrayView rest)
{
    // The group's own words, its class and its data; inner groups other than those two are
    // skipped (the result is read by the document's reader).
    enum class In { Group, Class, Data, Other };
    std::vector<In> stack{In::Group};
    bool linked = false;
    QByteArray className;
    QByteArray data;
    int nibble = -1;
    const qsizetype n = rest.size();
    qsizetype i = 0;
    while (i < n && !stack.empty()) {
        const char ch = rest[i];
        if (ch == '{') {
            stack.push_back(stack.back() == In::Group ? In::Other : stack.back());
            ++i;
            continue;
        }
        if (ch == '}') {
            stack.pop_back();
            ++i;
            continue;
        }
        if (ch == '\\') {
            ++i;
            if (i >= n)
                break;
            if (!std::isalpha(static_cast<unsigned char>(rest[i]))) {
                if (stack.back() == In::Class && rest[i] != '*')
                    className += rest[i];
                ++i;
                continue;
            }
            const qsizetype start = i;
            while (i < n && std::isalpha(static_cast<unsigned char>(rest[i])))
                ++i;
            const QByteArrayView word = rest.sliced(start, i - start);
            qsizetype numStart = i;
            if (i < n && rest[i] == '-')
                ++i;
            while (i < n && std::isdigit(static_cast<unsigned char>(rest[i])) && i - numStart < 10)
                ++i;
            const int64_t number = QByteArrayView(rest.sliced(numStart, i - numStart)).toLongLong();
            if (i < n && rest[i] == ' ')
                ++i;
            if (word == "bin") {
                const qsizetype count = qsizetype(std::clamp<int64_t>(number, 0, n - i));
                if (stack.back() == In::Data)
                    data.append(rest.sliced(i, count));
                i += count;
            } else if (stack.size() == 1 && (word == "objlink" || word == "objautlink")) {
                linked = true;
            } else if (stack.size() == 2 && stack.back() == In::Other && word == "objclass") {
                stack.back() = In::Class;
            } else if (stack.size() == 2 && stack.back() == In::Other && word == "objdata") {
                stack.back() = In::Data;
            }
            continue;
        }
        if (stack.back() == In::Class && ch != '\r' && ch != '\n') {
            className += ch;
        } else if (const int v = hexValue(ch); stack.back() == In::Data && v >= 0) {
            if (nibble < 0)
                nibble = v;
            else
                data.append(char(std::exchange(nibble, -1) << 4 | v));
        }
        ++i;
    }
    if (data.isEmpty())
        return std::nullopt;
    auto object = objectFromOleData(data, linked);
    if (object && !object->objectData.isEmpty() && !className.trimmed().isEmpty())
        object->className = QString::fromLatin1(className.trimmed());
    return object;
}

} // namespace zorim
