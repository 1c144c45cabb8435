#include "richtext/document/DocumentFiles.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/ForeignFormats.h"
#include "richtext/document/RichDocument.h"
#include "richtext/document/TextSlices.h"
#include "richtext/formats/odt/Odt.h"
#include "richtext/formats/rtf/Rtf.h"
#include "text/FileNames.h"
#include "text/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorim {

CharFormat fontCharFormat(const QString& face, int points, int style, ColorRef color, uint8_t charset, int pitch,
                          int weight)
{
    CharFormat rec;
    rec.mask = cfm::Size | cfm::Color | cfm::Face | cfm::Style | cfm::Charset | cfm::Weight;
    rec.height = clampHeightTwips(int64_t(points) * kTwipsPerPoint);
    rec.effects = uint32_t(style) & 0xF;
    rec.faceName = face.left(kMaxFaceName);
    rec.pitchAndFamily = uint8_t(pitch & 0x3);
    rec.charset = charset;
    if (color == kClWindowText || color == kClDefault)
        rec.effects |= cfe::AutoColor;
    else
        rec.textColor = resolveSystemColor(color);
    rec.weight = weight > 0 ? weight : ((style & int(FontStyle::Bold)) ? 700 : 400);
    return rec;
}

void setUpAsMainDocument(RichDocument& doc)
{
    doc.setLinkDetection(true);
    doc.setDefaultFormat(fontCharFormat(QString::fromLatin1(kDefaultFace), kDefaultPoints, 0, kClWindowText,
                                        kDefaultCharset, 0, 0));
    doc.setModified(false);
}

std::optional<TextFormat> formatOfFileName(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("txt"))
        return TextFormat::Text;
    if (ext == QLatin1String("rtf"))
        return TextFormat::Rtf;
    if (ext == QLatin1String("docx"))
        return TextFormat::Docx;
    if (ext == QLatin1String("odt") || ext == QLatin1String("fodt"))
        return TextFormat::Odt;
    return std::nullopt;
}

std::optional<TextFormat> packageFormat(QByteArrayView bytes)
{
    const QString kind = foreignFormat(bytes.first(std::min(bytes.size(), kForeignFormatHead)));
    if (kind == QLatin1String("DOCX"))
        return TextFormat::Docx;
    if (kind == QLatin1String("ODT") || isFlatOdt(bytes))
        return TextFormat::Odt;
    return std::nullopt;
}

QString damagedFileMessage(const QString& name)
{
    return QStringLiteral("Súbor %1 je poškodený a ZORIM ho nevie otvoriť.").arg(name);
}

namespace {

// What of another program's document was dropped, named as the user knows it.
QString droppedKinds(uint32_t dropped)
{
    static const std::pair<uint32_t, const char*> kKinds[] = {
        {leftout::Comments, "komentáre"}, {leftout::HeadersFooters, "hlavičky a päty"},
        {leftout::Objects, "grafy a rovnice"}, {leftout::Drawings, "kresby"},
        {leftout::Sections, "nastavenie strany ďalších oddielov"}};
    QStringList names;
    for (const auto& [bit, name] : kKinds)
        if (dropped & bit)
            names << QString::fromUtf8(name);
    return names.join(QStringLiteral(", "));
}

} // namespace

QString leftOutMessage(const LeftOut& leftOut)
{
    QStringList lines;
    if (leftOut.pictures > 0)
        lines << QStringLiteral("Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %1 sa vynechalo.")
                     .arg(leftOut.pictures);
    if (leftOut.kept > 0)
        lines << QStringLiteral("Dokument obsahuje viac komentárov, skrytého textu a hlavičiek, ako ZORIM dokáže "
                                "uchovať; %1 sa vynechalo.")
                     .arg(leftOut.kept);
    if (leftOut.dropped)
        lines << QStringLiteral("Dokument obsahuje %1, čo ZORIM nedokáže uchovať; vynechalo sa to.").arg(droppedKinds(leftOut.dropped));
    return lines.join(u'\n');
}

QString leftOutQuestion(const LeftOut& leftOut)
{
    QStringList lines;
    if (leftOut.pictures > 0)
        lines << QStringLiteral("Pri načítaní sa vynechalo %1 obrázkov, ktoré ZORIM nedokáže zobraziť; "
                                "uložený dokument ich nebude obsahovať.")
                     .arg(leftOut.pictures);
    if (leftOut.kept > 0)
        lines << QStringLiteral("Pri načítaní sa vynechalo %1 komentárov, skrytých textov alebo hlavičiek, ktoré "
                                "ZORIM nedokáže uchovať; uložený dokument ich nebude obsahovať.")
                     .arg(leftOut.kept);
    if (leftOut.dropped)
        lines << QStringLiteral("Pôvodný súbor obsahoval %1, čo ZORIM nedokáže uchovať; uložený dokument to nebude "
                                "obsahovať.")
                     .arg(droppedKinds(leftOut.dropped));
    return lines.join(u'\n') + QStringLiteral(" Uložiť aj tak?");
}

