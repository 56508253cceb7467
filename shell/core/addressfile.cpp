#include "shell/core/addressfile.h"

#include "common/atomicsave.h"
#include "common/cp1252.h"
#include "common/textfile.h"

namespace addressfile {

void parse(const QByteArray &bytes, QStringList &address)
{
    while (address.size() < kLines)
        address.append(QString());
    const QList<QByteArray> lines = textfile::splitLines(textfile::cutAtCtrlZ(bytes));
    for (int i = 0; i < kLines && i < lines.size(); ++i)
        address[i] = cp1252::decode(lines[i]);
}

bool read(const QString &path, QStringList &address)
{
    while (address.size() < kLines)
        address.append(QString());
    QByteArray bytes;
    if (!textfile::tryReadBytes(path, bytes))
        return false;
    parse(bytes, address);
    return true;
}

bool write(const QString &path, const QStringList &address)
{
    QStringList four = address.mid(0, kLines);
    while (four.size() < kLines)
        four.append(QString());
    return atomicsave::tryWrite(path, textfile::joinCrLf(four));
}

} // namespace addressfile
