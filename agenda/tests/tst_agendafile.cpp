// The agenda's keys and dates, the ordered line list with its day index, and the ".qva"
// reader and writer.
#include "agenda/core/agendadates.h"
#include "agenda/core/agendafile.h"
#include "agenda/core/agendalist.h"
#include "common/testsupport/readonlydir.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAgendaFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void slotLabels_data();
    void slotLabels();
    void keys();
    void stepMonth_data();
    void stepMonth();
    void addDaysBounds();
    void parse_data();
    void parse();
    void serialiseEndsEveryLineWithCrLf();
    void whatIsWrittenReadsBack_data();
    void whatIsWrittenReadsBack();
    void readMissingFile();
    void writeToMissingDirectory();
    void writeFailureLeavesOldFile();
    void saveName_data();
    void saveName();
    void listKeepsFileOrder();
    void rewrittenDayMovesToEnd();
    void manyRewritesKeepOrder();
    void copiesAreIndependent();
};

void TestAgendaFile::slotLabels_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("hour") << 8 << 10 << 1 << QStringList{u"08:00"_s, u"09:00"_s, u"10:00"_s};
    QTest::newRow("half hour, ends on end:00")
            << 8 << 10 << 2 << QStringList{u"08:00"_s, u"08:30"_s, u"09:00"_s, u"09:30"_s, u"10:00"_s};
    QTest::newRow("quarter scale has no :15")
            << 8 << 9 << 3 << QStringList{u"08:00"_s, u"08:30"_s, u"08:45"_s, u"09:00"_s};
    QTest::newRow("midnight to 24:00") << 22 << 24 << 1 << QStringList{u"22:00"_s, u"23:00"_s, u"24:00"_s};
    QTest::newRow("one slot") << 12 << 12 << 3 << QStringList{u"12:00"_s};
    QTest::newRow("end below start") << 12 << 11 << 2 << QStringList{};
}

void TestAgendaFile::slotLabels()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, scale);
    QFETCH(QStringList, expected);
    const QStringList labels = agendadates::slotLabels(DaySettings{start, end, scale});
    QCOMPARE(labels, expected);
    if (end >= start) // the grid's row count: heading + (end - start) * scale + 1
        QCOMPARE(labels.size() + 1, (end - start) * scale + 2);
}

void TestAgendaFile::keys()
{
    QCOMPARE(agendadates::dayKey(QDate(1999, 4, 16)), u"19990416"_s);
    QCOMPARE(agendadates::dayKey(QDate(812, 1, 2)), u"08120102"_s);
    QCOMPARE(agendadates::shortDate(QDate(1999, 4, 6)), u"06/04/1999"_s);
    QCOMPARE(agendadates::timeKey(8, 30), u"08:30"_s);
    QCOMPARE(agendadates::dateOfKey(u"20000229"_s), QDate(2000, 2, 29));
    QVERIFY(!agendadates::dateOfKey(u"19000229"_s).isValid());
    QVERIFY(!agendadates::dateOfKey(u"1999041"_s).isValid());
    QVERIFY(!agendadates::dateOfKey(u"1999o416"_s).isValid());
    QCOMPARE(agendadates::heading(QDate(1999, 4, 18)), u"Dimanche 18 avril 1999"_s);
    QCOMPARE(agendadates::heading(QDate(2000, 2, 1)), u"Mardi 01 février 2000"_s);
}

void TestAgendaFile::stepMonth_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QDate>("expected"); // invalid: refused
    QTest::newRow("31 Jan 2000 +1") << QDate(2000, 1, 31) << 1 << QDate(2000, 2, 29);
    QTest::newRow("31 Jan 1999 +1") << QDate(1999, 1, 31) << 1 << QDate(1999, 2, 28);
    QTest::newRow("31 Mar 1999 -1") << QDate(1999, 3, 31) << -1 << QDate(1999, 2, 28);
    QTest::newRow("31 Mar 2004 -1") << QDate(2004, 3, 31) << -1 << QDate(2004, 2, 29);
    QTest::newRow("31 May +1") << QDate(1999, 5, 31) << 1 << QDate(1999, 6, 30);
    QTest::newRow("31 Oct +1") << QDate(1999, 10, 31) << 1 << QDate(1999, 11, 30);
    QTest::newRow("30 Jan +1 leap") << QDate(2000, 1, 30) << 1 << QDate(2000, 2, 29);
    QTest::newRow("December to January") << QDate(1999, 12, 31) << 1 << QDate(2000, 1, 31);
    QTest::newRow("January to December") << QDate(2000, 1, 15) << -1 << QDate(1999, 12, 15);
    QTest::newRow("31 Jan 1900, no 29 Feb") << QDate(1900, 1, 31) << 1 << QDate(1900, 2, 28);
    QTest::newRow("29 Jan 2100, no 29 Feb") << QDate(2100, 1, 29) << 1 << QDate(2100, 2, 28);
    QTest::newRow("31 Mar 2100, no 29 Feb") << QDate(2100, 3, 31) << -1 << QDate(2100, 2, 28);
    QTest::newRow("29 Mar 1900, no 29 Feb") << QDate(1900, 3, 29) << -1 << QDate(1900, 2, 28);
    QTest::newRow("28 Jan 1900 fine") << QDate(1900, 1, 28) << 1 << QDate(1900, 2, 28);
    QTest::newRow("year 1 January back") << QDate(1, 1, 10) << -1 << QDate();
    QTest::newRow("year 9999 December on") << QDate(9999, 12, 10) << 1 << QDate();
}

