// Recovery snapshot of a 10 MB and a 100 MB document: what holds the window (the capture on the
// interface thread: each of its steps to stay well under 100 ms) and what runs on the worker
// (writing RTF from the capture), with the memory the snapshot takes beside the document's own.
// The whole capture at once, and the text as the control gives it, are what a snapshot took
// before it was taken in steps.
//
// The memory figures are meaningful only for one size per process:
//   zorim_bench --benchmark_filter='Snapshot.*/100$'
#include "richtext/layout/LaidOutDocument.h"
#include "richtext/document/DocumentCapture.h"
#include "richtext/document/RichDocument.h"

#include "text/Codepage.h"

#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace zorim;

double residentMb()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

double peakMb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

struct Sample {
    QTextDocument* doc;
    double ownMb; // what building it added to the process
};

// About n MB of text in paragraphs of runs with changing weight, slant and size.
const Sample& largeDocument(int megabytes)
{
    static std::map<int, Sample> made;
    auto found = made.find(megabytes);
    if (found != made.end())
        return found->second;
    const double before = residentMb();
    auto* d = new QTextDocument;
    d->setUndoRedoEnabled(false);
    QTextCursor cursor(d);
    std::mt19937 rng(7);
    const QString words[] = {QStringLiteral("Žluťoučký "), QStringLiteral("kôň "), QStringLiteral("úpel "),
                             QStringLiteral("ďábelské "), QStringLiteral("ódy "), QStringLiteral("dokumentu ")};
    while (d->characterCount() < megabytes * 1'000'000) {
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
    return made.emplace(megabytes, Sample{d, residentMb() - before}).first->second;
}

// Takes the capture in the steps the program takes; the longest step is what holds the window.
DocumentCapture captureInSteps(const QTextDocument& doc, DocumentCapture::Content content, double* longestMs, int* steps)
{
    SteppedCapture stepped(doc, content);
    QElapsedTimer clock;
    *longestMs = 0;
    *steps = 0;
    for (bool done = false; !done; ++*steps) {
        clock.start();
        done = stepped.step();
        *longestMs = std::max(*longestMs, double(clock.nsecsElapsed()) / 1e6);
    }
    return std::move(stepped.capture());
}

void BM_SnapshotCapture(benchmark::State& state)
{
    const Sample& sample = largeDocument(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DocumentCapture::take(*sample.doc));
    state.SetLabel("whole capture at once (before)");
}
BENCHMARK(BM_SnapshotCapture)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SnapshotCaptureInSteps(benchmark::State& state)
{
    const Sample& sample = largeDocument(int(state.range(0)));
    double longest = 0;
    int steps = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(captureInSteps(*sample.doc, DocumentCapture::Content::Rich, &longest, &steps));
    state.counters["longest_step_ms"] = longest;
    state.counters["steps"] = steps;
    state.SetLabel("capture in steps, interface thread");
}
BENCHMARK(BM_SnapshotCaptureInSteps)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// A plain text of n MB in lines of about 80 characters, as the control holds it.
RichDocument& largeText(int megabytes)
{
    static std::map<int, RichDocument*> made;
    auto found = made.find(megabytes);
    if (found != made.end())
        return *found->second;
    QByteArray bytes;
    const QByteArray line = "Žluťoučký kôň úpel ďábelské ódy dokumentu, riadok textu na osemdesiat znakov.\r\n";
    while (bytes.size() < qsizetype(megabytes) * 1'000'000)
        bytes += line;
    auto* doc = new LaidOutDocument;
    doc->load(std::move(bytes), TextFormat::Text);
    doc->completeLoad();
    return *made.emplace(megabytes, doc).first->second;
}

void BM_SnapshotTextAtOnce(benchmark::State& state)
{
    const RichDocument& doc = largeText(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.text());
    state.SetLabel("plain text, the control's text at once (before)");
}
BENCHMARK(BM_SnapshotTextAtOnce)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SnapshotTextInSteps(benchmark::State& state)
{
    const RichDocument& doc = largeText(int(state.range(0)));
    double longest = 0;
    int steps = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(captureInSteps(*doc.textDocument(), DocumentCapture::Content::TextOnly, &longest, &steps));
    state.counters["longest_step_ms"] = longest;
    state.counters["steps"] = steps;
    state.SetLabel("plain text in steps, interface thread");
}
BENCHMARK(BM_SnapshotTextInSteps)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// Capture and write once, with what the process held at its peak beyond the document.
void BM_SnapshotWriteRtf(benchmark::State& state)
{
    const Sample& sample = largeDocument(int(state.range(0)));
    const double base = residentMb();
    for (auto _ : state) {
        double longest = 0;
        int steps = 0;
        DocumentCapture capture = captureInSteps(*sample.doc, DocumentCapture::Content::Rich, &longest, &steps);
        benchmark::DoNotOptimize(capture.toRtf());
    }
    state.counters["doc_MB"] = sample.ownMb;
    state.counters["peak_over_doc"] = (peakMb() - base) / sample.ownMb;
    state.SetLabel("capture and RTF, worker thread");
}
BENCHMARK(BM_SnapshotWriteRtf)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// A plain text as a snapshot took it before: the control's text, its bytes, and the snapshot
// file's bytes in one piece.
void BM_SnapshotWriteTextAtOnce(benchmark::State& state)
{
    const double before = residentMb();
    const RichDocument& doc = largeText(int(state.range(0)));
    const double own = residentMb() - before;
    const double base = residentMb();
    for (auto _ : state) {
        const QByteArray content = encodeTextDocument(doc.text());
        benchmark::DoNotOptimize(QByteArray("header\n\n") + content);
    }
    state.counters["doc_MB"] = own;
    state.counters["peak_over_doc"] = (peakMb() - base) / own;
    state.SetLabel("plain text bytes at once (before)");
}
BENCHMARK(BM_SnapshotWriteTextAtOnce)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same for a plain text: its text document bytes.
void BM_SnapshotWriteText(benchmark::State& state)
{
    const double before = residentMb();
    const RichDocument& doc = largeText(int(state.range(0)));
    const double own = residentMb() - before;
    const double base = residentMb();
    for (auto _ : state) {
        double longest = 0;
        int steps = 0;
        DocumentCapture capture = captureInSteps(*doc.textDocument(), DocumentCapture::Content::TextOnly, &longest, &steps);
        benchmark::DoNotOptimize(encodeTextDocument(RichDocument::textOf(capture.takeRawText())));
    }
    state.counters["doc_MB"] = own;
    state.counters["peak_over_doc"] = (peakMb() - base) / own;
    state.SetLabel("plain text bytes, worker thread");
}
BENCHMARK(BM_SnapshotWriteText)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
