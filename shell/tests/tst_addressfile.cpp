// The sender address file: four CR LF lines, silent on every failure.
#include "shell/core/addressfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAddressFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsFourLines();
    void extraLinesDroppedAndRewrittenAsFour();
    void shortFileKeepsOtherLines();
    void missingFileLeavesAddress();
    void stopsAtCtrlZ();
    void writesFourLinesWithCrLf();
    void unwritablePathFailsQuietly();
};

namespace {
QByteArray slurp(const QString &p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void spit(const QString &p, const QByteArray &b)
{
    QFile f(p);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(b);
}
} // namespace

void TestAddressFile::readsFourLines()
{
    QTemporaryDir d;
    spit(d.filePath(u"Velmora.adr"_s), "Jean Dupr\xe9\r\n12 rue des Lilas\r\n75012 Paris\r\nFrance\r\n");
    QStringList a;
    QVERIFY(addressfile::read(d.filePath(u"Velmora.adr"_s), a));
    QCOMPARE(a, (QStringList{u"Jean Dupré"_s, u"12 rue des Lilas"_s, u"75012 Paris"_s, u"France"_s}));
}

void TestAddressFile::extraLinesDroppedAndRewrittenAsFour()
{
    QTemporaryDir d;
    const QString p = d.filePath(u"Velmora.adr"_s);
    spit(p, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    QStringList a;
    addressfile::read(p, a);
    QCOMPARE(a, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QVERIFY(addressfile::write(p, a));
    QCOMPARE(slurp(p), QByteArray("1\r\n2\r\n3\r\n4\r\n"));
}

void TestAddressFile::shortFileKeepsOtherLines()
{
    QTemporaryDir d;
    spit(d.filePath(u"a.adr"_s), "Nouveau\n");
    QStringList a{u"x"_s, u"y"_s, u"z"_s, u"w"_s};
    addressfile::read(d.filePath(u"a.adr"_s), a);
    QCOMPARE(a, (QStringList{u"Nouveau"_s, u"y"_s, u"z"_s, u"w"_s}));
}

void TestAddressFile::missingFileLeavesAddress()
{
    QStringList a;
    QVERIFY(!addressfile::read(u"/nonexistent/Velmora.adr"_s, a));
    QCOMPARE(a, QStringList(4, QString()));
}

void TestAddressFile::stopsAtCtrlZ()
{
    QStringList a;
    addressfile::parse("un\r\ndeux\x1atrois\r\nquatre\r\n", a);
    QCOMPARE(a, (QStringList{u"un"_s, u"deux"_s, QString(), QString()}));
}

void TestAddressFile::writesFourLinesWithCrLf()
{
    QTemporaryDir d;
    const QString p = d.filePath(u"Velmora.adr"_s);
    QVERIFY(addressfile::write(p, {u"Zoé"_s}));
    QCOMPARE(slurp(p), QByteArray("Zo\xe9\r\n\r\n\r\n\r\n"));
}

void TestAddressFile::unwritablePathFailsQuietly()
{
    QVERIFY(!addressfile::write(u"/nonexistent/dir/Velmora.adr"_s, {u"a"_s}));
}

QTEST_GUILESS_MAIN(TestAddressFile)
#include "tst_addressfile.moc"
