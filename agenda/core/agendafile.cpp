#include "agenda/core/agendafile.h"

#include "agenda/core/agendalist.h"
#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/filename.h"
#include "common/textfile.h"
#include "common/velmoraerror.h"

#include <QFile>

namespace agendafile {

QStringList parse(const QByteArray &raw)
{
    qsizetype end = raw.size();
    const qsizetype nul = raw.indexOf('\0');
    if (nul >= 0)
        end = nul;
    const qsizetype ctrlZ = raw.indexOf(textfile::kCtrlZ);
    if (ctrlZ >= 0 && ctrlZ < end)
        end = ctrlZ;
    // One decoding pass over the whole text, then the lines cut out of it.
    const QString text = cp1252::decode(QByteArray::fromRawData(raw.constData(), end));
    QStringList out;
    out.reserve(end / 48);
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        out.append(text.mid(start));
    return out;
}

QStringList read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw VelmoraError::readError();
    return parse(bytes);
}

QByteArray serialise(const AgendaList &list, bool *lossless)
{
    QByteArray out;
    bool all = true;
    list.forEach([&](const QString &line) {
        bool ok = true;
        QByteArray bytes = cp1252::encode(line, '?', &ok);
        // A character that would end the line or the file on reading is no more kept than
        // one the code page lacks: it becomes "?" too.
        for (char &b : bytes) {
            if (b == '\r' || b == '\n' || b == '\0' || b == textfile::kCtrlZ) {
                b = '?';
                ok = false;
            }
        }
        out += bytes;
        out += "\r\n";
        all = all && ok;
    });
    if (lossless)
        *lossless = all;
    return out;
}

void write(const QString &path, const QByteArray &bytes)
{
    try {
        atomicsave::write(path, bytes);
    } catch (const VelmoraError &e) {
        // The file could not be created at all: say so in the run-time's words.
        if (e.message() == VelmoraError::cannotOpen(path).message())
            throw VelmoraError(QStringLiteral("Ne peut créer le fichier %1").arg(path));
        throw;
    }
}

QString saveName(const QString &path) { return filename::withExtension(path, u".qva"); }

} // namespace agendafile
