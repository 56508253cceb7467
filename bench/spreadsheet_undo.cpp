// Undo in a workbook of 100 000 formulas (the file `bench_spreadsheet_engine
// --write-workbook` writes, given by VELMORA_UNDO_WORKBOOK): the time of one undo, and of
// the change it undoes, for each kind of change. Only the undo is timed (manual time);
// the change is redone between iterations.
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <functional>

using namespace sheet;

namespace {

Workbook &book()
{
    static Workbook *b = [] {
        auto *w = new Workbook;
        const char *path = std::getenv("VELMORA_UNDO_WORKBOOK");
        qvc::readFile(QString::fromLocal8Bit(path ? path : "bench.qvc"), *w);
        return w;
    }();
    return *b;
}

// The processor time of this thread, in milliseconds: on a machine shared with other work,
// wall-clock time also counts the time spent waiting for a processor.
double threadMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Times undo after `change` (recorded in the history), redoing between iterations.
void undoOf(benchmark::State &state, const std::function<void(Workbook &, WorkbookHistory &)> &change)
{
    Workbook &b = book();
    WorkbookHistory history(b);
    QElapsedTimer clock;
    clock.start();
    double cpu = threadMilliseconds();
    change(b, history);
    state.counters["change_ms"] = double(clock.nsecsElapsed()) / 1e6;
    state.counters["change_cpu_ms"] = threadMilliseconds() - cpu;
    double undoCpu = 0;
    for (auto _ : state) {
        clock.restart();
        cpu = threadMilliseconds();
        history.undo();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        undoCpu += threadMilliseconds() - cpu;
        history.redo();
    }
    state.counters["undo_cpu_ms"] = undoCpu / double(state.iterations());
    history.undo();
}

void BM_UndoEntryReadByHalfTheSums(benchmark::State &state)
{
    undoOf(state, [](Workbook &b, WorkbookHistory &h) {
        h.changeCells(0, CellRange::single(12500, 6), [&] { b.setEntry(0, 12500, 6, QStringLiteral("100")); });
    });
}

void BM_UndoPasteOf1000Cells(benchmark::State &state)
{
    undoOf(state, [](Workbook &b, WorkbookHistory &h) {
        QString text;
        for (int r = 0; r < 250; ++r)
            text += QStringLiteral("1\t2\t3\t4\n");
        const CellRange extent = clipboard::textExtent(2000, 12, text);
        h.changeCells(0, extent, [&] { clipboard::pasteText(b, 0, 2000, 12, text); });
    });
}

void BM_UndoFormatOfWholeColumn(benchmark::State &state)
{
    undoOf(state, [](Workbook &b, WorkbookHistory &h) {
        const CellRange column{1, 5, kMaxRows, 5};
        h.changeFormats(0, column, [&] { b.modifyFormat(0, column, [](CellFormat &f) { f.bold = true; }); });
    });
}

void BM_UndoDeleteRow(benchmark::State &state)
{
    undoOf(state, [](Workbook &, WorkbookHistory &h) { h.deleteLines(0, true, 500, 1); });
}

void BM_UndoInsertColumn(benchmark::State &state)
{
    undoOf(state, [](Workbook &, WorkbookHistory &h) { h.insertLines(0, false, 3, 1); });
}

void BM_UndoSortOf1000Rows(benchmark::State &state)
{
    undoOf(state, [](Workbook &, WorkbookHistory &h) {
        const CellRange table{1, 1, 1000, 2};
        h.sortRows(0, table, {-2, 0, 0});
    });
}

void BM_UndoRenameSheet(benchmark::State &state)
{
    undoOf(state, [](Workbook &, WorkbookHistory &h) { h.renameSheet(0, QStringLiteral("Calculs")); });
}

BENCHMARK(BM_UndoEntryReadByHalfTheSums)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_UndoPasteOf1000Cells)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_UndoFormatOfWholeColumn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_UndoDeleteRow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoInsertColumn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoSortOf1000Rows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoRenameSheet)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
