// The command line without a window:
//   velmora --headless --convert-to FMT [--outdir DIR] [--OPTION VALUE ...] [--] FILE...
// Each file is converted by the module that reads it, through the same model code as the
// menus; one line is printed per file written, and anything that cannot be done is
// reported in French with a non-zero exit status.
#pragma once

#include "common/converterregistry.h"

#include <QStringList>
#include <QTextStream>

namespace headless {

enum ExitCode { Ok = 0, ConversionFailed = 1, UsageError = 2 };

// The arguments before "--", which ends the options: what follows it is file names only.
QStringList optionsPart(const QStringList &args);

// True when the arguments ask for the headless mode.
bool requested(const QStringList &args);

// A file name as it is printed: on one line whatever it holds. Backslashes are doubled,
// line breaks, tabs and other control characters become "\n", "\r", "\t", "\xHH" or
// "\uHHHH", so that a script reading the output one line per file is never misled.
QString printableName(const QString &name);

// Every conversion the modules offer.
ConverterRegistry defaultRegistry();

// Runs the headless command line (args without the program name).
int run(const QStringList &args, const ConverterRegistry &registry, QTextStream &out, QTextStream &err);

} // namespace headless
