// A pair of small up and down arrows, stacked, that repeat while held: the arrows beside
// the euro converter's rate and the clock's fields. The pair takes the focus with Tab, and
// the Up and Down keys then act as its arrows.
#pragma once

#include <QWidget>

class QToolButton;

class SpinButton : public QWidget
{
    Q_OBJECT
public:
    explicit SpinButton(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

Q_SIGNALS:
    void upClick();
    void downClick();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
