#include "spreadsheet/ui/ttableur.h"

#include "common/filename.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/sheetsearch.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookundo.h"
#include "spreadsheet/ui/formulabar.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/tfonct.h"
#include "spreadsheet/ui/tlarg.h"
#include "spreadsheet/ui/tnombre.h"
#include "spreadsheet/ui/tonglet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QVBoxLayout>

#include <algorithm>

using namespace sheet;

const QString TTableur::kSaveFilter =
        QStringLiteral("Fichier tableur (*.qvc);;Classeur OpenDocument (*.ods);;Format Excel5 (*.xls);;Tous les "
                       "fichiers (*)");

namespace {
// Widths and heights the size dialog may give, in twips: up to 22 inches.
constexpr int kMaxSize = 31680;
} // namespace

TTableur::TTableur(FrameServices &frame, SpreadsheetTools &tools, QWidget *parent)
    : DocumentWindow(DocKind::Tableur, frame, parent),
      m_tools(tools)
{
    setObjectName(QStringLiteral("Tableur"));
    setWindowTitle(QStringLiteral("Tableur"));
    setProperty("helpContext", 6);
    resize(544, 375);
    F1Book1 = new TF1Book(this);
    Formules1 = new FormulaBar(*F1Book1, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Formules1);
    layout->addWidget(F1Book1, 1);
    setFocusProxy(F1Book1);
    connect(F1Book1, &TF1Book::SelChange, this, &TTableur::F1Book1SelChange);
    connect(F1Book1, &TF1Book::UndoStateChanged, this, &DocumentWindow::undoStateChanged);
    // Coming back to this window, the toolbar shows this window's cell again: its buttons
    // are read by the next formatting command.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now && isAncestorOf(now) && !(old && isAncestorOf(old)))
            F1Book1SelChange();
    });
    F1Book1SelChange();
}

bool TTableur::command(const std::function<void()> &work) { return errorhandler::run(this, work); }

QString TTableur::workbookFileName(const QString &path)
{
    return filename::withExtension(path, workbookfile::isOdsName(path) ? u".ods" : u".qvc");
}

// Files

void TTableur::Charge(const QString &path)
{
    const bool ok = command([&] {
        int format = TF1Book::kFormatWorkbook;
        F1Book1->Read(path, format);
    });
    // A file that could not be read is never written over by a later save: the window
    // stays a new workbook, which the frame closes when it made the window for this file.
    setChargeFailed(!ok);
    if (ok)
        setNomFichier(path);
    else
        setWindowTitle(QStringLiteral("Tableur"));
    if (ok && F1Book1->CellsLeftOut() > 0)
        messageboxes::inform(this, leftOutMessage(), QStringLiteral("Avertissement"));
    F1Book1SelChange();
}
QString TTableur::leftOutMessage() const
{
    const int n = F1Book1->CellsLeftOut();
    return QStringLiteral("%1 cellule%2 de ce classeur n'%3 pas pu être lue%2 telle%2 quelle%2 (au-delà de la "
                          "colonne IV ou de la ligne 1048576, ou nombre illisible) : laissée%2 de côté ou "
                          "gardée%2 comme texte.")
            .arg(n)
            .arg(n > 1 ? QStringLiteral("s") : QString())
            .arg(n > 1 ? QStringLiteral("ont") : QStringLiteral("a"));
}

bool TTableur::confirmLeftOut()
{
    if (F1Book1->CellsLeftOut() <= 0)
        return true;
    const bool yes = messageboxes::confirmSmallerSave(this, leftOutMessage());
    if (yes)
        F1Book1->ForgetCellsLeftOut(); // asked once: the smaller workbook is now the user's choice
    return yes;
}

bool TTableur::Modifie() const { return F1Book1->Modified(); }

void TTableur::setModifie(bool modified) { F1Book1->SetModified(modified); }

bool TTableur::finishEditing() { return F1Book1->CommitEdit(); }

QString TTableur::askSaveName()
{
    // The filter the user picks changes neither the name nor the format, except the
    // OpenDocument one, which makes the name end in ".ods".
    return chooseSaveName(NomFichier(), [this] {
        QString filter;
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer sous"), NomFichier(),
                                                          kSaveFilter, &filter);
        return !path.isEmpty() && filter.contains(u"*.ods") ? filename::withExtension(path, u".ods") : path;
    });
}

