// The text tools at work in a text window: glossary expansion while typing, insertions,
// case change, statistics, tab stops, paragraph format, page set-up, preview, HTML export
// and the headless conversion. Forms are answered through the tools' dialog runner.
#include "text/ui/richedit.h"
#include "text/ui/tcaract.h"
#include "text/ui/tcasse.h"
#include "text/ui/tdatheur.h"
#include "text/ui/tecran.h"
#include "text/ui/texttools.h"
#include "text/ui/tglos.h"
#include "text/ui/tmep.h"
#include "text/ui/tparagraf.h"
#include "text/ui/tstats.h"
#include "text/ui/ruler.h"
#include "text/ui/ttabul.h"
#include "text/ui/ttexte.h"

#include "text/core/htmlexport.h"

#include "common/converterregistry.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/headlessframe.h"
#include "common/ui/messageboxes.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestTextTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void glossaryExpansionWhileTyping();
    void glossaryInsertion();
    void dateAndTimeInsertion();
    void caseChangeKeepsFormatting();
    void specialCharacter();
    void statistics();
    void tabStops();
    void tabStopsBadLine();
    void paragraphFormat();
    void pageSetup();
    void previewShowsPagesAndLeavesEditor();
    void htmlExport();
    void headlessConversionGivesSameBytes();
    void glossaryThatCannotBeWrittenIsReported();

private:
    void type(const QString &text) { QTest::keyClicks(m_window->RichEdit1, text); }
    QString text() const { return m_window->RichEdit1->toPlainText(); }

    QTemporaryDir m_dir;
    QString m_previousDir;
    QStringList m_errors;
    std::unique_ptr<HeadlessFrame> m_frame;
    std::unique_ptr<TextTools> m_tools;
    std::unique_ptr<TTexte> m_window;
};

void TestTextTools::initTestCase()
{
    fonts::installSubstitutions();
    m_previousDir = QDir::currentPath();
    qputenv("XDG_DATA_HOME", m_dir.filePath(u"userdata"_s).toLocal8Bit());
    errorhandler::setSink([this](const QString &m) { m_errors << m; });
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Non; });
}

void TestTextTools::init()
{
    m_errors.clear();
    QDir::setCurrent(m_dir.path());
    QDir(m_dir.filePath(u"userdata"_s)).removeRecursively(); // each test brings the glossary in afresh
    writeFile(m_dir.filePath(u"Velmora.glo"_s), "CDT\tCordialement\r\nABC\tpremier\r\nABC\tsecond\r\n");
    m_frame = std::make_unique<HeadlessFrame>();
    m_tools = std::make_unique<TextTools>(nullptr);
    m_tools->ChargeGlo();
    m_window = std::make_unique<TTexte>(*m_frame, *m_tools);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->RichEdit1->setFocus();
}

void TestTextTools::cleanup()
{
    m_window.reset();
    m_tools.reset();
    m_frame.reset();
    QDir::setCurrent(m_previousDir);
}

void TestTextTools::glossaryExpansionWhileTyping()
{
    type(u"Bien cdt Merci"_s);
    QCOMPARE(text(), u"Bien Cordialement Merci"_s);
    QCOMPARE(m_window->RichEdit1->selStart(), int(text().size()));
    // First word of the document: nothing before it, no expansion.
    m_window->RichEdit1->clear();
    type(u"cdt x"_s);
    QCOMPARE(text(), u"cdt x"_s);
    // After a line break it expands; the first of two entries wins; punctuation counts.
    QTest::keyClick(m_window->RichEdit1, Qt::Key_Return);
    type(u"cdt abc cdt, "_s);
    QCOMPARE(text(), u"cdt x\nCordialement premier cdt, "_s);
    // Undo takes back the expansion.
    m_window->RichEdit1->clear();
    type(u"a cdt "_s);
    QCOMPARE(text(), u"a Cordialement "_s);
    m_window->Annule();
    QVERIFY(text() != u"a Cordialement "_s);
}

