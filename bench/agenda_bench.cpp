// The day planner on a ten-year agenda (about 100 000 lines): loading, saving and moving
// from day to day, against the floor of reading the file's bytes in the same run.
// `bench_agenda --generate FILE` writes the agenda used here (for agenda-resave.sh).
#include "agenda/core/agendadates.h"
#include "agenda/core/agendaexport.h"
#include "agenda/core/agendafile.h"
#include "agenda/core/agendalist.h"
#include "agenda/core/daypage.h"
#include "agenda/ui/agendagrid.h"
#include "agenda/ui/agendamodule.h"
#include "agenda/ui/tagenda.h"
#include "common/textfile.h"
#include "common/ui/headlessframe.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

const QDate kFirstDay(2015, 1, 1);
constexpr int kDays = 3652;

// 21 half-hour slots from 08:00 to 18:00, four slots outside them (07:00, 08:45, 19:00,
// 20:00, kept when the day is written back) and the two day notes: 27 lines a day.
QStringList tenYears()
{
    QStringList lines;
    lines.reserve(kDays * 27);
    const QStringList extra{u"07:00"_qs, u"08:45"_qs, u"19:00"_qs, u"20:00"_qs};
    for (int d = 0; d < kDays; ++d) {
        const QDate day = kFirstDay.addDays(d);
        const QString key = agendadates::dayKey(day);
        int n = 0;
        for (const QString &t : agendadates::slotLabels(DaySettings{}) + extra)
            lines << key + t + (n++ % 5 == 0 ? u'[' : u' ')
                            + QStringLiteral("Rendez-vous n°%1 avec M. Dupré").arg(d * 31 + n) + u'\t'
                            + QStringLiteral("salle %1, étage %2").arg(n).arg(d % 7);
        lines << key + agendadates::shortDate(day) + QStringLiteral("Anniversaire de Zoé\tgâteau");
        lines << key + agendadates::shortDate(day) + QStringLiteral("Courrier à poster\t");
    }
    return lines;
}

struct Data
{
    QTemporaryDir dir;
    QString path;
    qint64 bytes = 0;
    Data()
    {
        path = dir.filePath(QStringLiteral("dix-ans.qva"));
        const QByteArray b = agendafile::serialise(AgendaList(tenYears()));
        agendafile::write(path, b);
        bytes = b.size();
    }
};

Data &data()
{
    static Data d;
    return d;
}

void BM_PlainRead(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(data().path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
    state.SetBytesProcessed(state.iterations() * data().bytes);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// A second floor: the program's plain text-file reader (bytes, lines, Windows-1252).
void BM_ReadLines(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(textfile::readLines(data().path));
    state.SetBytesProcessed(state.iterations() * data().bytes);
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State &state)
{
    for (auto _ : state) {
        AgendaList list(agendafile::read(data().path));
        benchmark::DoNotOptimize(daypage::readDay(list, kFirstDay.addDays(1000), DaySettings{}));
    }
    state.SetBytesProcessed(state.iterations() * data().bytes);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State &state)
{
    const AgendaList list(agendafile::read(data().path));
    const QString out = data().dir.filePath(QStringLiteral("copie.qva"));
    for (auto _ : state)
        agendafile::write(out, agendafile::serialise(list));
    state.SetBytesProcessed(state.iterations() * data().bytes);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_ExportIcs(benchmark::State &state)
{
    const AgendaList list(agendafile::read(data().path));
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    for (auto _ : state)
        benchmark::DoNotOptimize(agendaexport::toIcs(list, DaySettings{}, stamp, QStringLiteral("bench")));
}
BENCHMARK(BM_ExportIcs)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State &state)
{
    const AgendaList list(agendafile::read(data().path));
    for (auto _ : state)
        benchmark::DoNotOptimize(agendaexport::toCsv(list, DaySettings{}));
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// The model's part of a day change: the day written back (changed), the next one read.
void BM_DayChangeModel(benchmark::State &state)
{
    AgendaList list(agendafile::read(data().path));
    int d = 0;
    for (auto _ : state) {
        const QDate day = kFirstDay.addDays(d);
        daypage::Page page = daypage::readDay(list, day, DaySettings{});
        page.rows[3].note += u'x';
        daypage::writeDay(list, page);
        d = (d + 1) % kDays;
        benchmark::DoNotOptimize(daypage::readDay(list, kFirstDay.addDays(d), DaySettings{}));
    }
    state.counters["lines"] = double(list.size());
}
BENCHMARK(BM_DayChangeModel)->Unit(benchmark::kMicrosecond);

// The agenda window loaded with the ten years: a key typed, then "Jour suivant" (or
// "Jour précédent" on the way back), the grids refilled.
void BM_DayChangeWindow(benchmark::State &state)
{
    HeadlessFrame frame;
    AgendaModule module(nullptr);
    TAgenda w(frame, module);
    w.resize(600, 500);
    w.show();
    w.Charge(data().path);
    w.showDate(kFirstDay.addDays(1500));
    bool forward = true;
    int steps = 0;
    for (auto _ : state) {
        QLineEdit *editor = w.StringGrid1->editor();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(editor, &press);
        forward ? w.Suivant() : w.Precedent();
        if (++steps == 500) {
            steps = 0;
            forward = !forward;
        }
    }
    state.counters["lines"] = double(w.agendaList().size());
}
BENCHMARK(BM_DayChangeWindow)->Unit(benchmark::kMicrosecond);

// Loading as "Ouvrir" does: the window reads the file and shows today's page of it.
void BM_ChargeWindow(benchmark::State &state)
{
    HeadlessFrame frame;
    AgendaModule module(nullptr);
    for (auto _ : state) {
        TAgenda w(frame, module);
        w.Charge(data().path);
    }
    state.SetBytesProcessed(state.iterations() * data().bytes);
}
BENCHMARK(BM_ChargeWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
        QCoreApplication app(argc, argv);
        agendafile::write(QString::fromLocal8Bit(argv[2]), agendafile::serialise(AgendaList(tenYears())));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
