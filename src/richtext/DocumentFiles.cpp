#include "richtext/DocumentFiles.h"

#include "richtext/DocFormats.h"
#include "richtext/ForeignFormats.h"
#include "richtext/RichDocument.h"
#include "richtext/TextSlices.h"
#include "richtext/rtf/Rtf.h"
#include "text/FileNames.h"
#include "text/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <fcntl.h>
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
    return std::nullopt;
}

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
    return lines.join(u'\n') + QStringLiteral(" Uložiť aj tak?");
}

std::optional<QString> foreignDocumentMessage(const QString& name, QByteArrayView bytes)
{
    // Another program's document would load as junk text, and a save would write that over it.
    const QString kind = foreignFormat(bytes.first(std::min(bytes.size(), kForeignFormatHead)));
    if (kind.isEmpty())
        return std::nullopt;
    return QStringLiteral("Súbor %1 je dokument iného formátu (%2) a ZORIM ho nevie otvoriť.").arg(name, kind);
}

std::optional<QString> readDocumentFile(const QString& path, QByteArray& bytes)
{
    // O_NONBLOCK: the open does not wait for a pipe's writer.
    const int fd = ::open(fileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    QFile file;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return QStringLiteral("Cannot open file %1").arg(path);
    }
    if (auto foreign = foreignDocumentMessage(path, file.peek(kForeignFormatHead)))
        return foreign;
    bytes = file.readAll();
    return std::nullopt;
}

bool loadDocumentBytes(RichDocument& doc, QByteArray bytes, TextFormat format, StreamOptions options,
                       QTextCursor* selection)
{
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
    switch (result.status) {
    case WholeFileResult::Status::Written:
        return std::nullopt;
    case WholeFileResult::Status::NotPlainFile:
        return notPlainFileMessage(path);
    case WholeFileResult::Status::CannotCreate:
        return QStringLiteral("Cannot create file %1").arg(path);
    case WholeFileResult::Status::WriteFailed:
        break;
    }
    return QStringLiteral("Failed to Save Stream");
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
