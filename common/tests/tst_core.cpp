// The shared helpers every file format relies on: the Windows-1252 codec, the CR LF /
// Ctrl-Z text reader, the atomic save, French formatting, the data-file locations and the
// CSV reader and writer.
#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/csv.h"
#include "common/datafiles.h"
#include "common/filename.h"
#include "common/frenchformat.h"
#include "common/testsupport/readonlydir.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"
#include "common/tests/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

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
    void codecBulkMatchesByteByByte_data();
    void codecBulkMatchesByteByByte();
    void fileNameWithExtension_data();
    void fileNameWithExtension();
    void splitLines_data();
    void splitLines();
    void readStopsAtCtrlZ();
    void readMissingFileIsFichierIntrouvable();
    void joinWritesCrLfAfterEveryLine();
    void atomicSaveReplacesWholeFile();
    void failedAtomicSaveLeavesOldFile();
    void fullDeviceIsToldAsDiskFull();
    void failedWriteSaysWhatHappened_data();
    void failedWriteSaysWhatHappened();
    void frenchDates_data();
    void frenchDates();
    void frenchNumbers();
    void caseChangesOnlyAtoZ();
    void errorMessages();
    void dataFilesAdoptedIntoUserFolder_data();
    void dataFilesAdoptedIntoUserFolder();
    void dataFilesWrittenToUserFolderOnly();
    void csvSplit_data();
    void csvSplit();
    void csvUnclosedQuoteNamesItsLine_data();
    void csvUnclosedQuoteNamesItsLine();
    void csvWrittenFieldsReadBack();
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

void TestCore::codecBulkMatchesByteByByte_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("position"); // of the one character outside plain Latin-1, -1: none
    QTest::newRow("short, plain") << 5 << -1;
    QTest::newRow("long, plain") << 1000 << -1;
    QTest::newRow("euro in the vector part") << 100 << 17;
    QTest::newRow("euro in the tail") << 37 << 35;
    QTest::newRow("euro after the first block") << 1300 << 1100;
    QTest::newRow("euro at the block edge") << 1024 << 511;
}

void TestCore::codecBulkMatchesByteByByte()
{
    QFETCH(int, length);
    QFETCH(int, position);
    QByteArray bytes;
    for (int i = 0; i < length; ++i)
        bytes.append(char(0x20 + (i * 7) % 0x60 + (i % 3 == 0 ? 0x80 : 0))); // ASCII and 0xA0..0xFF
    if (position >= 0)
        bytes[position] = char(0x80);
    QString expected;
    for (char b : bytes)
        expected += cp1252::decodeByte(static_cast<unsigned char>(b));
    const QString text = cp1252::decode(bytes);
    QCOMPARE(text, expected);
    QVERIFY(cp1252::canEncode(text));
    bool lossless = false;
    QCOMPARE(cp1252::encode(text, '?', &lossless), bytes);
    QVERIFY(lossless);
    // A character the code page lacks is found wherever it stands.
    if (position >= 0) {
        QString other = text;
        other[position] = QChar(0x3A9);
        QVERIFY(!cp1252::canEncode(other));
        QByteArray replaced = bytes;
        replaced[position] = '?';
        QCOMPARE(cp1252::encode(other, '?', &lossless), replaced);
        QVERIFY(!lossless);
        other[position] = QChar(0x85); // a C1 control: Latin-1, but no Windows-1252 byte
        QVERIFY(!cp1252::canEncode(other));
    }
}

void TestCore::fileNameWithExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << u"/d/carnet"_s << u".qvb"_s << u"/d/carnet.qvb"_s;
    QTest::newRow("other extension") << u"/d/carnet.txt"_s << u".qva"_s << u"/d/carnet.qva"_s;
    QTest::newRow("two dots") << u"/d/compte.2025.qvc"_s << u".qvc"_s << u"/d/compte.qvc"_s;
    QTest::newRow("dots in the folders") << u"/a.b/c.d/carnet"_s << u".qvb"_s << u"/a.b/c.d/carnet.qvb"_s;
    QTest::newRow("relative") << u"carnet.x"_s << u".qvc"_s << u"carnet.qvc"_s;
}

