// The routing of every menu and toolbar command to the document window it reaches (the
// active window when the command serves its kind, else the most recently active window of
// a kind it serves) or to a tool form.
#include "shell/ui/tmainform.h"

#include "agenda/ui/agendamodule.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fontchooser.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "shell/ui/tinschp.h"
#include "shell/ui/spinedit.h"
#include "text/ui/textmodule.h"
#include "utilities/ui/utilitiesmodule.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
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

// "Fichier"

void TMainForm::Texte1Click() { newDocument(DocKind::Texte); }
void TMainForm::Tableur1Click() { newDocument(DocKind::Tableur); }
void TMainForm::Fichier1Click() { newDocument(DocKind::Fichier); }
void TMainForm::Agenda1Click() { newDocument(DocKind::Agenda); }

void TMainForm::FileOpenItemClick()
{
    const QString path = m_openDialogHook
            ? m_openDialogHook()
            : QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), QString(),
                                           QStringLiteral("Tous les fichiers (*.qvt *.qvc *.qvb *.qva *.rtf *.ods)"));
    if (!path.isEmpty())
        openFile(path);
}

namespace {
// Loads a new window's file. Should the load itself fail beyond what the window reports
// (memory running out, above all), the message is shown and the half-loaded window goes:
// it must never be saved over the file it could not read. A window that reports a file it
// could not read at all (a damaged workbook) goes too, its message shown: it holds nothing.
void chargeNewWindow(QWidget *frame, DocumentWindow *w, const std::function<void()> &charge)
{
    errorhandler::OutOfMemoryMessage opening(QStringLiteral("Mémoire insuffisante pour ouvrir ce fichier"));
    if (errorhandler::run(frame, charge) && !w->chargeFailed())
        return;
    if (auto *sw = qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
        sw->hide(); // no longer counted by the commands' state, and gone without a question
        sw->deleteLater();
    }
}
} // namespace

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
        chargeNewWindow(this, w, [&] { w->Charge(path); });
        ++m_nb[k];
        UpdateMenuItems();
        return;
    }
    // Documents of other word processors open in a text window, which reads RTF; workbooks
    // of other spreadsheets (OpenDocument packages) in a spreadsheet window.
    const QString suffix = QFileInfo(path).suffix();
    const bool rtf = suffix.compare(u"rtf", Qt::CaseInsensitive) == 0;
    if (rtf || suffix.compare(u"ods", Qt::CaseInsensitive) == 0) {
        const DocKind kind = rtf ? DocKind::Texte : DocKind::Tableur;
        DocumentWindow *w = createDocument(kind, QFileInfo(path).fileName());
        chargeNewWindow(this, w, [&] { w->Charge(path); });
        ++m_nb[int(kind)];
        UpdateMenuItems();
        return;
    }
    messageboxes::inform(this,
                         QStringLiteral("Velmora ne sait pas ouvrir le fichier %1 : seuls les fichiers .qvt, .qvc, "
                                        ".qvb, .qva, .rtf et .ods s'ouvrent ici (un fichier texte s'insère par "
                                        "« Importer... »).")
                                 .arg(QFileInfo(path).fileName()),
                         QStringLiteral("Ouvrir"));
}

void TMainForm::FileCloseItemClick()
{
    if (QMdiSubWindow *sw = m_mdi->currentSubWindow())
        sw->close();
}

void TMainForm::FileSaveItemClick()
{
    if (DocumentWindow *w = reached(AllKinds))
        w->Sauve();
}

void TMainForm::FileSaveAsItemClick()
{
    if (DocumentWindow *w = reached(AllKinds))
        w->SaveAs();
}

void TMainForm::EnregistrerauformatHTML1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Sauvehtm();
}

void TMainForm::Importer1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Importer();
}

void TMainForm::Miseenpage1Click()
{
    if (m_mdi->subWindowList().isEmpty())
        return;
    if (auto *t = reach<TexteCommands>(TextBit))
        t->SetPage();
}

