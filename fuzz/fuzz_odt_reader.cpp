// Fuzz target: any bytes through the OpenDocument text reader; what it reads must go through the
// RTF writer and read back to the same text.
#include "richtext/formats/odt/Odt.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Qt keeps caches for the whole run (fonts, the application); they are not leaks of the reader.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_odt_reader";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    if (!zorim::readOdt(bytes, cursor))
        return 0;
    const QByteArray written = zorim::writeRtf(doc);
    QTextDocument again;
    again.setUndoRedoEnabled(false);
    QTextCursor back(&again);
    if (!zorim::readRtf(written, back) || again.toRawText() != doc.toRawText()) {
        std::fprintf(stderr, "an OpenDocument text read does not write and read back as RTF to the same text\n");
        std::abort();
    }
    return 0;
}
