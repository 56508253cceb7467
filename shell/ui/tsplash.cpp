#include "shell/ui/tsplash.h"

#include "common/ui/fonts.h"
#include "shell/ui/toolbaricons.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace {

struct Prerendered
{
    QImage picture;
    QString styleName;
};

Prerendered &prerendered()
{
    static Prerendered p;
    return p;
}

} // namespace

void TSplash::setPrerendered(const QImage &picture, const QString &styleName) { prerendered() = {picture, styleName}; }

void TSplash::buildContent(QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setGeometry(0, 0, kWidth, kHeight);
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
    QFont big(fonts::uiFamily());
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
}

QImage TSplash::render()
{
    QWidget content;
    content.setFixedSize(kWidth, kHeight);
    buildContent(&content);
    return content.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TSplash::TSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(kWidth, kHeight);
    QScreen *screen = QGuiApplication::primaryScreen();
    const Prerendered &p = prerendered();
    if (!p.picture.isNull() && p.picture.size() == size() && screen && screen->devicePixelRatio() == 1.0
        && QApplication::style()->name().compare(p.styleName, Qt::CaseInsensitive) == 0)
        m_picture = p.picture;
    else
        buildContent(this);
    if (screen)
        move(screen->geometry().center() - rect().center());
}

void TSplash::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull())
        return QWidget::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}
