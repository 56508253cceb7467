#include "agenda/ui/agendamodule.h"

#include "agenda/core/agendaconvert.h"
#include "agenda/ui/tagenda.h"
#include "agenda/ui/tcalendrier.h"
#include "agenda/ui/tjour.h"
#include "agenda/ui/tmensuel.h"

#include <QFileDialog>
#include <QFileInfo>

AgendaModule::AgendaModule(QWidget *dialogParent) : m_dialogParent(dialogParent) { }

AgendaModule::~AgendaModule() = default;

DocumentWindow *AgendaModule::createWindow(FrameServices &frame) { return new TAgenda(frame, *this); }

TJour &AgendaModule::jour()
{
    if (!m_jour)
        m_jour = std::make_unique<TJour>(m_dialogParent);
    return *m_jour;
}

TMensuel &AgendaModule::mensuel()
{
    if (!m_mensuel)
        m_mensuel = std::make_unique<TMensuel>(m_dialogParent);
    return *m_mensuel;
}

TCalendrier &AgendaModule::calendrier()
{
    if (!m_calendrier)
        m_calendrier = std::make_unique<TCalendrier>(m_dialogParent);
    return *m_calendrier;
}

bool AgendaModule::showCalendrier()
{
    runDialog(calendrier());
    return true;
}

void AgendaModule::runDialog(QDialog &dialog)
{
    if (m_runDialog)
        m_runDialog(dialog);
    else
        dialog.exec();
}

QString AgendaModule::askSaveName(QWidget *parent, const QString &current)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Enregistrer sous"),
                                        current.isEmpty() ? QString() : QFileInfo(current).absoluteFilePath(),
                                        QStringLiteral("Fichiers Agenda (*.qva);;Tous les fichers (*)"));
}

void AgendaModule::registerConverters(ConverterRegistry &registry)
{
    const QStringList qva{QStringLiteral("qva")};
    // The day's hours: "--debut H", "--fin H", "--echelle 1|2|3".
    const QStringList day{QStringLiteral("debut"), QStringLiteral("fin"), QStringLiteral("echelle")};
    registry.add(Converter{QStringLiteral("ics"), qva, QStringLiteral("ics"),
                           [](const ConversionJob &job) { agendaconvert::toIcs(job); }, day});
    registry.add(Converter{QStringLiteral("csv"), qva, QStringLiteral("csv"), agendaconvert::toCsv, day});
    registry.add(Converter{QStringLiteral("qva"), qva, QStringLiteral("qva"), agendaconvert::toQva});
}
