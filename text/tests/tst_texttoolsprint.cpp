// What the text tools put on paper, read back from the PDF the printer writes
// (VELMORA_PRINT_PDF) with pdftotext -bbox: the envelope's eight lines in millimetres, and
// a document printed into the page rectangle set by the page set-up.
#include "text/ui/richedit.h"
#include "text/ui/tenveloppes.h"
#include "text/ui/texttools.h"
#include "text/ui/tmep.h"
#include "text/ui/ttexte.h"

#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/headlessframe.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"

#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax; // PDF points from the top-left corner of the page
};

QList<Word> wordsOf(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    if (!p.waitForFinished(20000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(
            uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<Word> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

const Word *find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

// A4 at 300 dpi printed edge to edge: 11 whole pixels per millimetre across and down. (The
// PDF page is a whole number of points, 595 x 842, so it is 2479 x 3508 pixels.)
void useExamplePrinter(QPrinter &printer)
{
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setFullPage(true);
}

void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

} // namespace

class TestTextToolsPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void envelopeLinesAtTheirPlaces();
    void envelopeAtElevenPixelsPerMillimetre();
    void envelopeNotPrinted();
    void envelopeWithoutPrinter();
    void pageRectangleOfTheExample();

private:
    void answerEnvelope(const QStringList &recipient, bool accept);

    QTemporaryDir m_dir;
    QString m_pdf;
    QStringList m_errors;
    QStringList m_messages;
    std::unique_ptr<HeadlessFrame> m_frame;
    std::unique_ptr<TextTools> m_tools;
    std::unique_ptr<TTexte> m_window;
};

void TestTextToolsPrint::initTestCase()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is needed to read the printed positions");
    fonts::installSubstitutions();
    errorhandler::setSink([this](const QString &m) { m_errors << m; });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        m_messages << s.text;
        return messageboxes::Answer::Ok;
    });
}

void TestTextToolsPrint::init()
{
    m_errors.clear();
    m_messages.clear();
    m_pdf = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u".pdf"_s);
    qputenv("VELMORA_PRINT_PDF", m_pdf.toLocal8Bit());
    m_frame = std::make_unique<HeadlessFrame>();
    m_tools = std::make_unique<TextTools>(nullptr);
    m_window = std::make_unique<TTexte>(*m_frame, *m_tools);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestTextToolsPrint::cleanup()
{
    m_window.reset();
    m_tools.reset();
    m_frame.reset();
    qunsetenv("VELMORA_PRINT_PDF");
}

void TestTextToolsPrint::answerEnvelope(const QStringList &recipient, bool accept)
{
    m_tools->setDialogRunner([recipient, accept](QDialog &d) {
        auto *e = qobject_cast<TEnveloppes *>(&d);
        QVERIFY(e);
        for (int i = 0; i < 4; ++i)
            e->Destinataire[size_t(i)]->setText(recipient.value(i));
        click(accept ? e->OkButton : e->CancelButton);
    });
}

void TestTextToolsPrint::envelopeLinesAtTheirPlaces()
{
    m_tools->SetExp({u"Expa"_s, u"Expb"_s, u"Expc"_s, u"Expd"_s});
    answerEnvelope({u"Desta"_s, u"Destb"_s, QString(), u"Destd"_s}, true);
    m_window->ImpEnv();
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
    QCOMPARE(m_messages, QStringList{u"Insérez une enveloppe dans l'imprimante"_s});
    const QList<Word> words = wordsOf(m_pdf);
    QCOMPARE(words.size(), 7); // the empty third recipient line draws nothing

    QPrinter &printer = m_frame->printer();
    const QPointF origin = printer.pageLayout().paintRectPoints().topLeft();
    const double ptPerPx = 72.0 / printer.resolution();
    const struct
    {
        const char *text;
        int x, y;
    } expected[] = {{"Expa", 5, 5},     {"Expb", 5, 10},    {"Expc", 5, 15},   {"Expd", 5, 20},
                    {"Desta", 110, 50}, {"Destb", 110, 55}, {"Destd", 110, 65}};
    for (const auto &e : expected) {
        const Word *w = find(words, QString::fromLatin1(e.text));
        QVERIFY2(w, e.text);
        const double x = origin.x() + m_window->Mh(e.x) * ptPerPx;
        const double y = origin.y() + m_window->Mv(e.y) * ptPerPx;
        QVERIFY2(qAbs(w->xMin - x) < 0.8, qPrintable(u"%1: x %2 instead of %3"_s.arg(w->text).arg(w->xMin).arg(x)));
        QVERIFY2(qAbs(w->yMin - y) < 1.0, qPrintable(u"%1: y %2 instead of %3"_s.arg(w->text).arg(w->yMin).arg(y)));
        // Arial 10 points: a line box about 11.5 points high.
        QVERIFY2(w->yMax - w->yMin > 10 && w->yMax - w->yMin < 13, e.text);
    }
    // The sender typed in the dialog stays for the next envelope (and the frame's file).
    QCOMPARE(m_tools->GetExp(), (QStringList{u"Expa"_s, u"Expb"_s, u"Expc"_s, u"Expd"_s}));
}

