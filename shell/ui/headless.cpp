#include "shell/ui/headless.h"

#include "agenda/ui/agendamodule.h"
#include "common/atomicsave.h"
#include "common/ui/errorhandler.h"
#include "common/ui/headlessframe.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"
#include "database/ui/databasemodule.h"
#include "database/ui/tfichier.h"
#include "spreadsheet/ui/spreadsheetmodule.h"
#include "text/core/pagegeometry.h"
#include "text/core/spellreport.h"
#include "text/ui/textmodule.h"
#include "text/ui/ttexte.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace headless {

QStringList optionsPart(const QStringList &args)
{
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    return end < 0 ? args : args.first(end);
}

bool requested(const QStringList &args) { return optionsPart(args).contains(QStringLiteral("--headless")); }

QString printableName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else if (c.unicode() == 0x85 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
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

// The options of the command line itself; the converters name the others they read.
const QStringList kOwnOptions{QStringLiteral("convert-to"), QStringLiteral("outdir"),  QStringLiteral("merge"),
                              QStringLiteral("with"),       QStringLiteral("records"), QStringLiteral("marges")};

bool knownOption(const QString &key, const QString &format, const ConverterRegistry &registry)
{
    if (kOwnOptions.contains(key))
        return true;
    if (!format.isEmpty())
        return registry.knowsOption(format, key);
    for (const QString &f : registry.formats()) // before --convert-to: any converter's
        if (registry.knowsOption(f, key))
            return true;
    return false;
}

// Returns an empty string when the arguments make sense, else the reason.
QString parse(const QStringList &args, const ConverterRegistry &registry, Request &req)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded) {
            req.files.append(a);
            continue;
        }
        if (a == u"--") { // what follows is file names, even those that begin with "-"
            optionsEnded = true;
            continue;
        }
        if (a == u"--headless")
            continue;
        if (a.startsWith(u'-') && !a.startsWith(u"--"))
            return QStringLiteral("option inconnue : %1").arg(a);
        if (a.startsWith(u"--")) {
            const QString key = a.mid(2);
            if (i + 1 >= args.size())
                return knownOption(key, QString(), registry) ? QStringLiteral("l'option %1 attend une valeur").arg(a)
                                                             : QStringLiteral("option inconnue : %1").arg(a);
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
    for (auto it = req.options.cbegin(); it != req.options.cend(); ++it) {
        if (!knownOption(it.key(), QString(), registry))
            return QStringLiteral("option inconnue : --%1").arg(it.key());
        if (registry.knowsFormat(req.format) && !knownOption(it.key(), req.format, registry))
            return QStringLiteral("l'option --%1 ne s'applique pas à la conversion en %2").arg(it.key(), req.format);
    }
    if (req.options.contains(QStringLiteral("merge"))) {
        if (!req.options.contains(QStringLiteral("with")))
            return QStringLiteral("indiquez la base de données du publipostage avec --with CARNET.qvb");
        if (!req.files.isEmpty())
            return QStringLiteral("le publipostage ne prend pas d'autre fichier que --merge et --with : %1")
                    .arg(req.files.join(QStringLiteral(", ")));
        if (req.format != u"pdf")
            return QStringLiteral("le publipostage s'imprime en pdf seulement (--convert-to pdf)");
        return QString();
    }
    for (const char *option : {"with", "records", "marges"})
        if (req.options.contains(QString::fromLatin1(option)))
            return QStringLiteral("--with, --records et --marges vont avec --merge LETTRE.qvt");
    if (req.files.isEmpty())
        return QStringLiteral("aucun fichier à convertir");
    return QString();
}

// The frame a mail merge needs and nothing more: its printer, and the range and field
// values of the one database window, which the letter's window asks for as in the program.
class MergeFrame : public HeadlessFrame
{
public:
    explicit MergeFrame(QPrinter &printer) : HeadlessFrame(printer) { }

    bool Bornes(int &first, int &last) override
    {
        if (!database) {
            first = 1;
            last = 0;
            return false;
        }
        database->Bornes(first, last);
        return true;
    }
    void Contenu(int record, QString &text) override
    {
        if (database)
            database->Contenu(record, text);
    }

    TFichier *database = nullptr;
};

// While a merge runs, the windows' error boxes and message boxes become failures of the
// command line instead of dialogs nobody can answer.
class CapturedMessages
{
public:
    CapturedMessages()
    {
        errorhandler::setSink([this](const QString &m) { m_messages.append(m); });
        messageboxes::setResponder([this](const messageboxes::Shown &shown) {
            m_messages.append(shown.text);
            return messageboxes::Answer::Annuler;
        });
    }
    ~CapturedMessages()
    {
        errorhandler::setSink({});
        messageboxes::setResponder({});
    }
    CapturedMessages(const CapturedMessages &) = delete;
    CapturedMessages &operator=(const CapturedMessages &) = delete;

