// The headless command line: argument handling, one line per file written, French errors
// and non-zero exits for what it cannot do; and the real program started that way.
#include "common/atomicsave.h"
#include "common/velmoraerror.h"
#include "shell/ui/headless.h"

#include <QFile>
#include <QProcess>
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
    r.add({u"up"_s, {u"txt"_s}, QString(), [](const ConversionJob &job) {
               QFile in(job.input);
               if (!in.open(QIODevice::ReadOnly))
                   throw VelmoraError::cannotOpen(job.input);
               const QByteArray bytes = in.readAll();
               if (bytes.startsWith("bad"))
                   throw VelmoraError(u"Format incorrect"_s);
               atomicsave::write(job.output, bytes.toUpper() + job.options.value(u"suffix"_s).toUtf8());
           }});
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
    QTest::newRow("option without value") << QStringList{u"--headless"_s, u"a.txt"_s, u"--outdir"_s}
                                          << u"attend une valeur"_s;
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

QTEST_MAIN(TestHeadless)
#include "tst_headless.moc"
