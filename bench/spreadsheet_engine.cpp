// Workbook engine benchmarks: a workbook of 100 000 formula cells (chains, running sums,
// IF/MOD, SUM over large ranges, VLOOKUP into 1000 rows) opened from its ".qvc", fully
// recalculated and written as CSV, against the floor of reading and writing the same XML
// without evaluating anything; and the recalculation after a change of one input cell.
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"
#include "spreadsheet/core/workbookimpl.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include <malloc.h>

using namespace sheet;

namespace {

// Rows of the benchmark's workbook: four formulas a row (100 005 formulas in all); the
// command line may ask for more (250 000 rows give a million formulas).
int kRows = 25000;

// Columns: A,B lookup table (1000 rows); D chain from H1; E running sums of F; F inputs;
// G IF/MOD of F; I VLOOKUP; J sums over whole columns; K a parameter read by five formulas.
// 100 005 formulas in all.
void buildWorkbook(Workbook &book)
{
    WorkbookAccess access(book);
    access.beginBatch();
    for (int r = 1; r <= 1000; ++r) {
        book.setValue(0, r, 1, Value::number(r));
        book.setValue(0, r, 2, Value::number(r * 3));
    }
    book.setValue(0, 1, 8, Value::number(1));
    for (int r = 1; r <= kRows; ++r) {
        book.setValue(0, r, 6, Value::number(r % 7));
        book.setFormula(0, r, 4, r == 1 ? QStringLiteral("$H$1") : QStringLiteral("D%1+1").arg(r - 1));
        book.setFormula(0, r, 5, r == 1 ? QStringLiteral("F1") : QStringLiteral("E%1+F%2").arg(r - 1).arg(r));
        book.setFormula(0, r, 7, QStringLiteral("IF(MOD(F%1;2)=0;F%1*2;F%1/2)").arg(r));
        if (r <= kRows - 100)
            book.setFormula(0, r, 9, QStringLiteral("VLOOKUP(MOD(F%1*37+%1;1000)+1;$A$1:$B$1000;2;0)").arg(r));
    }
    // An input read by a handful of formulas (a rate, a parameter).
    book.setValue(0, 1, 11, Value::number(0.2));
    for (int r = 2; r <= 6; ++r)
        book.setFormula(0, r, 11, QStringLiteral("$K$1*F%1").arg(r));
    for (int r = 1; r <= 100; ++r)
        book.setFormula(0, r, 10,
                        r % 2 ? QStringLiteral("SUM(E$1:E%1)").arg(kRows) : QStringLiteral("SUM(G1:G%1)").arg(kRows));
    access.endBatch();
}

struct Fixture
{
    Fixture()
    {
        buildWorkbook(book);
        path = dir.filePath(QStringLiteral("bench.qvc"));
        qvc::writeFile(path, book);
    }
    QTemporaryDir dir;
    QString path;
    Workbook book;
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_OpenRecalcCsv(benchmark::State &state)
{
    const QString path = fixture().path;
    for (auto _ : state) {
        Workbook book;
        qvc::readFile(path, book);
        const QByteArray csv = csv::exportSheet(book, 0); // recalculates everything first
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(BM_OpenRecalcCsv)->Unit(benchmark::kMillisecond)->MinTime(3)->MeasureProcessCPUTime();

// The floor: the same file read and written again, element by element, without a model.
void BM_XmlCopyFloor(benchmark::State &state)
{
    QFile file(fixture().path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        QByteArray out;
        QXmlStreamReader reader(bytes);
        QXmlStreamWriter writer(&out);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.tokenType() != QXmlStreamReader::Invalid)
                writer.writeCurrentToken(reader);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_XmlCopyFloor)->Unit(benchmark::kMillisecond)->MinTime(3);

// The parts of the open: reading the file into the model (formulas compiled, everything
// recalculated once), and writing it back.
void BM_OpenQvc(benchmark::State &state)
{
    const QString path = fixture().path;
    for (auto _ : state) {
        Workbook book;
        qvc::readFile(path, book);
        benchmark::DoNotOptimize(&book);
    }
}
// The open compiles formulas on a second thread: CPU time counts both.
BENCHMARK(BM_OpenQvc)->Unit(benchmark::kMillisecond)->MinTime(3)->MeasureProcessCPUTime();

void BM_SaveQvc(benchmark::State &state)
{
    const QString path = fixture().dir.filePath(QStringLiteral("saved.qvc"));
    for (auto _ : state)
        qvc::writeFile(path, fixture().book);
}
BENCHMARK(BM_SaveQvc)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_FullRecalc(benchmark::State &state)
{
    Workbook &book = fixture().book;
    for (auto _ : state)
        book.recalculate();
}
BENCHMARK(BM_FullRecalc)->Unit(benchmark::kMillisecond)->MinTime(3);

// One input cell changed, by how much of the workbook reads it.
void changeInput(benchmark::State &state, int row, int col)
{
    Workbook &book = fixture().book;
    double v = 0;
    for (auto _ : state) {
        book.setValue(0, row, col, Value::number(++v));
    }
}

void BM_ChangeParameter(benchmark::State &state) { changeInput(state, 1, 11); }
void BM_ChangeLeafInput(benchmark::State &state) { changeInput(state, kRows - 2, 6); }
void BM_ChangeMidRunningSum(benchmark::State &state) { changeInput(state, kRows / 2, 6); }
void BM_ChangeChainHead(benchmark::State &state) { changeInput(state, 1, 8); }
void BM_ChangeLookupTable(benchmark::State &state) { changeInput(state, 500, 2); }
BENCHMARK(BM_ChangeParameter)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ChangeLeafInput)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ChangeMidRunningSum)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ChangeChainHead)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ChangeLookupTable)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

