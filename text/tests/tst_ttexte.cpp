// The text window as a user drives it: typing, the caret position and the toolbar reported
// to the frame, the ruler, loading and saving by the save dialog's filter, the close
// question, import, the RTF code view, find and replace, printing, headless conversions.
#include "common/converterregistry.h"
#include "common/velmoraerror.h"
#include "common/testsupport/testframe.h"
#include "common/ui/errorhandler.h"
#include "common/ui/fonts.h"
#include "common/ui/printing.h"
#include "common/ui/frameservices.h"
#include "common/ui/messageboxes.h"
#include "text/ui/richedit.h"
#include "text/ui/ruler.h"
#include "text/ui/textfinddialogs.h"
#include "text/ui/textmodule.h"
#include "text/ui/texttools.h"
#include "text/ui/ttexte.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QAction>
#include <QRadioButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kBoldCentred = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
                                "\\pard\\plain\\f1\\fs24 normal\\par\\pard\\qc\\plain\\f0\\fs24\\b gras centr\\'e9\\par"
                                "\\pard\\plain\\fs4 minuscule\\par\\plain\\fs240 immense\\par}";

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestTTexte : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void newWindow();
    void typingMovesTheCaretPosition();
    void toolbarFollowsTheSelection();
    void toolbarDoesNotEcho();
    void formattingFromTheToolbar();
    void rulerMarkersFollowIndents();
    void rulerDragSetsIndents();
    void loadAndSave_data();
    void loadAndSave();
    void saveAsCancelled();
    void failedSaveKeepsTheDocument();
    void plainTextSaveUsesDisplayedLines();
    void closeQuestion_data();
    void closeQuestion();
    void importInsertsLines();
    void textFileEncodingKept_data();
    void textFileEncodingKept();
    void codeView();
    void findWholeWordAndOverlap();
    void findThroughTheDialog();
    void replaceGoesOnAfterTheReplacement();
    void replaceAll();
    void editingCommands();
    void insertField();
    void mailMerge();
    void printsThroughTheFramePrinter();
    void headlessConversions();

private:
    std::unique_ptr<TestFrame> frame;
    std::unique_ptr<TextTools> tools;
    std::unique_ptr<QTemporaryDir> dir;
    QStringList errors;
    QStringList questions;
    messageboxes::Answer answer = messageboxes::Answer::Non;

    std::unique_ptr<TTexte> window()
    {
        auto w = std::make_unique<TTexte>(*frame, *tools);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("window not exposed");
        return w;
    }
    QString path(const QString &name) const { return dir->filePath(name); }
};

void TestTTexte::initTestCase()
{
    fonts::installSubstitutions();
    errorhandler::setSink([this](const QString &m) { errors.append(m); });
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        questions.append(s.title + u'|' + s.text);
        return answer;
    });
}

void TestTTexte::init()
{
    frame = std::make_unique<TestFrame>();
    tools = std::make_unique<TextTools>(nullptr);
    dir = std::make_unique<QTemporaryDir>();
    frame->pdf = path(u"sortie.pdf"_s);
    frame->hasDatabase = true;
    frame->contenu = [](int record, QString &text) {
        if (text == u"[Nom]"_s)
            text = u"Client%1"_s.arg(record);
    };
    errors.clear();
    questions.clear();
    answer = messageboxes::Answer::Non;
}

void TestTTexte::cleanup() { QApplication::processEvents(); }

void TestTTexte::newWindow()
{
    auto w = window();
    QCOMPARE(w->windowTitle(), u"Texte"_s);
    QCOMPARE(w->size(), QSize(542, 369));
    QVERIFY(w->NomFichier().isEmpty());
    QVERIFY(!w->isModified());
    QCOMPARE(QList<int>({w->MarginLeft, w->MarginTop, w->MarginRight, w->MarginBottom}), QList<int>({20, 20, 20, 20}));
    QVERIFY(w->pageRect().isEmpty());
    // Never set up: printing keeps 20 mm from every edge of the page.
    const QRect print = w->printRect();
    const int kx = printing::pixelsPerMmX(frame->printer()), ky = printing::pixelsPerMmY(frame->printer());
    QCOMPARE(print, QRect(20 * kx, 20 * ky, frame->printer().width() - 40 * kx, frame->printer().height() - 40 * ky));
    QVERIFY(!frame->styles.isEmpty());
    const ToolbarStyles s = frame->styles.last();
    QVERIFY(!s.bold && !s.italic && !s.underline && !s.bullets && s.left && !s.right && !s.center);
    QCOMPARE(s.size, u"10"_s);
    QCOMPARE(s.name, u"Arial"_s);
    QCOMPARE(frame->status, u"Ligne:   1   Col:   1"_s);
    QCOMPARE(w->RulerPanel->height(), 32);
    QCOMPARE(w->RulerPanel->rulerLine(), QRect(5, 15, w->RulerPanel->width() - 10, 2));
}

