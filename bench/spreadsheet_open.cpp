// Opening a large workbook in the spreadsheet window: from the open command (the grid's
// Read, as File > Ouvrir calls it) to the first paint of the grid showing the workbook,
// for the 100 000-formula workbook.
// usage: bench_spreadsheet_open --workbook PATH.qvc [benchmark options]
//        (PATH.qvc from bench_spreadsheet_engine --write-workbook)
#include "spreadsheet/ui/sheetview.h"
#include "spreadsheet/ui/tf1book.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

QString g_path;

// Notes when the grid has been painted after the open started (the paint and its flush done).
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *viewport, const QElapsedTimer &clock) : m_clock(clock) { viewport->installEventFilter(this); }
    double seconds = -1;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && m_clock.isValid() && seconds < 0 && !m_scheduled) {
            m_scheduled = true;
            QTimer::singleShot(0, this, [this] { seconds = m_clock.nsecsElapsed() / 1e9; });
        }
        return false;
    }

private:
    const QElapsedTimer &m_clock;
    bool m_scheduled = false;
};

// Wall time from the open command to the first screen painted; "read_ms": the open command
// alone.
void BM_OpenToFirstScreen(benchmark::State &state)
{
    double read = 0;
    for (auto _ : state) {
        TF1Book grid;
        grid.resize(800, 600);
        grid.show();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        FirstPaint first(grid.view()->viewport(), clock);
        clock.start();
        int format = 0;
        grid.Read(g_path, format);
        read += clock.nsecsElapsed() / 1e9;
        while (first.seconds < 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(first.seconds);
    }
    state.counters["read_ms"] = benchmark::Counter(read * 1000, benchmark::Counter::kAvgIterations);
}
// CPU time counts the thread that compiles formulas too.
BENCHMARK(BM_OpenToFirstScreen)->Unit(benchmark::kMillisecond)->UseManualTime()->MeasureProcessCPUTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || std::strcmp(argv[1], "--workbook") != 0) {
        std::fprintf(stderr, "usage: %s --workbook PATH.qvc [benchmark options]\n", argv[0]);
        return 2;
    }
    g_path = QString::fromLocal8Bit(argv[2]);
    argv[2] = argv[0];
    argc -= 2;
    argv += 2;
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
