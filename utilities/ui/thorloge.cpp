#include "utilities/ui/thorloge.h"

#include "common/frenchformat.h"
#include "common/ui/errorhandler.h"
#include "utilities/core/clockfields.h"
#include "utilities/ui/spinbutton.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QFont arialBold(int pixels, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(true);
    f.setItalic(italic);
    return f;
}

QLabel *makeDisplay(QWidget *parent, const QRect &geometry, const QString &name)
{
    auto *panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    auto *label = new QLabel(panel);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(arialBold(23));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(label);
    return label;
}
} // namespace

THorloge::THorloge(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("THorloge"));
    setWindowTitle(QStringLiteral("Horloge"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(277, 156);
    QFont system(QStringLiteral("System"));
    system.setPixelSize(17);
    setFont(system);

    auto *panel = new QFrame(this);
    panel->setGeometry(0, 0, 277, 156);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);
    QPalette black = panel->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(black);

    Label1 = makeDisplay(panel, QRect(12, 12, 142, 34), QStringLiteral("Label1"));
    Label2 = makeDisplay(panel, QRect(12, 63, 142, 34), QStringLiteral("Label2"));
    auto *line = new QFrame(panel);
    line->setObjectName(QStringLiteral("Label4"));
    line->setGeometry(8, 52, 153, 2);
    line->setAutoFillBackground(true);
    QPalette white = line->palette();
    white.setColor(QPalette::Window, Qt::white);
    line->setPalette(white);
    auto *brand = new QLabel(QStringLiteral("VLM"), panel);
    brand->setObjectName(QStringLiteral("Label3"));
    brand->setFont(arialBold(27, true));
    brand->move(12, 116);
    brand->adjustSize();

    auto *group = new QGroupBox(panel);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    group->setGeometry(162, 6, 58, 94);
    group->setFont(arialBold(12));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(6, 2, 2, 2);
    groupLayout->setSpacing(0);
    RadioGroup1 = new QButtonGroup(this);
    const char *const items[] = {"Hr", "Mn", "Jo", "Mo", "An"};
    for (int i = 0; i < 5; ++i) {
        auto *r = new QRadioButton(QString::fromLatin1(items[i]), group);
        r->setObjectName(QStringLiteral("RadioGroup1_%1").arg(items[i]));
        RadioGroup1->addButton(r, i);
        groupLayout->addWidget(r);
    }

    SpinButton1 = new SpinButton(panel);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1->setGeometry(236, 26, 20, 25);
    SpinButton1->setAccessibleName(QStringLiteral("Flèches"));
    SpinButton1->setToolTip(QStringLiteral("Avance ou recule le champ choisi (flèches haut et bas)"));
    connect(SpinButton1, &SpinButton::upClick, this, &THorloge::SpinButton1UpClick);
    connect(SpinButton1, &SpinButton::downClick, this, &THorloge::SpinButton1DownClick);

    Button2 = new QPushButton(QStringLiteral("Set"), panel);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(228, 66, 37, 24);
    Button2->setAutoDefault(false);
    Button2->setToolTip(QStringLiteral("Figer ou relancer l'affichage (l'heure du système n'est pas modifiée)"));
    connect(Button2, &QPushButton::clicked, this, &THorloge::Button2Click);
    Button1 = new QPushButton(QStringLiteral("Fermer"), panel);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(162, 112, 86, 32);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // The window's own colours do not reach the push buttons.
    for (QPushButton *b : {Button1, Button2}) {
        b->setPalette(QPalette());
        b->setFont(system);
    }
    Button2->setFont(arialBold(12));

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &THorloge::Timer1Timer);
}

void THorloge::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void THorloge::hideEvent(QHideEvent *event)
{
    FormDeactivate();
    QDialog::hideEvent(event);
}

void THorloge::FormActivate()
{
    Timer1->start();
    Timer1Timer();
    m_horlogeFigee = false;
}

void THorloge::FormDeactivate() { Timer1->stop(); }

void THorloge::Timer1Timer()
{
    const QDateTime t = now();
    Label1->setText(french::longTime(t.time()));
    Label2->setText(french::shortDate(t.date()));
}

void THorloge::Button2Click()
{
    if (m_horlogeFigee) {
        Timer1->start();
        Timer1Timer();
    } else {
        Timer1->stop();
    }
    m_horlogeFigee = !m_horlogeFigee;
}

void THorloge::stepField(int delta)
{
    const int id = RadioGroup1->checkedId();
    if (id < 0)
        return;
    const auto field = static_cast<clockfields::Field>(id);
    QLabel *label = clockfields::spec(field).inDate ? Label2 : Label1;
    errorhandler::run(this, [&] { label->setText(clockfields::step(label->text(), field, delta)); });
}

void THorloge::SpinButton1UpClick() { stepField(+1); }

void THorloge::SpinButton1DownClick() { stepField(-1); }
