// The agenda inside the real frame: menus and toolbar reaching the window, the row
// clipboard shared between agenda windows, activation, the frame's close, the desk
// calendar, and the headless command line.
#include "agendatesthelpers.h"

#include "agenda/ui/agendagrid.h"
#include "agenda/ui/agendamodule.h"
#include "agenda/ui/tagenda.h"
#include "agenda/ui/tcalendar.h"
#include "agenda/ui/tcalendrier.h"
#include "agenda/ui/tjour.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "shell/ui/tmainform.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using messageboxes::Answer;

class TestAgendaFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void newAgenda();
    void openAndSaveThroughMenus();
    void agendaMenu();
    void weekAndDayItems();
    void clipboardBetweenWindows();
    void switchingWindowsKeepsTyping();
    void frameCloseAsksEachAgenda();
    void deskCalendar();
    void headlessConversions();

private:
    TAgenda *newWindow();
    // The window's save dialog answers m_saveName (cancelled while it is empty).
    void answerSaveDialog(TAgenda *a);
    void trigger(const char *name) { m_form->action(QString::fromLatin1(name))->trigger(); }
    void activate(QWidget *w);
    int rowOf(TAgenda *a, const QString &time) const;

    std::unique_ptr<TMainForm> m_form;
    QTemporaryDir m_dataDir;
    QTemporaryDir m_cwd;
    QString m_oldCwd;
    QStringList m_errors;
    QList<Answer> m_answers;
    QStringList m_questions;
    std::function<void(QDialog &)> m_dialog;
    QString m_saveName;
};

void TestAgendaFrame::init()
{
    qputenv("XDG_DATA_HOME", m_dataDir.path().toLocal8Bit());
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_cwd.path());
    m_errors.clear();
    m_answers.clear();
    m_questions.clear();
    m_dialog = nullptr;
    errorhandler::setSink([this](const QString &m) { m_errors << m; });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        m_questions << s.text;
        return m_answers.isEmpty() ? Answer::Annuler : m_answers.takeFirst();
    });
    m_form = std::make_unique<TMainForm>();
    m_form->agendaModule().setDialogRunner([this](QDialog &d) {
        QVERIFY2(m_dialog, "unexpected dialog");
        m_dialog(d);
    });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestAgendaFrame::cleanup()
{
    m_answers = QList<Answer>(16, Answer::Non);
    m_form.reset();
    QDir::setCurrent(m_oldCwd);
    errorhandler::setSink(nullptr);
    messageboxes::setResponder(nullptr);
}

TAgenda *TestAgendaFrame::newWindow()
{
    trigger("Agenda1");
    auto *a = dynamic_cast<TAgenda *>(m_form->dernier(DocKind::Agenda));
    if (a)
        answerSaveDialog(a);
    return a;
}

void TestAgendaFrame::answerSaveDialog(TAgenda *a)
{
    a->setSaveDialogHook([this](QString &path, int &) {
        path = m_saveName;
        return !path.isEmpty();
    });
}

void TestAgendaFrame::activate(QWidget *w)
{
    for (QMdiSubWindow *sw : m_form->mdiArea()->subWindowList())
        if (sw->widget() == w)
            m_form->mdiArea()->setActiveSubWindow(sw);
    QCOMPARE(m_form->activeDocument(), w);
}

int TestAgendaFrame::rowOf(TAgenda *a, const QString &time) const
{
    for (int r = 1; r < a->StringGrid1->rowCount(); ++r)
        if (a->StringGrid1->cell(0, r) == u' ' + time)
            return r;
    return -1;
}

void TestAgendaFrame::newAgenda()
{
    TAgenda *a = newWindow();
    QVERIFY(a);
    QCOMPARE(a->windowTitle(), u"Agenda"_s);
    QCOMPARE(a->currentDate(), QDate::currentDate());
    QCOMPARE(a->StringGrid1->cell(2, 0), u"Sujet"_s);
    QVERIFY(m_form->action(u"Grouper1"_s)->isEnabled());
    QVERIFY(!m_form->action(u"Semaine1"_s)->isVisible());
    QVERIFY(!m_form->action(u"Journe2"_s)->isVisible());
}