bool TTableur::writeFile(const QString &path)
{
    if (!confirmLeftOut())
        return false;
    F1Book1->Write(path, TF1Book::kFormatWorkbook);
    return true;
}

void TTableur::Imprime()
{
    command([&] {
        QPrinter &printer = frame().printer();
        if (!printing::hasOutput(printer))
            throw VelmoraError(QStringLiteral("Aucune imprimante n'est disponible."));
        F1Book1->FilePrint(printer);
    });
}

void TTableur::Apercu()
{
    if (!F1Book1->CommitEdit())
        return;
    QPrintPreviewDialog dialog(&frame().printer(), this);
    dialog.setWindowTitle(QStringLiteral("Aperçu avant impression"));
    // Drawn when shown and again after each change of the page set-up; a sheet too large to
    // print says why there, and the preview stays empty.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *printer) { command([&] { F1Book1->FilePrint(*printer); }); });
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    m_tools.run(dialog);
}

// Edit

void TTableur::Annule()
{
    command([&] { F1Book1->EditUndo(); });
    F1Book1SelChange();
}

void TTableur::Retablit()
{
    command([&] { F1Book1->EditRedo(); });
    F1Book1SelChange();
}

void TTableur::Chercher()
{
    if (!F1Book1->CommitEdit())
        return;
    TFindDialog &dialog = m_tools.find();
    dialog.Edit1->selectAll();
    m_tools.run(dialog);
    findNextCell();
}

void TTableur::FindNext()
{
    // Nothing asked for yet (or the last question cancelled): "Continuer" asks.
    if (m_tools.find().Result().isEmpty()) {
        Chercher();
        return;
    }
    if (F1Book1->CommitEdit())
        findNextCell();
}

void TTableur::findNextCell()
{
    const QString text = m_tools.find().Result();
    if (text.isEmpty())
        return;
    const int sheet = F1Book1->Sheet() - 1;
    const CellAddress at = findInSheet(F1Book1->workbook(), sheet, F1Book1->Row(), F1Book1->Col(), text);
    if (at.row == 0) {
        messageboxes::inform(this,
                             QStringLiteral("« %1 » ne figure pas dans la feuille %2.")
                                     .arg(m_tools.find().Edit1->text(), F1Book1->workbook().sheetName(sheet)),
                             QStringLiteral("Chercher"));
        return;
    }
    F1Book1->SetActiveCell(at.row, at.col);
    F1Book1SelChange();
}

void TTableur::Remplacer()
{
    if (!F1Book1->CommitEdit())
        return;
    TReplaceDialog &dialog = m_tools.replace();
    dialog.Edit1->selectAll();
    m_tools.run(dialog);
    QString search;
    QString replacement;
    dialog.Result(search, replacement);
    if (search.isEmpty())
        return;
    sheet::SheetReplacement done;
    if (!command([&] { done = F1Book1->EditReplace(search, replacement); }))
        return;
    QString message = TReplaceDialog::replacedMessage(done.count);
    if (done.refused > 0)
        message +=
                QStringLiteral("\n%1 cellule(s) laissée(s) telle(s) quelle(s) : la formule obtenue serait incorrecte.")
                        .arg(done.refused);
    messageboxes::inform(this, message, QStringLiteral("Remplacer"));
}

void TTableur::Seltout()
{
    F1Book1->SelectAll();
    F1Book1SelChange();
}

bool TTableur::canUndo() const { return F1Book1->CanUndo(); }
bool TTableur::canRedo() const { return F1Book1->CanRedo(); }

void TTableur::Coupe()
{
    command([&] { F1Book1->EditCut(); });
}
void TTableur::Copie()
{
    command([&] { F1Book1->EditCopy(); });
}
void TTableur::Colle()
{
    command([&] { F1Book1->EditPaste(); });
}

void TTableur::InsLig()
{
    if (F1Book1->CommitEdit())
        command([&] { F1Book1->EditInsert(TF1Book::ShiftRows); });
}

void TTableur::Inscol()
{
    if (F1Book1->CommitEdit())
        command([&] { F1Book1->EditInsert(TF1Book::ShiftColumns); });
}

void TTableur::SupLig()
{
    if (F1Book1->CommitEdit())
        command([&] { F1Book1->EditDelete(TF1Book::ShiftRows); });
}

void TTableur::Supcol()
{
    if (F1Book1->CommitEdit())
        command([&] { F1Book1->EditDelete(TF1Book::ShiftColumns); });
}

// "Tableur"

