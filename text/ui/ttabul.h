// "Tabulations": the tab stops of the current paragraph, listed in widths of the letter
// "A" of the dialog's font.
#pragma once

#include "text/ui/tooldialog.h"

#include <QList>

class QLineEdit;
class QListWidget;

class TTabul : public ToolDialog
{
    Q_OBJECT
public:
    explicit TTabul(QWidget *parent = nullptr);
    // The unit: width in pixels of "A" in the dialog's font.
    int unitWidth() const;
    // Lists the paragraph's stops (points) that are at least one unit away.
    void Init(const QList<double> &stops);
    // When accepted, stop i := list line i x unit (points), in list order; later stops keep
    // their values. Throws VelmoraError at the first line that is not an integer, the stops
    // before it being already set in `stops`.
    void Result(QList<double> &stops) const;
    bool accepted() const { return m_accepted; }

    QLineEdit *Edit1;
    QListWidget *ListBox1;
    QPushButton *DefineButton;
    QPushButton *DeleteButton;
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void define();
    void remove();
};
