// Cost of the six-byte real: the calculator's chain of stored operations against the same
// arithmetic in plain long double (the floor), and the result text against a plain
// 12-digit conversion.
#include "common/real48.h"
#include "utilities/core/decimaltext.h"
#include "utilities/core/pocketcalculator.h"

#include <benchmark/benchmark.h>

#include <cstdio>

static void BM_LongDoubleChain(benchmark::State &state)
{
    for (auto _ : state) {
        long double acc = 1;
        for (int i = 1; i <= 1000; ++i) {
            acc = acc * 1.0001L + 0.1L;
            benchmark::DoNotOptimize(acc);
        }
    }
}
BENCHMARK(BM_LongDoubleChain);

static void BM_Real48Chain(benchmark::State &state)
{
    const Real48 factor(1.0001L), step(0.1L);
    for (auto _ : state) {
        Real48 acc(1.0L);
        for (int i = 1; i <= 1000; ++i) {
            acc = Real48(Real48(acc.value() * factor.value()).value() + step.value());
            benchmark::DoNotOptimize(acc);
        }
    }
}
BENCHMARK(BM_Real48Chain);

static void BM_PrintfTwelveDigits(benchmark::State &state)
{
    char buf[64];
    long double v = 19.99L - 9.99L;
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%.11Lg", v);
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(BM_PrintfTwelveDigits);

static void BM_CalculatorResultText(benchmark::State &state)
{
    const long double v = Real48(Real48(19.99L).value() - Real48(9.99L).value()).value();
    const long double tolerance = PocketCalculator::halfUlp(19.99L) * 3;
    for (auto _ : state)
        benchmark::DoNotOptimize(PocketCalculator::formatResult(v, tolerance));
}
BENCHMARK(BM_CalculatorResultText);

BENCHMARK_MAIN();
