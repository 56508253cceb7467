// The exports of an agenda (iCalendar and CSV) and the headless conversions of ".qva" files.
#include "agenda/core/agendaconvert.h"
#include "agenda/core/agendaexport.h"
#include "agenda/core/agendafile.h"
#include "agenda/core/agendalist.h"
#include "agenda/ui/agendamodule.h"
#include "common/converterregistry.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDateTime kStamp(QDate(2026, 12, 7), QTime(9, 30, 0), Qt::UTC);

QString dataPath(const QString &name) { return qEnvironmentVariable("VELMORA_TEST_DATA") + u'/' + name; }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Content lines of an iCalendar text, continuation lines joined back.
QStringList unfold(const QByteArray &ics)
{
    QByteArray joined = ics;
    joined.replace("\r\n ", "");
    QStringList lines = QString::fromUtf8(joined).split(u"\r\n"_s);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Each VEVENT as "DTSTART|DTEND|SUMMARY|DESCRIPTION" (property values only).
QStringList events(const QStringList &lines)
{
    QStringList out;
    QMap<QString, QString> e;
    for (const QString &l : lines) {
        if (l == u"BEGIN:VEVENT")
            e.clear();
        else if (l == u"END:VEVENT")
            out << QStringList{e.value(u"DTSTART"_s), e.value(u"DTEND"_s), e.value(u"SUMMARY"_s),
                               e.value(u"DESCRIPTION"_s)}
                            .join(u'|');
        else
            e.insert(l.section(u':', 0, 0).section(u';', 0, 0), l.section(u':', 1));
    }
    return out;
}
} // namespace

class TestAgendaExport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void icsIsWellFormed();
    void icsEvents();
    void icsGolden();
    void foldLine_data();
    void foldLine();
    void escapeText();
    void csvGolden();
    void convertersRegistered();
    void reSaveWritesCrLf();
    void options_data();
    void options();
    void missingInput();
};

void TestAgendaExport::icsIsWellFormed()
{
    const AgendaList list(agendafile::read(dataPath(u"semaine.qva"_s)));
    const QByteArray ics = agendaexport::toIcs(list, DaySettings{}, kStamp, u"semaine.velmora"_s);
    QVERIFY(ics.endsWith("END:VCALENDAR\r\n"));
    QCOMPARE(ics.count("\n"), ics.count("\r\n")); // no bare line feed
    for (const QByteArray &line : ics.split('\n'))
        QVERIFY2(line.size() <= 76, line.constData()); // 75 octets + the CR
    const QStringList lines = unfold(ics);
    QCOMPARE(lines.mid(0, 4),
             (QStringList{u"BEGIN:VCALENDAR"_s, u"VERSION:2.0"_s, u"PRODID:-//Velmora//Agenda//FR"_s,
                          u"CALSCALE:GREGORIAN"_s}));
    QCOMPARE(lines.count(u"BEGIN:VEVENT"_s), lines.count(u"END:VEVENT"_s));
    QStringList uids = lines.filter(QRegularExpression(u"^UID:"_s));
    QCOMPARE(uids.size(), lines.count(u"BEGIN:VEVENT"_s));
    uids.removeDuplicates();
    QCOMPARE(uids.size(), lines.count(u"BEGIN:VEVENT"_s));
    QCOMPARE(lines.filter(u"DTSTAMP:"_s).size(), uids.size());
    QCOMPARE(lines.filter(u"DTSTAMP:"_s).first(), u"DTSTAMP:20261207T093000Z"_s);
    QVERIFY(uids.first().endsWith(u"@semaine.velmora"_s));
}

void TestAgendaExport::icsEvents()
{
    const AgendaList list(agendafile::read(dataPath(u"semaine.qva"_s)));
    const QStringList ev = events(unfold(agendaexport::toIcs(list, DaySettings{}, kStamp, u"s"_s)));
    QCOMPARE(ev.size(), 9); // every event is in the golden file below
    // An hour scale makes one-hour events; 24:00 is midnight of the next day.
    const AgendaList late(QStringList{u"1999041624:00 Minuit\t"_s});
    QCOMPARE(events(unfold(agendaexport::toIcs(late, DaySettings{22, 24, 1}, kStamp, u"s"_s))),
             QStringList{u"19990417T000000|19990417T010000|Minuit|"_s});
}

void TestAgendaExport::icsGolden()
{
    const AgendaList list(agendafile::read(dataPath(u"semaine.qva"_s)));
    QCOMPARE(agendaexport::toIcs(list, DaySettings{}, kStamp, u"semaine.velmora"_s),
             readFile(dataPath(u"semaine.ics"_s)));
}

void TestAgendaExport::foldLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("short") << u"SUMMARY:court"_s;
    QTest::newRow("exactly 75") << u"SUMMARY:"_s + QString(67, u'a');
    QTest::newRow("ASCII") << u"DESCRIPTION:"_s + QString(300, u'a');
    QTest::newRow("two-byte letters") << u"SUMMARY:"_s + QString(120, u'é');
    QTest::newRow("three-byte signs") << u"SUMMARY:x"_s + QString(90, u'€');
}

