// TFichier, the window of a card-file database: the table shown as a list (one record per
// row) or as a card (one record, one field per line), with its file, clipboard, insertion
// and deletion, search, replace, sort, list and envelope printing, and the close question.
#pragma once

#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"
#include "database/core/table.h"

#include <QPointer>

#include <functional>

class CardGrid;
class ListGrid;
class QDialog;
class QLabel;
class QStackedWidget;
class QToolButton;
class RecordListModel;
class TChamp;
class TFenv;
class TFindDialog;
class TReplaceDialog;
class TTri;

// The application-wide dialogs a database window uses (owned by the database module).
struct DatabaseTools
{
    TChamp *champ = nullptr;
    TTri *tri = nullptr;
    TFindDialog *find = nullptr;
    TReplaceDialog *replace = nullptr;
    TFenv *fenv = nullptr;
};

class TFichier
    : public DocumentWindow
    , public FichierCommands
{
    Q_OBJECT
public:
    TFichier(FrameServices &frame, const DatabaseTools &tools, QWidget *parent = nullptr);
    ~TFichier() override;

    // FichierCommands
    void Charge(const QString &path) override;
    bool Modifie() const override { return m_modifie; }
    void Imprime(QObject *sender) override;
    void Coupe(QStringList &rows) override;
    void Copie(QStringList &rows) override;
    void Colle(QStringList &rows) override;
    void Chercher() override;
    void FindNext() override;
    void Remplacer() override;
    void InsLig() override;
    void InsCol() override;
    void SupLig() override;
    void SupCol() override;
    void Champs() override;
    void VueListe() override;
    void VueFiche() override;
    void ImpEnv() override;
    void Trier() override;
    void Bornes(int &first, int &last) override;
    void Contenu(int record, QString &text) override;
    QStringList NomsChamps() const override { return m_table.fieldNames(); }

    // Card navigation (the four buttons, Page Up and Page Down).
    void Premier();
    void Precedent();
    void Suivant();
    void Dernier();

    // State, as the rest of the program and the tests see it.
    const Table &table() const { return m_table; }
    int ficheCourante() const { return m_ficheCourante; }
    int champTri() const { return m_champTri; }
    bool cardShown() const;
    ListGrid *listGrid() const { return StringGrid1; }
    CardGrid *cardGrid() const { return StringGrid2; }
    QLabel *cardCaption() const { return m_panelCaption; }
    QToolButton *navigationButton(int i) const { return m_navButtons[i]; }
    RecordListModel *listModel() const { return m_model; }
    // The list's current record and field (1-based).
    int currentRecord() const;
    int currentField() const;
    void setCurrentCell(int field, int record);
    // Selects the whole records first..last in the list, as a user dragging down the row
    // labels would; the current cell goes to field 1 of `first`.
    void selectRecords(int first, int last);

    // Tests answer the dialogs here instead of a user: the dialog hook receives a modal
    // tool dialog (already filled) and returns its result; the save hook returns the chosen
    // path or an empty text for a cancelled dialog.
    void setDialogHook(std::function<int(QDialog &)> hook) { m_dialogHook = std::move(hook); }

    // 544 x 375, the size a database window opens with.
    QSize sizeHint() const override;

protected:
    void setModifie(bool modified) override { m_modifie = modified; }
    bool finishEditing() override;
    QString askSaveName() override;
    QString saveName(const QString &chosen) const override;
    bool writeFile(const QString &path) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Goes to the next record holding the text of the find dialog in the current field.
    void findNextRecord();
    void FormCreate();
    void buildCardPage(QWidget *page);
    void LitFiche();
    void EcritFiche();
    // Ends the edits in progress in both grids.
    void commitEdits();
    // True in list view; else tells that the list view is needed.
    bool needListView();
    int runDialog(QDialog &dialog);
    void markModified();
    void applyWidths();
    void afterTableChange();
    void recordsChanged(int first, int last);
    void appendRecordFields(int row, QStringList &rows, bool cut);
    void selectedRows(int &top, int &bottom) const;
    void copyRows(QStringList &rows, bool cut);
    void StringGrid1Enter();
    void cellEdited(int field, int record);
    void rowMoved(int logical, int oldVisual, int newVisual);
    void columnMoved(int logical, int oldVisual, int newVisual);
    void columnResized(int logical, int oldSize, int newSize);
    void refuse(const QString &message);

    Table m_table;
    DatabaseTools m_tools;

    QStackedWidget *Notebook1 = nullptr;
    ListGrid *StringGrid1 = nullptr;
    RecordListModel *m_model = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *m_panelCaption = nullptr;
    QToolButton *m_navButtons[4] = {};
    CardGrid *StringGrid2 = nullptr;

    bool m_modifie = false;
    int m_cellsLeftOut = 0; // cells of the file read that the table could not hold
    QString leftOutMessage() const;
    bool confirmLeftOut();
    int m_ficheCourante = 0;
    int m_champTri = 0;
    int m_ligneRecherche = 0;
    int m_ligneImpDebut = 15;
    bool m_settingWidths = false;

    std::function<int(QDialog &)> m_dialogHook;

    // Crash recovery (tfichier_recovery.cpp)
public:
    RecoveryState recoveryState(bool withWriter) const override;
    void restoreRecoveryCopy(const QString &copy, const QString &fileName) override;
};
