// The document control under the loads the main window puts on it: the per-keystroke refresh
// (selection attributes, paragraph attributes, caret position) on a large document, a
// replacement in the middle of a large document, a search that finds nothing, and the
// whole-document operations on plain text of growing size.
#include "richtext/editor/RichEdit.h"
#include "text/Codepage.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zorim;

namespace {

// A document of about `bytes` characters, loaded as RTF: paragraphs of Slovak words with a
// bold run and a coloured run in each, so the document has many format runs as a real letter
// does.
QByteArray makeRtf(int bytes)
{
    QByteArray para;
    const char* words[] = {"V\\'e1\\'9eeny ", "p\\'e1n ", "riadite\\'be, ", "dovo\\'beujem ", "si ",
                           "V\\'e1s ", "po\\'9eiada\\'9d ", "o ", "stretnutie. "};
    for (int i = 0; para.size() < 600; ++i) {
        if (i % 20 == 3)
            para += "{\\b ";
        if (i % 20 == 11)
            para += "{\\cf1 ";
        para += words[i % 9];
        if (i % 20 == 5 || i % 20 == 13)
            para += "}";
    }
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Verdana;}}"
                     "{\\colortbl ;\\red192\\green0\\blue0;}\\pard\\f0\\fs24 ";
    rtf.reserve(bytes + 4096);
    while (rtf.size() < bytes)
        rtf += para + "\\par\n";
    rtf += "}";
    return rtf;
}

std::unique_ptr<RichEdit> makeDocument(int bytes)
{
    auto edit = std::make_unique<RichEdit>();
    edit->resize(800, 600);
    edit->show();
    QByteArray rtf = makeRtf(bytes);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit->LoadStream(buffer);
    edit->setSelectionStart(edit->TextLength() / 2);
    edit->CaretPosition(); // the first query lays the whole document out once
    return edit;
}

void BM_RefreshReads_5MB(benchmark::State& state)
{
    auto edit = makeDocument(5 << 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(edit->SelectionAttributes().Name());
        benchmark::DoNotOptimize(edit->SelectionAttributes().Size());
        benchmark::DoNotOptimize(edit->SelectionAttributes().Style());
        benchmark::DoNotOptimize(edit->SelectionAttributes().Color());
        benchmark::DoNotOptimize(edit->ParagraphAttributes().Alignment());
        benchmark::DoNotOptimize(edit->ParagraphAttributes().Numbering());
        benchmark::DoNotOptimize(edit->CaretPosition());
    }
}
BENCHMARK(BM_RefreshReads_5MB)->Unit(benchmark::kMicrosecond);

void BM_TypeThenRefresh_5MB(benchmark::State& state)
{
    auto edit = makeDocument(5 << 20);
    for (auto _ : state) {
        edit->setSelectedText("x");
        edit->setSelectionStart(edit->SelectionStart() + 1);
        benchmark::DoNotOptimize(edit->SelectionAttributes().Style());
        benchmark::DoNotOptimize(edit->ParagraphAttributes().Alignment());
        benchmark::DoNotOptimize(edit->CaretPosition());
    }
}
BENCHMARK(BM_TypeThenRefresh_5MB)->Unit(benchmark::kMicrosecond);

// Replaces a date in the middle of a 10 MB document; each write replaces the previous one, so
// the paragraph keeps its length. With allLaidOut, every paragraph has been laid out first,
// as after the user has scrolled through the whole document.
void replaceInTheMiddle(benchmark::State& state, bool allLaidOut)
{
    auto edit = makeDocument(10 << 20);
    if (allLaidOut)
        benchmark::DoNotOptimize(edit->Lines().LineCount());
    const int middle = edit->TextLength() / 2;
    const QString date = QString::fromUtf8("Dátum: 7. 12. 2026");
    edit->setSelectionStart(middle);
    edit->setSelectedText(date);
    for (auto _ : state) {
        edit->setSelectionStart(middle);
        edit->setSelectionLength(int(date.size()));
        edit->setSelectedText(date);
    }
}

void BM_SelectedTextWrite_10MB(benchmark::State& state) { replaceInTheMiddle(state, false); }
BENCHMARK(BM_SelectedTextWrite_10MB)->Unit(benchmark::kMicrosecond);

void BM_SelectedTextWrite_10MB_AllLaidOut(benchmark::State& state) { replaceInTheMiddle(state, true); }
BENCHMARK(BM_SelectedTextWrite_10MB_AllLaidOut)->Unit(benchmark::kMicrosecond);

void BM_SearchMissing_10MB(benchmark::State& state)
{
    auto edit = makeDocument(10 << 20);
    const int len = edit->TextLength();
    for (auto _ : state)
        benchmark::DoNotOptimize(edit->SearchText("neexistujúci reťazec", 0, len, so::MatchCase));
}
BENCHMARK(BM_SearchMissing_10MB)->Unit(benchmark::kMillisecond);