void TestAgendaExport::foldLine()
{
    QFETCH(QString, text);
    const QByteArray folded = agendaexport::foldLine(text.toUtf8());
    const QList<QByteArray> parts = folded.split('\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray p = parts[i];
        if (p.endsWith('\r'))
            p.chop(1);
        QVERIFY(p.size() <= 75);
        if (i > 0)
            QVERIFY(p.startsWith(' '));
        QVERIFY(QString::fromUtf8(p).toUtf8() == p); // no character cut in two
    }
    QCOMPARE(QString::fromUtf8(QByteArray(folded).replace("\r\n ", "")), text);
}

void TestAgendaExport::escapeText()
{
    QCOMPARE(agendaexport::escapeText(u"a;b,c\\d\ne"_s), u"a\\;b\\,c\\\\d\\ne"_s);
    QCOMPARE(agendaexport::escapeText(u"tab\tkept"_s), u"tab\tkept"_s);
}

void TestAgendaExport::csvGolden()
{
    const AgendaList list(agendafile::read(dataPath(u"semaine.qva"_s)));
    QCOMPARE(agendaexport::toCsv(list, DaySettings{}), readFile(dataPath(u"semaine.csv"_s)));
}

void TestAgendaExport::convertersRegistered()
{
    ConverterRegistry r;
    AgendaModule::registerConverters(r);
    for (const char *format : {"ics", "csv", "qva"}) {
        const Converter *c = r.find(QString::fromLatin1(format), u"qva"_s);
        QVERIFY(c);
        QCOMPARE(c->outputSuffix, QString::fromLatin1(format));
    }
    QVERIFY(!r.find(u"ics"_s, u"qvb"_s));
}

void TestAgendaExport::reSaveWritesCrLf()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(u"in.qva"_s);
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("1999041609:00 a\t\n19990416bizarre\r1999041710:00 b\t");
    f.close();
    ConverterRegistry r;
    AgendaModule::registerConverters(r);
    const ConversionJob job{in, dir.filePath(u"out.qva"_s), {}};
    r.find(u"qva"_s, u"qva"_s)->run(job);
    QCOMPARE(readFile(job.output), QByteArray("1999041609:00 a\t\r\n19990416bizarre\r\n1999041710:00 b\t\r\n"));
    // In place as well: the old file is replaced whole.
    r.find(u"qva"_s, u"qva"_s)->run(ConversionJob{in, in, {}});
    QCOMPARE(readFile(in), readFile(job.output));
}

void TestAgendaExport::options_data()
{
    QTest::addColumn<QStringList>("options"); // key, value, key, value...
    QTest::addColumn<QString>("error"); // empty: accepted
    QTest::addColumn<int>("rows"); // CSV lines of 16 April when accepted
    QTest::newRow("defaults") << QStringList{} << u""_s << 6;
    QTest::newRow("from 7") << QStringList{u"debut"_s, u"7"_s} << u""_s << 7;
    QTest::newRow("hour scale") << QStringList{u"echelle"_s, u"1"_s} << u""_s << 4;
    QTest::newRow("not a number") << QStringList{u"debut"_s, u"sept"_s}
                                  << u"'sept' n'est pas une valeur entière correcte"_s << 0;
    QTest::newRow("out of range") << QStringList{u"fin"_s, u"25"_s}
                                  << u"--fin : la valeur doit être comprise entre 0 et 24"_s << 0;
    QTest::newRow("end before start") << QStringList{u"debut"_s, u"12"_s, u"fin"_s, u"9"_s}
                                      << u"--fin : l'heure de fin (9) précède l'heure de début (12)"_s << 0;
}

void TestAgendaExport::options()
{
    QFETCH(QStringList, options);
    QFETCH(QString, error);
    QFETCH(int, rows);
    QTemporaryDir dir;
    ConversionJob job{dataPath(u"semaine.qva"_s), dir.filePath(u"s.csv"_s), {}};
    for (qsizetype i = 0; i + 1 < options.size(); i += 2)
        job.options.insert(options[i], options[i + 1]);
    try {
        agendaconvert::toCsv(job);
        QVERIFY(error.isEmpty());
        QCOMPARE(QString::fromUtf8(readFile(job.output)).count(u"16/04/1999;"_s), rows);
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), error);
        QVERIFY(!QFile::exists(job.output));
    }
}

void TestAgendaExport::missingInput()
{
    QTemporaryDir dir;
    const QString in = dir.filePath(u"absent.qva"_s);
    try {
        agendaconvert::toIcs(ConversionJob{in, dir.filePath(u"absent.ics"_s), {}});
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Ne peut ouvrir le fichier "_s + in);
    }
}

QTEST_GUILESS_MAIN(TestAgendaExport)
#include "tst_agendaexport.moc"
