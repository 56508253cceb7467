// The text tools' arithmetic: statistics, date formats, case, character table, tab stop
// and indent units, and the page geometry of envelopes, page set-up and preview.
#include "text/core/pagegeometry.h"
#include "text/core/toolformulas.h"

#include "common/velmoraerror.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace texttools;

class TestTextToolsFormulas : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statistics_data();
    void statistics();
    void dateFormats_data();
    void dateFormats();
    void caseChange_data();
    void caseChange();
    void characterTable();
    void tabStops();
    void integers_data();
    void integers();
    void paragraphUnits_data();
    void paragraphUnits();
    void envelopeTable();
    void pageRectangleOfTheExample();
    void previewLayout_data();
    void previewLayout();
};

void TestTextToolsFormulas::statistics_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("words");
    QTest::newRow("one line of 18 characters") << QStringList{u"Bonjour, le monde."_s} << 1 << 18 << 3;
    QTest::newRow("empty document") << QStringList{QString()} << 0 << 0 << 0;
    QTest::newRow("no line at all") << QStringList() << 0 << 0 << 0;
    QTest::newRow("last empty line not counted") << QStringList{u"abc"_s, QString()} << 1 << 3 << 1;
    QTest::newRow("empty line in the middle counts") << QStringList{u"ab"_s, QString(), u"cd"_s} << 3 << 4 << 2;
    QTest::newRow("separators in a row make no word") << QStringList{u"oui, non"_s, u"a: b; c!"_s} << 2 << 16 << 5;
    QTest::newRow("apostrophe, dash, tab, no-break space")
            << QStringList{u"l'été \u2014 12\tfois\u00a0!"_s} << 1 << 17 << 3;
}

void TestTextToolsFormulas::statistics()
{
    QFETCH(QStringList, lines);
    QFETCH(int, lineCount);
    QFETCH(int, characters);
    QFETCH(int, words);
    const Statistics s = texttools::statistics(lines);
    QCOMPARE(s.lines, lineCount);
    QCOMPARE(s.characters, characters);
    QCOMPARE(s.words, words);
}

void TestTextToolsFormulas::dateFormats_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 0 << u"07/12/2026"_s;
    QTest::newRow("2") << 1 << u"07 déc. 2026"_s;
    QTest::newRow("3") << 2 << u"07 décembre 2026"_s;
    QTest::newRow("4") << 3 << u"lun. 07 déc. 2026"_s;
    QTest::newRow("5") << 4 << u"lundi 07 déc. 2026"_s;
    QTest::newRow("6") << 5 << u"lundi 07 décembre 2026"_s;
    QTest::newRow("7: hours h minutes") << 6 << u"09 h 05"_s;
    QTest::newRow("8") << 7 << u"09:05"_s;
}

void TestTextToolsFormulas::dateFormats()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    const QStringList formats = dateTimeFormats();
    QCOMPARE(formats.size(), 8);
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 5, 33));
    QCOMPARE(formatDateTime(formats[index], when), text);
}

void TestTextToolsFormulas::caseChange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("result");
    QTest::newRow("upper with accents") << u"été à l'école, œuvre"_s << 2 << u"ÉTÉ À L'ÉCOLE, ŒUVRE"_s;
    QTest::newRow("lower with accents") << u"ÉTÉ ÇA"_s << 1 << u"été ça"_s;
    QTest::newRow("other characters") << u"Ab1-Zz ç"_s << 2 << u"AB1-ZZ Ç"_s;
    QTest::newRow("one character for one") << u"Straße"_s << 2 << u"STRAßE"_s;
    QTest::newRow("cancelled") << u"Ab"_s << 0 << u"Ab"_s;
}

void TestTextToolsFormulas::caseChange()
{
    QFETCH(QString, text);
    QFETCH(int, change);
    QFETCH(QString, result);
    QCOMPARE(changeCase(text, CaseChange(change)), result);
}

void TestTextToolsFormulas::characterTable()
{
    QCOMPARE(kTableColumns * kTableRows, 224);
    QCOMPARE(characterCode(0, 0), 32);
    QCOMPARE(characterCode(0, 27), 59);
    QCOMPARE(characterCode(7, 0), 228);
    QCOMPARE(characterCode(7, 27), 255);
    QCOMPARE(tableCharacter(0, 0), u" "_s);
    QCOMPARE(tableCharacter(1, 5), u"A"_s); // 65
    QCOMPARE(tableCharacter(3, 12), u"€"_s); // 128, the Windows-1252 euro
    QCOMPARE(tableCharacter(3, 13), QString()); // 129 is undefined
    QCOMPARE(tableCharacter(4, 24), QString(QChar(0xA8)));
    QCOMPARE(tableCharacter(7, 5), u"é"_s); // 233
    QCOMPARE(tableCharacter(7, 27), u"ÿ"_s);
}

