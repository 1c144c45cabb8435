// The main window's refresh of everything that follows the selection: runs after every
// keystroke, so it is timed on a large document with the caret deep inside it.
#include "BenchWindow.h"
#include "forms/mainwindow/MainWindow.h"
#include "BenchKeys.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/spelling/SpellCheck.h"

#include <QApplication>
#include <QBuffer>
#include <QTextEdit>
#include <benchmark/benchmark.h>

using namespace zorim;
using namespace zorim::bench;

namespace {

// About `bytes` of RTF: letters in paragraphs, alternating alignments, a bold and an italic
// run and a coloured one in every paragraph, every tenth paragraph bulleted.
QByteArray letterRtf(int bytes)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Verdana;}"
                     "{\\f1\\froman\\fcharset238 Times New Roman;}}{\\colortbl ;\\red0\\green0\\blue192;}\n";
    rtf.reserve(bytes + 4096);
    const char* aligns[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
    for (int n = 0; rtf.size() < bytes; ++n) {
        rtf += "\\pard";
        rtf += aligns[n % 4];
        if (n % 10 == 0)
            rtf += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent360{\\pntxtb\\'b7}}\\fi-360\\li360";
        rtf += "\\f0\\fs24 Dobr\\'fd de\\'f2, {\\b v\\'e1\\'9een\\'fd p\\'e1n} riadite\\'be, dovo\\'beujem si "
               "{\\i V\\'e1s} po\\'9eiada\\'9d o {\\cf1\\f1\\fs28 stretnutie} v \\'9atvrtok o desiatej. "
               "S pozdravom a \\'fadctou, Jana Nov\\'e1kov\\'e1 z Bratislavy.\\par\n";
    }
    rtf += "}";
    return rtf;
}


// The letter loaded into the window's editor as a file is.
void loadLetter(RichEdit& edit, int bytes)
{
    QByteArray rtf = letterRtf(bytes);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::RichText);
    edit.LoadStream(buffer);
}

void BM_SelectionChange(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    loadLetter(edit, int(state.range(0)));
    // The caret in a bold word three quarters down the document; the refresh has run once, as
    // it has after the key-down of a real keystroke.
    const int caret = edit.TextLength() * 3 / 4;
    edit.setSelectionStart(edit.SearchText(QStringLiteral("pán"), caret, edit.TextLength() - caret, 0) + 1);
    w.form->SelectionChange();
    for (auto _ : state)
        w.form->SelectionChange();
    state.counters["chars"] = edit.TextLength();
}
BENCHMARK(BM_SelectionChange)->Arg(5 << 20)->Unit(benchmark::kMicrosecond);

// The same refresh while the caret moves (a different paragraph every time), so nothing the
// controls show stays the same between runs.
void BM_SelectionChangeMovingCaret(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    loadLetter(edit, int(state.range(0)));
    const int length = edit.TextLength();
    int pos = length / 2;
    for (auto _ : state) {
        state.PauseTiming();
        pos = (pos + 211) % length;
        edit.setSelectionStart(pos);
        state.ResumeTiming();
        w.form->SelectionChange();
    }
}
BENCHMARK(BM_SelectionChangeMovingCaret)->Arg(5 << 20)->Unit(benchmark::kMicrosecond);

// The letter of that many bytes in the window, the caret three quarters down inside a word,
// spelling done with it (as a few seconds after a load: its slices are timed in
// bench_spelling) and the event loop idle; gives the widget that takes the keys.
QWidget* loadWithCaretDeep(RichEdit& edit, int bytes)
{
    loadLetter(edit, bytes);
    edit.spelling().misspellings();
    const int caret = edit.TextLength() * 3 / 4;
    edit.setSelectionStart(edit.SearchText(QStringLiteral("pán"), caret, edit.TextLength() - caret, 0) + 1);
    QApplication::processEvents();
    return edit.widget();
}

// One typed letter as the window sees it: key down, the character, key up, and the event loop
// turned once, so every refresh the keystroke causes is counted, however it is scheduled. The
// letter and its removal alternate, so the document stays the same size.
void BM_TypedKey(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    QWidget* view = loadWithCaretDeep(edit, int(state.range(0)));
    bool letter = true;
    for (auto _ : state) {
        typeOrRemoveLetter(view, letter);
        letter = !letter;
    }
}
BENCHMARK(BM_TypedKey)->Arg(5 << 20)->Unit(benchmark::kMicrosecond);

// A key that only moves the caret (Right, then Left): no edit, so the refresh is most of what
// the keystroke costs.
void BM_CaretKey(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    QWidget* view = loadWithCaretDeep(edit, int(state.range(0)));
    bool right = true;
    for (auto _ : state) {
        keystroke(view, right ? Qt::Key_Right : Qt::Key_Left);
        right = !right;
    }
}
BENCHMARK(BM_CaretKey)->Arg(5 << 20)->Unit(benchmark::kMicrosecond);

} // namespace
