// The agenda window driven as a user would: typing in the grids, the day and month buttons,
// Page Up/Down, the day settings, ranges, the row clipboard, files and the close question.
#include "agendatesthelpers.h"

#include "agenda/core/agendafile.h"
#include "agenda/ui/agendamodule.h"
#include "agenda/ui/agendagrid.h"
#include "agenda/ui/tagenda.h"
#include "agenda/ui/tcalendar.h"
#include "agenda/ui/tjour.h"
#include "agenda/ui/tmensuel.h"
#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"

#include "common/frenchformat.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QToolButton>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using messageboxes::Answer;

namespace {
const QDate kFriday(1999, 4, 16);
}

class TestAgendaWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void newWindow();
    void columnWidthsFollowTheWindow();
    void headingRedOnSunday();
    void typingMarksChangedAndSurvivesDayChanges();
    void pageDownOnLastRowTurnsTheDay();
    void monthButtons_data();
    void monthButtons();
    void invalidDateKeepsTheDay();
    void fullCellSaysSo();
    void todayButton();
    void monthPicker();
    void daySettingsKeepEntries();
    void daySettingsRefuseEndBeforeStart();
    void daySettingsCancelled();
    void rangeFromRow5ToRow2();
    void pendingRangeDroppedOnDayChange();
    void deleteRangeAroundCursor();
    void copyAndPasteByTime();
    void editorLimitsLineLength();
    void weekPage();
    void chargeShowsEachDay();
    void chargeFailure();
    void saveWritesOnlyWhenChanged();
    void saveAsAppliesNameRule();
    void saveRefusedCharactersAsks();
    void closeQuestion_data();
    void closeQuestion();
    void closeWithFailedSaveStaysOpen();

private:
    TAgenda &w() { return *m_window; }
    void typeAt(AgendaGrid *grid, int col, int row, const QString &text);
    int rowOf(const QString &time) const;
    bool closeWindow();

    std::unique_ptr<TestFrame> m_frame;
    std::unique_ptr<AgendaModule> m_module;
    std::unique_ptr<TAgenda> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_errors;
    QList<messageboxes::Shown> m_boxes;
    QList<Answer> m_answers; // answers to the next boxes, in order
    std::function<void(QDialog &)> m_dialog; // what the "user" does in a tool form
    QStringList m_saveNames; // names typed in the next save dialogs ("" cancels)
};

void TestAgendaWindow::init()
{
    m_frame = std::make_unique<TestFrame>();
    m_module = std::make_unique<AgendaModule>(nullptr);
    m_dir = std::make_unique<QTemporaryDir>();
    m_errors.clear();
    m_boxes.clear();
    m_answers.clear();
    m_saveNames.clear();
    m_dialog = nullptr;
    errorhandler::setSink([this](const QString &m) { m_errors << m; });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        m_boxes << s;
        return m_answers.isEmpty() ? Answer::Annuler : m_answers.takeFirst();
    });
    m_module->setDialogRunner([this](QDialog &d) {
        QVERIFY2(m_dialog, "unexpected dialog");
        m_dialog(d);
    });
    m_window = std::make_unique<TAgenda>(*m_frame, *m_module);
    m_window->setSaveDialogHook([this](QString &path, int &) {
        path = m_saveNames.isEmpty() ? QString() : m_saveNames.takeFirst();
        return !path.isEmpty();
    });
    m_window->resize(600, 400);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->showDate(kFriday);
}

void TestAgendaWindow::cleanup()
{
    if (m_window)
        m_window->hide();
    m_window.reset();
    m_module.reset();
    errorhandler::setSink(nullptr);
    messageboxes::setResponder(nullptr);
}

void TestAgendaWindow::typeAt(AgendaGrid *grid, int col, int row, const QString &text)
{
    grid->setCurrentCell(col, row);
    QVERIFY(grid->editor()->isVisible());
    typeText(grid->editor(), text);
}

int TestAgendaWindow::rowOf(const QString &time) const
{
    for (int r = 1; r < m_window->StringGrid1->rowCount(); ++r)
        if (m_window->StringGrid1->cell(0, r) == u' ' + time)
            return r;
    return -1;
}

bool TestAgendaWindow::closeWindow()
{
    QCloseEvent e;
    QCoreApplication::sendEvent(m_window.get(), &e);
    return e.isAccepted();
}