    // Throws the first message shown since the last check, prefixed with `file`.
    void check(const QString &file)
    {
        if (m_messages.isEmpty())
            return;
        const QString first = m_messages.first();
        m_messages.clear();
        throw VelmoraError(file + QStringLiteral(" : ") + first);
    }

private:
    QStringList m_messages;
};

// Goes into `dir` for the life of the object and comes back to where it was.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const QString &dir) : m_previous(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~CurrentDirectory() { QDir::setCurrent(m_previous); }
    CurrentDirectory(const CurrentDirectory &) = delete;
    CurrentDirectory &operator=(const CurrentDirectory &) = delete;

private:
    QString m_previous;
};

void checkInput(const QString &file, const QStringList &suffixes)
{
    const QFileInfo in(file);
    if (!suffixes.contains(in.suffix().toLower()))
        throw VelmoraError(
                QStringLiteral("%1 : un fichier %2 est attendu").arg(file, suffixes.join(QStringLiteral(" ou "))));
    if (!in.exists() || !in.isFile())
        throw VelmoraError(file + QStringLiteral(" : ") + VelmoraError::fileNotFound().message());
    if (!in.isReadable())
        throw VelmoraError(file + QStringLiteral(" : ") + VelmoraError::cannotOpen(file).message());
}

// The French words for the exception being handled: the model's own message, or what
// running out of memory or an unforeseen failure means for the file.
QString failureMessage()
{
    try {
        throw;
    } catch (const VelmoraError &e) {
        return e.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Mémoire insuffisante pour convertir ce fichier");
    } catch (const std::exception &e) {
        return QStringLiteral("échec inattendu (%1)").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return QStringLiteral("échec inattendu");
    }
}

// "N" or "FIRST-LAST" within 1..count; the whole database when `text` is empty.
void parseRecords(const QString &text, int count, const QString &database, int &first, int &last)
{
    if (count < 1)
        throw VelmoraError(QStringLiteral("%1 : la base de données ne contient aucune fiche").arg(database));
    if (text.isEmpty()) {
        first = 1;
        last = count;
        return;
    }
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,5})\\s*(?:-\\s*(\\d{1,5})\\s*)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (m.hasMatch()) {
        first = m.captured(1).toInt();
        last = m.hasCaptured(2) ? m.captured(2).toInt() : first;
        if (first >= 1 && first <= last && last <= count)
            return;
    }
    throw VelmoraError(QStringLiteral("plage de fiches incorrecte : « %1 » (attendu : PREMIÈRE-DERNIÈRE, "
                                      "entre 1 et %2)")
                               .arg(text)
                               .arg(count));
}

// "N" (the four margins) or "GAUCHE,HAUT,DROITE,BAS", in millimetres.
pagegeometry::Margins parseMargins(const QString &text)
{
    const QStringList parts = text.split(u',');
    QList<int> mm;
    for (const QString &part : parts) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 1000)
            break;
        mm.append(v);
    }
    if (mm.size() == parts.size() && mm.size() == 1)
        return {mm[0], mm[0], mm[0], mm[0]};
    if (mm.size() == parts.size() && mm.size() == 4)
        return {mm[0], mm[1], mm[2], mm[3]};
    throw VelmoraError(QStringLiteral("marges incorrectes : « %1 » (attendu : MM ou GAUCHE,HAUT,DROITE,BAS en "
                                      "millimètres)")
                               .arg(text));
}