void TestAgendaFile::stepMonth()
{
    QFETCH(QDate, from);
    QFETCH(int, delta);
    QFETCH(QDate, expected);
    if (expected.isValid()) {
        QCOMPARE(agendadates::stepMonth(from, delta), expected);
        return;
    }
    try {
        agendadates::stepMonth(from, delta);
        QFAIL("date accepted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Argument incorrect pour date encode"_s);
    }
}

void TestAgendaFile::addDaysBounds()
{
    QCOMPARE(agendadates::addDays(QDate(1999, 12, 31), 1), QDate(2000, 1, 1));
    QCOMPARE(agendadates::addDays(QDate(2000, 3, 1), -1), QDate(2000, 2, 29));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, agendadates::addDays(QDate(9999, 12, 31), 1));
    QVERIFY_THROWS_EXCEPTION(VelmoraError, agendadates::addDays(QDate(1, 1, 1), -1));
}

void TestAgendaFile::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("mixed, last line open") << QByteArray("a\r\nb\nc\rd") << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{u"a"_s, u""_s, u""_s, u"b"_s};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd\r\n", 12) << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("Ctrl-Z ends the text") << QByteArray("a\r\n\x1a"
                                                        "b\r\n")
                                          << QStringList{u"a"_s};
    QTest::newRow("Windows-1252") << QByteArray("1999041608:30 R\xe9union \x80\t\x9c\r\n")
                                  << QStringList{u"1999041608:30 Réunion €\tœ"_s};
}

void TestAgendaFile::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(agendafile::parse(bytes), lines);
}

void TestAgendaFile::serialiseEndsEveryLineWithCrLf()
{
    QCOMPARE(agendafile::serialise(AgendaList()), QByteArray());
    const AgendaList list(QStringList{u"1999041608:30[Réunion\tsalle 2"_s, u""_s, u"x"_s});
    bool lossless = false;
    QCOMPARE(agendafile::serialise(list, &lossless), QByteArray("1999041608:30[R\xe9union\tsalle 2\r\n\r\nx\r\n"));
    QVERIFY(lossless);
}

void TestAgendaFile::whatIsWrittenReadsBack_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<bool>("lossless");
    QTest::newRow("plain") << u"1999041609:00 Café\tnote"_s << u"1999041609:00 Café\tnote"_s << true;
    QTest::newRow("long line") << u"19990416"_s + QString(5000, u'x') << u"19990416"_s + QString(5000, u'x') << true;
    QTest::newRow("line feed") << u"1999041609:00 a\nb"_s << u"1999041609:00 a?b"_s << false;
    QTest::newRow("carriage return") << u"1999041609:00 a\rb"_s << u"1999041609:00 a?b"_s << false;
    QTest::newRow("NUL") << u"1999041609:00 a"_s + QChar(0) + u"b"_s << u"1999041609:00 a?b"_s << false;
    QTest::newRow("Ctrl-Z") << u"1999041609:00 a\x1a b"_s << u"1999041609:00 a? b"_s << false;
    QTest::newRow("outside the code page") << u"1999041609:00 \u4e2d"_s << u"1999041609:00 ?"_s << false;
}

// A line is written so that it reads back as one line, the ones after it untouched; what
// cannot be kept becomes "?" and the caller is told (the window asks before saving).
void TestAgendaFile::whatIsWrittenReadsBack()
{
    QFETCH(QString, line);
    QFETCH(QString, readBack);
    QFETCH(bool, lossless);
    const AgendaList list(QStringList{line, u"1999041710:00 suivante\t"_s});
    bool kept = !lossless;
    const QStringList back = agendafile::parse(agendafile::serialise(list, &kept));
    QCOMPARE(back, (QStringList{readBack, u"1999041710:00 suivante\t"_s}));
    QCOMPARE(kept, lossless);
}

void TestAgendaFile::readMissingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"absent.qva"_s);
    try {
        agendafile::read(path);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Ne peut ouvrir le fichier "_s + path);
    }
}

void TestAgendaFile::writeToMissingDirectory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"absent/rdv.qva"_s);
    try {
        agendafile::write(path, "x\r\n");
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Ne peut créer le fichier "_s + path);
    }
    QVERIFY(!QFile::exists(path));
}

void TestAgendaFile::writeFailureLeavesOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rdv.qva"_s);
    agendafile::write(path, "ancien\r\n");
    QString message;
    {
        ReadOnlyDir locked(dir.path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here (root needs the immutable flag)");
        try {
            agendafile::write(path, "nouveau\r\n");
        } catch (const VelmoraError &e) {
            message = e.message();
        }
    }
    QCOMPARE(message, u"Ne peut créer le fichier "_s + path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("ancien\r\n"));
}

