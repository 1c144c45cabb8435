// RTF load and save of a generated 10 MB document with mixed formatting and a few pictures.
// Targets: load under 1 s, save under 0.5 s, memory after load under ten times the file size
// (the "mem_ratio" counter: heap taken by the loaded document, over the file size).
#include "richtext/document/DocFormats.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <memory>
#include <random>

namespace {

using namespace zorim;

// Heap in use (the resident set says little here: freed memory is kept for reuse).
long heapInUse()
{
    return long(mallinfo2().uordblks + mallinfo2().hblkhd);
}

// A document of about 10 MB of RTF: paragraphs of Slovak text in runs of changing fonts,
// sizes, styles and colours, some bulleted or aligned, a link now and then, and four pictures.
const QByteArray& generatedRtf()
{
    static const QByteArray rtf = [] {
        std::mt19937 rng(2024);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const QString words[] = {"Žluťoučký", "kôň", "úpel", "ďábelské", "ódy", "a", "text", "dokumentu",
                                 "ľudia", "čítajú", "rýchlo", "sever", "juh", "Ελληνικά", "Кириллица", "the", "quick"};
        const char* faces[] = {"Verdana", "Arial", "Times New Roman", "Courier New"};
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        QTextCursor cursor(&doc);
        QByteArray out;
        for (int p = 0; out.size() < 10'000'000; ++p) {
            if (p > 0)
                cursor.insertBlock();
            for (int r = 0, runs = 1 + pick(8); r < runs; ++r) {
                CharFormat cf;
                cf.mask = cfm::All;
                cf.faceName = faces[pick(4)];
                cf.charset = kEastEuropeCharset;
                cf.height = 160 + 20 * pick(10);
                cf.effects = cfe::AutoBackColor;
                if (pick(4) == 0) cf.effects |= cfe::Bold;
                if (pick(5) == 0) cf.effects |= cfe::Italic;
                if (pick(8) == 0) cf.effects |= cfe::Underline;
                if (pick(3) == 0)
                    cf.textColor = ColorRef(pick(8) * 0x202020);
                else
                    cf.effects |= cfe::AutoColor;
                if (pick(40) == 0) {
                    cf.effects |= cfe::Link;
                    cf.linkTarget = "http://example.com/" + QString::number(p);
                }
                QTextCharFormat format;
                applyCharFormat(format, cf);
                QString text;
                for (int w = 0, n = 3 + pick(12); w < n; ++w)
                    text += words[pick(17)] + u' ';
                cursor.insertText(text, format);
            }
            ParaFormat pf;
            pf.mask = pfm::All;
            pf.alignment = uint16_t(1 + pick(4));
            pf.numbering = pick(6) == 0 ? pfn::Bullet : pfn::None;
            pf.startIndent = pick(3) * 360;
            pf.offset = pf.numbering ? 360 : 0;
            applyParaFormat(cursor, pf);
            if (p % 10000 == 5000) {
                QImage image(300, 200, QImage::Format_RGB32);
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        image.setPixel(x, y, qRgb(x ^ y, (x * y) & 0xFF, pick(256)));
                insertPicture(cursor, pictureFromImage(image));
            }
            if (p % 5000 == 4999)
                out = writeRtf(doc);
        }
        return writeRtf(doc);
    }();
    return rtf;
}

void BM_RtfLoad10MB(benchmark::State& state)
{
    const QByteArray& rtf = generatedRtf();
    double ratio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc.get());
        const long before = heapInUse();
        state.ResumeTiming();
        readRtf(rtf, cursor);
        state.PauseTiming();
        ratio = double(heapInUse() - before) / double(rtf.size());
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.counters["file_MB"] = double(rtf.size()) / 1e6;
    state.counters["mem_ratio"] = ratio;
}
BENCHMARK(BM_RtfLoad10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RtfSave10MB(benchmark::State& state)
{
    const QByteArray& rtf = generatedRtf();
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    readRtf(rtf, cursor);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = writeRtf(doc);
        written = out.size();
        benchmark::DoNotOptimize(out.constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * written);
    state.counters["file_MB"] = double(written) / 1e6;
}
BENCHMARK(BM_RtfSave10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
