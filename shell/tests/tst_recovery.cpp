// Recovery after a crash: copies of unsaved documents kept while the program runs, removed
// when saved, closed or at a normal end, and offered back after a run that was killed.
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/ui/recoverystore.h"
#include "common/tests/testfiles.h"
#include "database/ui/tfichier.h"
#include "shell/ui/recoverydialog.h"
#include "shell/ui/tmainform.h"
#include "text/ui/richedit.h"
#include "text/ui/ttexte.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextList>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;
using testfiles::slurp;
using testfiles::spit;

namespace {

const QByteArray kLetter = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Texte initial.\\par }";

QStringList filesUnder(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(QFileInfo(it.next()).fileName());
    out.sort();
    return out;
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void copyKeptWhileUnsavedAndDroppedWhenSaved();
    void closingAndNormalEndLeaveNothing();
    void largeTextDoesNotHoldUpTyping();
    void dialogOpensDiscardsAndKeepsUnreadable();
    void killedProgramOffersItsCopy();

private:
    TTexte *newText();
    QTemporaryDir m_dir;
    QString m_recovery;
    QStringList m_errors;
    std::unique_ptr<RecoveryStore> m_store;
    std::unique_ptr<TMainForm> m_form;
};

void TestRecovery::init()
{
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath(u"state"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(u"data"_s)));
    qputenv("VELMORA_RECOVERY_SECONDS", "1");
    m_recovery = m_dir.filePath(u"state/velmora/recovery"_s);
    QDir(m_recovery).removeRecursively();
    m_errors.clear();
    errorhandler::setSink([this](const QString &m) { m_errors << m; });
    m_store = std::make_unique<RecoveryStore>();
    m_form = std::make_unique<TMainForm>();
    m_form->setRecoveryStore(m_store.get());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestRecovery::cleanup()
{
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Non; });
    m_form.reset();
    m_store.reset();
    messageboxes::setResponder({});
    errorhandler::setSink({});
}

TTexte *TestRecovery::newText()
{
    m_form->action(u"Texte1"_s)->trigger();
    auto *t = dynamic_cast<TTexte *>(m_form->activeDocument());
    if (t)
        t->RichEdit1->setFocus();
    return t;
}

void TestRecovery::copyKeptWhileUnsavedAndDroppedWhenSaved()
{
    const QString path = m_dir.filePath(u"lettre.qvt"_s);
    QVERIFY(spit(path, kLetter));
    m_form->openFile(path);
    auto *t = dynamic_cast<TTexte *>(m_form->activeDocument());
    QVERIFY(t);
    t->RichEdit1->setFocus();
    QTest::keyClicks(t->RichEdit1, u"Ajout "_s);
    m_store->check();
    QVERIFY(m_store->copyOf(t).isEmpty()); // not yet due
    QTRY_VERIFY_WITH_TIMEOUT(!m_store->copyOf(t).isEmpty(), 5000);
    const QString copy = m_store->copyOf(t);
    QVERIFY(slurp(copy).contains("Ajout Texte initial."));
    QCOMPARE(slurp(copy), t->RichEdit1->streamOut()); // what "Enregistrer" would write
    QCOMPARE(slurp(path), kLetter); // the document's own file is not touched
    const QByteArray index = slurp(QFileInfo(copy).dir().filePath(u"index"_s));
    QVERIFY2(index.contains("\t0\t") && index.contains(path.toUtf8()), index.constData());
    // More typing, in bold, and a bulleted paragraph: a fresh copy once due again.
    QTest::keyClick(t->RichEdit1, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(t->RichEdit1, u"encore "_s);
    QTextCursor cursor = t->RichEdit1->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(u"un point"_s);
    cursor.createList(QTextListFormat::ListDisc);
    QTRY_VERIFY_WITH_TIMEOUT(slurp(copy).contains("un point"), 5000);
    QCOMPARE(slurp(copy), t->RichEdit1->streamOut());
    // Saved: the copy has done its work.
    m_form->action(u"FileSaveItem"_s)->trigger();
    QVERIFY(!t->isModified());
    QTRY_VERIFY_WITH_TIMEOUT(m_store->copyOf(t).isEmpty(), 5000);
    QVERIFY(!QFileInfo::exists(copy));
}

void TestRecovery::closingAndNormalEndLeaveNothing()
{
    TTexte *first = newText();
    QVERIFY(first);
    QTest::keyClicks(first->RichEdit1, u"brouillon"_s);
    TTexte *second = newText();
    QVERIFY(second);
    QTest::keyClicks(second->RichEdit1, u"autre"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!m_store->copyOf(first).isEmpty() && !m_store->copyOf(second).isEmpty(), 5000);
    QCOMPARE(filesUnder(m_recovery), (QStringList{u"1.qvt"_s, u"2.qvt"_s, u"index"_s, u"lock"_s}));
    // Closed without saving ("Non"): its copy goes with it.
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Non; });
    m_form->mdiArea()->setActiveSubWindow(m_form->mdiArea()->subWindowList().first());
    m_form->mdiArea()->closeActiveSubWindow();
    QTRY_COMPARE(filesUnder(m_recovery), (QStringList{u"2.qvt"_s, u"index"_s, u"lock"_s}));
    QVERIFY(!slurp(QDir(m_recovery).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot).first().filePath() + u"/index"_s)
                     .contains("1.qvt"));
    // A normal end: nothing is left to offer.
    m_store->endSession();
    QCOMPARE(filesUnder(m_recovery), QStringList());
    RecoveryStore next;
    QCOMPARE(next.abandoned().size(), 0);
}