void TMainForm::Configurationimprimante1Click()
{
    if (m_printDialogHook) {
        m_printDialogHook(printer());
        return;
    }
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Configuration de l'impression"));
    // Setting up the printer prints nothing: the dialog confirms with "OK".
    for (auto *box : dialog.findChildren<QDialogButtonBox *>())
        for (QAbstractButton *b : box->buttons())
            if (box->buttonRole(b) == QDialogButtonBox::AcceptRole)
                b->setText(QStringLiteral("OK"));
    dialog.exec();
    printing::applyRedirection(printer());
}

void TMainForm::Aperuavantimpression1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Apercu();
    else if (auto *s = as<TableurCommands>(w))
        s->Apercu();
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
    if (!reached(TextBit | SheetBit | BaseBit) || !runPrintDialog())
        return;
    Imprimer2();
}

void TMainForm::Imprimer2()
{
    DocumentWindow *w = reached(TextBit | SheetBit | BaseBit);
    if (auto *t = as<TexteCommands>(w))
        t->Imprime();
    else if (auto *s = as<TableurCommands>(w))
        s->Imprime();
    else if (auto *d = as<FichierCommands>(w))
        d->Imprime(sender());
}

void TMainForm::FileExitItemClick() { close(); }

// "Edition"

void TMainForm::Annuler1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Annule();
    else if (auto *s = as<TableurCommands>(w))
        s->Annule();
}

void TMainForm::updateUndoItems()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    bool undo = false, redo = false;
    if (auto *t = as<TexteCommands>(w)) {
        undo = t->canUndo();
        redo = t->canRedo();
    } else if (auto *s = as<TableurCommands>(w)) {
        undo = s->canUndo();
        redo = s->canRedo();
    }
    m_actions.value(QStringLiteral("Annuler1"))->setEnabled(undo);
    m_controls.value(QStringLiteral("SpeedButton1"))->setEnabled(undo);
    m_actions.value(QStringLiteral("Retablir1"))->setEnabled(redo);
}

void TMainForm::Retablir1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Retablit();
    else if (auto *s = as<TableurCommands>(w))
        s->Retablit();
}

void TMainForm::CutItemClick()
{
    DocumentWindow *w = reached(AllKinds);
    if (auto *t = as<TexteCommands>(w))
        t->Coupe();
    else if (auto *s = as<TableurCommands>(w))
        s->Coupe();
    else if (auto *d = as<FichierCommands>(w))
        d->Coupe(m_pressePapierFichier);
    else if (auto *a = as<AgendaCommands>(w))
        a->Coupe(m_pressePapierAgenda);
}

void TMainForm::CopyItemClick()
{
    DocumentWindow *w = reached(AllKinds);
    if (auto *t = as<TexteCommands>(w))
        t->Copie();
    else if (auto *s = as<TableurCommands>(w))
        s->Copie();
    else if (auto *d = as<FichierCommands>(w))
        d->Copie(m_pressePapierFichier);
    else if (auto *a = as<AgendaCommands>(w))
        a->Copie(m_pressePapierAgenda);
}

void TMainForm::PasteItemClick()
{
    DocumentWindow *w = reached(AllKinds);
    if (auto *t = as<TexteCommands>(w))
        t->Colle();
    else if (auto *s = as<TableurCommands>(w))
        s->Colle();
    else if (auto *d = as<FichierCommands>(w))
        d->Colle(m_pressePapierFichier);
    else if (auto *a = as<AgendaCommands>(w))
        a->Colle(m_pressePapierAgenda);
}

void TMainForm::Chercher1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit | BaseBit);
    if (auto *t = as<TexteCommands>(w))
        t->Chercher();
    else if (auto *s = as<TableurCommands>(w))
        s->Chercher();
    else if (auto *d = as<FichierCommands>(w))
        d->Chercher();
}

void TMainForm::Continuer1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit | BaseBit);
    if (auto *t = as<TexteCommands>(w))
        t->FindDialog1Find(m_actions.value(QStringLiteral("Continuer1")));
    else if (auto *s = as<TableurCommands>(w))
        s->FindNext();
    else if (auto *d = as<FichierCommands>(w))
        d->FindNext();
}

