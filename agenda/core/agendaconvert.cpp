#include "agenda/core/agendaconvert.h"

#include "agenda/core/agendaexport.h"
#include "agenda/core/agendafile.h"
#include "agenda/core/agendalist.h"
#include "common/converterregistry.h"
#include "common/velmoraerror.h"

#include <QFileInfo>

namespace agendaconvert {
namespace {

int hourOption(const QMap<QString, QString> &options, const QString &key, int fallback, int low, int high)
{
    if (!options.contains(key))
        return fallback;
    const QString text = options.value(key).trimmed();
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        throw VelmoraError::notAnInteger(text);
    if (v < low || v > high)
        throw VelmoraError(
                QStringLiteral("--%1 : la valeur doit être comprise entre %2 et %3").arg(key).arg(low).arg(high));
    return v;
}

AgendaList load(const QString &path) { return AgendaList(agendafile::read(path)); }

void writeBytes(const QString &path, const QByteArray &bytes) { agendafile::write(path, bytes); }

} // namespace

DaySettings settingsFromOptions(const QMap<QString, QString> &options)
{
    DaySettings s;
    s.start = hourOption(options, QStringLiteral("debut"), s.start, 0, 24);
    s.end = hourOption(options, QStringLiteral("fin"), s.end, 0, 24);
    s.scale = hourOption(options, QStringLiteral("echelle"), s.scale, 1, 3);
    if (s.end < s.start)
        throw VelmoraError(
                QStringLiteral("--fin : l'heure de fin (%1) précède l'heure de début (%2)").arg(s.end).arg(s.start));
    return s;
}

void toIcs(const ConversionJob &job, const QDateTime &stamp)
{
    const DaySettings settings = settingsFromOptions(job.options);
    const AgendaList list = load(job.input);
    writeBytes(job.output,
               agendaexport::toIcs(list, settings, stamp,
                                   QFileInfo(job.input).completeBaseName() + QStringLiteral(".velmora")));
}

void toCsv(const ConversionJob &job)
{
    const DaySettings settings = settingsFromOptions(job.options);
    writeBytes(job.output, agendaexport::toCsv(load(job.input), settings));
}

void toQva(const ConversionJob &job)
{
    // Loaded and saved as the window does (the document taken as changed).
    const AgendaList list = load(job.input);
    writeBytes(job.output, agendafile::serialise(list));
}

} // namespace agendaconvert
