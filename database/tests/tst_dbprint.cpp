// What the database prints and converts: the list and envelope prints read back from the
// PDF (positions with pdftotext -bbox), and the headless conversions.
#include "common/converterregistry.h"
#include "common/ui/fonts.h"
#include "common/velmoraerror.h"
#include "database/core/qvbformat.h"
#include "database/ui/databasemodule.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"
#include "database/ui/tfenv.h"
#include "database/ui/tfichier.h"
#include "dbtesthelpers.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct PdfWord
{
    int page = 0;
    double x = 0;
    double y = 0;
    QString text;
};

// The words of a PDF with their page (1-based) and top-left corner in points.
QList<PdfWord> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"[\\d.]+\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (const QString &line : out.split(u'\n')) {
        if (line.contains(QStringLiteral("<page ")))
            ++page;
        const auto m = word.match(line);
        if (m.hasMatch())
            words.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
    }
    return words;
}

QList<PdfWord> find(const QList<PdfWord> &words, const QString &text)
{
    QList<PdfWord> out;
    for (const PdfWord &w : words)
        if (w.text == text)
            out.append(w);
    return out;
}

int pageCount(const QList<PdfWord> &words)
{
    int n = 0;
    for (const PdfWord &w : words)
        n = std::max(n, w.page);
    return n;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

const QByteArray kWidths = QByteArray("0A0").repeated(32) + "\r\n";

// Field 1 200 pixels wide, the others 160.
QByteArray carnet(int records)
{
    QByteArray b = "0C8" + QByteArray("0A0").repeated(31) + "\r\n000001Nom\r\n000002Ville\r\n000003Code\r\n";
    for (int r = 1; r <= records; ++r) {
        const QByteArray row = QByteArray::number(r, 16).toUpper().rightJustified(4, '0');
        b += row + "01Nom" + QByteArray::number(r) + "\r\n" + row + "02Ville" + QByteArray::number(r) + "\r\n" + row
                + "03C" + QByteArray::number(r) + "\r\n";
    }
    return b;
}

} // namespace

class TestDbPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void listPrintOneRecordPerLine();
    void listPrintNamesOnEveryPage();
    void envelopesOnePagePerRecord();
    void envelopesCancelledOrWithoutRecipient();
    void convertToCsv();
    void convertToPdf();
    void convertQvbReSaves();
    void convertCsvToQvb();
    void conversionErrors();

private:
    TFichier *openWindow(const QByteArray &bytes);

    QTemporaryDir m_dir;
    QString m_pdf;
    std::unique_ptr<DatabaseModule> m_module;
    std::unique_ptr<TestFrame> m_frame;
    std::unique_ptr<TFichier> m_w;
    MessageLog m_log;
    ConverterRegistry m_registry;
};

void TestDbPrint::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is needed to read the prints back");
    fonts::installSubstitutions();
    DatabaseModule::registerConverters(m_registry);
}

void TestDbPrint::init()
{
    m_pdf = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentTestFunction()));
    qputenv("VELMORA_PRINT_PDF", m_pdf.toLocal8Bit());
    m_module = std::make_unique<DatabaseModule>(nullptr);
    m_frame = std::make_unique<TestFrame>();
    m_log = MessageLog();
    m_log.install();
}

void TestDbPrint::cleanup()
{
    m_w.reset();
    m_module.reset();
    messageboxes::setResponder({});
    errorhandler::setSink({});
    qunsetenv("VELMORA_PRINT_PDF");
}

TFichier *TestDbPrint::openWindow(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("carnet.qvb"));
    writeFile(path, bytes);
    m_w.reset(static_cast<TFichier *>(m_module->createWindow(*m_frame)));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(12);
    m_w->setFont(f);
    m_w->show();
    m_w->Charge(path);
    return m_w.get();
}