// "--write-workbook PATH" writes the benchmark's workbook and stops, so that the peer
// programs can be timed on the very same file (bench/spreadsheet-peers.sh).
int main(int argc, char **argv)
{
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--write-workbook") == 0) {
        if (argc == 4)
            kRows = std::max(1000, std::atoi(argv[3]));
        Workbook book;
        buildWorkbook(book);
        qvc::writeFile(QString::fromLocal8Bit(argv[2]), book);
        return 0;
    }
    // "--memory [ROWS]": heap the engine holds for the benchmark's workbook, built in memory
    // and computed (no file read, so only the cells, formulas and dependency index count).
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--memory") == 0) {
        if (argc == 3)
            kRows = std::max(1000, std::atoi(argv[2]));
        // Cells and formulas live in slabs mapped apart from the heap: counted beside it.
        auto slabBytes = [] {
            return double(Cell::slabPool().slabCount() + Formula::slabPool().slabCount()) * SlabPool::kSlabBytes;
        };
        const size_t before = mallinfo2().uordblks;
        const double slabsBefore = slabBytes();
        Workbook book;
        buildWorkbook(book);
        const double heap = double(mallinfo2().uordblks - before);
        const double slabs = slabBytes() - slabsBefore;
        std::printf("%d rows: %.1f MB held (%.1f MB of heap, %.1f MB of cell and formula slabs)\n", kRows,
                    (heap + slabs) / 1e6, heap / 1e6, slabs / 1e6);
        return 0;
    }
    // "--convert IN.qvc OUT.csv": what the headless conversion does (open, full
    // recalculation, CSV of the first sheet), without the program's start-up.
    if (argc == 4 && std::strcmp(argv[1], "--convert") == 0) {
        Workbook book;
        qvc::readFile(QString::fromLocal8Bit(argv[2]), book);
        csv::exportSheetToFile(book, 0, QString::fromLocal8Bit(argv[3]));
        return 0;
    }
    // "--resave IN.qvc OUT.qvc": opens a workbook and saves it again.
    if (argc == 4 && std::strcmp(argv[1], "--resave") == 0) {
        Workbook book;
        qvc::readFile(QString::fromLocal8Bit(argv[2]), book);
        qvc::writeFile(QString::fromLocal8Bit(argv[3]), book);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
