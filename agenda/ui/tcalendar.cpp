#include "agenda/ui/tcalendar.h"

#include "common/frenchformat.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kLine = 1;

bool inRange(const QDate &d) { return d.isValid() && d.year() >= 1 && d.year() <= 9999; }

QDate clampedDate(int year, int month, int day)
{
    const QDate first(year, month, 1);
    return first.isValid() ? QDate(year, month, qMin(day, first.daysInMonth())) : QDate();
}
} // namespace

TCalendar::TCalendar(QWidget *parent)
    : QWidget(parent),
      m_date(QDate::currentDate()),
      m_color(palette().color(QPalette::Base))
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(7 * 20, 7 * 16);
}

void TCalendar::setDate(const QDate &date)
{
    if (!inRange(date) || date == m_date)
        return;
    m_date = date;
    update();
    Q_EMIT changed();
}

void TCalendar::setCalendarDate(const QDate &date) { setDate(date); }

void TCalendar::setDay(int n)
{
    if (n < 1 || n > m_date.daysInMonth() || n == day())
        return;
    setDate(QDate(year(), month(), n));
}

void TCalendar::setMonth(int n)
{
    if (n < 1 || n > 12 || n == month())
        return;
    setDate(clampedDate(year(), n, day()));
}

void TCalendar::setYear(int n)
{
    if (n < 1 || n > 9999 || n == year())
        return;
    setDate(clampedDate(n, month(), day()));
}

void TCalendar::prevMonth()
{
    setDate(month() == 1 ? clampedDate(year() - 1, 12, day()) : clampedDate(year(), month() - 1, day()));
}

void TCalendar::nextMonth()
{
    setDate(month() == 12 ? clampedDate(year() + 1, 1, day()) : clampedDate(year(), month() + 1, day()));
}

void TCalendar::setStartOfWeek(int weekday)
{
    m_startOfWeek = ((weekday % 7) + 7) % 7;
    update();
}

void TCalendar::setColor(const QColor &color)
{
    m_color = color;
    update();
}

int TCalendar::firstColumn() const
{
    const int weekday = QDate(year(), month(), 1).dayOfWeek() % 7; // 0 = Sunday
    return (weekday - m_startOfWeek + 7) % 7;
}

int TCalendar::dayAt(int col, int row) const
{
    if (col < 0 || col >= kCols || row < 1 || row >= kRows)
        return 0;
    const int n = (row - 1) * kCols + col - firstColumn() + 1;
    return (n >= 1 && n <= m_date.daysInMonth()) ? n : 0;
}

QString TCalendar::cellText(int col, int row) const
{
    if (row == 0) {
        const int weekday = (m_startOfWeek + col) % 7; // 0 = Sunday
        return french::shortDayName(weekday == 0 ? 7 : weekday);
    }
    const int n = dayAt(col, row);
    return n ? QString::number(n) : QString();
}

QPoint TCalendar::currentCell() const
{
    const int index = firstColumn() + day() - 1;
    return QPoint(index % kCols, index / kCols + 1);
}

int TCalendar::colWidth() const { return (width() - (kCols - 1) * kLine) / kCols; }
int TCalendar::rowHeight() const { return (height() - (kRows - 1) * kLine) / kRows; }

QRect TCalendar::cellRect(int col, int row) const
{
    return QRect(col * (colWidth() + kLine), row * (rowHeight() + kLine), colWidth(), rowHeight());
}

void TCalendar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QPoint current = currentCell();
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            const QRect r = cellRect(col, row);
            QColor back = row == 0 ? palette().color(QPalette::Button) : m_color;
            QColor fore = palette().color(QPalette::Text);
            if (row > 0 && QPoint(col, row) == current) {
                back = palette().color(QPalette::Highlight);
                fore = palette().color(QPalette::HighlightedText);
            }
            p.fillRect(r, back);
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawLine(r.right() + 1, r.top(), r.right() + 1, r.bottom() + 1);
            p.drawLine(r.left(), r.bottom() + 1, r.right() + 1, r.bottom() + 1);
            p.setPen(fore);
            p.drawText(r, Qt::AlignCenter, cellText(col, row));
            if (row > 0 && QPoint(col, row) == current && hasFocus()) {
                p.setPen(QPen(fore, 1, Qt::DotLine));
                p.drawRect(r.adjusted(1, 1, -2, -2));
            }
        }
    }
}

void TCalendar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    const QPoint pos = event->position().toPoint();
    const int col = qMin(kCols - 1, pos.x() / (colWidth() + kLine));
    const int row = qMin(kRows - 1, pos.y() / (rowHeight() + kLine));
    if (row < 1 || col < 0)
        return;
    const int n = dayAt(col, row); // read before the click handler may change the month
    Q_EMIT clicked();
    if (n)
        setDay(n);
}

void TCalendar::keyPressEvent(QKeyEvent *event)
{
    QPoint to = currentCell();
    switch (event->key()) {
    case Qt::Key_Left: to.rx() -= 1; break;
    case Qt::Key_Right: to.rx() += 1; break;
    case Qt::Key_Up: to.ry() -= 1; break;
    case Qt::Key_Down: to.ry() += 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    const int n = dayAt(to.x(), to.y());
    if (!n)
        return; // a cell without a day cannot be chosen
    Q_EMIT clicked();
    setDay(n);
}
