#include "common/ui/recoverystore.h"

#include "common/atomicsave.h"
#include "common/velmoraerror.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>

namespace {

const char *const kExtensions[kDocKinds] = {"qvt", "qvc", "qvb", "qva"};
const QString kIndex = QStringLiteral("index");
const QString kLock = QStringLiteral("lock");

} // namespace

RecoveryStore::RecoveryStore(QObject *parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
    m_timer = new QTimer(this);
    m_timer->setInterval(qBound(100, dueSeconds() * 1000 / 4, 1000));
    connect(m_timer, &QTimer::timeout, this, &RecoveryStore::check);
    m_timer->start();
    // Any key or click may change a document: only then is a fresh copy worth writing.
    if (qApp)
        qApp->installEventFilter(this);
}

RecoveryStore::~RecoveryStore()
{
    if (qApp)
        qApp->removeEventFilter(this);
    m_pool.waitForDone();
}

QString RecoveryStore::folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/velmora/recovery");
}

int RecoveryStore::dueSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VELMORA_RECOVERY_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 30;
}

bool RecoveryStore::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
    case QEvent::InputMethod:
        ++m_input;
        m_lastInput.start();
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void RecoveryStore::watch(DocumentWindow *window)
{
    auto w = std::make_shared<Watched>();
    w->window = window;
    w->number = m_nextNumber++;
    m_windows.append(w);
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });
}

QString RecoveryStore::copyOf(DocumentWindow *window) const
{
    for (const auto &w : m_windows)
        if (w->window == window)
            return w->copy;
    return QString();
}

bool RecoveryStore::openSession()
{
    if (!m_session.isEmpty())
        return true;
    const QString name = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-"))
            + QString::number(QCoreApplication::applicationPid());
    const QString session = folder() + u'/' + name;
    if (!QDir().mkpath(session))
        return false;
    auto lock = std::make_unique<QLockFile>(session + u'/' + kLock);
    lock->setStaleLockTime(0); // held for the whole run, however long
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    m_session = session;
    return true;
}

void RecoveryStore::check()
{
    if (m_ended)
        return;
    const qint64 due = qint64(dueSeconds()) * 1000;
    for (const auto &w : std::as_const(m_windows)) {
        if (!w->window || w->writing)
            continue;
        const DocumentWindow::RecoveryState state = w->window->recoveryState(false);
        if (!state.modified) {
            w->dirty.invalidate();
            if (!w->copy.isEmpty()) { // saved: the copy has done its work
                removeCopy(*w);
                saveIndex();
            }
            continue;
        }
        if (!w->dirty.isValid())
            w->dirty.start();
        if (!w->copy.isEmpty() && w->inputAtCopy == m_input)
            continue; // nothing typed or clicked since the copy
        const qint64 waited = w->copy.isEmpty() ? w->dirty.elapsed() : w->copied.elapsed();
        // Taking the snapshot of a long text costs a little time: done in a pause, not
        // between two keys (a pause of a quarter of the delay at most, for tests).
        const qint64 pause = qMin<qint64>(1000, due / 4);
        if (waited >= due && (!m_lastInput.isValid() || m_lastInput.elapsed() >= pause))
            write(w);
    }
}

void RecoveryStore::write(const std::shared_ptr<Watched> &w)
{
    const DocumentWindow::RecoveryState state = w->window->recoveryState(true);
    if (!state.write || !openSession())
        return;
    const QString path =
            m_session + QStringLiteral("/%1.%2").arg(w->number).arg(QLatin1String(kExtensions[int(w->window->kind())]));
    const quint64 input = m_input;
    const QString caption = w->window->windowTitle();
    const QString fileName = state.fileName;
    w->writing = true;
    // The snapshot is taken; the writing itself does not hold up typing.
    auto writer = state.write;
    QPointer<RecoveryStore> self(this);
    m_pool.start([self, w, writer, path, input, caption, fileName] {
        bool ok = true;
        try {
            writer(path);
        } catch (...) {
            ok = false;
        }
        QMetaObject::invokeMethod(
                self.data(),
                [self, w, path, ok, input, caption, fileName] {
                    if (!self)
                        return;
                    w->writing = false;
                    // Saved, closed or ended meanwhile: the copy is not wanted.
                    if (!ok || self->m_ended || !w->window || !w->window->recoveryState(false).modified) {
                        if (ok)
                            QFile::remove(path);
                        return;
                    }
                    w->copy = path;
                    w->time = QDateTime::currentDateTime();
                    w->caption = caption;
                    w->fileName = fileName;
                    w->inputAtCopy = input;
                    w->copied.start();
                    self->saveIndex();
                },
                Qt::QueuedConnection);
    });
}

bool RecoveryStore::idle()
{
    QCoreApplication::processEvents(); // deliver the results of finished writes
    for (const auto &w : std::as_const(m_windows))
        if (w->writing)
            return false;
    return true;
}

