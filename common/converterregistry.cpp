#include "common/converterregistry.h"

void ConverterRegistry::add(Converter converter)
{
    if (converter.outputSuffix.isEmpty())
        converter.outputSuffix = converter.format;
    m_converters.push_back(std::move(converter));
}

const Converter *ConverterRegistry::find(const QString &format, const QString &inputSuffix) const
{
    const QString f = format.toLower();
    const QString s = inputSuffix.toLower();
    for (const Converter &c : m_converters)
        if (c.format == f && c.inputSuffixes.contains(s))
            return &c;
    return nullptr;
}

bool ConverterRegistry::knowsFormat(const QString &format) const
{
    const QString f = format.toLower();
    for (const Converter &c : m_converters)
        if (c.format == f)
            return true;
    return false;
}

QStringList ConverterRegistry::formats() const
{
    QStringList out;
    for (const Converter &c : m_converters)
        if (!out.contains(c.format))
            out.append(c.format);
    out.sort();
    return out;
}

bool ConverterRegistry::knowsOption(const QString &format, const QString &name) const
{
    for (const Converter &c : m_converters)
        if (c.format == format && c.options.contains(name))
            return true;
    return false;
}

QStringList ConverterRegistry::suffixesFor(const QString &format) const
{
    QStringList out;
    const QString f = format.toLower();
    for (const Converter &c : m_converters)
        if (c.format == f)
            for (const QString &s : c.inputSuffixes)
                if (!out.contains(s))
                    out.append(s);
    return out;
}
