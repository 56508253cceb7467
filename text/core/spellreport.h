// The spelling check of the command line:
//   velmora --headless --check-spelling [--majuscules] FILE...
// reads each ".qvt", ".rtf" or ".txt" file and prints one line per unknown word,
// "FILE:LINE:COLUMN: word -> suggestion1, suggestion2" (lines and columns from 1, a line
// being a paragraph or a forced line break, columns counted in characters). Words written
// all in capitals are left out unless --majuscules is given. Exits 0 when
// every file was read, 1 with a French message for a file that cannot be.
#pragma once

#include "text/core/wordsplitter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

class SpellChecker;

namespace spellreport {

// True when the arguments ask for the spelling check.
bool requested(const QStringList &args);

// The text of a document file as lines (RTF for ".qvt" and ".rtf", Windows-1252 or UTF-8
// text for ".txt"). Throws VelmoraError when the file cannot be read.
QStringList documentLines(const QString &path);

struct Finding
{
    int line = 0; // from 1
    int column = 0; // from 1
    QString word;
    QStringList suggestions;
};

// The unknown words of the lines, in order; suggestions are asked once per distinct word.
QList<Finding> check(const QStringList &lines, SpellChecker &checker, const spelling::SplitOptions &options = {});

// Runs the command (args without the program name); `checker` null means the French one.
int run(const QStringList &args, QTextStream &out, QTextStream &err, SpellChecker *checker = nullptr);

} // namespace spellreport
