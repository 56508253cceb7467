// The desk utilities' model code: number text, the calculator's chain, postage, the euro
// conversion, the clock's fields and the notes file.
#include "common/tests/frenchclocale.h"
#include "common/velmoraerror.h"
#include "utilities/core/clockfields.h"
#include "utilities/core/decimaltext.h"
#include "utilities/core/euroconverter.h"
#include "utilities/core/notesfile.h"
#include "utilities/core/pocketcalculator.h"
#include "utilities/core/postage.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Keys of the calculator: digits, ",", "+-*/", "=", "r" (1/x), "s" (sqr), "C".
// Returns the message of the first failure, if any (the remaining keys still run).
QString press(PocketCalculator &calc, const QString &keys)
{
    QString error;
    for (QChar k : keys) {
        try {
            if (k.isDigit())
                calc.digit(k.digitValue());
            else if (k == u',')
                calc.comma();
            else if (k == u'=')
                calc.equals();
            else if (k == u'r')
                calc.reciprocal();
            else if (k == u's')
                calc.squareRoot();
            else if (k == u'C')
                calc.clear();
            else
                calc.setOperator(k);
        } catch (const VelmoraError &e) {
            if (error.isEmpty())
                error = e.message();
        }
    }
    return error;
}

postage::Counts countsOf(std::initializer_list<std::pair<int, int>> spinEditAndCount)
{
    postage::Counts counts{};
    for (auto [spinEdit, count] : spinEditAndCount) {
        for (int i = 0; i < postage::kItemCount; ++i)
            if (postage::items()[i].spinEdit == spinEdit)
                counts[i] = count;
    }
    return counts;
}
} // namespace

class TestUtilitiesCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parseNumber_data();
    void parseNumber();
    void generalFormat_data();
    void generalFormat();
    void frenchEnvironmentKeepsTheDigits();
    void calculatorChain_data();
    void calculatorChain();
    void calculatorFailureKeepsState();
    void calculatorClearKeepsNewEntry();
    void postageItems();
    void postageBrackets_data();
    void postageBrackets();
    void euroCompute_data();
    void euroCompute();
    void euroRate();
    void euroKeys();
    void clockStep_data();
    void clockStep();
    void clockStepFailure();
    void notesParse_data();
    void notesParse();
    void notesWrite();
    void notesEditorLines();
    void notesPaginate();
};

void TestUtilitiesCore::parseNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << u"12"_s << true << 12.0;
    QTest::newRow("decimal comma") << u"-3,25"_s << true << -3.25;
    QTest::newRow("leading comma") << u",5"_s << true << 0.5;
    QTest::newRow("trailing comma") << u"7,"_s << true << 7.0;
    QTest::newRow("exponent") << u"1,5E20"_s << true << 1.5e20;
    QTest::newRow("negative exponent") << u"2E-7"_s << true << 2e-7;
    QTest::newRow("blanks around") << u" 4 "_s << true << 4.0;
    QTest::newRow("empty") << u""_s << false << 0.0;
    QTest::newRow("lone comma") << u","_s << false << 0.0;
    QTest::newRow("two commas") << u"1,2,3"_s << false << 0.0;
    QTest::newRow("dot") << u"1.5"_s << false << 0.0;
    QTest::newRow("exponent without digits") << u"1E"_s << false << 0.0;
    QTest::newRow("lone sign") << u"-"_s << false << 0.0;
}

void TestUtilitiesCore::parseNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    long double v = -1;
    QCOMPARE(decimaltext::parse(text, v), ok);
    if (ok)
        QCOMPARE(double(v), value);
}

void TestUtilitiesCore::generalFormat_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0L << 12 << u"0"_s;
    QTest::newRow("quarter") << 0.25L << 12 << u"0,25"_s;
    QTest::newRow("noise removed") << 3.3000000000003L << 12 << u"3,3"_s;
    QTest::newRow("twelve digits kept") << 123456.789012L << 12 << u"123456,789012"_s;
    QTest::newRow("third") << 1.0L / 3 << 12 << u"0,333333333333"_s;
    QTest::newRow("negative") << -2.5L << 12 << u"-2,5"_s;
    QTest::newRow("below 1E15 fixed") << 1e14L << 12 << u"100000000000000"_s;
    QTest::newRow("1E15 exponent") << 1e15L << 12 << u"1E15"_s;
    QTest::newRow("rounds up to 1E15") << 999999999999999.0L << 12 << u"1E15"_s;
    QTest::newRow("large mantissa") << 1.5e20L << 12 << u"1,5E20"_s;
    QTest::newRow("0,00001 fixed") << 0.00001L << 12 << u"0,00001"_s;
    QTest::newRow("small exponent") << 1e-7L << 12 << u"1E-7"_s;
    QTest::newRow("negative small") << -2.5e-6L << 12 << u"-2,5E-6"_s;
    QTest::newRow("fifteen digits") << 6.55957L << 15 << u"6,55957"_s;
    QTest::newRow("cents") << 1524 * 0.01L << 15 << u"15,24"_s;
}

