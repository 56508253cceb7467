#include "agenda/ui/agendagrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int kLine = 1; // grid-line width
constexpr int kTextMargin = 2;
const QColor kGridLine(0xC0, 0xC0, 0xC0);
} // namespace

AgendaGrid::AgendaGrid(QWidget *parent) : QAbstractScrollArea(parent), m_fixedColor(palette().color(QPalette::Button))
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);

    m_editor = new QLineEdit(viewport());
    m_editor->setFrame(false);
    m_editor->hide();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, &AgendaGrid::onEditorEdited);
    // The editor refuses what would pass its maximum length (typing or pasting).
    connect(m_editor, &QLineEdit::inputRejected, this, [this] {
        if (m_editor->text().size() >= m_editor->maxLength())
            Q_EMIT cellFull(m_col, m_row);
    });
    setFocusProxy(nullptr);
}

void AgendaGrid::setOptions(Options options)
{
    m_options = options;
    placeEditor();
}

void AgendaGrid::setColCount(int count)
{
    count = qMax(0, count);
    while (m_colWidths.size() < count)
        m_colWidths.append(64);
    m_colWidths.resize(count);
    for (QStringList &r : m_cells)
        r.resize(count);
    m_col = qBound(qMin(m_fixedCols, count - 1), m_col, count - 1);
    viewport()->update();
    placeEditor();
}

void AgendaGrid::setRowCount(int count)
{
    count = qMax(0, count);
    const qsizetype old = m_cells.size();
    m_cells.resize(count);
    for (qsizetype r = old; r < count; ++r)
        m_cells[r].resize(m_colWidths.size());
    if (m_row >= count) {
        m_row = qMax(m_fixedRows, count - 1);
        m_anchorRow = m_row;
    }
    m_anchorRow = qMin(m_anchorRow, qMax(0, count - 1));
    updateScrollBar();
    viewport()->update();
    placeEditor();
}

void AgendaGrid::setFixedCols(int count)
{
    m_fixedCols = count;
    m_col = m_anchorCol = qMax(m_col, count);
    placeEditor();
}

void AgendaGrid::setFixedRows(int count)
{
    m_fixedRows = count;
    m_row = m_anchorRow = qMax(m_row, count);
    updateScrollBar();
    placeEditor();
}

void AgendaGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= m_colWidths.size())
        return;
    m_colWidths[col] = qMax(0, width);
    viewport()->update();
    placeEditor();
}

void AgendaGrid::setDefaultRowHeight(int height)
{
    m_rowHeight = qMax(1, height);
    updateScrollBar();
    viewport()->update();
    placeEditor();
}

void AgendaGrid::setFixedColor(const QColor &color)
{
    m_fixedColor = color;
    viewport()->update();
}

QString AgendaGrid::cell(int col, int row) const
{
    if (row < 0 || row >= m_cells.size() || col < 0 || col >= m_cells[row].size())
        return QString();
    return m_cells[row][col];
}

void AgendaGrid::setCell(int col, int row, const QString &text)
{
    if (row < 0 || row >= m_cells.size() || col < 0 || col >= m_cells[row].size())
        return;
    if (m_cells[row][col] == text)
        return;
    m_cells[row][col] = text;
    if (col == m_col && row == m_row)
        placeEditor();
    viewport()->update(cellRect(col, row));
}

void AgendaGrid::setCurrentCell(int col, int row)
{
    if (col < m_fixedCols || row < m_fixedRows || col >= colCount() || row >= rowCount())
        return;
    m_col = m_anchorCol = col;
    m_row = m_anchorRow = row;
    ensureVisible(row);
    placeEditor();
    viewport()->update();
    Q_EMIT clicked();
}

AgendaGrid::Selection AgendaGrid::selection() const
{
    return Selection{qMin(m_col, m_anchorCol), qMin(m_row, m_anchorRow), qMax(m_col, m_anchorCol),
                     qMax(m_row, m_anchorRow)};
}

QRect AgendaGrid::cellRect(int col, int row) const
{
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount())
        return QRect();
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += m_colWidths[c] + kLine;
    int y;
    if (row < m_fixedRows) {
        y = row * (m_rowHeight + kLine);
    } else {
        if (row < firstVisibleRow())
            return QRect();
        y = (m_fixedRows + row - firstVisibleRow()) * (m_rowHeight + kLine);
    }
    return QRect(x, y, m_colWidths[col], m_rowHeight);
}

QPoint AgendaGrid::cellAt(const QPoint &pos) const
{
    int col = -1;
    int x = 0;
    for (int c = 0; c < colCount(); ++c) {
        if (pos.x() >= x && pos.x() < x + m_colWidths[c] + kLine) {
            col = c;
            break;
        }
        x += m_colWidths[c] + kLine;
    }
    const int band = pos.y() / (m_rowHeight + kLine);
    int row = band < m_fixedRows ? band : band - m_fixedRows + firstVisibleRow();
    if (pos.y() < 0 || row >= rowCount())
        row = -1;
    return QPoint(col, row);
}

