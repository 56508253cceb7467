// Fuzzes the sender-address reader: any bytes give at most four lines, never a crash.
#include "shell/core/addressfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList address;
    addressfile::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), address);
    if (address.size() != addressfile::kLines)
        std::abort();
    return 0;
}
