#include "spreadsheet/ui/tf1book.h"

#include "common/ui/errorhandler.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"
#include "spreadsheet/ui/celldelegate.h"
#include "spreadsheet/ui/chartpainter.h"
#include "spreadsheet/ui/sheetmodel.h"
#include "spreadsheet/ui/sheetprinter.h"
#include "spreadsheet/ui/sheetview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using namespace sheet;

TF1Book::TF1Book(QWidget *parent)
    : QWidget(parent),
      m_book(std::make_unique<Workbook>()),
      m_history(std::make_unique<WorkbookHistory>(*m_book))
{
    setObjectName(QStringLiteral("F1Book1"));
    m_model = new SheetModel(*m_book, this);
    m_model->setHistory(m_history.get());
    m_delegate = new CellDelegate(this);
    m_view = createPane(int(SheetView::Pane::Main));
    m_view->setOverlayPainter([this](QPainter &p) { paintCharts(p); });
    m_view->installEventFilter(this);
    m_view->setLocator([this](const QPoint &global) { return cellAtGlobal(global); });
    m_view->viewport()->installEventFilter(this);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { layoutPanes(); });
    connect(m_view->verticalHeader(), &QHeaderView::sectionResized, this, [this] { layoutPanes(); });
    setFocusProxy(m_view);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("SheetTabs"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    m_tabs->setFocusPolicy(Qt::NoFocus);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_rebuildingTabs && index >= 0)
            SetSheet(index + 1);
    });
    // A tab dragged to another place moves its sheet; one drag is one change, however many
    // places it passes.
    m_tabs->setMovable(true);
    m_tabs->installEventFilter(this);
    connect(m_tabs, &QTabBar::tabMoved, this, [this](int from, int to) {
        if (m_rebuildingTabs)
            return;
        errorhandler::run(this, [&] { MoveSheet(from + 1, to + 1); });
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_tabs, 0, Qt::AlignLeft);

    connect(m_delegate, &CellDelegate::entryRejected, this, &TF1Book::entryRejected);
    connect(m_delegate, &CellDelegate::editorOpened, this, &TF1Book::EditorOpened);
    // In an open editor, undo and redo act on its typing.
    connect(m_delegate, &CellDelegate::editorOpened, this, [this](QLineEdit *editor) {
        connect(editor, &QLineEdit::textChanged, this, &TF1Book::UndoStateChanged);
        connect(editor, &QObject::destroyed, this, [this] {
            if (!m_destroying)
                Q_EMIT UndoStateChanged();
        });
        Q_EMIT UndoStateChanged();
    });
    m_history->setOnChange([this] { Q_EMIT UndoStateChanged(); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, &TF1Book::ContentsChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TF1Book::ContentsChanged);
    connect(m_delegate, &CellDelegate::commitAndMove, this, [this](QWidget *editor, int dRow) {
        forEachPane([editor](SheetView *v) { v->commitEditor(editor); });
        if (!editor->property("refused").toBool())
            moveActive(dRow, 0);
    });
    QItemSelectionModel *sel = m_view->selectionModel();
    // A click moves the active cell and then the selection: one event for both, once the
    // view is done.
    connect(sel, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        // A new active cell is the corner later extensions start from, unless it moved to
        // extend the selection.
        if (!m_view->isExtending())
            m_view->setAnchor(current);
        focusPaneOf(current);
        scheduleSelChange();
    });
    connect(sel, &QItemSelectionModel::selectionChanged, this, [this] { scheduleSelChange(); });

    auto *fillDown =
            new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(fillDown, &QShortcut::activated, this, [this] { errorhandler::run(this, [this] { EditFill(true); }); });
    auto *fillRight =
            new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(fillRight, &QShortcut::activated, this, [this] { errorhandler::run(this, [this] { EditFill(false); }); });

    m_book->addObserver(this);
    m_cursorOfSheet.assign(size_t(m_book->sheetCount()), CellAddress{});
    rebuildTabs();
    applySheetLayout();
    SetActiveCell(1, 1);
}

TF1Book::~TF1Book()
{
    m_destroying = true;
    m_history->setOnChange({});
    // The views go first: an editor still open must not reach a workbook already gone.
    QString text;
    int caret;
    SuspendEdit(text, caret);
    m_book->removeObserver(this);
    delete m_view;
    m_view = m_top = m_left = m_corner = nullptr;
}

SheetView *TF1Book::createPane(int pane)
{
    auto *v = new SheetView(SheetView::Pane(pane),
                            pane == int(SheetView::Pane::Main) ? this : static_cast<QWidget *>(m_view));
    v->setObjectName(pane == int(SheetView::Pane::Main) ? QStringLiteral("Grid")
                                                        : QStringLiteral("FrozenPane%1").arg(pane));
    // Default sizes go in before the million rows do: changing them afterwards visits each row.
    v->horizontalHeader()->setDefaultSectionSize(toPixels(Workbook::kDefaultColumnWidth));
    v->verticalHeader()->setDefaultSectionSize(toPixels(Workbook::kDefaultRowHeight));
    v->setModel(m_model);
    v->setItemDelegate(m_delegate);
    if (m_view && v != m_view) {
        v->setSelectionModel(m_view->selectionModel());
        v->setMainPane(m_view);
        v->setShowGrid(m_view->showGrid());
        v->verticalHeader()->setFixedWidth(m_view->verticalHeader()->width());
        v->horizontalHeader()->setFixedHeight(m_view->horizontalHeader()->height());
    }
    connect(v, &SheetView::clearRequested, this, [this] { errorhandler::run(this, [this] { EditClear(); }); });
    connect(v, &SheetView::moveRequested, this, &TF1Book::moveActive);
    connect(v, &SheetView::lastCellRequested, this, &TF1Book::goToLastCell);
    return v;
}

