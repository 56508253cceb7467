// The text tool forms driven as a user would: keys and clicks on the real widgets, answers
// read through each form's Result, accept flags across uses and the close box.
#include "text/ui/tcaract.h"
#include "text/ui/tcasse.h"
#include "text/ui/tdatheur.h"
#include "text/ui/tecran.h"
#include "text/ui/tenveloppes.h"
#include "text/ui/tglos.h"
#include "text/ui/tmep.h"
#include "text/ui/tparagraf.h"
#include "text/ui/ttabul.h"

#include "common/ui/fonts.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void typeText(QWidget *w, const QString &s)
{
    for (QChar ch : s)
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
}

// Shows a form as the program does before its modal loop, and waits for it.
void open(QDialog &d)
{
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
}

// The window's close box: hides the form without pressing any of its buttons.
void closeBox(QDialog &d)
{
    d.close();
    QVERIFY(!d.isVisible());
}

void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void selectRow(QListWidget *list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

class TestTextToolsDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void dateAndTimeList();
    void dateAndTimeAnswers();
    void caseDialog();
    void characterTable();
    void characterTableAnswers();
    void tabStopsList();
    void tabStopsResult();
    void paragraphDialog();
    void pageSetupDialog();
    void envelopeDialog();
    void glossaryKeyFilter();
    void glossaryEditing();
    void glossaryAnswers();
    void glossaryFile();
    void previewLayout();
};

void TestTextToolsDialogs::initTestCase()
{
    fonts::installSubstitutions();
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Ok; });
}

void TestTextToolsDialogs::dateAndTimeList()
{
    TDatHeur d;
    d.clock = [] { return QDateTime(QDate(2026, 3, 1), QTime(14, 7)); };
    open(d);
    QCOMPARE(d.windowTitle(), u"Date et heure"_s);
    QCOMPARE(items(d.ListBox1),
             (QStringList{u"01/03/2026"_s, u"01 mars 2026"_s, u"01 mars 2026"_s, u"dim. 01 mars 2026"_s,
                          u"dimanche 01 mars 2026"_s, u"dimanche 01 mars 2026"_s, u"14 h 07"_s, u"14:07"_s}));
    d.reject();
    // Shown again: the list is rebuilt with the time of that moment.
    d.clock = [] { return QDateTime(QDate(2026, 8, 15), QTime(9, 30)); };
    open(d);
    QCOMPARE(d.ListBox1->count(), 8);
    QCOMPARE(d.ListBox1->item(1)->text(), u"15 août 2026"_s);
    QCOMPARE(d.ListBox1->item(7)->text(), u"09:30"_s);
}

void TestTextToolsDialogs::dateAndTimeAnswers()
{
    TDatHeur d;
    // Opened on the first format: Enter inserts it at once.
    open(d);
    QCOMPARE(d.ListBox1->currentRow(), 0);
    QVERIFY(d.ListBox1->item(0)->isSelected());
    QTest::keyClick(d.ListBox1, Qt::Key_Return);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), u"dd/mm/yyyy"_s);
    // OK with no line chosen: nothing.
    open(d);
    d.ListBox1->clearSelection();
    d.ListBox1->setCurrentRow(-1);
    click(d.OkButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), QString());
    // The seventh line, OK: its format.
    open(d);
    selectRow(d.ListBox1, 6);
    click(d.OkButton);
    QCOMPARE(d.Result(), u"hh \"h\" nn"_s);
    // Closed with the close box after that: the flag was cleared when shown.
    open(d);
    selectRow(d.ListBox1, 6);
    closeBox(d);
    QCOMPARE(d.Result(), QString());
    // Enter in the list accepts.
    open(d);
    selectRow(d.ListBox1, 0);
    QTest::keyClick(d.ListBox1, Qt::Key_Down);
    QTest::keyClick(d.ListBox1, Qt::Key_Return);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), u"dd mmm yyyy"_s);
    // A double click accepts.
    open(d);
    const QRect r = d.ListBox1->visualItemRect(d.ListBox1->item(7));
    QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), u"hh:nn"_s);
    // "Annuler", and Escape, give nothing.
    open(d);
    selectRow(d.ListBox1, 2);
    click(d.CancelButton);
    QCOMPARE(d.Result(), QString());
    open(d);
    selectRow(d.ListBox1, 2);
    QTest::keyClick(d.ListBox1, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), QString());
}