void TestTTexte::typingMovesTheCaretPosition()
{
    auto w = window();
    QTest::keyClicks(w->RichEdit1, "abc");
    QCOMPARE(frame->status, u"Ligne:   1   Col:   4"_s);
    QTest::keyClick(w->RichEdit1, Qt::Key_Return);
    QTest::keyClicks(w->RichEdit1, "de");
    QTest::keyClick(w->RichEdit1, Qt::Key_Tab);
    QCOMPARE(frame->status, u"Ligne:   2   Col:   4"_s);
    QCOMPARE(w->RichEdit1->toPlainText(), u"abc\nde\t"_s);
    QVERIFY(w->isModified());
    // A wrapped paragraph: the column counts from the start of the displayed line.
    w->RichEdit1->setPlainText(QString(60, u'x').replace(10, 1, u' ') + u" fin"_s);
    w->resize(200, 300);
    QApplication::processEvents();
    w->RichEdit1->setSelection(w->RichEdit1->textLength(), 0);
    const int line = w->RichEdit1->lineFromChar(w->RichEdit1->textLength());
    QVERIFY(line > 0);
    const int col = w->RichEdit1->textLength() - w->RichEdit1->lineIndex(line);
    QCOMPARE(frame->status, QString::asprintf("Ligne: %3d   Col: %3d", line + 1, col + 1));
}

void TestTTexte::toolbarFollowsTheSelection()
{
    auto w = window();
    writeFile(path(u"lettre.qvt"_s), kBoldCentred);
    w->Charge(path(u"lettre.qvt"_s));
    w->RichEdit1->setSelection(9, 0); // inside "gras centré"
    ToolbarStyles s = frame->styles.last();
    QVERIFY(s.bold && s.center && !s.left && !s.right && !s.italic);
    QCOMPARE(s.size, u"12"_s);
    QCOMPARE(s.name, u"Arial"_s);
    QVERIFY(!w->isModified());
    w->RichEdit1->setSelection(2, 0);
    s = frame->styles.last();
    QVERIFY(!s.bold && s.left);
    QCOMPARE(s.name, u"Times New Roman"_s);
    w->RichEdit1->setSelection(23, 2); // size 2 reads as 10
    QCOMPARE(frame->styles.last().size, u"10"_s);
    w->RichEdit1->setSelection(33, 2); // size 120 reads as 10
    QCOMPARE(frame->styles.last().size, u"10"_s);
    w->RichEdit1->setSelection(0, 12); // two fonts: "Arial"
    QCOMPARE(frame->styles.last().name, u"Arial"_s);
}

void TestTTexte::toolbarDoesNotEcho()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"texte"_s);
    w->RichEdit1->setModified(false);
    TTexte *raw = w.get();
    // A toolbar that sends its new state straight back while being set changes nothing.
    frame->echo = [raw] {
        raw->Bold(true);
        raw->FontSize(30);
        raw->Justif(Alignment::Centre);
        raw->Bullets(true);
        raw->FontName(u"Courier New"_s);
    };
    w->RichEdit1->setSelection(0, 5);
    frame->echo = nullptr;
    QVERIFY(!w->isModified());
    QVERIFY(w->RichEdit1->selAttributes().fontWeight() < QFont::Bold);
    QCOMPARE(w->RichEdit1->paragraphAlignment(), RichEdit::Left);
}

void TestTTexte::formattingFromTheToolbar()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"un deux"_s);
    w->RichEdit1->setSelection(0, 2);
    w->Bold(true);
    w->Ital(true);
    w->Under(true);
    w->FontName(u"Times New Roman"_s);
    w->FontSize(14);
    w->Justif(Alignment::Right);
    QTextCharFormat f = w->CurrText();
    QVERIFY(f.fontWeight() >= QFont::Bold && f.fontItalic() && f.fontUnderline());
    QCOMPARE(f.fontFamilies().toStringList().value(0), u"Times New Roman"_s);
    QCOMPARE(f.fontPointSize(), 14.0);
    QCOMPARE(frame->styles.last().right, true);
    QCOMPARE(frame->styles.last().size, u"14"_s);
    w->Ital(false); // only italic changes
    QVERIFY(w->CurrText().fontWeight() >= QFont::Bold && !w->CurrText().fontItalic());
    w->RichEdit1->setSelection(3, 4);
    QVERIFY(w->CurrText().fontWeight() < QFont::Bold); // " deux" untouched
    // GetFont and SetFont (the "Police" command): the font of the selection.
    w->RichEdit1->setSelection(0, 2);
    QFont font = w->GetFont();
    QCOMPARE(font.family(), u"Liberation Serif"_s); // shown as the family standing in for it
    w->SetFont(font); // confirmed unchanged: the document keeps its name
    QCOMPARE(w->CurrText().fontFamilies().toStringList().value(0), u"Times New Roman"_s);
    font = w->GetFont();
    QCOMPARE(font.pointSize(), 14);
    QVERIFY(font.bold());
    font.setFamily(u"Courier New"_s);
    font.setPointSize(9);
    w->SetFont(font);
    QCOMPARE(w->CurrText().fontFamilies().toStringList().value(0), u"Courier New"_s);
    QCOMPARE(w->CurrText().fontPointSize(), 9.0);
    w->Bullets(true);
    QVERIFY(frame->styles.last().bullets);
    QVERIFY(w->RichEdit1->rtf().contains("\\qr"));
}