void TF1Book::forEachPane(const std::function<void(SheetView *)> &f) const
{
    for (SheetView *v : {m_view, m_top, m_left, m_corner})
        if (v)
            f(v);
}

// Units

int TF1Book::toPixels(int twips) const { return qRound(twips * logicalDpiX() / 1440.0); }
int TF1Book::toTwips(int pixels) const { return qRound(pixels * 1440.0 / logicalDpiX()); }

// Properties

int TF1Book::Row() const
{
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.row() + 1 : 1;
}

int TF1Book::Col() const
{
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.column() + 1 : 1;
}

void TF1Book::SetActiveCell(int row, int col)
{
    row = std::clamp(row, 1, kMaxRows);
    col = std::clamp(col, 1, kMaxColumns);
    m_view->selectionModel()->setCurrentIndex(m_model->index(row - 1, col - 1), QItemSelectionModel::ClearAndSelect);
    checkSelChange();
}

QString TF1Book::Formula() const { return m_book->entryText(m_sheet, Row(), Col()); }

void TF1Book::SetFormula(const QString &formula)
{
    const int row = Row(), col = Col();
    m_history->changeCells(m_sheet, CellRange::single(row, col),
                           [&] { m_book->setFormula(m_sheet, row, col, formula); });
}

int TF1Book::FixedRows() const { return m_book->frozenRows(m_sheet); }
int TF1Book::FixedCols() const { return m_book->frozenColumns(m_sheet); }

void TF1Book::SetFixedRows(int rows)
{
    m_book->setFrozenRows(m_sheet, std::clamp(rows, 0, kMaxRows - 1));
    applyFrozen();
}

void TF1Book::SetFixedCols(int cols)
{
    m_book->setFrozenColumns(m_sheet, std::clamp(cols, 0, kMaxColumns - 1));
    applyFrozen();
}

bool TF1Book::ShowGridLines() const { return m_book->showGridLines(); }

void TF1Book::SetShowGridLines(bool on)
{
    keepingActiveCell([&] { m_book->setShowGridLines(on); });
    forEachPane([on](SheetView *v) { v->setShowGrid(on); });
}

// The display switches reset the workbook's views, which would send the active cell (and
// the next entry) to A1: the user stays where they were, on every sheet.
void TF1Book::keepingActiveCell(const std::function<void()> &change)
{
    const int row = Row(), col = Col();
    const std::vector<CellAddress> cursors = m_cursorOfSheet;
    change();
    if (cursors.size() == m_cursorOfSheet.size())
        m_cursorOfSheet = cursors;
    SetActiveCell(row, col);
}

bool TF1Book::ShowFormulas() const { return m_book->showFormulas(); }

void TF1Book::SetShowFormulas(bool on)
{
    keepingActiveCell([&] { m_book->setShowFormulas(on); });
    m_model->allCellsChanged();
}

int TF1Book::MaxRow() const { return m_book->maxRow(m_sheet); }
int TF1Book::MaxCol() const { return m_book->maxCol(m_sheet); }
bool TF1Book::Modified() const { return m_book->isModified(); }
void TF1Book::SetModified(bool modified) { m_book->setModified(modified); }
int TF1Book::NumSheets() const { return m_book->sheetCount(); }

void TF1Book::SetNumSheets(int count)
{
    // Sheets "FeuilN" added at the end or removed from the end, as one change.
    count = std::max(1, count);
    m_history->beginGroup();
    try {
        while (NumSheets() > count)
            m_history->removeSheet(NumSheets() - 1);
        int n = NumSheets();
        while (NumSheets() < count) {
            QString name;
            do
                name = QStringLiteral("Feuil%1").arg(++n);
            while (m_book->sheetIndex(name) >= 0);
            m_history->insertSheet(NumSheets(), name);
        }
    } catch (...) {
        m_history->endGroup();
        throw;
    }
    m_history->endGroup();
}

void TF1Book::SetSheet(int s)
{
    s = std::clamp(s, 1, NumSheets()) - 1;
    if (s == m_sheet && m_model->sheet() == s)
        return;
    CommitEdit();
    if (size_t(m_sheet) < m_cursorOfSheet.size())
        m_cursorOfSheet[size_t(m_sheet)] = {Row(), Col()};
    m_sheet = s;
    m_model->setSheet(s);
    applySheetLayout();
    const CellAddress at = size_t(s) < m_cursorOfSheet.size() ? m_cursorOfSheet[size_t(s)] : CellAddress{};
    SetActiveCell(at.row, at.col);
    m_rebuildingTabs = true;
    m_tabs->setCurrentIndex(s);
    m_rebuildingTabs = false;
    checkSelChange();
}

QString TF1Book::SheetName(int s) const { return m_book->sheetName(s - 1); }
void TF1Book::SetSheetName(int s, const QString &name) { m_history->renameSheet(s - 1, name); }
void TF1Book::InsertSheet(int s, const QString &name) { m_history->insertSheet(s - 1, name); }
void TF1Book::DeleteSheet(int s) { m_history->removeSheet(s - 1); }

void TF1Book::MoveSheet(int from, int to)
{
    if (from < 1 || from > NumSheets() || to < 1 || to > NumSheets() || from == to)
        return;
    CommitEdit();
    // The active sheet stays the one the user is on, wherever it now stands; each sheet
    // keeps its own active cell.
    if (size_t(m_sheet) < m_cursorOfSheet.size())
        m_cursorOfSheet[size_t(m_sheet)] = {Row(), Col()};
    std::vector<CellAddress> cursors = m_cursorOfSheet;
    cursors.resize(size_t(NumSheets()));
    const CellAddress moved = cursors[size_t(from - 1)];
    cursors.erase(cursors.begin() + (from - 1));
    cursors.insert(cursors.begin() + (to - 1), moved);
    const int f = from - 1, t = to - 1;
    int active = m_sheet;
    if (active == f)
        active = t;
    else if (f < active && active <= t)
        --active;
    else if (t <= active && active < f)
        ++active;
    m_sheet = active;
    m_cursorOfSheet = cursors;
    m_history->moveSheet(f, t);
}

