// One day of the agenda: reading it out of the list, writing it back, ranges, the row
// clipboard and the listing of entries.
#include "agenda/core/agendalist.h"
#include "agenda/core/daypage.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using daypage::Page;

namespace {
const QDate kDay(1999, 4, 16);
const DaySettings kDefault{8, 18, 2};

int rowOf(const Page &p, const QString &time) { return int(p.labels.indexOf(time)); }
const daypage::Slot &slotAt(const Page &p, const QString &time) { return p.rows[rowOf(p, time)]; }
} // namespace

class TestAgendaDay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsSlotAndDayNote();
    void readLine_data();
    void readLine();
    void laterLineWins();
    void dayNotes();
    void writeRoundTrip();
    void tabInFirstTextIsWrittenAsBlank();
    void emptyDayWritesNothing();
    void scaleChangeKeepsHiddenSlots();
    void longLinesAreCut();
    void garbageOfRewrittenDayIsDropped();
    void clearRange_data();
    void clearRange();
    void clipboard();
};

void TestAgendaDay::readsSlotAndDayNote()
{
    const AgendaList list(QStringList{u"1999041608:30[Réunion\tsalle 2"_s, u"1999041616/04/1999Anniversaire\t"_s});
    const Page p = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(p.labels.size(), 21);
    QCOMPARE(slotAt(p, u"08:30"_s), (daypage::Slot{u" ["_s, u"Réunion"_s, u"salle 2"_s}));
    QCOMPARE(p.notes[0], (daypage::DayNote{u"Anniversaire"_s, u""_s}));
    QVERIFY(p.notes[1].isEmpty());
    QCOMPARE(daypage::dayLines(p), list.lines());
}

void TestAgendaDay::readLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("note");
    QTest::newRow("plain slot") << u"1999041609:00 Dentiste\t"_s << u""_s << u"Dentiste"_s << u""_s;
    QTest::newRow("marker only") << u"1999041609:00[\t"_s << u" ["_s << u""_s << u""_s;
    QTest::newRow("no TAB sets only the marker") << u"1999041609:00[Dentiste"_s << u" ["_s << u""_s << u""_s;
    QTest::newRow("time key alone") << u"1999041609:00"_s << u""_s << u""_s << u""_s;
    QTest::newRow("note keeps later TABs") << u"1999041609:00 a\tb\tc"_s << u""_s << u"a"_s << u"b\tc"_s;
    QTest::newRow("other marker kept") << u"1999041609:00xa\tb"_s << u"x"_s << u"a"_s << u"b"_s;
}

void TestAgendaDay::readLine()
{
    QFETCH(QString, line);
    QFETCH(QString, marker);
    QFETCH(QString, subject);
    QFETCH(QString, note);
    const Page p = daypage::readDay(AgendaList(QStringList{line}), kDay, kDefault);
    QCOMPARE(slotAt(p, u"09:00"_s), (daypage::Slot{marker, subject, note}));
}

void TestAgendaDay::laterLineWins()
{
    const AgendaList list(QStringList{u"1999041609:00 premier\tx"_s, u"1999041609:00[second\t"_s});
    const Page p = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(slotAt(p, u"09:00"_s), (daypage::Slot{u" ["_s, u"second"_s, u""_s}));
    QCOMPARE(daypage::dayLines(p), QStringList{u"1999041609:00[second\t"_s});
}

void TestAgendaDay::dayNotes()
{
    const AgendaList list(QStringList{
            u"1999041616/04/1999sans tabulation"_s, // ignored, uses no row
            u"1999041616/04/1999un\tdeux"_s, u"1999041616/04/1999trois\t"_s,
            u"1999041616/04/1999quatre\t"_s, // a third note is not shown
            u"1999041616/04/2005autre année\t"_s, // only dd/mm is compared
    });
    const Page p = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(p.notes[0], (daypage::DayNote{u"un"_s, u"deux"_s}));
    QCOMPARE(p.notes[1], (daypage::DayNote{u"trois"_s, u""_s}));
    QCOMPARE(daypage::dayLines(p), (QStringList{u"1999041616/04/1999un\tdeux"_s, u"1999041616/04/1999trois\t"_s}));
}

