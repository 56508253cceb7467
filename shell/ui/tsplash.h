// The start-up picture shown while the frame and the tool forms are made.
#pragma once

#include <QWidget>

class TSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);
};
