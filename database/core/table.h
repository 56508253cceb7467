// The card-file table every database operation works on: row 0 holds the field names,
// rows 1..16384 the records, each of 32 text fields; a row label travels with its row, and
// each field has a column width in screen pixels. NbFiches and NbChamps bound every walk.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class Table
{
public:
    static constexpr int kMaxRecords = 16384;
    static constexpr int kMaxFields = 32;
    static constexpr int kRowCount = kMaxRecords + 1; // row 0 is the field-name row
    static constexpr int kLabelledRows = 4096; // rows labelled "1".."4096" when created
    static constexpr int kDefaultWidth = 160;
    static constexpr int kMaxWidth = 0xFFF; // the widest a three-digit width can say
    static constexpr int kMaxCellLength = 253; // what loading a cell line gives back

    Table();
    // Makes the table as a new one is, keeping its storage (a reader given the same table
    // file after file does not build 16385 rows each time).
    void reset();

    // Cell of field `field` (1..32) in row `row` (0 = names, 1..16384 = records). Outside
    // the table a cell reads empty and writing it does nothing. A cell holds what a ".qvb"
    // file gives back: one line of at most kMaxCellLength characters (see cellText). The
    // view stays valid until the row changes.
    QString cell(int field, int row) const { return cellView(field, row).toString(); }
    QStringView cellView(int field, int row) const;
    void setCell(int field, int row, const QString &text);
    // `text` as a cell holds it: line breaks become blanks, a Ctrl-Z (which ends a text file)
    // becomes "?", and it is cut to kMaxCellLength characters.
    static QString cellText(const QString &text);
    QString name(int field) const { return cell(field, 0); }
    // Replaces a whole row's text: `text` holds the 32 fields one after the other, field f
    // being lengths[f - 1] characters long (the way a file loads a row at once).
    void setRowText(int row, QString text, const std::array<int, 32> &lengths);

    // Fields whose trimmed name is not empty, in column order, and those trimmed names.
    QList<int> namedFields() const;
    QStringList fieldNames() const;

    // Row label: a number shown in front of the row, 0 for none.
    int label(int row) const;
    void setLabel(int row, int label);

    int width(int field) const;
    void setWidth(int field, int pixels);

    // The counts as read or grown; a file may name rows and columns beyond the table, so
    // walks use lastRecord()/lastField(), which never leave it.
    int NbFiches = 0;
    int NbChamps = 0;
    int lastRecord() const;
    int lastField() const;

    bool rowIsEmpty(int row) const;
    // Characters of all the row's fields together, and that text (fields one after the
    // other; a cell's view lies inside it).
    qsizetype rowLength(int row) const;
    QStringView rowText(int row) const;
    bool fieldIsEmpty(int field) const; // name and every record
    int lastUsedRow() const; // highest record holding text, 0 when none
    int lastUsedField() const; // highest field holding a name or text, 0 when none

    // Empties a row's text and removes its label.
    void clearRow(int row);
    // Empties a field: its name and every cell.
    void clearField(int field);

    // A whole grid row taken from `from` and put at `to`; the rows between shift by one.
    // Texts and label travel together. Rows 1..16384.
    void moveRow(int from, int to);
    // A whole field (name, cells and width) taken from `from` and put at `to`.
    void moveField(int from, int to);
    // Record and field insertion and deletion at a grid position, as the window's commands
    // do them. Full: refused because the table is full (nothing moved).
    enum class Edit { Done, Nothing, Full };
    // Rows r..NbFiches move one row down and row r becomes empty; past the last record,
    // row r is only emptied.
    Edit insertRecord(int r);
    // Rows r+1..NbFiches move one row up and row NbFiches becomes empty; NbFiches stays.
    Edit deleteRecord(int r);
    // Fields c..31 move one column right and field c becomes empty (name and cells).
    Edit insertField(int c);
    // Fields c+1..32 move one column left and field 32 becomes empty.
    Edit deleteField(int c);

    // Puts records first..first+order.size()-1 in the given order: order[i] is the row that
    // comes to first+i.
    void reorderRows(int first, const std::vector<int> &order);

private:
    // A row is one string holding its 32 fields one after the other: one allocation per
    // record rather than one per cell, which is what a full table's load and save cost.
    struct Row
    {
        QString text;
        std::array<quint32, kMaxFields + 1> start{}; // field f spans [start[f-1], start[f])
    };
    using Fields = std::array<QString, kMaxFields>;
    Fields fieldsOf(int row) const;
    void setFields(int row, const Fields &fields);

    std::vector<std::unique_ptr<Row>> m_rows; // null: a row with no text
    std::vector<quint16> m_labels;
    std::array<int, kMaxFields> m_widths;
};
