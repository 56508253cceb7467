// Locations of the program's small data files ("Velmora.glo", "Velmora.adr", "velmora.nte").
// They are read from the current directory at start, and written at exit to the program's
// directory; an installed program's directory is not writable, so then they go to the
// per-user data directory, which is also read at start when the current directory has none.
#pragma once

#include <QString>

namespace datafiles {

// The per-user data directory (created on demand by writePath).
QString userDataDir();

// Path to read `name` from at start-up: the current directory when the file is there,
// otherwise the per-user data directory (which may not have it either).
QString readPath(const QString &name);

// Path to write `name` to at exit, given the program's directory.
QString writePath(const QString &name, const QString &programDir);

} // namespace datafiles