void TestAgendaDay::writeRoundTrip()
{
    AgendaList list(QStringList{u"1999041510:00 autre jour\t"_s});
    Page p = daypage::emptyPage(kDay, DaySettings{8, 18, 3});
    p.rows[rowOf(p, u"08:45"_s)] = {u""_s, u"Café"_s, u"avec ; et \"guillemets\""_s};
    p.rows[rowOf(p, u"18:00"_s)] = {u" ["_s, u""_s, u""_s};
    p.notes[1] = {u""_s, u"seconde"_s};
    daypage::writeDay(list, p);
    QCOMPARE(list.lines(),
             (QStringList{u"1999041510:00 autre jour\t"_s, u"1999041608:45 Café\tavec ; et \"guillemets\""_s,
                          u"1999041618:00[\t"_s, u"1999041616/04/1999\tseconde"_s}));
    const Page back = daypage::readDay(list, kDay, DaySettings{8, 18, 3});
    QCOMPARE(back.rows, p.rows);
    // Day notes fill the rows in the order of their lines: the second row comes back first.
    QCOMPARE(back.notes[0], p.notes[1]);
    QVERIFY(back.notes[1].isEmpty());
}

// A subject (or a day note's first text) ends at the first TAB of its line: one typed into it
// is written as a blank, so that the day reads back with the same texts in the same places.
void TestAgendaDay::tabInFirstTextIsWrittenAsBlank()
{
    AgendaList list;
    Page p = daypage::emptyPage(kDay, kDefault);
    p.rows[rowOf(p, u"09:00"_s)] = {u""_s, u"sujet\tcoupé"_s, u"note\tgardée"_s};
    p.notes[0] = {u"un\tdeux"_s, u"trois\tquatre"_s};
    daypage::writeDay(list, p);
    const Page back = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(slotAt(back, u"09:00"_s).subject, u"sujet coupé"_s);
    QCOMPARE(slotAt(back, u"09:00"_s).note, u"note\tgardée"_s);
    QCOMPARE(back.notes[0], (daypage::DayNote{u"un deux"_s, u"trois\tquatre"_s}));
}

void TestAgendaDay::emptyDayWritesNothing()
{
    AgendaList list(QStringList{u"1999041609:00 a\t"_s, u"1999041609:30 \t"_s, u"1999041616/04/1999x\t"_s});
    Page p = daypage::readDay(list, kDay, kDefault);
    // An empty slot read from a file counts as empty: clearing the rest leaves no line.
    QVERIFY(slotAt(p, u"09:30"_s).isEmpty());
    p.rows[rowOf(p, u"09:00"_s)] = {};
    p.notes[0] = {};
    QCOMPARE(daypage::dayLines(p), QStringList{});
    daypage::writeDay(list, p);
    QVERIFY(list.isEmpty());
}

void TestAgendaDay::scaleChangeKeepsHiddenSlots()
{
    AgendaList list(QStringList{u"1999041608:30 demi\t"_s, u"1999041609:00 heure\t"_s, u"1999041607:00 tôt\t"_s});
    Page hour = daypage::readDay(list, kDay, DaySettings{8, 18, 1});
    QVERIFY(!hour.labels.contains(u"08:30"_s));
    QCOMPARE(daypage::entries(hour).size(), 1);
    QCOMPARE(hour.kept, (QStringList{u"1999041608:30 demi\t"_s, u"1999041607:00 tôt\t"_s}));
    hour.rows[rowOf(hour, u"10:00"_s)].subject = u"ajout"_s;
    daypage::writeDay(list, hour);
    // Written back in time order, the hidden ones included.
    QCOMPARE(list.lines(),
             (QStringList{u"1999041607:00 tôt\t"_s, u"1999041608:30 demi\t"_s, u"1999041609:00 heure\t"_s,
                          u"1999041610:00 ajout\t"_s}));
    const Page half = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(slotAt(half, u"08:30"_s).subject, u"demi"_s);
    QCOMPARE(slotAt(half, u"10:00"_s).subject, u"ajout"_s);
}

void TestAgendaDay::longLinesAreCut()
{
    // 255 characters after the day key: time (5), marker (1), subject (200), TAB, and 48
    // characters of the note; the rest of the line is not read.
    const AgendaList list(QStringList{u"1999041609:00 "_s + QString(200, u's') + u'\t' + QString(100, u'n')});
    Page p = daypage::readDay(list, kDay, kDefault);
    QCOMPARE(slotAt(p, u"09:00"_s).subject, QString(200, u's'));
    QCOMPARE(slotAt(p, u"09:00"_s).note, QString(48, u'n'));
    // When the TAB itself is cut off, only the marker is read.
    const AgendaList noTab(QStringList{u"1999041609:00["_s + QString(300, u's') + u"\tnote"_s});
    QCOMPARE(slotAt(daypage::readDay(noTab, kDay, kDefault), u"09:00"_s), (daypage::Slot{u" ["_s, {}, {}}));
    QCOMPARE(daypage::kMaxSlotText, 248); // subject + note that always survive a reading
    QCOMPARE(daypage::kMaxNoteText, 244);
}

