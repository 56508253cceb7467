// The shared helpers every file format relies on: the Windows-1252 codec, the CR LF /
// Ctrl-Z text reader, the atomic save, French formatting and the data-file locations.
#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/datafiles.h"
#include "common/frenchformat.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"
#include "common/tests/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using testfiles::slurp;
using testfiles::spit;

class TestCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void codecRoundTripsEveryByte();
    void codecHighTable_data();
    void codecHighTable();
    void codecReplacesWhatItCannotHold();
    void splitLines_data();
    void splitLines();
    void readStopsAtCtrlZ();
    void readMissingFileIsFichierIntrouvable();
    void joinWritesCrLfAfterEveryLine();
    void atomicSaveReplacesWholeFile();
    void failedAtomicSaveLeavesOldFile();
    void frenchDates_data();
    void frenchDates();
    void frenchNumbers();
    void caseChangesOnlyAtoZ();
    void errorMessages();
    void dataFilesAdoptedIntoUserFolder_data();
    void dataFilesAdoptedIntoUserFolder();
    void dataFilesWrittenToUserFolderOnly();
};

void TestCore::codecRoundTripsEveryByte()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    bool lossless = false;
    QCOMPARE(cp1252::encode(cp1252::decode(all), '?', &lossless), all);
    QVERIFY(lossless);
}

void TestCore::codecHighTable_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("text");
    QTest::newRow("euro") << 0x80 << u"€"_s;
    QTest::newRow("oe ligature") << 0x9C << u"œ"_s;
    QTest::newRow("right quote") << 0x92 << u"’"_s;
    QTest::newRow("Y diaeresis") << 0x9F << u"Ÿ"_s;
    QTest::newRow("e acute is Latin-1") << 0xE9 << u"é"_s;
    QTest::newRow("undefined 81 is C1") << 0x81 << QString(QChar(0x81));
}

void TestCore::codecHighTable()
{
    QFETCH(int, byte);
    QFETCH(QString, text);
    QCOMPARE(cp1252::decode(QByteArray(1, char(byte))), text);
    QCOMPARE(cp1252::encode(text), QByteArray(1, char(byte)));
}

void TestCore::codecReplacesWhatItCannotHold()
{
    bool lossless = true;
    QCOMPARE(cp1252::encode(u"a€ωb"_s, '?', &lossless), QByteArray("a\x80?b"));
    QVERIFY(!lossless);
    QVERIFY(!cp1252::canEncode(u"Ω"_s));
    QVERIFY(cp1252::canEncode(u"Noël à Œuf"_s));
}

void TestCore::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lf only") << QByteArray("a\nb") << QList<QByteArray>{"a", "b"};
    QTest::newRow("cr only") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << QList<QByteArray>{"", "", "x"};
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("empty input") << QByteArray() << QList<QByteArray>{};
}

void TestCore::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(textfile::splitLines(bytes), lines);
}

void TestCore::readStopsAtCtrlZ()
{
    QTemporaryDir dir;
    const QString p = dir.filePath(u"f.txt"_s);
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("un\r\ndeux\x1atrois\r\n");
    f.close();
    QCOMPARE(textfile::readLines(p), (QStringList{u"un"_s, u"deux"_s}));
}

void TestCore::readMissingFileIsFichierIntrouvable()
{
    try {
        textfile::readBytes(u"/nonexistent/velmora/x.txt"_s);
        QFAIL("no exception");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Fichier introuvable"_s);
    }
}

void TestCore::joinWritesCrLfAfterEveryLine()
{
    QCOMPARE(textfile::joinCrLf({u"é"_s, QString(), u"€"_s}), QByteArray("\xe9\r\n\r\n\x80\r\n"));
}

void TestCore::atomicSaveReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString p = dir.filePath(u"doc.qvt"_s);
    atomicsave::write(p, "first version, quite long");
    atomicsave::write(p, "second");
    QFile f(p);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.qvt"_s}); // no temporary left
}

void TestCore::failedAtomicSaveLeavesOldFile()
{
    QTemporaryDir dir;
    const QString p = dir.filePath(u"doc.qvt"_s);
    atomicsave::write(p, "old content");
    // Make the directory refuse new files: permissions for an ordinary user; root ignores
    // them, so for root the directory is made immutable instead.
    const bool root = geteuid() == 0;
    if (root) {
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, dir.path()}) != 0)
            QSKIP("cannot make a directory read-only for root here");
    } else {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    }
    bool threw = false;
    try {
        atomicsave::write(p, "new");
    } catch (const VelmoraError &) {
        threw = true;
    }
    if (root)
        QProcess::execute(u"chattr"_s, {u"-i"_s, dir.path()});
    else
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(threw);
    QFile f(p);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.qvt"_s}); // nothing half-written
}

