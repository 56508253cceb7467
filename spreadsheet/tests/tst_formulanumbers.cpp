// Numbers as French users type and read them: entry parsing, the standard display, number
// patterns (TEXT and cell formats), rounding and date serials.
#include "spreadsheet/core/numberformat.h"
#include "common/tests/frenchclocale.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <QtTest>

using namespace sheet;

class TestFormulaNumbers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void entryParsing_data();
    void entryParsing();
    void patterns_data();
    void patterns();
    void rounding_data();
    void rounding();
    void dateSerials();
    void frenchEnvironmentKeepsTheDigits();
    void patternsSurviveTheFile_data();
    void patternsSurviveTheFile();
    void numbersFitTheirCell_data();
    void numbersFitTheirCell();
};

void TestFormulaNumbers::numbersFitTheirCell_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("room"); // characters
    QTest::addColumn<QString>("shown");
    QTest::newRow("fits") << 3.25 << "" << 10 << "3,25";
    QTest::newRow("decimals rounded") << 3.14159265 << "" << 4 << "3,14";
    QTest::newRow("rounded up") << 2.996 << "" << 4 << "3";
    QTest::newRow("negative") << -3.14159 << "" << 5 << "-3,14";
    QTest::newRow("integer fits") << 1234567.891 << "" << 7 << "1234568";
    QTest::newRow("integer too wide") << 1234567.891 << "" << 5 << "###";
    QTest::newRow("small") << 0.000123456 << "" << 6 << "0,0001";
    QTest::newRow("scientific") << 1.5e20 << "" << 5 << "2E+20";
    QTest::newRow("own pattern") << 2.5 << "0,00" << 3 << "###";
    QTest::newRow("date") << 36231.0 << "dd/mm/yyyy" << 8 << "###";
    QTest::newRow("tiny cell") << 123.0 << "" << 2 << "##";
}

void TestFormulaNumbers::numbersFitTheirCell()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(int, room);
    QFETCH(QString, shown);
    QCOMPARE(formatNumberToFit(value, pattern, [&](const QString &t) { return t.size() <= room; }), shown);
}

void TestFormulaNumbers::entryParsing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::newRow("integer") << "42" << true << 42.0 << "";
    QTest::newRow("comma") << "3,25" << true << 3.25 << "";
    QTest::newRow("leading comma") << ",5" << true << 0.5 << "";
    QTest::newRow("signs") << "+7" << true << 7.0 << "";
    QTest::newRow("exponent") << "1,5E-3" << true << 0.0015 << "0,00E+00";
    QTest::newRow("narrow space group") << QString::fromUtf8("1\u202F234") << true << 1234.0 << "# ##0";
    QTest::newRow("bad grouping") << "12 34" << false << 0.0 << "";
    QTest::newRow("percent with space") << "12,5 %" << true << 0.125 << "0,0%";
    QTest::newRow("euro") << QString::fromUtf8("3 €") << true << 3.0 << QString::fromUtf8("# ##0,00 €");
    QTest::newRow("iso date") << "2026-12-07" << true << 46363.0 << "dd/mm/yyyy";
    QTest::newRow("year 2029") << "1/1/29" << true << 47119.0 << "dd/mm/yyyy";
    QTest::newRow("year 1930") << "1/1/30" << true << 10959.0 << "dd/mm/yyyy";
    QTest::newRow("date and time") << "12/03/1999 18:00" << true << 36231.75 << "dd/mm/yyyy hh:nn";
    QTest::newRow("time with seconds") << "0:00:30" << true << 30.0 / 86400 << "hh:nn:ss";
    QTest::newRow("bad minutes") << "10:75" << false << 0.0 << "";
    QTest::newRow("three dots") << "1.2.3.4" << false << 0.0 << "";
    QTest::newRow("word") << "douze" << false << 0.0 << "";
    QTest::newRow("empty") << "   " << false << 0.0 << "";
}

void TestFormulaNumbers::entryParsing()
{
    QFETCH(QString, typed);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    QFETCH(QString, format);
    double got = -1;
    QString gotFormat;
    QCOMPARE(parseEntryNumber(typed, got, gotFormat), isNumber);
    if (!isNumber)
        return;
    QVERIFY2(std::fabs(got - value) < 1e-12, qPrintable(QString::number(got, 'g', 17)));
    QCOMPARE(gotFormat, format);
}

void TestFormulaNumbers::patterns_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two decimals") << 3.14159 << "0,00"
                                  << "3,14";
    QTest::newRow("half away") << 2.5 << "0"
                               << "3";
    QTest::newRow("negative half away") << -2.5 << "0"
                                        << "-3";
    QTest::newRow("grouping") << 1234567.891 << "# ##0,00"
                              << "1 234 567,89";
    QTest::newRow("optional decimals") << 1.5 << "0,##"
                                       << "1,5";
    QTest::newRow("no leading zero") << 0.5 << "#,00"
                                     << ",50";
    QTest::newRow("minimum digits") << 7.0 << "000"
                                    << "007";
    QTest::newRow("percent") << 0.1234 << "0,0%"
                             << "12,3%";
    QTest::newRow("scientific") << 0.000123 << "0,00E+00"
                                << "1,23E-04";
    QTest::newRow("literal text") << 5.0 << "0\" kg\""
                                  << "5 kg";
    QTest::newRow("euro") << 1234.5 << QString::fromUtf8("# ##0,00 €") << QString::fromUtf8("1 234,50 €");
    QTest::newRow("negative section") << -1234.0 << "0;(0)"
                                      << "(1234)";
    QTest::newRow("zero section") << 0.0 << "0;-0;\"néant\""
                                  << "néant";
    QTest::newRow("rounds to zero") << -0.001 << "0,00"
                                    << "0,00";
    QTest::newRow("long date") << 36231.0 << "dddd d mmmm yyyy"
                               << "vendredi 12 mars 1999";
    QTest::newRow("short month") << 36231.0 << "d mmm yy"
                                 << "12 mars 99";
    QTest::newRow("french letters") << 36231.5 << "JJ/MM/AAAA hh:mm"
                                    << "12/03/1999 12:00";
    QTest::newRow("minutes after hours") << 0.5 + 5.0 / 1440 << "h:mm"
                                         << "12:05";
    QTest::newRow("standard") << 1.0 / 3 << ""
                              << "0,3333333333";
}