// Formats

void TF1Book::GetAlignment(int &horizontal, bool &wrap, int &vertical, int &orientation) const
{
    const CellFormat f = m_book->format(m_sheet, Row(), Col());
    horizontal = alignmentCode(f.horizontal);
    wrap = f.wrap;
    vertical = alignmentCode(f.vertical);
    orientation = 0; // text is always written horizontally
}

void TF1Book::modifySelectionFormat(const std::function<void(CellFormat &)> &edit)
{
    const CellRange r = selectionRange();
    m_history->changeFormats(m_sheet, r, [&] { formatRange(r, edit); });
}

void TF1Book::formatRange(const CellRange &r, const std::function<void(CellFormat &)> &edit)
{
    const int maxRow = std::max(r.top, MaxRow()), maxCol = std::max(r.left, MaxCol());
    m_book->modifyFormat(m_sheet, r, edit);
    const bool whole = r.rowCount() == kMaxRows || r.columnCount() == kMaxColumns;
    if (whole || (r.bottom <= maxRow && r.right <= maxCol))
        return;
    // The workbook keeps a format change within its used area; the selected cells beyond
    // it (a block formatted before it is filled in) get theirs one by one.
    constexpr qint64 kMaxCells = 20000;
    qint64 done = 0;
    for (int row = r.top; row <= r.bottom && done < kMaxCells; ++row)
        for (int col = r.left; col <= r.right && done < kMaxCells; ++col)
            if (row > maxRow || col > maxCol) {
                m_book->modifyFormat(m_sheet, CellRange::single(row, col), edit);
                ++done;
            }
}

void TF1Book::SetAlignment(int horizontal, bool wrap, int vertical, int orientation)
{
    Q_UNUSED(orientation);
    modifySelectionFormat([&](CellFormat &f) {
        f.horizontal = horizontalFromCode(horizontal);
        f.wrap = wrap;
        f.vertical = verticalFromCode(vertical);
    });
}

void TF1Book::SetHorizontalAlignment(HorizontalAlignment horizontal)
{
    modifySelectionFormat([&](CellFormat &f) { f.horizontal = horizontal; });
}

void TF1Book::GetFont(QString &name, int &size, bool &bold, bool &italic, bool &underline, bool &strikeout,
                      unsigned &colour, bool &outline, bool &shadow) const
{
    const CellFormat f = m_book->format(m_sheet, Row(), Col());
    name = f.fontName;
    size = f.fontSize;
    bold = f.bold;
    italic = f.italic;
    underline = f.underline;
    strikeout = f.strikeout;
    colour = f.colour;
    outline = false; // outlined and shadowed letters are not drawn on this system
    shadow = false;
}

void TF1Book::SetFont(const QString &name, int size, bool bold, bool italic, bool underline, bool strikeout,
                      unsigned colour, bool outline, bool shadow)
{
    Q_UNUSED(outline);
    Q_UNUSED(shadow);
    CellFormat v;
    v.fontName = name;
    v.fontSize = size * 20;
    v.bold = bold;
    v.italic = italic;
    v.underline = underline;
    v.strikeout = strikeout;
    v.colour = colour;
    SetFontParts(v, FontAll);
}

void TF1Book::SetFontParts(const CellFormat &v, int parts)
{
    // Sizes beyond what a cell can show are brought back within 1 to 409 points.
    const int size = std::clamp(v.fontSize, 20, 409 * 20);
    const bool name = (parts & FontName) && !v.fontName.trimmed().isEmpty();
    modifySelectionFormat([&](CellFormat &f) {
        if (name)
            f.fontName = v.fontName.trimmed();
        if (parts & FontSize)
            f.fontSize = size;
        if (parts & FontBold)
            f.bold = v.bold;
        if (parts & FontItalic)
            f.italic = v.italic;
        if (parts & FontUnderline)
            f.underline = v.underline;
        if (parts & FontStrikeout)
            f.strikeout = v.strikeout;
        if (parts & FontColour)
            f.colour = v.colour & 0xffffffu;
    });
}

void TF1Book::SetNumberFormat(const QString &pattern)
{
    modifySelectionFormat([&](CellFormat &f) { f.numberFormat = pattern; });
}

// Selection

CellRange TF1Book::selectionRange() const
{
    const QItemSelection sel = m_view->selectionModel()->selection();
    if (sel.isEmpty())
        return CellRange::single(Row(), Col());
    int top = kMaxRows, left = kMaxColumns, bottom = 1, right = 1;
    for (const QItemSelectionRange &r : sel) {
        top = std::min(top, r.top() + 1);
        left = std::min(left, r.left() + 1);
        bottom = std::max(bottom, r.bottom() + 1);
        right = std::max(right, r.right() + 1);
    }
    return {top, left, bottom, right};
}

// The part of `range` that lies within the used area (at least its first cell).
CellRange TF1Book::usedPart(const CellRange &range) const
{
    CellRange r = range;
    r.bottom = std::max(r.top, std::min(r.bottom, std::max(MaxRow(), 1)));
    r.right = std::max(r.left, std::min(r.right, std::max(MaxCol(), 1)));
    return r;
}