void TestUtilitiesCore::generalFormat()
{
    QFETCH(long double, value);
    QFETCH(int, digits);
    QFETCH(QString, text);
    QCOMPARE(decimaltext::formatGeneral(value, digits), text);
}

// Qt gives the C library the user's locale, whose decimal comma printf then writes: the
// calculator and the converter show the same digits in a French environment.
void TestUtilitiesCore::frenchEnvironmentKeepsTheDigits()
{
    PocketCalculator before;
    before.clear();
    press(before, u"1/3="_s);
    const QString third = before.display();
    press(before, u"*3="_s);
    const FrenchCLocale french;
    if (!french.active())
        QSKIP("no French locale installed");
    QCOMPARE(decimaltext::formatGeneral(1234.5L, 12), u"1234,5"_s);
    QCOMPARE(decimaltext::formatGeneral(1.5e20L, 12), u"1,5E20"_s);
    long double v = 0;
    QVERIFY(decimaltext::parse(u"3,25"_s, v));
    QCOMPARE(double(v), 3.25);
    PocketCalculator calc;
    calc.clear();
    press(calc, u"1/3="_s);
    QCOMPARE(calc.display(), third);
    press(calc, u"*3="_s);
    QCOMPARE(calc.display(), before.display());
    EuroConverter euro;
    QCOMPARE(euro.tauxText(), u"6,55957"_s);
}

void TestUtilitiesCore::calculatorChain_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("error");
    QTest::newRow("operator completes the chain") << u"2+3*"_s << u"5"_s << QString();
    QTest::newRow("no precedence") << u"2+3*4="_s << u"20"_s << QString();
    QTest::newRow("operand is the number shown") << u"5+="_s << u"10"_s << QString();
    QTest::newRow("equals without operator") << u"7=="_s << u"7"_s << QString();
    QTest::newRow("operator stays pending") << u"2+3=4="_s << u"9"_s << QString();
    QTest::newRow("repeated equals uses the shown number") << u"2*3=="_s << u"36"_s << QString();
    QTest::newRow("comma extends the shown number") << u"2+,5="_s << u"7"_s << QString();
    QTest::newRow("square root") << u"9s"_s << u"3"_s << QString();
    QTest::newRow("square root replaces accumulator") << u"2+9s="_s << u"6"_s << QString();
    QTest::newRow("reciprocal") << u"4r"_s << u"0,25"_s << QString();
    QTest::newRow("reciprocal of a tenth") << u"0,1r"_s << u"10"_s << QString();
    QTest::newRow("reciprocal of three") << u"3r"_s << u"0,333333333333"_s << QString();
    QTest::newRow("root of two") << u"2s"_s << u"1,41421356237"_s << QString();
    QTest::newRow("decimal sum without noise") << u"1,1+2,2="_s << u"3,3"_s << QString();
    QTest::newRow("tenths add up") << u"0,1+0,2="_s << u"0,3"_s << QString();
    QTest::newRow("money difference") << u"19,99-9,99="_s << u"10"_s << QString();
    QTest::newRow("cancellation noise hidden") << u"1-0,9="_s << u"0,1"_s << QString();
    QTest::newRow("twelve digits of two thirds") << u"2/3="_s << u"0,666666666667"_s << QString();
    QTest::newRow("twelve-digit integer kept") << u"123456789012+0="_s << u"123456789012"_s << QString();
    QTest::newRow("twelfth digit kept") << u"9,87654321012+0="_s << u"9,87654321012"_s << QString();
    QTest::newRow("tiny addend kept") << u"1+0,00000000001="_s << u"1,00000000001"_s << QString();
    QTest::newRow("exact integers keep every digit") << u"999999999998+1="_s << u"999999999999"_s << QString();
    QTest::newRow("exact sum of round numbers") << u"700000000000+1="_s << u"700000000001"_s << QString();
    QTest::newRow("exact product") << u"99999999999*9="_s << u"899999999991"_s << QString();
    QTest::newRow("typed twelve decimals kept") << u"0,999999999999+0="_s << u"0,999999999999"_s << QString();
    QTest::newRow("noise of a zero sum") << u"0,1+0,2-0,3="_s << u"0"_s << QString();
    QTest::newRow("exact beyond twelve digits") << u"1099511627776+0="_s << u"1099511627776"_s << QString();
    QTest::newRow("exact binary fraction") << u"1/1024="_s << u"0,0009765625"_s << QString();
    QTest::newRow("exact and long") << u"1234567,890625+0="_s << u"1234567,890625"_s << QString();
    QTest::newRow("thirds back to one") << u"1/3*3="_s << u"1"_s << QString();
    QTest::newRow("digit replaces a result") << u"2+3=7"_s << u"7"_s << QString();
    QTest::newRow("negative result") << u"1-3="_s << u"-2"_s << QString();
    QTest::newRow("exponent form") << u"1000000*1000000*1000="_s << u"1E15"_s << QString();
    QTest::newRow("small exponent form") << u"0,00001/10="_s << u"1E-6"_s << QString();
    QTest::newRow("empty equals is silent") << u"="_s << u""_s << QString();
    QTest::newRow("bad first number is silent") << u"1,2,3="_s << u""_s << QString();
    QTest::newRow("bad operand") << u"1+1,2,3="_s << u"1,2,3"_s << u"'1,2,3' n'est pas une valeur flottante correcte"_s;
    QTest::newRow("bad reciprocal") << u"r"_s << u""_s << u"'' n'est pas une valeur flottante correcte"_s;
    QTest::newRow("division by zero") << u"1/0="_s << u"0"_s << u"Division flottante par zéro"_s;
    QTest::newRow("reciprocal of zero") << u"0r"_s << u"0"_s << u"Division flottante par zéro"_s;
    QTest::newRow("zero by zero") << u"0/0="_s << u"0"_s << u"Opération flottante incorrecte"_s;
    QTest::newRow("root of negative") << u"1-3=s"_s << u"-2"_s << u"Opération flottante incorrecte"_s;
    QTest::newRow("overflow") << u"100000000000000000000*100000000000000000000="_s << u"100000000000000000000"_s
                              << u"Débordement flottant"_s;
    QTest::newRow("underflow gives zero")
            << u"0,0000000000000000000001*0,0000000000000000000001="_s << u"0"_s << QString();
}

