#include "shell/ui/taboutbox.h"

#include "shell/ui/toolbaricons.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos"));
    setFixedSize(367, 259);

    auto *panel = new QFrame(this);
    panel->setGeometry(8, 8, 351, 200);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *picture = new QLabel(panel);
    picture->setGeometry(8, 8, 80, 70);
    picture->setScaledContents(true);
    picture->setPixmap(toolbaricons::programPixmap(128).scaled(80, 70));

    auto *product = new QLabel(QStringLiteral("Velmora"), panel);
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    product->move(104, 16);
    product->adjustSize();

    auto *version = new QLabel(QStringLiteral("Version 1.0"), panel);
    version->move(104, 40);
    version->adjustSize();

    auto *notice = new QLabel(QStringLiteral("Logiciel libre de droits pour un usage personnel."), panel);
    notice->setGeometry(8, 88, 335, 32);
    notice->setWordWrap(true);

    auto *comment = new QLabel(QStringLiteral("Logiciel intégré de quatre modules : traitement de texte, tableur, "
                                              "base de données et agenda, avec calculatrice, pèse-lettres, "
                                              "convertisseur en euros, horloge, bloc-notes et calendrier."),
                               panel);
    comment->setGeometry(8, 122, 335, 70);
    comment->setWordWrap(true);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(146, 220, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