void TestTTexte::rulerMarkersFollowIndents()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"paragraphe"_s);
    w->RichEdit1->setFirstIndent(18);
    w->SelectionChange();
    QCOMPARE(w->FirstInd->x(), 26);
    w->RichEdit1->setFirstIndent(0);
    w->RichEdit1->setLeftIndent(36);
    w->SelectionChange();
    QCOMPARE(w->FirstInd->x(), 2);
    QCOMPARE(w->LeftInd->x(), 50);
    QCOMPARE(w->RightInd->x(), w->RulerPanel->width() - 8 - 6);
    w->resize(400, 300); // the right marker follows the window's width
    QApplication::processEvents();
    QCOMPARE(w->RightInd->x(), w->RulerPanel->width() - 14);
    QCOMPARE(w->FirstInd->size(), QSize(13, 12));
    QCOMPARE(w->LeftInd->size(), QSize(13, 13));
    QCOMPARE(w->RightInd->size(), QSize(12, 16));
}

void TestTTexte::rulerDragSetsIndents()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"un\ndeux"_s);
    w->RichEdit1->setSelection(0, 4);
    auto mouse = [](QWidget *target, QEvent::Type type, int x) {
        QMouseEvent e(type, QPointF(x, 5), target->mapToGlobal(QPointF(x, 5)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    };
    // Press at the marker's middle, move 24 pixels right: the marker's left goes 2 -> 26.
    mouse(w->FirstInd, QEvent::MouseButtonPress, 6);
    mouse(w->FirstInd, QEvent::MouseMove, 30);
    QCOMPARE(w->FirstInd->x(), 26);
    mouse(w->FirstInd, QEvent::MouseButtonRelease, 6);
    QCOMPARE(w->RichEdit1->firstIndent(), 19.0); // trunc(26 * 0.75)
    // The left marker did not move: the other lines stay at its place.
    QCOMPARE(w->RichEdit1->leftIndent(), 1.0 - 19.0);
    // The left marker dragged to 50: the other lines 36 points in from the edge.
    mouse(w->LeftInd, QEvent::MouseButtonPress, 6);
    mouse(w->LeftInd, QEvent::MouseMove, 6 + 48 - (w->LeftInd->x() - 2));
    QCOMPARE(w->LeftInd->x(), 50);
    mouse(w->LeftInd, QEvent::MouseButtonRelease, 6);
    QCOMPARE(w->RichEdit1->firstIndent() + w->RichEdit1->leftIndent(), 37.0); // trunc(50 * 0.75)
    QCOMPARE(w->LeftInd->x(), 51); // placed again from 37 points: trunc(37 * 4 / 3) + 2
    // The right marker 30 pixels left of where it stood.
    const int width = w->RulerPanel->width();
    mouse(w->RightInd, QEvent::MouseButtonPress, 6);
    mouse(w->RightInd, QEvent::MouseMove, 6 - 30);
    mouse(w->RightInd, QEvent::MouseButtonRelease, 6);
    QCOMPARE(w->RichEdit1->rightIndent(), double(int((width + 6 - (width - 14 - 30) - 2) * 0.75) - 12));
    // Both paragraphs of the selection took the indents.
    w->RichEdit1->setSelection(5, 0);
    QCOMPARE(w->RichEdit1->firstIndent(), 19.0);
}

void TestTTexte::loadAndSave_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("qvt added") << u"lettre"_s << 1 << u"lettre.qvt"_s << true;
    QTest::newRow("rtf added") << u"lettre"_s << 2 << u"lettre.rtf"_s << true;
    QTest::newRow("txt added") << u"lettre"_s << 3 << u"lettre.txt"_s << false;
    QTest::newRow("dot in directory") << u"mes.docs/lettre"_s << 3 << u"mes.docs/lettre"_s << false;
    QTest::newRow("name says txt, filter says rtf") << u"notes.txt"_s << 1 << u"notes.txt"_s << true;
}

