// Fuzzes the notes-file reader: any bytes give lines without line breaks, and writing
// them back then reading again gives the same lines.
#include "utilities/core/notesfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = notesfile::parse(bytes);
    for (const QString &line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n') || line.contains(QChar(26)))
            std::abort();
    }
    if (notesfile::parse(notesfile::serialize(lines)) != lines)
        std::abort();
    if (notesfile::linesOf(notesfile::textOf(lines)).size() > lines.size())
        std::abort();
    return 0;
}