void TestTextToolsPrint::envelopeAtElevenPixelsPerMillimetre()
{
    useExamplePrinter(m_frame->printer());
    QCOMPARE(m_frame->printer().width(), 2479);
    QCOMPARE(m_window->Mh(110), 1210);
    answerEnvelope({u"Destinataire"_s}, true);
    m_window->ImpEnv();
    const Word *w = find(wordsOf(m_pdf), u"Destinataire"_s);
    QVERIFY(w);
    QVERIFY(qAbs(w->xMin - 1210 * 72.0 / 300) < 0.8); // 290.4 points: 110 whole-pixel millimetres
    QVERIFY(qAbs(w->yMin - 50 * 11 * 72.0 / 300) < 1.0);
}

void TestTextToolsPrint::envelopeNotPrinted()
{
    // "OK" with the first recipient line empty, and "Annuler": nothing printed, no message.
    answerEnvelope({QString(), u"Rue"_s, u"Ville"_s}, true);
    m_window->ImpEnv();
    answerEnvelope({u"Quelqu'un"_s}, false);
    m_window->ImpEnv();
    QVERIFY(!QFile::exists(m_pdf));
    QVERIFY(m_messages.isEmpty());
    QVERIFY(m_errors.isEmpty());
    // Sender lines changed in the dialog are kept even so.
    m_tools->setDialogRunner([](QDialog &d) {
        auto *e = qobject_cast<TEnveloppes *>(&d);
        e->Expediteur[0]->setText(u"Nouvel expéditeur"_s);
        click(e->CancelButton);
    });
    m_window->ImpEnv();
    QCOMPARE(m_tools->GetExp().first(), u"Nouvel expéditeur"_s);
}

void TestTextToolsPrint::envelopeWithoutPrinter()
{
    QPrinter &printer = m_frame->printer();
    printer.setOutputFileName(QString());
    if (printing::hasOutput(printer))
        QSKIP("this machine has a printer");
    answerEnvelope({u"Destinataire"_s}, true);
    m_window->ImpEnv();
    QCOMPARE(m_errors, QStringList{u"Aucune imprimante par défaut sélectionnée"_s});
    QVERIFY(m_messages.isEmpty()); // no envelope asked for
}

void TestTextToolsPrint::pageRectangleOfTheExample()
{
    useExamplePrinter(m_frame->printer());
    QCOMPARE(m_frame->printer().height(), 3508);
    const int width = m_frame->printer().width();
    m_tools->setDialogRunner([](QDialog &d) {
        auto *m = qobject_cast<TMep *>(&d);
        for (QSpinBox *f : {m->MargeGauche, m->MargeHaute, m->MargeDroite, m->MargeBasse})
            f->setValue(20);
        click(m->OkButton);
    });
    m_window->SetPage();
    const QRect r = m_window->pageRect();
    QCOMPARE(r.left(), 220);
    QCOMPARE(r.top(), 220);
    QCOMPARE(r.x() + r.width(), width - 220);
    QCOMPARE(r.y() + r.height(), 3288);
    // A printed line starts at the rectangle's left edge and just below its top.
    m_window->RichEdit1->setPlainText(u"Marge"_s);
    m_window->Imprime();
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(u'\n')));
    const Word *w = find(wordsOf(m_pdf), u"Marge"_s);
    QVERIFY(w);
    const double edge = 220 * 72.0 / 300; // 52.8 points
    QVERIFY2(w->xMin >= edge - 0.5 && w->xMin < edge + 2, qPrintable(QString::number(w->xMin)));
    QVERIFY2(w->yMin >= edge - 0.5 && w->yMin < edge + 4, qPrintable(QString::number(w->yMin)));
}

QTEST_MAIN(TestTextToolsPrint)
#include "tst_texttoolsprint.moc"