void TestTTexte::loadAndSave()
{
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(bool, rtf);
    QDir(dir->path()).mkpath(u"mes.docs"_s);
    auto w = window();
    int shownFilter = 0;
    w->setSaveDialogHook([&](QString &p, int &index) {
        shownFilter = index;
        p = path(typed);
        index = filter;
        return true;
    });
    QTest::keyClicks(w->RichEdit1, "Bonjour");
    w->Sauve(); // never saved: asks for a name
    QCOMPARE(shownFilter, 1);
    QVERIFY(errors.isEmpty());
    QCOMPARE(w->NomFichier(), path(written));
    QCOMPARE(w->windowTitle(), QFileInfo(written).fileName());
    QVERIFY(!w->isModified());
    const QByteArray bytes = readFile(path(written));
    if (rtf)
        QVERIFY(bytes.startsWith("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl") && bytes.contains(" Bonjour\r\n\\par }"));
    else
        QCOMPARE(bytes, QByteArray("Bonjour\r\n"));

    // An unmodified document is not written again.
    QFile::remove(path(written));
    w->Sauve();
    QVERIFY(!QFile::exists(path(written)));

    // A saved RTF file loads back.
    if (rtf) {
        w->RichEdit1->setPlainText(u"Bonjour"_s);
        w->RichEdit1->setModified(true);
        w->Sauve();
        auto other = window();
        other->Charge(path(written));
        QCOMPARE(other->RichEdit1->toPlainText(), u"Bonjour"_s);
        QCOMPARE(other->NomFichier(), path(written));
        QVERIFY(!other->isModified());
        QCOMPARE(other->RichEdit1->selStart(), 0);
        // Charge without SaveAs keeps filter 1: written as RTF whatever the name.
        other->RichEdit1->setSelection(7, 0);
        QTest::keyClicks(other->RichEdit1, "!");
        other->Sauve();
        QVERIFY(readFile(path(written)).contains(" Bonjour!\r\n"));
    }
}

void TestTTexte::saveAsCancelled()
{
    auto w = window();
    w->setSaveDialogHook([](QString &, int &) { return false; });
    QTest::keyClicks(w->RichEdit1, "x");
    w->SaveAs();
    w->Sauve();
    QVERIFY(w->NomFichier().isEmpty());
    QVERIFY(w->isModified());
    QCOMPARE(w->windowTitle(), u"Texte"_s);
    QVERIFY(errors.isEmpty());
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
}

void TestTTexte::failedSaveKeepsTheDocument()
{
    auto w = window();
    QDir(dir->path()).mkpath(u"dossier.qvt"_s); // a directory where the file should go
    writeFile(path(u"ancien.qvt"_s), "{\\rtf1 ancien\\par}");
    w->Charge(path(u"ancien.qvt"_s));
    QTest::keyClicks(w->RichEdit1, "nouveau ");
    w->setNomFichier(path(u"dossier.qvt"_s));
    w->Sauve();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(u"Ne peut"_s) || errors.first().startsWith(u"Erreur E/S"_s),
             qPrintable(errors.first()));
    QVERIFY(w->isModified());
    QVERIFY(QFileInfo(path(u"dossier.qvt"_s)).isDir());
    QCOMPARE(w->RichEdit1->toPlainText(), u"nouveau ancien"_s);
    // Closing with "Oui": the save fails again and the window stays open.
    answer = messageboxes::Answer::Oui;
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    // A file that cannot be read: reported, the window keeps its name for the next save.
    errors.clear();
    auto other = window();
    other->Charge(path(u"absent.qvt"_s));
    QCOMPARE(errors, QStringList{u"Fichier introuvable"_s});
}

void TestTTexte::plainTextSaveUsesDisplayedLines()
{
    auto w = window();
    w->resize(200, 300);
    QApplication::processEvents();
    w->RichEdit1->setPlainText(u"Un paragraphe assez long pour tenir sur plusieurs lignes.\ncourt"_s);
    const QStringList lines = w->RichEdit1->Lines();
    QVERIFY(lines.size() > 2);
    w->setNomFichier(path(u"lignes.txt"_s));
    w->Sauvetxt();
    QCOMPARE(readFile(path(u"lignes.txt"_s)), (lines.join(u"\r\n"_s) + u"\r\n"_s).toLatin1());

    // Characters the 8-bit file cannot hold: the user is asked first.
    w->RichEdit1->setPlainText(u"Ω"_s);
    w->RichEdit1->setModified(true);
    answer = messageboxes::Answer::Non;
    w->setSaveDialogHook([this](QString &p, int &index) {
        p = path(u"grec.txt"_s);
        index = 3;
        return true;
    });
    QVERIFY(!w->SaveAs());
    QCOMPARE(questions.size(), 1);
    QVERIFY(!QFile::exists(path(u"grec.txt"_s)));
    QVERIFY(w->isModified());
    answer = messageboxes::Answer::Oui;
    QVERIFY(w->SaveAs());
    QCOMPARE(readFile(path(u"grec.txt"_s)), QByteArray("?\r\n"));
    QVERIFY(!w->isModified());
}