void TestTextToolsDialogs::caseDialog()
{
    TCasse d;
    open(d);
    QCOMPARE(d.windowTitle(), u"Changer la casse"_s);
    QVERIFY(d.Minuscules->isChecked());
    click(d.OkButton);
    QCOMPARE(d.Result(), 1);
    open(d);
    click(d.Majuscules);
    QTest::keyClick(&d, Qt::Key_Return); // OK answers Enter
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), 2);
    // The choice is kept; Escape cancels.
    open(d);
    QVERIFY(d.Majuscules->isChecked());
    QTest::keyClick(d.Majuscules, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), 0);
    // The close box after an accepted use: not accepted (cleared when shown).
    open(d);
    click(d.OkButton);
    open(d);
    closeBox(d);
    QCOMPARE(d.Result(), 0);
}

void TestTextToolsDialogs::characterTable()
{
    TCaract d;
    d.Init({u"Liberation Sans"_s, u"Liberation Serif"_s, u"DejaVu Sans"_s});
    QCOMPARE(d.ComboBox1->count(), 3);
    QCOMPARE(d.ComboBox1->currentText(), u"Times New Roman"_s);
    open(d);
    QCOMPARE(d.windowTitle(), u"Table des caractères"_s);
    QCOMPARE(d.StringGrid1->rowCount(), 8);
    QCOMPARE(d.StringGrid1->columnCount(), 28);
    QCOMPARE(d.StringGrid1->item(0, 0)->text(), u" "_s);
    QCOMPARE(d.StringGrid1->item(0, 27)->text(), u";"_s); // 59
    QCOMPARE(d.StringGrid1->item(7, 0)->text(), u"ä"_s); // 228
    QCOMPARE(d.StringGrid1->item(7, 27)->text(), u"ÿ"_s); // 255
    QCOMPARE(d.StringGrid1->item(3, 12)->text(), u"€"_s); // 128 in Windows-1252
    QCOMPARE(d.StringGrid1->item(3, 13)->text(), QString()); // 129 undefined
    // The whole grid shows without scrolling, 20-pixel cells.
    QCOMPARE(d.StringGrid1->horizontalHeader()->sectionSize(5), 20);
    QVERIFY(d.StringGrid1->viewport()->width() >= 28 * 20);
    QVERIFY(d.StringGrid1->viewport()->height() >= 8 * 20);
    // First cell current, its character in the preview, the grid focused.
    QCOMPARE(d.StringGrid1->currentRow(), 0);
    QCOMPARE(d.StringGrid1->currentColumn(), 0);
    QCOMPARE(d.Edit1->text(), u" "_s);
    QVERIFY(d.Edit1->isReadOnly());
    QTRY_VERIFY(d.StringGrid1->hasFocus());
    // A click shows the clicked character; the keys move the preview with the cell.
    const QRect cell = d.StringGrid1->visualItemRect(d.StringGrid1->item(1, 5));
    QTest::mouseClick(d.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(d.Edit1->text(), u"A"_s);
    QTest::keyClick(d.StringGrid1, Qt::Key_Right);
    QCOMPARE(d.Edit1->text(), u"B"_s);
    QTest::keyClick(d.StringGrid1, Qt::Key_Down);
    QCOMPARE(d.Edit1->text(), u"^"_s); // 66 + 28 = 94
    // Another font: grid and preview take it, the characters stay.
    d.ComboBox1->setCurrentIndex(1);
    QCOMPARE(d.StringGrid1->font().family(), u"Liberation Serif"_s);
    QCOMPARE(d.Edit1->font().family(), u"Liberation Serif"_s);
    QCOMPARE(d.StringGrid1->item(1, 5)->text(), u"A"_s);
}

void TestTextToolsDialogs::characterTableAnswers()
{
    TCaract d;
    open(d);
    const QRect cell = d.StringGrid1->visualItemRect(d.StringGrid1->item(7, 5));
    QTest::mouseClick(d.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(d.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), u"é"_s);
    // Shown again: back to the first cell; "Annuler" gives nothing.
    open(d);
    QCOMPARE(d.Edit1->text(), u" "_s);
    click(d.CancelButton);
    QCOMPARE(d.Result(), QString());
    // The close box after an accepted use: nothing (the flag is cleared when shown).
    open(d);
    click(d.OkButton);
    QCOMPARE(d.Result(), u" "_s);
    open(d);
    closeBox(d);
    QCOMPARE(d.Result(), QString());
    // An undefined code: nothing to insert.
    open(d);
    d.StringGrid1->setCurrentCell(3, 13);
    click(d.OkButton);
    QCOMPARE(d.Result(), QString());
}

void TestTextToolsDialogs::tabStopsList()
{
    TTabul d;
    const int u = d.unitWidth();
    QVERIFY(u > 3);
    d.Init({8.0 * u, 0, u - 1.0, 3.0 * u + 1});
    QCOMPARE(items(d.ListBox1), (QStringList{u"8"_s, u"3"_s}));
    open(d);
    QCOMPARE(d.windowTitle(), u"Tabulations"_s);
    QTRY_VERIFY(d.Edit1->hasFocus());
    // Enter in the edit defines a new line and empties the edit.
    QTest::keyClicks(d.Edit1, u"12"_s);
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    QVERIFY(d.isVisible()); // Enter does not close the dialog
    QCOMPARE(items(d.ListBox1), (QStringList{u"8"_s, u"3"_s, u"12"_s}));
    QVERIFY(d.Edit1->text().isEmpty());
    // A click copies a line into the edit; "Définir" then replaces it.
    selectRow(d.ListBox1, 1);
    QCOMPARE(d.Edit1->text(), u"3"_s);
    d.Edit1->setText(u"4"_s);
    click(d.DefineButton);
    QCOMPARE(items(d.ListBox1), (QStringList{u"8"_s, u"4"_s, u"12"_s}));
    // The Delete key in the list removes the selected line.
    selectRow(d.ListBox1, 0);
    QTest::keyClick(d.ListBox1, Qt::Key_Delete);
    QCOMPARE(items(d.ListBox1), (QStringList{u"4"_s, u"12"_s}));
    QVERIFY(d.Edit1->text().isEmpty());
    // "Supprimer" with nothing selected removes nothing.
    click(d.DeleteButton);
    QCOMPARE(d.ListBox1->count(), 2);
    click(d.OkButton);
    QList<double> stops{100, 200, 300};
    d.Result(stops);
    QCOMPARE(stops, (QList<double>{4.0 * u, 12.0 * u, 300}));
}

void TestTextToolsDialogs::tabStopsResult()
{
    TTabul d;
    const int u = d.unitWidth();
    d.Init({});
    open(d);
    for (const char *line : {"10", "x", "20"}) {
        QTest::keyClicks(d.Edit1, QString::fromLatin1(line));
        click(d.DefineButton);
    }
    click(d.OkButton);
    QList<double> stops;
    try {
        d.Result(stops);
        QFAIL("no error");
    } catch (const VelmoraError &e) {
        QCOMPARE(e.message(), u"'x' n'est pas une valeur entière correcte"_s);
    }
    QCOMPARE(stops, QList<double>{10.0 * u}); // the line before the bad one is set
    // The close box keeps the previous outcome (accepted): the list is used again.
    open(d);
    selectRow(d.ListBox1, 1);
    QTest::keyClick(d.ListBox1, Qt::Key_Delete);
    closeBox(d);
    stops.clear();
    d.Result(stops);
    QCOMPARE(stops, (QList<double>{10.0 * u, 20.0 * u}));
    // "Annuler": nothing set.
    open(d);
    QTest::keyClick(d.Edit1, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    stops = {1, 2};
    d.Result(stops);
    QCOMPARE(stops, (QList<double>{1, 2}));
}

void TestTextToolsDialogs::paragraphDialog()
{
    TParagraf d;
    d.Init(36, 0, -18, false, false, true, true);
    open(d);
    QCOMPARE(d.windowTitle(), u"Format paragraphe"_s);
    QCOMPARE(d.LeftField->value(), 13);
    QCOMPARE(d.RightField->value(), 0);
    QCOMPARE(d.FirstField->value(), -6);
    QVERIFY(d.AlignCenter->isChecked());
    QVERIFY(d.Puces->isChecked());
    click(d.OkButton);
    int left, right, first;
    bool l, r, c, bullets;
    d.Result(left, right, first, l, r, c, bullets);
    QCOMPARE(left, 37);
    QCOMPARE(right, 0);
    QCOMPARE(first, -17);
    QVERIFY(c && !l && !r && bullets);
    // New values typed; an emptied field reads 0.
    open(d);
    d.LeftField->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(d.LeftField->findChild<QLineEdit *>(), u"10"_s);
    d.RightField->findChild<QLineEdit *>()->clear();
    click(d.AlignRight);
    click(d.Puces);
    click(d.OkButton);
    d.Result(left, right, first, l, r, c, bullets);
    QCOMPARE(left, 28);
    QCOMPARE(right, 0);
    QVERIFY(r && !l && !c && !bullets);
    // The close box keeps the previous outcome (accepted).
    open(d);
    closeBox(d);
    left = -5;
    d.Result(left, right, first, l, r, c, bullets);
    QCOMPARE(left, 28);
    // "Annuler" (Escape in a field): left -1.
    open(d);
    QTest::keyClick(d.FirstField, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    d.Result(left, right, first, l, r, c, bullets);
    QCOMPARE(left, -1);
    // A justified paragraph ticks no alignment and gives none back.
    d.Init(0, 0, 0, false, false, false, false);
    open(d);
    QVERIFY(!d.AlignLeft->isChecked() && !d.AlignCenter->isChecked() && !d.AlignRight->isChecked());
    click(d.OkButton);
    d.Result(left, right, first, l, r, c, bullets);
    QVERIFY(!l && !r && !c);
}

void TestTextToolsDialogs::pageSetupDialog()
{
    TMep d;
    QCOMPARE(d.MargeGauche->value(), 20); // design value, replaced by Init before every use
    d.Init(0, 0, 0, 0);
    open(d);
    QCOMPARE(d.windowTitle(), u"Mise en page"_s);
    QCOMPARE(d.size(), QSize(368, 174));
    for (QSpinBox *f : {d.MargeGauche, d.MargeHaute, d.MargeDroite, d.MargeBasse})
        QCOMPARE(f->value(), 0);
    int l = 0, t = 0, r = 0, b = 0;
    // Not accepted yet: the close box gives left -1.
    closeBox(d);
    d.Result(l, t, r, b);
    QCOMPARE(l, -1);
    d.Init(20, 15, 20, 25);
    open(d);
    click(d.OkButton);
    d.Result(l, t, r, b);
    QCOMPARE(QList<int>({l, t, r, b}), QList<int>({20, 15, 20, 25}));
    // The close box after an accepted use gives the fields again.
    d.Init(1, 2, 3, 4);
    open(d);
    closeBox(d);
    d.Result(l, t, r, b);
    QCOMPARE(QList<int>({l, t, r, b}), QList<int>({1, 2, 3, 4}));
    // Escape anywhere cancels: in a field, on a button, on the dialog.
    for (QWidget *target : std::initializer_list<QWidget *>{d.MargeHaute, d.OkButton, &d}) {
        open(d);
        click(d.OkButton);
        open(d);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        d.Result(l, t, r, b);
        QCOMPARE(l, -1);
    }
}

void TestTextToolsDialogs::envelopeDialog()
{
    TEnveloppes d;
    d.SetExp({u"Marie Dupré"_s, u"3, rue des Lilas"_s, u"75011 Paris"_s, QString()});
    open(d);
    QCOMPARE(d.windowTitle(), u"Enveloppes"_s);
    QCOMPARE(d.size(), QSize(407, 292));
    QCOMPARE(d.Expediteur[1]->text(), u"3, rue des Lilas"_s);
    typeText(d.Destinataire[0], u"Jean Léger"_s);
    typeText(d.Destinataire[1], QString(40, u'x'));
    QCOMPARE(d.Destinataire[1]->text().size(), 35);
    d.Expediteur[3]->setText(u"France"_s);
    click(d.OkButton);
    const QStringList r = d.Result();
    QCOMPARE(r.size(), 8);
    QCOMPARE(r[0], u"Jean Léger"_s);
    QCOMPARE(r[1], QString(35, u'x'));
    QCOMPARE(r[7], u"France"_s);
    QCOMPARE(d.GetExp(), (QStringList{u"Marie Dupré"_s, u"3, rue des Lilas"_s, u"75011 Paris"_s, u"France"_s}));
    // Shown again: the recipient is emptied, the sender kept.
    open(d);
    for (QLineEdit *e : d.Destinataire)
        QVERIFY(e->text().isEmpty());
    QCOMPARE(d.Expediteur[0]->text(), u"Marie Dupré"_s);
    typeText(d.Destinataire[0], u"Quelqu'un"_s);
    QTest::keyClick(d.Destinataire[0], Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), QStringList(8, QString()));
    // A sender line longer than the field allows, read from the address file, is kept.
    const QString longLine = QString(50, u'a');
    d.SetExp({longLine});
    QCOMPARE(d.GetExp().first(), longLine);
}

void TestTextToolsDialogs::glossaryKeyFilter()
{
    TGlos d;
    open(d);
    QCOMPARE(d.windowTitle(), u"Glossaire"_s);
    QCOMPARE(d.size(), QSize(536, 343));
    d.Edit1->setFocus();
    typeText(d.Edit1, u"aB1é-c d"_s);
    QCOMPARE(d.Edit1->text(), u"ABCD"_s);
    QTest::keyClick(d.Edit1, Qt::Key_Backspace);
    QCOMPARE(d.Edit1->text(), u"ABC"_s);
    QTest::keyClick(d.Edit1, Qt::Key_Left);
    QTest::keyClick(d.Edit1, Qt::Key_Delete);
    QCOMPARE(d.Edit1->text(), u"AB"_s);
    // Pasted text keeps only its letters, upper-cased.
    QGuiApplication::clipboard()->setText(u"x-y z"_s);
    QTest::keyClick(d.Edit1, Qt::Key_End);
    QTest::keyClick(d.Edit1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(d.Edit1->text(), u"ABXYZ"_s);
    // Edit2 takes any text.
    typeText(d.Edit2, u"Très cordialement, 1 €"_s);
    QCOMPARE(d.Edit2->text(), u"Très cordialement, 1 €"_s);
    QCOMPARE(d.Edit2->maxLength(), 1024);
}

void TestTextToolsDialogs::glossaryEditing()
{
    TGlos d;
    open(d);
    QVERIFY(!d.GloModified());
    d.Edit1->setText(u"CDT"_s);
    d.Edit2->setText(u"Cordialement"_s);
    click(d.AddButton);
    QCOMPARE(d.Edit1->text(), QString()); // both fields cleared for the next one
    QCOMPARE(d.Edit2->text(), QString());
    d.Edit1->setText(u"ADR"_s);
    d.Edit2->setText(u"3, rue des Lilas"_s);
    QTest::keyClick(d.Edit2, Qt::Key_Return); // Enter in the text adds too
    QVERIFY(d.isVisible());
    QCOMPARE(d.glossary().entries(), (QStringList{u"CDT\tCordialement"_s, u"ADR\t3, rue des Lilas"_s}));
    QVERIFY(d.GloModified());
    // A click shows the entry in the edits; "Ajouter" then replaces it.
    selectRow(d.ListBox1, 0);
    QCOMPARE(d.Edit1->text(), u"CDT"_s);
    QCOMPARE(d.Edit2->text(), u"Cordialement"_s);
    d.Edit2->setText(u"Bien cordialement"_s);
    click(d.AddButton);
    QCOMPARE(d.glossary().entries().first(), u"CDT\tBien cordialement"_s);
    QCOMPARE(d.ListBox1->count(), 2);
    // No test is made: an empty abbreviation is stored as typed.
    d.ListBox1->setCurrentRow(-1);
    d.Edit1->clear();
    d.Edit2->setText(u"rien"_s);
    click(d.AddButton);
    QCOMPARE(d.glossary().entries().last(), u"\trien"_s);
    // "Supprimer" removes the selected entry.
    selectRow(d.ListBox1, 2);
    click(d.DeleteButton);
    QCOMPARE(d.ListBox1->count(), 2);
    QCOMPARE(d.glossary().count(), 2);
    // A text the glossary file cannot hold is refused with a message.
    QStringList shown;
    messageboxes::setResponder([&](const messageboxes::Shown &s) {
        shown << s.text;
        return messageboxes::Answer::Ok;
    });
    d.ListBox1->setCurrentRow(-1);
    d.Edit1->setText(u"GR"_s);
    d.Edit2->setText(u"Ω"_s);
    click(d.AddButton);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(d.glossary().count(), 2);
    messageboxes::setResponder([](const messageboxes::Shown &) { return messageboxes::Answer::Ok; });
    // After "Ajouter" no entry stays selected: the next one typed is added, not put in the
    // place of the one just changed.
    selectRow(d.ListBox1, 0);
    d.Edit2->setText(u"Très cordialement"_s);
    click(d.AddButton);
    d.Edit1->setText(u"TEL"_s);
    d.Edit2->setText(u"01 23 45 67 89"_s);
    click(d.AddButton);
    QCOMPARE(d.glossary().entries(),
             (QStringList{u"CDT\tTrès cordialement"_s, u"ADR\t3, rue des Lilas"_s, u"TEL\t01 23 45 67 89"_s}));
    // An abbreviation already listed is changed in its place, not listed twice.
    d.Edit1->setText(u"ADR"_s);
    d.Edit2->setText(u"5, rue des Roses"_s);
    click(d.AddButton);
    QCOMPARE(d.glossary().entries().at(1), u"ADR\t5, rue des Roses"_s);
    QCOMPARE(d.ListBox1->count(), 3);
}

void TestTextToolsDialogs::glossaryAnswers()
{
    TGlos d;
    open(d);
    d.Edit1->setText(u"CDT"_s);
    d.Edit2->setText(u"Cordialement"_s);
    click(d.AddButton);
    // "Insérer" with an entry selected: its text.
    selectRow(d.ListBox1, 0);
    click(d.InsertButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), u"Cordialement"_s);
    // Reopened: list and edits kept, flag cleared; the close box gives nothing.
    open(d);
    QCOMPARE(d.ListBox1->count(), 1);
    QCOMPARE(d.Edit1->text(), u"CDT"_s);
    closeBox(d);
    QCOMPARE(d.Result(), QString());
    // "Annuler", "Fermer", Escape: nothing.
    for (QPushButton *b : {d.CancelButton, d.CloseButton}) {
        open(d);
        selectRow(d.ListBox1, 0);
        click(b);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.Result(), QString());
    }
    open(d);
    QTest::keyClick(d.Edit2, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), QString());
    // "Insérer" with nothing selected: nothing.
    open(d);
    d.ListBox1->setCurrentRow(-1);
    click(d.InsertButton);
    QCOMPARE(d.Result(), QString());
}

