// The clock and the notepad driven on their real widgets, and the module that shows the
// utilities and keeps the notes file.
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "utilities/ui/countspinedit.h"
#include "utilities/ui/spinbutton.h"
#include "utilities/ui/tbnotes.h"
#include "utilities/ui/teurof.h"
#include "utilities/ui/thorloge.h"
#include "utilities/ui/tplettre.h"
#include "utilities/ui/tpocket.h"
#include "utilities/ui/utilitiesmodule.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Text of a PDF as pdftotext gives it, page by page; empty when the tool is missing.
QStringList pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

const QDateTime kMorning(QDate(2024, 10, 20), QTime(14, 58, 10));

// The controls that Tab visits in a window, starting where the focus is; Ctrl+Tab leaves
// a text that takes Tab itself. Each visited widget counts for the watched control that
// holds it (a spin edit's own editor counts for the spin edit).
QSet<QWidget *> tabStops(QWidget &window, const QList<QWidget *> &watched)
{
    QSet<QWidget *> seen;
    for (int i = 0; i < 80; ++i) {
        QWidget *focus = window.focusWidget();
        for (QWidget *w : watched)
            if (focus && (focus == w || w->isAncestorOf(focus)))
                seen.insert(w);
        if (!focus)
            break;
        const bool takesTab = qobject_cast<QPlainTextEdit *>(focus) != nullptr;
        QTest::keyClick(focus, Qt::Key_Tab, takesTab ? Qt::ControlModifier : Qt::NoModifier);
    }
    return seen;
}

void expectReach(QWidget &window, const QList<QWidget *> &controls)
{
    const QSet<QWidget *> seen = tabStops(window, controls);
    for (QWidget *w : controls)
        QVERIFY2(seen.contains(w), qPrintable(window.objectName() + u" misses "_s + w->objectName()));
}
} // namespace

class TestUtilitiesDesk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void clockRunsAndFreezes();
    void clockFieldsAndBounds();
    void clockBadFieldReported();
    void clockActivationAlwaysRuns();

    void notesReadWriteLineEnds();
    void notesUnchangedNotWritten();
    void notesCloseKeepsText();
    void notesWarnsOfUnsavableCharacters();
    void notesPrintPages();
    void notesPrintFailureReported();

    void everyControlWithinReachOfTheKeyboard();
    void arrowsFromTheKeyboard();
    void notesPrintAndLeaveFromTheKeyboard();

    void moduleLoadsAndSavesNotes();
    void moduleReportsUnwritableNotes();
    void moduleShowsEachToolModally();

private:
    QStringList m_errors;
    QList<messageboxes::Shown> m_boxes;
    messageboxes::Answer m_answer = messageboxes::Answer::Oui;
    QTemporaryDir m_home;
};

void TestUtilitiesDesk::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"userdata"_s)));
}

void TestUtilitiesDesk::init()
{
    m_errors.clear();
    m_boxes.clear();
    errorhandler::setSink([this](const QString &m) { m_errors.append(m); });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        m_boxes.append(s);
        return m_answer;
    });
    qunsetenv("VELMORA_PRINT_PDF");
}

void TestUtilitiesDesk::cleanup()
{
    errorhandler::setSink({});
    messageboxes::setResponder({});
}

void TestUtilitiesDesk::clockRunsAndFreezes()
{
    THorloge form;
    QDateTime clock = kMorning;
    form.now = [&] { return clock; };
    showActive(form);
    QCOMPARE(form.Label1->text(), u"14:58:10"_s);
    QCOMPARE(form.Label2->text(), u"20/10/2024"_s);
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 1000);
    clock = clock.addSecs(1);
    QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), u"14:58:11"_s, 3000);

    QTest::mouseClick(form.Button2, Qt::LeftButton); // "Set": frozen
    QVERIFY(form.HorlogeFigee());
    QVERIFY(!form.Timer1->isActive());
    clock = clock.addSecs(5);
    QTest::qWait(1200);
    QCOMPARE(form.Label1->text(), u"14:58:11"_s);

    QTest::mouseClick(form.Button2, Qt::LeftButton); // running again, at once
    QVERIFY(!form.HorlogeFigee());
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Label1->text(), u"14:58:16"_s);
}