void TestTextTools::glossaryInsertion()
{
    type(u"Salut X"_s);
    m_window->RichEdit1->setSelection(6, 1);
    m_tools->setDialogRunner([](QDialog &d) {
        auto *g = qobject_cast<TGlos *>(&d);
        QVERIFY(g);
        g->ListBox1->setCurrentRow(0);
        click(g->InsertButton);
    });
    m_window->Glossaire();
    QCOMPARE(text(), u"Salut Cordialement"_s);
    // "Annuler": nothing changes.
    m_tools->setDialogRunner([](QDialog &d) { click(qobject_cast<TGlos *>(&d)->CancelButton); });
    m_window->Glossaire();
    QCOMPARE(text(), u"Salut Cordialement"_s);
}

void TestTextTools::dateAndTimeInsertion()
{
    QDateTime now(QDate(2026, 12, 7), QTime(14, 7));
    m_tools->datHeur().clock = [&now] { return now; };
    m_tools->setDialogRunner([&now](QDialog &d) {
        auto *dh = qobject_cast<TDatHeur *>(&d);
        dh->ListBox1->setCurrentRow(6);
        now = now.addSecs(60); // the time is taken again when inserting
        click(dh->OkButton);
    });
    type(u"Il est "_s);
    m_window->DateHeure();
    QCOMPARE(text(), u"Il est 14 h 08"_s);
    // OK with no line chosen inserts nothing.
    m_tools->setDialogRunner([](QDialog &d) {
        auto *dh = qobject_cast<TDatHeur *>(&d);
        dh->ListBox1->clearSelection();
        dh->ListBox1->setCurrentRow(-1);
        click(dh->OkButton);
    });
    m_window->DateHeure();
    QCOMPARE(text(), u"Il est 14 h 08"_s);
    // Opened on the first format: Enter inserts the date.
    m_tools->setDialogRunner(
            [](QDialog &d) { QTest::keyClick(qobject_cast<TDatHeur *>(&d)->ListBox1, Qt::Key_Return); });
    type(u" "_s);
    m_window->DateHeure();
    QCOMPARE(text(), u"Il est 14 h 08 07/12/2026"_s);
}

void TestTextTools::caseChangeKeepsFormatting()
{
    RichEdit *edit = m_window->RichEdit1;
    QTextCursor c(edit->document());
    c.insertText(u"été "_s);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(u"Gras"_s, bold);
    edit->setSelection(0, 8);
    m_tools->setDialogRunner([](QDialog &d) {
        auto *k = qobject_cast<TCasse *>(&d);
        click(k->Majuscules);
        click(k->OkButton);
    });
    m_window->ChangerCasse();
    QCOMPARE(text(), u"ÉTÉ GRAS"_s);
    QTextCursor probe(edit->document());
    probe.setPosition(6);
    QCOMPARE(probe.charFormat().fontWeight(), int(QFont::Bold));
    probe.setPosition(2);
    QVERIFY(probe.charFormat().fontWeight() != int(QFont::Bold));
    QCOMPARE(edit->selStart(), 0);
    QCOMPARE(edit->selLength(), 8);
    // One undo step brings the text back.
    edit->undo();
    QCOMPARE(text(), u"été Gras"_s);
    // Lower case; "Annuler" changes nothing.
    m_tools->setDialogRunner([](QDialog &d) {
        auto *k = qobject_cast<TCasse *>(&d);
        click(k->Minuscules);
        click(k->OkButton);
    });
    edit->setPlainText(u"ÉTÉ Oui"_s);
    edit->setSelection(0, 7);
    m_window->ChangerCasse();
    QCOMPARE(text(), u"été oui"_s);
    m_tools->setDialogRunner([](QDialog &d) { click(qobject_cast<TCasse *>(&d)->CancelButton); });
    edit->setSelection(0, 7);
    m_window->ChangerCasse();
    QCOMPARE(text(), u"été oui"_s);
}

