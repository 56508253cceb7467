// Fuzzes the ".qva" reader and the day model: any bytes load into lines that write back
// and read again unchanged, and every day read from them survives being written back.
#include "agenda/core/agendaexport.h"
#include "agenda/core/agendafile.h"
#include "agenda/core/agendalist.h"
#include "agenda/core/daypage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
// Written back, the day notes close up (an empty first row is not stored) and the slot
// lines no row shows are merged in by time.
QList<daypage::DayNote> filledNotes(const daypage::Page &p)
{
    QList<daypage::DayNote> out;
    for (const daypage::DayNote &n : p.notes)
        if (!n.isEmpty())
            out.append(n);
    return out;
}

QStringList keptByTime(QStringList kept)
{
    std::stable_sort(kept.begin(), kept.end(),
                     [](const QString &a, const QString &b) { return a.mid(8, 5) < b.mid(8, 5); });
    return kept;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = agendafile::parse(bytes);
    AgendaList list(lines);
    bool lossless = false;
    const QByteArray saved = agendafile::serialise(list, &lossless);
    if (!lossless || agendafile::parse(saved) != lines)
        std::abort();

    const DaySettings settings[] = {{8, 18, 2}, {0, 24, 3}, {12, 12, 1}};
    for (const QDate &day : agendaexport::daysInOrder(list)) {
        for (const DaySettings &s : settings) {
            const daypage::Page page = daypage::readDay(list, day, s);
            AgendaList copy(list.linesOfDay(agendadates::dayKey(day)));
            daypage::writeDay(copy, page);
            const daypage::Page again = daypage::readDay(copy, day, s);
            if (again.rows != page.rows || filledNotes(again) != filledNotes(page)
                || again.kept != keptByTime(page.kept))
                std::abort();
        }
    }
    agendaexport::toCsv(list, settings[0]);
    agendaexport::toIcs(list, settings[1], QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC), QStringLiteral("fuzz"));
    return 0;
}