void TestCore::frenchDates_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("agenda heading") << u"dddd dd mmmm yyyy"_s << u"dimanche 07 mars 1999"_s;
    QTest::newRow("short date") << u"ddddd"_s << u"07/03/1999"_s;
    QTest::newRow("long date") << u"dddddd"_s << u"dimanche 7 mars 1999"_s;
    QTest::newRow("month picker") << u"mmm yyyy"_s << u"mars 1999"_s;
    QTest::newRow("five m is the full name") << u"mmmmm  yyyy"_s << u"mars  1999"_s;
    QTest::newRow("m after h is minutes") << u"hh:mm"_s << u"09:05"_s;
    QTest::newRow("n is minutes") << u"h:nn:ss"_s << u"9:05:04"_s;
    QTest::newRow("quoted text") << u"'le' d/m/yy"_s << u"le 7/3/99"_s;
    QTest::newRow("short day") << u"ddd"_s << u"dim."_s;
}

void TestCore::frenchDates()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(french::formatDateTime(pattern, QDateTime(QDate(1999, 3, 7), QTime(9, 5, 4))), expected);
}

void TestCore::frenchNumbers()
{
    QCOMPARE(french::formatNumber(3.14), u"3,14"_s);
    QCOMPARE(french::formatNumber(1234567.5), u"1234567,5"_s);
    QCOMPARE(french::formatNumber(2.5, 2), u"2,50"_s);
    double v = 0;
    QVERIFY(french::parseNumber(u" 12,5 "_s, v));
    QCOMPARE(v, 12.5);
    QVERIFY(!french::parseNumber(u"3.14"_s, v));
    QVERIFY(!french::parseNumber(u"abc"_s, v));
    QCOMPARE(french::shortDate(QDate(2026, 12, 7)), u"07/12/2026"_s);
    QCOMPARE(french::longTime(QTime(14, 5, 9)), u"14:05:09"_s);
}

void TestCore::caseChangesOnlyAtoZ()
{
    QCOMPARE(french::upperAZ(u"été à paris"_s), u"éTé à PARIS"_s);
    QCOMPARE(french::lowerAZ(u"ÉTÉ À PARIS"_s), u"ÉtÉ À paris"_s);
}

void TestCore::errorMessages()
{
    QCOMPARE(VelmoraError::cannotOpen(u"a.qvb"_s).message(), u"Ne peut ouvrir le fichier a.qvb"_s);
    QCOMPARE(VelmoraError::ioError(103).message(), u"Erreur E/S 103"_s);
    QCOMPARE(VelmoraError::notAnInteger(u"x"_s).message(), u"'x' n'est pas une valeur entière correcte"_s);
}

void TestCore::dataFilesAdoptedIntoUserFolder_data()
{
    QTest::addColumn<QByteArray>("mine");    // already in the per-user folder
    QTest::addColumn<QByteArray>("here");    // in the current folder
    QTest::addColumn<QByteArray>("beside");  // in the program's folder
    QTest::addColumn<QByteArray>("read");    // what the per-user file then holds
    QTest::newRow("nowhere") << QByteArray() << QByteArray() << QByteArray() << QByteArray("<absent>");
    QTest::newRow("user folder wins") << QByteArray("mien") << QByteArray("ici") << QByteArray("prog")
                                      << QByteArray("mien");
    QTest::newRow("current folder first") << QByteArray() << QByteArray("ici") << QByteArray("prog")
                                          << QByteArray("ici");
    QTest::newRow("then the program's") << QByteArray() << QByteArray() << QByteArray("prog") << QByteArray("prog");
}

// A file missing from the per-user folder is copied in once, from the current folder, else
// from the program's; the places it came from are left as they were.
void TestCore::dataFilesAdoptedIntoUserFolder()
{
    QFETCH(QByteArray, mine);
    QFETCH(QByteArray, here);
    QFETCH(QByteArray, beside);
    QFETCH(QByteArray, read);
    QTemporaryDir cwd, xdg;
    const QString name = u"velmora-test-%1.glo"_s.arg(QCoreApplication::applicationPid());
    const QString progFile = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    const QString userDir = xdg.filePath(u"velmora"_s);
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path()));
    QCOMPARE(datafiles::userDataDir(), userDir);
    if (!mine.isEmpty()) {
        QVERIFY(QDir().mkpath(userDir));
        QVERIFY(spit(QDir(userDir).filePath(name), mine));
    }
    if (!here.isEmpty())
        QVERIFY(spit(cwd.filePath(name), here));
    if (!beside.isEmpty())
        QVERIFY(spit(progFile, beside));
    const QString old = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    const QString path = datafiles::readPath(name);
    QDir::setCurrent(old);
    QFile::remove(progFile);
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(path, QDir(userDir).filePath(name));
    QCOMPARE(slurp(path), read);
    QCOMPARE(slurp(cwd.filePath(name)), here.isEmpty() ? QByteArray("<absent>") : here);
}

void TestCore::dataFilesWrittenToUserFolderOnly()
{
    QTemporaryDir xdg;
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path() + u"/sub"_s));
    QCOMPARE(datafiles::writePath(u"velmora.nte"_s), xdg.path() + u"/sub/velmora/velmora.nte"_s);
    QVERIFY(QFileInfo(xdg.path() + u"/sub/velmora"_s).isDir()); // created when first needed
    qunsetenv("XDG_DATA_HOME");
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
