// The RTF tokenizer and keyword lookup alone, over about 11 MB of RTF shaped like an office
// suite's output: every run restates its properties in a dozen control words, many of which
// the reader does not know (revision ids, languages, bidirectional fonts). Target: 150 MB/s.
#include "richtext/rtf/RtfKeywords.h"
#include "richtext/rtf/RtfTokenizer.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

#include <random>

namespace {

using namespace zorim::rtf;

const QByteArray& officeLikeRtf()
{
    static const QByteArray rtf = [] {
        std::mt19937 rng(27);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const char* words[] = {"Slovensk\\'e1", "republika", "dokument", "\\'9eiados\\'9d", "pr\\'e1ca", "a", "na",
                               "text", "\\u269\\'e8", "odsek", "kapitola", "\\'fadaje", "zmluva", "strana"};
        QByteArray out = "{\\rtf1\\adeflang1025\\ansi\\ansicpg1250\\uc1\\adeff31507\\deff0\\stshfdbch31505"
                         "\\stshfloch31506\\stshfhich31506\\stshfbi31507\\deflang1051\\deflangfe1051\\themelang1051"
                         "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset238\\fprq2 Times New Roman;}"
                         "{\\f1\\fbidi \\fswiss\\fcharset238\\fprq2 Arial;}}\r\n"
                         "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n";
        while (out.size() < 11'000'000) {
            out += "\\pard\\plain \\ltrpar\\s" + QByteArray::number(pick(4)) + "\\ql \\li0\\ri0\\sa160\\sl259\\slmult1"
                   "\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 ";
            for (int r = 0, runs = 1 + pick(6); r < runs; ++r) {
                out += "{\\rtlch\\fcs1 \\af31507\\afs22 \\ltrch\\fcs0 \\f" + QByteArray::number(pick(2)) + "\\fs"
                       + QByteArray::number(18 + 2 * pick(6));
                if (pick(4) == 0)
                    out += "\\b";
                if (pick(5) == 0)
                    out += "\\i";
                out += "\\lang1051\\langfe1033\\langnp1051\\insrsid" + QByteArray::number(1000000 + pick(9000000))
                       + ' ';
                for (int w = 0, n = 3 + pick(12); w < n; ++w)
                    out += QByteArray(words[pick(14)]) + ' ';
                out += "}";
            }
            out += "\\par\r\n";
        }
        out += '}';
        return out;
    }();
    return rtf;
}

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
