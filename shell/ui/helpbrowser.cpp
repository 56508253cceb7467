#include "shell/ui/helpbrowser.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpBrowser::HelpBrowser(QWidget *parent) : QDialog(parent), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(QStringLiteral("Aide de Velmora"));
    resize(560, 480);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    m_browser->setOpenExternalLinks(false);

    auto *back = new QPushButton(QStringLiteral("&Précédent"), this);
    auto *home = new QPushButton(QStringLiteral("&Sommaire"), this);
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, this, [this] { showPage(QStringLiteral("index")); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addLayout(buttons);
}

void HelpBrowser::showContext(int context)
{
    if (context >= 3 && context <= 12)
        showPage(QStringLiteral("ctx%1").arg(context));
    else
        showPage(QStringLiteral("index"));
}

void HelpBrowser::showPage(const QString &page)
{
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/%1.html").arg(page)));
    show();
    raise();
    activateWindow();
}

QString HelpBrowser::currentPage() const { return m_browser->source().fileName().section(u'.', 0, 0); }
