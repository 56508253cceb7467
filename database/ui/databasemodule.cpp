#include "database/ui/databasemodule.h"

#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "common/velmoraerror.h"
#include "database/core/csvformat.h"
#include "database/core/qvbformat.h"
#include "database/ui/listprint.h"
#include "database/ui/tchamp.h"
#include "database/ui/tfenv.h"
#include "database/ui/tfichier.h"

#include <QApplication>
#include <QPointer>
#include <QFile>
#include <QFileInfo>

#include "common/atomicsave.h"
#include "common/ui/lazyform.h"

// The dialogs are children of the frame when there is one, and may go with it first.
struct DatabaseModule::Dialogs
{
    QPointer<TChamp> champ;
    QPointer<TTri> tri;
    QPointer<TFindDialog> find;
    QPointer<TReplaceDialog> replace;
    QPointer<TFenv> fenv;
};

DatabaseModule::DatabaseModule(QWidget *dialogParent) : m_dialogParent(dialogParent), m_dialogs(new Dialogs) { }

DatabaseModule::~DatabaseModule()
{
    delete m_dialogs->champ.data();
    delete m_dialogs->tri.data();
    delete m_dialogs->find.data();
    delete m_dialogs->replace.data();
    delete m_dialogs->fenv.data();
}

DocumentWindow *DatabaseModule::createWindow(FrameServices &frame)
{
    // The dialogs are made with the first database window.
    Dialogs &d = *m_dialogs;
    return new TFichier(frame,
                        DatabaseTools{&lazyForm(d.champ, m_dialogParent), &lazyForm(d.tri, m_dialogParent),
                                      &lazyForm(d.find, m_dialogParent), &lazyForm(d.replace, m_dialogParent),
                                      &lazyForm(d.fenv, m_dialogParent)});
}

namespace {

// The grid font of a database window, for the list print of a conversion.
QFont listFont()
{
    QFont f = QApplication::font();
    f.setFamily(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(12);
    return f;
}

Table loaded(const QString &path)
{
    Table t;
    qvb::load(path, t);
    return t;
}

void saveChecked(const QString &path, const Table &table)
{
    const qvb::CellPosition bad = qvb::firstUnencodable(table);
    if (bad.field != 0)
        throw VelmoraError(QStringLiteral("Fiche %1, champ %2 : le caractère « %3 » ne peut pas être enregistré "
                                          "dans un fichier .qvb")
                                   .arg(bad.row)
                                   .arg(bad.field)
                                   .arg(bad.character));
    qvb::save(path, table);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    return f.readAll();
}

} // namespace

void DatabaseModule::registerConverters(ConverterRegistry &registry)
{
    registry.add({QStringLiteral("csv"), {QStringLiteral("qvb")}, QStringLiteral("csv"), [](const ConversionJob &job) {
                      atomicsave::write(job.output, csv::serialize(loaded(job.input)));
                  }});
    registry.add({QStringLiteral("pdf"), {QStringLiteral("qvb")}, QStringLiteral("pdf"), [](const ConversionJob &job) {
                      listprint::printListToPdf(job.output, loaded(job.input), listFont(), 15);
                  }});
    // A re-save: what the window's load and save make of the file.
    registry.add({QStringLiteral("qvb"), {QStringLiteral("qvb")}, QStringLiteral("qvb"), [](const ConversionJob &job) {
                      saveChecked(job.output, loaded(job.input));
                  }});
    registry.add({QStringLiteral("qvb"), {QStringLiteral("csv")}, QStringLiteral("qvb"), [](const ConversionJob &job) {
                      Table t;
                      csv::parse(readAll(job.input), t);
                      saveChecked(job.output, t);
                  }});
}
