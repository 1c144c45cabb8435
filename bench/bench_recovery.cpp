// Recovery snapshot of a 10 MB document: what holds the window (the capture on the interface
// thread, to stay under 100 ms) and what runs on the worker (writing RTF from the capture).
#include "richtext/DocumentCapture.h"

#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace zorim;

// About 10 MB of text in paragraphs of runs with changing weight, slant and size.
const QTextDocument& largeDocument()
{
    static QTextDocument* doc = [] {
        auto* d = new QTextDocument;
        d->setUndoRedoEnabled(false);
        QTextCursor cursor(d);
        std::mt19937 rng(7);
        const QString words[] = {QStringLiteral("Žluťoučký "), QStringLiteral("kôň "), QStringLiteral("úpel "),
                                 QStringLiteral("ďábelské "), QStringLiteral("ódy "), QStringLiteral("dokumentu ")};
        while (d->characterCount() < 10'000'000) {
            for (int r = 0, runs = 1 + int(rng() % 8); r < runs; ++r) {
                QTextCharFormat format;
                format.setFontWeight(rng() % 4 == 0 ? 700 : 400);
                format.setFontItalic(rng() % 5 == 0);
                format.setFontPointSize(8 + rng() % 10);
                QString run;
                for (int w = 0, n = 5 + int(rng() % 20); w < n; ++w)
                    run += words[rng() % 6];
                cursor.insertText(run, format);
            }
            cursor.insertBlock();
        }
        return d;
    }();
    return *doc;
}

void BM_SnapshotCapture(benchmark::State& state)
{
    const QTextDocument& doc = largeDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(DocumentCapture::take(doc));
    state.SetLabel("10 MB, interface thread");
}
BENCHMARK(BM_SnapshotCapture)->Unit(benchmark::kMillisecond);

void BM_SnapshotWriteRtf(benchmark::State& state)
{
    const DocumentCapture capture = DocumentCapture::take(largeDocument());
    for (auto _ : state)
        benchmark::DoNotOptimize(capture.toRtf());
    state.SetLabel("10 MB, worker thread");
}
BENCHMARK(BM_SnapshotWriteRtf)->Unit(benchmark::kMillisecond);

} // namespace
