// Fuzzes the CSV reader of databases: any bytes are read or refused with a message, never
// a crash; a table read is written and read back unchanged.
#include "common/velmoraerror.h"
#include "database/core/csvformat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The tables are kept from one input to the next: building their 16385 rows cost more
    // than reading most inputs.
    static Table first;
    static Table second;
    first.reset();
    second.reset();
    try {
        csv::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), first);
    } catch (const VelmoraError &) {
        return 0;
    }
    try {
        csv::parse(csv::serialize(first), second);
    } catch (const VelmoraError &) {
        std::abort(); // what was read must fit when read again
    }
    if (first.NbFiches != second.NbFiches || first.NbChamps != second.NbChamps)
        std::abort();
    for (int r = 0; r <= first.lastRecord(); ++r)
        for (int f = 1; f <= first.lastField(); ++f)
            if (first.cell(f, r) != second.cell(f, r))
                std::abort();
    return 0;
}
