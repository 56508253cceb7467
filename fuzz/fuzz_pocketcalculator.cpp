// Fuzzes the calculator with any sequence of keys: failures are only the calculator's own
// messages, and every result shown reads back as a number.
#include "common/velmoraerror.h"
#include "utilities/core/decimaltext.h"
#include "utilities/core/pocketcalculator.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char keys[] = "0123456789,=+-*/rsC";
    PocketCalculator calc;
    calc.clear();
    for (size_t i = 0; i < size && i < 4096; ++i) {
        const char k = keys[data[i] % (sizeof keys - 1)];
        try {
            if (k >= '0' && k <= '9')
                calc.digit(k - '0');
            else if (k == ',')
                calc.comma();
            else if (k == '=')
                calc.equals();
            else if (k == 'r')
                calc.reciprocal();
            else if (k == 's')
                calc.squareRoot();
            else if (k == 'C')
                calc.clear();
            else
                calc.setOperator(QChar(k));
        } catch (const VelmoraError &) {
            continue;
        }
        if (calc.newEntry() && (k == '=' || k == 'r' || k == 's') && !calc.display().isEmpty()) {
            long double v = 0;
            if (!decimaltext::parse(calc.display(), v))
                std::abort();
        }
    }
    return 0;
}