void TestAgendaWindow::newWindow()
{
    TAgenda fresh(*m_frame, *m_module);
    QCOMPARE(fresh.windowTitle(), u"Agenda"_s);
    QCOMPARE(fresh.currentDate(), QDate::currentDate());
    QCOMPARE(fresh.settings(), (DaySettings{8, 18, 2}));
    QCOMPARE(fresh.size(), QSize(544, 375));
    AgendaGrid *g = fresh.StringGrid1;
    QCOMPARE(g->rowCount(), 22); // heading + 08:00 ... 18:00 by half hours
    QCOMPARE(g->cell(0, 1), u" 08:00"_s);
    QCOMPARE(g->cell(0, 21), u" 18:00"_s);
    QCOMPARE((QStringList{g->cell(0, 0), g->cell(1, 0), g->cell(2, 0), g->cell(3, 0)}),
             (QStringList{u"Heure"_s, u" ["_s, u"Sujet"_s, u"Note"_s}));
    QCOMPARE(fresh.StringGrid2->cell(0, 0), french::shortDate(QDate::currentDate()));
    QCOMPARE(fresh.StringGrid2->cell(0, 1), french::shortDate(QDate::currentDate()));
    QCOMPARE(g->col(), 2);
    QCOMPARE(g->row(), 1);
    QCOMPARE(g->fixedColor(), QColor(64, 192, 203));
    QCOMPARE(fresh.StringGrid3->fixedColor(), QColor(64, 192, 203));
    QCOMPARE(fresh.SpeedButton5->toolTip(), u"Aujourd'hui"_s);
    QVERIFY(!fresh.isModified());
}

void TestAgendaWindow::columnWidthsFollowTheWindow()
{
    w().resize(700, 400);
    QCOMPARE((QList<int>{w().StringGrid1->colWidth(0), w().StringGrid1->colWidth(1), w().StringGrid1->colWidth(2),
                         w().StringGrid1->colWidth(3)}),
             (QList<int>{60, 20, 140, 450}));
    QCOMPARE((QList<int>{w().StringGrid2->colWidth(0), w().StringGrid2->colWidth(1), w().StringGrid2->colWidth(2)}),
             (QList<int>{80, 140, 472}));
    QCOMPARE((QList<int>{w().StringGrid3->colWidth(0), w().StringGrid3->colWidth(1), w().StringGrid3->colWidth(2)}),
             (QList<int>{80, 60, 552}));
}

void TestAgendaWindow::headingRedOnSunday()
{
    QCOMPARE(w().headingText(), u"Vendredi 16 avril 1999"_s);
    QCOMPARE(w().headingColor(), QColor(Qt::black));
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QCOMPARE(w().headingText(), u"Dimanche 18 avril 1999"_s);
    QCOMPARE(w().headingColor(), QColor(Qt::red));
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QCOMPARE(w().headingColor(), QColor(Qt::black));
}

void TestAgendaWindow::typingMarksChangedAndSurvivesDayChanges()
{
    typeAt(w().StringGrid1, 2, rowOf(u"09:00"_s), u"Réunion"_s);
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_Tab);
    typeText(w().StringGrid1->editor(), u"salle 2"_s);
    typeAt(w().StringGrid2, 1, 0, u"Anniversaire"_s);
    QVERIFY(w().isModified());
    QVERIFY(w().isDayModified());
    QTest::keyClick(w().StringGrid2->editor(), Qt::Key_PageDown);
    QCOMPARE(w().currentDate(), kFriday.addDays(1));
    QVERIFY(!w().isDayModified());
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:00"_s)), u""_s);
    QCOMPARE(w().agendaList().lines(),
             (QStringList{u"1999041609:00 Réunion\tsalle 2"_s, u"1999041616/04/1999Anniversaire\t"_s}));
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_PageUp);
    QCOMPARE(w().currentDate(), kFriday);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:00"_s)), u"Réunion"_s);
    QCOMPARE(w().StringGrid1->cell(3, rowOf(u"09:00"_s)), u"salle 2"_s);
    QCOMPARE(w().StringGrid2->cell(1, 0), u"Anniversaire"_s);
    // The Delete key changes the day too.
    w().StringGrid1->setCurrentCell(3, rowOf(u"09:00"_s));
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_Delete);
    QVERIFY(w().isDayModified());
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_PageDown);
    QCOMPARE(w().agendaList().linesOfDay(u"19990416"_s).first(), u"1999041609:00 Réunion\t"_s);
}