void TestTextTools::specialCharacter()
{
    type(u"caf"_s);
    m_tools->setDialogRunner([](QDialog &d) {
        auto *t = qobject_cast<TCaract *>(&d);
        t->StringGrid1->setCurrentCell(7, 5); // 233
        click(t->OkButton);
    });
    m_window->CarSpe();
    QCOMPARE(text(), u"café"_s);
    // Cancelling inserts nothing and leaves the selection in place.
    m_window->RichEdit1->setSelection(1, 2);
    m_tools->setDialogRunner([](QDialog &d) { click(qobject_cast<TCaract *>(&d)->CancelButton); });
    m_window->CarSpe();
    QCOMPARE(text(), u"café"_s);
    QCOMPARE(m_window->RichEdit1->selStart(), 1);
    QCOMPARE(m_window->RichEdit1->selLength(), 2);
}

void TestTextTools::statistics()
{
    QStringList shown;
    m_tools->setDialogRunner([&shown](QDialog &d) {
        auto *s = qobject_cast<TStats *>(&d);
        shown = {s->FileValue->text(), s->LinesValue->text(), s->CharactersValue->text(), s->WordsValue->text()};
        click(s->CloseButton);
    });
    m_window->Statistiques();
    QCOMPARE(shown, (QStringList{QString(), u"0"_s, u"0"_s, u"0"_s})); // an empty document: 0 lines
    type(u"Bonjour, le monde."_s);
    m_window->setNomFichier(m_dir.filePath(u"lettre.qvt"_s));
    m_window->Statistiques();
    QCOMPARE(shown, (QStringList{u"lettre.qvt"_s, u"1"_s, u"18"_s, u"3"_s}));
    QVERIFY(m_window->isModified()); // counting changes nothing
}

void TestTextTools::tabStops()
{
    const int u = m_tools->tabul().unitWidth();
    m_tools->setDialogRunner([](QDialog &d) {
        auto *t = qobject_cast<TTabul *>(&d);
        QVERIFY(t->ListBox1->count() == 0);
        QTest::keyClicks(t->Edit1, u"10"_s);
        QTest::keyClick(t->Edit1, Qt::Key_Return);
        QTest::keyClicks(t->Edit1, u"4"_s);
        QTest::keyClick(t->Edit1, Qt::Key_Return);
        click(t->OkButton);
    });
    type(u"a\tb"_s);
    m_window->Tabulations();
    QCOMPARE(m_window->RichEdit1->tabStops(), (QList<double>{4.0 * u, 10.0 * u}));
    // The ruler shows them, from the text's left edge (4/3 pixel per point).
    const int origin = m_window->RichEdit1->frameWidth() + RichEdit::kGutter;
    QCOMPARE(m_window->RulerPanel->tabStops(), (QList<int>{origin + 4 * u * 4 / 3, origin + 10 * u * 4 / 3}));
    QImage ruler = m_window->RulerPanel->grab().toImage();
    QCOMPARE(qGray(ruler.pixel(origin + 10 * u * 4 / 3 + 3, 26)), 0); // the foot of the tab marker
    // Another paragraph without stops: the ruler shows none.
    QTest::keyClick(m_window->RichEdit1, Qt::Key_End);
    QTest::keyClick(m_window->RichEdit1, Qt::Key_Return);
    m_window->RichEdit1->setTabStops({});
    m_window->SelectionChange();
    QCOMPARE(m_window->RulerPanel->tabStops(), QList<int>());
    QTest::keyClick(m_window->RichEdit1, Qt::Key_Up);
    QCOMPARE(m_window->RulerPanel->tabStops().size(), 2);
    // Shown again, the stops are listed in units.
    QStringList listed;
    m_tools->setDialogRunner([&listed](QDialog &d) {
        auto *t = qobject_cast<TTabul *>(&d);
        for (int i = 0; i < t->ListBox1->count(); ++i)
            listed << t->ListBox1->item(i)->text();
        click(t->CancelButton);
    });
    m_window->Tabulations();
    QCOMPARE(listed, (QStringList{u"4"_s, u"10"_s}));
    QCOMPARE(m_window->RichEdit1->tabStops(), (QList<double>{4.0 * u, 10.0 * u}));
}

