#include "convert/Conversion.h"

#include "richtext/document/DocumentFiles.h"
#include "richtext/document/NoteNumbers.h"
#include "richtext/document/RichDocument.h"
#include "richtext/formats/rtf/Rtf.h"
#include "text/FileNames.h"

#include <QFile>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace zorim::convert {

namespace {

const QString kStandardInputName = QStringLiteral("štandardný vstup");
const QString kStandardOutputName = QStringLiteral("štandardný výstup");

QString naming(const QString& name, const QString& message)
{
    return message.contains(name) ? message : QStringLiteral("%1: %2").arg(name, message);
}

// What an input holds: its bytes and the format they are read in.
struct Input {
    QByteArray bytes;
    TextFormat format = TextFormat::Rtf;
};

// Standard input, a file or a pipe, is read to its end and taken as a file of no known
// extension; a file in the format its extension names. Other names, and standard input, are
// RTF when they hold RTF, else text, as the editor opens them. Answers the failure's message.
std::optional<QString> readInput(const QString& input, Input& in)
{
    if (input == kStandardStream) {
        // Bounded as a document file is: a stream that never ends fails once it has given more.
        if (auto failure = readDocumentStream(STDIN_FILENO, kStandardInputName, in.bytes))
            return failure;
    } else {
        if (auto failure = readDocumentFile(input, in.bytes))
            return failure;
        in.format = formatOfFileName(input).value_or(TextFormat::Rtf);
    }
    if (const std::optional<TextFormat> package = packageFormat(in.bytes))
        in.format = *package;
    else if (in.format != TextFormat::Text)
        in.format = isRtf(in.bytes) ? TextFormat::Rtf : TextFormat::Text;
    return std::nullopt;
}

// The input loaded into the document as the editor's main control holds it, or, for a plain
// text, kept as its bytes for convertTextFile; the failure's message, naming the input.
std::optional<QString> load(RichDocument& doc, const QString& input, Input& in)
{
    setUpAsMainDocument(doc);
    const QString name = input == kStandardStream ? kStandardInputName : input;
    if (auto failure = readInput(input, in))
        return naming(name, *failure);
    if (in.format == TextFormat::Text)
        return std::nullopt;
    if (!loadDocumentBytes(doc, std::move(in.bytes), in.format, {}))
        return naming(name, in.format == TextFormat::Docx || in.format == TextFormat::Odt ? damagedFileMessage(name) : QStringLiteral("Failed to Load Stream"));
    in.bytes = QByteArray();
    return std::nullopt;
}

// What the output will lack is said; the rest converts.
void reportLeftOut(const RichDocument& doc, const QString& input)
{
    const QString name = input == kStandardStream ? kStandardInputName : input;
    if (const LeftOut leftOut = doc.leftOut(); leftOut.any()) {
        for (const QString& line : leftOutMessage(leftOut).split(u'\n'))
            report(naming(name, line));
    }
}

// The bytes on standard output.
std::optional<QString> writeStandardOutput(const QByteArray& bytes)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file %1").arg(kStandardOutputName);
    if (out.write(bytes) != bytes.size() || !out.flush())
        return QStringLiteral("Failed to Save Stream");
    return std::nullopt;
}

} // namespace

void report(const QString& message)
{
    std::fprintf(stderr, "zorim-convert: %s\n", message.toLocal8Bit().constData());
}

void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        report(message);
}

std::optional<QString> convertDocument(const Job& job, bool textOutput)
{
    RichDocument doc(nullptr, RichDocument::Layout::OnDemand); // nothing is drawn
    Input in;
    if (auto failure = load(doc, job.input, in))
        return failure;
    reportLeftOut(doc, job.input);
    const bool toFile = job.output != kStandardStream;
    const TextFormat target = toFile ? formatOfFileName(job.output).value_or(TextFormat::Rtf)
                              : textOutput ? TextFormat::Text
                                           : TextFormat::Rtf;
    if (in.format == TextFormat::Text && (target == TextFormat::Docx || target == TextFormat::Odt)) {
        // A package is written from a whole document: the text is loaded as the editor would.
        loadDocumentBytes(doc, std::move(in.bytes), TextFormat::Text, {});
        in.format = TextFormat::Docx;
    }
    const QByteArray bytes = in.format == TextFormat::Text ? convertTextFile(doc, std::move(in.bytes), target)
                                                           : doc.save(target);
    if (toFile) {
        if (auto failure = writeDocumentFile(job.output, bytes))
            return naming(job.output, *failure);
    } else if (auto failure = writeStandardOutput(bytes)) {
        return naming(kStandardOutputName, *failure);
    }
    return std::nullopt;
}

std::optional<QString> printText(const QString& input)
{
    RichDocument doc(nullptr, RichDocument::Layout::OnDemand); // nothing is drawn
    Input in;
    if (auto failure = load(doc, input, in))
        return failure;
    reportLeftOut(doc, input);
    const RichDocument::RawPieces pieces = in.format == TextFormat::Text
                                               ? textFilePieces(doc, in.bytes)
                                               : [&doc](const auto& take) {
                                                     doc.forEachRawPiece(take);
                                                     if (const QString notes = notesAsRawText(*doc.textDocument()); !notes.isEmpty())
                                                         take(notes);
                                                 };
    // The document's own text a piece at a time, its paragraph and line separators turned
    // into LF and VT as each piece is encoded: the text is never held a second time.
    const QString cannot = QStringLiteral("cannot write the text of %1").arg(input);
    bool written = true;
    pieces([&](const QString& raw) {
        if (!written)
            return;
        QString piece(raw.size(), Qt::Uninitialized);
        QChar* to = piece.data();
        for (const QChar c : raw)
            *to++ = c == QChar::ParagraphSeparator ? u'\n' : c == QChar::LineSeparator ? u'\v' : c.unicode();
        piece.remove(QChar::ObjectReplacementCharacter); // a picture or an object has no text
        const QByteArray bytes = piece.toUtf8();
        written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
    });
    if (!written)
        return cannot;
    if (std::fflush(stdout) != 0)
        return cannot;
    return std::nullopt;
}

} // namespace zorim::convert
