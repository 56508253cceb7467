// The month grid, the agenda's month picker and the desk calendar.
#include "agenda/ui/tcalendar.h"
#include "agenda/ui/tcalendrier.h"
#include "agenda/ui/tmensuel.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestAgendaCalendar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void geometry();
    void setters();
    void monthSteps_data();
    void monthSteps();
    void clickOrder();
    void arrowKeys();
    void pickerCaption();
    void pickerCloses_data();
    void pickerCloses();
    void deskCalendar();
    void deskCalendarKeys();

private:
    static QStringList rowTexts(const TCalendar &c, int row);
};

QStringList TestAgendaCalendar::rowTexts(const TCalendar &c, int row)
{
    QStringList out;
    for (int col = 0; col < TCalendar::kCols; ++col)
        out << c.cellText(col, row);
    return out;
}

void TestAgendaCalendar::layout_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QStringList>("row1");
    QTest::addColumn<QStringList>("row6");
    QTest::newRow("1st on a Saturday (May 1999)")
            << QDate(1999, 5, 20) << QStringList{u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u"1"_s}
            << QStringList{u"30"_s, u"31"_s, u""_s, u""_s, u""_s, u""_s, u""_s};
    QTest::newRow("31 days from a Friday (October 1999)")
            << QDate(1999, 10, 1) << QStringList{u""_s, u""_s, u""_s, u""_s, u""_s, u"1"_s, u"2"_s}
            << QStringList{u"31"_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s};
    QTest::newRow("February 2009 fills four rows")
            << QDate(2009, 2, 14) << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s}
            << QStringList{u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s};
}

void TestAgendaCalendar::layout()
{
    QFETCH(QDate, date);
    QFETCH(QStringList, row1);
    QFETCH(QStringList, row6);
    TCalendar c;
    c.setCalendarDate(date);
    QCOMPARE(rowTexts(c, 0),
             (QStringList{u"dim."_s, u"lun."_s, u"mar."_s, u"mer."_s, u"jeu."_s, u"ven."_s, u"sam."_s}));
    QCOMPARE(rowTexts(c, 1), row1);
    QCOMPARE(rowTexts(c, 6), row6);
    const QPoint cur = c.currentCell();
    QCOMPARE(c.cellText(cur.x(), cur.y()), QString::number(date.day()));
}

void TestAgendaCalendar::geometry()
{
    TCalendar c;
    c.resize(7 * 30 + 6 + 5, 7 * 20 + 6 + 3);
    QCOMPARE(c.colWidth(), 30); // (width - 6 lines) div 7
    QCOMPARE(c.rowHeight(), 20);
    QCOMPARE(c.cellRect(2, 3), QRect(62, 63, 30, 20));
}

void TestAgendaCalendar::setters()
{
    TCalendar c;
    c.setCalendarDate(QDate(1999, 4, 16));
    QSignalSpy changed(&c, &TCalendar::changed);
    c.setDay(0);
    c.setDay(31); // April has 30 days
    c.setDay(16); // the current day
    c.setMonth(0);
    c.setMonth(13);
    c.setMonth(4);
    c.setYear(0);
    c.setYear(1999);
    QCOMPARE(changed.count(), 0);
    c.setDay(30);
    QCOMPARE(c.calendarDate(), QDate(1999, 4, 30));
    c.setMonth(2);
    QCOMPARE(c.calendarDate(), QDate(1999, 2, 28));
    c.setDay(29); // 1999 is no leap year
    QCOMPARE(c.day(), 28);
    c.setYear(2000);
    c.setDay(29);
    QCOMPARE(c.calendarDate(), QDate(2000, 2, 29));
    c.setYear(1900); // not a leap year: the century rule
    QCOMPARE(c.calendarDate(), QDate(1900, 2, 28));
    QCOMPARE(changed.count(), 5);
}

void TestAgendaCalendar::monthSteps_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<bool>("next");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 March 1999, back") << QDate(1999, 3, 31) << false << QDate(1999, 2, 28);
    QTest::newRow("31 March 2000, back") << QDate(2000, 3, 31) << false << QDate(2000, 2, 29);
    QTest::newRow("31 March 1900, back") << QDate(1900, 3, 31) << false << QDate(1900, 2, 28);
    QTest::newRow("31 May, on") << QDate(1999, 5, 31) << true << QDate(1999, 6, 30);
    QTest::newRow("January, back") << QDate(2000, 1, 15) << false << QDate(1999, 12, 15);
    QTest::newRow("December, on") << QDate(1999, 12, 31) << true << QDate(2000, 1, 31);
}

void TestAgendaCalendar::monthSteps()
{
    QFETCH(QDate, from);
    QFETCH(bool, next);
    QFETCH(QDate, expected);
    TCalendar c;
    c.setCalendarDate(from);
    QSignalSpy changed(&c, &TCalendar::changed);
    next ? c.nextMonth() : c.prevMonth();
    QCOMPARE(c.calendarDate(), expected);
    QCOMPARE(changed.count(), 1);
}

void TestAgendaCalendar::clickOrder()
{
    TCalendar c;
    c.resize(7 * 30 + 6, 7 * 20 + 6);
    c.setCalendarDate(QDate(1999, 5, 20));
    QStringList order;
    connect(&c, &TCalendar::clicked, &c, [&] { order << u"click %1"_s.arg(c.day()); });
    connect(&c, &TCalendar::changed, &c, [&] { order << u"change %1"_s.arg(c.day()); });
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.cellRect(1, 3).center()); // the 10th
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.cellRect(0, 1).center()); // empty
    QTest::mouseClick(&c, Qt::LeftButton, {}, c.cellRect(2, 0).center()); // heading
    QCOMPARE(order, (QStringList{u"click 20"_s, u"change 10"_s, u"click 10"_s}));
}

