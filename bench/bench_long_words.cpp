// Paragraphs with no place to break a line at a word: a hex dump, base64 or minified data as
// one run of letters, plain and as rich text whose every letter changes format. Measured is
// a load into a shown control up to the first screen drawn.
#include "richtext/editor/RichEdit.h"

#include <QApplication>
#include <QBuffer>
#include <QTextEdit>
#include <benchmark/benchmark.h>

using namespace zorim;

namespace {

QByteArray plainWord(qsizetype bytes) { return QByteArray(bytes, 'x'); }

QByteArray boldItalicWord(qsizetype bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi ";
    while (rtf.size() < bytes)
        rtf += "{\\b x}{\\i y}";
    return rtf + "}";
}

void showLoaded(benchmark::State& state, const QByteArray& bytes)
{
    RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    for (auto _ : state) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        edit.LoadStream(buffer);
        edit.widget()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["KB"] = double(bytes.size()) / 1024;
}

void BM_ShowOneWord(benchmark::State& state) { showLoaded(state, plainWord(state.range(0) << 10)); }
void BM_ShowOneFormattedWord(benchmark::State& state) { showLoaded(state, boldItalicWord(state.range(0) << 10)); }

} // namespace

BENCHMARK(BM_ShowOneWord)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ShowOneFormattedWord)->Arg(100)->Arg(325)->Unit(benchmark::kMillisecond)->Iterations(1);
