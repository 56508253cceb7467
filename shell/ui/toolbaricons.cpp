#include "shell/ui/toolbaricons.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>
#include <tuple>

namespace toolbaricons {
namespace {

// One palette for every picture: ink for outlines, paper, one accent.
const QColor kInk(0x33, 0x3a, 0x44);
const QColor kPaper(0xfb, 0xfb, 0xf6);
const QColor kAccent(0x2a, 0x6f, 0xb8);
const QColor kWarm(0xd8, 0x9b, 0x2b);

using Painter = void (*)(QPainter &);

void page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
}

void letter(QPainter &p, const QString &s, bool bold, bool italic, bool under)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(13);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(under);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, s);
}

void lines(QPainter &p, Qt::Alignment a)
{
    p.setPen(QPen(kInk, 1.4));
    const int widths[] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const qreal x = a == Qt::AlignLeft ? 2 : a == Qt::AlignRight ? 14 - w : 8 - w / 2.0;
        p.drawLine(QPointF(x, 3 + i * 3.3), QPointF(x + w, 3 + i * 3.3));
    }
}

void open(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kWarm);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kWarm.lighter(125));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void save(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void undo(QPainter &p)
{
    p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(4, 6);
    arc.cubicTo(7, 2.5, 14, 3, 13, 9);
    arc.cubicTo(12.5, 12, 9, 13, 7, 13);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF({QPointF(1, 7.5), QPointF(6.5, 2.5), QPointF(7, 8.5)}));
}

void cut(QPainter &p)
{
    p.setPen(QPen(kInk, 1.3));
    p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, 1.5));
    p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
}

void copy(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    page(p, QRectF(1.5, 1.5, 8, 10));
    page(p, QRectF(6.5, 4.5, 8, 10));
}

void paste(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kWarm);
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
    p.setBrush(kInk);
    p.drawRect(QRectF(4, 1, 5, 3));
    page(p, QRectF(6.5, 6.5, 8, 8.5));
}

void print(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    page(p, QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(0xb8, 0xbf, 0xc8));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
    page(p, QRectF(4.5, 10.5, 7, 4.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xa0, 0x4c));
    p.drawEllipse(QPointF(12.5, 8.5), 0.9, 0.9);
}

void bold(QPainter &p) { letter(p, QStringLiteral("G"), true, false, false); }
void italic(QPainter &p) { letter(p, QStringLiteral("I"), false, true, false); }
void underline(QPainter &p) { letter(p, QStringLiteral("S"), false, false, true); }
void alignLeft(QPainter &p) { lines(p, Qt::AlignLeft); }
void alignCenter(QPainter &p) { lines(p, Qt::AlignHCenter); }
void alignRight(QPainter &p) { lines(p, Qt::AlignRight); }

void sum(QPainter &p)
{
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(12.5, 3.5), QPointF(12.5, 2), QPointF(3, 2), QPointF(8, 8), QPointF(3, 14),
                              QPointF(12.5, 14), QPointF(12.5, 12.5)}));
}

void envelope(QPainter &p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(11, 5, 2.5, 2.5));
}

const QHash<QString, Painter> &painters()
{
    static const QHash<QString, Painter> h = {
            {QStringLiteral("OpenBtn"), open},           {QStringLiteral("SaveBtn"), save},
            {QStringLiteral("SpeedButton1"), undo},      {QStringLiteral("CutBtn"), cut},
            {QStringLiteral("CopyBtn"), copy},           {QStringLiteral("PasteBtn"), paste},
            {QStringLiteral("SpeedButton9"), print},     {QStringLiteral("BoldButton"), bold},
            {QStringLiteral("ItalButton"), italic},      {QStringLiteral("UnderButton"), underline},
            {QStringLiteral("LeftButton"), alignLeft},   {QStringLiteral("CenterButton"), alignCenter},
            {QStringLiteral("RightButton"), alignRight}, {QStringLiteral("SumButton"), sum},
            {QStringLiteral("EnvButton"), envelope},
    };
    return h;
}

void program(QPainter &p)
{
    // Four tiles, one per kind of document, on a rounded square (drawn on a 64-unit grid).
    p.scale(16 / 64.0, 16 / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    const QColor tiles[4] = {kPaper, QColor(0x8c, 0xc8, 0x6a), kWarm, kAccent.lighter(140)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(tiles[i]);
        p.drawRoundedRect(QRectF(9 + (i % 2) * 24, 9 + (i / 2) * 24, 22, 22), 3, 3);
    }
    p.setPen(QPen(kInk, 2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(13, 15 + i * 5), QPointF(i == 2 ? 22 : 27, 15 + i * 5));
}

// A picture drawn on a 16-unit grid, at `size` pixels square.
QPixmap render(Painter fn, int size, bool disabled)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    if (disabled)
        p.setOpacity(0.35);
    fn(p);
    return pm;
}

// Draws its picture only when a size of it is first asked for (a button being painted, a
// window showing its icon), then keeps it: starting the program paints no picture that the
// first frame does not show.
class PaintedIconEngine : public QIconEngine
{
public:
    // `disabledPicture`: the disabled state has a faded picture of its own, otherwise every
    // state shows the normal one.
    PaintedIconEngine(Painter fn, bool disabledPicture) : m_fn(fn), m_disabledPicture(disabledPicture) { }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMax(1, qMin(size.width(), size.height()));
        const bool disabled = m_disabledPicture && mode == QIcon::Disabled;
        // One cache for every copy of the icon: the frame, its windows and the application
        // share their renderings.
        static std::map<std::tuple<Painter, int, bool>, QPixmap> cache;
        const std::tuple<Painter, int, bool> key{m_fn, side, disabled};
        auto it = cache.find(key);
        if (it == cache.end())
            it = cache.emplace(key, render(m_fn, side, disabled)).first;
        if (size.width() == size.height())
            return it->second;
        // A rectangle: the square picture centred in it.
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.drawPixmap((size.width() - side) / 2, (size.height() - side) / 2, it->second);
        return pm;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * dpr, mode, state);
        pm.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect.topLeft(), pm);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_fn, m_disabledPicture); }
    QString key() const override { return QStringLiteral("velmora-painted"); }

private:
    Painter m_fn;
    bool m_disabledPicture;
};

} // namespace

QIcon icon(const QString &component)
{
    const Painter fn = painters().value(component);
    if (!fn)
        return QIcon();
    // The envelope keeps a picture of its own for the disabled state, as every button does.
    return QIcon(new PaintedIconEngine(fn, true));
}

QPixmap programPixmap(int size) { return render(program, size, false); }

QIcon programIcon()
{
    static const QIcon ic(new PaintedIconEngine(program, false));
    return ic;
}

} // namespace toolbaricons
