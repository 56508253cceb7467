#include "text/ui/ruler.h"

#include <QMouseEvent>
#include <QPainter>

// Markers

RulerMarker::RulerMarker(Shape shape, QWidget *parent) : QWidget(parent), m_shape(shape)
{
    switch (shape) {
    case Shape::FirstLine:
        setObjectName(QStringLiteral("FirstInd"));
        setGeometry(2, 2, 13, 12);
        setToolTip(QStringLiteral("Retrait de première ligne"));
        break;
    case Shape::Left:
        setObjectName(QStringLiteral("LeftInd"));
        setGeometry(2, 15, 13, 13);
        setToolTip(QStringLiteral("Retrait à gauche"));
        break;
    case Shape::Right:
        setObjectName(QStringLiteral("RightInd"));
        setGeometry(708, 17, 12, 16);
        setToolTip(QStringLiteral("Retrait à droite"));
        break;
    }
    setCursor(Qt::SizeHorCursor);
}

void RulerMarker::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    const int w = width();
    const int mid = (w - 1) / 2;
    QPolygon shape;
    switch (m_shape) {
    case Shape::FirstLine: // points down at the line, from above it
        shape << QPoint(mid - 5, 3) << QPoint(mid + 5, 3) << QPoint(mid, 10);
        break;
    case Shape::Left: // points up at the line, from below it
        shape << QPoint(mid, 1) << QPoint(mid - 5, 7) << QPoint(mid + 5, 7);
        p.drawRect(mid - 5, 8, 10, 3);
        break;
    case Shape::Right: shape << QPoint(mid, 0) << QPoint(mid - 5, 6) << QPoint(mid + 5, 6); break;
    }
    p.drawPolygon(shape);
}

void RulerMarker::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        Q_EMIT pressed(int(e->position().x()));
}

void RulerMarker::mouseMoveEvent(QMouseEvent *e)
{
    if (e->buttons() & Qt::LeftButton)
        Q_EMIT moved(int(e->position().x()));
}

void RulerMarker::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        Q_EMIT released();
}

// Ruler

Ruler::Ruler(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFixedHeight(kHeight);
    setAutoFillBackground(true);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(15);
    setFont(f);
}

void Ruler::setTicks(int origin, int step)
{
    m_origin = origin;
    m_step = qMax(4, step);
    update();
}

void Ruler::setTabStops(const QList<int> &xs)
{
    if (xs == m_tabStops)
        return;
    m_tabStops = xs;
    update();
}

QRect Ruler::rulerLine() const { return QRect(5, 15, qMax(0, width() - 2 * 5), 2); }

void Ruler::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    // Lowered inner bevel inside a border of one pixel.
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    // The top line the markers point at.
    p.fillRect(rulerLine(), palette().color(QPalette::Shadow));
    // The paragraph's tab stops, as an "L": a stem and a foot to the right.
    p.setPen(Qt::black);
    int last = 0;
    for (int x : std::as_const(m_tabStops)) {
        p.fillRect(x - 1, 19, 2, 9, Qt::black);
        p.fillRect(x - 1, 26, 7, 2, Qt::black);
        last = qMax(last, x);
    }
    // A bar at every default tab stop after them.
    for (int x = m_origin + m_step; x < r.width() - 4; x += m_step)
        if (x > last)
            p.drawLine(x, 19, x, 27);
}