void BM_SearchMissingAfterEdit_10MB(benchmark::State& state)
{
    auto edit = makeDocument(10 << 20);
    const int len = edit->TextLength();
    for (auto _ : state) {
        state.PauseTiming();
        edit->setSelectionStart(len / 2);
        edit->setSelectedText("y");
        state.ResumeTiming();
        benchmark::DoNotOptimize(edit->SearchText("neexistujúci reťazec", 0, len, so::MatchCase));
    }
}
BENCHMARK(BM_SearchMissingAfterEdit_10MB)->Unit(benchmark::kMillisecond);

// Loading a file into a new shown control, as the program does at start, and laying it out
// far enough to show its first page. Making and destroying the control are not timed.
void loadIntoNewControl(benchmark::State& state, QByteArray& bytes, StreamFormat format)
{
    state.PauseTiming();
    auto edit = std::make_unique<RichEdit>();
    edit->resize(800, 600);
    edit->show();
    edit->setStreamFormat(format);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    state.ResumeTiming();
    edit->LoadStream(buffer);
    benchmark::DoNotOptimize(edit->CaretPosition());
    state.PauseTiming();
    edit.reset();
    state.ResumeTiming();
}

void BM_LoadRtf_10MB_IntoControl(benchmark::State& state)
{
    QByteArray rtf = makeRtf(10 << 20);
    for (auto _ : state)
        loadIntoNewControl(state, rtf, StreamFormat::RichText);
    state.counters["MB"] = double(rtf.size()) / (1 << 20);
}
BENCHMARK(BM_LoadRtf_10MB_IntoControl)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 10 MB plain-text file in Windows-1250 with short lines, loaded as a .txt file is.
void BM_LoadText_10MB_IntoControl(benchmark::State& state)
{
    const QByteArray line = encodeCodepage(QString::fromUtf8("Vážený pán riaditeľ, dovoľujem si Vás požiadať o stretnutie.\r\n"));
    QByteArray text;
    while (text.size() < (10 << 20))
        text += line;
    for (auto _ : state)
        loadIntoNewControl(state, text, StreamFormat::PlainText);
}
BENCHMARK(BM_LoadText_10MB_IntoControl)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

// ---- plain text at 1, 10 and 100 MB: each operation should cost in proportion to the size
namespace plain {

QByteArray makeText(int megabytes)
{
    const QByteArray line = encodeCodepage(QString::fromUtf8("Vážený pán riaditeľ, dovoľujem si Vás požiadať o stretnutie.\r\n"));
    QByteArray text;
    text.reserve(qsizetype(megabytes) << 20);
    while (text.size() < (qsizetype(megabytes) << 20))
        text += line;
    return text;
}

// A hidden control with the text loaded, as a converter or a batch job has it; with whole,
// also the part of a long text that follows on the event loop.
std::unique_ptr<RichEdit> loaded(QByteArray& text, bool whole = true)
{
    auto edit = std::make_unique<RichEdit>();
    edit->setStreamFormat(StreamFormat::PlainText);
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    edit->LoadStream(buffer);
    if (whole)
        edit->CompleteLoad();
    return edit;
}

// The load until the control answers: the load and one turn of the event loop.
void BM_PlainTextLoad(benchmark::State& state)
{
    QByteArray text = makeText(int(state.range(0)));
    for (auto _ : state) {
        auto edit = loaded(text, false);
        QCoreApplication::processEvents();
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlainTextLoad)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

// The load until all of the text is in.
void BM_PlainTextLoadWhole(benchmark::State& state)
{
    QByteArray text = makeText(int(state.range(0)));
    for (auto _ : state) {
        auto edit = loaded(text);
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlainTextLoadWhole)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PlainTextText(benchmark::State& state)
{
    QByteArray text = makeText(int(state.range(0)));
    auto edit = loaded(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(edit->Text());
}
BENCHMARK(BM_PlainTextText)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlainTextSave(benchmark::State& state)
{
    QByteArray text = makeText(int(state.range(0)));
    auto edit = loaded(text);
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        edit->SaveStream(out);
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(BM_PlainTextSave)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first search after the load, then the ones that follow.
void BM_PlainTextSearch(benchmark::State& state)
{
    QByteArray text = makeText(int(state.range(0)));
    auto edit = loaded(text);
    const int len = edit->TextLength();
    for (auto _ : state)
        benchmark::DoNotOptimize(edit->SearchText("neexistujúci reťazec", 0, len, so::MatchCase));
}
BENCHMARK(BM_PlainTextSearch)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace plain
