// The headless command line: argument handling, one line per file written, French errors
// and non-zero exits for what it cannot do; and the real program started that way.
#include "common/atomicsave.h"
#include "common/velmoraerror.h"
#include "shell/ui/headless.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestHeadless : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void usageErrors_data();
    void usageErrors();
    void convertsEachFileAndReportsFailures();
    void realProgramRejectsUnknownFormat();
    void realProgramRefusesUnknownOptions_data();
    void realProgramRefusesUnknownOptions();
    void mergePrintsOneCopyPerRecord_data();
    void mergePrintsOneCopyPerRecord();
    void mergeErrors_data();
    void mergeErrors();
    void writesTheFileItPrints_data();
    void writesTheFileItPrints();
    void doubleDashEndsOptions_data();
    void doubleDashEndsOptions();
    void printsEachFileOnOneLine_data();
    void printsEachFileOnOneLine();
    void realProgramTakesDashedAndMultiLineNames();

private:
    ConverterRegistry upperCaser();
    int run(const QStringList &args, const ConverterRegistry &r, QString &out, QString &err)
    {
        QTextStream o(&out), e(&err);
        return headless::run(args, r, o, e);
    }
};

ConverterRegistry TestHeadless::upperCaser()
{
    ConverterRegistry r;
    r.add({u"other"_s, {u"txt"_s}, QString(), [](const ConversionJob &) {}, {u"sheet"_s}});
    r.add({u"up"_s,
           {u"txt"_s},
           QString(),
           [](const ConversionJob &job) {
               QFile in(job.input);
               if (!in.open(QIODevice::ReadOnly))
                   throw VelmoraError::cannotOpen(job.input);
               const QByteArray bytes = in.readAll();
               if (bytes.startsWith("bad"))
                   throw VelmoraError(u"Format incorrect"_s);
               atomicsave::write(job.output, bytes.toUpper() + job.options.value(u"suffix"_s).toUtf8());
           },
           {u"suffix"_s}});
    return r;
}

void TestHeadless::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no format") << QStringList{u"--headless"_s, u"a.txt"_s} << u"--convert-to"_s;
    QTest::newRow("no file") << QStringList{u"--headless"_s, u"--convert-to"_s, u"up"_s} << u"aucun fichier"_s;
    QTest::newRow("unknown format") << QStringList{u"--headless"_s, u"--convert-to"_s, u"xyz"_s, u"a.txt"_s}
                                    << u"format inconnu : xyz"_s;
    QTest::newRow("option without value")
            << QStringList{u"--headless"_s, u"a.txt"_s, u"--outdir"_s} << u"attend une valeur"_s;
    QTest::newRow("unknown option") << QStringList{u"--headless"_s, u"--convert-to"_s, u"up"_s, u"--ouvrir"_s,
                                                   u"x"_s,          u"a.txt"_s}
                                    << u"option inconnue : --ouvrir"_s;
    QTest::newRow("unknown option last") << QStringList{u"--headless"_s, u"--convert-to"_s, u"up"_s, u"a.txt"_s,
                                                        u"--verbeux"_s}
                                         << u"option inconnue : --verbeux"_s;
    QTest::newRow("short option") << QStringList{u"--headless"_s, u"-v"_s, u"--convert-to"_s, u"up"_s, u"a.txt"_s}
                                  << u"option inconnue : -v"_s;
    QTest::newRow("option of another conversion")
            << QStringList{u"--headless"_s, u"--convert-to"_s, u"up"_s, u"--sheet"_s, u"2"_s, u"a.txt"_s}
            << u"l'option --sheet ne s'applique pas à la conversion en up"_s;
}

void TestHeadless::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QString out, err;
    QCOMPARE(run(args, upperCaser(), out, err), int(headless::UsageError));
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(out.isEmpty());
}

