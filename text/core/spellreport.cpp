#include "text/core/spellreport.h"

#include "common/cp1252.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"
#include "text/core/rtfreader.h"
#include "text/core/spellchecker.h"

#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace spellreport {

namespace {

const QString kOption = QStringLiteral("--check-spelling");

QString decodeText(const QByteArray &bytes)
{
    // Files written by the program are Windows-1252; a text in UTF-8 is read as such.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString asUtf8 = utf8(bytes);
    if (!utf8.hasError())
        return asUtf8;
    return cp1252::decode(bytes);
}

} // namespace

bool requested(const QStringList &args) { return args.contains(kOption); }

QStringList documentLines(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw VelmoraError::fileNotFound();
    const QString suffix = info.suffix().toLower();
    if (suffix != u"qvt" && suffix != u"rtf" && suffix != u"txt")
        throw VelmoraError(QStringLiteral("un fichier .qvt, .rtf ou .txt est attendu"));
    const QByteArray bytes = textfile::readBytes(path);
    QStringList lines;
    if (suffix != u"txt" && rtf::isRtf(bytes)) {
        rtf::parse(bytes,
                   [&lines](const rtf::Paragraph &p) { lines.append(QString(p.text).split(QChar::LineSeparator)); });
        return lines;
    }
    const QString text = decodeText(textfile::cutAtCtrlZ(bytes));
    lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n').split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QList<Finding> check(const QStringList &lines, SpellChecker &checker, const spelling::SplitOptions &options)
{
    QList<Finding> findings;
    QHash<QString, QStringList> suggestions;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (const spelling::Word &w : checker.unknownWords(lines[i], options)) {
            auto it = suggestions.find(w.text);
            if (it == suggestions.end())
                it = suggestions.insert(w.text, checker.suggestions(w.text, SpellChecker::Search::Quick));
            findings.append({int(i + 1), w.start + 1, w.text, *it});
        }
    }
    return findings;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err, SpellChecker *checker)
{
    QStringList files;
    spelling::SplitOptions options;
    for (const QString &a : args) {
        if (a == u"--headless" || a == kOption)
            continue;
        if (a == u"--majuscules") {
            options.skipCapitals = false;
            continue;
        }
        if (a.startsWith(u"--")) {
            err << "velmora : option inconnue avec " << kOption << " : " << a << "\n"
                << "usage : velmora --headless --check-spelling [--majuscules] FICHIER...\n";
            err.flush();
            return 2;
        }
        files.append(a);
    }
    if (files.isEmpty()) {
        err << "velmora : aucun fichier à vérifier\n"
            << "usage : velmora --headless --check-spelling [--majuscules] FICHIER...\n";
        err.flush();
        return 2;
    }
    if (!checker)
        checker = SpellChecker::french();
    if (!checker) {
        err << "velmora : Dictionnaire français absent (paquet hunspell-fr)\n";
        err.flush();
        return 1;
    }
    int status = 0;
    for (const QString &file : files) {
        QStringList lines;
        try {
            lines = documentLines(file);
        } catch (const VelmoraError &e) {
            err << "velmora : " << file << " : " << e.message() << "\n";
            status = 1;
            continue;
        }
        for (const Finding &f : check(lines, *checker, options))
            out << file << ':' << f.line << ':' << f.column << ": " << f.word << " -> "
                << f.suggestions.join(QStringLiteral(", ")) << "\n";
        out.flush();
    }
    out.flush();
    err.flush();
    return status;
}

} // namespace spellreport
