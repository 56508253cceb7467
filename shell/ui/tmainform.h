// The frame: menus, toolbar and status bar, the document windows it creates, the
// bookkeeping of the last window of each kind, and the routing of every command to the
// window it reaches. The frame shows no message of its own.
#pragma once

#include "common/ui/documentcommands.h"
#include "common/ui/documentwindow.h"
#include "common/ui/frameservices.h"
#include "shell/core/commandstate.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QTimer;
class QToolButton;
class SpinEdit;
class TextModule;
class DatabaseModule;
class SpreadsheetModule;
class AgendaModule;
class UtilitiesModule;
class TAboutBox;
class TInsChp;
class HelpBrowser;
class RecoveryStore;

class TMainForm
    : public QMainWindow
    , public FrameServices
{
    Q_OBJECT
public:
    // Creates windows of a kind; the default asks the modules (tests put doubles here).
    using WindowFactory = std::function<DocumentWindow *(DocKind, FrameServices &)>;

    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // FrameServices
    void SetStyles(bool bold, bool italic, bool underline, bool bullets, bool left, bool right, bool center,
                   const QString &size, const QString &fontName) override;
    void setStatusText(const QString &text) override;
    QStringList &PressePapierFichier() override { return m_pressePapierFichier; }
    QStringList &PressePapierAgenda() override { return m_pressePapierAgenda; }
    QPrinter &printer() override;
    bool Bornes(int &first, int &last) override;
    void Contenu(int record, QString &text) override;
    void setFieldNames(const QStringList &names) override;
    void setFieldSource(const QString &fileName) override;
    QString ChoisirChamp() override;
    // Replaces the modal showing of "Insérer champs" (tests answer it without a user).
    void setFieldDialogHook(std::function<void(TInsChp &)> hook) { m_fieldDialogHook = std::move(hook); }
    TInsChp &insChp();

    // Bookkeeping, as the rest of the program and the tests see it.
    DocumentWindow *dernier(DocKind kind) const { return m_dernier[int(kind)]; }
    int nb(DocKind kind) const { return m_nb[int(kind)]; }
    DocumentWindow *activeDocument() const;
    // The window a routed command serving these kinds (KindBit) reaches: the active
    // window when it is of one of them, else the most recently active open window of one
    // of them; nullptr when none is open.
    DocumentWindow *reached(unsigned servedKinds) const;
    DocumentWindow *reached(DocKind kind) const { return reached(kindBit(int(kind))); }

    QAction *action(const QString &component) const { return m_actions.value(component); }
    QWidget *control(const QString &component) const { return m_controls.value(component); }
    QMdiArea *mdiArea() const { return m_mdi; }
    QLabel *statusPanel(int index) const;
    QStringList adresseExpediteur() const { return m_adresseExpediteur; }
    const QString &repProgramme() const { return m_repProgramme; }
    bool majStyles() const { return m_majStyles; }
    QComboBox *fontCombo() const { return m_comboBox1; }
    SpinEdit *sizeSpin() const { return m_spinEdit1; }

    void setWindowFactory(WindowFactory factory) { m_factory = std::move(factory); }
    // Every document window created from now on has its recovery copies kept there.
    void setRecoveryStore(RecoveryStore *store) { m_recovery = store; }
    // Replaces the print and font dialogs (tests answer them without a user).
    void setPrintDialogHook(std::function<bool(QPrinter &)> hook) { m_printDialogHook = std::move(hook); }
    void setFontDialogHook(std::function<bool(QFont &, QColor &)> hook) { m_fontDialogHook = std::move(hook); }
    void setOpenDialogHook(std::function<QString()> hook) { m_openDialogHook = std::move(hook); }

    // Opens a file as "Ouvrir" does once the path is chosen (the command line uses it too).
    void openFile(const QString &path);
    // Creates a window of the kind as "Nouveau" does.
    DocumentWindow *newDocument(DocKind kind);

    TextModule &textModule() { return *m_text; }
    UtilitiesModule &utilitiesModule() { return *m_utilities; }
    AgendaModule &agendaModule() { return *m_agenda; }

public Q_SLOTS:
    void UpdateMenuItems();
    void ChargeAdr();
    void SauveAdr();
    void GetFontName();

    // Part of the frame's life
    void Timer1Timer();
    void ShowStatusHint(const QString &longHint);

    // "Fichier"
    void Texte1Click();
    void Tableur1Click();
    void Fichier1Click();
    void Agenda1Click();
    void FileOpenItemClick();
    void FileCloseItemClick();
    void FileSaveItemClick();
    void FileSaveAsItemClick();
    void EnregistrerauformatHTML1Click();
    void Importer1Click();
    void Miseenpage1Click();
    void Configurationimprimante1Click();
    void Aperuavantimpression1Click();
    void Imprimer1Click();
    void Imprimer2();
    void FileExitItemClick();
    // "Edition"
    void Annuler1Click();
    void Retablir1Click();
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void Chercher1Click();
    void Continuer1Click();
    void Remplacer1Click();
    void Toutslectionner1Click();
    void Insrerligne1Click();
    void Insrercolonne1Click();
    void Supprimerligne1Click();
    void Supprimercolonne1Click();
    // "Texte"
    void Dateheure1Click();
    void Puces1Click();
    void Changerlacasse1Click();
    void Caractresspciaux1Click();
    void Tabulations1Click();
    void Enveloppes1Click();
    void Glossaire1Click();
    void Champbasededonne1Click();
    void Publipostage1Click();
    void Statistiques1Click();
    void Voircodesrtf1Click();
    void Orthographe1Click();
    void Verificationautomatique1Click();
    // Enables the spelling items when the French dictionary is installed and ticks the automatic check.
    void updateSpellingItems();
    // Enables "Annuler" (and its button) and "Rétablir" when the window they reach has
    // something to undo or redo.
    void updateUndoItems();
    // "Tableur"
    void Largeurcolonne1Click();
    void Hauteurligne1Click();
    void Ajustementautomatique1Click();
    void Figerlignes1Click();
    void Figercolonnes1Click();
    void Fonctions1Click();
    void Onglets1Click();
    void Trier2Click();
    void Graphique1Click();
    void Recalculermaintenant1Click();
    void Montrerlesformules1Click();
    void Montrerlagrille1Click();
    // "Base de données"
    void Champs1Click();
    void Liste1Click();
    void Fiche1Click();
    void Enveloppes2Click();
    void Trier1Click();
    // "Agenda"
    void Journe1Click();
    void Journe2Click();
    void Semaine1Click();
    void Grouper1Click();
    void Supprimertendue1Click();
    // "Format"
    void Police1Click();
    void Paragraphe1Click();
    void Nombre1Click();
    // "Utilitaires"
    void Calendrier1Click();
    void Calculatrice1Click();
    void Horloge1Click();
    void Euroconvertisseur1Click();
    void Blocnotes1Click();
    void Pselettres1Click();
    // "Fenêtre"
    void WindowCascadeItemClick();
    void WindowTileItemClick();
    void WindowArrangeItemClick();
    void WindowMinimizeItemClick();
    // "?"
    void HContents();
    void HSearch();
    void HowToUse();
    void HelpAboutItemClick();
    void showHelpContext(int context);
    int helpContextOfFocus() const;
    // Formatting toolbar
    void ComboBox1Change();
    void SpinEdit1Change();
    void BoldButtonClick();
    void ItalButtonClick();
    void UnderButtonClick();
    void LeftButtonClick();
    void CenterButtonClick();
    void RightButtonClick();
    void SumButtonClick();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QToolButton *addToolButton(const QString &component, const QString &hintText, bool checkable);
    void FormShow();
    void FormClose();
    void FormResize();
    DocumentWindow *createDocument(DocKind kind, const QString &caption);
    // The open document windows, the active one first, then by most recent activation.
    QList<DocumentWindow *> windowsByRecentUse() const;
    void rebuildWindowList();
    // What the font and size boxes hold, as the windows receive it.
    QString fontNameOfBox() const;
    int sizeOfBox() const;
    bool runPrintDialog();
    template<class Commands>
    Commands *reach(unsigned servedKinds) const
    {
        return dynamic_cast<Commands *>(reached(servedKinds));
    }
    template<class Commands>
    static Commands *as(DocumentWindow *w)
    {
        return dynamic_cast<Commands *>(w);
    }

    QMdiArea *m_mdi = nullptr;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QWidget *> m_controls;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_windowListActions;
    QComboBox *m_comboBox1 = nullptr;
    SpinEdit *m_spinEdit1 = nullptr;
    QButtonGroup *m_alignGroup = nullptr;
    QLabel *m_panel0 = nullptr;
    QString m_caretText; // the text window's caret position, shown again when a hint ends
    QLabel *m_panel1 = nullptr;
    QTimer *m_timer1 = nullptr;

    std::array<QPointer<DocumentWindow>, kDocKinds> m_dernier;
    std::array<int, kDocKinds> m_nb{};
    QStringList m_pressePapierFichier;
    QStringList m_pressePapierAgenda;
    QString m_repProgramme;
    QStringList m_adresseExpediteur;
    bool m_adresseModifiee = false; // not yet written to "Velmora.adr"
    RecoveryStore *m_recovery = nullptr;
    bool m_majStyles = false;
    bool m_fontTyped = false; // a typed font name not applied yet
    bool m_sizeTyped = false; // a typed size not applied yet
    bool m_shown = false;

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<TextModule> m_text;
    std::unique_ptr<DatabaseModule> m_database;
    std::unique_ptr<SpreadsheetModule> m_spreadsheet;
    std::unique_ptr<AgendaModule> m_agenda;
    std::unique_ptr<UtilitiesModule> m_utilities;
    TAboutBox *m_aboutBox = nullptr;
    HelpBrowser *m_help = nullptr;
    TInsChp *m_insChp = nullptr;
    QString m_fieldSource;

    WindowFactory m_factory;
    std::function<bool(QPrinter &)> m_printDialogHook;
    std::function<bool(QFont &, QColor &)> m_fontDialogHook;
    std::function<QString()> m_openDialogHook;
    std::function<void(TInsChp &)> m_fieldDialogHook;
};
