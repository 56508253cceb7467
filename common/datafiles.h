// The user's own data files ("Velmora.glo", "Velmora.adr", "velmora.nte", the personal
// word list) live in one place, the per-user data folder `$XDG_DATA_HOME/velmora`
// (`~/.local/share/velmora` by default), whatever folder the program is started from.
// Files kept beside an earlier installation are brought in once; nothing is ever written
// to the current folder or to the program's folder.
#pragma once

#include <QString>

namespace datafiles {

// The per-user data folder (not created here).
QString userDataDir();

// Path to read `name` from at start-up, always in the per-user folder. When the file is
// not there yet it is first copied in from the current folder, else from the program's
// folder (the folder is then created). Should the copy fail, the path of the file found
// is returned so that it can still be read.
QString readPath(const QString &name);

// Path to write `name` to, in the per-user folder, which is created when missing.
QString writePath(const QString &name);

} // namespace datafiles
