// Base of the four kinds of document window the frame hosts: it knows its kind and the
// frame's services. What each kind does is in its module; the frame reaches a kind's
// operations through the matching interface of documentcommands.h.
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

private:
    DocKind m_kind;
    FrameServices &m_frame;

    // ---- crash recovery: what the recovery store needs of each kind of window ----------
public:
    struct RecoveryState
    {
        bool modified = false; // changes not saved
        QString fileName;      // full path of the document's file; empty when never saved
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