void TestTTexte::closeQuestion_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveDialogAccepts");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("asked");
    QTest::newRow("unmodified") << false << int(messageboxes::Answer::Annuler) << true << true << false;
    QTest::newRow("non") << true << int(messageboxes::Answer::Non) << true << true << true;
    QTest::newRow("annuler") << true << int(messageboxes::Answer::Annuler) << true << false << true;
    QTest::newRow("oui, saved") << true << int(messageboxes::Answer::Oui) << true << true << true;
    QTest::newRow("oui, save cancelled") << true << int(messageboxes::Answer::Oui) << false << false << true;
}

void TestTTexte::closeQuestion()
{
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, saveDialogAccepts);
    QFETCH(bool, closes);
    QFETCH(bool, asked);
    this->answer = messageboxes::Answer(answer);
    auto w = window();
    w->setSaveDialogHook([&](QString &p, int &) {
        p = path(u"fermeture"_s);
        return saveDialogAccepts;
    });
    if (modified)
        QTest::keyClicks(w->RichEdit1, "x");
    QCOMPARE(w->close(), closes);
    QCOMPARE(!questions.isEmpty(), asked);
    if (asked) // a never-saved document goes by its caption
        QCOMPARE(questions.first(), u"Avertissement|Sauver modifications dans Texte ?"_s);
    QCOMPARE(QFile::exists(path(u"fermeture.qvt"_s)), answer == int(messageboxes::Answer::Oui) && saveDialogAccepts);
}

void TestTTexte::importInsertsLines()
{
    auto w = window();
    writeFile(path(u"a.txt"_s), "un\r\ndeux\xe9\n");
    writeFile(path(u"b.qvt"_s), "{\\rtf1 x\\par}");
    w->RichEdit1->setPlainText(u"[]"_s);
    w->RichEdit1->setSelection(1, 0);
    QString chosen = path(u"a.txt"_s);
    w->importDialogHook = [&] { return chosen; };
    w->Importer();
    QCOMPARE(w->RichEdit1->toPlainText(), u"[un\ndeuxé\n]"_s);
    w->Annule(); // one undo step
    QCOMPARE(w->RichEdit1->toPlainText(), u"[]"_s);
    chosen = path(u"b.qvt"_s); // read as text: the codes show
    w->Importer();
    QCOMPARE(w->RichEdit1->toPlainText(), u"[{\\rtf1 x\\par}\n]"_s);
    chosen.clear(); // cancelled
    w->Importer();
    QCOMPARE(w->RichEdit1->toPlainText(), u"[{\\rtf1 x\\par}\n]"_s);
    QVERIFY(errors.isEmpty());
}

void TestTTexte::textFileEncodingKept_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved"); // after appending "ç" and saving as text
    QTest::newRow("utf-8") << QByteArray("été\r\nœuvre €\r\n") << u"été\nœuvre €\n"_s
                           << QByteArray("été\r\nœuvre €ç\r\n");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "a\xE2\x82\xAC")
                                     << u"a€"_s
                                     << QByteArray("\xEF\xBB\xBF"
                                                   "a€ç\r\n");
    QTest::newRow("windows-1252") << QByteArray("\xE9t\xE9 \x80\r\n") << u"été €\n"_s
                                  << QByteArray("\xE9t\xE9 \x80\xE7\r\n");
    QTest::newRow("ascii: new files' encoding") << QByteArray("abc") << u"abc"_s << QByteArray("abc\xE7\r\n");
    QTest::newRow("broken utf-8 is 1252")
            << QByteArray("\xC3\xA9 \xE9") << u"Ã© é"_s << QByteArray("\xC3\xA9 \xE9\xE7\r\n");
}

void TestTTexte::textFileEncodingKept()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    // Opened as a document.
    writeFile(path(u"lu.txt"_s), file);
    auto w = window();
    w->Charge(path(u"lu.txt"_s));
    QCOMPARE(w->RichEdit1->toPlainText(), text);
    QTextCursor end(w->RichEdit1->document());
    end.movePosition(QTextCursor::End);
    if (text.endsWith(u'\n'))
        end.movePosition(QTextCursor::PreviousCharacter);
    end.insertText(u"ç"_s);
    w->setSaveDialogHook([this](QString &p, int &index) {
        p = path(u"lu.txt"_s);
        index = 3;
        return true;
    });
    w->SaveAs();
    w->Sauve();
    QCOMPARE(readFile(path(u"lu.txt"_s)), saved);
    QVERIFY(questions.isEmpty());
    // Imported into a new document, then saved as text: the same.
    writeFile(path(u"import.txt"_s), file);
    auto n = window();
    n->importDialogHook = [this] { return path(u"import.txt"_s); };
    n->Importer();
    QCOMPARE(n->RichEdit1->toPlainText(), text.endsWith(u'\n') ? text : text + u'\n');
    QCOMPARE(n->RichEdit1->textEncoding(), textfile::detect(file));
    QVERIFY(errors.isEmpty());
}

