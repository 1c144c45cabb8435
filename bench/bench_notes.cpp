// Documents with notes: 10,000 footnotes in about 10 MB of RTF load and save in time linear in
// the size (the Complexity rows, from a quarter of it up), and a key typed among the notes
// costs what it costs in the same document without them (the "notes" argument 0 or 1).
#include "richtext/document/NoteNumbers.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <memory>

using namespace zorim;

namespace {

// About `bytes` of RTF in paragraphs of 1 kB, each with a footnote (two paragraphs of its own,
// one bold word) when `notes` is set, else the same text where the note would stand.
QByteArray rtfWithNotes(qsizetype bytes, bool notes)
{
    QByteArray para;
    while (para.size() < 900)
        para += "Text odseku s pozn\\'e1mkou pod \\'e8iarou. ";
    const QByteArray note = "{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Pozn\\'e1mka {\\b tu}.\\par Druh\\'fd odsek.}";
    const QByteArray instead = QByteArray(note.size(), 'x');
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Verdana;}}\\pard\\f0\\fs24 ";
    rtf.reserve(bytes + 4096);
    while (rtf.size() < bytes)
        rtf += para + (notes ? note : instead) + " koniec.\\par\n";
    return rtf + "}";
}

// 10,000 notes in 10 MB at the argument 4.
constexpr qsizetype kQuarter = 10'000'000 / 4;

void BM_NotesLoad(benchmark::State& state)
{
    const QByteArray rtf = rtfWithNotes(kQuarter * state.range(0), true);
    for (auto _ : state) {
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        QTextCursor cursor(&doc);
        readRtf(rtf, cursor);
        benchmark::DoNotOptimize(doc.characterCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NotesLoad)->Arg(1)->Arg(2)->Arg(4)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_NotesSave(benchmark::State& state)
{
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor cursor(&doc);
    readRtf(rtfWithNotes(kQuarter * state.range(0), true), cursor);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeRtf(doc).size());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_NotesSave)->Arg(1)->Arg(2)->Arg(4)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)->Iterations(2);

// A letter typed in the middle of the 10 MB document and taken back, as shown: with notes the
// references are numbered (as drawing them does) and the numbers follow every key.
void BM_NotesKey(benchmark::State& state)
{
    auto edit = std::make_unique<RichEdit>();
    edit->resize(800, 600);
    edit->show();
    QByteArray rtf = rtfWithNotes(kQuarter * 4, state.range(0) != 0);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit->LoadStream(buffer);
    edit->setSelectionStart(edit->TextLength() / 2);
    edit->CaretPosition();
    NoteNumbers& numbers = NoteNumbers::of(*edit->document().textDocument());
    benchmark::DoNotOptimize(numbers.count(false));
    bool letter = true;
    for (auto _ : state) {
        if (letter) {
            edit->setSelectedText("x");
        } else {
            edit->setSelectionStart(edit->SelectionStart() - 1);
            edit->setSelectionLength(1);
            edit->setSelectedText({});
        }
        letter = !letter;
        benchmark::DoNotOptimize(numbers.numberAt(edit->SelectionStart()));
        benchmark::DoNotOptimize(edit->CaretPosition());
    }
}
BENCHMARK(BM_NotesKey)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
