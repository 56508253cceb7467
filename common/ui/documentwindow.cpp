#include "common/ui/documentwindow.h"

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"

#include <QCloseEvent>
#include <QFileInfo>

#include <new>

DocumentWindow::DocumentWindow(DocKind kind, FrameServices &frame, QWidget *parent)
    : QWidget(parent),
      m_kind(kind),
      m_frame(frame)
{ }

QString DocumentWindow::displayName() const
{
    return m_nomFichier.isEmpty() ? windowTitle() : QFileInfo(m_nomFichier).fileName();
}

void DocumentWindow::setNomFichier(const QString &path)
{
    m_nomFichier = path;
    if (!path.isEmpty())
        setWindowTitle(QFileInfo(path).fileName());
}

bool DocumentWindow::Sauve()
{
    if (!finishEditing() || !Modifie())
        return false;
    QString chosen = m_nomFichier;
    if (chosen.isEmpty()) {
        chosen = askSaveName();
        if (chosen.isEmpty())
            return false;
    }
    return saveTo(chosen);
}

bool DocumentWindow::SaveAs()
{
    if (!finishEditing())
        return false;
    const QString chosen = askSaveName();
    return !chosen.isEmpty() && saveTo(chosen);
}

bool DocumentWindow::saveTo(const QString &chosen)
{
    const QString target = saveName(chosen);
    // The naming rule may turn the name into another file that exists: that one is the
    // user's too, and is replaced only when the user says so.
    if (target != chosen && target != m_nomFichier && QFileInfo::exists(target)
        && messageboxes::ask(this, messageboxes::Kind::Warning, QStringLiteral("Avertissement"),
                             QStringLiteral("Le fichier %1 existe déjà. Voulez-vous le remplacer ?").arg(target),
                             {messageboxes::Answer::Oui, messageboxes::Answer::Non})
                != messageboxes::Answer::Oui)
        return false;
    bool written = false;
    try {
        written = writeFile(target);
    } catch (const VelmoraError &e) {
        // The file could not be made at all: say so as the run-time words it.
        const bool notCreated = e.message() == VelmoraError::cannotOpen(target).message();
        errorhandler::show(this, notCreated ? QStringLiteral("Ne peut créer le fichier %1").arg(target) : e.message());
        return false;
    } catch (const std::bad_alloc &) {
        const QString kept = QFileInfo::exists(target) ? QStringLiteral(" (l'ancien fichier est intact)") : QString();
        errorhandler::show(this, QStringLiteral("Mémoire insuffisante : %1 n'a pas été écrit%2").arg(target, kept));
        return false;
    } catch (const std::exception &e) {
        errorhandler::show(this, QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (!written)
        return false;
    setNomFichier(target);
    setModifie(false);
    return true;
}

bool DocumentWindow::FormCloseQuery()
{
    finishEditing();
    if (!Modifie())
        return true;
    switch (messageboxes::askSaveChanges(this, displayName())) {
    case messageboxes::Answer::Oui: return Sauve() || !Modifie();
    case messageboxes::Answer::Non: return true;
    default: return false;
    }
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeAgreed || FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

QString DocumentWindow::chooseSaveName(const QString &proposed, const std::function<QString()> &dialog) const
{
    if (!m_saveDialogHook)
        return dialog();
    QString path = proposed;
    int filterIndex = 1;
    return m_saveDialogHook(path, filterIndex) ? path : QString();
}