void TF1Book::GetSelection(int index, int &r1, int &c1, int &r2, int &c2) const
{
    Q_UNUSED(index); // one selection at a time
    const CellRange r = selectionRange();
    r1 = r.top;
    c1 = r.left;
    r2 = r.bottom;
    c2 = r.right;
}

void TF1Book::SetSelection(int r1, int c1, int r2, int c2)
{
    r1 = std::clamp(r1, 1, kMaxRows);
    r2 = std::clamp(r2, r1, kMaxRows);
    c1 = std::clamp(c1, 1, kMaxColumns);
    c2 = std::clamp(c2, c1, kMaxColumns);
    QItemSelectionModel *sel = m_view->selectionModel();
    sel->setCurrentIndex(m_model->index(r1 - 1, c1 - 1), QItemSelectionModel::NoUpdate);
    sel->select(QItemSelection(m_model->index(r1 - 1, c1 - 1), m_model->index(r2 - 1, c2 - 1)),
                QItemSelectionModel::ClearAndSelect);
    checkSelChange();
}

void TF1Book::SelectAll()
{
    m_view->selectAll();
    checkSelChange();
}

void TF1Book::scheduleSelChange()
{
    if (m_selChangePending)
        return;
    m_selChangePending = true;
    QTimer::singleShot(0, this, [this] { checkSelChange(); });
}

void TF1Book::checkSelChange()
{
    m_selChangePending = false;
    const CellRange r = selectionRange();
    const SelState now{m_sheet, Row(), Col(), r.top, r.left, r.bottom, r.right};
    if (now == m_lastSel)
        return;
    m_lastSel = now;
    Q_EMIT SelChange();
}

void TF1Book::moveActive(int dRow, int dCol) { SetActiveCell(Row() + dRow, Col() + dCol); }

void TF1Book::goToLastCell(bool extend)
{
    const QModelIndex last = m_model->index(std::max(MaxRow(), 1) - 1, std::max(MaxCol(), 1) - 1);
    if (extend)
        m_view->extendSelectionTo(last);
    else
        SetActiveCell(last.row() + 1, last.column() + 1);
    m_view->scrollTo(last);
    checkSelChange();
}

QModelIndex TF1Book::cellAtGlobal(const QPoint &global) const
{
    // The frozen panes lie over the main one: the topmost pane under the point shows it.
    for (SheetView *v : {m_corner, m_top, m_left, m_view}) {
        if (!v || !v->isVisible())
            continue;
        const QPoint local = v->viewport()->mapFromGlobal(global);
        if (v->viewport()->rect().contains(local))
            return v->indexAt(local);
    }
    return {};
}

SheetView *TF1Book::paneOf(const QModelIndex &index) const
{
    const bool inRows = index.isValid() && index.row() < FixedRows();
    const bool inCols = index.isValid() && index.column() < FixedCols();
    SheetView *pane = inRows && inCols ? m_corner : inRows ? m_top : inCols ? m_left : m_view;
    return pane && pane->isVisible() ? pane : m_view;
}

void TF1Book::focusPaneOf(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    SheetView *target = paneOf(current);
    QWidget *focus = QApplication::focusWidget();
    bool ours = false;
    forEachPane([&](SheetView *v) { ours = ours || v == focus; });
    if (ours && focus != target)
        target->setFocus();
}

// Editing

SheetView *TF1Book::paneWithEditor() const
{
    QWidget *editor = m_delegate->currentEditor();
    if (!editor)
        return nullptr;
    SheetView *found = nullptr;
    forEachPane([&](SheetView *v) {
        if (editor->parentWidget() == v->viewport())
            found = v;
    });
    return found;
}

bool TF1Book::IsEditing() const { return paneWithEditor() != nullptr; }

QLineEdit *TF1Book::openEditor() const
{
    auto *line = qobject_cast<QLineEdit *>(m_delegate->currentEditor());
    return line && IsEditing() ? line : nullptr;
}

QString TF1Book::EditorText() const
{
    QLineEdit *line = openEditor();
    return line ? line->text() : QString();
}

void TF1Book::StartEdit(const QString &text, int caret)
{
    CommitEdit();
    const QModelIndex current = m_view->currentIndex();
    SheetView *pane = paneOf(current);
    pane->setFocus();
    m_delegate->setPendingText(text, caret);
    pane->edit(current);
    if (auto *line = qobject_cast<QLineEdit *>(m_delegate->currentEditor())) {
        // The view selects an opened editor's text; here the caret goes where it was asked.
        line->setFocus();
        line->setCursorPosition(caret < 0 ? int(text.size()) : caret);
        line->deselect();
    }
}

void TF1Book::InsertInEditor(const QString &text)
{
    auto *line = qobject_cast<QLineEdit *>(m_delegate->currentEditor());
    if (line && IsEditing()) {
        if (line->text().isEmpty())
            line->setText(QStringLiteral("="));
        line->insert(text);
        line->setFocus();
        return;
    }
    StartEdit(QLatin1Char('=') + text);
}

bool TF1Book::CommitEdit()
{
    SheetView *pane = paneWithEditor();
    if (!pane)
        return true;
    QWidget *editor = m_delegate->currentEditor();
    pane->commitEditor(editor);
    return !editor || !editor->property("refused").toBool();
}

bool TF1Book::SuspendEdit(QString &text, int &caret)
{
    SheetView *pane = paneWithEditor();
    auto *line = qobject_cast<QLineEdit *>(m_delegate->currentEditor());
    if (!pane || !line)
        return false;
    text = line->text();
    caret = line->cursorPosition();
    pane->discardEditor(line);
    return true;
}

bool TF1Book::EnterActiveCell(const QString &text, QString &error)
{
    if (!m_model->setData(m_model->index(Row() - 1, Col() - 1), text)) {
        error = m_model->lastError().isEmpty() ? QStringLiteral("Entrée refusée.") : m_model->lastError();
        return false;
    }
    return true;
}

