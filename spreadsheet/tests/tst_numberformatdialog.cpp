// The number format dialog: each category makes the pattern the display and the file
// expect, patterns read back into the same choice, the preview shows the active cell, and
// a format applied to the selection is undone as one step; the patterns survive a save.
#include "common/ui/errorhandler.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/sheetmodel.h"
#include "spreadsheet/ui/spreadsheettools.h"
#include "spreadsheet/ui/tf1book.h"
#include "spreadsheet/ui/tnombre.h"
#include "spreadsheet/ui/ttableur.h"
#include "common/testsupport/testframe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace sheet;
using Choice = NumberFormatChoice;

Q_DECLARE_METATYPE(NumberFormatChoice)

class TestNumberFormatDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void patterns_data();
    void patterns();
    void patternsSurviveTheFile();
    void dialogAppliesToTheSelection();
    void dialogShowsTheCellsFormat();
};

void TestNumberFormatDialog::initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

void TestNumberFormatDialog::patterns_data()
{
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("colour");
    auto make = [](Choice::Category cat, int decimals = 2, bool thousands = true, bool red = false,
                   const QString &currency = u"€"_qs, const QString &form = {}) {
        Choice c;
        c.category = cat;
        c.decimals = decimals;
        c.thousands = thousands;
        c.negativeRed = red;
        c.currency = currency;
        c.form = form;
        return c;
    };
    QTest::newRow("standard") << make(Choice::Standard) << QString() << 1234.5 << u"1234,5"_qs << -1;
    QTest::newRow("number") << make(Choice::Number, 2) << u"# ##0,00"_qs << 1234.5 << u"1 234,50"_qs << -1;
    QTest::newRow("number, no separator")
            << make(Choice::Number, 1, false) << u"0,0"_qs << 1234.56 << u"1234,6"_qs << -1;
    QTest::newRow("negative in red") << make(Choice::Number, 0, true, true) << u"# ##0;[Rouge]-# ##0"_qs << -1234.4
                                     << u"-1 234"_qs << 0xff0000;
    QTest::newRow("positive of a red format")
            << make(Choice::Number, 0, true, true) << u"# ##0;[Rouge]-# ##0"_qs << 12.0 << u"12"_qs << -1;
    QTest::newRow("euros") << make(Choice::Currency, 2) << u"# ##0,00 €"_qs << 1234.5 << u"1 234,50 €"_qs << -1;
    QTest::newRow("francs in red") << make(Choice::Currency, 0, true, true, u"F"_qs) << u"# ##0 F;[Rouge]-# ##0 F"_qs
                                   << -50.0 << u"-50 F"_qs << 0xff0000;
    QTest::newRow("percent") << make(Choice::Percent, 1) << u"0,0%"_qs << 0.125 << u"12,5%"_qs << -1;
    QTest::newRow("scientific") << make(Choice::Scientific, 2) << u"0,00E+00"_qs << 123456.0 << u"1,23E+05"_qs << -1;
    QTest::newRow("text") << make(Choice::Text) << u"@"_qs << 12.5 << u"12,5"_qs << -1;
    QTest::newRow("date, month in words") << make(Choice::Date, 2, true, false, u"€"_qs, u"d mmmm yyyy"_qs)
                                          << u"d mmmm yyyy"_qs << 36231.0 << u"12 mars 1999"_qs << -1;
    QTest::newRow("date with the day") << make(Choice::Date, 2, true, false, u"€"_qs, u"dddd d mmmm yyyy"_qs)
                                       << u"dddd d mmmm yyyy"_qs << 36231.0 << u"vendredi 12 mars 1999"_qs << -1;
    QTest::newRow("time") << make(Choice::Time, 2, true, false, u"€"_qs, u"hh:nn:ss"_qs) << u"hh:nn:ss"_qs << 0.75
                          << u"18:00:00"_qs << -1;
}

void TestNumberFormatDialog::patterns()
{
    QFETCH(Choice, choice);
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(int, colour);
    QCOMPARE(patternOf(choice), pattern);
    QCOMPARE(formatNumber(value, pattern), shown);
    QCOMPARE(patternColour(value, pattern), colour);
    // Read back, the pattern gives the same choice (what does not apply keeps no weight).
    QCOMPARE(patternOf(choiceOf(pattern)), pattern);
    QCOMPARE(choiceOf(pattern).category, choice.category);
}

