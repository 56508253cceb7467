// The spreadsheet document window: the workbook control filling it, the file's name, the
// question about unsaved changes, and the frame's commands turned into control calls
// (formatting from the toolbar, sizes, freezing, sort, charts, functions and sheet tabs).
#pragma once

#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"

#include <QFont>

#include <functional>
#include <optional>

class FormulaBar;
class SpreadsheetTools;
class TF1Book;

class TTableur
    : public DocumentWindow
    , public TableurCommands
{
    Q_OBJECT
public:
    // The save dialog's filter, in the order shown.
    static const QString kSaveFilter;

    TTableur(FrameServices &frame, SpreadsheetTools &tools, QWidget *parent = nullptr);

    TF1Book *F1Book1;
    // Above the grid: the active cell's address and content.
    FormulaBar *Formules1;

    // The name a workbook is written under: the file-name part cut before its first "."
    // and ".qvc" appended (".ods" for a name ending in ".ods", which is written as an
    // OpenDocument package); the directory is kept as it is.
    static QString workbookFileName(const QString &path);

    // Files
    void Charge(const QString &path) override;
    bool Modifie() const override;
    void Imprime() override;
    // Edit
    void Annule() override;
    void Retablit() override;
    void Seltout() override;
    void Apercu() override;
    void Chercher() override;
    void FindNext() override;
    void Remplacer() override;
    bool canUndo() const override;
    bool canRedo() const override;
    void Coupe() override;
    void Copie() override;
    void Colle() override;
    void InsLig() override;
    void Inscol() override;
    void SupLig() override;
    void Supcol() override;
    // "Tableur"
    void Largeur() override;
    void Hauteur() override;
    void Ajuster() override;
    void FixLigs(bool on) override;
    void FixCols(bool on) override;
    bool hasFrozen(bool rows) const override;
    void Fonctions() override;
    void Onglets() override;
    void Trier() override;
    void Graphique() override;
    void Recalcule() override;
    void Formules(bool on) override;
    void Grille(bool on) override;
    // Formatting toolbar and font command
    void FontName(const QString &name, int size) override;
    void FontStyle(bool bold, bool italic, bool underline) override;
    void Justif(Alignment alignment) override;
    void Somme() override;
    void Nombre() override;
    void GetFont(QFont &font) override;
    QColor GetColour() override;
    void SetFont(const QFont &font, const QColor &colour = QColor()) override;

    // 544 x 375, the size a spreadsheet window opens with.
    QSize sizeHint() const override { return QSize(544, 375); }

    // Reports the active cell's formatting to the frame's toolbar.
    void F1Book1SelChange();

protected:
    void setModifie(bool modified) override;
    bool finishEditing() override;
    QString askSaveName() override;
    QString saveName(const QString &chosen) const override { return workbookFileName(chosen); }
    bool writeFile(const QString &path) override;

private:
    // Goes to the next cell holding the text of the find dialog, or says there is none.
    void findNextCell();
    QString leftOutMessage() const;
    bool confirmLeftOut();
    // Runs a command, reporting a failure in the French message box.
    bool command(const std::function<void()> &work);
    void sumFormula();

    SpreadsheetTools &m_tools;
    // The last font values read from the control (size in points).
    QString m_fontName;
    int m_fontSize = 10;
    bool m_strikeout = false;
    unsigned m_colour = 0;
    bool m_outline = false;
    bool m_shadow = false;
    // The font handed to the font dialog, to apply only what the user changed in it.
    std::optional<QFont> m_fontShown;

    // Crash recovery (ttableur_recovery.cpp)
public:
    RecoveryState recoveryState(bool withWriter) const override;
    void restoreRecoveryCopy(const QString &copy, const QString &fileName) override;
};
