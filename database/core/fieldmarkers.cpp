#include "database/core/fieldmarkers.h"

namespace fieldmarkers {

QString marker(const Table &table, int field) { return u'[' + table.name(field).trimmed() + u']'; }

void replaceMarkers(const Table &table, int record, QString &text)
{
    for (int f = 1; f <= table.lastField(); ++f) {
        const QString m = marker(table, f);
        const qsizetype at = text.indexOf(m);
        if (at >= 0)
            text.replace(at, m.size(), table.cell(f, record).trimmed());
    }
}

} // namespace fieldmarkers
