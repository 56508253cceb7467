// "Date et heure": the current date and time in eight French formats; the chosen line's
// format is the answer.
#pragma once

#include "text/ui/tooldialog.h"

#include <QDateTime>

#include <functional>

class QListWidget;

class TDatHeur : public ToolDialog
{
    Q_OBJECT
public:
    explicit TDatHeur(QWidget *parent = nullptr);
    // The format of the chosen line when the dialog was accepted with a line selected,
    // else an empty text.
    QString Result() const;

    // The current date and time (tests pin it).
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    QListWidget *ListBox1;
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void choose();
};