void TestAgendaWindow::pageDownOnLastRowTurnsTheDay()
{
    AgendaGrid *g = w().StringGrid1;
    g->setCurrentCell(2, g->rowCount() - 1);
    QTest::keyClick(g->editor(), Qt::Key_PageDown);
    QCOMPARE(w().currentDate(), kFriday.addDays(1));
    QCOMPARE(g->row(), 1); // back on the first slot, not a screen further
    QTest::keyClick(&w(), Qt::Key_PageUp);
    QCOMPARE(w().currentDate(), kFriday);
}

void TestAgendaWindow::monthButtons_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 January 2000, next") << QDate(2000, 1, 31) << true << QDate(2000, 2, 29);
    QTest::newRow("31 January 1999, next") << QDate(1999, 1, 31) << true << QDate(1999, 2, 28);
    QTest::newRow("31 March 1999, previous") << QDate(1999, 3, 31) << false << QDate(1999, 2, 28);
    QTest::newRow("31 March 2000, previous") << QDate(2000, 3, 31) << false << QDate(2000, 2, 29);
    QTest::newRow("31 May, next") << QDate(1999, 5, 31) << true << QDate(1999, 6, 30);
    QTest::newRow("31 January 1900, next") << QDate(1900, 1, 31) << true << QDate(1900, 2, 28);
    QTest::newRow("29 March 2100, previous") << QDate(2100, 3, 29) << false << QDate(2100, 2, 28);
    QTest::newRow("December, next") << QDate(1999, 12, 15) << true << QDate(2000, 1, 15);
    QTest::newRow("January, previous") << QDate(2000, 1, 15) << false << QDate(1999, 12, 15);
}

void TestAgendaWindow::monthButtons()
{
    QFETCH(QDate, from);
    QFETCH(bool, next);
    QFETCH(QDate, expected);
    w().showDate(from);
    QTest::mouseClick(next ? w().SpeedButton4 : w().SpeedButton1, Qt::LeftButton);
    QCOMPARE(w().currentDate(), expected);
    QVERIFY(m_errors.isEmpty());
}

void TestAgendaWindow::invalidDateKeepsTheDay()
{
    // The last month a day key can hold: there is no next one.
    w().showDate(QDate(9999, 12, 31));
    typeAt(w().StringGrid1, 2, 1, u"x"_s);
    QTest::mouseClick(w().SpeedButton4, Qt::LeftButton);
    QCOMPARE(m_errors, QStringList{u"Argument incorrect pour date encode"_s});
    QCOMPARE(w().currentDate(), QDate(9999, 12, 31));
    QCOMPARE(w().StringGrid1->cell(2, 1), u"x"_s);
    // The day shown had been written back already.
    QCOMPARE(w().agendaList().lines(), QStringList{u"9999123108:00 x\t"_s});
}

void TestAgendaWindow::fullCellSaysSo()
{
    AgendaGrid *g = w().StringGrid1;
    typeAt(g, 2, 1, QString(daypage::kMaxSlotText - 3, u's'));
    m_frame->status.clear();
    typeAt(g, 3, 1, u"abc"_s);
    QCOMPARE(m_frame->status, QString()); // the cell's room is not used up yet
    QTest::keyClick(g->editor(), 'd');
    QCOMPARE(g->cell(3, 1), u"abc"_s);
    QCOMPARE(m_frame->status, u"Case pleine : sujet et note d'un créneau tiennent ensemble en 248 caractères"_s);
    // Pasting past the room says so too, and keeps what fits.
    m_frame->status.clear();
    g->setCurrentCell(3, 2);
    g->editor()->insert(QString(daypage::kMaxSlotText + 5, u'p'));
    QCOMPARE(g->cell(3, 2).size(), daypage::kMaxSlotText);
    QVERIFY(m_frame->status.startsWith(u"Case pleine"_s));
    // The day notes share theirs the same way.
    m_frame->status.clear();
    typeAt(w().StringGrid2, 1, 0, QString(daypage::kMaxNoteText, u'n'));
    QTest::keyClick(w().StringGrid2->editor(), 'x');
    QCOMPARE(m_frame->status,
             u"Case pleine : les deux textes d'une note du jour tiennent ensemble en 244 caractères"_s);
}

