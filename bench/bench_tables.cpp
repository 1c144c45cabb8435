// Tables on the main window: a 10 MB document of 2,000-row tables, typed into and refreshed
// with the caret in a cell deep inside it, shown and laid out whole. And one long table read
// from RTF.
#include "BenchWindow.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/document/RichDocument.h"
#include "BenchKeys.h"
#include "BenchRtfRead.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"
#include "richtext/document/TableFormat.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextTable>
#include <benchmark/benchmark.h>

#include <memory>

using namespace zorim;
using namespace zorim::bench;
using bench::Window;

namespace {

// About `bytes` of text in tables of 2,000 rows by three cells (widths in twips as a read
// document states them), a paragraph between tables. Built in one edit with undo off, as a
// load builds a document. Answers a position in a cell three quarters down.
int buildTables(RichEdit& edit, int bytes)
{
    QTextDocument* doc = edit.view().document();
    doc->setUndoRedoEnabled(false);
    QTextCursor c(doc);
    c.beginEditBlock();
    const int widths[3] = {2000, 4000, 3000};
    const QString words[3] = {QStringLiteral("Položka číslo %1"),
                              QStringLiteral("Dodávka kancelárskeho materiálu, faktúra %1 zo dňa"),
                              QStringLiteral("%1,50 €")};
    int deep = -1;
    for (int n = 0; doc->characterCount() < bytes; ++n) {
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("Tabuľka %1").arg(n));
        QTextTableFormat tf;
        tf.setBorder(0);
        QTextTable* table = c.insertTable(2000, 3, tf);
        for (int r = 0; r < 2000; ++r) {
            int right = 0;
            for (int col = 0; col < 3; ++col) {
                right += widths[col];
                QTextTableCell cell = table->cellAt(r, col);
                QTextCharFormat f = cell.format();
                f.setProperty(tableprop::CellRightTwips, right);
                f.setProperty(tableprop::RowGapTwips, 108);
                f.setProperty(tableprop::BorderTwips, QVariant::fromValue(QList<int>{15, 15, 15, 15}));
                cell.setFormat(f);
                cell.firstCursorPosition().insertText(words[col].arg(r));
            }
        }
        if (doc->characterCount() > bytes * 3 / 4 && deep < 0)
            deep = table->cellAt(1500, 1).firstPosition() + 8;
    }
    c.endEditBlock();
    doc->setUndoRedoEnabled(true);
    return deep;
}

// One typed letter in a cell as the window sees it, the event loop turned once; the letter
// and its removal alternate.
void BM_TableTypedKey(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    edit.setSelectionStart(buildTables(edit, int(state.range(0))));
    edit.view().scrollCaret();
    QWidget* view = edit.widget();
    QApplication::processEvents();
    bool letter = true;
    for (auto _ : state) {
        typeOrRemoveLetter(view, letter);
        letter = !letter;
    }
    state.counters["chars"] = edit.TextLength();
}
BENCHMARK(BM_TableTypedKey)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

// The window's refresh of what follows the selection, the caret in that cell.
void BM_TableSelectionChange(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    edit.setSelectionStart(buildTables(edit, int(state.range(0))));
    w.form->SelectionChange();
    for (auto _ : state)
        w.form->SelectionChange();
}
BENCHMARK(BM_TableSelectionChange)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

// Showing the cell after the width changed (everything to be laid out again): the screen
// there is laid out, the rest waits for settling.
void BM_TableShowAfterWidthChange(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    const int deep = buildTables(edit, int(state.range(0)));
    QTextEdit* view = edit.widget();
    int width = view->width();
    for (auto _ : state) {
        width = width == 500 ? 520 : 500;
        view->resize(width, view->height());
        edit.setSelectionStart(deep);
        edit.view().scrollCaret();
        view->viewport()->repaint();
    }
}
BENCHMARK(BM_TableShowAfterWidthChange)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// The whole document laid out at a new width, as settling or a line count does it.
void BM_TableLayoutWhole(benchmark::State& state)
{
    Window w;
    RichEdit& edit = *w.form->RichEdit1;
    buildTables(edit, int(state.range(0)));
    QTextEdit* view = edit.widget();
    int width = view->width();
    for (auto _ : state) {
        width = width == 500 ? 520 : 500;
        view->resize(width, view->height());
        benchmark::DoNotOptimize(edit.document().layout().lineCount());
    }
}
BENCHMARK(BM_TableLayoutWhole)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(2);

// One table of `rows` rows by three cells, each row with its definition before it, as word
// processors write a table.
QByteArray longTableRtf(int rows)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\\f0\\fs20\r\n";
    for (int r = 0; r < rows; ++r) {
        const QByteArray n = QByteArray::number(r);
        out += "\\trowd\\trgaph108\\clbrdrb\\brdrs\\brdrw15\\cellx2000\\cellx6000\\cellx9000";
        out += "\\pard\\intbl Polo\\'9eka " + n + "\\cell\\pard\\intbl Dod\\'e1vka materi\\'e1lu, fakt\\'fara " + n
               + "\\cell\\pard\\intbl " + n + ",50 \\'80\\cell\\row\r\n";
    }
    return out + "\\pard\\par}";
}

// Reading one long table: Qt's table must not be made anew for each step it grows by.
void BM_RtfReadLongTable(benchmark::State& state)
{
    const QByteArray rtf = longTableRtf(int(state.range(0)));
    zorim::bench::timeRtfReads(state, rtf, [](const QByteArray& bytes, QTextCursor& cursor) { readRtf(bytes, cursor); });
    state.counters["file_MB"] = double(rtf.size()) / 1e6;
}
BENCHMARK(BM_RtfReadLongTable)->Arg(20'000)->Arg(160'000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
