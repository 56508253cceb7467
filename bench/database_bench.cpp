// The card-file database at full size (16384 records of 32 fields of 20 to 40 bytes):
// load + save, sort and search through one field, the window's load, against the floor of
// reading and writing the same bytes in the same run.
// `bench_database --generate DIR` writes the data as DIR/plein.qvb and DIR/plein.csv (the
// same records) for database-sort.sh, which times `sort -t';' -k3,3` on the CSV.
#include "common/atomicsave.h"
#include "common/ui/headlessframe.h"
#include "common/ui/printing.h"
#include "database/core/csvformat.h"
#include "database/core/qvbformat.h"
#include "database/core/recordsearch.h"
#include "database/core/recordsort.h"
#include "database/ui/databasemodule.h"
#include "database/ui/tfichier.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

const char *const kWords[] = {"Dupont", "Martin", "Hélène", "rue", "de",    "la",       "Paix",     "avenue", "Victor",
                              "Hugo",   "Lyon",   "Paris",  "Zoé", "Dijon", "bâtiment", "escalier", "B",      "12",
                              "Émile",  "Nîmes",  "chez",   "M.",  "Mme",   "Lefèvre",  "Brest",    "Annecy"};

Table fullTable()
{
    Table t;
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> length(20, 40);
    std::uniform_int_distribution<int> word(0, int(std::size(kWords)) - 1);
    for (int f = 1; f <= Table::kMaxFields; ++f)
        t.setCell(f, 0, QStringLiteral("Champ %1").arg(f));
    for (int r = 1; r <= Table::kMaxRecords; ++r) {
        for (int f = 1; f <= Table::kMaxFields; ++f) {
            const int n = length(rng);
            QString s;
            while (s.size() < n)
                s += QString::fromUtf8(kWords[word(rng)]) + u' ';
            t.setCell(f, r, s.left(n));
        }
    }
    t.NbFiches = Table::kMaxRecords;
    t.NbChamps = Table::kMaxFields;
    return t;
}

struct Data
{
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
    Data()
    {
        path = dir.filePath(QStringLiteral("plein.qvb"));
        bytes = qvb::serialize(fullTable());
        atomicsave::write(path, bytes);
    }
};

Data &data()
{
    static Data d;
    return d;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Floor: the file's bytes read and written back, nothing understood.
void BM_ReadWriteFloor(benchmark::State &state)
{
    const QString out = data().dir.filePath(QStringLiteral("floor.qvb"));
    for (auto _ : state)
        atomicsave::write(out, readAll(data().path));
    state.SetBytesProcessed(state.iterations() * data().bytes.size());
}
BENCHMARK(BM_ReadWriteFloor)->Unit(benchmark::kMillisecond);

// What the window's Charge then Sauve do with the file (target: under 150 ms).
void BM_LoadSave(benchmark::State &state)
{
    const QString out = data().dir.filePath(QStringLiteral("copie.qvb"));
    for (auto _ : state) {
        Table t;
        qvb::load(data().path, t);
        qvb::save(out, t);
    }
    state.SetBytesProcessed(state.iterations() * data().bytes.size());
}
BENCHMARK(BM_LoadSave)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State &state)
{
    for (auto _ : state) {
        Table t;
        qvb::load(data().path, t);
        benchmark::DoNotOptimize(t.NbFiches);
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State &state)
{
    Table t;
    qvb::load(data().path, t);
    const QString out = data().dir.filePath(QStringLiteral("copie.qvb"));
    for (auto _ : state)
        qvb::save(out, t);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// Sort of the 16384 records on field 3, from the loaded (unsorted) order (target: 50 ms).
void BM_Sort(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<Table>();
        qvb::parse(data().bytes, *t);
        state.ResumeTiming();
        recordsort::sortRecords(*t, 3, false);
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond);

// Load, sort and save: the whole road that `sort -t';' -k3,3 plein.csv` takes on the CSV.
void BM_LoadSortSave(benchmark::State &state)
{
    const QString out = data().dir.filePath(QStringLiteral("trie.qvb"));
    for (auto _ : state) {
        Table t;
        qvb::load(data().path, t);
        recordsort::sortRecords(t, 3, false);
        qvb::save(out, t);
    }
}
BENCHMARK(BM_LoadSortSave)->Unit(benchmark::kMillisecond);

// A search through one field that finds nothing, so every record is read (target: 5 ms).
void BM_SearchOneField(benchmark::State &state)
{
    Table t;
    qvb::parse(data().bytes, t);
    for (auto _ : state)
        benchmark::DoNotOptimize(recordsearch::find(t, 3, QStringLiteral("INTROUVABLE"), 1));
}
BENCHMARK(BM_SearchOneField)->Unit(benchmark::kMillisecond);

// The window's load of the full file, its grid shown and painted once.
void BM_WindowCharge(benchmark::State &state)
{
    HeadlessFrame frame;
    DatabaseModule module(nullptr);
    for (auto _ : state) {
        std::unique_ptr<DocumentWindow> w(module.createWindow(frame));
        w->show();
        dynamic_cast<TFichier *>(w.get())->Charge(data().path);
        w->grab();
    }
}
BENCHMARK(BM_WindowCharge)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
        QCoreApplication app(argc, argv);
        const QString dir = QString::fromLocal8Bit(argv[2]);
        const Table t = fullTable();
        atomicsave::write(dir + QStringLiteral("/plein.qvb"), qvb::serialize(t));
        atomicsave::write(dir + QStringLiteral("/plein.csv"), csv::serialize(t));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