void TestAgendaWindow::todayButton()
{
    QTest::mouseClick(w().SpeedButton5, Qt::LeftButton);
    QCOMPARE(w().currentDate(), QDate::currentDate());
}

void TestAgendaWindow::monthPicker()
{
    w().showDate(QDate(1999, 3, 31));
    QString captionAtOpen;
    m_dialog = [&](QDialog &d) {
        auto *picker = qobject_cast<TMensuel *>(&d);
        QVERIFY(picker);
        captionAtOpen = picker->Panel1->text();
        QTest::mouseClick(picker->SpeedButton1, Qt::LeftButton); // February: 28
        QCOMPARE(picker->Calendar1->calendarDate(), QDate(1999, 2, 28));
        QCOMPARE(picker->Panel1->text(), u"février 1999"_s);
        TCalendar *c = picker->Calendar1;
        c->resize(224, 154);
        // 1 February 1999 is a Monday: the 10th stands in row 2, column 3.
        QCOMPARE(c->cellText(3, 2), u"10"_s);
        QTest::mouseClick(c, Qt::LeftButton, {}, c->cellRect(3, 2).center());
    };
    QTest::mouseClick(w().SpeedButton6, Qt::LeftButton);
    QCOMPARE(captionAtOpen, u"mars 1999"_s);
    QCOMPARE(w().currentDate(), QDate(1999, 2, 10));
    QCOMPARE(w().headingText(), u"Mercredi 10 février 1999"_s);
}

void TestAgendaWindow::daySettingsKeepEntries()
{
    typeAt(w().StringGrid1, 2, rowOf(u"09:30"_s), u"demi"_s);
    typeAt(w().StringGrid1, 2, rowOf(u"10:00"_s), u"heure"_s);
    auto settings = [this](int start, int end, int scale) {
        m_dialog = [=](QDialog &d) {
            auto *jour = qobject_cast<TJour *>(&d);
            QVERIFY(jour);
            QCOMPARE(jour->windowTitle(), u"Paramétrage de la journée"_s);
            jour->SpinEdit1->setValue(start);
            jour->SpinEdit2->setValue(end);
            (scale == 1 ? jour->RadioButton1 : scale == 2 ? jour->RadioButton2 : jour->RadioButton3)->setChecked(true);
            QTest::mouseClick(jour->Button2, Qt::LeftButton);
        };
        w().DefJournee();
    };
    settings(9, 12, 3);
    QCOMPARE(w().settings(), (DaySettings{9, 12, 3}));
    QCOMPARE(w().StringGrid1->rowCount(), 1 + 10);
    QCOMPARE(w().StringGrid1->cell(0, 3), u" 09:45"_s);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:30"_s)), u"demi"_s);
    settings(8, 18, 1);
    QCOMPARE(rowOf(u"09:30"_s), -1);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"10:00"_s)), u"heure"_s);
    // Writing the day back under the hour scale keeps the half-hour appointment.
    typeAt(w().StringGrid1, 2, rowOf(u"11:00"_s), u"onze"_s);
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_PageDown);
    QTest::keyClick(w().StringGrid1->editor(), Qt::Key_PageUp);
    settings(8, 18, 2);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:30"_s)), u"demi"_s);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"11:00"_s)), u"onze"_s);
}

void TestAgendaWindow::daySettingsRefuseEndBeforeStart()
{
    m_answers << Answer::Ok;
    m_dialog = [&](QDialog &d) {
        auto *jour = qobject_cast<TJour *>(&d);
        jour->SpinEdit1->setValue(14);
        jour->SpinEdit2->setValue(9);
        QTest::mouseClick(jour->Button2, Qt::LeftButton);
        QVERIFY(!jour->accepted());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes[0].text.contains(u"heure de fin"_s));
        QTest::mouseClick(jour->Button1, Qt::LeftButton); // then "Annuler"
    };
    w().DefJournee();
    QCOMPARE(w().settings(), (DaySettings{8, 18, 2}));
}

void TestAgendaWindow::daySettingsCancelled()
{
    m_dialog = [&](QDialog &d) {
        auto *jour = qobject_cast<TJour *>(&d);
        QCOMPARE(jour->SpinEdit1->value(), 8); // Init filled it
        QVERIFY(jour->RadioButton2->isChecked());
        jour->SpinEdit1->setValue(10);
        QTest::keyClick(&d, Qt::Key_Escape);
    };
    w().DefJournee();
    QCOMPARE(w().settings(), (DaySettings{8, 18, 2}));
}

