// The one exception type of the model code: it carries the French message that the
// application's general error handler shows before abandoning the command.
#pragma once

#include <QString>
#include <exception>
#include <string>

class VelmoraError : public std::exception
{
public:
    explicit VelmoraError(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

    // The run-time's messages, worded as users of the program know them.
    static VelmoraError cannotOpen(const QString &fileName); // "Ne peut ouvrir le fichier %s"
    static VelmoraError fileNotFound(); // "Fichier introuvable"
    static VelmoraError ioError(int code); // "Erreur E/S %d"
    // What happened, in words, with the code beside them: "<what>. Erreur E/S %d".
    static VelmoraError ioError(int code, const QString &what);
    // A file that opened but could not be read to its end (code 100).
    static VelmoraError readError();
    static VelmoraError notAnInteger(const QString &text); // "'%s' n'est pas une valeur entière correcte"
    static VelmoraError floatOverflow(); // "Débordement flottant"

private:
    QString m_message;
    std::string m_utf8;
};