// The copy of a 10 MB text is written on another thread; what the window's thread does
// (taking the snapshot, in a pause of the typing) stays short.
void TestRecovery::largeTextDoesNotHoldUpTyping()
{
    TTexte *t = newText();
    QVERIFY(t);
    const QString line = u"Une ligne de texte assez longue pour remplir le document rapidement. "_s.repeated(4);
    QString text;
    while (text.size() < 10'000'000)
        text += line + u'\n';
    t->RichEdit1->setPlainText(text);
    t->RichEdit1->setModified(true);
    QElapsedTimer timer;
    timer.start();
    const DocumentWindow::RecoveryState state = t->recoveryState(true);
    const qint64 snapshot = timer.elapsed();
    QVERIFY(state.write);
    qInfo("snapshot of a 10 MB text: %lld ms", snapshot);
    QVERIFY2(snapshot < 250, qPrintable(QString::number(snapshot))); // a loaded test machine's bound
    const QString copy = m_dir.filePath(u"grand.qvt"_s);
    state.write(copy);
    QVERIFY(QFileInfo(copy).size() > 10'000'000);
}

void TestRecovery::dialogOpensDiscardsAndKeepsUnreadable()
{
    // What a killed run left: a letter, a database, and a copy that has gone missing.
    const QString session = m_recovery + u"/20260101-120000-1"_s;
    QVERIFY(QDir().mkpath(session));
    QVERIFY(spit(session + u"/1.qvt"_s, kLetter));
    QVERIFY(spit(session + u"/2.qvb"_s, QByteArray("0A0").repeated(32) + "\r\n000001Nom\r\n000101Dupont\r\n"));
    const QString letter = m_dir.filePath(u"courrier.qvt"_s);
    const QString base = m_dir.filePath(u"carnet.qvb"_s);
    spit(session + u"/index"_s,
         "1.qvt\t0\t2026-01-01T11:59:00\tcourrier.qvt\t" + letter.toUtf8()
                 + "\n"
                   "2.qvb\t2\t2026-01-01T11:59:30\tcarnet.qvb\t"
                 + base.toUtf8()
                 + "\n"
                   "3.qva\t3\t2026-01-01T11:59:40\tAgenda\t\n");
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Oui; });
    QStringList rows;
    int left = -1;
    // Never left waiting on a dialog nobody answers.
    QTimer::singleShot(30000, this, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTimer::singleShot(0, this, [&] {
        RecoveryDialog *d = m_form->findChild<RecoveryDialog *>();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(), u"Documents récupérés"_s);
        for (int i = 0; i < d->List->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = d->List->topLevelItem(i);
            rows << item->text(0) + u" | "_s + item->text(1) + u" | "_s + item->text(2);
        }
        QTest::mouseClick(d->OpenButton, Qt::LeftButton); // the letter
        d->List->setCurrentItem(d->List->topLevelItem(1));
        QTest::mouseClick(d->OpenButton, Qt::LeftButton); // the lost agenda copy: said, kept
        d->List->setCurrentItem(d->List->topLevelItem(0));
        QTest::mouseClick(d->DiscardButton, Qt::LeftButton); // the database, after "Oui"
        left = d->List->topLevelItemCount();
        QTest::mouseClick(d->CloseButton, Qt::LeftButton);
    });
    recovery::offer(*m_form, *m_store);
    QCOMPARE(rows,
             (QStringList{u"Texte | courrier.qvt | 01/01/2026 11:59:00"_s,
                          u"Base de données | carnet.qvb | 01/01/2026 11:59:30"_s,
                          u"Agenda | Agenda (jamais enregistré) | 01/01/2026 11:59:40"_s}));
    QCOMPARE(left, 1);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors[0].contains(u"ne peut pas être lue"_s), qPrintable(m_errors[0]));
    // The letter: shown modified under its own name, so that "Enregistrer" writes it there.
    auto *t = dynamic_cast<TTexte *>(m_form->activeDocument());
    QVERIFY(t);
    QCOMPARE(t->windowTitle(), u"courrier.qvt"_s);
    QVERIFY(t->isModified());
    QCOMPARE(t->RichEdit1->toPlainText(), u"Texte initial."_s);
    m_form->action(u"FileSaveItem"_s)->trigger();
    QVERIFY(slurp(letter).contains("Texte initial."));
    QVERIFY(!QFileInfo::exists(session + u"/2.qvb"_s));
    // Only the unreadable one is offered next time.
    RecoveryStore next;
    const QList<RecoveryStore::Entry> again = next.abandoned();
    QCOMPARE(again.size(), 1);
    QCOMPARE(again[0].kind, DocKind::Agenda);
}