void TestFormulaNumbers::patterns()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    QCOMPARE(formatNumber(value, pattern), shown);
}

void TestFormulaNumbers::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("half");
    QTest::addColumn<double>("down");
    QTest::addColumn<double>("up");
    QTest::newRow("binary noise") << 2.675 << 2 << 2.68 << 2.67 << 2.68;
    QTest::newRow("1.005") << 1.005 << 2 << 1.01 << 1.0 << 1.01;
    QTest::newRow("negative") << -1.25 << 1 << -1.3 << -1.2 << -1.3;
    QTest::newRow("tens") << 1234.0 << -1 << 1230.0 << 1230.0 << 1240.0;
    QTest::newRow("exact") << 0.3 << 1 << 0.3 << 0.3 << 0.3;
    QTest::newRow("sum noise") << 0.1 + 0.2 << 1 << 0.3 << 0.3 << 0.3;
    QTest::newRow("many digits") << 1.0 / 3 << 20 << 1.0 / 3 << 1.0 / 3 << 1.0 / 3;
}

void TestFormulaNumbers::rounding()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(double, half);
    QFETCH(double, down);
    QFETCH(double, up);
    QCOMPARE(roundHalfAway(value, digits), half);
    QCOMPARE(roundDown(value, digits), down);
    QCOMPARE(roundUp(value, digits), up);
}

// Qt gives the C library the user's locale, whose decimal comma printf then writes: cells
// show the same text in a French environment.
void TestFormulaNumbers::frenchEnvironmentKeepsTheDigits()
{
    const struct
    {
        double value;
        const char *pattern;
    } cases[] = {{1234.5, "# ##0,00"}, {1234.5, "0,000"},    {1e20, "Standard"},     {-2.5e-7, "Standard"},
                 {0.125, "0,0%"},      {1234.5, "0,00E+00"}, {0.1 + 0.2, "Standard"}};
    QStringList inC;
    for (const auto &c : cases)
        inC.append(formatNumber(c.value, QString::fromLatin1(c.pattern)));
    QCOMPARE(inC.first(), QStringLiteral("1 234,50"));
    QCOMPARE(inC[2], QStringLiteral("1E+20"));
    const FrenchCLocale french;
    if (!french.active())
        QSKIP("no French locale installed");
    for (size_t i = 0; i < std::size(cases); ++i)
        QCOMPARE(formatNumber(cases[i].value, QString::fromLatin1(cases[i].pattern)), inC[qsizetype(i)]);
    QCOMPARE(snap15(0.1 + 0.2), 0.3);
}

void TestFormulaNumbers::dateSerials()
{
    QCOMPARE(dateToSerial(QDate(1899, 12, 30)), 0.0);
    QCOMPARE(dateToSerial(QDate(1900, 3, 1)), 61.0);
    QCOMPARE(serialToDate(36231.99), QDate(1999, 3, 12));
    QCOMPARE(serialToDateTime(36231.5).time(), QTime(12, 0));
    // Rounded to the nearest second: a hair before midnight is midnight.
    QCOMPARE(serialToDateTime(0.999999999), QDateTime(QDate(1899, 12, 31), QTime(0, 0), Qt::UTC));
    QVERIFY(!serialToDate(1e300).isValid());
    QVERIFY(!serialToDate(std::nan("")).isValid());
    QCOMPARE(formatNumber(1e300, QStringLiteral("dd/mm/yyyy")), QStringLiteral("###"));
}

void TestFormulaNumbers::patternsSurviveTheFile_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("date") << "dd/mm/yyyy";
    QTest::newRow("date time") << "dd/mm/yyyy hh:nn";
    QTest::newRow("time") << "hh:nn:ss";
    QTest::newRow("long date") << "dddd d mmmm yyyy";
    QTest::newRow("grouping") << "# ##0,00";
    QTest::newRow("percent") << "0,0%";
    QTest::newRow("scientific") << "0,00E+00";
    QTest::newRow("euro") << QString::fromUtf8("# ##0,00 €");
}

void TestFormulaNumbers::patternsSurviveTheFile()
{
    QFETCH(QString, pattern);
    Workbook book;
    book.setValue(0, 1, 1, Value::number(36231.75));
    book.modifyFormat(0, CellRange::single(1, 1), [&](CellFormat &f) { f.numberFormat = pattern; });
    Workbook back;
    qvc::read(qvc::write(book), back);
    QCOMPARE(back.displayText(0, 1, 1), book.displayText(0, 1, 1));
}

QTEST_GUILESS_MAIN(TestFormulaNumbers)
#include "tst_formulanumbers.moc"
