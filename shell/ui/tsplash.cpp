#include "shell/ui/tsplash.h"

#include "shell/ui/toolbaricons.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TSplash::TSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(318, 221);
    auto *panel = new QFrame(this);
    panel->setGeometry(0, 0, 318, 221);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    panel->setPalette(pal);

    auto *picture = new QLabel(panel);
    picture->setGeometry(24, 16, 105, 113);
    picture->setScaledContents(true);
    picture->setPixmap(toolbaricons::programPixmap(128));

    auto *name = new QLabel(QStringLiteral("Velmora"), panel);
    QFont big(QStringLiteral("Arial"));
    big.setBold(true);
    big.setPixelSize(27);
    name->setFont(big);
    name->move(144, 48);
    name->adjustSize();

    auto *version = new QLabel(QStringLiteral("Version 1.0"), panel);
    QFont vf = version->font();
    vf.setBold(true);
    version->setFont(vf);
    version->move(144, 96);
    version->adjustSize();

    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}