void TestHeadless::convertsEachFileAndReportsFailures()
{
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &b) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
    };
    write(u"un.txt"_s, "abc");
    write(u"deux.txt"_s, "bad input");
    write(u"image.bmp"_s, "BM");
    const QString outdir = dir.filePath(u"sortie/sub"_s);
    QString out, err;
    const int status = run({u"--headless"_s, u"--convert-to"_s, u"UP"_s, u"--outdir"_s, outdir, u"--suffix"_s, u"!"_s,
                            dir.filePath(u"un.txt"_s), dir.filePath(u"deux.txt"_s), dir.filePath(u"image.bmp"_s),
                            dir.filePath(u"absent.txt"_s)},
                           upperCaser(), out, err);
    QCOMPARE(status, int(headless::ConversionFailed));
    QFile result(outdir + u"/un.up"_s);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), QByteArray("ABC!"));
    QCOMPARE(out.count(u'\n'), 1); // one line per file written
    QVERIFY(out.contains(u"un.up"_s));
    QVERIFY(err.contains(u"Format incorrect"_s));
    QVERIFY(err.contains(u"Fichier introuvable"_s));
    QVERIFY(err.contains(u"image.bmp"_s));
    QVERIFY(!QFile::exists(outdir + u"/deux.up"_s)); // a failed conversion writes nothing
}

void TestHeadless::realProgramRejectsUnknownFormat()
{
    QProcess p;
    p.start(QStringLiteral(VELMORA_EXE), {u"--headless"_s, u"--convert-to"_s, u"nope"_s, u"x.qvt"_s});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), int(headless::UsageError));
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"format inconnu : nope"_s));
}

void TestHeadless::realProgramRefusesUnknownOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("with a window") << QStringList{u"--inconnue"_s};
    QTest::newRow("headless") << QStringList{u"--headless"_s, u"--convert-to"_s, u"csv"_s, u"--inconnue"_s,
                                             u"1"_s,          u"a.qvb"_s};
}

void TestHeadless::realProgramRefusesUnknownOptions()
{
    QFETCH(QStringList, args);
    QProcess p;
    p.start(QStringLiteral(VELMORA_EXE), args);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), int(headless::UsageError));
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"option inconnue : --inconnue"_s));
}

namespace {

const QByteArray kLetter = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Cher [Nom],\\par "
                           "votre colis part pour [Ville] demain.\\par }";
const QByteArray kCarnet = QByteArray("0A0").repeated(32)
        + "\r\n000001Nom\r\n000002Ville\r\n"
          "000101Dupont\r\n000102Paris\r\n000201Martin\r\n000202Lyon\r\n"
          "000301L\xe9ger\r\n000302  Orl\xe9\x61ns  \r\n";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The text of each page of a PDF.
QStringList pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
}

// The left edge, in points, of the first word of a PDF.
double firstWordLeft(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, u"-"_s});
    if (!p.waitForFinished(20000))
        return -1;
    static const QRegularExpression word(u"<word xMin=\"([\\d.]+)\""_s);
    return word.match(QString::fromUtf8(p.readAllStandardOutput())).captured(1).toDouble();
}

} // namespace

void TestHeadless::mergePrintsOneCopyPerRecord_data()
{
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("towns");
    QTest::addColumn<int>("leftMm"); // where the text starts, from the paper's edge
    QTest::newRow("every record") << QStringList() << QStringList{u"Dupont"_s, u"Martin"_s, u"Léger"_s}
                                  << QStringList{u"Paris"_s, u"Lyon"_s, u"Orléans"_s} << 20; // the default margins
    QTest::newRow("a range, margins") << QStringList{u"--records"_s, u"2-3"_s, u"--marges"_s, u"30"_s}
                                      << QStringList{u"Martin"_s, u"Léger"_s} << QStringList{u"Lyon"_s, u"Orléans"_s}
                                      << 30;
    QTest::newRow("one record, four margins") << QStringList{u"--records"_s, u"1"_s, u"--marges"_s, u"45,20,20,20"_s}
                                              << QStringList{u"Dupont"_s} << QStringList{u"Paris"_s} << 45;
}

// The real program, as a script would run it: one PDF, one copy of the letter per record,
// each carrying that record's values; nothing left in the caller's folder but the PDF.
void TestHeadless::mergePrintsOneCopyPerRecord()
{
    QFETCH(QStringList, range);
    QFETCH(QStringList, names);
    QFETCH(QStringList, towns);
    QFETCH(int, leftMm);
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    writeFile(dir.filePath(u"lettre.qvt"_s), kLetter);
    writeFile(dir.filePath(u"carnet.qvb"_s), kCarnet);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VELMORA_EXE),
            QStringList{u"--headless"_s, u"--merge"_s, u"lettre.qvt"_s, u"--with"_s, u"carnet.qvb"_s, u"--convert-to"_s,
                        u"pdf"_s, u"--outdir"_s, u"sortie"_s}
                    + range);
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == headless::Ok, p.readAllStandardError().constData());
    QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(u"lettre.qvt -> "_s));
    const QStringList pages = pdfPages(dir.filePath(u"sortie/lettre.pdf"_s));
    QCOMPARE(pages.size(), names.size());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QCOMPARE(pages[i].simplified(), u"Cher %1, votre colis part pour %2 demain."_s.arg(names[i], towns[i]));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
             (QStringList{u"carnet.qvb"_s, u"lettre.qvt"_s}));
    // The margins move the text in from the printable area's edge (whole pixels per mm).
    const double left = firstWordLeft(dir.filePath(u"sortie/lettre.pdf"_s)) * 25.4 / 72;
    QVERIFY2(left > leftMm && left < leftMm + 6, qPrintable(QString::number(left)));
}

