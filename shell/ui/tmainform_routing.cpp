// The routing of every menu and toolbar command to the document window it reaches (the
// active child, when it is the window of its kind created last) or to a tool form.
#include "shell/ui/tmainform.h"

#include "agenda/ui/agendamodule.h"
#include "common/ui/printing.h"
#include "shell/ui/tinschp.h"
#include "shell/ui/spinedit.h"
#include "text/ui/textmodule.h"
#include "utilities/ui/utilitiesmodule.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>

namespace {
bool isDown(QWidget *w)
{
    auto *b = qobject_cast<QToolButton *>(w);
    return b && b->isChecked();
}
} // namespace

// ---- "Fichier" ---------------------------------------------------------------------

void TMainForm::Texte1Click() { newDocument(DocKind::Texte); }
void TMainForm::Tableur1Click() { newDocument(DocKind::Tableur); }
void TMainForm::Fichier1Click() { newDocument(DocKind::Fichier); }
void TMainForm::Agenda1Click() { newDocument(DocKind::Agenda); }

void TMainForm::FileOpenItemClick()
{
    const QString path = m_openDialogHook
        ? m_openDialogHook()
        : QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), QString(),
                                       QStringLiteral("Tous les fichiers (*.qvt *.qvc *.qvb *.qva)"));
    if (!path.isEmpty())
        openFile(path);
}

void TMainForm::openFile(const QString &path)
{
    // The kind is told by the last three characters, upper-cased, wherever the dot is.
    const QString e = path.right(3).toUpper();
    static const char *kExt[kDocKinds] = {"QVT", "QVC", "QVB", "QVA"};
    for (int k = 0; k < kDocKinds; ++k) {
        if (e != QLatin1String(kExt[k]))
            continue;
        const auto kind = DocKind(k);
        DocumentWindow *w = createDocument(kind, QFileInfo(path).fileName());
        switch (kind) {
        case DocKind::Texte:
            if (auto *c = dynamic_cast<TexteCommands *>(w)) c->Charge(path);
            break;
        case DocKind::Tableur:
            if (auto *c = dynamic_cast<TableurCommands *>(w)) c->Charge(path);
            break;
        case DocKind::Fichier:
            if (auto *c = dynamic_cast<FichierCommands *>(w)) c->Charge(path);
            break;
        case DocKind::Agenda:
            if (auto *c = dynamic_cast<AgendaCommands *>(w)) c->Charge(path);
            break;
        }
        ++m_nb[k];
        UpdateMenuItems();
        return;
    }
}

void TMainForm::FileCloseItemClick()
{
    if (QMdiSubWindow *sw = m_mdi->currentSubWindow())
        sw->close();
}

void TMainForm::FileSaveItemClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Sauve();
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Sauve();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Sauve();
    else if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->Sauve();
}

void TMainForm::FileSaveAsItemClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) { t->SaveAs(); t->Sauve(); }
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) { s->SaveAs(); s->Sauve(); }
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) { d->SaveAs(); d->Sauve(); }
    else if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) { a->SaveAs(); a->Sauve(); }
}

void TMainForm::EnregistrerauformatHTML1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Sauvehtm();
}

void TMainForm::Importer1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Importer();
}

void TMainForm::Miseenpage1Click()
{
    if (m_mdi->subWindowList().isEmpty())
        return;
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->SetPage();
}

void TMainForm::Configurationimprimante1Click()
{
    if (m_printDialogHook) {
        m_printDialogHook(printer());
        return;
    }
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Configuration de l'impression"));
    dialog.exec();
    printing::applyRedirection(printer());
}

void TMainForm::Aperuavantimpression1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Apercu();
}

bool TMainForm::runPrintDialog()
{
    if (m_printDialogHook)
        return m_printDialogHook(printer());
    QPrintDialog dialog(&printer(), this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    printing::applyRedirection(printer());
    return ok;
}

void TMainForm::Imprimer1Click()
{
    if (!activeDocument() || !runPrintDialog())
        return;
    Imprimer2();
}

void TMainForm::Imprimer2()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Imprime();
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Imprime();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Imprime(sender());
}

void TMainForm::FileExitItemClick() { close(); }

// ---- "Edition" ---------------------------------------------------------------------

void TMainForm::Annuler1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Annule();
}

void TMainForm::CutItemClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Coupe();
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Coupe();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Coupe(m_pressePapierFichier);
    else if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->Coupe(m_pressePapierAgenda);
}

void TMainForm::CopyItemClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Copie();
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Copie();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Copie(m_pressePapierFichier);
    else if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->Copie(m_pressePapierAgenda);
}

void TMainForm::PasteItemClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Colle();
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Colle();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Colle(m_pressePapierFichier);
    else if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->Colle(m_pressePapierAgenda);
}

