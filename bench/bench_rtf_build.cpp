// Building the document from the 11 MB office-like RTF: the text gathered (a paragraph's
// break joined to the run after it, paragraphs of one format in one insertion) against each
// run and break put in by itself. The reader and tokenizer are the same in both.
#include "OfficeRtf.h"
#include "richtext/rtf/RtfReader.h"

#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using zorim::rtf::DocumentBuilder;

void BM_RtfBuildOfficeDocument(benchmark::State& state)
{
    const QByteArray& rtf = officeLikeRtf();
    const auto insertion = state.range(0) ? DocumentBuilder::Insertion::Gathered : DocumentBuilder::Insertion::RunByRun;
    int blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc.get());
        state.ResumeTiming();
        zorim::rtf::readRtfWith(rtf, cursor, nullptr, insertion);
        state.PauseTiming();
        blocks = doc->blockCount();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.counters["paragraphs"] = blocks;
    state.SetLabel(state.range(0) ? "gathered" : "run by run");
}
BENCHMARK(BM_RtfBuildOfficeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
