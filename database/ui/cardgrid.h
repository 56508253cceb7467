// StringGrid2, the card view of a database: one line per field, its name on the left and
// the record's value on the right (editable). Page Up and Page Down turn the cards.
#pragma once

#include <QTableWidget>

class CellDelegate;

class CardGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit CardGrid(QWidget *parent = nullptr);

    // Shows `names` and `values` (one line each).
    void setCard(const QStringList &names, const QStringList &values);
    // The value column as it stands, the edit in progress included.
    QStringList values();
    // Puts `text` as value of line `line` (0-based).
    void setValue(int line, const QString &text);
    void commitPendingEdit();

Q_SIGNALS:
    // -1 for Page Up, +1 for Page Down.
    void pageKey(int step);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
