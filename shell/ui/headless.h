// The command line without a window:
//   velmora --headless --convert-to FMT [--outdir DIR] [--OPTION VALUE ...] FILE...
// Each file is converted by the module that reads it, through the same model code as the
// menus; one line is printed per file written, and anything that cannot be done is
// reported in French with a non-zero exit status.
#pragma once

#include "common/converterregistry.h"

#include <QStringList>
#include <QTextStream>

namespace headless {

enum ExitCode { Ok = 0, ConversionFailed = 1, UsageError = 2 };

// True when the arguments ask for the headless mode.
bool requested(const QStringList &args);

// Every conversion the modules offer.
ConverterRegistry defaultRegistry();

// Runs the headless command line (args without the program name).
int run(const QStringList &args, const ConverterRegistry &registry, QTextStream &out, QTextStream &err);

} // namespace headless
