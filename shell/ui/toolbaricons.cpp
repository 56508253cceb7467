#include "shell/ui/toolbaricons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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

} // namespace

QIcon icon(const QString &component)
{
    const Painter fn = painters().value(component);
    if (!fn)
        return QIcon();
    QIcon ic;
    for (int size : {16, 32}) {
        ic.addPixmap(render(fn, size, false), QIcon::Normal);
        // The envelope keeps a picture of its own for the disabled state.
        ic.addPixmap(render(fn, size, true), QIcon::Disabled);
    }
    return ic;
}

QPixmap programPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // Four tiles, one per kind of document, on a rounded square.
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
    return pm;
}

QIcon programIcon()
{
    QIcon ic;
    for (int size : {16, 32, 48, 64, 128})
        ic.addPixmap(programPixmap(size));
    return ic;
}

} // namespace toolbaricons