void TestTextTools::tabStopsBadLine()
{
    const int u = m_tools->tabul().unitWidth();
    m_tools->setDialogRunner([](QDialog &d) {
        auto *t = qobject_cast<TTabul *>(&d);
        for (const char *line : {"6", "six", "9"}) {
            QTest::keyClicks(t->Edit1, QString::fromLatin1(line));
            click(t->DefineButton);
        }
        click(t->OkButton);
    });
    type(u"x"_s);
    m_window->Tabulations();
    QCOMPARE(m_errors, QStringList{u"'six' n'est pas une valeur entière correcte"_s});
    QCOMPARE(m_window->RichEdit1->tabStops(), QList<double>{6.0 * u});
}

void TestTextTools::paragraphFormat()
{
    RichEdit *edit = m_window->RichEdit1;
    type(u"Un paragraphe"_s);
    edit->setFirstIndent(0);
    edit->setLeftIndent(36);
    QList<int> shown;
    m_tools->setDialogRunner([&shown](QDialog &d) {
        auto *p = qobject_cast<TParagraf *>(&d);
        shown = {p->LeftField->value(), p->RightField->value(), p->FirstField->value(), p->Alignement->checkedId()};
        p->FirstField->setValue(5);
        click(p->AlignRight);
        click(p->OkButton);
    });
    m_window->Paragraphe();
    // The lines start half an inch in (13 mm), the first one at the margin (13 mm left of them).
    QCOMPARE(shown, (QList<int>{13, 0, -13, 0}));
    // The first line now starts 5 mm right of the others, which stay where they were.
    QCOMPARE(int(edit->firstIndent()), 36 + 14);
    QCOMPARE(int(edit->firstIndent() + edit->leftIndent()), 36);
    QCOMPARE(edit->paragraphAlignment(), RichEdit::Right);
    // OK with nothing changed keeps the indents to the point; "A gauche" cannot go below zero.
    m_tools->setDialogRunner([&shown](QDialog &d) {
        auto *p = qobject_cast<TParagraf *>(&d);
        shown = {p->LeftField->value(), p->RightField->value(), p->FirstField->value()};
        click(p->OkButton);
    });
    m_window->Paragraphe();
    QCOMPARE(shown, (QList<int>{13, 0, 5}));
    QCOMPARE(int(edit->firstIndent()), 50);
    QCOMPARE(int(edit->firstIndent() + edit->leftIndent()), 36);
    m_tools->setDialogRunner([](QDialog &d) {
        auto *p = qobject_cast<TParagraf *>(&d);
        p->LeftField->setValue(-2);
        p->FirstField->setValue(10);
        click(p->AlignLeft);
        click(p->OkButton);
    });
    m_window->Paragraphe();
    QCOMPARE(edit->paragraphAlignment(), RichEdit::Left);
    QCOMPARE(int(edit->firstIndent() + edit->leftIndent()), 0); // the lines at the margin
    QCOMPARE(int(edit->firstIndent()), 28); // the first one 10 mm in
    // Bullets from the dialog.
    m_tools->setDialogRunner([](QDialog &d) {
        auto *p = qobject_cast<TParagraf *>(&d);
        p->Puces->setChecked(true);
        click(p->OkButton);
    });
    m_window->Paragraphe();
    QVERIFY(edit->bullets());
}