void TMainForm::Remplacer1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit | BaseBit);
    if (auto *t = as<TexteCommands>(w))
        t->Remplacer();
    else if (auto *s = as<TableurCommands>(w))
        s->Remplacer();
    else if (auto *d = as<FichierCommands>(w))
        d->Remplacer();
}

void TMainForm::Toutslectionner1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Seltout();
    else if (auto *s = as<TableurCommands>(w))
        s->Seltout();
}

void TMainForm::Insrerligne1Click()
{
    DocumentWindow *w = reached(SheetBit | BaseBit);
    if (auto *s = as<TableurCommands>(w))
        s->InsLig();
    else if (auto *d = as<FichierCommands>(w))
        d->InsLig();
}

void TMainForm::Insrercolonne1Click()
{
    DocumentWindow *w = reached(SheetBit | BaseBit);
    if (auto *s = as<TableurCommands>(w))
        s->Inscol();
    else if (auto *d = as<FichierCommands>(w))
        d->InsCol();
}

void TMainForm::Supprimerligne1Click()
{
    DocumentWindow *w = reached(SheetBit | BaseBit);
    if (auto *s = as<TableurCommands>(w))
        s->SupLig();
    else if (auto *d = as<FichierCommands>(w))
        d->SupLig();
}

void TMainForm::Supprimercolonne1Click()
{
    DocumentWindow *w = reached(SheetBit | BaseBit);
    if (auto *s = as<TableurCommands>(w))
        s->Supcol();
    else if (auto *d = as<FichierCommands>(w))
        d->SupCol();
}

// "Texte"

void TMainForm::Dateheure1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->DateHeure();
}
void TMainForm::Changerlacasse1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->ChangerCasse();
}
void TMainForm::Caractresspciaux1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->CarSpe();
}
void TMainForm::Tabulations1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Tabulations();
}
void TMainForm::Glossaire1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Glossaire();
}
void TMainForm::Champbasededonne1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->InsChamp();
}
void TMainForm::Publipostage1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Publipostage();
}
void TMainForm::Statistiques1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Statistiques();
}
void TMainForm::Nombre1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Nombre();
}

void TMainForm::Paragraphe1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Paragraphe();
}

// A QAction that is checkable has already inverted its tick when `triggered` arrives;
// "before the call, invert the tick" therefore reads the tick as it is now.
void TMainForm::Puces1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Puces1"));
    if (auto *t = reach<TexteCommands>(TextBit)) {
        t->Bullets(a->isChecked());
    } else {
        a->setChecked(!a->isChecked()); // the tick changes only when a text window is reached
    }
}

void TMainForm::Voircodesrtf1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Voircodesrtf1"));
    if (auto *t = reach<TexteCommands>(TextBit))
        t->Codes(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

void TMainForm::Enveloppes1Click()
{
    if (auto *t = reach<TexteCommands>(TextBit))
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

// "Tableur"

void TMainForm::Largeurcolonne1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Largeur();
}
void TMainForm::Hauteurligne1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Hauteur();
}
void TMainForm::Ajustementautomatique1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Ajuster();
}
void TMainForm::Fonctions1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Fonctions();
}
void TMainForm::Onglets1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Onglets();
}
void TMainForm::Trier2Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Trier();
}
void TMainForm::Graphique1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Graphique();
}
void TMainForm::Recalculermaintenant1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Recalcule();
}

// Freezing inverts the tick whether a spreadsheet is reached or not (the action did it).
void TMainForm::Figerlignes1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->FixLigs(m_actions.value(QStringLiteral("Figerlignes1"))->isChecked());
}

void TMainForm::Figercolonnes1Click()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->FixCols(m_actions.value(QStringLiteral("Figercolonnes1"))->isChecked());
}