void TTableur::Largeur()
{
    TLarg &dialog = m_tools.larg();
    dialog.InitL();
    m_tools.run(dialog);
    const int n = dialog.Result();
    if (n <= 0)
        return;
    const qint64 width = qint64(n) * 20 * fontMetrics().horizontalAdvance(QLatin1Char('A'));
    int r1, c1, r2, c2;
    F1Book1->GetSelection(0, r1, c1, r2, c2);
    command([&] { F1Book1->SetColWidth(c1, c2, int(std::min<qint64>(width, kMaxSize)), false); });
}

void TTableur::Hauteur()
{
    TLarg &dialog = m_tools.larg();
    dialog.InitH();
    m_tools.run(dialog);
    const int n = dialog.Result();
    if (n <= 0)
        return;
    const qint64 height = qint64(n) * 20 * fontMetrics().height();
    int r1, c1, r2, c2;
    F1Book1->GetSelection(0, r1, c1, r2, c2);
    command([&] { F1Book1->SetRowHeight(r1, r2, int(std::min<qint64>(height, kMaxSize)), false); });
}

void TTableur::Ajuster()
{
    F1Book1->CommitEdit();
    command([&] {
        if (F1Book1->MaxRow() > 0 && F1Book1->MaxCol() > 0)
            F1Book1->SetColWidthAuto(1, 1, F1Book1->MaxRow(), F1Book1->MaxCol(), true);
    });
}

void TTableur::FixLigs(bool on)
{
    command([&] { F1Book1->SetFixedRows(on ? F1Book1->Row() : 0); });
}

void TTableur::FixCols(bool on)
{
    command([&] { F1Book1->SetFixedCols(on ? F1Book1->Col() : 0); });
}

bool TTableur::hasFrozen(bool rows) const { return (rows ? F1Book1->FixedRows() : F1Book1->FixedCols()) > 0; }

void TTableur::Fonctions()
{
    // An entry being typed is kept aside while the dialog is open, not entered half-done.
    QString typed;
    int caret = -1;
    const bool editing = F1Book1->SuspendEdit(typed, caret);
    TFonct &dialog = m_tools.fonct();
    m_tools.run(dialog);
    const QString entry = dialog.Result();
    if (entry.isEmpty()) {
        if (editing)
            F1Book1->StartEdit(typed, caret);
        return;
    }
    const QString call = TFonct::formulaName(entry) + QLatin1Char('(');
    if (editing) {
        if (typed.isEmpty())
            typed = QStringLiteral("=");
        const int at = caret < 0 ? int(typed.size()) : std::max(caret, typed.startsWith(QLatin1Char('=')) ? 1 : 0);
        typed.insert(at, call);
        F1Book1->StartEdit(typed, at + int(call.size()));
    } else {
        F1Book1->StartEdit(QLatin1Char('=') + call);
    }
}

void TTableur::Onglets()
{
    if (!F1Book1->CommitEdit())
        return;
    TOnglet &dialog = m_tools.onglet();
    QStringList names;
    QList<bool> withData;
    for (int i = 1; i <= F1Book1->NumSheets(); ++i) {
        names << F1Book1->SheetName(i);
        withData << (F1Book1->workbook().maxRow(i - 1) > 0);
    }
    dialog.Init(names, withData);
    m_tools.run(dialog);
    const QList<TOnglet::Entry> entries = dialog.entries();
    if (entries.isEmpty())
        return;
    // What the dialog changes is one step of the history.
    WorkbookHistory &history = F1Book1->history();
    history.beginGroup();
    command([&] {
        // Sheets whose entry was removed go, with their content.
        for (int s = names.size(); s >= 1; --s) {
            const bool kept =
                    std::any_of(entries.begin(), entries.end(), [s](const TOnglet::Entry &e) { return e.sheet == s; });
            if (!kept)
                F1Book1->DeleteSheet(s);
        }
        // The others take their places in the list's order, then their new names; a name
        // passed from one sheet to another goes through a temporary name so that two sheets
        // never bear the same one.
        QList<TOnglet::Entry> kept;
        for (const TOnglet::Entry &e : entries)
            if (e.sheet > 0)
                kept.append(e);
        QList<int> order; // the sheets as they stand now, by their numbers when the dialog opened
        for (int s = 1; s <= names.size(); ++s)
            if (std::any_of(kept.begin(), kept.end(), [s](const TOnglet::Entry &e) { return e.sheet == s; }))
                order.append(s);
        for (int i = 0; i < kept.size(); ++i) {
            const int at = int(order.indexOf(kept[i].sheet));
            if (at != i) {
                F1Book1->MoveSheet(at + 1, i + 1);
                order.move(at, i);
            }
        }
        const Workbook &book = F1Book1->workbook();
        int spare = 0;
        for (int i = 0; i < kept.size(); ++i) {
            if (F1Book1->SheetName(i + 1) == kept[i].name)
                continue;
            QString temporary;
            do
                temporary = QStringLiteral("~%1").arg(++spare);
            while (book.sheetIndex(temporary) >= 0);
            F1Book1->SetSheetName(i + 1, temporary);
        }
        for (int i = 0; i < kept.size(); ++i)
            if (F1Book1->SheetName(i + 1) != kept[i].name)
                F1Book1->SetSheetName(i + 1, kept[i].name);
        for (const TOnglet::Entry &e : entries)
            if (e.sheet == 0)
                F1Book1->InsertSheet(F1Book1->NumSheets() + 1, e.name);
    });
    history.endGroup();
}

