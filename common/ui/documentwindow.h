// Base of the four kinds of document window the frame hosts: it knows its kind and the
// frame's services, and it carries the life cycle every kind shares: the file name, the
// modified state, saving under the kind's naming rule, and the question asked on closing.
// What each kind does is in its module; the frame reaches a kind's other operations
// through the matching interface of documentcommands.h.
#pragma once

#include "common/ui/frameservices.h"

#include <QWidget>

#include <functional>

enum class DocKind { Texte = 0, Tableur = 1, Fichier = 2, Agenda = 3 };
constexpr int kDocKinds = 4;

class DocumentWindow : public QWidget
{
    Q_OBJECT
public:
    DocumentWindow(DocKind kind, FrameServices &frame, QWidget *parent = nullptr);
    DocKind kind() const { return m_kind; }
    FrameServices &frame() const { return m_frame; }

    // Full path of the document's file; empty for a document never saved.
    const QString &NomFichier() const { return m_nomFichier; }
    // Unsaved changes exist.
    virtual bool Modifie() const { return false; }
    bool isModified() const { return Modifie(); }
    // The name the user knows the document by: its file name without directory, else the
    // window's caption ("Texte", "Tableur", "Fichier", "Agenda" for a new document).
    QString displayName() const;
    // Sets the file name and the caption that shows it.
    void setNomFichier(const QString &path);

    // Loads the file into this freshly created, empty window.
    virtual void Charge(const QString &path) { Q_UNUSED(path); }
    // The last Charge could not read its file (its message has been shown) and the window
    // holds nothing of it: the frame closes a window it made for that file.
    bool chargeFailed() const { return m_chargeFailed; }
    // Writes a changed document under its name (asking one when it has none). True when
    // the file was written; a refusal, a cancelled dialog or a failure writes nothing and
    // keeps the name, the caption and the modified state as they were.
    bool Sauve();
    // Asks for a new name and writes the document under it, changed or not. True when the
    // file was written; cancelled, nothing happens.
    bool SaveAs();
    // The question about unsaved changes: true when the window may close. "&Oui" saves
    // (the window stays when the save does not happen), "&Non" drops the changes.
    bool FormCloseQuery();
    // Lets the window close without asking again (the frame asked every window already).
    void agreeToClose(bool agreed) { m_closeAgreed = agreed; }

    // Tests answer the save dialog here instead of a user. In: the name proposed and the
    // format's filter (1 for the kind's own format); out: the chosen name and filter.
    // False: the dialog was cancelled.
    using SaveDialogHook = std::function<bool(QString &path, int &filterIndex)>;
    void setSaveDialogHook(SaveDialogHook hook) { m_saveDialogHook = std::move(hook); }
    const SaveDialogHook &saveDialogHook() const { return m_saveDialogHook; }

Q_SIGNALS:
    // What undoing or redoing would do may have changed (a change made, undone or redone,
    // an edit begun or ended).
    void undoStateChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void setChargeFailed(bool failed) { m_chargeFailed = failed; }
    virtual void setModifie(bool modified) { Q_UNUSED(modified); }
    // Ends the edits in progress so that the document holds them; false when the edit in
    // progress is refused (its own message has been shown), which abandons the save.
    virtual bool finishEditing() { return true; }
    // The kind's save dialog: the chosen path, empty when cancelled.
    virtual QString askSaveName() { return QString(); }
    // The test's answer when a hook is set, else `dialog`'s: the chosen path, empty when
    // cancelled. For the kinds with a single format.
    QString chooseSaveName(const QString &proposed, const std::function<QString()> &dialog) const;
    // The kind's naming rule: the file a chosen name is written to.
    virtual QString saveName(const QString &chosen) const { return chosen; }
    // Writes the document to `path`; throws VelmoraError on failure; false when the user
    // declined a question of the kind (characters the format cannot hold).
    virtual bool writeFile(const QString &path)
    {
        Q_UNUSED(path);
        return false;
    }

private:
    bool saveTo(const QString &chosen);

    DocKind m_kind;
    FrameServices &m_frame;
    QString m_nomFichier;
    bool m_closeAgreed = false;
    bool m_chargeFailed = false;
    SaveDialogHook m_saveDialogHook;

    // Crash recovery: what the recovery store needs of each kind of window.
public:
    struct RecoveryState
    {
        bool modified = false; // changes not saved
        QString fileName; // full path of the document's file; empty when never saved
        // Writes the document as it stands, through the window's own writer, to a path
        // (throws VelmoraError). It holds its own snapshot and may run on another thread.
        std::function<void(const QString &path)> write;
    };
    // The state; `write` is filled only when `withWriter` and the document is modified.
    virtual RecoveryState recoveryState(bool withWriter) const
    {
        Q_UNUSED(withWriter);
        return {};
    }
    // Takes in a recovery copy written by `write`: loads `copy`, then shows the document
    // under `fileName` and marked modified, so that "Enregistrer" writes that file.
    virtual void restoreRecoveryCopy(const QString &copy, const QString &fileName)
    {
        Q_UNUSED(copy);
        Q_UNUSED(fileName);
    }
};