void TestDbPrint::listPrintOneRecordPerLine()
{
    openWindow(carnet(3))->Imprime(nullptr);
    QVERIFY(m_log.errors.isEmpty());
    const QList<PdfWord> words = pdfWords(m_pdf);
    QCOMPARE(pageCount(words), 1);
    const PdfWord nom = find(words, QStringLiteral("Nom")).value(0);
    const PdfWord ville = find(words, QStringLiteral("Ville")).value(0);
    const PdfWord code = find(words, QStringLiteral("Code")).value(0);
    // The names line stands at Mv(15) = 20 mm below the top of the printable area.
    QPrinter &printer = m_frame->printer();
    const double top = printer.pageRect(QPrinter::Point).top();
    const double left = printer.pageRect(QPrinter::Point).left();
    QVERIFY2(qAbs(nom.y - (top + 20 * printing::pixelsPerMmY(printer) * 72.0 / printer.resolution())) < 2.0,
             qPrintable(QString::number(nom.y)));
    QVERIFY(qAbs(nom.x - left) < 1.0);
    // Fields side by side at the grid's widths (200, 160) times one whole-number ratio.
    const double unit = 72.0 / printer.resolution();
    const double ratio1 = (ville.x - nom.x) / (200 * unit);
    const double ratio2 = (code.x - ville.x) / (160 * unit);
    QVERIFY2(qAbs(ratio1 - qRound(ratio1)) < 0.02 && qRound(ratio1) == qRound(ratio2) && qRound(ratio1) >= 10,
             qPrintable(QStringLiteral("%1 %2").arg(ratio1).arg(ratio2)));
    // One record per line, lines one text height apart.
    double previous = nom.y;
    double step = 0;
    for (int r = 1; r <= 3; ++r) {
        const PdfWord a = find(words, QStringLiteral("Nom%1").arg(r)).value(0);
        const PdfWord b = find(words, QStringLiteral("Ville%1").arg(r)).value(0);
        const PdfWord c = find(words, QStringLiteral("C%1").arg(r)).value(0);
        QCOMPARE(a.y, b.y);
        QCOMPARE(a.y, c.y);
        QCOMPARE(b.x, ville.x);
        if (r > 1)
            QVERIFY(qAbs((a.y - previous) - step) < 0.1);
        step = a.y - previous;
        previous = a.y;
    }
    QVERIFY2(step > 8 && step < 14, qPrintable(QString::number(step)));
}

void TestDbPrint::listPrintNamesOnEveryPage()
{
    openWindow(carnet(150))->Imprime(nullptr);
    const QList<PdfWord> words = pdfWords(m_pdf);
    const int pages = pageCount(words);
    QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    const QList<PdfWord> names = find(words, QStringLiteral("Ville"));
    QCOMPARE(names.size(), pages);
    for (const PdfWord &n : names)
        QCOMPARE(n.y, names.first().y);
    // Every record printed once, in order.
    int last = 0;
    int lastPage = 1;
    for (int r = 1; r <= 150; ++r) {
        const QList<PdfWord> w = find(words, QStringLiteral("Nom%1").arg(r));
        QCOMPARE(w.size(), 1);
        QVERIFY(w.first().page >= lastPage);
        if (w.first().page == lastPage)
            QVERIFY(w.first().y > last);
        last = int(w.first().y);
        lastPage = w.first().page;
    }
    // Pages are filled down to the bottom margin.
    QVERIFY(find(words, QStringLiteral("Nom50")).first().page == 1);
}