// The real program: a change typed into a letter, the program killed once its copy is
// due, started again: the copy is offered, opened, and saved over the letter.
void TestRecovery::killedProgramOffersItsCopy()
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        QSKIP("Xvfb and xdotool are needed to type into the real program");
    // A display of its own: the server picks a free number and tells it.
    QProcess xvfb;
    // The server must not reset each time its last client (one xdotool call) disconnects:
    // a client arriving during the reset fails or hangs.
    // The server's warnings (one set per client's keymap) are dropped: a pipe nobody reads
    // while the test waits for xdotool would fill, stop the server and every client with it.
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(
            u"Xvfb"_s,
            {u"-displayfd"_s, u"1"_s, u"-noreset"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s, u"tcp"_s});
    QVERIFY(xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine() || xvfb.state() != QProcess::Running, 60000);
    bool numbered = false;
    const int display = QString::fromLatin1(xvfb.readLine()).trimmed().toInt(&numbered);
    QVERIFY(numbered);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, u":%1"_s.arg(display));
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    auto xdotool = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(u"xdotool"_s, args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    // The server may take a moment to accept clients after it has named its display.
    QTRY_VERIFY_WITH_TIMEOUT(!xdotool({u"getmouselocation"_s}).isEmpty(), 60000);
    auto startProgram = [&](QProcess &p, const QStringList &args) {
        p.setProcessEnvironment(env);
        // Its messages go to a file: a pipe nobody reads could fill and stop it.
        const QString log = m_dir.filePath(u"velmora-%1.log"_s.arg(args.isEmpty() ? 2 : 1));
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setStandardOutputFile(log);
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral(VELMORA_EXE), args);
        QVERIFY(p.waitForStarted());
        // One search per round: the answer may flicker while the splash window goes and the
        // main window comes (a window destroyed during the search makes it fail), and a retry
        // macro that asks again after its loop would take a passing answer for a late one.
        bool shown = false;
        for (QDeadlineTimer deadline(40000); !shown && !deadline.hasExpired(); QTest::qWait(100))
            shown = !xdotool({u"search"_s, u"--name"_s, u"^Velmora"_s}).isEmpty();
        QVERIFY2(shown, qPrintable(u"no window; the program said: "_s + QString::fromLocal8Bit(slurp(log))));
        QTest::qWait(1000);
    };
    const QString letter = m_dir.filePath(u"lettre.qvt"_s);
    QVERIFY(spit(letter, kLetter));

    QProcess first;
    startProgram(first, {u"lettre.qvt"_s});
    if (QTest::currentTestFailed())
        return;
    xdotool({u"mousemove"_s, u"200"_s, u"200"_s, u"click"_s, u"1"_s}); // after the letter's text
    xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"Ajout "_s});
    QTRY_VERIFY_WITH_TIMEOUT(filesUnder(m_recovery).contains(u"1.qvt"_s), 10000);
    QTest::qWait(500);
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(5000));
    QCOMPARE(slurp(letter), kLetter);

    QProcess second;
    startProgram(second, {});
    if (QTest::currentTestFailed())
        return;
    xdotool({u"key"_s, u"Return"_s}); // "Ouvrir", the dialog's default, on the one copy
    QTest::qWait(1000);
    xdotool({u"mousemove"_s, u"200"_s, u"250"_s, u"click"_s, u"1"_s});
    xdotool({u"key"_s, u"ctrl+s"_s});
    QTRY_VERIFY_WITH_TIMEOUT(slurp(letter).contains("Texte initial.Ajout"), 10000);
    second.terminate();
    second.waitForFinished(5000);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
