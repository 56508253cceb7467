// Fuzzes the ".qvb" reader: any bytes load without a crash, and what is saved from them
// loads back to the same bytes.
#include "database/core/qvbformat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Table first;
    qvb::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), first);
    if (first.lastRecord() > Table::kMaxRecords || first.lastField() > Table::kMaxFields)
        std::abort();
    const QByteArray saved = qvb::serialize(first);
    Table second;
    qvb::parse(saved, second);
    if (qvb::serialize(second) != saved)
        std::abort();
    return 0;
}
