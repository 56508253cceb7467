#include "spreadsheet/ui/tfonct.h"

#include "spreadsheet/core/functionregistry.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The list users know, in its order, the duplicate and the two-word entries included.
constexpr const char *kNames[] = {
        "ABS",       "ACOS",        "ACOSH",    "AND",       "ASIN",       "ASINH",   "ATAN",    "ATAN2",
        "ATANH",     "AVERAGE",     "CEILING",  "CHAR",      "CHOOSE",     "CLEAN",   "CODE",    "COLUMN",
        "COLUMNS",   "CONCATENATE", "COS",      "COSH",      "COUNT",      "COUNTIF", "COUNTA",  "DATE",
        "DATEVALUE", "DAY",         "DB",       "DDB",       "ERROR TYPE", "EVEN",    "EXACT",   "EXP",
        "FACT",      "FALSE",       "FIND",     "FIXED",     "FLOOR",      "FV",      "HLOOKUP", "HOUR",
        "IF",        "INDEX",       "INDIRECT", "INT",       "IPMT",       "IRR",     "ISBLANK", "ISERR",
        "ISERROR",   "ISLOGICAL",   "ISNA",     "ISNONTEXT", "ISNUMBER",   "ISREF",   "ISTEXT",  "LEFT",
        "LEN",       "LN",          "LOG",      "LOG10",     "LOOKUP",     "LOWER",   "MATCH",   "MATCH",
        "MID",       "MIN",         "MINUTE",   "MIRR",      "MOD",        "MONTH",   "N",       "NOT",
        "NOW",       "NPER",        "NPV",      "ODD",       "OFFSET",     "OR",      "PI",      "PMT",
        "PPMT",      "PRODUCT",     "PROPER",   "PV",        "RAND",       "RATE",    "REPLACE", "REPT",
        "RIGHT",     "ROUND",       "ROUNDOWN", "ROUNDUP",   "ROW",        "ROWS",    "SEARCH",  "SECOND",
        "YEAR SIGN", "SIN",         "SINH",     "SLN",       "SQRT",       "STDEV",   "STDEVP",  "SUBSTITUTE",
        "SUM",       "SUMIF",       "SUMSQ",    "SYD",       "T",          "TAN",     "TANH",    "TEXT",
        "TIME",      "TIMEVALUE",   "TODAY",    "TRIM",      "TRUE",       "TRUNC",   "TYPE",    "UPPER",
        "VALUE",     "VAR",         "VARP",     "VDB",       "VLOOKUP",    "WEEKDAY", "YEAR"};
} // namespace

const QStringList &TFonct::names()
{
    static const QStringList list = [] {
        QStringList l;
        for (const char *n : kNames)
            l << QString::fromLatin1(n);
        return l;
    }();
    return list;
}

QString TFonct::formulaName(const QString &entry)
{
    // The registry knows the listed spellings ("ERROR TYPE" is ERROR.TYPE).
    const sheet::FunctionInfo *f = sheet::FunctionRegistry::instance().find(entry);
    return f ? f->frenchName : entry;
}

TFonct::TFonct(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Fonct"));
    setWindowTitle(QStringLiteral("Fonctions"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    // Each entry shows the French name a formula takes, with the English one beside it.
    for (const QString &entry : names()) {
        auto *item = new QListWidgetItem(formulaName(entry) + QStringLiteral("  (") + entry + u')', ListBox1);
        item->setData(Qt::UserRole, entry);
    }
    ListBox1->setAccessibleName(QStringLiteral("Fonctions"));

    QHBoxLayout *buttons = okCancelRow(Button2, "Button2", Button1, "Button1");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
    layout->addLayout(buttons);
    resize(220, 320);

    // Escape and the close box count as "Annuler".
    setCloseCancels(true);
    // A double click picks the entry, as users expect of a list of choices.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TFonct::closeAccepted);
}

void TFonct::showEvent(QShowEvent *e)
{
    m_accepted = false;
    // The entry the list shows as current is the one taken: with nothing selected, the
    // first entry (or the last one chosen) is selected, so that "OK" or Return right away
    // gives what the user sees rather than nothing.
    if (ListBox1->selectedItems().isEmpty() && ListBox1->count() > 0)
        ListBox1->setCurrentRow(std::max(0, ListBox1->currentRow()), QItemSelectionModel::ClearAndSelect);
    ListBox1->setFocus();
    QDialog::showEvent(e);
}

QString TFonct::Result() const
{
    if (!m_accepted)
        return QString();
    const QList<QListWidgetItem *> sel = ListBox1->selectedItems();
    return sel.isEmpty() ? QString() : sel.first()->data(Qt::UserRole).toString();
}
