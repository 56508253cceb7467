// Spelling costs. A key press in a 10 MB document, with and without the red underline
// attached, and the longest slice of checking that follows it in the event loop (the
// longest the program can be deaf to the next key). The command-line check of a 1 MB
// French text with a cold cache. The texts are made of words of the French dictionary
// drawn with a skewed frequency, with a slip (one edit) every 400 words.
// "bench_text_spelling --generate FILE BYTES" only writes such a text (for hyperfine).
#include "text/core/spellchecker.h"
#include "text/core/spellreport.h"
#include "text/ui/richedit.h"
#include "text/ui/spellunderline.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextCursor>

#include <cmath>
#include <cstring>
#include <random>

namespace {

QStringList vocabulary()
{
    static QStringList words;
    if (!words.isEmpty())
        return words;
    const QStringList files = SpellChecker::frenchDictionaryFiles();
    QFile f(files.value(1));
    if (!f.open(QIODevice::ReadOnly))
        return words;
    int n = 0;
    while (!f.atEnd()) {
        QString w =
                QString::fromUtf8(f.readLine()).section(u'/', 0, 0).section(u'\t', 0, 0).section(u' ', 0, 0).trimmed();
        if (w.size() < 2 || w.size() > 14 || !w.front().isLower() || w.contains(u'.'))
            continue;
        if (++n % 4 == 0) // about 20 000 words
            words.append(w);
    }
    return words;
}

QString makeText(qsizetype targetChars)
{
    const QStringList words = vocabulary();
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    QStringList typos;
    // The usual slips, one edit each: a missing accent, a doubled, missing or swapped letter.
    for (int i = 0; i < 40; ++i) {
        QString w = words[(i * 487) % words.size()];
        const int m = int(w.size() / 2);
        const qsizetype accent = w.indexOf(QRegularExpression(QStringLiteral("[éèêàç]")));
        if (i % 4 == 0 && accent >= 0)
            w[accent] = w[accent].decomposition().front();
        else if (i % 4 == 1)
            w.insert(m, w[m]);
        else if (i % 4 == 2)
            w.remove(m, 1);
        else
            std::swap(w[m - 1], w[m]);
        typos.append(w);
    }
    QString text;
    text.reserve(targetChars + 200);
    int count = 0;
    while (text.size() < targetChars) {
        for (int sentence = 0; sentence < 5; ++sentence) {
            const int len = 6 + int(u(rng) * 10);
            for (int i = 0; i < len; ++i) {
                QString w = ++count % 400 == 0 ? typos[(count / 400) % typos.size()]
                                               : words[int(std::pow(u(rng), 3.0) * words.size())];
                if (i == 0)
                    w[0] = w[0].toUpper();
                text += w;
                text += i + 1 == len ? QStringLiteral(". ") : QStringLiteral(" ");
            }
        }
        text += u'\n';
    }
    return text;
}

SpellChecker *french()
{
    SpellChecker *c = SpellChecker::french();
    return c;
}

// Types one character and reports how long the key press itself took and the longest
// single turn of the event loop until the underline is up to date.
struct KeyTiming
{
    double keyMs;
    double longestTurnMs;
};
KeyTiming typeOne(RichEdit &edit, SpellUnderline *spell, QChar c)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&edit, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(&edit, &release);
    const double keyMs = t.nsecsElapsed() / 1e6;
    double longest = 0;
    do {
        t.restart();
        QCoreApplication::processEvents();
        longest = std::max(longest, t.nsecsElapsed() / 1e6);
    } while (spell && spell->isBusy());
    return {keyMs, longest};
}

