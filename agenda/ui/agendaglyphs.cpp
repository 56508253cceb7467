#include "agenda/ui/agendaglyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace agendaglyphs {
namespace {
constexpr int kSize = 16;

QPixmap blank()
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

void triangle(QPainter &p, int tipX, bool left)
{
    QPolygon t;
    const int w = 5;
    if (left)
        t << QPoint(tipX, 8) << QPoint(tipX + w, 3) << QPoint(tipX + w, 13);
    else
        t << QPoint(tipX, 8) << QPoint(tipX - w, 3) << QPoint(tipX - w, 13);
    p.drawPolygon(t);
}
} // namespace

QIcon arrow(Arrow direction, bool doubled)
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    const bool left = direction == Arrow::Left;
    if (doubled) {
        triangle(p, left ? 2 : 8, left);
        triangle(p, left ? 8 : 14, left);
    } else {
        triangle(p, left ? 5 : 11, left);
    }
    return QIcon(pm);
}

QIcon today()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QRectF(4, 4, 8, 8));
    return QIcon(pm);
}

QIcon calendar()
{
    QPixmap pm = blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(200, 0, 0));
    p.setPen(QColor(64, 64, 64));
    for (int y = 8; y <= 12; y += 2)
        for (int x = 3; x <= 12; x += 3)
            p.drawPoint(x, y);
    return QIcon(pm);
}

} // namespace agendaglyphs