void TestUtilitiesCore::calculatorChain()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    QFETCH(QString, error);
    PocketCalculator calc;
    calc.clear();
    QCOMPARE(press(calc, keys), error);
    QCOMPARE(calc.display(), display);
}

void TestUtilitiesCore::calculatorFailureKeepsState()
{
    PocketCalculator calc;
    calc.clear();
    press(calc, u"8/"_s);
    calc.digit(0);
    QVERIFY_THROWS_EXCEPTION(VelmoraError, calc.equals());
    QCOMPARE(calc.accumulator(), Real48(8.0L));
    QCOMPARE(calc.operand(), Real48(0.0L)); // stored before the division failed
    QCOMPARE(calc.pendingOperator(), QChar(u'/'));
    QVERIFY(!calc.newEntry());
    // The user corrects the divisor and goes on.
    calc.digit(4);
    calc.equals();
    QCOMPARE(calc.display(), u"2"_s);

    // A failing operator does not become the pending one.
    press(calc, u"C5*0"_s);
    calc.setOperator(u'/');
    QVERIFY_THROWS_EXCEPTION(VelmoraError, calc.setOperator(u'-'));
    QCOMPARE(calc.pendingOperator(), QChar(u'/'));
}

void TestUtilitiesCore::calculatorClearKeepsNewEntry()
{
    PocketCalculator calc;
    press(calc, u"3+4="_s);
    QVERIFY(calc.newEntry());
    press(calc, u"C"_s);
    QCOMPARE(calc.display(), QString());
    QVERIFY(!calc.accumulatorSet());
    QCOMPARE(calc.pendingOperator(), QChar());
    QVERIFY(calc.newEntry());
    press(calc, u"6="_s);
    QCOMPARE(calc.accumulator(), Real48(6.0L));
}