void TestUtilitiesDesk::clockFieldsAndBounds()
{
    THorloge form;
    QDateTime clock = kMorning;
    form.now = [&] { return clock; };
    showActive(form);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QToolButton *up = form.SpinButton1->upButton();
    QToolButton *down = form.SpinButton1->downButton();

    // Nothing selected: the arrows do nothing.
    QCOMPARE(form.RadioGroup1->checkedId(), -1);
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(form.Label1->text(), u"14:58:10"_s);

    QTest::mouseClick(form.RadioGroup1->button(1), Qt::LeftButton); // "Mn"
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(form.Label1->text(), u"14:59:10"_s);
    QTest::mouseClick(form.RadioGroup1->button(0), Qt::LeftButton); // "Hr"
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(form.Label1->text(), u"24:59:10"_s);
    QTest::mouseClick(form.RadioGroup1->button(3), Qt::LeftButton); // "Mo"
    for (int i = 0; i < 11; ++i)
        QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(form.Label2->text(), u"20/00/2024"_s);
    QTest::mouseClick(form.RadioGroup1->button(4), Qt::LeftButton); // "An"
    for (int i = 0; i < 80; ++i)
        QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(form.Label2->text(), u"20/00/2099"_s);
    QVERIFY(m_errors.isEmpty());

    // The arrows work on a running clock too; the next tick shows the time again.
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QTest::mouseClick(form.RadioGroup1->button(2), Qt::LeftButton); // "Jo"
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(form.Label2->text(), u"19/10/2024"_s);
    QTRY_COMPARE_WITH_TIMEOUT(form.Label2->text(), u"20/10/2024"_s, 3000);
}

void TestUtilitiesDesk::clockBadFieldReported()
{
    THorloge form;
    form.now = [] { return kMorning; };
    showActive(form);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    form.Label1->setText(u"9:05:10"_s); // a time written with a one-digit hour
    QTest::mouseClick(form.RadioGroup1->button(0), Qt::LeftButton);
    QTest::mouseClick(form.SpinButton1->upButton(), Qt::LeftButton);
    QCOMPARE(m_errors, QStringList{u"'9:' n'est pas une valeur entière correcte"_s});
    QCOMPARE(form.Label1->text(), u"9:05:10"_s);
}

void TestUtilitiesDesk::clockActivationAlwaysRuns()
{
    THorloge form;
    QDateTime clock = kMorning;
    form.now = [&] { return clock; };
    showActive(form);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QTest::keyClick(form.Button1, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Timer1->isActive());
    clock = clock.addSecs(60);
    showActive(form);
    QVERIFY(!form.HorlogeFigee());
    QVERIFY(form.Timer1->isActive());
    QCOMPARE(form.Label1->text(), u"14:59:10"_s);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    QVERIFY(form.HorlogeFigee());
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());
}

void TestUtilitiesDesk::notesReadWriteLineEnds()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"velmora.nte"_s);
    writeFile(path, "premi\xe8re\nseconde\rtroisi\xe8me\r\n");
    TBnotes form;
    form.Charge(path);
    QCOMPARE(form.lines(), (QStringList{u"première"_s, u"seconde"_s, u"troisième"_s}));
    QVERIFY(!form.isModified());
    showActive(form);
    QCOMPARE(form.focusWidget(), form.Memo1);
    form.Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(form.Memo1, Qt::Key_Return);
    QTest::keyClicks(form.Memo1, "fin");
    QVERIFY(form.isModified());
    form.Sauve(path);
    QCOMPARE(readFile(path), QByteArray("premi\xe8re\r\nseconde\r\ntroisi\xe8me\r\nfin\r\n"));
    QVERIFY(!form.isModified());
}

void TestUtilitiesDesk::notesUnchangedNotWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"velmora.nte"_s);
    TBnotes form;
    form.Charge(path); // missing: stays empty, no message
    QCOMPARE(form.lines(), QStringList());
    form.Sauve(path);
    QVERIFY(!QFileInfo::exists(path));

    writeFile(path, "a\nb\n");
    form.Charge(path);
    form.Sauve(path);
    QCOMPARE(readFile(path), QByteArray("a\nb\n")); // untouched
}

void TestUtilitiesDesk::notesCloseKeepsText()
{
    TBnotes form;
    showActive(form);
    QTest::keyClicks(form.Memo1, "Acheter du pain");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    showActive(form);
    QCOMPARE(form.lines(), QStringList{u"Acheter du pain"_s});
    QVERIFY(form.isModified());
    QCOMPARE(form.Button1->geometry().left(), form.width() - 125);
}

void TestUtilitiesDesk::notesWarnsOfUnsavableCharacters()
{
    TBnotes form;
    showActive(form);
    form.Memo1->insertPlainText(u"Flèche → ici"_s);
    m_answer = messageboxes::Answer::Non;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(m_boxes[0].text.contains(u"ne peuvent pas être enregistrés"_s));
    QVERIFY(form.isVisible());
    m_answer = messageboxes::Answer::Oui;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());

    QTemporaryDir dir;
    form.Sauve(dir.filePath(u"n.nte"_s));
    QCOMPARE(readFile(dir.filePath(u"n.nte"_s)),
             QByteArray("Fl\xe8"
                        "che ? ici\r\n"));
}