// Prints the letter once per record of the database into one PDF: the database window
// selects the records and answers Bornes and Contenu, the text window runs its own mail
// merge (Publipostage) on a printer that writes a PDF.
QString runMerge(const Request &req)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw VelmoraError(QStringLiteral("le publipostage a besoin de l'interface graphique (QApplication)"));
    const QString letter = req.options.value(QStringLiteral("merge"));
    const QString cards = req.options.value(QStringLiteral("with"));
    const bool withMargins = req.options.contains(QStringLiteral("marges"));
    const pagegeometry::Margins margins =
            withMargins ? parseMargins(req.options.value(QStringLiteral("marges"))) : pagegeometry::Margins{};
    checkInput(letter, {QStringLiteral("qvt"), QStringLiteral("rtf")});
    checkInput(cards, {QStringLiteral("qvb")});
    const QString letterPath = QFileInfo(letter).absoluteFilePath();
    const QString cardsPath = QFileInfo(cards).absoluteFilePath();
    const QDir outDir(req.outdir.isEmpty() ? QDir::currentPath() : req.outdir);
    const QString output = outDir.absoluteFilePath(QFileInfo(letter).completeBaseName() + QStringLiteral(".pdf"));

    // The printer writes its file itself: print beside, then put the bytes in place. The
    // template "Mail.tmp" the merge leaves goes there too, not into the caller's folder.
    QTemporaryDir work;
    if (!work.isValid())
        throw VelmoraError::cannotOpen(output);
    const QString pdf = work.filePath(QStringLiteral("fusion.pdf"));
    std::unique_ptr<QPrinter> printer = printing::createPrinter();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);

    CapturedMessages messages;
    MergeFrame frame(*printer);
    DatabaseModule databases(nullptr);
    TextModule texts(nullptr);
    std::unique_ptr<DocumentWindow> dbWindow(databases.createWindow(frame));
    auto *database = dynamic_cast<TFichier *>(dbWindow.get());
    std::unique_ptr<DocumentWindow> textWindow(texts.createWindow(frame));
    auto *text = dynamic_cast<TexteCommands *>(textWindow.get());
    if (!database || !text)
        throw VelmoraError(QStringLiteral("publipostage impossible : module absent"));

    database->Charge(cardsPath);
    messages.check(cards);
    int first = 0;
    int last = 0;
    parseRecords(req.options.value(QStringLiteral("records")).trimmed(), database->table().NbFiches, cards, first,
                 last);
    database->selectRecords(first, last);
    frame.database = database;

    text->Charge(letterPath);
    messages.check(letter);
    // As "Mise en page..." would set them; without, the letter fills the page as in a new window.
    if (auto *window = dynamic_cast<TTexte *>(textWindow.get()); window && withMargins) {
        const QRect rect =
                pagegeometry::pageRectangle(printer->width(), printer->height(), window->Mh(1), window->Mv(1), margins);
        if (rect.width() <= 0 || rect.height() <= 0)
            throw VelmoraError(QStringLiteral("Les marges ne laissent aucune place sur la page"));
        window->MarginLeft = margins.left;
        window->MarginTop = margins.top;
        window->MarginRight = margins.right;
        window->MarginBottom = margins.bottom;
        window->setPageRect(rect);
    }
    {
        CurrentDirectory inWork(work.path());
        text->Publipostage();
    }
    messages.check(letter);

    QFile printed(pdf);
    if (!printed.open(QIODevice::ReadOnly))
        throw VelmoraError(QStringLiteral("%1 : rien n'a été imprimé").arg(letter));
    atomicsave::write(output, printed.readAll());
    return output;
}

} // namespace

int run(const QStringList &args, const ConverterRegistry &registry, QTextStream &out, QTextStream &err)
{
    if (spellreport::requested(optionsPart(args)))
        return spellreport::run(args, out, err);
    Request req;
    const QString problem = parse(args, registry, req);
    if (!problem.isEmpty()) {
        err << "velmora : " << printableName(problem) << "\n"
            << "usage : velmora --headless --convert-to FORMAT [--outdir DOSSIER] [--] FICHIER...\n"
            << "        velmora --headless --merge LETTRE.qvt --with CARNET.qvb [--records PREMIÈRE-DERNIÈRE]"
               " [--marges MM|G,H,D,B] --convert-to pdf [--outdir DOSSIER]\n";
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
        err << "velmora : ne peut créer le dossier " << printableName(req.outdir) << "\n";
        err.flush();
        return ConversionFailed;
    }

    if (req.options.contains(QStringLiteral("merge"))) {
        int status = Ok;
        try {
            const QString written = runMerge(req);
            out << printableName(req.options.value(QStringLiteral("merge"))) << " -> "
                << printableName(QDir::cleanPath(written)) << "\n";
        } catch (...) {
            err << "velmora : " << printableName(failureMessage()) << "\n";
            status = ConversionFailed;
        }
        out.flush();
        err.flush();
        return status;
    }

    int status = Ok;
    for (const QString &file : req.files) {
        const QFileInfo in(file);
        const Converter *conv = registry.find(req.format, in.suffix());
        const QString shown = printableName(file);
        if (!conv) {
            err << "velmora : " << shown << " : conversion en " << req.format << " impossible pour ce type de fichier ("
                << registry.suffixesFor(req.format).join(QStringLiteral(", ")) << ")\n";
            status = ConversionFailed;
            continue;
        }
        if (!in.exists() || !in.isFile()) {
            err << "velmora : " << shown << " : Fichier introuvable\n";
            status = ConversionFailed;
            continue;
        }
        if (!in.isReadable()) {
            err << "velmora : " << shown << " : Ne peut ouvrir le fichier " << shown << "\n";
            status = ConversionFailed;
            continue;
        }
        const QDir dir(req.outdir.isEmpty() ? QDir::currentPath() : req.outdir);
        ConversionJob job{in.absoluteFilePath(),
                          dir.absoluteFilePath(in.completeBaseName() + u'.' + conv->outputSuffix), req.options};
        try {
            conv->run(job);
            out << printableName(in.filePath()) << " -> " << printableName(QDir::cleanPath(job.output)) << "\n";
        } catch (...) {
            err << "velmora : " << shown << " : " << printableName(failureMessage()) << "\n";
            status = ConversionFailed;
        }
        out.flush(); // a script sees each file as soon as it is written
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace headless
