#include "agenda/ui/tcalendrier.h"

#include "agenda/ui/agendaglyphs.h"
#include "agenda/ui/tcalendar.h"
#include "common/frenchformat.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QColor kTeal(0, 128, 128);
const QColor kLime(0, 255, 0);
constexpr int kLabelWidth = 372;
} // namespace

TCalendrier::TCalendrier(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Calendrier"));
    setWindowTitle(QStringLiteral("Calendrier"));
    // Only a close box in the title bar.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(true);
    QFont system(QStringLiteral("System"));
    system.setPixelSize(17);
    setFont(system);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(96);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette teal = panel->palette();
    teal.setColor(QPalette::Window, kTeal);
    panel->setPalette(teal);

    Label1 = new QLabel(panel);
    Label1->setAlignment(Qt::AlignCenter);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(23);
    arial.setBold(true);
    Label1->setFont(arial);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);

    BitBtn1 = new QPushButton(agendaglyphs::arrow(agendaglyphs::Arrow::Left, true), QStringLiteral("Mois"), panel);
    BitBtn2 = new QPushButton(agendaglyphs::arrow(agendaglyphs::Arrow::Right, true), QStringLiteral("Mois"), panel);
    BitBtn2->setLayoutDirection(Qt::RightToLeft); // glyph on the right
    Button1 = new QPushButton(QStringLiteral("Fermer"), panel);
    for (QPushButton *b : {BitBtn1, BitBtn2, Button1}) {
        b->setAutoDefault(false);
        b->setFixedSize(100, 30);
        b->installEventFilter(this);
    }

    Calendar1 = new TCalendar(this);
    Calendar1->setStartOfWeek(0);
    Calendar1->setColor(kLime);
    Calendar1->setFixedHeight(220);
    Calendar1->installEventFilter(this);

    const int width = kLabelWidth + 24;
    setFixedWidth(width);
    Label1->setGeometry((width - kLabelWidth) / 2, 10, kLabelWidth, 32);
    const int gap = (width - 3 * 100) / 4;
    BitBtn1->move(gap, 54);
    Button1->move(2 * gap + 100, 54);
    BitBtn2->move(3 * gap + 200, 54);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(panel);
    main->addWidget(Calendar1);

    connect(Calendar1, &TCalendar::changed, this, &TCalendrier::Calendar1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TCalendrier::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TCalendrier::BitBtn2Click);
    connect(Button1, &QPushButton::clicked, this, &TCalendrier::Button1Click);
}

void TCalendrier::showMonth()
{
    Label1->setText(french::formatDate(QStringLiteral("mmmmm  yyyy"), Calendar1->calendarDate()));
    Label1->setFixedWidth(kLabelWidth);
}

void TCalendrier::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TCalendrier::FormActivate()
{
    showMonth();
    Calendar1->setFocus();
}

void TCalendrier::Calendar1Change() { showMonth(); }
void TCalendrier::BitBtn1Click() { Calendar1->prevMonth(); }
void TCalendrier::BitBtn2Click() { Calendar1->nextMonth(); }
void TCalendrier::Button1Click() { close(); }

bool TCalendrier::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_PageDown: Calendar1->nextMonth(); return true;
        case Qt::Key_PageUp: Calendar1->prevMonth(); return true;
        case Qt::Key_Escape: close(); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
