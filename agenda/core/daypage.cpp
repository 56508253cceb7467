#include "agenda/core/daypage.h"

#include "agenda/core/agendalist.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <utility>

namespace daypage {
namespace {

// Fills `slot` from the part of a slot line that follows its time key: the marker
// character, then subject and note split at the first TAB. Without a TAB only the marker
// is set, as the planner always read such lines.
void applySlotText(Slot &slot, const QString &afterDayKey)
{
    slot.marker = markerOfChar(afterDayKey.size() > 5 ? afterDayKey[5] : QChar());
    const QString rest = afterDayKey.mid(6, kMaxRead);
    const qsizetype tab = rest.indexOf(u'\t');
    if (tab >= 0) {
        slot.subject = rest.left(tab);
        slot.note = rest.mid(tab + 1, kMaxRead);
    }
}

// The rows of a day under some settings: their time keys and the row of each key. Every
// day read under the same settings has the same rows, and an export reads thousands of days:
// the grid is built again only when the settings change.
struct SlotGrid
{
    DaySettings settings;
    QStringList labels;
    QHash<QString, int> rowOf;
};

const SlotGrid &slotGrid(const DaySettings &settings)
{
    // A few settings in turn (a window and an export, say) each keep their grid.
    thread_local std::array<SlotGrid, 4> grids;
    thread_local size_t next = 0;
    for (const SlotGrid &g : grids)
        if (g.settings == settings && !g.labels.isEmpty())
            return g;
    SlotGrid &grid = grids[next];
    next = (next + 1) % grids.size();
    grid.settings = settings;
    grid.labels = agendadates::slotLabels(settings);
    grid.rowOf.clear();
    for (int i = 0; i < grid.labels.size(); ++i)
        grid.rowOf.insert(grid.labels[i], i);
    return grid;
}

// The first text of a line ends at its first TAB: a TAB typed into it is kept as a blank,
// or the rest would be read back as the second text.
QString withoutTabs(QString text) { return text.replace(u'\t', u' '); }

} // namespace

QString markerOfChar(QChar c)
{
    if (c.isNull() || c == u' ')
        return QString();
    if (c == u'[')
        return kRangeMarker;
    return QString(c);
}

QString storedMarker(const QString &marker)
{
    qsizetype i = 0;
    while (i < marker.size() && marker[i] == u' ')
        ++i;
    const QString s = marker.mid(i);
    return s.isEmpty() ? QStringLiteral(" ") : s;
}

Page emptyPage(const QDate &date, const DaySettings &settings)
{
    Page p;
    p.date = date;
    p.labels = slotGrid(settings).labels;
    p.rows.resize(p.labels.size());
    return p;
}

Page readDay(const AgendaList &list, const QDate &date, const DaySettings &settings)
{
    Page p = emptyPage(date, settings);
    const QHash<QString, int> &rowOf = slotGrid(settings).rowOf;
    const QString dayMonth = agendadates::shortDate(date).left(5);
    int noteRow = 0;
    for (const QString &line : list.linesOfDay(agendadates::dayKey(date))) {
        const QString r = line.mid(AgendaList::kKeyLength, kMaxRead);
        const QString head = r.left(5);
        const auto row = rowOf.constFind(head);
        if (head.size() == 5 && row != rowOf.constEnd()) {
            applySlotText(p.rows[*row], r);
        } else if (head.size() == 5 && head == dayMonth) {
            const QString rest = r.mid(10);
            const qsizetype tab = rest.indexOf(u'\t');
            if (tab >= 0 && noteRow < 2)
                p.notes[size_t(noteRow++)] = DayNote{rest.left(tab), rest.mid(tab + 1)};
        } else if (agendadates::looksLikeTimeKey(head)) {
            p.kept.append(line);
        }
    }
    return p;
}

QStringList dayLines(const Page &page)
{
    const QString key = agendadates::dayKey(page.date);
    // (time key, line): shown rows and kept lines merged by time; a stable sort keeps the
    // order of kept lines that share a time, so reading them back gives the same result.
    std::vector<std::pair<QString, QString>> slotLines;
    for (int i = 0; i < page.rows.size() && i < page.labels.size(); ++i) {
        const Slot &s = page.rows[i];
        if (s.isEmpty())
            continue;
        slotLines.emplace_back(page.labels[i],
                               key + page.labels[i] + storedMarker(s.marker) + withoutTabs(s.subject) + u'\t' + s.note);
    }
    for (const QString &line : page.kept)
        slotLines.emplace_back(line.mid(AgendaList::kKeyLength, 5), line);
    std::stable_sort(slotLines.begin(), slotLines.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList out;
    out.reserve(qsizetype(slotLines.size()) + 2);
    for (auto &p : slotLines)
        out.append(std::move(p.second));
    const QString date = agendadates::shortDate(page.date);
    for (const DayNote &n : page.notes)
        if (!n.isEmpty())
            out.append(key + date + withoutTabs(n.first) + u'\t' + n.second);
    return out;
}

void writeDay(AgendaList &list, const Page &page) { list.replaceDay(agendadates::dayKey(page.date), dayLines(page)); }

QString clipboardLine(const QString &label, const Slot &slot)
{
    return label + storedMarker(slot.marker) + slot.subject + u'\t' + slot.note;
}

bool paste(Page &page, const QString &line)
{
    if (line.size() < 5)
        return false;
    const qsizetype row = page.labels.indexOf(line.left(5));
    if (row < 0)
        return false;
    applySlotText(page.rows[row], line);
    return true;
}

void markRange(QList<Slot> &rows, int a, int b)
{
    const int from = qMax(0, qMin(a, b));
    const int to = qMin(int(rows.size()) - 1, qMax(a, b));
    for (int r = from; r <= to; ++r)
        rows[r].marker = kRangeMarker;
}

void clearRange(QList<Slot> &rows, int row)
{
    auto walk = [&](int r, int step) {
        for (; r >= 0 && r < rows.size(); r += step) {
            QString &m = rows[r].marker;
            if (m.isEmpty())
                return;
            if (m == kRangeMarker)
                m.clear();
        }
    };
    walk(row, +1);
    walk(row - 1, -1);
}

QList<Entry> entries(const Page &page)
{
    QList<Entry> out;
    for (int i = 0; i < page.rows.size(); ++i) {
        const Slot &s = page.rows[i];
        if (s.isEmpty())
            continue;
        const QString m = storedMarker(s.marker);
        out.append(Entry{page.labels[i], m == u" " ? QString() : m, s.subject, s.note});
    }
    for (const DayNote &n : page.notes)
        if (!n.isEmpty())
            out.append(Entry{QString(), QString(), n.first, n.second});
    return out;
}

} // namespace daypage
