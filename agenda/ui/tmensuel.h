// The month picker "Calendrier" of the agenda window: a month grid under a strip with the
// month's name and two month buttons. Clicking a day (or moving to one with an arrow key)
// closes it; whichever way it closes, the date it shows is the one picked.
#pragma once

#include <QDate>
#include <QDialog>

class QLabel;
class QToolButton;
class TCalendar;

class TMensuel : public QDialog
{
    Q_OBJECT
public:
    explicit TMensuel(QWidget *parent = nullptr);

    void Init(const QDate &date);
    void Result(QDate &date) const;

    TCalendar *Calendar1 = nullptr;
    QToolButton *SpeedButton1 = nullptr; // previous month
    QToolButton *SpeedButton2 = nullptr; // next month
    QLabel *Panel1 = nullptr; // the strip's caption

public Q_SLOTS:
    void Calendar1Change();
    void Calendar1Click();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    void showEvent(QShowEvent *event) override;
};