void TMainForm::Montrerlesformules1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Montrerlesformules1"));
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Formules(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

void TMainForm::Montrerlagrille1Click()
{
    QAction *a = m_actions.value(QStringLiteral("Montrerlagrille1"));
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Grille(a->isChecked());
    else
        a->setChecked(!a->isChecked());
}

// "Base de données"

void TMainForm::Champs1Click()
{
    if (auto *d = reach<FichierCommands>(BaseBit))
        d->Champs();
}
void TMainForm::Enveloppes2Click()
{
    if (auto *d = reach<FichierCommands>(BaseBit))
        d->ImpEnv();
}
void TMainForm::Trier1Click()
{
    if (auto *d = reach<FichierCommands>(BaseBit))
        d->Trier();
}

void TMainForm::Liste1Click()
{
    auto *d = reach<FichierCommands>(BaseBit);
    m_actions.value(QStringLiteral("Liste1"))
            ->setChecked(d ? true : !m_actions.value(QStringLiteral("Liste1"))->isChecked());
    if (d) {
        m_actions.value(QStringLiteral("Fiche1"))->setChecked(false);
        d->VueListe();
    }
}

void TMainForm::Fiche1Click()
{
    auto *d = reach<FichierCommands>(BaseBit);
    m_actions.value(QStringLiteral("Fiche1"))
            ->setChecked(d ? true : !m_actions.value(QStringLiteral("Fiche1"))->isChecked());
    if (d) {
        m_actions.value(QStringLiteral("Liste1"))->setChecked(false);
        d->VueFiche();
    }
}

// "Agenda"

void TMainForm::Journe1Click()
{
    if (auto *a = reach<AgendaCommands>(AgendaBit))
        a->DefJournee();
}
void TMainForm::Grouper1Click()
{
    if (auto *a = reach<AgendaCommands>(AgendaBit))
        a->Etendue();
}
void TMainForm::Supprimertendue1Click()
{
    if (auto *a = reach<AgendaCommands>(AgendaBit))
        a->SupEtendue();
}

void TMainForm::Journe2Click()
{
    auto *a = reach<AgendaCommands>(AgendaBit);
    m_actions.value(QStringLiteral("Journe2"))
            ->setChecked(a ? true : !m_actions.value(QStringLiteral("Journe2"))->isChecked());
    if (a) {
        m_actions.value(QStringLiteral("Semaine1"))->setChecked(false);
        a->Journee();
    }
}

void TMainForm::Semaine1Click()
{
    auto *a = reach<AgendaCommands>(AgendaBit);
    m_actions.value(QStringLiteral("Semaine1"))
            ->setChecked(a ? true : !m_actions.value(QStringLiteral("Semaine1"))->isChecked());
    if (a) {
        m_actions.value(QStringLiteral("Journe2"))->setChecked(false);
        a->Semaine();
    }
}

// "Utilitaires"

void TMainForm::Calendrier1Click() { m_agenda->showCalendrier(); }
void TMainForm::Calculatrice1Click() { m_utilities->show(UtilityTool::Calculatrice); }
void TMainForm::Horloge1Click() { m_utilities->show(UtilityTool::Horloge); }
void TMainForm::Euroconvertisseur1Click() { m_utilities->show(UtilityTool::Euroconvertisseur); }
void TMainForm::Blocnotes1Click() { m_utilities->show(UtilityTool::Blocnotes); }
void TMainForm::Pselettres1Click() { m_utilities->show(UtilityTool::Pselettres); }

// Formatting toolbar and font command

QString TMainForm::fontNameOfBox() const
{
    // A typed name that differs from a listed family only in case takes the list's spelling.
    const QString typed = m_comboBox1->currentText().trimmed();
    const int i = m_comboBox1->findText(typed, Qt::MatchFixedString);
    return i >= 0 ? m_comboBox1->itemText(i) : typed;
}

int TMainForm::sizeOfBox() const
{
    return qBound(m_spinEdit1->minimum(), m_spinEdit1->typedValue(), m_spinEdit1->maximum());
}

void TMainForm::ComboBox1Change()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (!activeDocument() || m_majStyles || fontNameOfBox().isEmpty())
        return;
    if (auto *t = as<TexteCommands>(w))
        t->FontName(fontNameOfBox());
    else if (auto *s = as<TableurCommands>(w))
        s->FontName(fontNameOfBox(), sizeOfBox());
}