void TestAgendaWindow::rangeFromRow5ToRow2()
{
    AgendaGrid *g = w().StringGrid1;
    g->setCurrentCell(2, 5);
    w().Etendue();
    QVERIFY(w().rangePending());
    QVERIFY(!w().isModified());
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->cellRect(3, 2).center());
    QVERIFY(!w().rangePending());
    QVERIFY(w().isModified());
    for (int r = 1; r < g->rowCount(); ++r)
        QCOMPARE(g->cell(1, r), (r >= 2 && r <= 5) ? u" ["_s : QString());
    QTest::keyClick(g->editor(), Qt::Key_PageDown);
    QCOMPARE(w().agendaList().lines(),
             (QStringList{u"1999041608:30[\t"_s, u"1999041609:00[\t"_s, u"1999041609:30[\t"_s, u"1999041610:00[\t"_s}));
}

void TestAgendaWindow::pendingRangeDroppedOnDayChange()
{
    AgendaGrid *g = w().StringGrid1;
    typeAt(g, 2, 6, u"note"_s);
    g->setCurrentCell(2, 4);
    w().Etendue();
    QCOMPARE(g->cell(1, 4), u" ["_s);
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QVERIFY(!w().rangePending());
    QCOMPARE(w().agendaList().lines(), QStringList{u"1999041610:30 note\t"_s});
    QCOMPARE(g->cell(1, 1), u""_s); // the new day's first slot is not a range end
}

void TestAgendaWindow::deleteRangeAroundCursor()
{
    // One range read from a file ("[") and one made in the window, an unmarked row apart.
    writeBytes(m_dir->filePath(u"r.qva"_s), "1999041609:00[\t\r\n1999041609:30[a\tb\r\n1999041610:00[\t\r\n");
    w().Charge(m_dir->filePath(u"r.qva"_s));
    AgendaGrid *g = w().StringGrid1;
    g->setCurrentCell(2, rowOf(u"11:00"_s));
    w().Etendue();
    g->setCurrentCell(2, rowOf(u"11:30"_s));
    g->setCurrentCell(2, rowOf(u"09:30"_s));
    w().SupEtendue();
    QCOMPARE(g->cell(1, rowOf(u"09:00"_s)), u""_s);
    QCOMPARE(g->cell(1, rowOf(u"09:30"_s)), u""_s);
    QCOMPARE(g->cell(1, rowOf(u"10:00"_s)), u""_s);
    QCOMPARE(g->cell(1, rowOf(u"11:00"_s)), u" ["_s);
    QCOMPARE(g->cell(1, rowOf(u"11:30"_s)), u" ["_s);
    QVERIFY(w().isModified());
    w().showDate(kFriday.addDays(1));
    QCOMPARE(w().agendaList().lines(),
             (QStringList{u"1999041609:30 a\tb"_s, u"1999041611:00[\t"_s, u"1999041611:30[\t"_s}));
}

void TestAgendaWindow::copyAndPasteByTime()
{
    AgendaGrid *g = w().StringGrid1;
    typeAt(g, 2, rowOf(u"10:00"_s), u"Comité"_s);
    typeAt(g, 3, rowOf(u"10:30"_s), u"suite"_s);
    g->setCurrentCell(2, rowOf(u"10:00"_s));
    QTest::keyClick(g->editor(), Qt::Key_Down, Qt::ShiftModifier);
    w().Copie(m_frame->PressePapierAgenda());
    QCOMPARE(m_frame->PressePapierAgenda(), (QStringList{u"10:00 Comité\t"_s, u"10:30 \tsuite"_s}));
    w().Coupe(m_frame->PressePapierAgenda()); // the rows stay
    QCOMPARE(g->cell(2, rowOf(u"10:00"_s)), u"Comité"_s);
    QCOMPARE(m_frame->PressePapierAgenda().size(), 2);

    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    g->setCurrentCell(2, 1); // wherever the cursor is
    w().Colle(m_frame->PressePapierAgenda());
    QCOMPARE(g->cell(2, rowOf(u"10:00"_s)), u"Comité"_s);
    QCOMPARE(g->cell(3, rowOf(u"10:30"_s)), u"suite"_s);
    QVERIFY(w().isDayModified());

    m_dialog = [](QDialog &d) {
        auto *jour = qobject_cast<TJour *>(&d);
        jour->RadioButton1->setChecked(true);
        QTest::mouseClick(jour->Button2, Qt::LeftButton);
    };
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    w().DefJournee();
    w().Colle(m_frame->PressePapierAgenda());
    QCOMPARE(g->cell(2, rowOf(u"10:00"_s)), u"Comité"_s);
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QCOMPARE(w().agendaList().linesOfDay(u"19990418"_s), QStringList{u"1999041810:00 Comité\t"_s});
}

