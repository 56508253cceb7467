// What one workbook may hold when it comes from outside (a ".qvc" file, a CSV import): the
// same bounds on both sides, so that whatever an import accepts and the writer saves, the
// reader opens again. The bounds are far above real files and keep a small hostile file
// (repeated rows and cells, runs of spaces) from asking for gigabytes.
#pragma once

#include <QString>

#include <cstdint>

namespace sheet::limits {

// Cells a CSV import may make (one sheet).
constexpr std::int64_t kCellsPerSheet = 16384 * 256; // 4 194 304
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// Cells a workbook file may make by repetition (repeated cells and rows spread out), over all
// its sheets: a few bytes must not stand for gigabytes of cells. Cells written out one by one
// are bounded by the size of the file; the writer repeats rows within the same bound, so
// that whatever it writes opens again.
constexpr std::int64_t kRepeatedCells = 16384 * 256; // 4 194 304
// Characters of text in the whole workbook, counted once per cell that shows them (a text
// repeated over many cells counts for each): 256 MB as UTF-16.
constexpr std::int64_t kTextCharacters = 128 * 1024 * 1024;
#else
// The fuzzer reaches the bounds with a few bytes: smaller ones keep every input to
// milliseconds, and the paths it explores are the same.
constexpr std::int64_t kRepeatedCells = 65536;
constexpr std::int64_t kTextCharacters = 1024 * 1024;
#endif

inline QString tooManyCells()
{
    QString count = QString::number(kRepeatedCells); // "4 194 304"
    for (qsizetype at = count.size() - 3; at > 0; at -= 3)
        count.insert(at, u' ');
    return QStringLiteral("Ce classeur est trop grand pour être ouvert : ses cellules répétées dépassent %1")
            .arg(count);
}

inline QString tooMuchText()
{
    return QStringLiteral("Ce classeur est trop grand pour être ouvert : son texte dépasse %1 Mo")
            .arg(kTextCharacters * 2 / (1024 * 1024));
}

inline QString outOfMemory() { return QStringLiteral("Mémoire insuffisante pour ouvrir ce fichier"); }

inline QString entitiesDeclared() { return QStringLiteral("Ce fichier déclare des entités XML, refusées"); }

} // namespace sheet::limits