void TestHeadless::mergeErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList merge{u"--headless"_s, u"--convert-to"_s, u"pdf"_s, u"--merge"_s, u"lettre.qvt"_s};
    const QStringList both = merge + QStringList{u"--with"_s, u"carnet.qvb"_s};
    QTest::newRow("no database") << merge << int(headless::UsageError) << u"--with CARNET.qvb"_s;
    QTest::newRow("not pdf") << QStringList{u"--headless"_s, u"--convert-to"_s, u"csv"_s,       u"--merge"_s,
                                            u"lettre.qvt"_s, u"--with"_s,       u"carnet.qvb"_s}
                             << int(headless::UsageError) << u"en pdf seulement"_s;
    QTest::newRow("stray file") << both + QStringList{u"autre.qvt"_s} << int(headless::UsageError) << u"autre.qvt"_s;
    QTest::newRow("range without merge") << QStringList{u"--headless"_s, u"--convert-to"_s, u"pdf"_s,
                                                        u"--records"_s,  u"1-2"_s,          u"carnet.qvb"_s}
                                         << int(headless::UsageError) << u"vont avec --merge"_s;
    for (const char *bad : {"-5", "10,20", "a", "10,10,10,10,10"})
        QTest::addRow("margins %s", bad) << both + QStringList{u"--marges"_s, QString::fromLatin1(bad)}
                                         << int(headless::ConversionFailed) << u"marges incorrectes"_s;
    QTest::newRow("margins leave no room") << both + QStringList{u"--marges"_s, u"120,0,120,0"_s}
                                           << int(headless::ConversionFailed) << u"aucune place"_s;
    QTest::newRow("letter missing") << QStringList{u"--headless"_s,  u"--convert-to"_s, u"pdf"_s,       u"--merge"_s,
                                                   u"absente.qvt"_s, u"--with"_s,       u"carnet.qvb"_s}
                                    << int(headless::ConversionFailed) << u"absente.qvt : Fichier introuvable"_s;
    QTest::newRow("database missing") << merge + QStringList{u"--with"_s, u"absent.qvb"_s}
                                      << int(headless::ConversionFailed) << u"absent.qvb : Fichier introuvable"_s;
    QTest::newRow("database of another kind") << merge + QStringList{u"--with"_s, u"lettre.qvt"_s}
                                              << int(headless::ConversionFailed) << u"un fichier qvb est attendu"_s;
    QTest::newRow("empty database") << merge + QStringList{u"--with"_s, u"vide.qvb"_s}
                                    << int(headless::ConversionFailed) << u"ne contient aucune fiche"_s;
    for (const char *bad : {"0-2", "2-1", "2-4", "4", "1-", "deux", "1;3"})
        QTest::addRow("range %s", bad) << both + QStringList{u"--records"_s, QString::fromLatin1(bad)}
                                       << int(headless::ConversionFailed) << u"plage de fiches incorrecte"_s;
}

// Every failure is told in French, with a non-zero status, and writes no PDF.
void TestHeadless::mergeErrors()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeFile(dir.filePath(u"lettre.qvt"_s), kLetter);
    writeFile(dir.filePath(u"carnet.qvb"_s), kCarnet);
    writeFile(dir.filePath(u"vide.qvb"_s), QByteArray("0A0").repeated(32) + "\r\n000001Nom\r\n");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString out, err;
    const int result = run(args, headless::defaultRegistry(), out, err);
    QDir::setCurrent(before);
    QCOMPARE(result, status);
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(out.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(u"lettre.pdf"_s)));
    QVERIFY(!QFile::exists(dir.filePath(u"Mail.tmp"_s)));
}

