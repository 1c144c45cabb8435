// Building the document from the 11 MB office-like RTF: the text gathered (a paragraph's
// break joined to the run after it, paragraphs of one format in one insertion) against each
// run and break put in by itself. The reader and tokenizer are the same in both.
#include "BenchRtfRead.h"
#include "OfficeRtf.h"
#include "richtext/formats/rtf/RtfReader.h"

#include <benchmark/benchmark.h>

namespace {

using zorim::rtf::DocumentBuilder;

void BM_RtfBuildOfficeDocument(benchmark::State& state)
{
    const QByteArray& rtf = officeLikeRtf();
    const auto insertion = state.range(0) ? DocumentBuilder::Insertion::Gathered : DocumentBuilder::Insertion::RunByRun;
    const int blocks = zorim::bench::timeRtfReads(state, rtf, [&](const QByteArray& bytes, QTextCursor& cursor) {
        zorim::rtf::readRtfWith(bytes, cursor, nullptr, insertion);
    });
    state.counters["paragraphs"] = blocks;
    state.SetLabel(state.range(0) ? "gathered" : "run by run");
}
BENCHMARK(BM_RtfBuildOfficeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
