// The conversions of the headless command line ("velmora --headless --convert-to FMT FILE"):
// each module registers what it can turn into what; the command line looks them up.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct ConversionJob
{
    QString input; // path of the file to convert
    QString output; // path to write
    QMap<QString, QString> options; // extra command-line options, e.g. "sheet" -> "2"
};

struct Converter
{
    QString format; // lower-case target format: "htm", "pdf", "csv", ...
    QStringList inputSuffixes; // lower-case input suffixes it accepts: "qvt", "rtf", ...
    QString outputSuffix; // suffix of the file written (defaults to `format`)
    // Does the work; throws VelmoraError with a French message on failure.
    std::function<void(const ConversionJob &)> run;
    // Names of the command-line options it reads ("sheet" for "--sheet N").
    QStringList options = {};
};

class ConverterRegistry
{
public:
    void add(Converter converter);
    // The converter for `format` that takes files ending in `inputSuffix`, or nullptr.
    const Converter *find(const QString &format, const QString &inputSuffix) const;
    bool knowsFormat(const QString &format) const;
    QStringList formats() const;
    QStringList suffixesFor(const QString &format) const;
    // True when a converter to `format` reads the option `name`.
    bool knowsOption(const QString &format, const QString &name) const;

private:
    std::vector<Converter> m_converters;
};