void TMainForm::SpinEdit1Change()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (!activeDocument() || m_majStyles)
        return;
    if (auto *t = as<TexteCommands>(w))
        t->FontSize(sizeOfBox());
    else if (auto *s = as<TableurCommands>(w))
        s->FontName(fontNameOfBox(), sizeOfBox());
}

void TMainForm::BoldButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Bold(isDown(m_controls.value(QStringLiteral("BoldButton"))));
    else if (auto *s = as<TableurCommands>(w))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))),
                     isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::ItalButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Ital(isDown(m_controls.value(QStringLiteral("ItalButton"))));
    else if (auto *s = as<TableurCommands>(w))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))),
                     isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::UnderButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Under(isDown(m_controls.value(QStringLiteral("UnderButton"))));
    else if (auto *s = as<TableurCommands>(w))
        s->FontStyle(isDown(m_controls.value(QStringLiteral("BoldButton"))),
                     isDown(m_controls.value(QStringLiteral("ItalButton"))),
                     isDown(m_controls.value(QStringLiteral("UnderButton"))));
}

void TMainForm::LeftButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Justif(Alignment::Left);
    else if (auto *s = as<TableurCommands>(w))
        s->Justif(Alignment::Left);
}

void TMainForm::RightButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Justif(Alignment::Right);
    else if (auto *s = as<TableurCommands>(w))
        s->Justif(Alignment::Right);
}

void TMainForm::CenterButtonClick()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (auto *t = as<TexteCommands>(w))
        t->Justif(Alignment::Centre);
    else if (auto *s = as<TableurCommands>(w))
        s->Justif(Alignment::Centre);
}

void TMainForm::SumButtonClick()
{
    if (auto *s = reach<TableurCommands>(SheetBit))
        s->Somme();
}

void TMainForm::Police1Click()
{
    DocumentWindow *w = reached(TextBit | SheetBit);
    if (!activeDocument())
        return;
    // The font changes only when the user confirms; the colour only when it was changed in
    // the dialog (an invalid colour leaves each character's own).
    auto ask = [this](QFont &font, QColor &colour) {
        QFont chosenFont = font;
        QColor chosenColour = colour;
        const bool ok = m_fontDialogHook ? m_fontDialogHook(chosenFont, chosenColour)
                                         : FontChooser::ask(this, chosenFont, chosenColour);
        if (ok)
            font = chosenFont;
        colour = ok && chosenColour.toRgb() != colour.toRgb() ? chosenColour : QColor();
    };
    if (auto *t = as<TexteCommands>(w)) {
        QFont a = t->GetFont();
        QColor c = t->GetColour();
        ask(a, c); // a keeps the selection's attributes when the user cancels
        t->SetFont(a, c);
    } else if (auto *s = as<TableurCommands>(w)) {
        QFont f;
        s->GetFont(f);
        QColor c = s->GetColour();
        ask(f, c);
        s->SetFont(f, c);
    }
}

// Mail merge services

bool TMainForm::Bornes(int &first, int &last)
{
    first = 1;
    last = 0;
    auto *d = reach<FichierCommands>(BaseBit);
    if (!d)
        return false;
    d->Bornes(first, last);
    return true;
}

void TMainForm::Contenu(int record, QString &text)
{
    if (auto *d = reach<FichierCommands>(BaseBit))
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
    // The fields of the current database window as it stands, saved or not; without one,
    // those of the database loaded last.
    if (DocumentWindow *base = m_dernier[int(DocKind::Fichier)]) {
        if (auto *d = dynamic_cast<FichierCommands *>(base))
            dialog.setFields(d->NomsChamps(), base->windowTitle());
    }
    dialog.prepare();
    if (m_fieldDialogHook)
        m_fieldDialogHook(dialog);
    else
        dialog.exec();
    return dialog.Result();
}
