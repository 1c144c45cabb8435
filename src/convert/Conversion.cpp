#include "convert/Conversion.h"

#include "richtext/DocumentFiles.h"
#include "richtext/RichDocument.h"
#include "richtext/TableText.h"
#include "text/FileNames.h"

#include <QFile>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>

namespace zorim::convert {

namespace {

const QString kStandardInputName = QStringLiteral("štandardný vstup");
const QString kStandardOutputName = QStringLiteral("štandardný výstup");

QString naming(const QString& name, const QString& message)
{
    return message.contains(name) ? message : QStringLiteral("%1: %2").arg(name, message);
}

// Standard input, a file or a pipe, is read to its end and taken as a file of no known
// extension: RTF when it is RTF, else text. Answers the failure's message.
std::optional<QString> loadStandardInput(RichDocument& doc)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return QStringLiteral("Cannot open file %1").arg(kStandardInputName);
    QByteArray bytes = in.readAll();
    if (auto foreign = foreignDocumentMessage(kStandardInputName, bytes))
        return foreign;
    if (!loadDocumentBytes(doc, std::move(bytes), TextFormat::Rtf, {}))
        return QStringLiteral("Failed to Load Stream");
    return std::nullopt;
}

// A file in the format its extension names; other names as RTF when they hold RTF, else text,
// as the editor opens them.
std::optional<QString> loadFile(RichDocument& doc, const QString& input)
{
    QByteArray bytes;
    if (auto failure = readDocumentFile(input, bytes))
        return failure;
    if (!loadDocumentBytes(doc, std::move(bytes), formatOfFileName(input).value_or(TextFormat::Rtf), {}))
        return QStringLiteral("Failed to Load Stream");
    return std::nullopt;
}

// The document as the editor's main control holds it, loaded; the failure's message, naming
// the input, otherwise.
std::optional<QString> load(RichDocument& doc, const QString& input)
{
    setUpAsMainDocument(doc);
    const auto failure = input == kStandardStream ? loadStandardInput(doc) : loadFile(doc, input);
    if (failure)
        return naming(input == kStandardStream ? kStandardInputName : input, *failure);
    return std::nullopt;
}

// What the output will lack is said; the rest converts.
void reportOmittedPictures(const RichDocument& doc, const QString& input)
{
    if (const int omitted = doc.omittedPictures())
        report(naming(input == kStandardStream ? kStandardInputName : input,
                      QStringLiteral("Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %1 sa vynechalo.").arg(omitted)));
}

// The document on standard output, as text or as RTF.
std::optional<QString> writeStandardOutput(const RichDocument& doc, bool textOutput)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file %1").arg(kStandardOutputName);
    const QByteArray bytes = doc.save(textOutput ? TextFormat::Text : TextFormat::Rtf);
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
    if (auto failure = load(doc, job.input))
        return failure;
    reportOmittedPictures(doc, job.input);
    if (job.output != kStandardStream) {
        const QByteArray bytes = doc.save(formatOfFileName(job.output).value_or(TextFormat::Rtf));
        if (auto failure = writeDocumentFile(job.output, bytes))
            return naming(job.output, *failure);
        return std::nullopt;
    }
    if (auto failure = writeStandardOutput(doc, textOutput))
        return naming(kStandardOutputName, *failure);
    return std::nullopt;
}

std::optional<QString> printText(const QString& input)
{
    RichDocument doc(nullptr, RichDocument::Layout::OnDemand); // nothing is drawn
    if (auto failure = load(doc, input))
        return failure;
    reportOmittedPictures(doc, input);
    // The document's own text a piece at a time, its paragraph and line separators turned
    // into LF and VT as each piece is encoded: the text is never held a second time.
    const QString cannot = QStringLiteral("cannot write the text of %1").arg(input);
    bool written = true;
    doc.forEachRawPiece([&](const QString& raw) {
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
