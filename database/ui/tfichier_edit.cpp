// TFichier: the record clipboard, insertion and deletion of records and fields, and the
// field dialog.
#include "database/ui/tfichier.h"

#include "database/core/fieldnaming.h"
#include "database/ui/cardgrid.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"
#include "database/ui/tchamp.h"

#include <QApplication>
#include <QItemSelectionModel>

namespace {
// A record travels through the clipboard as fields 1..31; field 32 stays behind.
constexpr int kClipFields = 31;

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

void TFichier::selectedRows(int &top, int &bottom) const
{
    top = bottom = currentRecord();
    const QItemSelection selection = StringGrid1->selectionModel()->selection();
    if (selection.isEmpty())
        return;
    top = Table::kMaxRecords;
    bottom = 1;
    for (const QItemSelectionRange &range : selection) {
        top = std::min(top, range.top() + 1);
        bottom = std::max(bottom, range.bottom() + 1);
    }
}

void TFichier::appendRecordFields(int row, QStringList &rows, bool cut)
{
    for (int f = 1; f <= kClipFields; ++f) {
        rows.append(m_table.cell(f, row));
        if (cut && !m_table.cell(f, row).isEmpty()) {
            m_table.setCell(f, row, QString());
            markModified();
        }
    }
}

void TFichier::copyRows(QStringList &rows, bool cut)
{
    commitEdits();
    rows.clear();
    if (cardShown()) {
        EcritFiche();
        appendRecordFields(m_ficheCourante, rows, cut);
        LitFiche();
        if (m_ficheCourante == 0)
            m_model->refreshNames();
        else
            recordsChanged(m_ficheCourante, m_ficheCourante);
        return;
    }
    int top = 0;
    int bottom = 0;
    selectedRows(top, bottom);
    for (int r = top; r <= bottom; ++r)
        appendRecordFields(r, rows, cut);
    if (cut)
        recordsChanged(top, bottom);
}

void TFichier::Copie(QStringList &rows) { copyRows(rows, false); }

void TFichier::Coupe(QStringList &rows) { copyRows(rows, true); }

void TFichier::Colle(QStringList &rows)
{
    commitEdits();
    if (rows.isEmpty())
        return;
    if (cardShown()) {
        // The card receives the entries in order; they reach the table at the next write-back.
        for (int i = 0; i < rows.size() && i < StringGrid2->rowCount(); ++i)
            StringGrid2->setValue(i, rows[i]);
        return;
    }
    const int first = m_table.lastRecord() + 1;
    const int count = int((rows.size() + kClipFields - 1) / kClipFields);
    if (m_table.NbFiches >= Table::kMaxRecords || first + count - 1 > Table::kMaxRecords) {
        refuse(QStringLiteral("Collage impossible : une base de données contient %1 fiches au plus "
                              "(%2 fiches libres, %3 à coller).")
                       .arg(Table::kMaxRecords)
                       .arg(std::max(0, Table::kMaxRecords - m_table.lastRecord()))
                       .arg(count));
        return;
    }
    int lastField = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int field = int(i % kClipFields) + 1;
        const QString text = RecordListModel::cleanCellText(rows[i]);
        m_table.setCell(field, first + int(i / kClipFields), text);
        if (!text.isEmpty())
            lastField = std::max(lastField, field);
    }
    m_table.NbFiches = first + count - 1;
    // Pasted fields past the last one in use would be shown but never saved.
    m_table.NbChamps = std::max(m_table.NbChamps, lastField);
    markModified();
    recordsChanged(first, m_table.NbFiches);
}

void TFichier::InsLig()
{
    commitEdits();
    if (!needListView())
        return;
    const int r = currentRecord();
    switch (m_table.insertRecord(r)) {
    case Table::Edit::Full:
        refuse(QStringLiteral("Insertion impossible : la base de données contient déjà %1 fiches, le maximum.")
                       .arg(Table::kMaxRecords));
        return;
    case Table::Edit::Done:
        markModified();
        recordsChanged(r, m_table.lastRecord());
        return;
    case Table::Edit::Nothing: recordsChanged(r, r); return;
    }
}

void TFichier::SupLig()
{
    commitEdits();
    if (!needListView())
        return;
    const int r = currentRecord();
    if (m_table.deleteRecord(r) == Table::Edit::Done) {
        markModified();
        recordsChanged(r, m_table.lastRecord());
    }
}

void TFichier::InsCol()
{
    commitEdits();
    if (!needListView())
        return;
    WaitCursor wait;
    switch (m_table.insertField(currentField())) {
    case Table::Edit::Full:
        refuse(QStringLiteral("Insertion impossible : la base de données a déjà %1 champs, le maximum.")
                       .arg(Table::kMaxFields));
        return;
    case Table::Edit::Done: markModified(); break;
    case Table::Edit::Nothing: break;
    }
    m_model->refreshAll();
}

void TFichier::SupCol()
{
    commitEdits();
    if (!needListView())
        return;
    WaitCursor wait;
    if (m_table.deleteField(currentField()) == Table::Edit::Done)
        markModified();
    m_model->refreshAll();
}

void TFichier::Champs()
{
    commitEdits();
    if (!needListView())
        return;
    TChamp &dialog = *m_tools.champ;
    dialog.Fill(fieldnaming::entries(m_table));
    runDialog(dialog);
    if (!dialog.Result())
        return;
    fieldnaming::apply(m_table, dialog.entries());
    markModified();
    m_model->refreshNames();
}
