// TFichier: search, replace, sort, list and envelope printing, and what a mail merge asks.
#include "database/ui/tfichier.h"

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "common/velmoraerror.h"
#include "database/core/fieldmarkers.h"
#include "database/core/recordsearch.h"
#include "database/core/recordsort.h"
#include "database/ui/cardgrid.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"
#include "database/ui/listprint.h"
#include "database/ui/tfenv.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>

void TFichier::Chercher()
{
    commitEdits();
    if (cardShown())
        EcritFiche();
    m_tools.find->Edit1->selectAll();
    runDialog(*m_tools.find);
    m_ligneRecherche = 1;
    findNextRecord();
}

void TFichier::FindNext()
{
    // Nothing asked for yet (or the last question cancelled): "Continuer" asks.
    if (m_tools.find->Result().isEmpty()) {
        Chercher();
        return;
    }
    commitEdits();
    if (cardShown())
        EcritFiche();
    findNextRecord();
}

void TFichier::findNextRecord()
{
    const QString s = m_tools.find->Result();
    if (s.isEmpty())
        return;
    const int field = currentField();
    const int r = recordsearch::find(m_table, field, s, std::max(1, m_ligneRecherche));
    if (r > 0) {
        // The next search goes on from the record after this one.
        m_ligneRecherche = r + 1;
        setCurrentCell(field, r);
        m_ficheCourante = r;
    }
    if (cardShown())
        LitFiche();
}

void TFichier::Remplacer()
{
    commitEdits();
    if (cardShown())
        EcritFiche();
    runDialog(*m_tools.replace);
    QString search;
    QString replacement;
    m_tools.replace->Result(search, replacement);
    if (search.isEmpty())
        return;
    const recordsearch::Replacement done = recordsearch::replace(m_table, currentField(), search, replacement);
    if (done.count > 0) {
        markModified();
        afterTableChange();
    }
    QString message = TReplaceDialog::replacedMessage(done.count);
    if (done.skipped > 0)
        message += QStringLiteral("\n%1 fiche(s) laissée(s) telle(s) quelle(s) : le texte y dépasserait %2 caractères.")
                           .arg(done.skipped)
                           .arg(Table::kMaxCellLength);
    messageboxes::inform(this, message, QStringLiteral("Remplacer"));
}

void TFichier::Trier()
{
    commitEdits();
    if (cardShown())
        EcritFiche();
    TTri &dialog = *m_tools.tri;
    const QList<int> fields = m_table.namedFields();
    dialog.ComboBox1->clear();
    dialog.ComboBox1->addItems(m_table.fieldNames());
    const qsizetype here = fields.indexOf(currentField());
    dialog.ComboBox1->setCurrentIndex(fields.isEmpty() ? -1 : int(std::max<qsizetype>(here, 0)));
    dialog.setResult(QDialog::Rejected);
    runDialog(dialog);
    int key = 0;
    int order = 0;
    dialog.Result(key, order);
    m_champTri = key;
    if (key < 1 || key > fields.size())
        return;
    // The key is the chosen field itself, wherever unnamed fields stand before it.
    recordsort::sortRecords(m_table, fields[key - 1], order == 1);
    markModified();
    afterTableChange();
}

void TFichier::Imprime(QObject *sender)
{
    Q_UNUSED(sender);
    commitEdits();
    if (cardShown())
        EcritFiche();
    errorhandler::run(this, [&] {
        QPrinter &printer = frame().printer();
        if (!printing::hasOutput(printer))
            throw VelmoraError(QStringLiteral("Aucune imprimante n'est installée : choisissez l'impression "
                                              "dans un fichier PDF avec « Configuration imprimante »."));
        listprint::printList(printer, m_table, StringGrid1->font(), m_ligneImpDebut);
    });
}

void TFichier::ImpEnv()
{
    commitEdits();
    if (cardShown())
        EcritFiche();
    TFenv &dialog = *m_tools.fenv;
    dialog.setFieldNames(m_table.fieldNames());
    runDialog(dialog);
    const QStringList lines = dialog.Result();
    if (lines.value(0).isEmpty())
        return;
    int first = 0;
    int last = 0;
    Bornes(first, last);
    errorhandler::run(this, [&] {
        QPrinter &printer = frame().printer();
        if (!printing::hasOutput(printer))
            throw VelmoraError(QStringLiteral("Aucune imprimante n'est installée : choisissez l'impression "
                                              "dans un fichier PDF avec « Configuration imprimante »."));
        listprint::printEnvelopes(printer, m_table, lines, first, last);
    });
}

void TFichier::Bornes(int &first, int &last)
{
    commitEdits();
    selectedRows(first, last);
}

void TFichier::Contenu(int record, QString &text)
{
    commitEdits();
    fieldmarkers::replaceMarkers(m_table, record, text);
}
