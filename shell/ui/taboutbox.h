// "A propos": the program's name, version and what it is made of.
#pragma once

#include <QDialog>

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
