// The agenda window's side of crash recovery: the agenda with the day being edited, for
// its copy, and the copy taken back in under the agenda's own name.
#include "agenda/ui/tagenda.h"

#include "agenda/core/agendafile.h"
#include "agenda/core/daypage.h"

DocumentWindow::RecoveryState TAgenda::recoveryState(bool withWriter) const
{
    RecoveryState state{m_modified || m_dayModified, NomFichier(), {}};
    if (!withWriter || !state.modified)
        return state;
    AgendaList list = m_list;
    if (m_dayModified)
        daypage::writeDay(list, pageFromGrids());
    state.write = [list](const QString &path) { agendafile::write(path, agendafile::serialise(list)); };
    return state;
}

void TAgenda::restoreRecoveryCopy(const QString &copy, const QString &fileName)
{
    m_list.clear();
    m_list.setLines(agendafile::read(copy));
    LitFiche();
    setNomFichier(fileName);
    m_modified = true;
}