void TestUtilitiesCore::postageItems()
{
    const auto &items = postage::items();
    QCOMPARE(int(items.size()), 21);
    QSet<int> spinEdits;
    for (const auto &item : items)
        spinEdits.insert(item.spinEdit);
    QCOMPARE(spinEdits.size(), 21);
    QCOMPARE(items[8].spinEdit, 21);
    QCOMPARE(items[8].unitWeight, 37.5);
    QCOMPARE(items[20].label, u"En grammes"_s);
    QCOMPARE(items[16].unitWeight, 92.0);
}

void TestUtilitiesCore::postageBrackets_data()
{
    QTest::addColumn<postage::Counts>("counts");
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("rapide");
    QTest::addColumn<QString>("ecopli");
    QTest::addColumn<QString>("europe");
    QTest::newRow("nothing") << countsOf({}) << u"0 g"_s << u"3,00 F"_s << u"2,70 F"_s << u"3,00 F"_s;
    QTest::newRow("four A4 is exactly 20 g")
            << countsOf({{9, 4}}) << u"20 g"_s << u"3,00 F"_s << u"2,70 F"_s << u"3,00 F"_s;
    QTest::newRow("eight A4") << countsOf({{9, 8}}) << u"40 g"_s << u"4,50 F"_s << u"3,50 F"_s << u"4,60 F"_s;
    QTest::newRow("41 g") << countsOf({{20, 41}}) << u"41 g"_s << u"4,50 F"_s << u"3,50 F"_s << u"6,00 F"_s;
    QTest::newRow("one 7.5 g envelope") << countsOf({{3, 1}}) << u"8 g"_s << u"3,00 F"_s << u"2,70 F"_s << u"3,00 F"_s;
    QTest::newRow("noisy unit weights stay in bracket")
            << countsOf({{1, 5}, {20, 4}}) << u"20 g"_s << u"3,00 F"_s << u"2,70 F"_s << u"3,00 F"_s;
    QTest::newRow("noisy half gram rounds up")
            << countsOf({{8, 5}}) << u"147 g"_s << u"11,50 F"_s << u"8,00 F"_s << u"18,00 F"_s;
    QTest::newRow("a tenth above a bound")
            << countsOf({{13, 1}, {12, 1}}) << u"20 g"_s << u"4,50 F"_s << u"3,50 F"_s << u"4,60 F"_s;
    QTest::newRow("plastic box and 200 g")
            << countsOf({{16, 1}, {20, 200}}) << u"292 g"_s << u"16,00 F"_s << u"0,00 F"_s << u"28,00 F"_s;
    QTest::newRow("260 g") << countsOf({{20, 200}, {10, 6}}) << u"260 g"_s << u"16,00 F"_s << u"0,00 F"_s
                           << u"28,00 F"_s;
    QTest::newRow("beyond every tariff") << countsOf({{16, 200}}) << u"18400 g"_s << u"0,00 F"_s << u"0,00 F"_s
                                         << u"0,00 F"_s;
    QTest::newRow("3000 g is the last bracket")
            << countsOf({{16, 25}, {17, 4}, {20, 356}}) << u"3000 g"_s << u"33,00 F"_s << u"0,00 F"_s << u"0,00 F"_s;
    QTest::newRow("negative count as typed")
            << countsOf({{20, -5}}) << u"-5 g"_s << u"0,00 F"_s << u"0,00 F"_s << u"0,00 F"_s;
}

void TestUtilitiesCore::postageBrackets()
{
    QFETCH(postage::Counts, counts);
    QFETCH(QString, weight);
    QFETCH(QString, rapide);
    QFETCH(QString, ecopli);
    QFETCH(QString, europe);
    const Real48 w = postage::totalWeight(counts);
    QCOMPARE(postage::weightText(w), weight);
    QCOMPARE(postage::priceText(postage::price(postage::Service::FranceRapide, w)), rapide);
    QCOMPARE(postage::priceText(postage::price(postage::Service::FranceEcopli, w)), ecopli);
    QCOMPARE(postage::priceText(postage::price(postage::Service::UnionEuropeenne, w)), europe);
}

