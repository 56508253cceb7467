// HTML export throughput on a 10 MB document written the way the editor writes RTF (one
// paragraph per line, character runs, alignment, bullets, accented letters), against two
// floors measured in the same run: a plain copy of the bytes, and splitting the document
// into lines and joining them back with CR LF (what a converter that changes nothing costs),
// and against the window's own RTF reader on the same bytes (paragraphs and runs, no page).
//   bench_texttools_htmlexport [--write FILE.qvt] [benchmark options]
#include "text/core/htmlexport.h"
#include "text/core/rtfreader.h"

#include "common/atomicsave.h"
#include "common/textfile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

#include <cstring>

namespace {

QByteArray makeDocument(qsizetype target)
{
    static const char *const words[] = {"Madame",      "Monsieur",        "le",         "la",
                                        "courrier",    "r\\'e9union",     "pr\\'e8s",   "\\'e0",
                                        "demain",      "facture",         "num\\'e9ro", "veuillez",
                                        "agr\\'e9er",  "l'expression",    "de",         "mes",
                                        "salutations", "distingu\\'e9es", "ch\\'e8que"};
    QByteArray doc = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 "
                     "Symbol;}{\\f2\\fswiss Arial;}}\r\n{\\colortbl\\red0\\green0\\blue0;}\r\n"
                     "\\deflang1036\\pard\\plain\\f2\\fs20 Objet : relev\\'e9 de compte\r\n";
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    int paragraph = 0;
    while (doc.size() < target) {
        QByteArray line;
        switch (paragraph++ % 6) {
        case 0: line = "\\par \\pard\\qc\\plain\\f2\\fs20\\b "; break;
        case 1: line = "\\par \\pard\\qr\\plain\\f2\\fs20 "; break;
        case 2:
            line = "\\par \\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
                   "\\fi-360\\li720\\plain\\f2\\fs20 ";
            break;
        default: line = "\\par \\pard\\plain\\f2\\fs20 "; break;
        }
        const int count = 8 + int(next(40));
        for (int i = 0; i < count; ++i) {
            if (next(12) == 0)
                line += "\\plain\\f2\\fs20\\i ";
            else if (next(15) == 0)
                line += "\\plain\\f2\\fs20\\ul ";
            line += words[next(sizeof words / sizeof *words)];
            line += ' ';
        }
        line += "\\plain\\f2\\fs20 fin.\r\n";
        doc += line;
    }
    doc += "\\par }\r\n";
    return doc;
}

const QByteArray &document()
{
    static const QByteArray doc = makeDocument(10 * 1024 * 1024);
    return doc;
}

void BM_HtmlExport(benchmark::State &state)
{
    const QByteArray &doc = document();
    for (auto _ : state) {
        QByteArray page = htmlexport::convertDocument(doc);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_HtmlExport)->Unit(benchmark::kMillisecond);

void BM_RtfReaderPeer(benchmark::State &state)
{
    const QByteArray &doc = document();
    for (auto _ : state) {
        qsizetype paragraphs = 0;
        rtf::parse(doc, [&paragraphs](const rtf::Paragraph &) { ++paragraphs; });
        benchmark::DoNotOptimize(paragraphs);
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_RtfReaderPeer)->Unit(benchmark::kMillisecond);

void BM_CopyFloor(benchmark::State &state)
{
    const QByteArray &doc = document();
    for (auto _ : state) {
        QByteArray copy(doc.size(), Qt::Uninitialized);
        std::memcpy(copy.data(), doc.constData(), size_t(doc.size()));
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond);

void BM_SplitJoinFloor(benchmark::State &state)
{
    const QByteArray &doc = document();
    for (auto _ : state) {
        QByteArray out;
        out.reserve(doc.size() + 256);
        for (const QByteArray &line : textfile::splitLines(doc)) {
            out += line;
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * doc.size());
}
BENCHMARK(BM_SplitJoinFloor)->Unit(benchmark::kMillisecond);

// The whole command on disk: read the document, convert, write the page atomically,
// against reading the same file and writing it back atomically.
QString writeDocumentFile()
{
    static const QString path = [] {
        const QString p = QDir::temp().filePath(QStringLiteral("velmora-bench-htmlexport.qvt"));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(document());
        return p;
    }();
    return path;
}

void BM_ExportFile(benchmark::State &state)
{
    const QString doc = writeDocumentFile();
    const QString page = QDir::temp().filePath(QStringLiteral("velmora-bench-htmlexport.htm"));
    for (auto _ : state)
        htmlexport::exportFile(doc, page);
    state.SetBytesProcessed(state.iterations() * document().size());
    QFile::remove(page);
}
BENCHMARK(BM_ExportFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FileCopyFloor(benchmark::State &state)
{
    const QString doc = writeDocumentFile();
    const QString copy = QDir::temp().filePath(QStringLiteral("velmora-bench-copy.qvt"));
    for (auto _ : state)
        atomicsave::write(copy, textfile::readBytes(doc));
    state.SetBytesProcessed(state.iterations() * document().size());
    QFile::remove(copy);
}
BENCHMARK(BM_FileCopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
        QFile f(QString::fromLocal8Bit(argv[2]));
        if (!f.open(QIODevice::WriteOnly) || f.write(document()) != document().size())
            return 1;
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(writeDocumentFile());
    return 0;
}
