// Fuzzes the RTF reader: any bytes load without a crash or a hang, and what was read
// survives a trip through the writer (same text, and the writer is stable on its output).
#include "text/core/rtfreader.h"
#include "text/core/rtfwriter.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

namespace {

QStringList paragraphs(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out.append(b.text());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    rtf::read(bytes, doc);
    const QByteArray written = rtf::write(doc);
    QTextDocument again;
    rtf::read(written, again);
    if (paragraphs(again) != paragraphs(doc))
        std::abort();
    if (rtf::write(again) != written)
        std::abort();
    QTextDocument plain;
    rtf::load(bytes, plain); // the non-RTF path as well
    return 0;
}