void TestDbPrint::envelopesOnePagePerRecord()
{
    TFichier *w = openWindow(carnet(4));
    QStringList listed;
    w->setDialogHook([&](QDialog &d) -> int {
        auto *env = qobject_cast<TFenv *>(&d);
        for (int i = 0; i < env->ListBox1->count(); ++i)
            listed.append(env->ListBox1->item(i)->text());
        env->Edit[0]->setText(QStringLiteral("M. [Nom]"));
        env->Edit[1]->setText(QStringLiteral("[Ville] [Code]"));
        env->Edit[4]->setText(QStringLiteral("Expéditeur"));
        env->Edit[7]->setText(QStringLiteral("Bas"));
        env->Button2->click();
        return d.result();
    });
    w->listGrid()->selectionModel()->select(
            QItemSelection(w->listModel()->cellIndex(1, 2), w->listModel()->cellIndex(1, 4)),
            QItemSelectionModel::ClearAndSelect);
    w->ImpEnv();
    QCOMPARE(listed, (QStringList{"Nom", "Ville", "Code"}));
    const QList<PdfWord> words = pdfWords(m_pdf);
    QCOMPARE(pageCount(words), 3);
    QPrinter &printer = m_frame->printer();
    const QRectF page = printer.pageRect(QPrinter::Point);
    const double unit = 72.0 / printer.resolution();
    const double mh5 = page.left() + printing::pixelsPerMmX(printer) * 15 * unit;
    const double mh110 = page.left() + printing::pixelsPerMmX(printer) * 120 * unit;
    const double mv5 = page.top() + printing::pixelsPerMmY(printer) * 10 * unit;
    const double mv20 = page.top() + printing::pixelsPerMmY(printer) * 25 * unit;
    const double mv50 = page.top() + printing::pixelsPerMmY(printer) * 55 * unit;
    const double mv55 = page.top() + printing::pixelsPerMmY(printer) * 60 * unit;
    for (int p = 1; p <= 3; ++p) {
        const int record = p + 1;
        QList<PdfWord> onPage;
        for (const PdfWord &x : words)
            if (x.page == p)
                onPage.append(x);
        const PdfWord sender = find(onPage, QStringLiteral("Expéditeur")).value(0);
        const PdfWord bottom = find(onPage, QStringLiteral("Bas")).value(0);
        const PdfWord m = find(onPage, QStringLiteral("M.")).value(0);
        const PdfWord name = find(onPage, QStringLiteral("Nom%1").arg(record)).value(0);
        const PdfWord city = find(onPage, QStringLiteral("Ville%1").arg(record)).value(0);
        QVERIFY(!name.text.isEmpty());
        QVERIFY(!city.text.isEmpty());
        QVERIFY(find(onPage, QStringLiteral("C%1").arg(record)).size() == 1);
        QVERIFY2(qAbs(sender.x - mh5) < 1.5 && qAbs(sender.y - mv5) < 3, qPrintable(QString::number(sender.y)));
        QVERIFY(qAbs(bottom.y - mv20) < 3);
        QVERIFY(qAbs(m.x - mh110) < 1.5 && qAbs(m.y - mv50) < 3);
        QCOMPARE(name.y, m.y);
        QVERIFY(qAbs(city.x - mh110) < 1.5 && qAbs(city.y - mv55) < 3);
    }
}

void TestDbPrint::envelopesCancelledOrWithoutRecipient()
{
    TFichier *w = openWindow(carnet(2));
    w->setDialogHook([&](QDialog &d) -> int {
        auto *env = qobject_cast<TFenv *>(&d);
        env->Edit[0]->setText(QStringLiteral("[Nom]"));
        env->Button1->click();
        return d.result();
    });
    w->ImpEnv();
    QVERIFY(!QFile::exists(m_pdf));
    w->setDialogHook([&](QDialog &d) -> int {
        auto *env = qobject_cast<TFenv *>(&d);
        env->Edit[0]->clear();
        env->Edit[1]->setText(QStringLiteral("[Nom]"));
        env->Button2->click();
        return d.result();
    });
    w->ImpEnv();
    QVERIFY(!QFile::exists(m_pdf));
}

void TestDbPrint::convertToCsv()
{
    const QString in = m_dir.filePath(QStringLiteral("export.qvb"));
    writeFile(in, kWidths + "000001Nom\r\n000002Note\r\n000101Hélène\r\n000102a;b\r\n000301x\r\n");
    const Converter *c = m_registry.find(QStringLiteral("csv"), QStringLiteral("qvb"));
    QVERIFY(c);
    const QString out = m_dir.filePath(QStringLiteral("export.csv"));
    c->run({in, out, {}});
    // The .qvb bytes are Windows-1252 ("Hélène" written above in UTF-8 reads as "HÃ©lÃ¨ne").
    QCOMPARE(readFile(out), QStringLiteral("Nom;Note\r\nHÃ©lÃ¨ne;\"a;b\"\r\n;\r\nx;\r\n").toUtf8());
}

