// The bar above the grid: the name box shows the active cell's address, and an address
// typed there ("B12", "Feuil2!C3", a range "A1:C5") and Enter goes to it; the content line
// shows the active cell's entry (a formula in French) and edits it as the cell's own
// editor does: Enter enters it, Escape gives back what the cell holds.
#pragma once

#include "spreadsheet/core/celladdress.h"

#include <QWidget>

class QLineEdit;
class TF1Book;

namespace sheet {
class Workbook;
}

class FormulaBar : public QWidget
{
    Q_OBJECT
public:
    explicit FormulaBar(TF1Book &book, QWidget *parent = nullptr);

    QLineEdit *NameBox;
    QLineEdit *ContentLine;

    // Reads an address as the name box takes it: "B12", "$B$12", "A1:C5", "Feuil2!C3",
    // "'Mes ventes'!A1:B2" (case ignored). `sheet` is -1 when no sheet is named. False when
    // the text is no address of `book`.
    static bool parseAddress(const QString &text, const sheet::Workbook &book, int &sheet, sheet::CellRange &range);

    // Shows the active cell again (its address and its content).
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void goToAddress();
    void enterContent();
    void backToGrid();

    TF1Book &m_book;
};
