// "Statistiques": the file name and the line, character and word counts of a text window,
// shown with a single "Fermer" button.
#pragma once

#include "text/ui/tooldialog.h"

class QLabel;

class TStats : public ToolDialog
{
    Q_OBJECT
public:
    explicit TStats(QWidget *parent = nullptr);
    // Fills the four values from the window's file name and its lines as displayed.
    void Init(const QString &nomFichier, const QStringList &displayedLines);

    QLabel *FileValue;
    QLabel *LinesValue;
    QLabel *CharactersValue;
    QLabel *WordsValue;
    QPushButton *CloseButton;
};