void TestHeadless::writesTheFileItPrints_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("starts"); // how the file written begins
    QByteArray agenda;
    {
        QFile f(QDir::cleanPath(qEnvironmentVariable("VELMORA_TEST_DATA")
                                + u"/../../../agenda/tests/data/semaine.qva"_s));
        QVERIFY(f.open(QIODevice::ReadOnly));
        agenda = f.readAll();
    }
    QTest::newRow("database re-saved") << u"clients.2025.qvb"_s << kCarnet << u"qvb"_s << u"clients.2025.qvb"_s
                                       << QByteArray("0A0");
    QTest::newRow("database to csv") << u"clients.2025.qvb"_s << kCarnet << u"csv"_s << u"clients.2025.csv"_s
                                     << QByteArray("Nom;Ville");
    QTest::newRow("csv to database") << u"clients.2025.csv"_s << QByteArray("Nom;Ville\r\nDupont;Paris\r\n") << u"qvb"_s
                                     << u"clients.2025.qvb"_s << QByteArray("0A0");
    QTest::newRow("csv to workbook") << u"clients.2025.csv"_s << QByteArray("Nom;Ville\r\nDupont;Paris\r\n") << u"qvc"_s
                                     << u"clients.2025.qvc"_s << QByteArray();
    QTest::newRow("workbook re-saved") << u"clients.2025.qvc"_s << QByteArray() << u"qvc"_s << u"clients.2025.qvc"_s
                                       << QByteArray();
    QTest::newRow("agenda re-saved") << u"clients.2025.qva"_s << agenda << u"qva"_s << u"clients.2025.qva"_s
                                     << agenda.left(20);
    QTest::newRow("text to rtf") << u"clients.2025.qvt"_s << kLetter << u"rtf"_s << u"clients.2025.rtf"_s
                                 << QByteArray("{\\rtf1");
}

// The line printed names the file written, after the whole input name; a file named after
// the name's first part is someone else's and is left alone.
void TestHeadless::writesTheFileItPrints()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    QFETCH(QString, output);
    QFETCH(QByteArray, starts);
    QTemporaryDir dir;
    writeFile(dir.filePath(input), bytes);
    if (bytes.isEmpty()) { // a workbook, made from a CSV file by the converter itself
        writeFile(dir.filePath(u"graine.csv"_s), "Nom;Ville\r\nDupont;Paris\r\n");
        QString out, err;
        QCOMPARE(run({u"--headless"_s, u"--convert-to"_s, u"qvc"_s, u"--outdir"_s, dir.path(),
                      dir.filePath(u"graine.csv"_s)},
                     headless::defaultRegistry(), out, err),
                 int(headless::Ok));
        QFile::remove(dir.filePath(input));
        QVERIFY(QFile::rename(dir.filePath(u"graine.qvc"_s), dir.filePath(input)));
        QFile::remove(dir.filePath(u"graine.csv"_s));
        bytes = "x";
    }
    const QString unrelated = dir.filePath(u"sortie/clients."_s + format);
    QVERIFY(QDir().mkpath(dir.filePath(u"sortie"_s)));
    writeFile(unrelated, "autre chose");
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VELMORA_EXE),
            {u"--headless"_s, u"--convert-to"_s, format, u"--outdir"_s, u"sortie"_s, input});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == headless::Ok, p.readAllStandardError().constData());
    const QString printed = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    QVERIFY2(printed.startsWith(input + u" -> "_s) && printed.endsWith(u"/sortie/"_s + output), qPrintable(printed));
    QFile written(dir.filePath(u"sortie/"_s + output));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith(starts));
    QFile other(unrelated);
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("autre chose"));
    QCOMPARE(QDir(dir.filePath(u"sortie"_s)).count(), 4u); // ".", "..", the two files
}

void TestHeadless::doubleDashEndsOptions_data()
{
    QTest::addColumn<QStringList>("args"); // after --headless --convert-to up --outdir OUT
    QTest::addColumn<QStringList>("written"); // files found in OUT afterwards
    QTest::addColumn<int>("status");
    QTest::newRow("dashed name") << QStringList{u"--"_s, u"-x.txt"_s} << QStringList{u"-x.up"_s} << int(headless::Ok);
    QTest::newRow("double-dashed name") << QStringList{u"--"_s, u"--suffix.txt"_s} << QStringList{u"--suffix.up"_s}
                                        << int(headless::Ok);
    QTest::newRow("a second -- is a file")
            << QStringList{u"--"_s, u"--"_s, u"-x.txt"_s} << QStringList{u"-x.up"_s} << int(headless::ConversionFailed);
    QTest::newRow("--headless after -- is a file") << QStringList{u"--"_s, u"--headless"_s, u"-x.txt"_s}
                                                   << QStringList{u"-x.up"_s} << int(headless::ConversionFailed);
    QTest::newRow("options before --") << QStringList{u"--suffix"_s, u"!"_s, u"--"_s, u"-x.txt"_s}
                                       << QStringList{u"-x.up"_s} << int(headless::Ok);
}

