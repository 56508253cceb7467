// The calculator's display against exact decimal arithmetic: thousands of random chains of
// typed numbers and operators, each intermediate result compared with the exact rational
// value of the same keys. The display must show the exact result whenever the doubt the
// calculator keeps allows it, and that doubt must always hold the exact result.
#include "common/velmoraerror.h"
#include "utilities/core/pocketcalculator.h"

#include <QRandomGenerator>
#include <QTest>

#include <gmpxx.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

mpq_class power10(int e)
{
    mpz_class p;
    mpz_ui_pow_ui(p.get_mpz_t(), 10, unsigned(std::abs(e)));
    return e >= 0 ? mpq_class(p) : mpq_class(mpz_class(1), p);
}

// The exact value of a long double (a binary fraction).
mpq_class exactOf(long double v)
{
    if (v == 0.0L)
        return 0;
    int e = 0;
    const long double m = std::frexp(std::fabs(v), &e); // |v| = m 2^e, 0.5 <= m < 1
    const auto bits = static_cast<unsigned long long>(std::ldexp(m, 64));
    mpz_class z = mpz_class(static_cast<unsigned long>(bits >> 32)) << 32;
    z += static_cast<unsigned long>(bits & 0xFFFFFFFFu);
    mpq_class q(z);
    e -= 64;
    if (e >= 0)
        q *= mpq_class(mpz_class(1) << e);
    else
        q /= mpq_class(mpz_class(1) << -e);
    q.canonicalize();
    return v < 0 ? mpq_class(-q) : q;
}

// The exact value of a decimal text as the calculator shows or reads it ("-1,25E-7").
mpq_class exactOf(const QString &text)
{
    QString t = text;
    int exponent = 0;
    const qsizetype e = t.indexOf(u'E');
    if (e >= 0) {
        exponent = t.mid(e + 1).toInt();
        t.truncate(e);
    }
    const bool negative = t.startsWith(u'-');
    if (negative)
        t.remove(0, 1);
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 0) {
        exponent -= int(t.size() - comma - 1);
        t.remove(comma, 1);
    }
    if (t.isEmpty())
        t = u"0"_s;
    mpq_class q(mpz_class(t.toStdString(), 10));
    q *= power10(exponent);
    q.canonicalize();
    return negative ? mpq_class(-q) : q;
}

// The power of ten of the first significant digit of x (not zero).
int decade(const mpq_class &x)
{
    const mpq_class a = abs(x);
    int e = int(std::floor(std::log10(a.get_d())));
    while (a < power10(e))
        --e;
    while (a >= power10(e + 1))
        ++e;
    return e;
}

// How many significant digits x has in decimal, or 0 when more than `most`.
int significantDigits(const mpq_class &x, int most)
{
    const int e = decade(x);
    for (int k = 1; k <= most; ++k) {
        mpq_class t = abs(x) * power10(k - 1 - e);
        t.canonicalize();
        if (t.get_den() == 1)
            return k;
    }
    return 0;
}

// A number as a user types it: an integer of up to 12 digits, a decimal, or a small one.
QString randomEntry(QRandomGenerator &rng)
{
    auto digits = [&](int n, bool firstNonZero) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + ((i == 0 && firstNonZero) ? 1 + rng.bounded(9) : rng.bounded(10)));
        return s;
    };
    switch (rng.bounded(5)) {
    case 0: return digits(1 + rng.bounded(12), true); // 7, 999999999998
    case 1: return digits(1 + rng.bounded(3), true); // 12
    case 2: return digits(1 + rng.bounded(6), true) + u',' + digits(1 + rng.bounded(3), false); // 19,99
    case 3: return u"0,"_s + digits(rng.bounded(4), false) + digits(1 + rng.bounded(5), true); // 0,0035
    default: return digits(1 + rng.bounded(4), true) + u',' + digits(rng.bounded(8), false) + u'1'; // 3,1
    }
}

void type(PocketCalculator &calc, const QString &entry)
{
    for (QChar c : entry) {
        if (c == u',')
            calc.comma();
        else
            calc.digit(c.digitValue());
    }
}

mpq_class applyExact(QChar op, const mpq_class &a, const mpq_class &b)
{
    switch (op.unicode()) {
    case u'+': return a + b;
    case u'-': return a - b;
    case u'*': return a * b;
    default: return a / b;
    }
}

struct Tally
{
    int results = 0;
    int exactShown = 0; // results whose exact value the display had to show, and showed
};