void TestUtilitiesCore::euroCompute_data()
{
    using D = EuroConverter::Direction;
    QTest::addColumn<QString>("input");
    QTest::addColumn<D>("direction");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("result");
    QTest::newRow("100 francs") << u"100"_s << D::FrancsToEuros << true << u"15,24"_s;
    QTest::newRow("1 euro") << u"1"_s << D::EurosToFrancs << true << u"6,6"_s;
    QTest::newRow("10 euros") << u"10"_s << D::EurosToFrancs << true << u"65,6"_s;
    QTest::newRow("empty is zero") << u""_s << D::FrancsToEuros << true << u"0"_s;
    QTest::newRow("decimal francs") << u"6,55957"_s << D::FrancsToEuros << true << u"1"_s;
    QTest::newRow("round cents") << u"1000"_s << D::FrancsToEuros << true << u"152,45"_s;
    QTest::newRow("one franc") << u"1"_s << D::FrancsToEuros << true << u"0,15"_s;
    QTest::newRow("two commas") << u"1,,5"_s << D::FrancsToEuros << false << QString();
    QTest::newRow("lone comma") << u","_s << D::EurosToFrancs << false << QString();
    QTest::newRow("N at the 32-bit limit") << u"140865693"_s << D::FrancsToEuros << true << u"21474836,46"_s;
    QTest::newRow("N beyond 32 bits") << u"140865694"_s << D::FrancsToEuros << false << QString();
    QTest::newRow("beyond the six-byte range") << QString(40, u'9') << D::EurosToFrancs << false << QString();
}

void TestUtilitiesCore::euroCompute()
{
    QFETCH(QString, input);
    QFETCH(EuroConverter::Direction, direction);
    QFETCH(bool, ok);
    QFETCH(QString, result);
    QString out;
    QCOMPARE(EuroConverter::compute(input, direction, Real48(655957.0L), out), ok);
    QCOMPARE(out, result);
}

void TestUtilitiesCore::euroRate()
{
    EuroConverter conv;
    QCOMPARE(conv.tauxText(), u"6,55957"_s);
    for (int i = 0; i < 10; ++i)
        conv.tauxDown();
    QCOMPARE(conv.tauxText(), u"6,55947"_s);
    conv.tauxUp();
    QCOMPARE(conv.tauxText(), u"6,55948"_s);
    for (int i = 0; i < 700000; ++i)
        conv.tauxDown();
    QCOMPARE(conv.taux(), Real48(1.0L));
    QCOMPARE(conv.tauxText(), u"0,00001"_s);
}

void TestUtilitiesCore::euroKeys()
{
    EuroConverter conv;
    for (QChar k : u"1.5"_s)
        conv.keyPress(k);
    QCOMPARE(conv.input(), u"1,5"_s);
    QCOMPARE(conv.keyPress(u'x'), EuroConverter::KeyResult::Handled);
    QCOMPARE(conv.input(), u"1,5"_s);
    conv.direction = EuroConverter::Direction::EurosToFrancs;
    conv.keyPress(u'\r');
    QCOMPARE(conv.result(), u"9,8"_s);
    QVERIFY(conv.resultatAffiche());
    // Enter again converts the input still shown, with the direction now chosen.
    conv.direction = EuroConverter::Direction::FrancsToEuros;
    conv.keyPress(u'\r');
    QCOMPARE(conv.result(), u"0,23"_s);
    // A digit after a result starts a new input.
    conv.digit(7);
    QCOMPARE(conv.input(), u"7"_s);
    QCOMPARE(conv.result(), QString());
    // A failed conversion empties both displays without a message.
    conv.keyPress(u',');
    conv.keyPress(u',');
    conv.keyPress(u'\r');
    QCOMPARE(conv.input(), QString());
    QCOMPARE(conv.result(), QString());
    QVERIFY(!conv.resultatAffiche());
    // Escape asks to close and empties a result on display.
    conv.keyPress(u'2');
    conv.keyPress(u'\r');
    QCOMPARE(conv.keyPress(QChar(27)), EuroConverter::KeyResult::Close);
    QCOMPARE(conv.input(), QString());
    QCOMPARE(conv.result(), QString());
}

void TestUtilitiesCore::clockStep_data()
{
    using F = clockfields::Field;
    QTest::addColumn<QString>("text");
    QTest::addColumn<F>("field");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QString>("result");
    QTest::newRow("minute up") << u"14:58:10"_s << F::Mn << 1 << u"14:59:10"_s;
    QTest::newRow("minute stops at 59") << u"14:59:10"_s << F::Mn << 1 << u"14:59:10"_s;
    QTest::newRow("minute down pads") << u"14:10:10"_s << F::Mn << -1 << u"14:09:10"_s;
    QTest::newRow("minute stops at 0") << u"14:00:10"_s << F::Mn << -1 << u"14:00:10"_s;
    QTest::newRow("hour up to 24") << u"23:00:00"_s << F::Hr << 1 << u"24:00:00"_s;
    QTest::newRow("hour stops at 24") << u"24:00:00"_s << F::Hr << 1 << u"24:00:00"_s;
    QTest::newRow("day down to 0") << u"01/05/2024"_s << F::Jo << -1 << u"00/05/2024"_s;
    QTest::newRow("day stops at 31") << u"31/05/2024"_s << F::Jo << 1 << u"31/05/2024"_s;
    QTest::newRow("month up") << u"20/09/2024"_s << F::Mo << 1 << u"20/10/2024"_s;
    QTest::newRow("month stops at 12") << u"20/12/2024"_s << F::Mo << 1 << u"20/12/2024"_s;
    QTest::newRow("year stops at 1900") << u"20/10/1900"_s << F::An << -1 << u"20/10/1900"_s;
    QTest::newRow("year stops at 2099") << u"20/10/2099"_s << F::An << 1 << u"20/10/2099"_s;
    QTest::newRow("two-digit year") << u"20/10/98"_s << F::An << 1 << u"20/10/1999"_s;
}

