// The window on long documents: what a key that splits or joins paragraphs costs as the
// paragraph count grows (1, 10, 100 MB of text), and Select All + Delete and its undo.
#include "BenchKeys.h"
#include "richtext/editor/RichEdit.h"
#include "text/Codepage.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zorim;
using namespace zorim::bench;

namespace {

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

// Short paragraphs (one line each), so the paragraph count grows with the size.
QByteArray shortParagraphs(int megabytes)
{
    const QByteArray line = encodeCodepage(QString::fromUtf8("Vážený pán riaditeľ, dovoľujem si Vás požiadať o stretnutie.\r\n"));
    QByteArray text;
    text.reserve(qsizetype(megabytes) << 20);
    while (text.size() < (qsizetype(megabytes) << 20))
        text += line;
    return text;
}

// A shown control with the whole text in it and the caret at `caret`, the event loop idle.
std::unique_ptr<RichEdit> shownWithText(int megabytes, int caret)
{
    QByteArray text = shortParagraphs(megabytes);
    auto edit = std::make_unique<RichEdit>();
    edit->setStreamFormat(StreamFormat::PlainText);
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    edit->LoadStream(buffer);
    edit->CompleteLoad();
    edit->setSelectionStart(caret);
    edit->resize(800, 600);
    edit->show();
    QApplication::processEvents();
    return edit;
}

// Enter, then Backspace joining the paragraphs again, near the document's start: everything
// below moves down a paragraph and back.
void BM_EnterBackspace(benchmark::State& state)
{
    auto edit = shownWithText(int(state.range(0)), 200);
    QWidget* view = edit->widget();
    for (auto _ : state) {
        keystroke(view, Qt::Key_Return, QStringLiteral("\r"));
        keystroke(view, Qt::Key_Backspace, QStringLiteral("\b"));
    }
    state.counters["chars"] = edit->TextLength();
}
BENCHMARK(BM_EnterBackspace)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// Select All + Delete on 20 MB, and (not timed) its undo.
void BM_SelectAllDelete(benchmark::State& state)
{
    auto edit = shownWithText(20, 200);
    for (auto _ : state) {
        edit->SelectAll();
        edit->DeleteSelection();
        QApplication::processEvents();
        state.PauseTiming();
        edit->Undo();
        edit->setSelectionStart(200);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SelectAllDelete)->Unit(benchmark::kMillisecond)->Iterations(3);

// The undo of Select All + Delete on 20 MB, with the event loop turned once after it.
void BM_SelectAllDeleteUndo(benchmark::State& state)
{
    auto edit = shownWithText(20, 200);
    for (auto _ : state) {
        state.PauseTiming();
        edit->setSelectionStart(200);
        edit->SelectAll();
        edit->DeleteSelection();
        QApplication::processEvents();
        state.ResumeTiming();
        edit->Undo();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SelectAllDeleteUndo)->Unit(benchmark::kMillisecond)->Iterations(3);

// A long text loaded into a shown control until all of it is in, and (counters) the memory
// the process holds then and after Ctrl+End.
void BM_LongTextLoadShown(benchmark::State& state)
{
    QByteArray text = shortParagraphs(int(state.range(0)));
    for (auto _ : state) {
        auto edit = std::make_unique<RichEdit>();
        edit->setStreamFormat(StreamFormat::PlainText);
        edit->resize(800, 600);
        edit->show();
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        edit->LoadStream(buffer);
        while (edit->Loading())
            QApplication::processEvents();
        QApplication::processEvents();
        state.PauseTiming();
        state.counters["MiB"] = double(residentBytes()) / (1 << 20);
        bool settled = false;
        QObject::connect(edit.get(), &RichEdit::LinesSettled, [&settled] { settled = true; });
        edit->setSelectionStart(edit->TextLength()); // as Ctrl+End: the view goes to the end
        while (!settled)
            QApplication::processEvents();
        state.counters["MiB_end"] = double(residentBytes()) / (1 << 20);
        edit.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LongTextLoadShown)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// A typed key while the paragraphs above the caret settle: the caret was put at the end of
// 20 MB of text, so every turn of the event loop settles a slice above it.
void BM_KeyWhileSettling(benchmark::State& state)
{
    auto edit = shownWithText(20, 200);
    edit->setSelectionStart(edit->TextLength());
    QApplication::processEvents();
    QWidget* view = edit->widget();
    bool letter = true;
    for (auto _ : state) {
        typeOrRemoveLetter(view, letter);
        letter = !letter;
    }
}
BENCHMARK(BM_KeyWhileSettling)->Unit(benchmark::kMillisecond)->Iterations(100);

} // namespace