void TestAgendaDay::garbageOfRewrittenDayIsDropped()
{
    AgendaList list(QStringList{u"19990416bizarre"_s, u"19990417bizarre"_s, u"1999041609:00 a\t"_s});
    Page p = daypage::readDay(list, kDay, kDefault);
    p.rows[rowOf(p, u"09:00"_s)].note = u"n"_s;
    daypage::writeDay(list, p);
    QCOMPARE(list.lines(), (QStringList{u"19990417bizarre"_s, u"1999041609:00 a\tn"_s}));
}

void TestAgendaDay::clearRange_data()
{
    // One character per row: '[' range marker, '.' none, 'x' another marker.
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("after");
    QTest::newRow("inside: the whole run, nothing else") << u".[[[.[[."_s << 2 << u".....[[."_s;
    QTest::newRow("first row of a run") << u".[[[.[[."_s << 1 << u".....[[."_s;
    QTest::newRow("just below a range clears the one above") << u".[[[.[[."_s << 4 << u".....[[."_s;
    QTest::newRow("other markers are passed over") << u".[x[.[[."_s << 1 << u"..x..[[."_s;
    QTest::newRow("run ending on the last row") << u"....[[["_s << 6 << u"......."_s;
    QTest::newRow("run starting on the first row") << u"[[..[."_s << 0 << u"....[."_s;
    QTest::newRow("nothing around") << u"..[."_s << 0 << u"..[."_s;
}

void TestAgendaDay::clearRange()
{
    QFETCH(QString, before);
    QFETCH(int, row);
    QFETCH(QString, after);
    auto toRows = [](const QString &pattern) {
        QList<daypage::Slot> rows;
        for (QChar c : pattern)
            rows.append(daypage::Slot{c == u'[' ? u" ["_s : c == u'x' ? u"x"_s : QString(), {}, {}});
        return rows;
    };
    QList<daypage::Slot> rows = toRows(before);
    daypage::clearRange(rows, row);
    QCOMPARE(rows, toRows(after));
}

void TestAgendaDay::clipboard()
{
    // Copied from 10:00 and 10:30 of one day...
    const AgendaList list(QStringList{u"1999041610:00[Comité\tsalle 1"_s, u"1999041610:30[\t"_s});
    const Page from = daypage::readDay(list, kDay, kDefault);
    const QStringList clip{daypage::clipboardLine(u"10:00"_s, slotAt(from, u"10:00"_s)),
                           daypage::clipboardLine(u"10:30"_s, slotAt(from, u"10:30"_s)),
                           daypage::clipboardLine(u"11:00"_s, slotAt(from, u"11:00"_s))};
    QCOMPARE(clip, (QStringList{u"10:00[Comité\tsalle 1"_s, u"10:30[\t"_s, u"11:00 \t"_s}));
    // ...land on 10:00 and 10:30 of another day, whatever row is current there.
    Page to = daypage::emptyPage(kDay.addDays(3), kDefault);
    to.rows[rowOf(to, u"11:00"_s)].subject = u"écrasé"_s;
    for (const QString &line : clip)
        QVERIFY(daypage::paste(to, line));
    QCOMPARE(slotAt(to, u"10:00"_s), (daypage::Slot{u" ["_s, u"Comité"_s, u"salle 1"_s}));
    QCOMPARE(slotAt(to, u"10:30"_s), (daypage::Slot{u" ["_s, u""_s, u""_s}));
    QCOMPARE(slotAt(to, u"11:00"_s), daypage::Slot{}); // an empty row pasted empties it
    // With the hour scale only 10:00 exists.
    Page hour = daypage::emptyPage(kDay, DaySettings{8, 18, 1});
    QVERIFY(daypage::paste(hour, clip[0]));
    QVERIFY(!daypage::paste(hour, clip[1]));
    QCOMPARE(daypage::entries(hour).size(), 1);
    // A line without TAB sets only the marker; a short one matches nothing.
    QVERIFY(daypage::paste(hour, u"10:00 sans tabulation"_s));
    QCOMPARE(slotAt(hour, u"10:00"_s), (daypage::Slot{u""_s, u"Comité"_s, u"salle 1"_s}));
    QVERIFY(!daypage::paste(hour, u"10:0"_s));
}

QTEST_GUILESS_MAIN(TestAgendaDay)
#include "tst_agendaday.moc"
