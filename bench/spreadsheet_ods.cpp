// The ".ods" package against the flat ".qvc" on the same workbook: reading (parts joined,
// then the flat reader) and writing (the flat writer, then the parts split and zipped).
// usage: bench_spreadsheet_ods --workbook PATH.qvc [benchmark options]
//        (PATH.qvc from bench_spreadsheet_engine --write-workbook)
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace sheet;

namespace {

QByteArray g_flat; // the workbook as a flat ".qvc"
QByteArray g_package; // the same as an ".ods" package

void BM_QvcRead(benchmark::State &state)
{
    for (auto _ : state) {
        Workbook book;
        qvc::read(g_flat, book);
        benchmark::DoNotOptimize(book.sheetCount());
    }
    state.SetBytesProcessed(state.iterations() * g_flat.size());
}

void BM_OdsRead(benchmark::State &state)
{
    for (auto _ : state) {
        Workbook book;
        ods::read(g_package, book);
        benchmark::DoNotOptimize(book.sheetCount());
    }
}

void BM_OdsJoinParts(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ods::flatten(g_package).size());
}

void BM_QvcWrite(benchmark::State &state)
{
    Workbook book;
    qvc::read(g_flat, book);
    for (auto _ : state)
        benchmark::DoNotOptimize(qvc::write(book).size());
}

void BM_OdsWrite(benchmark::State &state)
{
    Workbook book;
    qvc::read(g_flat, book);
    for (auto _ : state)
        benchmark::DoNotOptimize(ods::write(book).size());
}

void BM_OdsSplitParts(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ods::pack(g_flat).size());
}

BENCHMARK(BM_QvcRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OdsRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OdsJoinParts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QvcWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OdsWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OdsSplitParts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || std::strcmp(argv[1], "--workbook") != 0) {
        std::fprintf(stderr, "usage: %s --workbook PATH.qvc [benchmark options]\n", argv[0]);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    g_flat = file.readAll();
    {
        Workbook book;
        qvc::read(g_flat, book);
        g_package = ods::write(book);
    }
    std::printf("flat: %lld bytes, package: %lld bytes\n", static_cast<long long>(g_flat.size()),
                static_cast<long long>(g_package.size()));
    argv[2] = argv[0];
    argc -= 2;
    argv += 2;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
