// The spreadsheet window's side of crash recovery: the workbook's bytes for its copy, and
// the copy taken back in under the workbook's own name.
#include "spreadsheet/ui/ttableur.h"

#include "common/atomicsave.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/tf1book.h"

DocumentWindow::RecoveryState TTableur::recoveryState(bool withWriter) const
{
    RecoveryState state{F1Book1->Modified(), NomFichier(), {}};
    if (!withWriter || !state.modified)
        return state;
    // The workbook writer runs here (the workbook is not shared with other threads); only
    // the file is written on the writer's thread. A cell being typed is not committed.
    const QByteArray bytes = sheet::qvc::write(F1Book1->workbook());
    state.write = [bytes](const QString &path) { atomicsave::write(path, bytes); };
    return state;
}

void TTableur::restoreRecoveryCopy(const QString &copy, const QString &fileName)
{
    int format = TF1Book::kFormatWorkbook;
    F1Book1->Read(copy, format);
    setNomFichier(fileName);
    F1Book1->SetModified(true);
    F1Book1SelChange();
}
