// RTF throughput on a 10 MB letter-like document in the control's own style (runs of bold,
// italic and underline, accents, bullets, centred and right-aligned paragraphs), against
// the floor of reading the same bytes and decoding them as 8-bit text.
// "bench_text_rtf --generate FILE" only writes the document (for the command-line peers).
#include "common/cp1252.h"
#include "text/core/richtext.h"
#include "text/core/rtfreader.h"
#include "text/core/rtfwriter.h"
#include "text/ui/richedit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <cstring>

namespace {

QByteArray makeDocument(qsizetype targetBytes)
{
    QTextDocument doc;
    richtext::prepare(doc);
    QTextCursor c(&doc);
    QTextCharFormat plain = richtext::defaultCharFormat();
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    QTextCharFormat under = plain;
    under.setFontUnderline(true);
    const QString words = QStringLiteral("Madame, nous avons bien reçu votre lettre du 12 février et nous vous en "
                                         "remercions. Le délai de livraison prévu était de huit jours ; ");
    int n = 0;
    qsizetype written = 0;
    while (written < targetBytes) {
        if (n > 0)
            c.insertBlock(QTextBlockFormat(), plain);
        QTextBlockFormat bf;
        bf.setAlignment(n % 17 == 0 ? Qt::AlignHCenter : n % 23 == 0 ? Qt::AlignRight : Qt::AlignLeft);
        c.setBlockFormat(bf);
        if (n % 11 == 5)
            richtext::setBullet(c, true);
        c.insertText(words, plain);
        c.insertText(QStringLiteral("très important"), bold);
        c.insertText(QStringLiteral(", à relire "), plain);
        c.insertText(QStringLiteral("attentivement"), italic);
        c.insertText(QStringLiteral(" et signé."), under);
        written += words.size() + 60 + 40;
        ++n;
    }
    return rtf::write(doc);
}

const QByteArray &document()
{
    // About 7.5 MB of text make a file of about 10 MB once the codes are added.
    static const QByteArray bytes = makeDocument(7500 * 1024);
    return bytes;
}

QString tempFile()
{
    static const QString path = [] {
        const QString p = QDir::tempPath() + QStringLiteral("/velmora-bench-text.qvt");
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(document());
        return p;
    }();
    return path;
}

void BM_ReadFloor(benchmark::State &state)
{
    const QString path = tempFile();
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read the document");
        const QString text = cp1252::decode(f.readAll());
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(state.iterations() * document().size());
}

// The parser alone: RTF to paragraphs and runs with their formats.
void BM_RtfParse(benchmark::State &state)
{
    const QByteArray &bytes = document();
    for (auto _ : state) {
        qsizetype chars = 0;
        rtf::parse(bytes, [&](const rtf::Paragraph &p) { chars += p.text.size(); });
        benchmark::DoNotOptimize(chars);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The parser filling a QTextDocument, as a file is loaded.
void BM_RtfLoad(benchmark::State &state)
{
    const QByteArray &bytes = document();
    for (auto _ : state) {
        QTextDocument doc;
        doc.setUndoRedoEnabled(false);
        rtf::read(bytes, doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_RtfWrite(benchmark::State &state)
{
    QTextDocument doc;
    rtf::read(document(), doc);
    for (auto _ : state) {
        const QByteArray out = rtf::write(doc);
        benchmark::DoNotOptimize(out.size());
    }
    state.SetBytesProcessed(state.iterations() * document().size());
}

// Notes when the control's first page has been painted (the paint and its flush done).
class FirstPaint : public QObject
{
public:
    FirstPaint(RichEdit &edit, const QElapsedTimer &clock) : m_edit(edit), m_clock(clock)
    {
        edit.viewport()->installEventFilter(this);
    }
    double seconds = -1;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && seconds < 0 && !m_scheduled && m_edit.document()->characterCount() > 1) {
            m_scheduled = true;
            QTimer::singleShot(0, this, [this] { seconds = m_clock.nsecsElapsed() / 1e9; });
        }
        return false;
    }

private:
    RichEdit &m_edit;
    const QElapsedTimer &m_clock;
    bool m_scheduled = false;
};

// From the file on disk to the first screenful painted in the window's control, while the
// rest of the document is still being read (wall time); "whole_ms": until the whole
// document is in place.
void BM_OpenToFirstPage(benchmark::State &state)
{
    const QString path = tempFile();
    double whole = 0;
    for (auto _ : state) {
        RichEdit edit;
        edit.resize(800, 600);
        edit.show();
        QElapsedTimer clock;
        FirstPaint first(edit, clock);
        clock.start();
        edit.loadShowingFirstPage(path);
        const double done = clock.nsecsElapsed() / 1e9;
        QCoreApplication::processEvents(); // a document read at once is painted only now
        state.SetIterationTime(first.seconds >= 0 ? first.seconds : clock.nsecsElapsed() / 1e9);
        whole += done;
    }
    state.counters["whole_ms"] = benchmark::Counter(whole * 1000, benchmark::Counter::kAvgIterations);
}

// The same file loaded the way it was before the first page was shown early: the whole
// document built, then the first screen painted.
void BM_OpenWholeThenPaint(benchmark::State &state)
{
    const QString path = tempFile();
    for (auto _ : state) {
        RichEdit edit;
        edit.resize(800, 600);
        edit.show();
        edit.loadFromFile(path);
        const QPixmap first = edit.viewport()->grab();
        benchmark::DoNotOptimize(first.width());
    }
}

// The caret's line and column ("Ligne: ... Col: ...") at the end of the 10 MB document, as
// after every key typed there: the work the window does on each selection change.
void BM_CaretPositionAtEnd(benchmark::State &state)
{
    RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    edit.loadFromFile(tempFile());
    edit.viewport()->grab();
    const int end = edit.textLength();
    edit.setSelection(end, 0);
    for (auto _ : state) {
        const int line = edit.lineFromChar(edit.selStart());
        const int first = richtext::positionOfDisplayedLine(*edit.document(), line);
        benchmark::DoNotOptimize(end - first);
    }
}

} // namespace

BENCHMARK(BM_ReadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPage)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_OpenWholeThenPaint)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CaretPositionAtEnd)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
        QFile f(QString::fromLocal8Bit(argv[2]));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(document());
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(tempFile());
    return 0;
}