void TTableur::Trier()
{
    if (!F1Book1->CommitEdit())
        return;
    TTri &dialog = m_tools.tri();
    dialog.ComboBox1->clear();
    int r1, c1, r2, c2;
    F1Book1->GetSelection(0, r1, c1, r2, c2);
    for (int c = c1; c <= c2; ++c)
        dialog.ComboBox1->addItem(columnName(c));
    const int col = F1Book1->Col();
    dialog.ComboBox1->setCurrentIndex(col >= c1 && col <= c2 ? col - c1 : 0);
    m_tools.run(dialog);
    int key = 0, order = 0;
    dialog.Result(key, order);
    if (key == 0)
        return;
    // Rows past the used area hold nothing to sort.
    r2 = std::max(r1, std::min(r2, F1Book1->MaxRow()));
    command([&] { F1Book1->Sort(r1, c1, r2, c2, true, order == 0 ? key : -key, 0, 0); });
}

void TTableur::Graphique()
{
    if (!F1Book1->CommitEdit())
        return;
    int r1, c1, r2, c2;
    F1Book1->GetSelection(0, r1, c1, r2, c2);
    r2 = std::max(r1, std::min(r2, F1Book1->MaxRow()));
    c2 = std::max(c1, std::min(c2, F1Book1->MaxCol()));
    command([&] { F1Book1->ObjCreate(TF1Book::kObjectChart, r1, c1, r2, c2); });
}

void TTableur::Recalcule()
{
    F1Book1->CommitEdit();
    command([&] { F1Book1->Recalc(); });
}

void TTableur::Formules(bool on)
{
    command([&] { F1Book1->SetShowFormulas(on); });
}
void TTableur::Grille(bool on)
{
    command([&] { F1Book1->SetShowGridLines(on); });
}

// Formatting

void TTableur::FontName(const QString &name, int size)
{
    command([&] {
        CellFormat v;
        v.fontName = name;
        v.fontSize = size * 20;
        F1Book1->SetFontParts(v, TF1Book::FontName | TF1Book::FontSize);
    });
    m_fontName = name;
    m_fontSize = size;
}

void TTableur::FontStyle(bool bold, bool italic, bool underline)
{
    command([&] {
        CellFormat v;
        v.bold = bold;
        v.italic = italic;
        v.underline = underline;
        F1Book1->SetFontParts(v, TF1Book::FontBold | TF1Book::FontItalic | TF1Book::FontUnderline);
    });
    F1Book1SelChange();
}

void TTableur::Justif(Alignment alignment)
{
    HorizontalAlignment horizontal = HorizontalAlignment::Left;
    switch (alignment) {
    case Alignment::Left: horizontal = HorizontalAlignment::Left; break;
    case Alignment::Centre: horizontal = HorizontalAlignment::Centre; break;
    case Alignment::Right: horizontal = HorizontalAlignment::Right; break;
    }
    command([&] { F1Book1->SetHorizontalAlignment(horizontal); });
    F1Book1SelChange();
}

void TTableur::GetFont(QFont &font)
{
    QString name;
    int size;
    bool bold, italic, underline, strikeout;
    F1Book1->GetFont(name, size, bold, italic, underline, strikeout, m_colour, m_outline, m_shadow);
    // A font the workbook names but this machine lacks ("Arial" here) is shown as the
    // family that stands in for it on screen. The name stays in the cells unless the user
    // picks another.
    font = fonts::dialogFont(name);
    font.setPointSizeF(size / 20.0);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeout);
    m_fontShown = font;
}