void TF1Book::entryRejected(const QModelIndex &index, const QString &text, const QString &message)
{
    // The refused entry stays in an editor on its cell, so that the user can mend it.
    QTimer::singleShot(0, this, [this, index = QPersistentModelIndex(index), text, message] {
        errorhandler::show(this, message.isEmpty() ? QStringLiteral("Entrée refusée.") : message);
        if (!index.isValid())
            return;
        SetActiveCell(index.row() + 1, index.column() + 1);
        StartEdit(text);
    });
}

// Edit commands

void TF1Book::EditCopy()
{
    // While a cell is being edited the commands act on the editor's text.
    if (QLineEdit *line = openEditor()) {
        line->copy();
        return;
    }
    copyRange(false);
}

void TF1Book::copyRange(bool cut)
{
    const CellRange r = usedPart(selectionRange());
    auto *mime = new QMimeData;
    mime->setText(clipboard::rangeAsText(*m_book, m_sheet, r));
    mime->setData(QString::fromLatin1(clipboard::kMimeType), clipboard::rangeAsCells(*m_book, m_sheet, r, cut));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TF1Book::EditCut()
{
    if (QLineEdit *line = openEditor()) {
        line->cut();
        return;
    }
    copyRange(true);
    const CellRange r = usedPart(selectionRange());
    m_history->changeCells(m_sheet, r, [&] {
        m_book->clearContents(m_sheet, r);
        m_book->clearFormats(m_sheet, r);
    });
}

sheet::SheetReplacement TF1Book::EditReplace(const QString &text, const QString &replacement)
{
    CellRange r = selectionRange();
    if (r.top == r.bottom && r.left == r.right)
        r = CellRange{1, 1, kMaxRows, kMaxColumns};
    r = usedPart(r);
    // A replacement that changed nothing records no step: the history drops a change that throws.
    struct NothingChanged
    { };
    sheet::SheetReplacement done;
    try {
        m_history->changeCells(m_sheet, r, [&] {
            done = sheet::replaceInSheet(*m_book, m_sheet, r, text, replacement);
            if (done.cells == 0)
                throw NothingChanged{};
        });
    } catch (const NothingChanged &) { }
    return done;
}

void TF1Book::EditPaste()
{
    if (QLineEdit *line = openEditor()) {
        line->paste();
        return;
    }
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    const CellRange target = selectionRange();
    const QString ours = QString::fromLatin1(clipboard::kMimeType);
    CellRange pasted;
    if (mime->hasFormat(ours)) {
        const QByteArray data = mime->data(ours);
        // The extent of the pasted block and, for cut cells, where they come from, so that
        // the paste is one step of the history.
        const QJsonObject root = QJsonDocument::fromJson(data).object();
        const int rows = root.value("rows").toInt(), cols = root.value("cols").toInt();
        const CellRange extent{target.top, target.left, target.top + rows - 1, target.left + cols - 1};
        if (rows < 1 || cols < 1 || !extent.isValid()) {
            pasted = clipboard::pasteCells(*m_book, m_sheet, target.top, target.left, data); // says why it cannot
        } else {
            const int top = root.value("top").toInt(), left = root.value("left").toInt();
            const int source = root.value("cut").toBool() ? m_book->sheetIndex(root.value("sheet").toString()) : -1;
            m_history->moveCells(m_sheet, extent, source, CellRange{top, left, top + rows - 1, left + cols - 1}, [&] {
                pasted = clipboard::pasteCells(*m_book, m_sheet, target.top, target.left, data);
            });
        }
    } else if (mime->hasText()) {
        const QString text = mime->text();
        const CellRange extent = clipboard::textExtent(target.top, target.left, text);
        if (!extent.isValid())
            pasted = clipboard::pasteText(*m_book, m_sheet, target.top, target.left, text); // says why it cannot
        else
            m_history->changeCells(m_sheet, extent, [&] {
                pasted = clipboard::pasteText(*m_book, m_sheet, target.top, target.left, text);
            });
    } else {
        return;
    }
    if (pasted.isValid())
        SetSelection(pasted.top, pasted.left, pasted.bottom, pasted.right);
}

void TF1Book::EditFill(bool down)
{
    CommitEdit();
    const CellRange r = selectionRange();
    const CellRange source =
            down ? CellRange{r.top, r.left, r.top, r.right} : CellRange{r.top, r.left, r.bottom, r.left};
    if ((down ? r.rowCount() : r.columnCount()) < 2)
        return;
    // Whole rows or columns: filled down to the used area.
    const CellRange target = r.rowCount() == kMaxRows || r.columnCount() == kMaxColumns ? usedPart(r) : r;
    const QByteArray data = clipboard::rangeAsCells(*m_book, m_sheet, source);
    m_history->changeCells(m_sheet, target, [&] {
        if (down)
            for (int row = target.top + 1; row <= target.bottom; ++row)
                clipboard::pasteCells(*m_book, m_sheet, row, target.left, data);
        else
            for (int col = target.left + 1; col <= target.right; ++col)
                clipboard::pasteCells(*m_book, m_sheet, target.top, col, data);
    });
}

void TF1Book::EditClear()
{
    const CellRange r = usedPart(selectionRange());
    m_history->changeCells(m_sheet, r, [&] { m_book->clearContents(m_sheet, r); });
}

void TF1Book::EditInsert(int shift)
{
    const CellRange r = selectionRange();
    // Whole columns selected and rows asked for (or the reverse): the active row or column.
    if (shift == ShiftRows) {
        const bool all = r.rowCount() == kMaxRows;
        m_history->insertLines(m_sheet, true, all ? Row() : r.top, all ? 1 : r.rowCount());
    } else if (shift == ShiftColumns) {
        const bool all = r.columnCount() == kMaxColumns;
        m_history->insertLines(m_sheet, false, all ? Col() : r.left, all ? 1 : r.columnCount());
    }
}

void TF1Book::EditDelete(int shift)
{
    const CellRange r = selectionRange();
    if (shift == ShiftRows) {
        const bool all = r.rowCount() == kMaxRows;
        m_history->deleteLines(m_sheet, true, all ? Row() : r.top, all ? 1 : r.rowCount());
    } else if (shift == ShiftColumns) {
        const bool all = r.columnCount() == kMaxColumns;
        m_history->deleteLines(m_sheet, false, all ? Col() : r.left, all ? 1 : r.columnCount());
    }
}

void TF1Book::FilePrint(QPrinter &printer)
{
    CommitEdit();
    sheetprinter::print(*m_book, printer, m_sheet);
}

void TF1Book::Recalc() { m_book->recalculate(); }

// Sizes

void TF1Book::SetColWidth(int c1, int c2, int width, bool defaultFlag)
{
    Q_UNUSED(defaultFlag);
    c1 = std::clamp(c1, 1, kMaxColumns);
    c2 = std::clamp(c2, c1, kMaxColumns);
    m_history->changeColumnWidths(m_sheet, c1, c2,
                                  [&] { m_book->setColumnWidth(m_sheet, c1, c2, std::max(0, width)); });
}

void TF1Book::SetRowHeight(int r1, int r2, int height, bool defaultFlag)
{
    Q_UNUSED(defaultFlag);
    r1 = std::clamp(r1, 1, kMaxRows);
    r2 = std::clamp(r2, r1, kMaxRows);
    // Whole columns selected: the workbook sizes the rows down to a little past the used area.
    r2 = std::min(r2, std::max({r1, MaxRow(), r1 + 1000}));
    m_history->changeRowHeights(m_sheet, r1, r2, [&] { m_book->setRowHeight(m_sheet, r1, r2, std::max(0, height)); });
}

int TF1Book::ColWidth(int col) const { return m_book->columnWidth(m_sheet, col); }
int TF1Book::RowHeight(int row) const { return m_book->rowHeight(m_sheet, row); }

void TF1Book::SetColWidthAuto(int r1, int c1, int r2, int c2, bool setDefaults)
{
    if (r2 < r1 || c2 < c1)
        return;
    const int padding = 8; // pixels around the text, as the grid draws it
    std::vector<int> widest(size_t(c2 - c1 + 1), 0);
    m_book->forEachCell(m_sheet, CellRange{r1, c1, r2, c2}, [&](int r, int c) {
        const QString text = m_book->displayText(m_sheet, r, c);
        if (text.isEmpty())
            return;
        const QFontMetrics fm(SheetModel::fontOf(m_book->format(m_sheet, r, c)), this);
        int w = 0;
        for (const QString &line : text.split(QLatin1Char('\n')))
            w = std::max(w, fm.horizontalAdvance(line));
        int &slot = widest[size_t(c - c1)];
        slot = std::max(slot, w + padding);
    });
    m_history->changeColumnWidths(m_sheet, c1, c2, [&] {
        for (int c = c1; c <= c2; ++c) {
            const int px = widest[size_t(c - c1)];
            if (px > 0)
                m_book->setColumnWidth(m_sheet, c, c, toTwips(px));
            else if (setDefaults)
                m_book->setColumnWidth(m_sheet, c, c, Workbook::kDefaultColumnWidth);
        }
    });
}

void TF1Book::Sort(int r1, int c1, int r2, int c2, bool byRows, int key1, int key2, int key3)
{
    if (!byRows)
        throw VelmoraError(QStringLiteral("Le tri par colonnes n'est pas disponible."));
    const CellRange range{r1, c1, r2, c2};
    m_history->sortRows(m_sheet, range, {key1, key2, key3});
}

int TF1Book::ObjCreate(int type, int r1, int c1, int r2, int c2)
{
    int id = 0;
    m_history->changeCharts(m_sheet, [&] { id = m_book->addChart(m_sheet, type, CellRange{r1, c1, r2, c2}); });
    return id;
}

int TF1Book::ChartAt(const QPoint &viewportPoint) const
{
    const std::vector<ChartObject> charts = m_book->charts(m_sheet);
    for (auto c = charts.rbegin(); c != charts.rend(); ++c) // the one drawn last is on top
        if (chartRect(*c).contains(viewportPoint))
            return c->id;
    return 0;
}

void TF1Book::ObjDelete(int id)
{
    m_history->changeCharts(m_sheet, [&] { m_book->removeChart(id); });
    m_view->viewport()->update();
}

QRect TF1Book::chartRect(const ChartObject &chart) const
{
    return QRect(m_view->columnViewportPosition(chart.anchor.col - 1),
                 m_view->rowViewportPosition(chart.anchor.row - 1), toPixels(chart.width), toPixels(chart.height));
}

void TF1Book::Read(const QString &path, int &format)
{
    CommitEdit();
    format = kFormatWorkbook;
    workbookfile::read(path, *m_book, &m_cellsLeftOut);
    m_history->clear(); // another workbook: the changes of the former one cannot be undone in it
}

void TF1Book::Write(const QString &path, int format)
{
    Q_UNUSED(format); // the file's name tells the form: ".ods" package or ".qvc"
    CommitEdit();
    workbookfile::write(path, *m_book);
}

// Undo and redo

void TF1Book::EditUndo() { replay(true); }
void TF1Book::EditRedo() { replay(false); }

void TF1Book::replay(bool undo)
{
    if (QLineEdit *line = openEditor()) {
        undo ? line->undo() : line->redo();
        return;
    }
    const WorkbookHistory::Place place = undo ? m_history->undo() : m_history->redo();
    showChange(place.sheet, place.range);
}

bool TF1Book::CanUndo() const
{
    if (QLineEdit *line = openEditor())
        return line->isUndoAvailable();
    return m_history->canUndo();
}

bool TF1Book::CanRedo() const
{
    if (QLineEdit *line = openEditor())
        return line->isRedoAvailable();
    return m_history->canRedo();
}

// After an undo or a redo the user sees what changed back: its sheet, and its cells selected.
void TF1Book::showChange(int s, const CellRange &range)
{
    if (s < 0)
        return;
    SetSheet(s + 1);
    if (!range.isValid())
        return;
    const bool wholeRows = range.columnCount() == kMaxColumns, wholeColumns = range.rowCount() == kMaxRows;
    SetSelection(range.top, range.left, range.bottom, range.right);
    // A whole line selected shows from its start, where the user last saw it.
    m_view->scrollTo(m_model->index(wholeColumns ? 0 : range.top - 1, wholeRows ? 0 : range.left - 1));
}

// What the engine reports

void TF1Book::cellsChanged(int s, const std::vector<CellAddress> &cells)
{
    if (s != m_sheet)
        return;
    m_model->cellsChanged(cells);
    // An entry or a format in a larger font makes its row grow (a long recalculation's
    // changes are values in fonts already fitted: only small changes are looked at).
    if (cells.size() <= 2000) {
        std::vector<int> rows;
        rows.reserve(cells.size());
        for (const CellAddress &a : cells)
            rows.push_back(a.row);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        fitRowHeights(rows);
    }
    if (!m_book->charts(s).empty())
        m_view->viewport()->update();
}

void TF1Book::sheetChanged(int s)
{
    if (s != m_sheet)
        return;
    m_model->allCellsChanged();
    applySheetLayout();
    checkSelChange();
}

void TF1Book::sheetsChanged()
{
    // Sheets may have moved under the active index: show again what it now holds.
    m_cursorOfSheet.resize(size_t(m_book->sheetCount()));
    m_sheet = std::clamp(m_sheet, 0, m_book->sheetCount() - 1);
    const int row = Row(), col = Col();
    m_model->setSheet(m_sheet);
    rebuildTabs();
    applySheetLayout();
    SetActiveCell(row, col);
    checkSelChange();
}

void TF1Book::workbookReset()
{
    m_sheet = std::clamp(m_sheet, 0, m_book->sheetCount() - 1);
    m_model->setSheet(m_sheet);
    m_cursorOfSheet.assign(size_t(m_book->sheetCount()), CellAddress{});
    rebuildTabs();
    forEachPane([this](SheetView *v) { v->setShowGrid(m_book->showGridLines()); });
    applySheetLayout();
    SetActiveCell(1, 1);
    m_lastSel = {-1, 0, 0, 0, 0, 0, 0};
    checkSelChange();
}

void TF1Book::rebuildTabs()
{
    m_rebuildingTabs = true;
    while (m_tabs->count() > m_book->sheetCount())
        m_tabs->removeTab(m_tabs->count() - 1);
    for (int s = 0; s < m_book->sheetCount(); ++s) {
        if (s < m_tabs->count())
            m_tabs->setTabText(s, m_book->sheetName(s));
        else
            m_tabs->addTab(m_book->sheetName(s));
    }
    m_tabs->setCurrentIndex(m_sheet);
    m_rebuildingTabs = false;
}

// Layout of the panes

void TF1Book::applySheetLayout()
{
    applySizes();
    applyFrozen();
    m_view->viewport()->update();
}

void TF1Book::applySizes()
{
    std::vector<int> custom;
    for (int r = 1; r <= kMaxRows; ++r)
        if (m_book->hasCustomRowHeight(m_sheet, r))
            custom.push_back(r - 1);
    const int defaultRow = toPixels(Workbook::kDefaultRowHeight);
    forEachPane([&](SheetView *v) {
        for (int r : m_customRows) // back to the default before the sheet's own sizes
            v->verticalHeader()->resizeSection(r, defaultRow);
        for (int r : m_autoRows)
            v->verticalHeader()->resizeSection(r, defaultRow);
    });
    m_customRows = std::move(custom);
    m_autoRows.clear();
    forEachPane([this](SheetView *v) { applySizesTo(v); });
    // Rows holding a font larger than the default are as tall as it.
    std::vector<int> tall;
    const int defaultSize = m_book->defaultFormat().fontSize;
    m_book->forEachCell(m_sheet, CellRange{1, 1, kMaxRows, kMaxColumns}, [&](int r, int c) {
        if (m_book->format(m_sheet, r, c).fontSize > defaultSize)
            tall.push_back(r);
    });
    std::sort(tall.begin(), tall.end());
    tall.erase(std::unique(tall.begin(), tall.end()), tall.end());
    fitRowHeights(tall);
}

void TF1Book::fitRowHeights(const std::vector<int> &rows)
{
    const int defaultRow = toPixels(Workbook::kDefaultRowHeight);
    // A row of the default font has the default height; a larger font adds its extra height.
    const CellFormat standard = m_book->defaultFormat();
    const int defaultText = QFontMetrics(SheetModel::fontOf(standard), this).height();
    for (int r : rows) {
        if (r < 1 || r > kMaxRows || m_book->hasCustomRowHeight(m_sheet, r))
            continue;
        int wanted = defaultRow;
        m_book->forEachCell(m_sheet, CellRange{r, 1, r, kMaxColumns}, [&](int row, int c) {
            const CellFormat f = m_book->format(m_sheet, row, c);
            if (f.fontSize <= standard.fontSize && f.fontName == standard.fontName)
                return; // no taller than the default font
            const QFontMetrics fm(SheetModel::fontOf(f), this);
            wanted = std::max(wanted, defaultRow + fm.height() - defaultText);
        });
        const int current = m_view->verticalHeader()->sectionSize(r - 1);
        if (current == wanted)
            continue;
        forEachPane([&](SheetView *v) { v->verticalHeader()->resizeSection(r - 1, wanted); });
        if (wanted == defaultRow)
            std::erase(m_autoRows, r - 1);
        else if (std::find(m_autoRows.begin(), m_autoRows.end(), r - 1) == m_autoRows.end())
            m_autoRows.push_back(r - 1);
    }
}

void TF1Book::applySizesTo(SheetView *v)
{
    QHeaderView *h = v->horizontalHeader();
    for (int c = 1; c <= kMaxColumns; ++c)
        h->resizeSection(c - 1, toPixels(m_book->columnWidth(m_sheet, c)));
    QHeaderView *vh = v->verticalHeader();
    for (int r : m_customRows)
        vh->resizeSection(r, toPixels(m_book->rowHeight(m_sheet, r + 1)));
    // Rows grown to fit a large font, as the main pane has them.
    if (v != m_view)
        for (int r : m_autoRows)
            vh->resizeSection(r, m_view->verticalHeader()->sectionSize(r));
}

void TF1Book::applyFrozen()
{
    bool hadFocus = false;
    forEachPane([&](SheetView *v) { hadFocus = hadFocus || v->hasFocus(); });
    const int fr = FixedRows(), fc = FixedCols();
    m_view->setFrozen(fr, fc);
    auto ensure = [this](SheetView *&pane, SheetView::Pane kind, bool wanted) {
        if (wanted && !pane) {
            pane = createPane(int(kind));
            applySizesTo(pane);
            // Overlay panes follow the main pane's scrolling along their free direction.
            if (kind == SheetView::Pane::Top)
                connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, pane->horizontalScrollBar(),
                        &QScrollBar::setValue);
            if (kind == SheetView::Pane::Left)
                connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, pane->verticalScrollBar(),
                        &QScrollBar::setValue);
        }
        if (pane)
            pane->setVisible(wanted);
    };
    ensure(m_top, SheetView::Pane::Top, fr > 0);
    ensure(m_left, SheetView::Pane::Left, fc > 0);
    ensure(m_corner, SheetView::Pane::Corner, fr > 0 && fc > 0);
    layoutPanes();
    if (fr > 0 || fc > 0)
        m_view->scrollTo(m_view->currentIndex());
    // Keys go to the pane that now shows the active cell.
    if (hadFocus)
        paneOf(m_view->currentIndex())->setFocus();
}

