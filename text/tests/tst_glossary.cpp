// The glossary list, its file "Velmora.glo" and the expansion lookup.
#include "text/core/glossary.h"

#include "common/velmoraerror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestGlossary : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lookup_data();
    void lookup();
    void emptyGlossaryFindsNothing();
    void textCutAt1024();
    void textOfEntry_data();
    void textOfEntry();
    void readsEveryLineEnd_data();
    void readsEveryLineEnd();
    void writesCrLfAfterEveryEntry();
    void fileRoundTrip();
    void missingFileGivesEmptyList();
    void unreadableFileReportedAndListKept();
    void unwritableFileReported();
    void changesMarkModified();
};

void TestGlossary::lookup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::newRow("after a space, lower case typed") << u"Bien cdt"_s << u"Cordialement"_s << 3;
    QTest::newRow("upper case typed") << u"Bien CDT"_s << u"Cordialement"_s << 3;
    QTest::newRow("mixed case typed") << u"x cDt"_s << u"Cordialement"_s << 3;
    QTest::newRow("at the start of the text: no separator") << u"cdt"_s << QString() << 0;
    QTest::newRow("after a line feed") << u"Merci\r\ncdt"_s << u"Cordialement"_s << 3;
    QTest::newRow("after a paragraph separator") << u"Merci\u2029cdt"_s << u"Cordialement"_s << 3;
    QTest::newRow("punctuation is part of the word") << u"appelez tel,"_s << QString() << 4;
    QTest::newRow("unknown word") << u"un mot"_s << QString() << 3;
    QTest::newRow("accented letters keep their case") << u"x é"_s << QString() << 1;
    QTest::newRow("accented abbreviation") << u"x Éte"_s << u"Été"_s << 3;
    QTest::newRow("first entry wins") << u"le abc"_s << u"premier"_s << 3;
    QTest::newRow("nothing typed after the space") << u"fin "_s << QString() << 0;
    QTest::newRow("sixteen letters: no separator") << u"abcdefghijklmnop"_s << QString() << 0;
    QTest::newRow("candidate cut at fifteen") << u" abcdefghijklmnop"_s << QString() << 15;
    QTest::newRow("entry without tab never matches") << u"x NOTAB"_s << QString() << 5;
}

void TestGlossary::lookup()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, length);
    Glossary g;
    g.setEntries({u"NOTAB"_s, u"CDT\tCordialement"_s, u"ABC\tpremier"_s, u"ABC\tsecond"_s, u"\tsans abréviation"_s,
                  u"ÉTE\tÉté"_s, u"TEL\ttéléphone"_s});
    QString word = typed;
    int len = -1;
    g.Cherche(word, len);
    QCOMPARE(word, text);
    QCOMPARE(len, length);
}

void TestGlossary::emptyGlossaryFindsNothing()
{
    Glossary g;
    QString word = u"x cdt"_s;
    int len = -1;
    g.Cherche(word, len);
    QVERIFY(word.isEmpty());
    QCOMPARE(len, 0);
}

void TestGlossary::textCutAt1024()
{
    Glossary g;
    const QString longText = QString(1500, u'x');
    g.setEntries(Glossary::parse("LONG\t" + longText.toLatin1() + "\r\n"));
    QString word = u" long"_s;
    int len = 0;
    g.Cherche(word, len);
    QCOMPARE(word.size(), 1024);
    QCOMPARE(Glossary::textOf(g.entries().first()).size(), 1024);
}

void TestGlossary::textOfEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("after the first tab") << u"A\tb\tc"_s << u"b\tc"_s;
    QTest::newRow("no tab: whole entry") << u"ENTREE"_s << u"ENTREE"_s;
    QTest::newRow("empty text") << u"A\t"_s << QString();
}

void TestGlossary::textOfEntry()
{
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QCOMPARE(Glossary::textOf(entry), text);
}

void TestGlossary::readsEveryLineEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    const QStringList two{u"A\tun"_s, u"B\tdeux"_s};
    QTest::newRow("CR LF") << QByteArray("A\tun\r\nB\tdeux\r\n") << two;
    QTest::newRow("LF") << QByteArray("A\tun\nB\tdeux\n") << two;
    QTest::newRow("CR") << QByteArray("A\tun\rB\tdeux\r") << two;
    QTest::newRow("last line without end") << QByteArray("A\tun\r\nB\tdeux") << two;
    QTest::newRow("empty lines are entries")
            << QByteArray("A\tun\r\n\r\nB\tdeux\r\n") << QStringList{u"A\tun"_s, QString(), u"B\tdeux"_s};
    QTest::newRow("stops at Ctrl-Z") << QByteArray("A\tun\r\nB\tdeux\r\n\x1a"
                                                   "C\ttrois\r\n")
                                     << two;
    QTest::newRow("Windows-1252 text") << QByteArray("E\t\x80 \xe9t\xe9\r\n") << QStringList{u"E\t€ été"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestGlossary::readsEveryLineEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(Glossary::parse(bytes), entries);
}

void TestGlossary::writesCrLfAfterEveryEntry()
{
    Glossary g;
    g.setEntries({u"CDT\tCordialement"_s, QString(), u"E\t€ été"_s});
    QCOMPARE(g.serialize(), QByteArray("CDT\tCordialement\r\n\r\nE\t\x80 \xe9t\xe9\r\n"));
}

void TestGlossary::fileRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(Glossary::fileName());
    Glossary g;
    g.setEntries({u"CDT\tCordialement"_s, u"ADR\t12, rue de la Paix"_s});
    g.save(path);
    Glossary back;
    back.append(u"old"_s);
    back.load(path);
    QCOMPARE(back.entries(), g.entries());
    QVERIFY(!back.isModified());
}

void TestGlossary::missingFileGivesEmptyList()
{
    QTemporaryDir dir;
    Glossary g;
    g.append(u"X\tx"_s);
    g.load(dir.filePath(u"absent.glo"_s));
    QVERIFY(g.isEmpty());
    QVERIFY(!g.isModified());
}

void TestGlossary::unreadableFileReportedAndListKept()
{
    QTemporaryDir dir;
    // A folder in place of the file cannot be read as one.
    const QString path = dir.filePath(Glossary::fileName());
    QVERIFY(QDir().mkpath(path));
    Glossary g;
    g.setEntries({u"A\ta"_s});
    try {
        g.load(path);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Ne peut ouvrir le fichier "_s + path);
    }
    QCOMPARE(g.entries(), QStringList{u"A\ta"_s});
}

void TestGlossary::unwritableFileReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nulle/part/Velmora.glo"_s);
    Glossary g;
    g.setEntries({u"A\ta"_s});
    try {
        g.save(path);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"Ne peut créer le fichier "_s + path);
    }
}

void TestGlossary::changesMarkModified()
{
    Glossary g;
    QVERIFY(!g.isModified());
    g.append(u"A\ta"_s);
    QVERIFY(g.isModified());
    g.setModified(false);
    g.remove(5); // nothing selected: still counts as a change
    QVERIFY(g.isModified());
    g.setModified(false);
    g.replace(0, u"B\tb"_s);
    QVERIFY(g.isModified());
    QCOMPARE(g.entries(), QStringList{u"B\tb"_s});
}

QTEST_GUILESS_MAIN(TestGlossary)
#include "tst_glossary.moc"