void TestCore::fileNameWithExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QTEST(filename::withExtension(path, extension), "expected");
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
    bool threw = false;
    {
        ReadOnlyDir locked(dir.path());
        if (!locked.active())
            QSKIP("cannot make a folder read-only here (root needs the immutable flag)");
        try {
            atomicsave::write(p, "new");
        } catch (const VelmoraError &) {
            threw = true;
        }
    }
    QVERIFY(threw);
    QFile f(p);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"doc.qvt"_s}); // nothing half-written
}

// A real device that is always full: the low-level write gets the system's own reason.
void TestCore::fullDeviceIsToldAsDiskFull()
{
    QFile full(u"/dev/full"_s);
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        QSKIP("no /dev/full here");
    QCOMPARE(atomicsave::writeAll(full.handle(), QByteArray(70000, 'x')), ENOSPC);
    QCOMPARE(atomicsave::writeAll(full.handle(), QByteArray()), 0); // nothing to write, nothing failed
}

void TestCore::failedWriteSaysWhatHappened_data()
{
    QTest::addColumn<int>("osError");
    QTest::addColumn<bool>("oldFile");
    QTest::addColumn<QString>("message"); // FICHIER stands for the path
    QTest::newRow("disk full, old file")
            << ENOSPC << true
            << u"Disque plein : FICHIER n'a pas été écrit (l'ancien fichier est intact). Erreur E/S 101"_s;
    QTest::newRow("disk full, new file") << ENOSPC << false
                                         << u"Disque plein : FICHIER n'a pas été écrit. Erreur E/S 101"_s;
    QTest::newRow("quota")
            << EDQUOT << true
            << u"Disque plein : FICHIER n'a pas été écrit (l'ancien fichier est intact). Erreur E/S 101"_s;
    QTest::newRow("device error") << EIO << true
                                  << u"Erreur d'écriture : FICHIER n'a pas été écrit (l'ancien fichier est intact). "
                                     "Erreur E/S 101"_s;
}

// A write that fails says so in French, with the run-time's code beside; the old file stays
// whole and no temporary file is left behind.
void TestCore::failedWriteSaysWhatHappened()
{
    QFETCH(int, osError);
    QFETCH(bool, oldFile);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString p = dir.filePath(u"doc.qvb"_s);
    if (oldFile)
        atomicsave::write(p, "old content");
    QString shown;
    {
        atomicsave::SimulatedWriteError failing(osError);
        try {
            atomicsave::write(p, QByteArray(100000, 'n'));
        } catch (const VelmoraError &e) {
            shown = e.message();
        }
        QVERIFY(!atomicsave::tryWrite(p, "new"));
    }
    QCOMPARE(shown, QString(message).replace(u"FICHIER"_s, p));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), oldFile ? QStringList{u"doc.qvb"_s} : QStringList());
    if (oldFile)
        QCOMPARE(slurp(p), QByteArray("old content"));
    atomicsave::write(p, "after"); // writes work again once the disk has room
    QCOMPARE(slurp(p), QByteArray("after"));
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
    QTest::addColumn<QByteArray>("mine"); // already in the per-user folder
    QTest::addColumn<QByteArray>("here"); // in the current folder
    QTest::addColumn<QByteArray>("beside"); // in the program's folder
    QTest::addColumn<QByteArray>("read"); // what the per-user file then holds
    QTest::newRow("nowhere") << QByteArray() << QByteArray() << QByteArray() << QByteArray("<absent>");
    QTest::newRow("user folder wins") << QByteArray("mien") << QByteArray("ici") << QByteArray("prog")
                                      << QByteArray("mien");
    QTest::newRow("current folder first")
            << QByteArray() << QByteArray("ici") << QByteArray("prog") << QByteArray("ici");
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

