#include "text/ui/tstats.h"

#include "text/core/toolformulas.h"

#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TStats::TStats(QWidget *parent)
    : ToolDialog(QStringLiteral("Stats"), QStringLiteral("Statistiques"), QSize(320, 170), parent)
{
    auto *bar = new QFrame(this);
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setGeometry(0, 0, 320, 36);
    CloseButton = new QPushButton(QStringLiteral("Fermer"), bar);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(8, 6, 80, 24);
    CloseButton->setDefault(true);
    setCancelButton(CloseButton);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    const QString captions[] = {QStringLiteral("Fichier"), QStringLiteral("Nombre de lignes"),
                                QStringLiteral("Nombre de caractères"), QStringLiteral("Nombre de mots")};
    QLabel **values[] = {&FileValue, &LinesValue, &CharactersValue, &WordsValue};
    const char *ids[] = {"FileValue", "LinesValue", "CharactersValue", "WordsValue"};
    for (int i = 0; i < 4; ++i) {
        auto *caption = new QLabel(captions[i], this);
        caption->setGeometry(16, 48 + 28 * i, 140, 20);
        auto *value = new QLabel(this);
        value->setObjectName(QLatin1String(ids[i]));
        value->setAccessibleDescription(QLatin1String(ids[i]));
        value->setGeometry(160, 48 + 28 * i, 150, 20);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        *values[i] = value;
    }
}

void TStats::Init(const QString &nomFichier, const QStringList &displayedLines)
{
    const texttools::Statistics s = texttools::statistics(displayedLines);
    FileValue->setText(nomFichier.isEmpty() ? QString() : QFileInfo(nomFichier).fileName());
    LinesValue->setText(QString::number(s.lines));
    CharactersValue->setText(QString::number(s.characters));
    WordsValue->setText(QString::number(s.words));
}
