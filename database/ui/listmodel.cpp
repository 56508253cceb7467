#include "database/ui/listmodel.h"

RecordListModel::RecordListModel(Table &table, QObject *parent) : QAbstractTableModel(parent), m_table(table) { }

int RecordListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Table::kMaxRecords; }

int RecordListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Table::kMaxFields; }

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_table.cell(fieldOf(index), recordOf(index));
    return {};
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= Table::kMaxFields)
            return {};
        return m_table.name(section + 1);
    }
    if (section < 0 || section >= Table::kMaxRecords)
        return {};
    const int label = m_table.label(section + 1);
    return label > 0 ? QString::number(label) : QString();
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QString RecordListModel::cleanCellText(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    out.truncate(Table::kMaxCellLength);
    return out;
}

bool RecordListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString text = cleanCellText(value.toString());
    const int field = fieldOf(index);
    const int record = recordOf(index);
    if (m_table.cell(field, record) == text)
        return true;
    m_table.setCell(field, record, text);
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    Q_EMIT cellEdited(field, record);
    return true;
}

void RecordListModel::refreshAll()
{
    Q_EMIT dataChanged(index(0, 0), index(Table::kMaxRecords - 1, Table::kMaxFields - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, Table::kMaxFields - 1);
    Q_EMIT headerDataChanged(Qt::Vertical, 0, Table::kMaxRecords - 1);
}

void RecordListModel::refreshRecords(int first, int last)
{
    first = std::clamp(first, 1, Table::kMaxRecords);
    last = std::clamp(last, 1, Table::kMaxRecords);
    if (first > last)
        return;
    Q_EMIT dataChanged(index(first - 1, 0), index(last - 1, Table::kMaxFields - 1));
    Q_EMIT headerDataChanged(Qt::Vertical, first - 1, last - 1);
}

void RecordListModel::refreshNames() { Q_EMIT headerDataChanged(Qt::Horizontal, 0, Table::kMaxFields - 1); }
