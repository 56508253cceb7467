// StringGrid1, the list view of a database: one record per 24-pixel row, the field names
// as column headers and the row labels in a 40-pixel column; cells edited in place, Enter
// going to the first field of the next record; columns sized and moved, rows moved.
#pragma once

#include <QTableView>

class RecordCellDelegate;

class ListGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ListGrid(QWidget *parent = nullptr);

    // Ends an edit in progress, its text kept.
    void commitPendingEdit();

Q_SIGNALS:
    // Enter pressed in the grid or in a cell being edited.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    RecordCellDelegate *m_delegate;
};