void TMainForm::Chercher1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Chercher();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Chercher();
}

void TMainForm::Continuer1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->FindDialog1Find(m_actions.value(QStringLiteral("Continuer1")));
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->FindNext();
}

void TMainForm::Remplacer1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Remplacer();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Remplacer();
}

void TMainForm::Toutslectionner1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Seltout();
}

void TMainForm::Insrerligne1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->InsLig();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->InsLig();
}

void TMainForm::Insrercolonne1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Inscol();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->InsCol();
}

void TMainForm::Supprimerligne1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->SupLig();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->SupLig();
}

void TMainForm::Supprimercolonne1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Supcol();
    else if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->SupCol();
}

// ---- "Texte" -----------------------------------------------------------------------

void TMainForm::Dateheure1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->DateHeure(); }
void TMainForm::Changerlacasse1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->ChangerCasse(); }
void TMainForm::Caractresspciaux1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->CarSpe(); }
void TMainForm::Tabulations1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Tabulations(); }
void TMainForm::Glossaire1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Glossaire(); }
void TMainForm::Champbasededonne1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->InsChamp(); }
void TMainForm::Publipostage1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Publipostage(); }
void TMainForm::Statistiques1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Statistiques(); }
void TMainForm::Paragraphe1Click() { if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Paragraphe(); }

// A QAction that is checkable has already inverted its tick when `triggered` arrives;
// "before the call, invert the tick" therefore reads the tick as it is now.
void TMainForm::Puces1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Puces1"));
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) {
        t->Bullets(a->isChecked());
    } else {
        a->setChecked(!a->isChecked()); // the tick changes only when a text window is reached
    }
}

void TMainForm::Voircodesrtf1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Voircodesrtf1"));
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->Codes(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

void TMainForm::Enveloppes1Click()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->ImpEnv();
    // In every case: the sender typed on an envelope is kept for the next run.
    const QStringList lines = m_text->GetExp();
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        if (m_adresseExpediteur[i] != lines[i])
            m_adresseModifiee = true;
        m_adresseExpediteur[i] = lines[i];
    }
    SauveAdr(); // kept at once, in case the program does not end normally
}

// ---- "Tableur" ---------------------------------------------------------------------

void TMainForm::Largeurcolonne1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Largeur(); }
void TMainForm::Hauteurligne1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Hauteur(); }
void TMainForm::Ajustementautomatique1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Ajuster(); }
void TMainForm::Fonctions1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Fonctions(); }
void TMainForm::Onglets1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Onglets(); }
void TMainForm::Trier2Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Trier(); }
void TMainForm::Graphique1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Graphique(); }
void TMainForm::Recalculermaintenant1Click() { if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Recalcule(); }

// Freezing inverts the tick whether a spreadsheet is reached or not (the action did it).
void TMainForm::Figerlignes1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FixLigs(m_actions.value(QStringLiteral("Figerlignes1"))->isChecked());
}

void TMainForm::Figercolonnes1Click()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FixCols(m_actions.value(QStringLiteral("Figercolonnes1"))->isChecked());
}