void TestAgendaCalendar::arrowKeys()
{
    TCalendar c;
    c.setCalendarDate(QDate(1999, 5, 1)); // Saturday, column 6 of row 1
    QSignalSpy clicked(&c, &TCalendar::clicked);
    QTest::keyClick(&c, Qt::Key_Left); // column 5 is empty: cannot be chosen
    QTest::keyClick(&c, Qt::Key_Up); // the heading row
    QTest::keyClick(&c, Qt::Key_Right); // beyond the grid
    QCOMPARE(c.day(), 1);
    QCOMPARE(clicked.count(), 0);
    QTest::keyClick(&c, Qt::Key_Down);
    QCOMPARE(c.day(), 8);
    QTest::keyClick(&c, Qt::Key_Left);
    QCOMPARE(c.day(), 7);
    QCOMPARE(clicked.count(), 2);
}

void TestAgendaCalendar::pickerCaption()
{
    TMensuel picker;
    QCOMPARE(picker.windowTitle(), u"Calendrier"_s);
    picker.Init(QDate(2000, 1, 15));
    QCOMPARE(picker.Panel1->text(), u"janv. 2000"_s);
    QTest::mouseClick(picker.SpeedButton2, Qt::LeftButton);
    QCOMPARE(picker.Panel1->text(), u"février 2000"_s);
    QDate d;
    picker.Result(d);
    QCOMPARE(d, QDate(2000, 2, 15));
    picker.Init(QDate(1999, 5, 31));
    QTest::mouseClick(picker.SpeedButton2, Qt::LeftButton);
    picker.Result(d);
    QCOMPARE(d, QDate(1999, 6, 30));
}

void TestAgendaCalendar::pickerCloses_data()
{
    // The picker opens on 20 May 1999 (the 1st is a Saturday, column 6 of row 1).
    QTest::addColumn<QPoint>("cell"); // clicked; (-1, -1) for the Up arrow key
    QTest::addColumn<QDate>("picked");
    QTest::newRow("click on a day") << QPoint(3, 2) << QDate(1999, 5, 5);
    QTest::newRow("click on an empty cell") << QPoint(0, 1) << QDate(1999, 5, 20);
    QTest::newRow("arrow key to the day above") << QPoint(-1, -1) << QDate(1999, 5, 13);
}

void TestAgendaCalendar::pickerCloses()
{
    QFETCH(QPoint, cell);
    QFETCH(QDate, picked);
    TMensuel picker;
    picker.Init(QDate(1999, 5, 20));
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    TCalendar *c = picker.Calendar1;
    if (cell.x() < 0)
        QTest::keyClick(c, Qt::Key_Up);
    else
        QTest::mouseClick(c, Qt::LeftButton, {}, c->cellRect(cell.x(), cell.y()).center());
    QVERIFY(!picker.isVisible());
    QDate d;
    picker.Result(d);
    QCOMPARE(d, picked);
}

void TestAgendaCalendar::deskCalendar()
{
    TCalendrier cal;
    QCOMPARE(cal.windowTitle(), u"Calendrier"_s);
    QVERIFY(!(cal.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(cal.windowFlags() & Qt::WindowMinimizeButtonHint));
    QCOMPARE(cal.Calendar1->calendarDate(), QDate::currentDate());
    QCOMPARE(cal.BitBtn1->text(), u"Mois"_s);
    QCOMPARE(cal.BitBtn2->text(), u"Mois"_s);
    QCOMPARE(cal.Button1->text(), u"Fermer"_s);
    QCOMPARE(cal.Calendar1->startOfWeek(), 0);
    cal.Calendar1->setCalendarDate(QDate(1999, 3, 31));
    cal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cal));
    QCOMPARE(cal.Label1->text(), u"mars  1999"_s);
    QCOMPARE(cal.Label1->width(), 372);
    QCOMPARE(cal.Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    QTest::mouseClick(cal.BitBtn2, Qt::LeftButton);
    QCOMPARE(cal.Label1->text(), u"avril  1999"_s);
    QCOMPARE(cal.Calendar1->calendarDate(), QDate(1999, 4, 30));
    QTest::mouseClick(cal.Button1, Qt::LeftButton);
    QVERIFY(!cal.isVisible());
    cal.show(); // the month shown last is kept
    QCOMPARE(cal.Label1->text(), u"avril  1999"_s);
}

void TestAgendaCalendar::deskCalendarKeys()
{
    TCalendrier cal;
    cal.Calendar1->setCalendarDate(QDate(2000, 3, 31));
    cal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cal));
    QTest::keyClick(cal.Calendar1, Qt::Key_PageUp);
    QCOMPARE(cal.Calendar1->calendarDate(), QDate(2000, 2, 29));
    QCOMPARE(cal.Label1->text(), u"février  2000"_s);
    QTest::keyClick(cal.BitBtn1, Qt::Key_PageDown);
    QCOMPARE(cal.Calendar1->calendarDate(), QDate(2000, 3, 29));
    QTest::keyClick(cal.Button1, Qt::Key_Escape);
    QVERIFY(!cal.isVisible());
}

QTEST_MAIN(TestAgendaCalendar)
#include "tst_agendacalendar.moc"
