// A grid of text cells as the planner's windows use it: heading rows and columns that do not
// scroll and are painted in their own colour, an editor always open on the current cell
// (typing goes straight into the cell), TAB and the arrow keys moving between cells, and
// rows selected as a block with Shift or the mouse.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QStringList>

#include <functional>

class QLineEdit;

class AgendaGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum Option {
        Editing = 0x1, // non-fixed cells are edited in place, the editor always shown
        RangeSelect = 0x2, // Shift + arrows or a mouse drag select a block of cells
    };
    Q_DECLARE_FLAGS(Options, Option)

    struct Selection
    {
        int left = 0, top = 0, right = 0, bottom = 0;
    };

    explicit AgendaGrid(QWidget *parent = nullptr);

    void setOptions(Options options);
    Options options() const { return m_options; }

    void setColCount(int count);
    int colCount() const { return int(m_colWidths.size()); }
    // Keeps the text of the rows that remain.
    void setRowCount(int count);
    int rowCount() const { return int(m_cells.size()); }
    void setFixedCols(int count);
    void setFixedRows(int count);
    int fixedCols() const { return m_fixedCols; }
    int fixedRows() const { return m_fixedRows; }
    void setColWidth(int col, int width);
    int colWidth(int col) const { return m_colWidths.value(col); }
    void setDefaultRowHeight(int height);
    int defaultRowHeight() const { return m_rowHeight; }
    void setFixedColor(const QColor &color);
    QColor fixedColor() const { return m_fixedColor; }

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);

    int col() const { return m_col; }
    int row() const { return m_row; }
    // Makes (col, row) the current cell when it is not fixed, and raises clicked().
    void setCurrentCell(int col, int row);
    Selection selection() const;

    QLineEdit *editor() const { return m_editor; }
    // The longest text the editor accepts in a cell (never less than the cell holds).
    void setMaxLength(std::function<int(int col, int row)> maxLength) { m_maxLength = std::move(maxLength); }
    // Sees every key pressed in the grid or its editor first; true consumes the key.
    void setKeyPreview(std::function<bool(QKeyEvent *)> preview) { m_keyPreview = std::move(preview); }

    // Where a cell is drawn, in viewport coordinates (empty when scrolled out of view).
    QRect cellRect(int col, int row) const;
    int firstVisibleRow() const { return m_fixedRows + m_topOffset; }

Q_SIGNALS:
    // The current cell was set: by the mouse, the keyboard or the program.
    void clicked();
    // The user changed the text of a cell through the editor.
    void cellEdited(int col, int row);
    // Typing or pasting into the current cell was cut short: the cell is full.
    void cellFull(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isFixed(int col, int row) const { return col < m_fixedCols || row < m_fixedRows; }
    bool handleKey(QKeyEvent *event, bool fromEditor);
    void moveTo(int col, int row, bool extend);
    QPoint cellAt(const QPoint &pos) const;
    int visibleScrollRows() const;
    void ensureVisible(int row);
    void updateScrollBar();
    void placeEditor();
    void onEditorEdited(const QString &text);
    void drawCell(QPainter &p, int col, int row, const QRect &r);

    Options m_options;
    QList<QStringList> m_cells; // [row][col]
    QList<int> m_colWidths;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_rowHeight = 24;
    QColor m_fixedColor;
    int m_col = 0;
    int m_row = 0;
    int m_anchorCol = 0;
    int m_anchorRow = 0;
    int m_topOffset = 0; // scrollable rows scrolled out above the view
    QLineEdit *m_editor = nullptr;
    bool m_settingEditor = false;
    std::function<int(int, int)> m_maxLength;
    std::function<bool(QKeyEvent *)> m_keyPreview;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AgendaGrid::Options)