// Checks the display and the doubt after a result; returns false (with a QTest failure)
// on the first fault.
bool checkResult(const PocketCalculator &calc, const mpq_class &exact, const QString &keys, Tally &tally)
{
    ++tally.results;
    const QString shown = calc.display();
    const long double error = calc.accumulatorError();
    const QByteArray where = (keys + u" shows "_s + shown).toUtf8();
    if (!std::isfinite(error))
        return true; // a divisor whose doubt reaches zero: nothing is promised
    const mpq_class held = exactOf(calc.accumulator().value());
    const mpq_class doubt = exactOf(error);
    // The doubt holds the exact result.
    if (abs(exact - held) > doubt) {
        QTest::qFail(("doubt too small: " + where).constData(), __FILE__, __LINE__);
        return false;
    }
    // The display stays within the doubt, or within the rounding of 12 digits of the value.
    const mpq_class halfUnit12 = power10(held == 0 ? -400 : decade(held) - 11) / 2;
    if (abs(exactOf(shown) - exact) > doubt + (doubt > halfUnit12 ? doubt : halfUnit12)) {
        QTest::qFail(("display far from the exact result: " + where).constData(), __FILE__, __LINE__);
        return false;
    }
    if (exact == 0) {
        if (shown != u"0"_s) {
            QTest::qFail(("noise shown for 0: " + where).constData(), __FILE__, __LINE__);
            return false;
        }
        ++tally.exactShown;
        return true;
    }
    // An exact result of at most 12 digits, with a doubt well below its last digit: nothing
    // else may be shown.
    const int k = significantDigits(exact, PocketCalculator::kShownDigits);
    if (k > 0 && 4 * doubt <= power10(decade(exact) - k + 1)) {
        if (exactOf(shown) != exact) {
            QTest::qFail(("exact result not shown: " + where).constData(), __FILE__, __LINE__);
            return false;
        }
        ++tally.exactShown;
    }
    return true;
}

// Runs one random chain; false on a fault.
bool runChain(QRandomGenerator &rng, const QString &ops, bool integersOnly, Tally &tally)
{
    PocketCalculator calc;
    calc.clear();
    auto entry = [&] {
        if (!integersOnly)
            return randomEntry(rng);
        return QString::number(1 + rng.bounded(rng.bounded(2) ? 999999 : 999));
    };
    QString first = entry();
    QString keys = first;
    type(calc, first);
    mpq_class exact = exactOf(first);
    const int steps = 1 + rng.bounded(6);
    try {
        QChar pending;
        for (int i = 0; i <= steps; ++i) {
            const QChar op = i < steps ? ops[rng.bounded(int(ops.size()))] : QChar(u'=');
            keys += op;
            if (op == u'=')
                calc.equals();
            else
                calc.setOperator(op);
            if (!pending.isNull()) {
                if (!checkResult(calc, exact, keys, tally))
                    return false;
            }
            if (op == u'=')
                break;
            pending = op;
            const QString next = entry();
            keys += next;
            type(calc, next);
            exact = applyExact(pending, exact, exactOf(next));
        }
    } catch (const VelmoraError &) {
        // Beyond the six-byte range: the chain stops there.
    }
    return true;
}

} // namespace

class TestCalculatorExact : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomChains_data();
    void randomChains();
    void exactIntegersHaveNoDoubt();
};

void TestCalculatorExact::randomChains_data()
{
    QTest::addColumn<QString>("ops");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<int>("exactShare"); // percent of results at least whose exact value is due
    QTest::newRow("add and subtract") << u"+-"_s << 1207u << 65;
    QTest::newRow("multiply") << u"*+"_s << 2026u << 35;
    QTest::newRow("all four") << u"+-*/"_s << 4040u << 25;
}

void TestCalculatorExact::randomChains()
{
    QFETCH(QString, ops);
    QFETCH(uint, seed);
    QFETCH(int, exactShare);
    QRandomGenerator rng(seed);
    Tally tally;
    for (int chain = 0; chain < 3000; ++chain)
        QVERIFY(runChain(rng, ops, false, tally));
    // Many results are short decimals that the display must show exactly: the checks above
    // are not vacuous. (Products and quotients often have more than 12 digits.)
    QVERIFY2(tally.exactShown * 100 >= exactShare * tally.results,
             qPrintable(u"%1 of %2 results shown exactly"_s.arg(tally.exactShown).arg(tally.results)));
}

void TestCalculatorExact::exactIntegersHaveNoDoubt()
{
    // Sums, differences and products of integers stay exact while they fit 40 bits, and
    // are then shown whole.
    QRandomGenerator rng(99);
    for (int chain = 0; chain < 2000; ++chain) {
        PocketCalculator calc;
        calc.clear();
        mpq_class exact = 0;
        QChar pending = u'+';
        calc.digit(0);
        calc.setOperator(u'+');
        for (int i = 0; i < 5; ++i) {
            const QString n = QString::number(1 + rng.bounded(i == 0 ? 999999999 : 9999));
            type(calc, n);
            const mpq_class next = applyExact(pending, exact, exactOf(n));
            if (abs(next) >= mpq_class(mpz_class(1) << 40))
                break;
            exact = next;
            pending = u"+-*"_s[rng.bounded(3)];
            calc.setOperator(pending);
            QCOMPARE(calc.accumulatorError(), 0.0L);
            QCOMPARE(calc.display(), QString::fromStdString(exact.get_str()));
        }
    }
}

QTEST_APPLESS_MAIN(TestCalculatorExact)
#include "tst_calculatorexact.moc"