int AgendaGrid::visibleScrollRows() const
{
    const int fixedHeight = m_fixedRows * (m_rowHeight + kLine);
    return qMax(1, (viewport()->height() - fixedHeight) / (m_rowHeight + kLine));
}

void AgendaGrid::updateScrollBar()
{
    const int scrollable = qMax(0, rowCount() - m_fixedRows);
    const int maxOffset = qMax(0, scrollable - visibleScrollRows());
    verticalScrollBar()->setRange(0, maxOffset);
    verticalScrollBar()->setPageStep(visibleScrollRows());
    if (m_topOffset > maxOffset) {
        m_topOffset = maxOffset;
        verticalScrollBar()->setValue(maxOffset);
    }
}

void AgendaGrid::ensureVisible(int row)
{
    if (row < m_fixedRows)
        return;
    const int offset = row - m_fixedRows;
    if (offset < m_topOffset)
        verticalScrollBar()->setValue(offset);
    else if (offset >= m_topOffset + visibleScrollRows())
        verticalScrollBar()->setValue(offset - visibleScrollRows() + 1);
}

void AgendaGrid::scrollContentsBy(int, int)
{
    m_topOffset = verticalScrollBar()->value();
    viewport()->update();
    placeEditor();
}

void AgendaGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
    placeEditor();
}

void AgendaGrid::placeEditor()
{
    const bool editable = (m_options & Editing) && !isFixed(m_col, m_row) && m_row < rowCount() && m_col < colCount();
    const QRect r = editable ? cellRect(m_col, m_row) : QRect();
    if (r.isEmpty()) {
        const bool hadFocus = m_editor->hasFocus();
        m_editor->hide();
        if (hadFocus)
            setFocus();
        return;
    }
    const QString text = cell(m_col, m_row);
    m_settingEditor = true;
    const int limit = m_maxLength ? m_maxLength(m_col, m_row) : 32767;
    m_editor->setMaxLength(qMax(limit, int(text.size())));
    if (m_editor->text() != text || m_editor->property("cell").toPoint() != QPoint(m_col, m_row)) {
        m_editor->setText(text);
        m_editor->selectAll();
    }
    m_editor->setProperty("cell", QPoint(m_col, m_row));
    m_settingEditor = false;
    m_editor->setGeometry(r.adjusted(kTextMargin, 2, -2, -2));
    const bool focus = hasFocus();
    m_editor->show();
    if (focus)
        m_editor->setFocus();
}

void AgendaGrid::onEditorEdited(const QString &typed)
{
    if (m_settingEditor)
        return;
    QString text = typed;
    // A cell holds one line without TAB: the file keeps subject and note apart with one.
    if (text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r')) {
        const int pos = m_editor->cursorPosition();
        text.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
        m_editor->setText(text);
        m_editor->setCursorPosition(pos);
    }
    m_cells[m_row][m_col] = text;
    Q_EMIT cellEdited(m_col, m_row);
}

void AgendaGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_editor->isVisible())
        m_editor->setFocus();
}

bool AgendaGrid::focusNextPrevChild(bool next)
{
    if (m_options & Editing)
        return false; // TAB moves between cells
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool AgendaGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent *>(event), true);
    if (watched == m_editor && event->type() == QEvent::ShortcutOverride) {
        // Cut, copy and paste keys belong to the window's row commands (the frame's
        // shortcuts), as the menu shows them; the editor's own menu still copies text.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste)) {
            event->ignore();
            return true;
        }
    }
    if (watched == m_editor && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        viewport()->update(); // the frame around the current cell follows the focus
    return QAbstractScrollArea::eventFilter(watched, event);
}

void AgendaGrid::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event, false))
        QAbstractScrollArea::keyPressEvent(event);
}