void RecoveryStore::removeCopy(Watched &w)
{
    if (!w.copy.isEmpty())
        QFile::remove(w.copy);
    w.copy.clear();
}

void RecoveryStore::forget(DocumentWindow *window)
{
    for (qsizetype i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i]->window && m_windows[i]->window != window)
            continue;
        removeCopy(*m_windows[i]);
        m_windows.removeAt(i--);
    }
    saveIndex();
}

void RecoveryStore::endSession()
{
    m_ended = true;
    m_timer->stop();
    m_pool.waitForDone();
    if (!m_session.isEmpty()) {
        m_lock.reset();
        QDir(m_session).removeRecursively();
        m_session.clear();
    }
}

// The index: one line per copy, "number <tab> kind <tab> time <tab> caption <tab> file"

void RecoveryStore::saveIndex()
{
    if (m_session.isEmpty())
        return;
    QList<Entry> entries;
    for (const auto &w : std::as_const(m_windows))
        if (!w->copy.isEmpty() && w->window)
            entries.append({m_session, w->copy, w->window->kind(), w->time, w->caption, w->fileName});
    writeIndex(m_session, entries);
}

void RecoveryStore::writeIndex(const QString &session, const QList<Entry> &entries)
{
    QByteArray bytes;
    for (const Entry &e : entries) {
        const QStringList fields{QFileInfo(e.copy).fileName(), QString::number(int(e.kind)),
                                 e.time.toString(Qt::ISODate), e.caption, e.fileName};
        bytes += fields.join(u'\t').toUtf8() + '\n';
    }
    atomicsave::tryWrite(session + u'/' + kIndex, bytes);
}

QList<RecoveryStore::Entry> RecoveryStore::readIndex(const QString &session)
{
    QList<Entry> entries;
    QFile f(session + u'/' + kIndex);
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(u'\t');
        if (fields.size() != 5)
            continue;
        const int kind = fields[1].toInt();
        if (kind < 0 || kind >= kDocKinds || fields[0].contains(u'/'))
            continue;
        entries.append({session, session + u'/' + fields[0], DocKind(kind),
                        QDateTime::fromString(fields[2], Qt::ISODate), fields[3], fields[4]});
    }
    return entries;
}

// Copies left by earlier runs

QList<RecoveryStore::Entry> RecoveryStore::abandoned()
{
    QList<Entry> entries;
    const QDir root(folder());
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString session = root.filePath(name);
        if (session == m_session)
            continue;
        if (!m_claimed.contains(session)) {
            auto lock = std::make_shared<QLockFile>(session + u'/' + kLock);
            lock->setStaleLockTime(0);
            if (!lock->tryLock(0))
                continue; // its run is still going
            m_claimed.insert(session, lock);
        }
        const QList<Entry> found = readIndex(session);
        if (found.isEmpty() && QDir(session).entryList(QDir::Files).size() <= 2) {
            m_claimed.take(session).reset(); // nothing left in it
            QDir(session).removeRecursively();
            continue;
        }
        entries += found;
    }
    return entries;
}

void RecoveryStore::discard(const Entry &entry)
{
    QFile::remove(entry.copy);
    QList<Entry> rest = readIndex(entry.session);
    rest.removeIf([&](const Entry &e) { return e.copy == entry.copy; });
    if (!rest.isEmpty()) {
        writeIndex(entry.session, rest);
        return;
    }
    if (auto lock = m_claimed.take(entry.session))
        lock->unlock();
    QDir(entry.session).removeRecursively(); // that run has nothing left
}

void RecoveryStore::restore(const Entry &entry, DocumentWindow *window)
{
    {
        QFile f(entry.copy);
        if (!f.open(QIODevice::ReadOnly))
            throw VelmoraError(QStringLiteral("La copie de « %1 » ne peut pas être lue (%2) ; elle est gardée.")
                                       .arg(entry.fileName.isEmpty() ? entry.caption : entry.fileName, entry.copy));
    }
    window->restoreRecoveryCopy(entry.copy, entry.fileName);
    // It is now this run's copy of that window, until saved or closed.
    std::shared_ptr<Watched> w;
    for (const auto &candidate : std::as_const(m_windows))
        if (candidate->window == window)
            w = candidate;
    if (w && openSession()) {
        const QString mine = m_session
                + QStringLiteral("/%1.%2").arg(w->number).arg(QLatin1String(kExtensions[int(window->kind())]));
        if (QFile::rename(entry.copy, mine)) {
            w->copy = mine;
            w->time = entry.time;
            w->caption = window->windowTitle();
            w->fileName = entry.fileName;
            w->inputAtCopy = m_input;
            w->copied.start();
            w->dirty.start();
            saveIndex();
            discard(entry); // only the index line is left to drop
            return;
        }
    }
    discard(entry);
}