void TestTextToolsDialogs::glossaryFile()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        QFile f(u"Velmora.glo"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("CDT\tCordialement\nABC\tpremier\r\nABC\tsecond");
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(u"xdg"_s)));
    TGlos d;
    d.ChargeGlo();
    qunsetenv("XDG_DATA_HOME");
    // Brought into the per-user data folder, and read from there.
    QCOMPARE(d.GloPath(), dir.filePath(u"xdg/velmora/Velmora.glo"_s));
    QCOMPARE(d.ListBox1->count(), 3);
    QVERIFY(!d.GloModified());
    // Unchanged: the file is not written.
    const QString out = dir.filePath(u"out/Velmora.glo"_s);
    QDir().mkpath(dir.filePath(u"out"_s));
    d.SauveGlo(out);
    QVERIFY(!QFile::exists(out));
    // Opening and closing the dialog changes nothing either.
    open(d);
    click(d.CloseButton);
    d.SauveGlo(out);
    QVERIFY(!QFile::exists(out));
    // "Supprimer" with nothing selected counts as a change: written with the same content.
    open(d);
    d.ListBox1->setCurrentRow(-1);
    click(d.DeleteButton);
    click(d.CloseButton);
    d.SauveGlo(out);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("CDT\tCordialement\r\nABC\tpremier\r\nABC\tsecond\r\n"));
    QVERIFY(!d.GloModified());
    QDir::setCurrent(previous);
}

void TestTextToolsDialogs::previewLayout()
{
    TEcran d;
    d.setDocument(nullptr, QSize(2480, 3508));
    d.resize(1024, 768);
    QCOMPARE(d.windowTitle(), u"Aperçu avant impression"_s);
    QCOMPARE(d.CloseButton->x(), 904);
    QCOMPARE(d.Panel2->width(), 472);
    QCOMPARE(d.Panel2->height(), 668);
    QCOMPARE(d.Panel2->x(), 276);
    QCOMPARE(d.PaintBox1->geometry(), QRect(2, 2, 468, 664));
    QCOMPARE(d.pageCount(), 0);
    QVERIFY(!d.NextButton->isEnabled());
    QVERIFY(!d.PreviousButton->isEnabled());
    open(d);
    click(d.CloseButton);
    QVERIFY(!d.isVisible());
}

QTEST_MAIN(TestTextToolsDialogs)
#include "tst_texttoolsdialogs.moc"