void TestTTexte::codeView()
{
    auto w = window();
    writeFile(path(u"codes.qvt"_s), kBoldCentred);
    w->Charge(path(u"codes.qvt"_s));
    w->Codes(true);
    QVERIFY(w->RichEdit1->plainTextMode());
    QVERIFY(w->RichEdit1->toPlainText().startsWith(u"{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl"_s));
    QVERIFY(w->RichEdit1->toPlainText().contains(u"\\b gras centr\\'e9"_s));
    QVERIFY(!w->isModified());
    // Edit the codes, save them as they are, and come back to the formatted view.
    QString codes = w->RichEdit1->toPlainText();
    codes.replace(u"gras centr\\'e9"_s, u"GRAS"_s);
    w->RichEdit1->setPlainText(codes);
    w->RichEdit1->setModified(true);
    w->Sauve();
    QCOMPARE(QString::fromLatin1(readFile(path(u"codes.qvt"_s))).replace(u"\r\n"_s, u"\n"_s), codes);
    w->Codes(false);
    QVERIFY(!w->RichEdit1->plainTextMode());
    QCOMPARE(w->RichEdit1->toPlainText(), u"normal\nGRAS\nminuscule\nimmense"_s);
    QVERIFY(!w->isModified());
    // A document never saved shows its codes too, and nothing typed is lost.
    auto fresh = window();
    QTest::keyClicks(fresh->RichEdit1, "neuf");
    fresh->Codes(true);
    QVERIFY(errors.isEmpty());
    QVERIFY(fresh->RichEdit1->toPlainText().contains(u"\\fs20 neuf"_s));
    QVERIFY(fresh->isModified());
    fresh->Codes(false);
    QCOMPARE(fresh->RichEdit1->toPlainText(), u"neuf"_s);
}

void TestTTexte::findWholeWordAndOverlap()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"le lendemain"_s);
    // "Continuer" (the menu) with nothing asked for yet opens the find dialog.
    QAction continueItem;
    w->FindDialog1Find(&continueItem);
    QVERIFY(w->FindDialog1->isVisible());
    w->FindDialog1->hide();
    w->Chercher();
    w->FindDialog1->FindEdit->setText(u"le"_s);
    w->FindDialog1->WholeWordBox->setChecked(true);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 0);
    QCOMPARE(w->RichEdit1->selLength(), 2);
    w->FindDialog1Find(); // "Continuer": no other whole word, round to the same one
    QCOMPARE(w->RichEdit1->selStart(), 0);
    w->FindDialog1->WholeWordBox->setChecked(false);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 3);
    w->FindDialog1Find(); // after the last match, round to the first
    QCOMPARE(w->RichEdit1->selStart(), 0);
    // From the caret, wherever it was put.
    w->RichEdit1->setSelection(2, 0);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 3);
    // Up: the one before the caret, then round from the end.
    w->FindDialog1->UpButton->setChecked(true);
    w->RichEdit1->setSelection(12, 0);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 3);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 0);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 3);
    w->FindDialog1->DownButton->setChecked(true);
    QVERIFY(questions.isEmpty());

    w->RichEdit1->setPlainText(u"aaa"_s);
    w->FindDialog1->FindEdit->setText(u"aa"_s);
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 0);
    w->FindDialog1Find(); // overlapping match
    QCOMPARE(w->RichEdit1->selStart(), 1);
    w->FindDialog1->MatchCaseBox->setChecked(true);
    w->FindDialog1->FindEdit->setText(u"AA"_s);
    w->Chercher();
    w->FindDialog1Find();
    QCOMPARE(w->RichEdit1->selStart(), 1); // not found: unchanged, and said
    QCOMPARE(questions, QStringList{u"Rechercher|« AA » est introuvable."_s});
}

void TestTTexte::findThroughTheDialog()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"un chat, deux chats"_s);
    w->Chercher();
    QVERIFY(w->FindDialog1->isVisible());
    QVERIFY(!w->FindDialog1->FindNextButton->isEnabled());
    QTest::keyClicks(w->FindDialog1->FindEdit, "chat");
    QVERIFY(w->FindDialog1->FindNextButton->isEnabled());
    QTest::mouseClick(w->FindDialog1->FindNextButton, Qt::LeftButton);
    QCOMPARE(w->RichEdit1->selText(), u"chat"_s);
    QCOMPARE(w->RichEdit1->selStart(), 3);
    QTest::mouseClick(w->FindDialog1->FindNextButton, Qt::LeftButton);
    QCOMPARE(w->RichEdit1->selStart(), 14);
    QTest::mouseClick(w->FindDialog1->CancelButton, Qt::LeftButton);
    QVERIFY(!w->FindDialog1->isVisible());
    // The options and text stay for the next use.
    w->Chercher();
    QCOMPARE(w->FindDialog1->FindEdit->text(), u"chat"_s);
}