void TF1Book::layoutPanes()
{
    const int fr = FixedRows(), fc = FixedCols();
    if (fr == 0 && fc == 0)
        return;
    const int fw = m_view->frameWidth();
    const int vw = m_view->verticalHeader()->width();
    const int hh = m_view->horizontalHeader()->height();
    QHeaderView *vh = m_view->verticalHeader(), *hh2 = m_view->horizontalHeader();
    const int frozenH = fr > 0 ? vh->sectionPosition(fr - 1) + vh->sectionSize(fr - 1) : 0;
    const int frozenW = fc > 0 ? hh2->sectionPosition(fc - 1) + hh2->sectionSize(fc - 1) : 0;
    const QSize vp = m_view->viewport()->size();
    auto place = [&](SheetView *pane, const QRect &r) {
        if (!pane || !pane->isVisible())
            return;
        pane->verticalHeader()->setFixedWidth(vw);
        pane->horizontalHeader()->setFixedHeight(hh);
        pane->setGeometry(r);
        pane->raise();
    };
    place(m_top, QRect(fw, fw, vw + vp.width(), hh + std::min(frozenH, vp.height())));
    place(m_left, QRect(fw, fw, vw + std::min(frozenW, vp.width()), hh + vp.height()));
    place(m_corner, QRect(fw, fw, vw + std::min(frozenW, vp.width()), hh + std::min(frozenH, vp.height())));
    if (m_top && m_top->isVisible()) {
        m_top->verticalScrollBar()->setValue(0);
        m_top->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->value());
    }
    if (m_left && m_left->isVisible()) {
        m_left->horizontalScrollBar()->setValue(0);
        m_left->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value());
    }
}

