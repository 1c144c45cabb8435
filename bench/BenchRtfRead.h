#pragma once
// RTF read into a new, empty document in each iteration; only the read is timed (making and
// dropping the document are not).
#include <QByteArray>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <memory>

namespace zorim::bench {

// `read(rtf, cursor)` reads; answers the paragraphs of the last document read.
template <typename Read>
int timeRtfReads(benchmark::State& state, const QByteArray& rtf, Read read)
{
    int blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc.get());
        state.ResumeTiming();
        read(rtf, cursor);
        state.PauseTiming();
        blocks = doc->blockCount();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    return blocks;
}

} // namespace zorim::bench