void TestNumberFormatDialog::patternsSurviveTheFile()
{
    QTemporaryDir dir;
    const QStringList patterns{u"# ##0,00;[Rouge]-# ##0,00"_qs, u"# ##0 F"_qs, u"@"_qs, u"0,0%"_qs,
                               u"dddd d mmmm yyyy"_qs,          u"0,00E+00"_qs};
    Workbook book;
    for (int i = 0; i < patterns.size(); ++i) {
        book.setValue(0, i + 1, 1, Value::number(-1234.5));
        book.modifyFormat(0, CellRange::single(i + 1, 1), [&](CellFormat &f) { f.numberFormat = patterns[i]; });
    }
    const QString path = dir.filePath(u"formats.qvc"_qs);
    qvc::writeFile(path, book);
    Workbook back;
    qvc::readFile(path, back);
    for (int i = 0; i < patterns.size(); ++i) {
        QCOMPARE(back.format(0, i + 1, 1).numberFormat, patterns[i]);
        QCOMPARE(back.displayText(0, i + 1, 1), book.displayText(0, i + 1, 1));
    }
}

void TestNumberFormatDialog::dialogAppliesToTheSelection()
{
    TestFrame frame;
    SpreadsheetTools tools;
    TTableur w(frame, tools);
    w.show();
    TF1Book *b = w.F1Book1;
    Workbook &wb = b->workbook();
    wb.setEntry(0, 1, 1, u"-1234,5"_qs);
    wb.setEntry(0, 2, 1, u"20"_qs);
    b->SetSelection(1, 1, 2, 1);
    QString preview;
    tools.setRunner([&](QDialog &d) {
        auto &n = static_cast<TNombre &>(d);
        n.ListBox1->setCurrentRow(int(Choice::Currency));
        n.SpinEdit1->setValue(1);
        n.ComboBox1->setCurrentIndex(n.ComboBox1->findText(u"F"_qs));
        n.CheckBox2->setChecked(true);
        preview = n.Label1->text();
        n.Button2->click();
        return int(d.result());
    });
    w.Nombre();
    QCOMPARE(preview, u"-1 234,5 F"_qs); // the active cell, as it would show
    QCOMPARE(wb.displayText(0, 1, 1), u"-1 234,5 F"_qs);
    QCOMPARE(wb.displayText(0, 2, 1), u"20,0 F"_qs);
    const QModelIndex a1 = b->model()->index(0, 0);
    QCOMPARE(a1.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QVERIFY(!b->model()->index(1, 0).data(Qt::ForegroundRole).isValid());
    w.Annule(); // one step for the selection
    QCOMPARE(wb.displayText(0, 1, 1), u"-1234,5"_qs);
    QCOMPARE(wb.displayText(0, 2, 1), u"20"_qs);

    // Cancelled: nothing changes. The text format keeps typed numbers as text.
    tools.setRunner([](QDialog &d) {
        auto &n = static_cast<TNombre &>(d);
        n.ListBox1->setCurrentRow(int(Choice::Percent));
        n.Button1->click();
        return int(d.result());
    });
    w.Nombre();
    QCOMPARE(wb.displayText(0, 1, 1), u"-1234,5"_qs);
    b->SetActiveCell(5, 1);
    tools.setRunner([](QDialog &d) {
        static_cast<TNombre &>(d).ListBox1->setCurrentRow(int(Choice::Text));
        static_cast<TNombre &>(d).Button2->click();
        return int(d.result());
    });
    w.Nombre();
    QVERIFY(b->model()->setData(b->model()->index(4, 0), u"00123"_qs));
    QCOMPARE(wb.value(0, 5, 1), Value::text(u"00123"_qs));
    w.F1Book1->SetModified(false);
}

void TestNumberFormatDialog::dialogShowsTheCellsFormat()
{
    TNombre d;
    d.Init(u"# ##0,000;[Rouge]-# ##0,000"_qs, Value::number(-2.5));
    QCOMPARE(d.ListBox1->currentRow(), int(Choice::Number));
    QCOMPARE(d.SpinEdit1->value(), 3);
    QVERIFY(d.CheckBox1->isChecked());
    QVERIFY(d.CheckBox2->isChecked());
    QVERIFY(!d.ComboBox1->isEnabled());
    QCOMPARE(d.Label1->text(), u"-2,500"_qs);
    d.Init(u"dd/mm/yy"_qs, Value::number(36231));
    QCOMPARE(d.ListBox1->currentRow(), int(Choice::Date));
    QCOMPARE(d.ListBox2->currentItem()->data(Qt::UserRole).toString(), u"dd/mm/yy"_qs);
    QCOMPARE(d.Label1->text(), u"12/03/99"_qs);
    QVERIFY(!d.SpinEdit1->isEnabled());
    // Closed without OK: no result.
    d.show();
    d.close();
    bool ok = true;
    QVERIFY(d.Result(ok).isEmpty());
    QVERIFY(!ok);
}

QTEST_MAIN(TestNumberFormatDialog)
#include "tst_numberformatdialog.moc"
