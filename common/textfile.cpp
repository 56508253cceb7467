#include "common/textfile.h"

#include "common/cp1252.h"
#include "common/velmoraerror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace textfile {

QByteArray cutAtCtrlZ(const QByteArray &bytes)
{
    const qsizetype z = bytes.indexOf(kCtrlZ);
    return z < 0 ? bytes : bytes.left(z);
}

bool tryReadBytes(const QString &path, QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = cutAtCtrlZ(f.readAll());
    return true;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!QFileInfo::exists(path))
        throw VelmoraError::fileNotFound();
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(path);
    return cutAtCtrlZ(f.readAll());
}

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append(bytes.mid(start, i - start));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

QStringList readLines(const QString &path)
{
    QStringList out;
    for (const QByteArray &line : splitLines(readBytes(path)))
        out.append(cp1252::decode(line));
    return out;
}

QStringList readTextLines(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    const Encoding encoding = detect(bytes);
    if (encoding == Encoding::Windows1252)
        return readLines(path);
    QStringList out;
    for (const QByteArray &line : splitLines(bytes))
        out.append(decode(line, Encoding::Utf8));
    if (encoding == Encoding::Utf8WithBom && !out.isEmpty() && out.first().startsWith(QChar(0xFEFF)))
        out.first().remove(0, 1);
    return out;
}

QByteArray joinCrLf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += cp1252::encode(line);
        out += "\r\n";
    }
    return out;
}

namespace {
constexpr char kBom[] = "\xEF\xBB\xBF";
}

Encoding detect(const QByteArray &bytes)
{
    if (bytes.startsWith(kBom))
        return Encoding::Utf8WithBom;
    bool ascii = true;
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return Encoding::Windows1252;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? Encoding::Windows1252 : Encoding::Utf8;
}

QString decode(const QByteArray &bytes, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Windows1252: return cp1252::decode(bytes);
    case Encoding::Utf8: return QString::fromUtf8(bytes);
    case Encoding::Utf8WithBom: return QString::fromUtf8(bytes.startsWith(kBom) ? bytes.mid(3) : bytes);
    }
    return {};
}

QByteArray encode(const QString &text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Windows1252: return cp1252::encode(text);
    case Encoding::Utf8: return text.toUtf8();
    case Encoding::Utf8WithBom: return QByteArray(kBom) + text.toUtf8();
    }
    return {};
}

} // namespace textfile