void TestAgendaFile::saveName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << u"/home/u/rdv"_s << u"/home/u/rdv.qva"_s;
    QTest::newRow("other extension") << u"/home/u/rdv.txt"_s << u"/home/u/rdv.qva"_s;
    QTest::newRow("two dots: from the first") << u"/home/u/rdv.2024.qva"_s << u"/home/u/rdv.qva"_s;
    QTest::newRow("dot in a directory") << u"/home/u/mes.docs/rdv"_s << u"/home/u/mes.docs/rdv.qva"_s;
    QTest::newRow("dot in a directory and the name") << u"/a.b/c.d/rdv.QVA"_s << u"/a.b/c.d/rdv.qva"_s;
    QTest::newRow("already .qva") << u"/tmp/rdv.qva"_s << u"/tmp/rdv.qva"_s;
    QTest::newRow("relative") << u"rdv.old"_s << u"rdv.qva"_s;
}

void TestAgendaFile::saveName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(agendafile::saveName(path), expected);
}

void TestAgendaFile::listKeepsFileOrder()
{
    const QStringList lines{u"1999041608:00 a\t"_s, u"1999041708:00 b\t"_s, u"short"_s, u"1999041609:00 c\t"_s, u""_s};
    const AgendaList list(lines);
    QCOMPARE(list.lines(), lines);
    QCOMPARE(list.size(), 5);
    QCOMPARE(list.linesOfDay(u"19990416"_s), (QStringList{u"1999041608:00 a\t"_s, u"1999041609:00 c\t"_s}));
    QCOMPARE(list.linesOfDay(u"19990418"_s), QStringList{});
    QCOMPARE(list.linesOfDay(u"short"_s), QStringList{}); // only eight-character keys
    QStringList keys = list.keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{u"19990416"_s, u"19990417"_s}));
}

void TestAgendaFile::rewrittenDayMovesToEnd()
{
    AgendaList list(QStringList{u"1999041608:00 a\t"_s, u"1999041708:00 b\t"_s, u"1999041609:00 c\t"_s});
    list.replaceDay(u"19990416"_s, QStringList{u"1999041610:00 d\t"_s});
    QCOMPARE(list.lines(), (QStringList{u"1999041708:00 b\t"_s, u"1999041610:00 d\t"_s}));
    list.replaceDay(u"19990417"_s, QStringList{});
    QCOMPARE(list.lines(), QStringList{u"1999041610:00 d\t"_s});
    QCOMPARE(list.size(), 1);
}

void TestAgendaFile::manyRewritesKeepOrder()
{
    // Enough rewrites to make the list drop its holes several times.
    QStringList lines;
    for (int d = 1; d <= 28; ++d)
        lines << u"199902%1 x"_s.arg(d, 2, 10, QChar(u'0'));
    AgendaList list(lines);
    QStringList expected = lines;
    for (int i = 0; i < 5000; ++i) {
        const QString key = u"199902%1"_s.arg(i % 28 + 1, 2, 10, QChar(u'0'));
        const QString line = key + u" v"_s + QString::number(i);
        list.replaceDay(key, QStringList{line});
        expected.erase(
                std::remove_if(expected.begin(), expected.end(), [&](const QString &l) { return l.startsWith(key); }),
                expected.end());
        expected << line;
    }
    QCOMPARE(list.lines(), expected);
    QCOMPARE(list.linesOfDay(u"19990201"_s), QStringList{expected.filter(u"19990201"_s)});
}

void TestAgendaFile::copiesAreIndependent()
{
    AgendaList list(QStringList{u"19990416 a"_s});
    AgendaList copy = list;
    // A line of the day last appended to the original, added to the copy.
    copy.replaceDay(u"19990417"_s, QStringList{u"19990416 b"_s});
    QCOMPARE(list.linesOfDay(u"19990416"_s), QStringList{u"19990416 a"_s});
    QCOMPARE(copy.linesOfDay(u"19990416"_s), (QStringList{u"19990416 a"_s, u"19990416 b"_s}));
    list.setLines(QStringList{u"19990416 c"_s});
    copy = list;
    list.replaceDay(u"19990416"_s, QStringList{u"19990416 d"_s, u"19990416 e"_s});
    QCOMPARE(copy.lines(), QStringList{u"19990416 c"_s});
    QCOMPARE(copy.linesOfDay(u"19990416"_s), QStringList{u"19990416 c"_s});
    QCOMPARE(list.linesOfDay(u"19990416"_s), (QStringList{u"19990416 d"_s, u"19990416 e"_s}));
    AgendaList moved = std::move(list);
    moved.replaceDay(u"19990418"_s, QStringList{u"19990418 f"_s});
    QCOMPARE(moved.size(), 3);
}

QTEST_GUILESS_MAIN(TestAgendaFile)
#include "tst_agendafile.moc"
