// Fuzzes the ".qvb" reader: any bytes load without a crash, and what is saved from them
// loads back to the same bytes.
#include "database/core/qvbformat.h"

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
    qvb::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), first);
    if (first.lastRecord() > Table::kMaxRecords || first.lastField() > Table::kMaxFields)
        std::abort();
    const QByteArray saved = qvb::serialize(first);
    qvb::parse(saved, second);
    if (qvb::serialize(second) != saved)
        std::abort();
    return 0;
}
