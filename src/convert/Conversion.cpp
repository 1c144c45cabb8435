#include "convert/Conversion.h"

#include "richtext/ForeignFormats.h"
#include "richtext/RichDocument.h"
#include "richtext/RichEdit.h"
#include "text/FileNames.h"

#include <QBuffer>
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
// extension: RTF when it is RTF, else text.
void loadStandardInput(RichEdit& edit)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw RichEditError(QStringLiteral("Cannot open file %1").arg(kStandardInputName));
    QBuffer bytes;
    bytes.setData(in.readAll());
    if (const QString kind = foreignFormat(QByteArrayView(bytes.data()).first(std::min(bytes.size(), kForeignFormatHead)));
        !kind.isEmpty())
        throw RichEditError(QStringLiteral("Súbor %1 je dokument iného formátu (%2) a ZORIM ho nevie otvoriť.")
                                .arg(kStandardInputName, kind));
    bytes.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::Default);
    edit.LoadStream(bytes);
}

void load(RichEdit& edit, const QString& input)
{
    try {
        if (input == kStandardStream)
            loadStandardInput(edit);
        else
            edit.Lines().LoadFile(input);
    } catch (const RichEditError& e) {
        throw RichEditError(naming(input == kStandardStream ? kStandardInputName : input, e.message()));
    }
}

// What the output will lack is said; the rest converts.
void reportOmittedPictures(const RichEdit& edit, const QString& input)
{
    if (const int omitted = edit.document().omittedPictures())
        report(naming(input == kStandardStream ? kStandardInputName : input,
                      QStringLiteral("Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %1 sa vynechalo.").arg(omitted)));
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
    RichEdit edit(nullptr, RichEdit::Kind::Document);
    try {
        load(edit, job.input);
    } catch (const RichEditError& e) {
        return e.message();
    }
    reportOmittedPictures(edit, job.input);
    try {
        if (job.output != kStandardStream) {
            edit.Lines().SaveFile(job.output);
            return std::nullopt;
        }
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            throw RichEditError(QStringLiteral("Cannot create file %1").arg(kStandardOutputName));
        edit.setStreamFormat(textOutput ? StreamFormat::PlainText : StreamFormat::RichText);
        edit.SaveStream(out);
        if (!out.flush())
            throw RichEditError(QStringLiteral("Failed to Save Stream"));
    } catch (const RichEditError& e) {
        const QString name = job.output == kStandardStream ? kStandardOutputName : job.output;
        return naming(name, e.message());
    }
    return std::nullopt;
}

std::optional<QString> printText(const QString& input)
{
    RichEdit edit(nullptr, RichEdit::Kind::Document);
    try {
        load(edit, input);
    } catch (const RichEditError& e) {
        return e.message();
    }
    reportOmittedPictures(edit, input);
    // The document's own text, its paragraph and line separators turned into LF and VT as
    // each piece is encoded: one pass, and the text is held once.
    edit.CompleteLoad();
    const QString raw = edit.document().textDocument()->toRawText();
    constexpr qsizetype kPiece = 1 << 16;
    const QString cannot = QStringLiteral("cannot write the text of %1").arg(input);
    QString piece(std::min(raw.size(), kPiece), Qt::Uninitialized);
    for (qsizetype at = 0; at < raw.size(); at += kPiece) {
        const qsizetype n = std::min(kPiece, raw.size() - at);
        piece.resize(n);
        const QChar* from = raw.constData() + at;
        QChar* to = piece.data();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = from[i].unicode();
            to[i] = c == QChar::ParagraphSeparator ? u'\n' : c == QChar::LineSeparator ? u'\v' : c;
        }
        piece.remove(QChar::ObjectReplacementCharacter); // a picture or an object has no text
        const QByteArray bytes = piece.toUtf8();
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()))
            return cannot;
    }
    if (std::fflush(stdout) != 0)
        return cannot;
    return std::nullopt;
}

} // namespace zorim::convert
