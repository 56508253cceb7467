// The six-byte real: byte layout, rounding to 40 bits, and the edges of its range.
#include "common/real48.h"
#include "common/velmoraerror.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {
Real48::Bytes bytes(std::initializer_list<int> b)
{
    Real48::Bytes out{};
    int i = 0;
    for (int v : b)
        out[i++] = static_cast<std::uint8_t>(v);
    return out;
}

QString errorOf(long double v)
{
    try {
        Real48 r(v);
        return QString();
    } catch (const VelmoraError &e) {
        return e.message();
    }
}
} // namespace

class TestReal48 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void roundingToForty_data();
    void roundingToForty();
    void rangeEdges_data();
    void rangeEdges();
    void errors_data();
    void errors();
    void bytesRoundTrip();
    void zeroHasNoSign();
};

void TestReal48::layout_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<Real48::Bytes>("expected");
    QTest::newRow("zero") << 0.0 << bytes({0, 0, 0, 0, 0, 0});
    QTest::newRow("one") << 1.0 << bytes({0x81, 0, 0, 0, 0, 0});
    QTest::newRow("minus one") << -1.0 << bytes({0x81, 0, 0, 0, 0, 0x80});
    QTest::newRow("half") << 0.5 << bytes({0x80, 0, 0, 0, 0, 0});
    QTest::newRow("three") << 3.0 << bytes({0x82, 0, 0, 0, 0, 0x40});
    QTest::newRow("ten") << 10.0 << bytes({0x84, 0, 0, 0, 0, 0x20});
    // 0.1 rounds up in its last fraction bit.
    QTest::newRow("one tenth") << 0.1 << bytes({0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C});
    QTest::newRow("minus one tenth") << -0.1 << bytes({0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0xCC});
}

void TestReal48::layout()
{
    QFETCH(double, value);
    QFETCH(Real48::Bytes, expected);
    QCOMPARE(Real48(value).toBytes(), expected);
    QCOMPARE(Real48::fromBytes(expected), Real48(value));
}

void TestReal48::roundingToForty_data()
{
    QTest::addColumn<long double>("in");
    QTest::addColumn<long double>("out");
    const long double ulp = std::ldexp(1.0L, -39); // of values in [1, 2)
    QTest::newRow("exact 40 bits") << 1 + ulp << 1 + ulp;
    QTest::newRow("below half ulp") << 1 + ulp * 0.49L << 1.0L;
    QTest::newRow("above half ulp") << 1 + ulp * 0.51L << 1 + ulp;
    QTest::newRow("tie to even, down") << 1 + ulp / 2 << 1.0L;
    QTest::newRow("tie to even, up") << 1 + ulp * 1.5L << 1 + 2 * ulp;
    QTest::newRow("negative mirrors") << -(1 + ulp * 0.51L) << -(1 + ulp);
    QTest::newRow("carry into exponent") << 2 - ulp / 4 << 2.0L;
    QTest::newRow("integer 2^40 + 1") << std::ldexp(1.0L, 40) + 1 << std::ldexp(1.0L, 40);
    QTest::newRow("integer 2^40 - 1 exact") << std::ldexp(1.0L, 40) - 1 << std::ldexp(1.0L, 40) - 1;
}

void TestReal48::roundingToForty()
{
    QFETCH(long double, in);
    QFETCH(long double, out);
    QCOMPARE(Real48(in).value(), out);
}

void TestReal48::rangeEdges_data()
{
    QTest::addColumn<long double>("in");
    QTest::addColumn<long double>("out");
    const long double minPos = std::ldexp(1.0L, -128);
    const long double maxV = Real48::maxValue();
    const long double topUlp = std::ldexp(1.0L, 126 - 39);
    QTest::newRow("smallest") << minPos << minPos;
    QTest::newRow("rounds up to smallest") << minPos * (1 - std::ldexp(1.0L, -45)) << minPos;
    QTest::newRow("half the smallest") << minPos / 2 << 0.0L;
    QTest::newRow("negative tiny") << -minPos / 3 << 0.0L;
    QTest::newRow("largest") << maxV << maxV;
    QTest::newRow("rounds down to largest") << maxV + topUlp * 0.49L << maxV;
    // 3.2 is held as 3.2000000000007: 1.6 * 2^39 = 879609302220.8 rounds up.
    QTest::newRow("3.2 keeps its noise") << 3.2L << std::ldexp(879609302221.0L, -38);
}

void TestReal48::rangeEdges()
{
    QFETCH(long double, in);
    QFETCH(long double, out);
    QCOMPARE(Real48(in).value(), out);
}

void TestReal48::errors_data()
{
    QTest::addColumn<long double>("in");
    QTest::addColumn<QString>("message");
    const long double topUlp = std::ldexp(1.0L, 126 - 39);
    QTest::newRow("half ulp above the largest") << Real48::maxValue() + topUlp / 2 << u"Débordement flottant"_s;
    QTest::newRow("2^127") << std::ldexp(1.0L, 127) << u"Débordement flottant"_s;
    QTest::newRow("1E39 negative") << -1e39L << u"Débordement flottant"_s;
    QTest::newRow("infinity") << (long double)INFINITY << u"Débordement flottant"_s;
    QTest::newRow("not a number") << (long double)NAN << u"Opération flottante incorrecte"_s;
    QTest::newRow("1.7E38 fits") << 1.7e38L << QString();
}

void TestReal48::errors()
{
    QFETCH(long double, in);
    QFETCH(QString, message);
    QCOMPARE(errorOf(in), message);
}

void TestReal48::bytesRoundTrip()
{
    // Every value read from six bytes is stored back to the same bytes.
    for (int e : {1, 2, 100, 129, 200, 254, 255}) {
        for (std::uint64_t f : {0ULL, 1ULL, 0x123456789AULL, 0x7FFFFFFFFFULL}) {
            Real48::Bytes b{};
            b[0] = std::uint8_t(e);
            for (int i = 0; i < 5; ++i)
                b[1 + i] = std::uint8_t(f >> (8 * i));
            for (bool negative : {false, true}) {
                Real48::Bytes s = b;
                if (negative)
                    s[5] |= 0x80;
                const Real48 r = Real48::fromBytes(s);
                QCOMPARE(r.toBytes(), s);
                QCOMPARE(Real48(r.value()), r);
            }
        }
    }
    QCOMPARE(Real48::fromBytes(bytes({0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), Real48());
}

void TestReal48::zeroHasNoSign()
{
    QCOMPARE(Real48(-0.0L).toBytes(), Real48().toBytes());
    QVERIFY(!std::signbit(Real48(-0.0L).value()));
}

QTEST_GUILESS_MAIN(TestReal48)
#include "tst_real48.moc"