void TestUtilitiesCore::clockStep()
{
    QFETCH(QString, text);
    QFETCH(clockfields::Field, field);
    QFETCH(int, delta);
    QFETCH(QString, result);
    QCOMPARE(clockfields::step(text, field, delta), result);
}

void TestUtilitiesCore::clockStepFailure()
{
    // A one-digit hour puts the separator inside the hour field.
    try {
        clockfields::step(u"9:05:10"_s, clockfields::Field::Hr, 1);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"'9:' n'est pas une valeur entière correcte"_s);
    }
    QVERIFY_THROWS_EXCEPTION(VelmoraError, clockfields::step(QString(), clockfields::Field::An, 1));
}

void TestUtilitiesCore::notesParse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF") << QByteArray("un\r\ndeux\r\n") << QStringList{u"un"_s, u"deux"_s};
    QTest::newRow("lone LF") << QByteArray("un\ndeux\n") << QStringList{u"un"_s, u"deux"_s};
    QTest::newRow("lone CR") << QByteArray("un\rdeux") << QStringList{u"un"_s, u"deux"_s};
    QTest::newRow("mixed, empty line") << QByteArray("a\r\n\nb\rc") << QStringList{u"a"_s, u""_s, u"b"_s, u"c"_s};
    QTest::newRow("Ctrl-Z ends the text") << QByteArray("a\r\nb\x1a"
                                                        "c\r\n")
                                          << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("Windows-1252") << QByteArray("\x80 \xe9t\xe9") << QStringList{u"€ été"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList();
}

void TestUtilitiesCore::notesParse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(notesfile::parse(bytes), lines);
}

void TestUtilitiesCore::notesWrite()
{
    QCOMPARE(notesfile::serialize({u"un"_s, u""_s, u"€"_s}), QByteArray("un\r\n\r\n\x80\r\n"));
    QCOMPARE(notesfile::serialize({}), QByteArray());
    QCOMPARE(notesfile::serialize(notesfile::parse("a\nb")), QByteArray("a\r\nb\r\n"));
}

void TestUtilitiesCore::notesEditorLines()
{
    QCOMPARE(notesfile::linesOf(QString()), QStringList());
    QCOMPARE(notesfile::linesOf(u"a\n"_s), (QStringList{u"a"_s, u""_s}));
    for (const QStringList &lines :
         {QStringList{u"a"_s, u""_s}, QStringList{u""_s, u""_s}, QStringList{u"x"_s, u"y"_s}})
        QCOMPARE(notesfile::linesOf(notesfile::textOf(lines)), lines);
}

void TestUtilitiesCore::notesPaginate()
{
    using R = QList<std::pair<int, int>>;
    auto ranges = [](const QList<notesfile::PageRange> &pages) {
        R out;
        for (auto p : pages)
            out.append({p.first, p.count});
        return out;
    };
    QCOMPARE(ranges(notesfile::paginate(0, 10, 100)), (R{{0, 0}}));
    QCOMPARE(ranges(notesfile::paginate(10, 10, 100)), (R{{0, 10}}));
    QCOMPARE(ranges(notesfile::paginate(11, 10, 100)), (R{{0, 10}, {10, 1}}));
    QCOMPARE(ranges(notesfile::paginate(25, 10, 95)), (R{{0, 9}, {9, 9}, {18, 7}}));
    QCOMPARE(ranges(notesfile::paginate(3, 200, 100)), (R{{0, 1}, {1, 1}, {2, 1}}));
}

QTEST_GUILESS_MAIN(TestUtilitiesCore)
#include "tst_utilitiescore.moc"
