#include "agenda/ui/tmensuel.h"

#include "agenda/ui/agendaglyphs.h"
#include "agenda/ui/tcalendar.h"
#include "common/frenchformat.h"

#include <QFrame>
#include <QScreen>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TMensuel::TMensuel(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Mensuel"));
    setWindowTitle(QStringLiteral("Calendrier"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto *strip = new QFrame(this);
    strip->setFrameShape(QFrame::Panel);
    strip->setFrameShadow(QFrame::Raised);
    strip->setFixedHeight(33);
    SpeedButton1 = new QToolButton(strip);
    SpeedButton1->setIcon(agendaglyphs::arrow(agendaglyphs::Arrow::Left, false));
    SpeedButton1->setToolTip(QStringLiteral("Mois précédent"));
    SpeedButton2 = new QToolButton(strip);
    SpeedButton2->setIcon(agendaglyphs::arrow(agendaglyphs::Arrow::Right, false));
    SpeedButton2->setToolTip(QStringLiteral("Mois suivant"));
    for (QToolButton *b : {SpeedButton1, SpeedButton2}) {
        b->setAutoRaise(true);
        b->setFixedSize(25, 25);
        b->setFocusPolicy(Qt::NoFocus);
    }
    Panel1 = new QLabel(strip);
    Panel1->setAlignment(Qt::AlignCenter);
    QFont bold = Panel1->font();
    bold.setBold(true);
    Panel1->setFont(bold);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(3, 2, 3, 2);
    stripLayout->addWidget(SpeedButton1);
    stripLayout->addWidget(Panel1, 1);
    stripLayout->addWidget(SpeedButton2);

    Calendar1 = new TCalendar(this);
    Calendar1->setStartOfWeek(0);
    Calendar1->setFixedSize(224, 154);

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(strip);
    main->addWidget(Calendar1);
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(Calendar1, &TCalendar::changed, this, &TMensuel::Calendar1Change);
    connect(Calendar1, &TCalendar::clicked, this, &TMensuel::Calendar1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMensuel::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TMensuel::SpeedButton2Click);
}

void TMensuel::Init(const QDate &date)
{
    Calendar1->setCalendarDate(date);
    Panel1->setText(french::formatDate(QStringLiteral("mmm yyyy"), date));
    Calendar1->setFocus();
}

void TMensuel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *s = screen()) // centred on the screen rather than on its owner
        move(s->availableGeometry().center() - rect().center());
}

void TMensuel::Result(QDate &date) const { date = Calendar1->calendarDate(); }

void TMensuel::Calendar1Change()
{
    Panel1->setText(french::formatDate(QStringLiteral("mmmm yyyy"), Calendar1->calendarDate()));
}

void TMensuel::Calendar1Click() { accept(); }

void TMensuel::SpeedButton1Click() { Calendar1->prevMonth(); }

void TMensuel::SpeedButton2Click() { Calendar1->nextMonth(); }