void TestTextTools::pageSetup()
{
    QPrinter &printer = m_frame->printer();
    QList<int> shown;
    auto answer = [&shown](bool accept, QList<int> values) {
        return [&shown, accept, values](QDialog &d) {
            auto *m = qobject_cast<TMep *>(&d);
            shown = {m->MargeGauche->value(), m->MargeHaute->value(), m->MargeDroite->value(), m->MargeBasse->value()};
            if (!values.isEmpty()) {
                m->MargeGauche->setValue(values[0]);
                m->MargeHaute->setValue(values[1]);
                m->MargeDroite->setValue(values[2]);
                m->MargeBasse->setValue(values[3]);
            }
            click(accept ? m->OkButton : m->CancelButton);
        };
    };
    // The first set-up shows the 20 mm the document prints with; cancelling keeps the page.
    m_tools->setDialogRunner(answer(false, {5, 5, 5, 5}));
    m_window->SetPage();
    QCOMPARE(shown, (QList<int>{20, 20, 20, 20}));
    QVERIFY(m_window->pageRect().isEmpty());
    QCOMPARE(m_window->MarginLeft, 20);
    m_tools->setDialogRunner(answer(true, {20, 15, 10, 25}));
    m_window->SetPage();
    QCOMPARE(shown, (QList<int>{20, 20, 20, 20}));
    const int kx = printing::pixelsPerMmX(printer), ky = printing::pixelsPerMmY(printer);
    QCOMPARE(m_window->pageRect(),
             QRect(20 * kx, 15 * ky, printer.width() - 10 * kx - 20 * kx, printer.height() - 25 * ky - 15 * ky));
    QCOMPARE(QList<int>({m_window->MarginLeft, m_window->MarginTop, m_window->MarginRight, m_window->MarginBottom}),
             QList<int>({20, 15, 10, 25}));
    // Shown again with the window's margins; margins that leave no page are refused.
    m_tools->setDialogRunner(answer(true, {150, 0, 150, 0}));
    m_window->SetPage();
    QCOMPARE(shown, (QList<int>{20, 15, 10, 25}));
    QCOMPARE(m_errors.size(), 1);
    QCOMPARE(m_window->MarginLeft, 20);
    QCOMPARE(m_window->pageRect().x(), 20 * kx);
}

void TestTextTools::previewShowsPagesAndLeavesEditor()
{
    RichEdit *edit = m_window->RichEdit1;
    QStringList paragraphs;
    for (int i = 0; i < 150; ++i)
        paragraphs << u"Paragraphe numéro %1 du document."_s.arg(i + 1);
    edit->setPlainText(paragraphs.join(u'\n'));
    const QStringList linesBefore = edit->displayedLines();
    const qreal widthBefore = edit->document()->textWidth();
    int count = 0, afterNext = -1, afterPrevious = -1;
    bool previousEnabledAtStart = true;
    QImage page;
    m_tools->setDialogRunner([&](QDialog &d) {
        auto *e = qobject_cast<TEcran *>(&d);
        QVERIFY(e);
        QCOMPARE(e->windowTitle(), u"Aperçu avant impression"_s);
        count = e->pageCount();
        previousEnabledAtStart = e->PreviousButton->isEnabled();
        page = e->PaintBox1->grab().toImage();
        click(e->NextButton);
        afterNext = e->currentPage();
        click(e->PreviousButton);
        afterPrevious = e->currentPage();
        click(e->CloseButton);
    });
    m_window->Apercu();
    QVERIFY(count >= 3);
    QVERIFY(!previousEnabledAtStart);
    QCOMPARE(afterNext, 1);
    QCOMPARE(afterPrevious, 0);
    // Something is drawn on the white page.
    bool ink = false;
    for (int y = 0; y < page.height() && !ink; y += 2)
        for (int x = 0; x < page.width() && !ink; x += 2)
            ink = qGray(page.pixel(x, y)) < 128;
    QVERIFY(ink);
    // The editor keeps its own layout.
    QCOMPARE(edit->document()->textWidth(), widthBefore);
    QCOMPARE(edit->displayedLines(), linesBefore);
}