bool TF1Book::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tabs && event->type() == QEvent::MouseButtonPress && !m_tabDrag) {
        m_tabDrag = true;
        m_history->beginGroup();
    } else if (watched == m_tabs && event->type() == QEvent::MouseButtonRelease && m_tabDrag) {
        // The tab bar moves the tab once it has handled the release.
        QTimer::singleShot(0, this, [this] {
            m_tabDrag = false;
            m_history->endGroup();
        });
    }
    if ((watched == m_view || watched == m_view->viewport()) && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, [this] { layoutPanes(); });
    // A right click on a chart offers to remove it (one step of the history).
    if (watched == m_view->viewport() && event->type() == QEvent::ContextMenu) {
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (const int id = ChartAt(menuEvent->pos())) {
            QMenu menu(this);
            QAction *remove = menu.addAction(QStringLiteral("Supprimer le graphique"));
            if (menu.exec(menuEvent->globalPos()) == remove)
                ObjDelete(id);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TF1Book::paintCharts(QPainter &p)
{
    for (const ChartObject &chart : m_book->charts(m_sheet)) {
        const QRect rect = chartRect(chart);
        if (rect.intersects(m_view->viewport()->rect()))
            chartpainter::paint(p, rect, *m_book, m_sheet, chart);
    }
}