void TestAgendaFrame::openAndSaveThroughMenus()
{
    const QString path = m_cwd.filePath(u"rdv.Qva"_s);
    writeBytes(path, "1999041609:00 R\xe9union\t\r\n");
    m_form->setOpenDialogHook([&] { return path; });
    trigger("FileOpenItem");
    auto *a = dynamic_cast<TAgenda *>(m_form->dernier(DocKind::Agenda));
    QVERIFY(a);
    answerSaveDialog(a);
    QCOMPARE(a->windowTitle(), u"rdv.Qva"_s);
    a->showDate(QDate(1999, 4, 16));
    QCOMPARE(a->StringGrid1->cell(2, rowOf(a, u"09:00"_s)), u"Réunion"_s);
    QVERIFY(!a->isModified());

    a->StringGrid1->setCurrentCell(3, rowOf(a, u"09:00"_s));
    typeText(a->StringGrid1->editor(), u"salle 2"_s);
    trigger("FileSaveItem");
    // The extension is the agenda's own: "rdv.Qva" is saved as "rdv.qva".
    const QString saved = m_cwd.filePath(u"rdv.qva"_s);
    QCOMPARE(fileBytes(saved), QByteArray("1999041609:00 R\xe9union\tsalle 2\r\n"));
    QCOMPARE(a->windowTitle(), u"rdv.qva"_s);

    m_saveName = m_cwd.filePath(u"copie"_s);
    trigger("FileSaveAsItem"); // unchanged, yet written under the new name
    QCOMPARE(fileBytes(m_cwd.filePath(u"copie.qva"_s)), fileBytes(saved));
    QCOMPARE(a->windowTitle(), u"copie.qva"_s);
    QVERIFY(m_errors.isEmpty());
}

void TestAgendaFrame::agendaMenu()
{
    TAgenda *a = newWindow();
    a->showDate(QDate(1999, 4, 16));
    a->StringGrid1->setCurrentCell(2, 3);
    trigger("Grouper1");
    QVERIFY(a->rangePending());
    a->StringGrid1->setCurrentCell(2, 5);
    QCOMPARE(a->StringGrid1->cell(1, 4), u" ["_s);
    trigger("Supprimertendue1");
    QCOMPARE(a->StringGrid1->cell(1, 4), u""_s);

    m_dialog = [](QDialog &d) {
        auto *jour = qobject_cast<TJour *>(&d);
        QVERIFY(jour);
        jour->RadioButton3->setChecked(true);
        QTest::mouseClick(jour->Button2, Qt::LeftButton);
    };
    trigger("Journe1");
    QCOMPARE(a->settings().scale, 3);
    QCOMPARE(a->StringGrid1->cell(0, 3), u" 08:45"_s);
}

void TestAgendaFrame::weekAndDayItems()
{
    TAgenda *a = newWindow();
    trigger("Semaine1");
    QCOMPARE(a->Notebook1->currentIndex(), 1);
    QVERIFY(m_form->action(u"Semaine1"_s)->isChecked());
    QCOMPARE(a->StringGrid3->rowCount(), 8); // seven empty days under the heading
    trigger("Journe2");
    QCOMPARE(a->Notebook1->currentIndex(), 0);
    QVERIFY(m_form->action(u"Journe2"_s)->isChecked());
}