QColor TTableur::GetColour() { return QColor::fromRgb(QRgb(m_colour)); }

void TTableur::SetFont(const QFont &font, const QColor &colour)
{
    CellFormat v;
    v.fontName = fonts::plainFamily(font.family());
    v.fontSize = qRound(font.pointSizeF() * 20);
    v.bold = font.bold();
    v.italic = font.italic();
    v.underline = font.underline();
    v.strikeout = font.strikeOut();
    // Only what differs from the font shown in the dialog is applied to the selection, so
    // that a cancelled dialog changes nothing and cells keep what the user did not touch.
    int parts = TF1Book::FontName | TF1Book::FontSize | TF1Book::FontBold | TF1Book::FontItalic | TF1Book::FontUnderline
            | TF1Book::FontStrikeout;
    if (m_fontShown) {
        const fonts::Changes changed = fonts::changes(*m_fontShown, font);
        if (!changed.family)
            parts &= ~TF1Book::FontName;
        if (!changed.size)
            parts &= ~TF1Book::FontSize;
        if (!changed.bold)
            parts &= ~TF1Book::FontBold;
        if (!changed.italic)
            parts &= ~TF1Book::FontItalic;
        if (!changed.underline)
            parts &= ~TF1Book::FontUnderline;
        if (!changed.strikeOut)
            parts &= ~TF1Book::FontStrikeout;
        m_fontShown.reset();
    }
    if (v.fontSize <= 0)
        parts &= ~TF1Book::FontSize;
    if (colour.isValid()) {
        v.colour = colour.rgb() & 0xFFFFFF;
        parts |= TF1Book::FontColour;
    }
    if (parts)
        command([&] { F1Book1->SetFontParts(v, parts); });
    F1Book1SelChange();
}

void TTableur::Nombre()
{
    if (!F1Book1->CommitEdit())
        return;
    const Workbook &book = F1Book1->workbook();
    const int s = F1Book1->Sheet() - 1, row = F1Book1->Row(), col = F1Book1->Col();
    TNombre &dialog = m_tools.nombre();
    dialog.Init(book.format(s, row, col).numberFormat, book.value(s, row, col));
    m_tools.run(dialog);
    bool ok = false;
    const QString pattern = dialog.Result(ok);
    if (ok)
        command([&] { F1Book1->SetNumberFormat(pattern); });
}

void TTableur::Somme()
{
    if (!F1Book1->CommitEdit())
        return;
    command([&] { sumFormula(); });
}

// The usual automatic sum: the block of numbers right above the active cell, or else the
// block right to its left; with neither, the editor opens on "=SUM()" for the user to fill.
void TTableur::sumFormula()
{
    const Workbook &book = F1Book1->workbook();
    const int s = F1Book1->Sheet() - 1;
    const int row = F1Book1->Row(), col = F1Book1->Col();
    int r = row - 1;
    while (r >= 1 && book.value(s, r, col).isNumber())
        --r;
    if (r < row - 1) {
        F1Book1->SetFormula(QStringLiteral("SUM(%1)").arg(rangeName(CellRange{r + 1, col, row - 1, col})));
        return;
    }
    int c = col - 1;
    while (c >= 1 && book.value(s, row, c).isNumber())
        --c;
    if (c < col - 1) {
        F1Book1->SetFormula(QStringLiteral("SUM(%1)").arg(rangeName(CellRange{row, c + 1, row, col - 1})));
        return;
    }
    F1Book1->StartEdit(QStringLiteral("=SUM()"), 5);
}

void TTableur::F1Book1SelChange()
{
    int code, vertical, orientation;
    bool wrap;
    F1Book1->GetAlignment(code, wrap, vertical, orientation);
    const HorizontalAlignment horizontal = horizontalFromCode(code);
    QString name;
    int size;
    bool bold, italic, underline;
    F1Book1->GetFont(name, size, bold, italic, underline, m_strikeout, m_colour, m_outline, m_shadow);
    m_fontName = name;
    m_fontSize = size / 20;
    frame().SetStyles(bold, italic, underline, false, horizontal == AlignLeft, horizontal == AlignRight,
                      horizontal == AlignCenter, QString::number(m_fontSize), m_fontName);
}