bool AgendaGrid::handleKey(QKeyEvent *e, bool fromEditor)
{
    if (m_keyPreview && m_keyPreview(e))
        return true;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shift = (e->modifiers() & Qt::ShiftModifier) && (m_options & RangeSelect);
    // In the editor, Left/Right/Home/End leave the cell only from its edge (or with Ctrl).
    const int len = int(m_editor->text().size());
    const int selStart = m_editor->hasSelectedText() ? int(m_editor->selectionStart()) : m_editor->cursorPosition();
    const int selEnd = m_editor->hasSelectedText() ? selStart + int(m_editor->selectedText().size()) : selStart;
    const bool leftSide = !fromEditor || (selStart == 0 && (selEnd == 0 || selEnd == len));
    const bool rightSide = !fromEditor || ((selStart == 0 || selEnd == selStart) && selEnd == len);
    const int last = rowCount() - 1;
    switch (e->key()) {
    case Qt::Key_Up: moveTo(m_col, m_row - 1, shift); return true;
    case Qt::Key_Down: moveTo(m_col, m_row + 1, shift); return true;
    case Qt::Key_PageUp: moveTo(m_col, m_row - visibleScrollRows(), shift); return true;
    case Qt::Key_PageDown: moveTo(m_col, m_row + visibleScrollRows(), shift); return true;
    case Qt::Key_Left:
        if (!(ctrl || leftSide))
            return false;
        moveTo(m_col - 1, m_row, shift);
        return true;
    case Qt::Key_Right:
        if (!(ctrl || rightSide))
            return false;
        moveTo(m_col + 1, m_row, shift);
        return true;
    case Qt::Key_Home:
        if (!(ctrl || leftSide))
            return false;
        moveTo(m_fixedCols, ctrl ? m_fixedRows : m_row, shift);
        return true;
    case Qt::Key_End:
        if (!(ctrl || rightSide))
            return false;
        moveTo(colCount() - 1, ctrl ? last : m_row, shift);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!(m_options & Editing) || ctrl)
            return false;
        const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
        int c = m_col + (back ? -1 : 1);
        int r = m_row;
        if (c >= colCount()) {
            c = m_fixedCols;
            ++r;
        } else if (c < m_fixedCols) {
            c = colCount() - 1;
            --r;
        }
        if (r >= m_fixedRows && r <= last)
            moveTo(c, r, false);
        return true;
    }
    default: return false;
    }
}

void AgendaGrid::moveTo(int col, int row, bool extend)
{
    col = qBound(m_fixedCols, col, colCount() - 1);
    row = qBound(m_fixedRows, row, rowCount() - 1);
    if (col < m_fixedCols || row < m_fixedRows)
        return;
    if (col == m_col && row == m_row && (extend || (m_anchorCol == col && m_anchorRow == row)))
        return;
    m_col = col;
    m_row = row;
    if (!extend) {
        m_anchorCol = col;
        m_anchorRow = row;
    }
    ensureVisible(row);
    placeEditor();
    viewport()->update();
    Q_EMIT clicked();
}

void AgendaGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint c = cellAt(event->position().toPoint());
    if (c.x() < 0 || c.y() < 0 || isFixed(c.x(), c.y()))
        return;
    setFocus();
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && (m_options & RangeSelect);
    if (extend) {
        moveTo(c.x(), c.y(), true);
        return;
    }
    setCurrentCell(c.x(), c.y());
}

void AgendaGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !(m_options & RangeSelect))
        return;
    const QPoint c = cellAt(event->position().toPoint());
    if (c.x() >= m_fixedCols && c.y() >= m_fixedRows && (c.x() != m_col || c.y() != m_row))
        moveTo(c.x(), c.y(), true);
}

void AgendaGrid::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int stride = m_rowHeight + kLine;
    const int visibleRows = viewport()->height() / stride + 1;
    QList<int> rows;
    for (int r = 0; r < m_fixedRows && r < rowCount(); ++r)
        rows.append(r);
    for (int r = firstVisibleRow(); r < rowCount() && rows.size() < visibleRows + m_fixedRows; ++r)
        rows.append(r);
    for (int r : rows)
        for (int c = 0; c < colCount(); ++c) {
            const QRect rect = cellRect(c, r);
            if (!rect.isEmpty())
                drawCell(p, c, r, rect);
        }
}

void AgendaGrid::drawCell(QPainter &p, int col, int row, const QRect &r)
{
    const QRect lines = r.adjusted(0, 0, kLine, kLine);
    const Selection s = selection();
    const bool fixed = isFixed(col, row);
    const bool selected = !fixed && col >= s.left && col <= s.right && row >= s.top && row <= s.bottom;
    const bool current = col == m_col && row == m_row;
    QColor back = palette().color(QPalette::Base);
    QColor fore = palette().color(QPalette::Text);
    if (fixed) {
        back = m_fixedColor;
        fore = Qt::black;
    } else if (selected && !(current && (m_options & Editing))) {
        back = palette().color(QPalette::Highlight);
        fore = palette().color(QPalette::HighlightedText);
    }
    p.fillRect(r, back);
    p.setPen(kGridLine);
    p.drawLine(lines.topRight(), lines.bottomRight());
    p.drawLine(lines.bottomLeft(), lines.bottomRight());
    if (fixed) { // raised edge, like a heading button
        p.setPen(back.lighter(140));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(back.darker(140));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    p.setPen(fore);
    p.drawText(r.adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               cell(col, row));
    if (current && !fixed && (m_options & Editing) && (hasFocus() || m_editor->hasFocus())) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r).adjusted(1, 1, -1, -1));
    } else if (current && hasFocus() && !(m_options & Editing)) {
        p.setPen(QPen(fore, 1, Qt::DotLine));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}