void TestAgendaWindow::editorLimitsLineLength()
{
    AgendaGrid *g = w().StringGrid1;
    typeAt(g, 3, 1, QString(40, u'n'));
    g->setCurrentCell(2, 1);
    QCOMPARE(g->editor()->maxLength(), daypage::kMaxSlotText - 40);
    typeAt(w().StringGrid2, 2, 1, QString(4, u'n'));
    w().StringGrid2->setCurrentCell(1, 1);
    QCOMPARE(w().StringGrid2->editor()->maxLength(), daypage::kMaxNoteText - 4);
}

void TestAgendaWindow::weekPage()
{
    typeAt(w().StringGrid1, 2, rowOf(u"09:00"_s), u"vendredi"_s);
    QTest::mouseClick(w().SpeedButton2, Qt::LeftButton);
    typeAt(w().StringGrid1, 2, rowOf(u"08:00"_s), u"jeudi"_s);
    typeAt(w().StringGrid1, 3, rowOf(u"08:30"_s), u"aussi"_s);
    w().Semaine();
    QCOMPARE(w().Notebook1->currentIndex(), 1);
    AgendaGrid *g = w().StringGrid3;
    QCOMPARE((QStringList{g->cell(0, 0), g->cell(1, 0), g->cell(2, 0)}),
             (QStringList{u"Jour"_s, u"Heure"_s, u"Note"_s}));
    QStringList rows;
    for (int r = 1; r < g->rowCount(); ++r)
        rows << g->cell(0, r) + u'|' + g->cell(1, r) + u'|' + g->cell(2, r);
    QCOMPARE(rows,
             (QStringList{u"dim. 11/04||"_s, u"lun. 12/04||"_s, u"mar. 13/04||"_s, u"mer. 14/04||"_s,
                          u"jeu. 15/04|08:00|jeudi"_s, u"|08:30|aussi"_s, u"ven. 16/04|09:00|vendredi"_s,
                          u"sam. 17/04||"_s}));
    w().Journee();
    QCOMPARE(w().Notebook1->currentIndex(), 0);
}

void TestAgendaWindow::chargeShowsEachDay()
{
    const QString path = m_dir->filePath(u"rdv.qva"_s);
    writeBytes(path, "1999041710:00 samedi\t\r\n1999041609:00[R\xe9union\tsalle 2\n1999041616/04/1999F\xeate\t\r");
    w().Charge(path);
    QCOMPARE(w().NomFichier(), path);
    QVERIFY(!w().isModified());
    QCOMPARE(w().StringGrid1->cell(1, rowOf(u"09:00"_s)), u" ["_s);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:00"_s)), u"Réunion"_s);
    QCOMPARE(w().StringGrid2->cell(1, 0), u"Fête"_s);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"10:00"_s)), u""_s);
    QTest::mouseClick(w().SpeedButton3, Qt::LeftButton);
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"10:00"_s)), u"samedi"_s);
    QVERIFY(!w().isModified()); // moving about changes nothing
}

void TestAgendaWindow::chargeFailure()
{
    const QString path = m_dir->filePath(u"absent.qva"_s);
    w().Charge(path);
    QCOMPARE(m_errors, QStringList{u"Ne peut ouvrir le fichier "_s + path});
    QCOMPARE(w().NomFichier(), path);
    QVERIFY(w().agendaList().isEmpty());
}

