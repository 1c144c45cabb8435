// Spelling as the user types: a typed key in a checked 5 MB document (with the marks on and
// off, so the difference is what checking costs), and checking a 10 MB document after its
// load, in slices on the event loop, with the longest turn of the loop it caused.
#include "BenchKeys.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/spelling/SpellCheck.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextEdit>
#include <benchmark/benchmark.h>

using namespace zorim;
using namespace zorim::bench;

namespace {

// About `bytes` of Slovak text in paragraphs of some twenty words; one word in each is made
// up of syllables, so the dictionary meets a few thousand words it does not know.
QByteArray slovakText(int bytes)
{
    const char* words[] = {"Dobrý", "deň", "vážený", "pán", "riaditeľ", "dovoľujem", "si", "Vás", "požiadať",
                           "o", "stretnutie", "vo", "štvrtok", "desiatej", "hodine", "pretože", "naša", "firma",
                           "pripravila", "novú", "ponuku", "pre", "školy", "a", "knižnice", "celého", "kraja"};
    const char* syllables[] = {"ka", "lo", "mi", "ne", "pu", "ro", "sta", "vé", "zu", "šo", "ťa", "dž", "ľu", "bré"};
    QRandomGenerator random(26);
    QByteArray out;
    out.reserve(bytes + 256);
    while (out.size() < bytes) {
        for (int i = 0; i < 20; ++i) {
            out += words[random.bounded(int(std::size(words)))];
            out += ' ';
        }
        for (int i = 0; i < 3; ++i)
            out += syllables[random.bounded(int(std::size(syllables)))];
        out += ".\n";
    }
    return out;
}

void load(RichEdit& edit, QByteArray text)
{
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::PlainText);
    edit.LoadStream(buffer);
    edit.CompleteLoad();
}

// One typed letter, then its removal, as the editor sees them, the event loop turned after
// each; range(1): marks on.
void BM_SpellingTypedKey(benchmark::State& state)
{
    RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    load(edit, slovakText(int(state.range(0))));
    edit.spelling().setEnabled(state.range(1) != 0);
    edit.spelling().misspellings(); // the whole document checked, as a few seconds after a load
    edit.setSelectionStart(edit.TextLength() * 3 / 4);
    QApplication::processEvents();
    bool letter = true;
    for (auto _ : state) {
        typeOrRemoveLetter(edit.widget(), letter);
        letter = !letter;
    }
    state.counters["chars"] = edit.TextLength();
}
BENCHMARK(BM_SpellingTypedKey)->Args({5 << 20, 1})->Args({5 << 20, 0})->Unit(benchmark::kMicrosecond);

// The edit of one key alone (a letter inserted, then removed) on a document no view shows, so
// the layout costs nothing and the difference between marks on and off is the re-check of
// the words around the edit.
void BM_SpellingEdit(benchmark::State& state)
{
    RichEdit edit;
    load(edit, slovakText(int(state.range(0))));
    edit.spelling().setEnabled(state.range(1) != 0);
    edit.spelling().misspellings();
    QTextCursor cursor(edit.document().textDocument());
    cursor.setPosition(edit.TextLength() * 3 / 4);
    for (auto _ : state) {
        cursor.insertText(QStringLiteral("a"));
        cursor.deletePreviousChar();
    }
}
BENCHMARK(BM_SpellingEdit)->Args({5 << 20, 1})->Args({5 << 20, 0})->Unit(benchmark::kMicrosecond);

// A 10 MB document loaded and shown, then checked: the first screen at once, the rest in
// slices. Counts the loop's longest turn (how long the window could not answer) and the
// marks found.
void BM_SpellingCheckAfterLoad(benchmark::State& state)
{
    const QByteArray text = slovakText(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        RichEdit edit;
        edit.resize(800, 600);
        edit.show();
        load(edit, text);
        QApplication::processEvents();
        state.ResumeTiming();
        edit.spelling().setEnabled(true);
        qint64 longest = 0;
        while (!edit.spelling().complete()) {
            QElapsedTimer turn;
            turn.start();
            QApplication::processEvents();
            longest = std::max(longest, turn.elapsed());
        }
        state.PauseTiming();
        state.counters["longest_turn_ms"] = double(longest);
        state.counters["marks"] = double(edit.spelling().misspellings().size());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SpellingCheckAfterLoad)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
