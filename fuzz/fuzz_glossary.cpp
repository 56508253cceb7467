// Fuzzes the glossary reader and the expansion lookup: any file reads into entries that
// are written back and read again unchanged; a lookup never crashes and never returns more
// than the longest text allowed.
#include "text/core/glossary.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Glossary g;
    g.setEntries(Glossary::parse(bytes));
    if (Glossary::parse(g.serialize()) != g.entries())
        std::abort();
    // Look up the last characters of each entry, as typed before a space.
    for (const QString &entry : g.entries()) {
        QString word = entry.right(Glossary::kLookBack);
        int length = -1;
        g.Cherche(word, length);
        if (word.size() > Glossary::kMaxText || length < 0 || length > Glossary::kMaxAbbreviation)
            std::abort();
    }
    return 0;
}
