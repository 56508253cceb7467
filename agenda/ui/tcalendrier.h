// The desk calendar "Calendrier" of the Utilitaires menu: a month grid under a teal strip
// with the month's name and buttons for the month before and after. It only displays
// months and keeps the one it showed last between showings.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TCalendar;

class TCalendrier : public QDialog
{
    Q_OBJECT
public:
    explicit TCalendrier(QWidget *parent = nullptr);

    TCalendar *Calendar1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // previous month
    QPushButton *BitBtn2 = nullptr; // next month
    QPushButton *Button1 = nullptr; // "Fermer"
    QLabel *Label1 = nullptr; // month and year

public Q_SLOTS:
    void FormActivate();
    void Calendar1Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMonth();
};
