// The month grid: seven columns of weekdays under a heading row of short French day names,
// the days of the calendar date's month below, the calendar date as the current cell.
// Only cells showing a day can be chosen; a click or an arrow key raises clicked() first
// and then moves the calendar date to the day chosen.
#pragma once

#include <QColor>
#include <QDate>
#include <QWidget>

class TCalendar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kCols = 7;
    static constexpr int kRows = 7;

    explicit TCalendar(QWidget *parent = nullptr); // on today's date

    QDate calendarDate() const { return m_date; }
    // Raises changed() when the date differs; dates outside years 1..9999 are ignored.
    void setCalendarDate(const QDate &date);

    int day() const { return m_date.day(); }
    int month() const { return m_date.month(); }
    int year() const { return m_date.year(); }
    // Ignored when n < 1, n is beyond the month's last day, or n is the current day.
    void setDay(int n);
    // Ignored when n < 1, n > 12 or unchanged; a day the new month lacks becomes its last.
    void setMonth(int n);
    // Ignored when n < 1, n > 9999 or unchanged; 29 February becomes 28 in a common year.
    void setYear(int n);
    // The month before or after, the day reduced to the new month's length.
    void prevMonth();
    void nextMonth();

    // Weekday of column 0: 0 Sunday ... 6 Saturday.
    int startOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(int weekday);

    void setColor(const QColor &color); // background of the day cells
    QColor color() const { return m_color; }

    // Text shown in a cell: a short day name in row 0, a day number or nothing below.
    QString cellText(int col, int row) const;
    int dayAt(int col, int row) const; // 0 when the cell shows no day
    QPoint currentCell() const;
    QRect cellRect(int col, int row) const;
    int colWidth() const;
    int rowHeight() const;

Q_SIGNALS:
    void changed(); // the calendar date changed
    void clicked(); // a cell was clicked or reached with an arrow key

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int firstColumn() const; // column of the 1st of the month
    void setDate(const QDate &date);

    QDate m_date;
    int m_startOfWeek = 0;
    QColor m_color;
};