void TestAgendaWindow::saveWritesOnlyWhenChanged()
{
    const QString path = m_dir->filePath(u"rdv.qva"_s);
    writeBytes(path, "1999041609:00 a\t\n");
    w().Charge(path);
    QFile::remove(path);
    w().Sauve();
    QVERIFY(!QFile::exists(path)); // unchanged: nothing written
    QVERIFY(!w().SaveAs()); // cancelled: nothing written
    QVERIFY(!QFile::exists(path));
    m_saveNames << path;
    QVERIFY(w().SaveAs()); // unchanged, yet written under the name chosen
    QCOMPARE(fileBytes(path), QByteArray("1999041609:00 a\t\r\n"));
    QVERIFY(!w().isModified());
    typeAt(w().StringGrid1, 3, rowOf(u"09:00"_s), u"b"_s);
    w().Sauve();
    QCOMPARE(fileBytes(path), QByteArray("1999041609:00 a\tb\r\n"));
    QVERIFY(m_errors.isEmpty());
}

void TestAgendaWindow::saveAsAppliesNameRule()
{
    typeAt(w().StringGrid1, 2, 1, u"x"_s);
    const QString dotted = m_dir->filePath(u"mes.docs"_s);
    QDir().mkpath(dotted);
    m_saveNames << dotted + u"/rdv.2024.txt"_s;
    QVERIFY(w().SaveAs());
    const QString expected = dotted + u"/rdv.qva"_s;
    QCOMPARE(w().NomFichier(), expected);
    QCOMPARE(w().windowTitle(), u"rdv.qva"_s);
    QCOMPARE(fileBytes(expected), QByteArray("1999041608:00 x\t\r\n"));
    QVERIFY(!w().isModified());
}

void TestAgendaWindow::saveRefusedCharactersAsks()
{
    const QString path = m_dir->filePath(u"rdv.qva"_s);
    m_saveNames << path;
    typeAt(w().StringGrid1, 2, 1, u"a→b"_s);
    m_answers << Answer::Non;
    w().Sauve();
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(m_boxes[0].text.contains(u"« ? »"_s));
    QVERIFY(!QFile::exists(path));
    QVERIFY(w().isModified());
    QVERIFY(w().NomFichier().isEmpty()); // a save not made keeps no name
    m_answers << Answer::Oui;
    m_saveNames << path;
    w().Sauve();
    QCOMPARE(fileBytes(path), QByteArray("1999041608:00 a?b\t\r\n"));
}

void TestAgendaWindow::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("Annuler") << int(Answer::Annuler) << u"rdv"_s << false << false;
    QTest::newRow("Non") << int(Answer::Non) << u"rdv"_s << true << false;
    QTest::newRow("Oui") << int(Answer::Oui) << u"rdv"_s << true << true;
    QTest::newRow("Oui, name dialog cancelled") << int(Answer::Oui) << u""_s << false << false;
}

void TestAgendaWindow::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(QString, saveName);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    QVERIFY(closeWindow()); // nothing changed: no question
    QVERIFY(m_boxes.isEmpty());
    typeAt(w().StringGrid1, 2, 1, u"x"_s);
    m_answers << Answer(answer);
    m_saveNames << (saveName.isEmpty() ? QString() : m_dir->filePath(saveName));
    QCOMPARE(closeWindow(), closes);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, u"Avertissement"_s);
    QCOMPARE(m_boxes[0].text, u"Sauver modifications dans Agenda ?"_s); // no name yet: the caption
    QCOMPARE(QFile::exists(m_dir->filePath(u"rdv.qva"_s)), written);
    QCOMPARE(w().isModified(), !written);
}

void TestAgendaWindow::closeWithFailedSaveStaysOpen()
{
    const QString path = m_dir->filePath(u"rdv.qva"_s);
    writeBytes(path, "1999041609:00 ancien\t\r\n");
    w().Charge(path);
    typeAt(w().StringGrid1, 2, rowOf(u"09:00"_s), u"nouveau"_s);
    // The directory disappears under the document: the save cannot create its file.
    QVERIFY(m_dir->remove());
    m_answers << Answer::Oui;
    QVERIFY(!closeWindow());
    QCOMPARE(m_boxes.last().text, u"Sauver modifications dans rdv.qva ?"_s);
    QCOMPARE(m_errors, QStringList{u"Ne peut créer le fichier "_s + path});
    QVERIFY(w().isModified());
    QCOMPARE(w().StringGrid1->cell(2, rowOf(u"09:00"_s)), u"nouveau"_s);
}

QTEST_MAIN(TestAgendaWindow)
#include "tst_agendawindow.moc"