void TestUtilitiesDesk::notesPrintPages()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"notes.pdf"_s);
    qputenv("VELMORA_PRINT_PDF", QFile::encodeName(pdf));
    TBnotes form;
    QStringList lines;
    for (int i = 1; i <= 120; ++i)
        lines.append(u"Ligne numéro %1\tavec une tabulation"_s.arg(i));
    form.setLines(lines);
    showActive(form);
    QTest::mouseClick(form.SpeedButton9, Qt::LeftButton);
    QVERIFY(m_errors.isEmpty());
    QVERIFY(QFileInfo(pdf).size() > 0);
    const QStringList pages = pdfPages(pdf);
    if (pages.isEmpty())
        QSKIP("pdftotext is not available");
    QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
    // Every line printed once, in order, across the pages; none cut at a page break.
    const QString all = pages.join(u'\n');
    int from = 0;
    for (int i = 1; i <= 120; ++i) {
        const int at = all.indexOf(u"Ligne numéro %1 "_s.arg(i), from);
        QVERIFY2(at >= 0, qPrintable(QString::number(i)));
        from = at;
    }
    QVERIFY(pages[0].contains(u"Ligne numéro 1 "_s));
    QVERIFY(!pages[0].contains(u"Ligne numéro 120 "_s));

    // An empty notepad still makes a job, with a blank page.
    QFile::remove(pdf);
    form.setLines({});
    QTest::mouseClick(form.SpeedButton9, Qt::LeftButton);
    QVERIFY(QFileInfo::exists(pdf));
    QCOMPARE(pdfPages(pdf).join(QString()).trimmed(), QString());
}

void TestUtilitiesDesk::notesPrintFailureReported()
{
    QTemporaryDir dir;
    qputenv("VELMORA_PRINT_PDF", QFile::encodeName(dir.filePath(u"missing/dir/notes.pdf"_s)));
    TBnotes form;
    form.setLines({u"texte"_s});
    showActive(form);
    QTest::mouseClick(form.SpeedButton9, Qt::LeftButton);
    QCOMPARE(
            m_errors,
            QStringList{
                    u"L'impression n'a pas pu commencer (imprimante ou fichier de sortie indisponible). Erreur E/S 103"_s});
    QVERIFY(form.isVisible());
}

void TestUtilitiesDesk::everyControlWithinReachOfTheKeyboard()
{
    {
        TPocket form;
        showActive(form);
        QList<QWidget *> all;
        for (int n = 0; n < 20; ++n)
            all.append(form.Button(n));
        expectReach(form, all);
    }
    {
        // The converter's digit keys stay out of the tab order: the digits are typed.
        TEurof form;
        showActive(form);
        expectReach(form,
                    QList<QWidget *>{form.RadioButton1, form.Edit3, form.SpinButton1, form.Button11, form.Button10});
    }
    {
        THorloge form;
        showActive(form);
        expectReach(form, QList<QWidget *>{form.RadioGroup1->button(0), form.SpinButton1, form.Button2, form.Button1});
    }
    {
        TPLettre form;
        showActive(form);
        QList<QWidget *> all{form.RadioButton1, form.Button1};
        for (int n = 1; n <= 21; ++n)
            all.append(form.SpinEdit(n));
        expectReach(form, all);
    }
    {
        TBnotes form;
        showActive(form);
        expectReach(form, QList<QWidget *>{form.Memo1, form.SpeedButton9, form.Button1});
    }
}

void TestUtilitiesDesk::arrowsFromTheKeyboard()
{
    {
        TEurof form;
        showActive(form);
        form.SpinButton1->setFocus();
        QTest::keyClick(form.SpinButton1, Qt::Key_Up);
        QTest::keyClick(form.SpinButton1, Qt::Key_Up);
        QCOMPARE(form.Edit3->text(), u"6,55959"_s);
        form.Edit3->setFocus();
        QTest::keyClick(form.Edit3, Qt::Key_Down);
        QCOMPARE(form.Edit3->text(), u"6,55958"_s);
        QTest::keyClick(form.Edit3, Qt::Key_Down);
        QCOMPARE(form.Edit3->text(), u"6,55957"_s);
    }
    THorloge form;
    QDateTime clock = kMorning;
    form.now = [&] { return clock; };
    showActive(form);
    const QString time = form.Label1->text();
    // Tab to the field selector, Space chooses "Hr", Tab to the arrows, Up steps the hour.
    form.RadioGroup1->button(0)->setFocus();
    QTest::keyClick(form.RadioGroup1->button(0), Qt::Key_Space);
    QCOMPARE(form.RadioGroup1->checkedId(), 0);
    QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    QCOMPARE(form.focusWidget(), static_cast<QWidget *>(form.SpinButton1));
    QTest::keyClick(form.SpinButton1, Qt::Key_Up);
    QCOMPARE(form.Label1->text().left(2).toInt(), time.left(2).toInt() + 1);
    QTest::keyClick(form.SpinButton1, Qt::Key_Down);
    QTest::keyClick(form.SpinButton1, Qt::Key_Down);
    QCOMPARE(form.Label1->text().left(2).toInt(), time.left(2).toInt() - 1);
}