// "--" ends the options: a file whose name begins with "-" is converted, not refused.
void TestHeadless::doubleDashEndsOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, written);
    QFETCH(int, status);
    QTemporaryDir dir;
    writeFile(dir.filePath(u"-x.txt"_s), "abc");
    writeFile(dir.filePath(u"--suffix.txt"_s), "def");
    const QString outdir = dir.filePath(u"out"_s);
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString out, err;
    const int result = run(QStringList{u"--headless"_s, u"--convert-to"_s, u"up"_s, u"--outdir"_s, outdir} + args,
                           upperCaser(), out, err);
    QDir::setCurrent(before);
    QVERIFY2(result == status, qPrintable(err));
    QCOMPARE(QDir(outdir).entryList(QDir::Files), written);
    QCOMPARE(out.count(u'\n'), written.size());
}

void TestHeadless::printsEachFileOnOneLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("printed");
    QTest::newRow("plain") << u"un.txt"_s << u"un.txt"_s;
    QTest::newRow("line feed") << u"un\ndeux.txt"_s << u"un\\ndeux.txt"_s;
    QTest::newRow("carriage return") << u"un\rdeux.txt"_s << u"un\\rdeux.txt"_s;
    QTest::newRow("tab and bell") << u"a\tb\x07.txt"_s << u"a\\tb\\x07.txt"_s;
    QTest::newRow("backslash") << u"a\\n.txt"_s << u"a\\\\n.txt"_s;
    QTest::newRow("unicode line separator") << u"a\u2028b.txt"_s << u"a\\u2028b.txt"_s;
    QTest::newRow("accents kept") << u"été.txt"_s << u"été.txt"_s;
}

// One line per file written, whatever the names hold; and failures too stay on one line.
void TestHeadless::printsEachFileOnOneLine()
{
    QFETCH(QString, name);
    QFETCH(QString, printed);
    QCOMPARE(headless::printableName(name), printed);
    QTemporaryDir dir;
    writeFile(dir.filePath(name), "abc");
    QString out, err;
    QCOMPARE(run({u"--headless"_s, u"--convert-to"_s, u"up"_s, u"--outdir"_s, dir.path(), dir.filePath(name),
                  dir.filePath(u"absent\n"_s + name)},
                 upperCaser(), out, err),
             int(headless::ConversionFailed));
    QCOMPARE(out.count(u'\n'), 1);
    QVERIFY2(out.startsWith(headless::printableName(dir.filePath(name)) + u" -> "_s), qPrintable(out));
    QCOMPARE(err.count(u'\n'), 1);
    QVERIFY(err.contains(u"Fichier introuvable"_s));
}

// The real program reads its own arguments: a name after "--" is a file even when it looks
// like an option of the program or of Qt, and a name with a line break prints on one line.
void TestHeadless::realProgramTakesDashedAndMultiLineNames()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"-x.qvb"_s), kCarnet);
    writeFile(dir.filePath(u"-style.qvb"_s), kCarnet);
    writeFile(dir.filePath(u"deux\nlignes.qvb"_s), kCarnet);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(VELMORA_EXE),
            {u"--headless"_s, u"--convert-to"_s, u"csv"_s, u"--"_s, u"-x.qvb"_s, u"-style.qvb"_s,
             u"deux\nlignes.qvb"_s});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY2(p.exitCode() == headless::Ok, p.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(u"-x.qvb -> "_s));
    QVERIFY(lines[1].startsWith(u"-style.qvb -> "_s));
    QVERIFY2(lines[2].startsWith(u"deux\\nlignes.qvb -> "_s), qPrintable(lines[2]));
    for (const char *csv : {"-x.csv", "-style.csv", "deux\nlignes.csv"})
        QVERIFY(QFile::exists(dir.filePath(QString::fromUtf8(csv))));
}

QTEST_MAIN(TestHeadless)
#include "tst_headless.moc"
