// The command-line spelling check: the lines of each kind of document, the report's format,
// and the real program run as a user would (exit status, French messages).
#include "common/velmoraerror.h"
#include "text/core/spellchecker.h"
#include "text/core/spellreport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSpellReport : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<SpellChecker> m_checker;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(bytes);
        return path;
    }
    int runReport(const QStringList &args, QString &out, QString &err)
    {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return spellreport::run(args, o, e, m_checker.get());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString data = qEnvironmentVariable("VELMORA_TEST_DATA") + u"/spelling/"_s;
        m_checker = std::make_unique<SpellChecker>(data + u"mini.aff"_s, data + u"mini.dic"_s, QString());
    }

    void linesOfEachKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("txt, Windows-1252, CR LF")
                << u"a.txt"_s << QByteArray("le chat\r\ntr\xe9s bien\r\n") << QStringList{u"le chat"_s, u"trés bien"_s};
        QTest::newRow("txt, UTF-8, LF") << u"b.txt"_s << u"le chat\ntrés bien\n"_s.toUtf8()
                                        << QStringList{u"le chat"_s, u"trés bien"_s};
        QTest::newRow("rtf, paragraphs and line breaks")
                << u"c.rtf"_s
                << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 le chat\\line tr\\'e9s\\par bien\\par}")
                << QStringList{u"le chat"_s, u"trés"_s, u"bien"_s};
        QTest::newRow("qvt") << u"d.QVT"_s << QByteArray("{\\rtf1\\ansi\\f0 un chien\\par}")
                             << QStringList{u"un chien"_s};
    }
    void linesOfEachKind()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(spellreport::documentLines(write(name, bytes)), lines);
    }

    void reportFormat()
    {
        const QString path =
                write(u"lettre.txt"_s, "Le chat est tr\xe9s bien.\r\nUn chien, une maisson, la maisson 2026.\r\n");
        QString out, err;
        QCOMPARE(runReport({u"--headless"_s, u"--check-spelling"_s, path}, out, err), 0);
        QCOMPARE(err, QString());
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith(path + u":1:13: trés -> "_s), qPrintable(lines[0]));
        QVERIFY(lines[0].contains(u"très"_s));
        QVERIFY2(lines[1].startsWith(path + u":2:15: maisson -> maison"_s), qPrintable(lines[1]));
        QVERIFY(lines[2].startsWith(path + u":2:27: maisson -> "_s));
        const QStringList suggestions = lines[1].section(u" -> "_s, 1).split(u", "_s);
        QVERIFY(suggestions.size() >= 1 && suggestions.size() <= 7);
    }

    void capitalsOnlyOnRequest()
    {
        const QString path = write(u"sigles.txt"_s, "le CHAT et la SNCF\r\n");
        QString out, err;
        QCOMPARE(runReport({u"--check-spelling"_s, path}, out, err), 0);
        QCOMPARE(out, QString());
        QCOMPARE(runReport({u"--check-spelling"_s, u"--majuscules"_s, path}, out, err), 0);
        QVERIFY2(out.startsWith(path + u":1:15: SNCF ->"_s), qPrintable(out));
        QCOMPARE(out.count(u'\n'), 1); // "CHAT" is known in capitals
    }

    void unreadableFilesGiveFrenchMessages()
    {
        const QString good = write(u"bon.txt"_s, "le chat\r\n");
        const QString wrongKind = write(u"image.png"_s, "PNG");
        QString out, err;
        QCOMPARE(runReport({u"--check-spelling"_s, m_dir.filePath(u"absent.qvt"_s), good}, out, err), 1);
        QVERIFY2(err.contains(u"absent.qvt : Fichier introuvable"_s), qPrintable(err));
        QCOMPARE(runReport({u"--check-spelling"_s, wrongKind}, out, err), 1);
        QVERIFY(err.contains(u"un fichier .qvt, .rtf ou .txt est attendu"_s));
        QCOMPARE(runReport({u"--check-spelling"_s}, out, err), 2);
        QVERIFY(err.contains(u"aucun fichier à vérifier"_s));
    }

    void realProgram()
    {
        if (!SpellChecker::frenchInstalled())
            QSKIP("French dictionary not installed (hunspell-fr)");
        const QString path = write(u"texte.rtf"_s, "{\\rtf1\\ansi\\f0 Il est al\\'e9 \\'e0 l'\\'e9colle.\\par}");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VELMORA_EXE), {u"--headless"_s, u"--check-spelling"_s, path});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(path + u":1:8: alé -> "_s), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(path + u":1:14: l'écolle -> l'école"_s), qPrintable(lines[1]));

        p.start(QStringLiteral(VELMORA_EXE), {u"--headless"_s, u"--check-spelling"_s, m_dir.filePath(u"non.txt"_s)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"Fichier introuvable"_s));
    }
};

QTEST_GUILESS_MAIN(TestSpellReport)
#include "tst_spellreport.moc"