void TestTextToolsFormulas::tabStops()
{
    QCOMPARE(tabListValue(56, 7), 8);
    QCOMPARE(tabListValue(6, 7), 0); // closer than one unit: not listed
    QCOMPARE(tabListValue(0, 7), 0);
    QCOMPARE(tabListValue(62.9, 7), 8);
    QCOMPARE(tabListValue(56, 0), 0);
    QCOMPARE(10 * 7, 70); // entering 10 with u = 7 sets a stop at 70 points
}

void TestTextToolsFormulas::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << u"10"_s << true << 10;
    QTest::newRow("leading spaces") << u"  7"_s << true << 7;
    QTest::newRow("negative") << u"-3"_s << true << -3;
    QTest::newRow("hexadecimal") << u"$1F"_s << true << 31;
    QTest::newRow("trailing space") << u"7 "_s << false << 0;
    QTest::newRow("letters") << u"dix"_s << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("sign alone") << u"-"_s << false << 0;
    QTest::newRow("decimal comma") << u"1,5"_s << false << 0;
    QTest::newRow("too large") << u"3000000000"_s << false << 0;
    QTest::newRow("smallest") << u"-2147483648"_s << true << int(-2147483647 - 1);
}

void TestTextToolsFormulas::integers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    try {
        QCOMPARE(parseInteger(text), value);
        QVERIFY(ok);
    } catch (const VelmoraError &e) {
        QVERIFY(!ok);
        QCOMPARE(e.message(), u"'%1' n'est pas une valeur entière correcte"_s.arg(text));
    }
}

void TestTextToolsFormulas::paragraphUnits_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("millimetres");
    QTest::addColumn<int>("pointsBack");
    QTest::newRow("half an inch") << 36 << 13 << 37;
    QTest::newRow("zero") << 0 << 0 << 0;
    QTest::newRow("negative") << -36 << -13 << -37;
    QTest::newRow("one inch") << 72 << 25 << 71;
    QTest::newRow("ten millimetres") << 28 << 10 << 28;
}

void TestTextToolsFormulas::paragraphUnits()
{
    QFETCH(int, points);
    QFETCH(int, millimetres);
    QFETCH(int, pointsBack);
    QCOMPARE(pointsToMillimetres(points), millimetres);
    QCOMPARE(millimetresToPoints(millimetres), pointsBack);
}

void TestTextToolsFormulas::envelopeTable()
{
    using pagegeometry::envelopeLine;
    const int expected[8][2] = {{5, 5}, {5, 10}, {5, 15}, {5, 20}, {110, 50}, {110, 55}, {110, 60}, {110, 65}};
    for (int i = 0; i < 8; ++i) {
        const auto p = envelopeLine(i < 4, i % 4 + 1);
        QCOMPARE(p.x, expected[i][0]);
        QCOMPARE(p.y, expected[i][1]);
    }
    // 300 dpi, 2480 pixels over 210 mm: 11 pixels per millimetre.
    QCOMPARE(envelopeLine(false, 1).x * (2480 / 210), 1210);
}

void TestTextToolsFormulas::pageRectangleOfTheExample()
{
    const QRect r = pagegeometry::pageRectangle(2480, 3508, 11, 11, {20, 20, 20, 20});
    QCOMPARE(r.left(), 220);
    QCOMPARE(r.top(), 220);
    QCOMPARE(r.x() + r.width(), 2260);
    QCOMPARE(r.y() + r.height(), 3288);
    const QRect none = pagegeometry::pageRectangle(2480, 3508, 11, 11, {});
    QCOMPARE(none, QRect(0, 0, 2480, 3508));
}

void TestTextToolsFormulas::previewLayout_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("closeLeft");
    QTest::addColumn<int>("panelLeft");
    QTest::addColumn<int>("panelWidth");
    QTest::addColumn<int>("panelHeight");
    QTest::newRow("1024 x 768, portrait A4") << QSize(1024, 768) << QSize(2480, 3508) << 904 << 276 << 472 << 668;
    QTest::newRow("half goes down to even") << QSize(300, 105) << QSize(1, 2) << 180 << 149 << 2 << 5;
    QTest::newRow("half goes up to even") << QSize(300, 107) << QSize(1, 2) << 180 << 148 << 4 << 7;
    QTest::newRow("landscape fits the width") << QSize(1280, 1024) << QSize(3508, 2480) << 1160 << 10 << 1260 << 891;
}

void TestTextToolsFormulas::previewLayout()
{
    QFETCH(QSize, window);
    QFETCH(QSize, page);
    QFETCH(int, closeLeft);
    QFETCH(int, panelLeft);
    QFETCH(int, panelWidth);
    QFETCH(int, panelHeight);
    const auto p = pagegeometry::previewLayout(window.width(), window.height(), page.width(), page.height());
    QCOMPARE(p.closeLeft, closeLeft);
    QCOMPARE(p.panelHeight, panelHeight);
    QCOMPARE(p.panelWidth, panelWidth);
    QCOMPARE(p.panelLeft, panelLeft);
}

QTEST_GUILESS_MAIN(TestTextToolsFormulas)
#include "tst_texttoolsformulas.moc"
