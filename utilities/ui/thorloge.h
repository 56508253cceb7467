// "Horloge": the time and the date, updated every second. "Set" freezes the display, and
// the arrows step the chosen field of what is shown. Only the display changes: the
// system's clock is never touched, and the next update shows the current time again.
#pragma once

#include <QDateTime>
#include <QDialog>

#include <functional>

class QButtonGroup;
class QLabel;
class QPushButton;
class QTimer;
class SpinButton;

class THorloge : public QDialog
{
    Q_OBJECT
public:
    explicit THorloge(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr; // time
    QLabel *Label2 = nullptr; // date
    QButtonGroup *RadioGroup1 = nullptr; // "Hr", "Mn", "Jo", "Mo", "An" as ids 0..4
    SpinButton *SpinButton1 = nullptr;
    QPushButton *Button1 = nullptr; // "Fermer"
    QPushButton *Button2 = nullptr; // "Set"
    QTimer *Timer1 = nullptr;

    bool HorlogeFigee() const { return m_horlogeFigee; }

    // The source of the current time (tests give a fixed one).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    void FormActivate();
    void FormDeactivate();
    void Timer1Timer();
    void Button2Click();
    void SpinButton1UpClick();
    void SpinButton1DownClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void stepField(int delta);

    bool m_horlogeFigee = false;
};
