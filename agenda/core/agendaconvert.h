// The headless conversions of a ".qva" file: iCalendar, CSV, and a re-save in the
// program's own form. They read and write through the same code as the agenda window.
#pragma once

#include "agenda/core/agendadates.h"

#include <QDateTime>
#include <QMap>
#include <QString>

struct ConversionJob;

namespace agendaconvert {

// Day settings from the options "debut", "fin" and "echelle" (8, 18 and 2 when absent).
// Throws VelmoraError with a French message on a value out of range.
DaySettings settingsFromOptions(const QMap<QString, QString> &options);

void toIcs(const ConversionJob &job, const QDateTime &stamp = QDateTime::currentDateTimeUtc());
void toCsv(const ConversionJob &job);
void toQva(const ConversionJob &job);

} // namespace agendaconvert
