#include "utilities/ui/spinbutton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// A tool button with a small filled triangle: the style's own arrows vanish on buttons
// this low.
class ArrowButton : public QToolButton
{
public:
    ArrowButton(bool up, QWidget *parent) : QToolButton(parent), m_up(up) { }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QToolButton::paintEvent(event);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(isEnabled() ? palette().color(QPalette::ButtonText) : palette().color(QPalette::Mid));
        const int half = qMax(2, qMin(width() / 4, height() / 3));
        const int cx = width() / 2;
        const int cy = height() / 2 + (isDown() ? 1 : 0);
        QPolygon t;
        if (m_up)
            t << QPoint(cx, cy - half / 2 - 1) << QPoint(cx - half, cy + half / 2) << QPoint(cx + half, cy + half / 2);
        else
            t << QPoint(cx, cy + half / 2 + 1) << QPoint(cx - half, cy - half / 2) << QPoint(cx + half, cy - half / 2);
        p.drawPolygon(t);
    }

private:
    bool m_up;
};
} // namespace

SpinButton::SpinButton(QWidget *parent) : QWidget(parent)
{
    auto make = [this](bool up) {
        auto *b = new ArrowButton(up, this);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setMinimumSize(8, 6);
        b->setPalette(QPalette());
        return b;
    };
    m_up = make(true);
    m_down = make(false);
    m_up->setObjectName(QStringLiteral("SpinUp"));
    m_down->setObjectName(QStringLiteral("SpinDown"));
    setFocusPolicy(Qt::TabFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2); // room for the focus frame
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &SpinButton::upClick);
    connect(m_down, &QToolButton::clicked, this, &SpinButton::downClick);
}

void SpinButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up && !event->modifiers()) {
        Q_EMIT upClick();
        return;
    }
    if (event->key() == Qt::Key_Down && !event->modifiers()) {
        Q_EMIT downClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SpinButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void SpinButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void SpinButton::paintEvent(QPaintEvent *)
{
    // A frame in the highlight colour around the arrows while they have the focus.
    QPainter p(this);
    p.fillRect(rect(), hasFocus() ? QPalette().color(QPalette::Highlight) : QColor(Qt::transparent));
}