void TestTTexte::replaceGoesOnAfterTheReplacement()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"a"_s);
    w->Remplacer();
    w->ReplaceDialog1->FindEdit->setText(u"a"_s);
    w->ReplaceDialog1->ReplaceEdit->setText(u"aa"_s);
    w->ReplaceDialog1Find();
    // The search goes on after the replacement (never inside it), round to the top.
    const int next[] = {0, 2, 0};
    for (int press = 1; press <= 3; ++press) {
        w->ReplaceDialog1Replace();
        QCOMPARE(w->RichEdit1->toPlainText(), QString(press + 1, u'a'));
        QCOMPARE(w->RichEdit1->selStart(), next[press - 1]);
        QCOMPARE(w->RichEdit1->selLength(), 1);
    }
    // A selection that is not the searched text is not replaced: the press finds instead.
    w->RichEdit1->setPlainText(u"xyz a"_s);
    w->Remplacer();
    w->RichEdit1->setSelection(0, 2);
    w->ReplaceDialog1Replace();
    QCOMPARE(w->RichEdit1->toPlainText(), u"xyz a"_s);
    QCOMPARE(w->RichEdit1->selStart(), 4);
}

void TestTTexte::replaceAll()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"Le chat et le chien; lequel ?"_s);
    w->Remplacer();
    w->ReplaceDialog1->FindEdit->setText(u"le"_s);
    w->ReplaceDialog1->ReplaceEdit->setText(u"la"_s);
    w->ReplaceDialog1->WholeWordBox->setChecked(true);
    QTest::mouseClick(w->ReplaceDialog1->ReplaceAllButton, Qt::LeftButton);
    QCOMPARE(w->RichEdit1->toPlainText(), u"la chat et la chien; lequel ?"_s);
    w->Annule();
    QCOMPARE(w->RichEdit1->toPlainText(), u"Le chat et le chien; lequel ?"_s);
    // A replacement holding the searched text ends.
    w->RichEdit1->setPlainText(u"aaa"_s);
    w->ReplaceDialog1->WholeWordBox->setChecked(false);
    w->ReplaceDialog1->FindEdit->setText(u"a"_s);
    w->ReplaceDialog1->ReplaceEdit->setText(u"aa"_s);
    w->ReplaceDialog1ReplaceAll();
    QCOMPARE(w->RichEdit1->toPlainText(), u"aaaaaa"_s);
}

void TestTTexte::editingCommands()
{
    auto w = window();
    QTest::keyClicks(w->RichEdit1, "abc def");
    w->Seltout();
    QCOMPARE(w->RichEdit1->selLength(), 7);
    w->RichEdit1->setSelection(4, 3);
    w->Coupe();
    QCOMPARE(w->RichEdit1->toPlainText(), u"abc "_s);
    w->RichEdit1->setSelection(0, 0);
    w->Colle();
    QCOMPARE(w->RichEdit1->toPlainText(), u"defabc "_s);
    w->Annule();
    QCOMPARE(w->RichEdit1->toPlainText(), u"abc "_s);
    w->RichEdit1->setSelection(0, 3);
    w->Copie();
    w->RichEdit1->setSelection(4, 0);
    w->Colle();
    QCOMPARE(w->RichEdit1->toPlainText(), u"abc abc"_s);
}

void TestTTexte::insertField()
{
    auto w = window();
    w->RichEdit1->setPlainText(u"A Paris"_s);
    w->RichEdit1->setSelection(2, 3);
    frame->field = u"Ville"_s;
    w->InsChamp();
    QCOMPARE(w->RichEdit1->toPlainText(), u"A [Ville]is"_s);
    frame->field.clear(); // cancelled
    w->InsChamp();
    QCOMPARE(w->RichEdit1->toPlainText(), u"A [Ville]is"_s);
}