void TestAgendaFrame::clipboardBetweenWindows()
{
    TAgenda *first = newWindow();
    first->showDate(QDate(1999, 4, 16));
    AgendaGrid *g = first->StringGrid1;
    g->setCurrentCell(2, rowOf(first, u"10:00"_s));
    typeText(g->editor(), u"Comité"_s);
    QTest::keyClick(g->editor(), Qt::Key_Down, Qt::ShiftModifier);
    trigger("CutItem");
    QCOMPARE(m_form->PressePapierAgenda(), (QStringList{u"10:00 Comité\t"_s, u"10:30 \t"_s}));
    QCOMPARE(g->cell(2, rowOf(first, u"10:00"_s)), u"Comité"_s); // cut leaves the rows
    QVERIFY(m_form->PressePapierFichier().isEmpty());

    TAgenda *second = newWindow();
    second->showDate(QDate(2001, 1, 1));
    // Ctrl+V typed in a cell pastes the rows, as the menu item says.
    second->activateWindow();
    QTest::keyClick(second->StringGrid1->editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(second->StringGrid1->cell(2, rowOf(second, u"10:00"_s)), u"Comité"_s);
    QVERIFY(second->isModified());
}

void TestAgendaFrame::switchingWindowsKeepsTyping()
{
    TAgenda *first = newWindow();
    first->StringGrid1->setCurrentCell(2, 4);
    typeText(first->StringGrid1->editor(), u"gardé"_s);
    first->StringGrid2->setCurrentCell(2, 1);
    typeText(first->StringGrid2->editor(), u"note"_s);
    TAgenda *second = newWindow();
    QCOMPARE(m_form->activeDocument(), second);
    activate(first);
    QCOMPARE(first->StringGrid1->cell(2, 4), u"gardé"_s);
    // Day notes are read back into the rows in order: the second row's note comes first.
    QCOMPARE(first->StringGrid2->cell(2, 0), u"note"_s);
    QVERIFY(!first->isDayModified()); // the activation wrote the day back and read it again
    QCOMPARE(first->agendaList().size(), 2);
}

void TestAgendaFrame::frameCloseAsksEachAgenda()
{
    TAgenda *a = newWindow();
    a->StringGrid1->setCurrentCell(2, 1);
    typeText(a->StringGrid1->editor(), u"x"_s);
    m_answers << Answer::Annuler;
    m_form->close();
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_questions, QStringList{u"Sauver modifications dans Agenda ?"_s});
    m_answers << Answer::Non;
    m_form->close();
    QVERIFY(!m_form->isVisible());
}

void TestAgendaFrame::deskCalendar()
{
    int shown = 0;
    m_dialog = [&](QDialog &d) {
        auto *cal = qobject_cast<TCalendrier *>(&d);
        QVERIFY(cal);
        ++shown;
        d.show();
        QTest::keyClick(cal->Calendar1, Qt::Key_PageDown);
        QTest::keyClick(cal->Calendar1, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    };
    trigger("Calendrier1");
    trigger("Calendrier1");
    QCOMPARE(shown, 2);
    // The desk calendar keeps its month between showings: two months on from today.
    const QDate today = QDate::currentDate();
    QCOMPARE(m_form->agendaModule().calendrier().Calendar1->month(), today.addMonths(2).month());
}

void TestAgendaFrame::headlessConversions()
{
    QTemporaryDir out;
    const QString in = qEnvironmentVariable("VELMORA_TEST_DATA") + u"/semaine.qva"_s;
    for (const char *format : {"ics", "csv", "qva"}) {
        QProcess p;
        p.start(QStringLiteral(VELMORA_EXE),
                {u"--headless"_s, u"--convert-to"_s, QString::fromLatin1(format), u"--outdir"_s, out.path(), in});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFile::exists(out.filePath(u"semaine."_s + QString::fromLatin1(format))));
    }
    QCOMPARE(fileBytes(out.filePath(u"semaine.qva"_s)), fileBytes(in));
    QVERIFY(fileBytes(out.filePath(u"semaine.ics"_s)).startsWith("BEGIN:VCALENDAR\r\n"));
    QProcess bad;
    bad.start(QStringLiteral(VELMORA_EXE),
              {u"--headless"_s, u"--convert-to"_s, u"csv"_s, u"--debut"_s, u"x"_s, u"--outdir"_s, out.path(), in});
    QVERIFY(bad.waitForFinished(30000));
    QVERIFY(bad.exitCode() != 0);
    QVERIFY(QString::fromUtf8(bad.readAllStandardError()).contains(u"'x' n'est pas une valeur entière correcte"_s));
}

QTEST_MAIN(TestAgendaFrame)
#include "tst_agendaframe.moc"
