// Fuzzes the HTML line converter: any line converts or raises the conversion error, never
// crashes; short lines must agree with the naive step-by-step version of the rules.
#include "text/core/htmlexport.h"
#include "text/tests/htmlline_reference.h"

#include "common/velmoraerror.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray line(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray fast;
    bool fastError = false;
    try {
        fast = htmlexport::convertLine(line);
    } catch (const VelmoraError &) {
        fastError = true;
    }
    if (size <= 512) {
        QByteArray slow;
        bool slowError = false;
        try {
            slow = reference::convertLine(line);
        } catch (const reference::BadEscape &) {
            slowError = true;
        }
        if (fastError != slowError || (!fastError && fast != slow))
            std::abort();
    }
    // The whole page: every line of the input, the same rules.
    try {
        htmlexport::convertDocument(line);
    } catch (const VelmoraError &) {
    }
    return 0;
}
