// Replace-all on a large document, as the replace command runs it: 100 000 matches spread
// over a 10 MB letter-like document with format runs, the control shown and laid out.
#include "richtext/editor/DocumentSearch.h"
#include "richtext/editor/RichEdit.h"

#include <QBuffer>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zorim;

namespace {

// RTF paragraphs of six sentences; "stretnutie" once in each sentence of 105 characters, so
// 100 000 matches make a document of 10 MB.
QByteArray makeLetters(int matches)
{
    const QByteArray sentence = "V\\'e1\\'9eeny p\\'e1n riadite\\'be, {\\b dovo\\'beujem} si V\\'e1s po\\'9eiada\\'9d "
                                "o {\\cf1 stretnutie} v pondelok r\\'e1no o deviatej hodine v malej zasada\\'e8ke. ";
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Verdana;}}"
                     "{\\colortbl ;\\red192\\green0\\blue0;}\\pard\\f0\\fs24 ";
    for (int i = 0; i < matches; ++i) {
        rtf += sentence;
        if (i % 6 == 5)
            rtf += "\\par\n";
    }
    rtf += "}";
    return rtf;
}

std::unique_ptr<RichEdit> loadShown(QByteArray& rtf)
{
    auto edit = std::make_unique<RichEdit>();
    edit->resize(800, 600);
    edit->show();
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit->LoadStream(buffer);
    edit->CaretPosition();
    return edit;
}

void BM_ReplaceAll_10MB(benchmark::State& state)
{
    const int matches = int(state.range(0));
    QByteArray rtf = makeLetters(matches);
    int characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto edit = loadShown(rtf);
        characters = edit->TextLength();
        state.ResumeTiming();
        const int replaced = ReplaceInDocument(*edit, QStringLiteral("stretnutie"), QString::fromUtf8("schôdzku"));
        benchmark::DoNotOptimize(replaced);
        state.PauseTiming();
        if (replaced != matches)
            state.SkipWithError("not every match was replaced");
        edit.reset();
        state.ResumeTiming();
    }
    state.counters["MB"] = double(characters) / (1 << 20);
}
BENCHMARK(BM_ReplaceAll_10MB)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

// For comparison: the same document laid out from its start to its end, as the event loop
// does in slices after the caret was put on its last paragraph (or after a replace-all all
// through it), until the lines above the caret are exact.
void BM_SettleWholeDocument_10MB(benchmark::State& state)
{
    QByteArray rtf = makeLetters(100000);
    for (auto _ : state) {
        state.PauseTiming();
        auto edit = loadShown(rtf);
        QEventLoop loop;
        bool settled = false;
        QObject::connect(edit.get(), &RichEdit::LinesSettled, &loop, [&] {
            settled = true;
            loop.quit();
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        state.ResumeTiming();
        edit->setSelectionStart(edit->TextLength());
        edit->setSelectionLength(0);
        loop.exec();
        if (!settled) {
            state.SkipWithError("the lines never settled");
            break;
        }
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SettleWholeDocument_10MB)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
