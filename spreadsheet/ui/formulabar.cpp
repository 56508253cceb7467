#include "spreadsheet/ui/formulabar.h"

#include "common/ui/errorhandler.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/tf1book.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>

using namespace sheet;

FormulaBar::FormulaBar(TF1Book &book, QWidget *parent) : QWidget(parent), m_book(book)
{
    setObjectName(QStringLiteral("FormulaBar"));
    NameBox = new QLineEdit(this);
    NameBox->setObjectName(QStringLiteral("NameBox"));
    NameBox->setAccessibleName(QStringLiteral("Adresse de la cellule"));
    NameBox->setToolTip(QStringLiteral("Adresse de la cellule : tapez une adresse (B12, Feuil2!C3, A1:C5) et Entrée"));
    NameBox->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("Feuil10!IV1048576")) / 2 + 16);
    ContentLine = new QLineEdit(this);
    ContentLine->setObjectName(QStringLiteral("FormulaLine"));
    ContentLine->setAccessibleName(QStringLiteral("Contenu de la cellule"));
    ContentLine->setToolTip(QStringLiteral("Contenu de la cellule : Entrée le valide, Échap le rétablit"));
    // The grid keeps the keyboard: the bar is reached with the mouse.
    NameBox->setFocusPolicy(Qt::ClickFocus);
    ContentLine->setFocusPolicy(Qt::ClickFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 1);
    layout->setSpacing(2);
    layout->addWidget(NameBox);
    layout->addWidget(ContentLine, 1);

    connect(NameBox, &QLineEdit::returnPressed, this, &FormulaBar::goToAddress);
    connect(ContentLine, &QLineEdit::returnPressed, this, &FormulaBar::enterContent);
    NameBox->installEventFilter(this);
    ContentLine->installEventFilter(this);
    connect(&m_book, &TF1Book::SelChange, this, &FormulaBar::refresh);
    // What the cell holds may change under the bar (recalculation, undo): shown again,
    // unless the user is typing in the bar.
    connect(&m_book, &TF1Book::ContentsChanged, this, [this] {
        if (!ContentLine->hasFocus())
            ContentLine->setText(m_book.Formula());
    });
    // Typing in the cell shows in the bar as it goes; when the typing is given up (Escape),
    // the bar shows again what the cell holds.
    connect(&m_book, &TF1Book::EditorOpened, this, [this](QLineEdit *editor) {
        connect(editor, &QLineEdit::textChanged, ContentLine, [this](const QString &text) {
            if (!ContentLine->hasFocus())
                ContentLine->setText(text);
        });
        connect(editor, &QObject::destroyed, ContentLine, [this] {
            if (!ContentLine->hasFocus())
                ContentLine->setText(m_book.Formula());
        });
    });
    refresh();
}

void FormulaBar::refresh()
{
    if (!NameBox->hasFocus())
        NameBox->setText(cellName(m_book.Row(), m_book.Col()));
    ContentLine->setText(m_book.Formula());
}

bool FormulaBar::parseAddress(const QString &text, const Workbook &book, int &sheet, CellRange &range)
{
    QString t = text.trimmed();
    sheet = -1;
    const qsizetype bang = t.lastIndexOf(u'!');
    if (bang >= 0) {
        QString name = t.left(bang).trimmed();
        if (name.size() >= 2 && name.startsWith(u'\'') && name.endsWith(u'\''))
            name = name.mid(1, name.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        sheet = book.sheetIndex(name);
        if (sheet < 0)
            return false;
        t = t.mid(bang + 1);
    }
    t.remove(u'$');
    const QStringList corners = t.split(u':');
    if (corners.isEmpty() || corners.size() > 2)
        return false;
    int r1, c1, r2, c2;
    if (!parseCellName(corners.first().trimmed(), r1, c1))
        return false;
    r2 = r1;
    c2 = c1;
    if (corners.size() == 2 && !parseCellName(corners.last().trimmed(), r2, c2))
        return false;
    range = CellRange{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    return true;
}

void FormulaBar::goToAddress()
{
    int sheet;
    CellRange range;
    const QString typed = NameBox->text();
    if (!parseAddress(typed, m_book.workbook(), sheet, range)) {
        errorhandler::show(this,
                           QStringLiteral("« %1 » n'est pas une adresse de cellule de ce classeur (par exemple "
                                          "B12, Feuil2!C3 ou A1:C5).")
                                   .arg(typed.trimmed()));
        NameBox->selectAll();
        return;
    }
    if (sheet >= 0)
        m_book.SetSheet(sheet + 1);
    if (range.rowCount() == 1 && range.columnCount() == 1)
        m_book.SetActiveCell(range.top, range.left);
    else
        m_book.SetSelection(range.top, range.left, range.bottom, range.right);
    backToGrid();
}

void FormulaBar::enterContent()
{
    // An editor left open in the cell gives way to what the bar holds.
    QString text;
    int caret;
    m_book.SuspendEdit(text, caret);
    QString error;
    if (!m_book.EnterActiveCell(ContentLine->text(), error)) {
        // The refused entry stays in the bar for the user to mend.
        errorhandler::show(this, error);
        ContentLine->setFocus();
        return;
    }
    m_book.SetActiveCell(m_book.Row() + 1, m_book.Col());
    backToGrid();
}

void FormulaBar::backToGrid()
{
    m_book.setFocus();
    refresh();
}

bool FormulaBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && (watched == ContentLine || watched == NameBox)) {
        backToGrid();
        return true;
    }
    if (event->type() == QEvent::FocusOut && watched == NameBox)
        NameBox->setText(cellName(m_book.Row(), m_book.Col()));
    return QWidget::eventFilter(watched, event);
}