void TMainForm::Montrerlesformules1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Montrerlesformules1"));
    if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->Formules(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

void TMainForm::Montrerlagrille1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Montrerlagrille1"));
    if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->Grille(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

// ---- "Base de données" -------------------------------------------------------------

void TMainForm::Champs1Click() { if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Champs(); }
void TMainForm::Enveloppes2Click() { if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->ImpEnv(); }
void TMainForm::Trier1Click() { if (auto *d = reach<FichierCommands>(DocKind::Fichier)) d->Trier(); }

void TMainForm::Liste1Click()
{
    auto *d = reach<FichierCommands>(DocKind::Fichier);
    m_actions.value(QStringLiteral("Liste1"))->setChecked(d ? true : !m_actions.value(QStringLiteral("Liste1"))->isChecked());
    if (d) {
        m_actions.value(QStringLiteral("Fiche1"))->setChecked(false);
        d->VueListe();
    }
}

void TMainForm::Fiche1Click()
{
    auto *d = reach<FichierCommands>(DocKind::Fichier);
    m_actions.value(QStringLiteral("Fiche1"))->setChecked(d ? true : !m_actions.value(QStringLiteral("Fiche1"))->isChecked());
    if (d) {
        m_actions.value(QStringLiteral("Liste1"))->setChecked(false);
        d->VueFiche();
    }
}

// ---- "Agenda" ----------------------------------------------------------------------

void TMainForm::Journe1Click() { if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->DefJournee(); }
void TMainForm::Grouper1Click() { if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->Etendue(); }
void TMainForm::Supprimertendue1Click() { if (auto *a = reach<AgendaCommands>(DocKind::Agenda)) a->SupEtendue(); }

void TMainForm::Journe2Click()
{
    auto *a = reach<AgendaCommands>(DocKind::Agenda);
    m_actions.value(QStringLiteral("Journe2"))->setChecked(a ? true : !m_actions.value(QStringLiteral("Journe2"))->isChecked());
    if (a) {
        m_actions.value(QStringLiteral("Semaine1"))->setChecked(false);
        a->Journee();
    }
}

void TMainForm::Semaine1Click()
{
    auto *a = reach<AgendaCommands>(DocKind::Agenda);
    m_actions.value(QStringLiteral("Semaine1"))->setChecked(a ? true : !m_actions.value(QStringLiteral("Semaine1"))->isChecked());
    if (a) {
        m_actions.value(QStringLiteral("Journe2"))->setChecked(false);
        a->Semaine();
    }
}

// ---- "Utilitaires" -----------------------------------------------------------------

void TMainForm::Calendrier1Click() { m_agenda->showCalendrier(); }
void TMainForm::Calculatrice1Click() { m_utilities->show(UtilityTool::Calculatrice); }
void TMainForm::Horloge1Click() { m_utilities->show(UtilityTool::Horloge); }
void TMainForm::Euroconvertisseur1Click() { m_utilities->show(UtilityTool::Euroconvertisseur); }
void TMainForm::Blocnotes1Click() { m_utilities->show(UtilityTool::Blocnotes); }
void TMainForm::Pselettres1Click() { m_utilities->show(UtilityTool::Pselettres); }

// ---- formatting toolbar and font command -------------------------------------------

void TMainForm::ComboBox1Change()
{
    if (!activeDocument() || m_majStyles)
        return;
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->FontName(m_comboBox1->currentText());
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FontName(m_comboBox1->currentText(), m_spinEdit1->typedValue());
}

void TMainForm::SpinEdit1Change()
{
    if (!activeDocument() || m_majStyles)
        return;
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->FontSize(m_spinEdit1->typedValue());
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FontName(m_comboBox1->currentText(), m_spinEdit1->typedValue());
}

void TMainForm::BoldButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->Bold(isDown(m_controls.value(QStringLiteral("BoldButton"))));
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))), isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::ItalButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->Ital(isDown(m_controls.value(QStringLiteral("ItalButton"))));
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))), isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::UnderButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte))
        t->Under(isDown(m_controls.value(QStringLiteral("UnderButton"))));
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))), isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::LeftButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Justif(0);
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Justif(1);
}

void TMainForm::RightButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Justif(1);
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Justif(3);
}

void TMainForm::CenterButtonClick()
{
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) t->Justif(2);
    else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Justif(2);
}

void TMainForm::SumButtonClick()
{
    if (auto *s = reach<TableurCommands>(DocKind::Tableur)) s->Somme();
}

void TMainForm::Police1Click()
{
    if (!activeDocument())
        return;
    auto ask = [this](QFont &font) {
        if (m_fontDialogHook)
            return m_fontDialogHook(font);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this, QStringLiteral("Police"));
        if (ok)
            font = chosen;
        return ok;
    };
    if (auto *t = reach<TexteCommands>(DocKind::Texte)) {
        QFont a = t->GetFont();
        ask(a); // a keeps the selection's attributes when the user cancels
        t->SetFont(a);
    } else if (auto *s = reach<TableurCommands>(DocKind::Tableur)) {
        QFont f;
        s->GetFont(f);
        ask(f);
        s->SetFont(f);
    }
}

// ---- mail merge services -----------------------------------------------------------

bool TMainForm::Bornes(int &first, int &last)
{
    first = 1;
    last = 0;
    auto *d = dynamic_cast<FichierCommands *>(m_dernier[int(DocKind::Fichier)].data());
    if (!d)
        return false;
    d->Bornes(first, last);
    return true;
}

void TMainForm::Contenu(int record, QString &text)
{
    if (auto *d = dynamic_cast<FichierCommands *>(m_dernier[int(DocKind::Fichier)].data()))
        d->Contenu(record, text);
}

TInsChp &TMainForm::insChp()
{
    if (!m_insChp)
        m_insChp = new TInsChp(this);
    return *m_insChp;
}

void TMainForm::setFieldNames(const QStringList &names)
{
    // A database window reports its fields while it loads, after Open captioned it with the
    // file name: that caption names the source.
    const DocumentWindow *base = m_dernier[int(DocKind::Fichier)];
    insChp().setFields(names, base ? base->windowTitle() : m_fieldSource);
}

void TMainForm::setFieldSource(const QString &fileName)
{
    m_fieldSource = fileName;
    insChp().Edit1->setText(fileName);
}

QString TMainForm::ChoisirChamp()
{
    TInsChp &dialog = insChp();
    dialog.prepare();
    if (m_fieldDialogHook)
        m_fieldDialogHook(dialog);
    else
        dialog.exec();
    return dialog.Result();
}