void TestTextTools::htmlExport()
{
    // Never saved: the page's name is asked for; cancelling writes nothing.
    type(u"Brouillon "_s);
    m_window->setSaveDialogHook([](QString &, int &) { return false; });
    m_window->Sauvehtm();
    QVERIFY(m_errors.isEmpty());
    m_window->setSaveDialogHook([this](QString &p, int &) {
        p = m_dir.filePath(u"brouillon"_s);
        return true;
    });
    m_window->Sauvehtm();
    QVERIFY(m_errors.isEmpty());
    QVERIFY(readFile(m_dir.filePath(u"brouillon.htm"_s)).contains("<P>Brouillon </P>"));
    QVERIFY(readFile(m_dir.filePath(u"brouillon.htm"_s)).contains("<TITLE>brouillon</TITLE>"));
    m_window->setSaveDialogHook({});
    // A saved document: the page beside it shows what the window holds, unsaved edits too.
    const QString doc = m_dir.filePath(u"page.qvt"_s);
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                           "\\deflang1036\\pard\\plain\\f2\\fs20 Caf\\'e9 cr\\'e8me\r\n\\par }\r\n";
    writeFile(doc, rtf);
    m_window->Charge(doc);
    type(u"ajout "_s);
    m_window->Sauvehtm();
    QVERIFY(m_errors.isEmpty());
    QVERIFY(readFile(m_dir.filePath(u"page.htm"_s)).contains("<P>ajout Café crème</P>\r\n"));
    QVERIFY(m_window->isModified()); // exporting is not saving
    // The file may even be gone: the window still holds the document.
    QFile::remove(doc);
    m_window->Sauvehtm();
    QVERIFY(m_errors.isEmpty());
}

void TestTextTools::headlessConversionGivesSameBytes()
{
    ConverterRegistry registry;
    TextTools::registerConverters(registry);
    const Converter *c = registry.find(u"htm"_s, u"qvt"_s);
    QVERIFY(c);
    QVERIFY(registry.find(u"htm"_s, u"rtf"_s));
    const QString doc = m_dir.filePath(u"lettre.qvt"_s);
    m_window->RichEdit1->setPlainText(u"Objet : réunion\nSuite"_s);
    m_window->RichEdit1->setSelection(0, 5);
    m_window->Bold(true);
    writeFile(doc, m_window->RichEdit1->rtf());
    QVERIFY_THROWS_EXCEPTION(VelmoraError, c->run({doc, m_dir.filePath(u"out/lettre.htm"_s), {}}));
    QVERIFY(!QFile::exists(m_dir.filePath(u"out/lettre.htm"_s))); // no folder: nothing half done
    QDir().mkpath(m_dir.filePath(u"out"_s));
    c->run({doc, m_dir.filePath(u"out/lettre.htm"_s), {}});
    m_window->setNomFichier(doc);
    m_window->Sauvehtm();
    QCOMPARE(readFile(m_dir.filePath(u"out/lettre.htm"_s)), readFile(m_dir.filePath(u"lettre.htm"_s)));
    QVERIFY(readFile(m_dir.filePath(u"lettre.htm"_s)).contains("<P><B>Objet</B> : réunion</P>\r\n<P>Suite</P>"));
}

void TestTextTools::glossaryThatCannotBeWrittenIsReported()
{
    // A change, and a data folder that cannot be written when the glossary window closes.
    m_tools->setDialogRunner([](QDialog &d) {
        auto *g = qobject_cast<TGlos *>(&d);
        g->Edit1->setText(u"NV"_s);
        g->Edit2->setText(u"nouveau"_s);
        click(g->AddButton);
        click(g->CloseButton);
    });
    const QString blocked = m_dir.filePath(u"bloque"_s);
    writeFile(blocked, "un fichier, pas un dossier");
    qputenv("XDG_DATA_HOME", blocked.toLocal8Bit());
    m_window->Glossaire();
    qputenv("XDG_DATA_HOME", m_dir.filePath(u"userdata"_s).toLocal8Bit());
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.first().startsWith(u"Ne peut créer le fichier "_s));
    // Still marked changed: written at the next chance (the exit), with the new entry.
    m_tools->SauveGlo();
    QCOMPARE(readFile(m_dir.filePath(u"userdata/velmora/Velmora.glo"_s)),
             QByteArray("CDT\tCordialement\r\nABC\tpremier\r\nABC\tsecond\r\nNV\tnouveau\r\n"));
    QCOMPARE(readFile(m_dir.filePath(u"Velmora.glo"_s)),
             QByteArray("CDT\tCordialement\r\nABC\tpremier\r\nABC\tsecond\r\n"));
}

QTEST_MAIN(TestTextTools)
#include "tst_texttools.moc"