void TestDbPrint::convertToPdf()
{
    const QString in = m_dir.filePath(QStringLiteral("liste.qvb"));
    writeFile(in, carnet(2));
    const Converter *c = m_registry.find(QStringLiteral("pdf"), QStringLiteral("qvb"));
    QVERIFY(c);
    const QString out = m_dir.filePath(QStringLiteral("liste.pdf"));
    c->run({in, out, {}});
    const QList<PdfWord> words = pdfWords(out);
    QCOMPARE(find(words, QStringLiteral("Ville2")).size(), 1);
    QCOMPARE(find(words, QStringLiteral("Ville2")).first().y, find(words, QStringLiteral("Nom2")).first().y);
}

void TestDbPrint::convertQvbReSaves()
{
    // Lower-case hex and LF ends come back as the program writes them; the text stays.
    const QString in = m_dir.filePath(QStringLiteral("ancien.qvb"));
    writeFile(in, "0c8\n000001Nom\n00010aDix\n");
    const Converter *c = m_registry.find(QStringLiteral("qvb"), QStringLiteral("qvb"));
    QVERIFY(c);
    const QString outDir = m_dir.filePath(QStringLiteral("sortie"));
    QDir().mkpath(outDir);
    const QString out = outDir + QStringLiteral("/ancien.qvb");
    c->run({in, out, {}});
    QCOMPARE(readFile(out), "0C8" + QByteArray("0A0").repeated(31) + "\r\n000001Nom\r\n00010ADix\r\n");
    // Re-saving in place keeps the file as it is.
    c->run({out, out, {}});
    QCOMPARE(readFile(out), "0C8" + QByteArray("0A0").repeated(31) + "\r\n000001Nom\r\n00010ADix\r\n");
}

void TestDbPrint::convertCsvToQvb()
{
    const QString in = m_dir.filePath(QStringLiteral("carnet.csv"));
    writeFile(in, "Nom,Ville\r\n\"Dupont, Jean\",Paris\r\nÉlise,Nîmes\r\n");
    const Converter *c = m_registry.find(QStringLiteral("qvb"), QStringLiteral("csv"));
    QVERIFY(c);
    const QString out = m_dir.filePath(QStringLiteral("importe.qvb"));
    c->run({in, out, {}});
    QCOMPARE(readFile(out),
             kWidths
                     + "000001Nom\r\n000002Ville\r\n000101Dupont, Jean\r\n000102Paris\r\n"
                       "000201\xC9lise\r\n000202N\xEEmes\r\n");
}

void TestDbPrint::conversionErrors()
{
    const Converter *c = m_registry.find(QStringLiteral("qvb"), QStringLiteral("csv"));
    const QString in = m_dir.filePath(QStringLiteral("polonais.csv"));
    writeFile(in, QStringLiteral("Ville\r\nŁódź\r\n").toUtf8());
    const QString out = m_dir.filePath(QStringLiteral("polonais.qvb"));
    try {
        c->run({in, out, {}});
        QFAIL("converted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral(
                         "Fiche 1, champ 1 : le caractère « Ł » ne peut pas être enregistré dans un fichier .qvb"));
    }
    QVERIFY(!QFile::exists(out));
    const Converter *csv = m_registry.find(QStringLiteral("csv"), QStringLiteral("qvb"));
    try {
        csv->run({m_dir.filePath(QStringLiteral("absent.qvb")), m_dir.filePath(QStringLiteral("absent.csv")), {}});
        QFAIL("converted");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), QStringLiteral("Fichier introuvable"));
    }
}

QTEST_MAIN(TestDbPrint)
#include "tst_dbprint.moc"
