// Running LibreOffice from a test: a private profile per run so parallel runs never share
// one, a time limit, and a reader for the CSV it writes.
#pragma once

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace lotest {

inline QString sofficePath() { return QStandardPaths::findExecutable(QStringLiteral("soffice")); }

// Runs "soffice --headless ARGS" with its profile under workDir. Returns an empty string on
// success, else what went wrong (for the test's failure message).
inline QString runSoffice(const QString &workDir, const QStringList &args, int timeoutMs = 60000)
{
    const QString profile = QDir(workDir).filePath(QStringLiteral("lo-profile"));
    QStringList all{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--norestore")};
    all += args;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(sofficePath(), all);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return QStringLiteral("soffice did not finish in time");
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(p.readAll());
    return QString();
}

// RFC 4180 fields separated by sep; quotes may hold separators, doubled quotes, line breaks.
inline QList<QStringList> parseCsv(const QString &text, QChar sep)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            inQuotes = true;
        } else if (c == sep) {
            row << field;
            field.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row << field;
            field.clear();
            rows << row;
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

} // namespace lotest
