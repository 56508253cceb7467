#include "common/velmoraerror.h"

VelmoraError::VelmoraError(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) { }

VelmoraError VelmoraError::cannotOpen(const QString &fileName)
{
    return VelmoraError(QStringLiteral("Ne peut ouvrir le fichier %1").arg(fileName));
}

VelmoraError VelmoraError::fileNotFound() { return VelmoraError(QStringLiteral("Fichier introuvable")); }

VelmoraError VelmoraError::ioError(int code) { return VelmoraError(QStringLiteral("Erreur E/S %1").arg(code)); }

VelmoraError VelmoraError::ioError(int code, const QString &what)
{
    return VelmoraError(QStringLiteral("%1. Erreur E/S %2").arg(what).arg(code));
}

VelmoraError VelmoraError::readError()
{
    return ioError(100, QStringLiteral("Le fichier n'a pas pu être lu jusqu'au bout (erreur de lecture)"));
}

VelmoraError VelmoraError::notAnInteger(const QString &text)
{
    return VelmoraError(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text));
}

VelmoraError VelmoraError::floatOverflow() { return VelmoraError(QStringLiteral("Débordement flottant")); }
