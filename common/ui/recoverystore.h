// Copies of documents with unsaved changes, kept so that a crash, a kill or a power cut
// loses at most a few seconds of work. A document modified and not saved for `dueSeconds`
// is written, through its window's own writer and atomically, into this run's folder under
// `$XDG_STATE_HOME/velmora/recovery`, beside a small index; saving or closing it removes
// its copy, a normal end removes the folder. Copies left by a run that did not end
// normally (its lock is free) are offered back at the next start.
#pragma once

#include "common/ui/documentwindow.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <memory>

class QLockFile;
class QTimer;

class RecoveryStore : public QObject
{
    Q_OBJECT
public:
    // A copy left by an earlier run.
    struct Entry
    {
        QString session; // that run's folder
        QString copy; // the copy's full path
        DocKind kind = DocKind::Texte;
        QDateTime time; // when it was written
        QString caption; // the window's caption then
        QString fileName; // the document's own file; empty when never saved
    };

    explicit RecoveryStore(QObject *parent = nullptr);
    ~RecoveryStore() override;

    // `$XDG_STATE_HOME/velmora/recovery` (`~/.local/state/velmora/recovery`).
    static QString folder();
    // Seconds a change waits before it is copied: 30, or VELMORA_RECOVERY_SECONDS.
    static int dueSeconds();

    // Follows a document window for its whole life.
    void watch(DocumentWindow *window);
    // A normal end: this run's copies are removed.
    void endSession();

    // The copies left by runs that did not end normally (claimed by this run, so that
    // another one started meanwhile does not offer them too), oldest first.
    QList<Entry> abandoned();
    // Loads the copy into `window` (restoreRecoveryCopy) and makes it that window's copy.
    // Throws VelmoraError when the copy cannot be read; it is then kept.
    void restore(const Entry &entry, DocumentWindow *window);
    // Removes a copy for good.
    void discard(const Entry &entry);
    // Lets go of the earlier runs' copies still left, for a later start to offer.
    void releaseClaims() { m_claimed.clear(); }

    // One pass over the windows (the timer's; public for tests), and whether no copy is
    // being written.
    void check();
    bool idle();
    // The copy kept for `window`, empty when none.
    QString copyOf(DocumentWindow *window) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Watched
    {
        QPointer<DocumentWindow> window;
        int number = 0; // names the copy: "<number>.<ext>"
        QString copy; // written copy, empty when none
        QDateTime time;
        QString caption;
        QString fileName;
        QElapsedTimer dirty; // running while the document is modified
        QElapsedTimer copied; // since the last copy
        quint64 inputAtCopy = 0; // user input count when the copy was taken
        bool writing = false;
    };

    bool openSession();
    void write(const std::shared_ptr<Watched> &w);
    void removeCopy(Watched &w);
    void forget(DocumentWindow *window);
    void saveIndex();
    static QList<Entry> readIndex(const QString &session);
    static void writeIndex(const QString &session, const QList<Entry> &entries);

    QString m_session; // this run's folder, made with the first copy
    std::unique_ptr<QLockFile> m_lock;
    QHash<QString, std::shared_ptr<QLockFile>> m_claimed; // earlier runs' folders
    QList<std::shared_ptr<Watched>> m_windows;
    int m_nextNumber = 1;
    quint64 m_input = 0;
    QElapsedTimer m_lastInput; // copies wait for a pause in typing
    QTimer *m_timer = nullptr;
    QThreadPool m_pool;
    bool m_ended = false;
};
