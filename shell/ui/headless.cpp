#include "shell/ui/headless.h"

#include "agenda/ui/agendamodule.h"
#include "common/velmoraerror.h"
#include "database/ui/databasemodule.h"
#include "spreadsheet/ui/spreadsheetmodule.h"
#include "text/ui/textmodule.h"

#include <QDir>
#include <QFileInfo>

namespace headless {

bool requested(const QStringList &args)
{
    return args.contains(QStringLiteral("--headless"));
}

ConverterRegistry defaultRegistry()
{
    ConverterRegistry r;
    TextModule::registerConverters(r);
    DatabaseModule::registerConverters(r);
    SpreadsheetModule::registerConverters(r);
    AgendaModule::registerConverters(r);
    return r;
}

namespace {

struct Request
{
    QString format;
    QString outdir;
    QMap<QString, QString> options;
    QStringList files;
};

// Returns an empty string when the arguments make sense, else the reason.
QString parse(const QStringList &args, Request &req)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--headless")
            continue;
        if (a.startsWith(u"--")) {
            const QString key = a.mid(2);
            if (i + 1 >= args.size())
                return QStringLiteral("l'option %1 attend une valeur").arg(a);
            const QString value = args[++i];
            if (key == u"convert-to")
                req.format = value.toLower();
            else if (key == u"outdir")
                req.outdir = value;
            else
                req.options.insert(key, value);
        } else {
            req.files.append(a);
        }
    }
    if (req.format.isEmpty())
        return QStringLiteral("indiquez le format voulu avec --convert-to FORMAT");
    if (req.files.isEmpty())
        return QStringLiteral("aucun fichier à convertir");
    return QString();
}

} // namespace

int run(const QStringList &args, const ConverterRegistry &registry, QTextStream &out, QTextStream &err)
{
    Request req;
    const QString problem = parse(args, req);
    if (!problem.isEmpty()) {
        err << "velmora : " << problem << "\n"
            << "usage : velmora --headless --convert-to FORMAT [--outdir DOSSIER] FICHIER...\n";
        err.flush();
        return UsageError;
    }
    if (!registry.knowsFormat(req.format)) {
        const QStringList known = registry.formats();
        err << "velmora : format inconnu : " << req.format << "\n";
        if (!known.isEmpty())
            err << "formats connus : " << known.join(QStringLiteral(", ")) << "\n";
        err.flush();
        return UsageError;
    }
    if (!req.outdir.isEmpty() && !QDir().mkpath(req.outdir)) {
        err << "velmora : ne peut créer le dossier " << req.outdir << "\n";
        err.flush();
        return ConversionFailed;
    }

    int status = Ok;
    for (const QString &file : req.files) {
        const QFileInfo in(file);
        const Converter *conv = registry.find(req.format, in.suffix());
        if (!conv) {
            err << "velmora : " << file << " : conversion en " << req.format << " impossible pour ce type de fichier ("
                << registry.suffixesFor(req.format).join(QStringLiteral(", ")) << ")\n";
            status = ConversionFailed;
            continue;
        }
        if (!in.exists() || !in.isFile()) {
            err << "velmora : " << file << " : Fichier introuvable\n";
            status = ConversionFailed;
            continue;
        }
        if (!in.isReadable()) {
            err << "velmora : " << file << " : Ne peut ouvrir le fichier " << file << "\n";
            status = ConversionFailed;
            continue;
        }
        const QDir dir(req.outdir.isEmpty() ? QDir::currentPath() : req.outdir);
        ConversionJob job{in.absoluteFilePath(),
                          dir.absoluteFilePath(in.completeBaseName() + u'.' + conv->outputSuffix), req.options};
        try {
            conv->run(job);
            out << in.filePath() << " -> " << QDir::cleanPath(job.output) << "\n";
        } catch (const VelmoraError &e) {
            err << "velmora : " << file << " : " << e.message() << "\n";
            status = ConversionFailed;
        } catch (const std::exception &e) {
            err << "velmora : " << file << " : " << e.what() << "\n";
            status = ConversionFailed;
        }
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace headless