void TestTTexte::mailMerge()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir->path());
    auto w = window();
    w->RichEdit1->setPlainText(u"Cher [Nom], [Rien] [Nom]"_s);
    frame->firstRecord = 2;
    frame->lastRecord = 4;
    w->Publipostage();
    QVERIFY(errors.isEmpty());
    QVERIFY(readFile(path(u"Mail.tmp"_s)).contains("Cher [Nom], [Rien] [Nom]\r\n\\par }"));
    QCOMPARE(w->RichEdit1->toPlainText(), u"Cher [Nom], [Rien] [Nom]"_s); // the template stays
    const QStringList pages = pdfText(frame->pdf).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(pages[i].simplified(), u"Cher Client%1, [Rien] Client%1"_s.arg(i + 2));
    // An empty range prints nothing but leaves the template; no database says so.
    QFile::remove(frame->pdf);
    QFile::remove(path(u"Mail.tmp"_s));
    frame->lastRecord = 1;
    w->Publipostage();
    QVERIFY(QFile::exists(path(u"Mail.tmp"_s)));
    QVERIFY(!QFile::exists(frame->pdf));
    frame->hasDatabase = false;
    w->Publipostage();
    QCOMPARE(questions, QStringList{u"Information|Aucune base de données ouverte"_s});
    QVERIFY(!QFile::exists(frame->pdf));
    QDir::setCurrent(before);
}

void TestTTexte::printsThroughTheFramePrinter()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    auto w = window();
    w->RichEdit1->setPlainText(u"Lettre imprimée"_s);
    QCOMPARE(w->Mh(10), 10 * (frame->printer().width() / frame->printer().widthMM()));
    QCOMPARE(w->Mv(10), 10 * (frame->printer().height() / frame->printer().heightMM()));
    w->setPageRect(
            QRect(w->Mh(50), w->Mv(20), frame->printer().width() - w->Mh(70), frame->printer().height() - w->Mv(40)));
    w->Imprime();
    QVERIFY(errors.isEmpty());
    QVERIFY(pdfText(frame->pdf).contains(u"Lettre imprimée"_s));
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, frame->pdf, u"-"_s});
    p.waitForFinished(20000);
    const QString box = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = box.indexOf(u"xMin=\""_s);
    const double xMin = box.mid(at + 6, 10).section(u'"', 0, 0).toDouble();
    const double expected =
            frame->printer().pageRect(QPrinter::Point).left() + w->Mh(50) * 72.0 / frame->printer().resolution();
    QVERIFY2(qAbs(xMin - expected) < 1.5, qPrintable(u"%1 vs %2"_s.arg(xMin).arg(expected)));
    // No output at all: the printing error, nothing else happens.
    frame->printer().setOutputFileName(QString());
    w->Imprime();
    QCOMPARE(errors, QStringList{u"Aucune imprimante par défaut sélectionnée"_s});
}

void TestTTexte::headlessConversions()
{
    ConverterRegistry registry;
    TextModule::registerConverters(registry);
    writeFile(path(u"lettre.qvt"_s), kBoldCentred);
    writeFile(path(u"autre.rtf"_s), "{\\rtf1 un\\line deux\\par \\u937?\\par}");
    for (const char *fmt : {"txt", "rtf", "pdf"}) {
        QVERIFY(registry.find(QString::fromLatin1(fmt), u"qvt"_s));
        QVERIFY(registry.find(QString::fromLatin1(fmt), u"rtf"_s));
    }
    registry.find(u"txt"_s, u"qvt"_s)->run({path(u"lettre.qvt"_s), path(u"lettre.txt"_s), {}});
    QCOMPARE(readFile(path(u"lettre.txt"_s)), QByteArray("normal\r\ngras centr\xe9\r\nminuscule\r\nimmense\r\n"));
    registry.find(u"txt"_s, u"rtf"_s)->run({path(u"autre.rtf"_s), path(u"autre.txt"_s), {}});
    QCOMPARE(readFile(path(u"autre.txt"_s)), QByteArray("un\r\ndeux\r\n?\r\n"));
    registry.find(u"rtf"_s, u"rtf"_s)->run({path(u"autre.rtf"_s), path(u"autre2.rtf"_s), {}});
    QCOMPARE(readFile(path(u"autre2.rtf"_s)).split('\n').mid(2),
             (QList<QByteArray>{"\\deflang1036\\pard\\plain\\f2\\fs24 un\\line deux\r",
                                "\\par \\plain\\f2\\fs24 \\u937\\'3f\r", "\\par }\r", ""}));
    registry.find(u"pdf"_s, u"qvt"_s)->run({path(u"lettre.qvt"_s), path(u"lettre.pdf"_s), {}});
    QVERIFY(readFile(path(u"lettre.pdf"_s)).startsWith("%PDF"));
    if (!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QVERIFY(pdfText(path(u"lettre.pdf"_s)).contains(u"gras centré"_s));
    QVERIFY_THROWS_EXCEPTION(VelmoraError,
                             registry.find(u"rtf"_s, u"qvt"_s)->run({path(u"absent.qvt"_s), path(u"x.rtf"_s), {}}));
}

QTEST_MAIN(TestTTexte)
#include "tst_ttexte.moc"