void TestCore::csvSplit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("blanks"); // line breaks in quotes become blanks
    QTest::addColumn<QStringList>("rows"); // fields joined by "|"
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("plain") << u"a;b\r\nc;d"_s << false << QStringList{u"a|b"_s, u"c|d"_s} << QList<int>{1, 2};
    QTest::newRow("doubled quotes") << u"\"le \"\"bon\"\"\";x\n"_s << false << QStringList{u"le \"bon\"|x"_s}
                                    << QList<int>{1};
    QTest::newRow("quote inside a field is text")
            << u"12\" écran;x\ny;z"_s << false << QStringList{u"12\" écran|x"_s, u"y|z"_s} << QList<int>{1, 2};
    QTest::newRow("text after closing quote") << u"\"ab\"cd;e"_s << false << QStringList{u"abcd|e"_s} << QList<int>{1};
    QTest::newRow("break kept") << u"\"a\r\nb\";1\nc;2"_s << false << QStringList{u"a\r\nb|1"_s, u"c|2"_s}
                                << QList<int>{1, 3};
    QTest::newRow("break to blank") << u"\"a\r\nb\";1\nc;2"_s << true << QStringList{u"a b|1"_s, u"c|2"_s}
                                    << QList<int>{1, 3};
    QTest::newRow("empty line and trailing separator")
            << u"a;\r\n\r\nb"_s << false << QStringList{u"a|"_s, u""_s, u"b"_s} << QList<int>{1, 2, 3};
    QTest::newRow("CR alone ends a row") << u"a\rb"_s << false << QStringList{u"a"_s, u"b"_s} << QList<int>{1, 2};
}

void TestCore::csvSplit()
{
    QFETCH(QString, text);
    QFETCH(bool, blanks);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, lines);
    const auto got = csv::split(text, u';', blanks ? csv::LineBreaks::ToBlank : csv::LineBreaks::Keep);
    QStringList joined;
    QList<int> gotLines;
    for (const csv::Row &row : got) {
        joined << row.fields.join(u'|');
        gotLines << row.line;
    }
    QCOMPARE(joined, rows);
    QCOMPARE(gotLines, lines);
}

void TestCore::csvUnclosedQuoteNamesItsLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("last field") << u"a;b\nc;\"d\ne;f\n"_s << u"Ligne 2 : guillemet ouvrant jamais refermé"_s;
    QTest::newRow("first line") << u"\"abc"_s << u"Ligne 1 : guillemet ouvrant jamais refermé"_s;
    QTest::newRow("after a quoted break")
            << u"\"x\ny\";1\n\"z;2\n3;4"_s << u"Ligne 3 : guillemet ouvrant jamais refermé"_s;
}

void TestCore::csvUnclosedQuoteNamesItsLine()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    for (auto breaks : {csv::LineBreaks::Keep, csv::LineBreaks::ToBlank}) {
        try {
            csv::split(text, u';', breaks);
            QFAIL("the rest of the file was taken into the field");
        } catch (const VelmoraError &e) {
            QCOMPARE(e.message(), message);
        }
    }
}

void TestCore::csvWrittenFieldsReadBack()
{
    const QStringList fields{
            u"a, b"_s,   u"tab\there"_s, u"dit \"oui\"; non"_s, u"deux\nlignes"_s, QString(QChar(0xFEFF)) + u"bom"_s,
            u"simple"_s, QString()};
    // Every field alone on its line, then all on one: each time read back as written,
    // whatever separator the reader guesses.
    for (const QString &field : fields) {
        QString line;
        csv::appendField(line, field);
        const QString text = line + u"\r\n"_s;
        const auto rows = csv::split(text, csv::detectSeparator(text), csv::LineBreaks::Keep);
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0].fields, QStringList{field});
    }
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u';';
        csv::appendField(line, fields[i]);
    }
    QCOMPARE(csv::detectSeparator(line), QChar(u';'));
    QCOMPARE(csv::split(line, u';', csv::LineBreaks::Keep).at(0).fields, fields);
    QCOMPARE(csv::decode("\xEF\xBB\xBF"
                         "caf\xC3\xA9"),
             u"café"_s);
    QCOMPARE(csv::decode("caf\xE9 \x80"), u"café €"_s);
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
