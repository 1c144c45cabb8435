// Fuzz target: any bytes loaded as a whole document, as text or as RTF, then laid out at a
// page width, as the window shows them. Faults of size (a long text put in by slices, a
// paragraph with no place to break a line) need inputs larger than a fuzzer makes, so the
// first byte scales the rest: its upper seven bits times 128 KiB is the length the rest is
// repeated to before it is added once more. Bit 0 makes that the body of an RTF document
// (the reader itself has fuzz_rtf_reader). A text is also read a piece at a time, as the
// converter reads one: it must save to the same bytes, as text and as RTF.
#include "richtext/layout/LaidOutDocument.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/document/RichDocument.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_document_load";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

// The text converted a piece of about `slice` bytes at a time, as the converter does, gives
// what the whole document saves.
static void checkPieces(const zorim::RichDocument& doc, const QByteArray& text, qsizetype slice)
{
    for (const zorim::TextFormat format : {zorim::TextFormat::Rtf, zorim::TextFormat::Text}) {
        if (zorim::convertTextFile(doc, text, format, slice) != doc.save(format))
            std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool rtf = data[0] & 1;
    const qsizetype repeatTo = qsizetype(data[0] >> 1) << 17;
    const QByteArray unit(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QByteArray bytes;
    if (!unit.isEmpty()) {
        bytes.reserve(repeatTo + unit.size());
        while (bytes.size() < repeatTo)
            bytes += unit;
    }
    bytes += unit;
    if (rtf)
        bytes = "{\\rtf1\\ansi " + bytes + "}";
    const QByteArray text = rtf ? QByteArray() : bytes;
    zorim::LaidOutDocument doc;
    doc.textDocument()->setPageSize(QSizeF(400, -1));
    doc.load(std::move(bytes), rtf ? zorim::TextFormat::Rtf : zorim::TextFormat::Text);
    doc.completeLoad();
    doc.lineCount(); // lays every paragraph out
    if (!rtf)
        checkPieces(doc, text, text.size() > (1 << 20) ? qsizetype(1) << 16 : qsizetype(1 + size % 97));
    return 0;
}