std::optional<QString> foreignDocumentMessage(const QString& name, QByteArrayView bytes)
{
    // Another program's document would load as junk text, and a save would write that over it.
    const QString kind = foreignFormat(bytes.first(std::min(bytes.size(), kForeignFormatHead)));
    if (kind.isEmpty() || packageFormat(bytes))
        return std::nullopt;
    // A container whose head names no document, under a Word or OpenDocument name: one cut short.
    const std::optional<TextFormat> named = formatOfFileName(name);
    if (kind == QLatin1String("ZIP") && (named == TextFormat::Docx || named == TextFormat::Odt))
        return damagedFileMessage(name);
    return QStringLiteral("Súbor %1 je dokument iného formátu (%2) a ZORIM ho nevie otvoriť.").arg(name, kind);
}

namespace {

QString cannotOpen(const QString& name) { return QStringLiteral("Cannot open file %1").arg(name); }

QString tooLarge(const QString& name)
{
    return cannotOpen(name) + QStringLiteral(": dokument je väčší, ako ZORIM dokáže načítať (2 GB)");
}

// Appends what the descriptor gives until its end or until bytes holds `limit`; answers 0 or
// the errno of the failed read.
int readUpTo(int fd, QByteArray& bytes, qsizetype limit)
{
    constexpr qsizetype kChunk = 1 << 20;
    while (bytes.size() < limit) {
        const qsizetype at = bytes.size();
        qsizetype want = std::min(kChunk, limit - at);
        if (bytes.capacity() > at)
            want = std::min(want, bytes.capacity() - at); // the room taken for a file of known size
        bytes.resize(at + want);
        const ssize_t n = ::read(fd, bytes.data() + at, size_t(want));
        bytes.resize(at + std::max<ssize_t>(n, 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A stream opened not to wait (a pipe handed over so) waits here for its writer.
            pollfd ready{fd, POLLIN, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR)
                continue;
        }
        if (n < 0)
            return errno;
        if (n == 0)
            break;
    }
    return 0;
}

} // namespace

std::optional<QString> readDocumentFile(const QString& path, QByteArray& bytes)
{
    // O_NONBLOCK: the open does not wait for a pipe's writer.
    const Fd fd(openRetrying(fileNameBytes(path), O_RDONLY | O_NONBLOCK));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return cannotOpen(path);
    return readDocumentStream(fd.get(), path, bytes);
}

std::optional<QString> readDocumentStream(int fd, const QString& name, QByteArray& bytes)
{
    bytes = QByteArray();
    try {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            // A file says its size: one too large is refused unread, and the room is taken once
            // (one byte more, so that its end is seen without taking more).
            if (st.st_size > kMaxDocumentBytes)
                return tooLarge(name);
            bytes.reserve(qsizetype(st.st_size) + 1);
        }
        // Another program's document is known by its head: the rest is not read.
        if (readUpTo(fd, bytes, kForeignFormatHead) != 0)
            return cannotOpen(name);
        if (auto foreign = foreignDocumentMessage(name, bytes))
            return foreign;
        if (readUpTo(fd, bytes, kMaxDocumentBytes + 1) != 0)
            return cannotOpen(name);
    } catch (const std::bad_alloc&) {
        bytes = QByteArray();
        return cannotOpen(name) + QStringLiteral(": na načítanie nie je dosť pamäte");
    }
    if (bytes.size() > kMaxDocumentBytes) {
        bytes = QByteArray();
        return tooLarge(name);
    }
    return std::nullopt;
}

bool loadDocumentBytes(RichDocument& doc, QByteArray bytes, TextFormat format, StreamOptions options,
                       QTextCursor* selection)
{
    // A document package is read as what it is, whatever its name asked for.
    if (const std::optional<TextFormat> package = packageFormat(bytes))
        format = *package;
    else if (format == TextFormat::Docx || format == TextFormat::Odt)
        format = TextFormat::Rtf; // a name that says more than the bytes: they are read as they are
    if (format == TextFormat::Rtf && !isRtf(bytes)) {
        format = TextFormat::Text;
        options = StreamOptions::fromInt(options.toInt() & int(StreamOption::Selection));
    }
    if (selection)
        return doc.insert(*selection, bytes, format, options);
    return doc.load(std::move(bytes), format, options);
}

std::optional<QString> writeDocumentFile(const QString& path, const QByteArray& bytes)
{
    const WholeFileResult result = writeWholeFile(path, {bytes});
    if (result.ok())
        return std::nullopt;
    return wholeFileFailureMessage(path, result);
}

std::function<void(const std::function<void(const QString&)>&)> textFilePieces(const RichDocument& doc,
                                                                                const QByteArray& bytes,
                                                                                qsizetype slice)
{
    return [&doc, &bytes, slice](const std::function<void(const QString&)>& take) {
        doc.readTextInPieces(
            bytes,
            [&](const QTextDocument& piece, bool last) {
                QString raw = piece.toRawText();
                if (!last)
                    raw += QChar::ParagraphSeparator; // the break between the pieces
                take(raw);
            },
            slice);
    };
}

QByteArray convertTextFile(const RichDocument& doc, QByteArray bytes, TextFormat target, qsizetype slice)
{
    if (target == TextFormat::Rtf) {
        RtfPiecesWriter writer;
        doc.readTextInPieces(std::move(bytes), [&](const QTextDocument& piece, bool) { writer.add(piece); }, slice);
        return writer.finish();
    }
    dropZeroBytes(bytes);
    // Three bytes a character at most (a line end of two for one byte among them), and a mark.
    return RichDocument::encodeText(textDocumentForm(bytes), bytes.size() * 3 + 3, textFilePieces(doc, bytes, slice));
}

} // namespace zorim
