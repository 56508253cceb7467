// The database window's side of crash recovery: the table's bytes for its copy, and the
// copy taken back in under the database's own name.
#include "database/ui/tfichier.h"

#include "common/atomicsave.h"
#include "database/core/qvbformat.h"

#include <QFileInfo>

DocumentWindow::RecoveryState TFichier::recoveryState(bool withWriter) const
{
    RecoveryState state{m_modifie, NomFichier(), {}};
    if (!withWriter || !state.modified)
        return state;
    // The file's bytes are made here (a table is cheap to write out), the file there.
    const QByteArray bytes = qvb::serialize(m_table);
    state.write = [bytes](const QString &path) { atomicsave::write(path, bytes); };
    return state;
}

void TFichier::restoreRecoveryCopy(const QString &copy, const QString &fileName)
{
    Table check;
    qvb::load(copy, check); // a copy that cannot be read is said so, not opened empty
    Charge(copy);
    setNomFichier(fileName);
    m_modifie = true;
}