void typing(benchmark::State &state, bool withSpelling)
{
    if (!french()) {
        state.SkipWithError("French dictionary not installed");
        return;
    }
    static const QString tenMegabytes = makeText(10'000'000);
    RichEdit edit;
    edit.resize(800, 600);
    edit.setPlainText(tenMegabytes);
    SpellUnderline *spell = withSpelling ? new SpellUnderline(&edit) : nullptr;
    edit.show();
    edit.setFocus();
    // In the middle of the document, as when editing a long text.
    QTextCursor c(edit.document());
    c.setPosition(int(tenMegabytes.size() / 2));
    c.movePosition(QTextCursor::StartOfBlock);
    edit.setTextCursor(c);
    edit.ensureCursorVisible();
    QElapsedTimer first;
    first.start();
    if (spell)
        spell->refreshNow();
    const double firstScreenMs = first.nsecsElapsed() / 1e6;
    const QString typed = QStringLiteral("la maisson est belle ");
    double maxKey = 0, maxTurn = 0, sumKey = 0;
    int n = 0;
    for (auto _ : state) {
        const KeyTiming k = typeOne(edit, spell, typed[n % typed.size()]);
        state.SetIterationTime((k.keyMs) / 1e3);
        maxKey = std::max(maxKey, k.keyMs);
        maxTurn = std::max(maxTurn, k.longestTurnMs);
        sumKey += k.keyMs;
        ++n;
    }
    state.counters["key_mean_ms"] = sumKey / std::max(n, 1);
    state.counters["key_max_ms"] = maxKey;
    state.counters["longest_turn_ms"] = maxTurn;
    state.counters["first_screen_ms"] = firstScreenMs;
    state.counters["underlined"] = spell ? spell->underlined().size() : 0;
    state.counters["longest_slice_ms"] = spell ? spell->longestSliceMs() : 0;
    state.counters["longest_slice_cpu_ms"] = spell ? spell->longestSliceCpuMs() : 0;
}

void BM_KeyPress10MB_WithSpelling(benchmark::State &state) { typing(state, true); }
void BM_KeyPress10MB_WithoutSpelling(benchmark::State &state) { typing(state, false); }
BENCHMARK(BM_KeyPress10MB_WithoutSpelling)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_KeyPress10MB_WithSpelling)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// The 1 MB text split in lines; empty (and the benchmark skipped) without the dictionary.
QStringList oneMegabyte(benchmark::State &state)
{
    if (SpellChecker::frenchDictionaryFiles().isEmpty()) {
        state.SkipWithError("French dictionary not installed");
        return {};
    }
    return makeText(1'000'000).split(u'\n');
}

// The command line's work on 1 MB: split, look up (cold cache: a new checker each time,
// its loading not counted) and suggest once per distinct unknown word.
void BM_CheckOneMegabyte(benchmark::State &state)
{
    const QStringList files = SpellChecker::frenchDictionaryFiles();
    const QStringList lines = oneMegabyte(state);
    if (lines.isEmpty())
        return;
    qsizetype findings = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SpellChecker checker(files[0], files[1], QString());
        state.ResumeTiming();
        findings = spellreport::check(lines, checker).size();
    }
    state.counters["unknown"] = double(findings);
}
BENCHMARK(BM_CheckOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same without suggestions: the lookups alone.
void BM_LookUpOneMegabyte(benchmark::State &state)
{
    const QStringList files = SpellChecker::frenchDictionaryFiles();
    const QStringList lines = oneMegabyte(state);
    if (lines.isEmpty())
        return;
    qsizetype unknown = 0, words = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SpellChecker checker(files[0], files[1], QString());
        state.ResumeTiming();
        unknown = 0;
        for (const QString &l : lines)
            unknown += checker.unknownWords(l).size();
    }
    for (const QString &l : lines)
        words += spelling::splitWords(l).size();
    state.counters["unknown"] = double(unknown);
    state.counters["words"] = double(words);
}
BENCHMARK(BM_LookUpOneMegabyte)->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor: splitting the same text into words, no dictionary.
void BM_SplitOneMegabyte(benchmark::State &state)
{
    const QStringList lines = oneMegabyte(state);
    if (lines.isEmpty())
        return;
    for (auto _ : state) {
        qsizetype n = 0;
        for (const QString &l : lines)
            n += spelling::splitWords(l).size();
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_SplitOneMegabyte)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--generate") == 0) {
        QCoreApplication app(argc, argv);
        QFile out(QString::fromLocal8Bit(argv[2]));
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write(makeText(QByteArray(argv[3]).toLongLong()).toUtf8());
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