void TestUtilitiesDesk::notesPrintAndLeaveFromTheKeyboard()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"notes.pdf"_s);
    qputenv("VELMORA_PRINT_PDF", QFile::encodeName(pdf));
    TBnotes form;
    form.setLines({u"à imprimer"_s});
    showActive(form);
    QCOMPARE(form.focusWidget(), static_cast<QWidget *>(form.Memo1));
    QTest::keyClick(form.Memo1, Qt::Key_P, Qt::ControlModifier);
    QVERIFY(m_errors.isEmpty());
    QVERIFY(QFileInfo(pdf).size() > 0);
    // Tab types a tab in the text; Ctrl+Tab leaves it forwards, Ctrl+Shift+Tab backwards.
    QTest::keyClick(form.Memo1, Qt::Key_Tab);
    QVERIFY(form.Memo1->toPlainText().contains(u'\t'));
    QTest::keyClick(form.Memo1, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(form.focusWidget(), static_cast<QWidget *>(form.SpeedButton9));
    QTest::keyClick(form.focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(form.focusWidget(), static_cast<QWidget *>(form.Memo1));
    QTest::keyClick(form.Memo1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.focusWidget(), static_cast<QWidget *>(form.Button1));
    // Space on the focused print button prints as well.
    QFile::remove(pdf);
    form.SpeedButton9->setFocus();
    QTest::keyClick(form.SpeedButton9, Qt::Key_Space);
    QVERIFY(QFileInfo::exists(pdf));
}

void TestUtilitiesDesk::moduleLoadsAndSavesNotes()
{
    QTemporaryDir startDir, xdg;
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.path()));
    const QString mine = xdg.filePath(u"velmora/velmora.nte"_s);
    writeFile(startDir.filePath(u"velmora.nte"_s), "un\ndeux\n");
    const QString before = QDir::currentPath();
    QDir::setCurrent(startDir.path());
    QWidget frame;
    {
        UtilitiesModule module(&frame);
        module.ChargeNotes(); // brought into the per-user folder
        QDir::setCurrent(before);
        QCOMPARE(module.bnotes().lines(), (QStringList{u"un"_s, u"deux"_s}));
        QCOMPARE(readFile(mine), QByteArray("un\ndeux\n"));
        // Changed: written there with CR LF; the file it came from is left alone.
        module.bnotes().Memo1->appendPlainText(u"trois"_s);
        module.SauveNotes();
        QCOMPARE(readFile(mine), QByteArray("un\r\ndeux\r\ntrois\r\n"));
        QCOMPARE(readFile(startDir.filePath(u"velmora.nte"_s)), QByteArray("un\ndeux\n"));
        QVERIFY(m_errors.isEmpty());
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"userdata"_s)));
}

void TestUtilitiesDesk::moduleReportsUnwritableNotes()
{
    QTemporaryDir dir;
    // The per-user folder cannot be made: a file stands where its parent should be.
    const QString blocker = dir.filePath(u"not-a-directory"_s);
    writeFile(blocker, "x");
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker));
    QWidget frame;
    UtilitiesModule module(&frame);
    module.bnotes().Memo1->setPlainText(u"à garder"_s);
    module.bnotes().setModified(true);
    module.SauveNotes();
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"userdata"_s)));
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors[0].startsWith(u"Les notes du bloc-notes n'ont pas pu être enregistrées"_s));
    QVERIFY(module.bnotes().isModified());
}

void TestUtilitiesDesk::moduleShowsEachToolModally()
{
    QWidget frame;
    UtilitiesModule module(&frame);
    for (UtilityTool tool : {UtilityTool::Calculatrice, UtilityTool::Horloge, UtilityTool::Euroconvertisseur,
                             UtilityTool::Blocnotes, UtilityTool::Pselettres}) {
        QString title;
        bool wasModal = false;
        std::function<void()> answer;
        answer = [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w) {
                QTimer::singleShot(10, answer);
                return;
            }
            title = w->windowTitle();
            wasModal = w->isModal();
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
        };
        QTimer::singleShot(10, answer);
        QVERIFY(module.show(tool));
        QVERIFY(wasModal);
        QVERIFY(!title.isEmpty());
    }
    // One instance of each for the run.
    QCOMPARE(&module.pocket(), &module.pocket());
    QCOMPARE(module.eurof().windowTitle(), u"Euro convertisseur"_s);
    QCOMPARE(module.plettre().windowTitle(), u"Pèse-Lettres"_s);
}

QTEST_MAIN(TestUtilitiesDesk)
#include "tst_utilitiesdesk.moc"
