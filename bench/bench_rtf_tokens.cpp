// The RTF tokenizer and keyword lookup alone, over about 11 MB of RTF shaped like an office
// suite's output: every run restates its properties in a dozen control words, many of which
// the reader does not know (revision ids, languages, bidirectional fonts). Target: 150 MB/s.
#include "OfficeRtf.h"
#include "richtext/formats/rtf/RtfKeywords.h"
#include "richtext/formats/rtf/RtfTokenizer.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

namespace {

using namespace zorim::rtf;

void BM_RtfTokensAndKeywords(benchmark::State& state)
{
    const QByteArray& rtf = officeLikeRtf();
    const auto* data = reinterpret_cast<const unsigned char*>(rtf.constData());
    const KeywordTable& table = keywordTable();
    int64_t known = 0;
    for (auto _ : state) {
        Tokenizer tokens(data, rtf.size(), 0);
        known = 0;
        for (Token t = tokens.next(); t.kind != Token::End; t = tokens.next()) {
            if (t.kind == Token::Word && findKeyword(table, t.name()))
                ++known;
        }
        benchmark::DoNotOptimize(known);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
    state.counters["file_MB"] = double(rtf.size()) / 1e6;
    state.counters["known_words"] = double(known);
}
BENCHMARK(BM_RtfTokensAndKeywords)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
