// Temporary bodies so that code written against the engine's interface links while the
// engine is being built. Removed as each part lands.
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "common/velmoraerror.h"

namespace sheet {

struct Workbook::Impl
{
    std::vector<WorkbookObserver *> observers;
    QStringList names{QStringLiteral("Feuil1"), QStringLiteral("Feuil2"), QStringLiteral("Feuil3")};
    bool modified = false, grid = true, formulas = false;
};

Workbook::Workbook() : d(std::make_unique<Impl>()) {}
Workbook::~Workbook() = default;
void Workbook::addObserver(WorkbookObserver *o) { d->observers.push_back(o); }
void Workbook::removeObserver(WorkbookObserver *o) { std::erase(d->observers, o); }
void Workbook::takeContentFrom(Workbook &) {}
int Workbook::sheetCount() const { return int(d->names.size()); }
QString Workbook::sheetName(int s) const { return d->names.value(s); }
int Workbook::sheetIndex(const QString &n) const { return int(d->names.indexOf(n)); }
void Workbook::insertSheet(int i, const QString &n) { d->names.insert(i, n); }
void Workbook::removeSheet(int i) { d->names.removeAt(i); }
void Workbook::renameSheet(int i, const QString &n) { d->names[i] = n; }
void Workbook::setSheetCount(int) {}
bool Workbook::isValidSheetName(const QString &n) { return !n.isEmpty(); }
void Workbook::setEntry(int, int, int, const QString &) {}
void Workbook::setFormula(int, int, int, const QString &) {}
void Workbook::setValue(int, int, int, const Value &) {}
void Workbook::clearContents(int, const CellRange &) {}
void Workbook::clearFormats(int, const CellRange &) {}
Value Workbook::value(int, int, int) const { return {}; }
bool Workbook::hasFormula(int, int, int) const { return false; }
QString Workbook::formulaText(int, int, int) const { return {}; }
QString Workbook::entryText(int, int, int) const { return {}; }
QString Workbook::displayText(int, int, int) const { return {}; }
int Workbook::effectiveAlignment(int, int, int) const { return AlignLeft; }
int Workbook::maxRow(int) const { return 0; }
int Workbook::maxCol(int) const { return 0; }
void Workbook::forEachCell(int, const CellRange &, const std::function<void(int, int)> &) const {}
CellFormat Workbook::format(int, int, int) const { return {}; }
void Workbook::modifyFormat(int, const CellRange &, const std::function<void(CellFormat &)> &) {}
void Workbook::setFormat(int, const CellRange &, const CellFormat &) {}
CellFormat Workbook::defaultFormat() const { return {}; }
int Workbook::columnWidth(int, int) const { return kDefaultColumnWidth; }
void Workbook::setColumnWidth(int, int, int, int) {}
bool Workbook::hasCustomColumnWidth(int, int) const { return false; }
int Workbook::rowHeight(int, int) const { return kDefaultRowHeight; }
void Workbook::setRowHeight(int, int, int, int) {}
bool Workbook::hasCustomRowHeight(int, int) const { return false; }
int Workbook::frozenRows(int) const { return 0; }
int Workbook::frozenColumns(int) const { return 0; }
void Workbook::setFrozenRows(int, int) {}
void Workbook::setFrozenColumns(int, int) {}
bool Workbook::showGridLines() const { return d->grid; }
void Workbook::setShowGridLines(bool on) { d->grid = on; }
bool Workbook::showFormulas() const { return d->formulas; }
void Workbook::setShowFormulas(bool on) { d->formulas = on; }
bool Workbook::isModified() const { return d->modified; }
void Workbook::setModified(bool m) { d->modified = m; }
void Workbook::insertRows(int, int, int) {}
void Workbook::deleteRows(int, int, int) {}
void Workbook::insertColumns(int, int, int) {}
void Workbook::deleteColumns(int, int, int) {}
void Workbook::sortRows(int, const CellRange &, const std::array<int, 3> &) {}
void Workbook::recalculate() {}
int Workbook::addChart(int, int, const CellRange &) { return 0; }
void Workbook::removeChart(int) {}
std::vector<ChartObject> Workbook::charts(int) const { return {}; }
void Workbook::setChartGeometry(int, CellAddress, int, int) {}

namespace clipboard {
QString rangeAsText(const Workbook &, int, const CellRange &) { return {}; }
QByteArray rangeAsCells(const Workbook &, int, const CellRange &) { return {}; }
CellRange pasteCells(Workbook &, int, int, int, const QByteArray &) { return {}; }
CellRange pasteText(Workbook &, int, int, int, const QString &) { return {}; }
} // namespace clipboard

namespace qvc {
void read(const QByteArray &, Workbook &) {}
QByteArray write(const Workbook &) { return {}; }
void readFile(const QString &, Workbook &) {}
void writeFile(const QString &, Workbook &) {}
} // namespace qvc

namespace csv {
QByteArray exportSheet(Workbook &, int) { return {}; }
void exportSheetToFile(Workbook &, int, const QString &) {}
void import(const QByteArray &, Workbook &, const QString &) {}
void importFile(const QString &, Workbook &) {}
} // namespace csv

const FunctionRegistry &FunctionRegistry::instance()
{
    static const FunctionRegistry registry;
    return registry;
}
FunctionRegistry::FunctionRegistry() {}
const FunctionInfo *FunctionRegistry::find(const QString &) const { return nullptr; }
QStringList FunctionRegistry::dialogNames() { return {}; }

} // namespace sheet
