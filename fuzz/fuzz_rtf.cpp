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
    // The documents are kept from one input to the next (each read replaces the content;
    // no undo history grows): making three documents per input cost more than most reads.
    static QTextDocument doc;
    static QTextDocument again;
    doc.setUndoRedoEnabled(false);
    again.setUndoRedoEnabled(false);
    rtf::read(bytes, doc);
    const QByteArray written = rtf::write(doc);
    rtf::read(written, again);
    if (paragraphs(again) != paragraphs(doc))
        std::abort();
    if (rtf::write(again) != written)
        std::abort();
    if (!rtf::isRtf(bytes)) { // the plain-text path of loading (RTF bytes were read above)
        QTextDocument plain;
        rtf::load(bytes, plain);
    }
    return 0;
}
