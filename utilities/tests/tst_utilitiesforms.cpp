// The calculator, the euro converter and the letter weigher, driven with clicks and keys
// on their real widgets.
#include "common/ui/errorhandler.h"
#include "utilities/ui/countspinedit.h"
#include "utilities/ui/spinbutton.h"
#include "utilities/ui/teurof.h"
#include "utilities/ui/tplettre.h"
#include "utilities/ui/tpocket.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

// Keys typed where the keyboard focus is, as a user types them ("\x7f" is Delete).
void typeKeys(QWidget &window, const QString &keys)
{
    for (QChar c : keys) {
        QWidget *target = window.focusWidget() ? window.focusWidget() : &window;
        if (c == QChar(0x7f))
            QTest::keyClick(target, Qt::Key_Delete);
        else
            QTest::keyClick(target, char(c.unicode()));
    }
}

void pressKey(QWidget &window, Qt::Key key)
{
    QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key);
}
} // namespace

class TestUtilitiesForms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void pocketKeypadChain();
    void pocketKeyboard_data();
    void pocketKeyboard();
    void pocketFocusRules();
    void pocketErrorsShownAndStateKept();
    void pocketClosesAndClearsOnShow();

    void eurofDigitsAndDirections();
    void eurofRateArrows();
    void eurofBackspaceAndDelete();
    void eurofKeysAndSilentFailure();
    void eurofEscapeKeepsRate();

    void plettreInitialAndTyping();
    void plettreCountFieldRules();
    void plettreServicesAndExamples();
    void plettreRefusedEntriesShowSo_data();
    void plettreRefusedEntriesShowSo();

private:
    QStringList m_errors;
};

void TestUtilitiesForms::init()
{
    m_errors.clear();
    errorhandler::setSink([this](const QString &m) { m_errors.append(m); });
}

void TestUtilitiesForms::cleanup() { errorhandler::setSink({}); }

void TestUtilitiesForms::pocketKeypadChain()
{
    TPocket form;
    showActive(form);
    QCOMPARE(form.Label1->text(), QString());
    auto click = [&](int n) { QTest::mouseClick(form.Button(n), Qt::LeftButton); };
    click(2);
    click(12); // +
    click(3);
    click(14); // *
    QCOMPARE(form.Label1->text(), u"5"_s);
    click(4);
    click(11); // =
    QCOMPARE(form.Label1->text(), u"20"_s);
    // A digit after a result starts a new number.
    click(9);
    click(17); // sqr
    QCOMPARE(form.Label1->text(), u"3"_s);
    click(4);
    click(16); // 1/x
    QCOMPARE(form.Label1->text(), u"0,25"_s);
    click(1);
    click(10); // ,
    click(5);
    QCOMPARE(form.Label1->text(), u"1,5"_s);
    click(18); // C
    QCOMPARE(form.Label1->text(), QString());
    QVERIFY(!form.calculator().accumulatorSet());
}

void TestUtilitiesForms::pocketKeyboard_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::newRow("square root key") << u"9s"_s << u"3"_s;
    QTest::newRow("square root capital") << u"16S"_s << u"4"_s;
    QTest::newRow("reciprocal key") << u"4x"_s << u"0,25"_s;
    QTest::newRow("dot is a comma") << u"2.5+1="_s << u"3,5"_s;
    QTest::newRow("clear key") << u"7+1c"_s << u""_s;
    QTest::newRow("other keys ignored") << u"1a2b"_s << u"12"_s;
    QTest::newRow("backspace takes the last digit") << u"123\b"_s << u"12"_s;
    QTest::newRow("backspace, then the chain") << u"12\b+5="_s << u"6"_s;
    QTest::newRow("backspace on the comma") << u"2,\b5="_s << u"25"_s;
    QTest::newRow("backspace of the only digit") << u"5\b"_s << u"0"_s;
    QTest::newRow("backspace leaves a result") << u"2+3=\b"_s << u"5"_s;
    QTest::newRow("delete clears the entry only") << u"2+35\x7f"
                                                     u"4="_s
                                                  << u"6"_s;
    QTest::newRow("delete, then a new number") << u"5+7\x7f"
                                                  u"3="_s
                                               << u"8"_s;
}

void TestUtilitiesForms::pocketKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, display);
    TPocket form;
    showActive(form);
    typeKeys(form, keys);
    QCOMPARE(form.Label1->text(), display);
    QVERIFY(form.isVisible());
}

void TestUtilitiesForms::pocketFocusRules()
{
    TPocket form;
    showActive(form);
    QCOMPARE(form.focusWidget(), form.Button(11));
    // Enter on the focused "=" button is equals.
    typeKeys(form, u"2+3"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label1->text(), u"5"_s);
    // A clicked button keeps the focus, and keys still reach the calculator.
    QTest::mouseClick(form.Button(7), Qt::LeftButton);
    QCOMPARE(form.focusWidget(), form.Button(7));
    typeKeys(form, u"1"_s);
    QCOMPARE(form.Label1->text(), u"71"_s);
    // After "sqr", typed keys are lost until another button has the focus.
    QTest::mouseClick(form.Button(17), Qt::LeftButton);
    QCOMPARE(form.focusWidget(), form.Button(17));
    const QString shown = form.Label1->text();
    typeKeys(form, u"5+"_s);
    QCOMPARE(form.Label1->text(), shown);
    QTest::mouseClick(form.Button(18), Qt::LeftButton); // C gives the focus to "="
    QCOMPARE(form.focusWidget(), form.Button(11));
    typeKeys(form, u"5"_s);
    QCOMPARE(form.Label1->text(), u"5"_s);
}

void TestUtilitiesForms::pocketErrorsShownAndStateKept()
{
    TPocket form;
    showActive(form);
    typeKeys(form, u"1/0="_s);
    QCOMPARE(m_errors, QStringList{u"Division flottante par zéro"_s});
    QCOMPARE(form.Label1->text(), u"0"_s);
    typeKeys(form, u"4="_s); // the divisor corrected, the chain goes on
    QCOMPARE(form.Label1->text(), u"0,25"_s);

    typeKeys(form, u"c0/0="_s);
    typeKeys(form, u"c1-2=s"_s);
    typeKeys(form, u"c1+2,,="_s);
    typeKeys(form, u"c"_s);
    QTest::mouseClick(form.Button(16), Qt::LeftButton); // 1/x of an empty display
    QCOMPARE(m_errors.mid(1),
             (QStringList{u"Opération flottante incorrecte"_s, u"Opération flottante incorrecte"_s,
                          u"'2,,' n'est pas une valeur flottante correcte"_s,
                          u"'' n'est pas une valeur flottante correcte"_s}));
    m_errors.clear();
    QTest::mouseClick(form.Button(18), Qt::LeftButton); // keys reach the calculator again
    typeKeys(form, u"100000000000000000000*100000000000000000000="_s);
    QCOMPARE(m_errors, QStringList{u"Débordement flottant"_s});
    QCOMPARE(form.Label1->text(), u"100000000000000000000"_s);
}

void TestUtilitiesForms::pocketClosesAndClearsOnShow()
{
    TPocket form;
    showActive(form);
    typeKeys(form, u"5+"_s);
    pressKey(form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    showActive(form);
    QCOMPARE(form.Label1->text(), QString());
    QVERIFY(!form.calculator().accumulatorSet());
    QCOMPARE(form.focusWidget(), form.Button(11));
    QTest::mouseClick(form.Button(19), Qt::LeftButton); // "Fermer"
    QVERIFY(!form.isVisible());
    // Escape closes even from "sqr", which takes no typed keys.
    showActive(form);
    QTest::mouseClick(form.Button(17), Qt::LeftButton);
    pressKey(form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
}

void TestUtilitiesForms::eurofDigitsAndDirections()
{
    TEurof form;
    showActive(form);
    QCOMPARE(form.Edit3->text(), u"6,55957"_s);
    QVERIFY(form.RadioButton1->isChecked());
    for (int d : {1, 0, 0})
        QTest::mouseClick(form.Button(d), Qt::LeftButton);
    QCOMPARE(form.Label1->text(), u"100"_s);
    QCOMPARE(form.focusWidget(), form.Button11); // digit keys never take the focus
    QTest::mouseClick(form.Button11, Qt::LeftButton);
    QCOMPARE(form.Label2->text(), u"15,24"_s);

    // Switching the direction does not convert; the next Enter does, on the input shown.
    QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
    QCOMPARE(form.Label2->text(), u"15,24"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"656"_s);
    // A digit after a result empties both displays.
    QTest::mouseClick(form.Button(1), Qt::LeftButton);
    QCOMPARE(form.Label1->text(), u"1"_s);
    QCOMPARE(form.Label2->text(), QString());
    pressKey(form, Qt::Key_Enter);
    QCOMPARE(form.Label2->text(), u"6,6"_s);
    typeKeys(form, u"10"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"65,6"_s);
}

void TestUtilitiesForms::eurofRateArrows()
{
    TEurof form;
    showActive(form);
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(form.SpinButton1->downButton(), Qt::LeftButton);
    QCOMPARE(form.Edit3->text(), u"6,55947"_s);
    QTest::mouseClick(form.SpinButton1->upButton(), Qt::LeftButton);
    QCOMPARE(form.Edit3->text(), u"6,55948"_s);
    // The new rate is used at once: 100 francs at 6,55948.
    typeKeys(form, u"100"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"15,25"_s);
    QVERIFY(form.Edit3->isReadOnly());
}

void TestUtilitiesForms::eurofBackspaceAndDelete()
{
    TEurof form;
    showActive(form);
    typeKeys(form, u"1000"_s);
    pressKey(form, Qt::Key_Backspace);
    QCOMPARE(form.Label1->text(), u"100"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"15,24"_s);
    // After a result, Backspace corrects the amount shown and drops the result.
    pressKey(form, Qt::Key_Backspace);
    QCOMPARE(form.Label1->text(), u"10"_s);
    QCOMPARE(form.Label2->text(), QString());
    typeKeys(form, u"5"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"16,01"_s);
    // Delete empties both; so it does with the focus in the rate box.
    form.Edit3->setFocus();
    pressKey(form, Qt::Key_Delete);
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(form.Label2->text(), QString());
    typeKeys(form, u"12"_s);
    pressKey(form, Qt::Key_Backspace);
    QCOMPARE(form.Label1->text(), u"1"_s);
    QCOMPARE(form.Edit3->text(), u"6,55957"_s);
}

void TestUtilitiesForms::eurofKeysAndSilentFailure()
{
    TEurof form;
    showActive(form);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"0"_s); // empty input converts as 0
    typeKeys(form, u"1.5"_s);
    QCOMPARE(form.Label1->text(), u"1,5"_s);
    QCOMPARE(form.Label2->text(), QString());
    typeKeys(form, u","_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(form.Label2->text(), QString());
    QVERIFY(m_errors.isEmpty());
    QVERIFY(form.isVisible());
    // Enter on the focused "Fermer" converts as well; Space closes.
    form.Button10->setFocus();
    typeKeys(form, u"2"_s);
    pressKey(form, Qt::Key_Return);
    QCOMPARE(form.Label2->text(), u"0,3"_s);
    QVERIFY(form.isVisible());
    pressKey(form, Qt::Key_Space);
    QVERIFY(!form.isVisible());
}

void TestUtilitiesForms::eurofEscapeKeepsRate()
{
    TEurof form;
    showActive(form);
    QTest::mouseClick(form.SpinButton1->upButton(), Qt::LeftButton);
    typeKeys(form, u"7"_s);
    pressKey(form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.Label1->text(), u"7"_s); // no result shown: the input stays
    showActive(form);
    QCOMPARE(form.Edit3->text(), u"6,55958"_s);
    pressKey(form, Qt::Key_Return);
    QVERIFY(!form.Label2->text().isEmpty());
    pressKey(form, Qt::Key_Escape); // closes, and empties the result on display
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(form.Label2->text(), QString());
}

void TestUtilitiesForms::plettreInitialAndTyping()
{
    TPLettre form;
    showActive(form);
    QCOMPARE(form.Label22->text(), u"20 g"_s);
    QCOMPARE(form.Label23->text(), u"3 F"_s);
    QVERIFY(form.RadioButton1->isChecked());
    for (int n = 1; n <= 21; ++n) {
        QVERIFY2(form.SpinEdit(n), qPrintable(QString::number(n)));
        QCOMPARE(form.SpinEdit(n)->text(), u"0"_s);
    }

    CountSpinEdit *a4 = form.SpinEdit(9);
    a4->setFocus();
    QTest::keyClick(a4, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(a4, "8");
    QCOMPARE(form.Label22->text(), u"40 g"_s);
    QCOMPARE(form.Label23->text(), u"4,50 F"_s);
    QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
    QCOMPARE(form.Label23->text(), u"4,60 F"_s);
    CountSpinEdit *extra = form.SpinEdit(20);
    extra->setFocus();
    QTest::keyClick(extra, Qt::Key_Up);
    QCOMPARE(extra->text(), u"1"_s);
    QCOMPARE(form.Label22->text(), u"41 g"_s);
    QCOMPARE(form.Label23->text(), u"6,00 F"_s);
    // Back to nothing at all.
    QTest::keyClick(extra, Qt::Key_Down);
    a4->setFocus();
    QTest::keyClick(a4, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(a4, "0");
    QTest::mouseClick(form.RadioButton1, Qt::LeftButton);
    QCOMPARE(form.Label22->text(), u"0 g"_s);
    QCOMPARE(form.Label23->text(), u"3,00 F"_s);
}

void TestUtilitiesForms::plettreCountFieldRules()
{
    TPLettre form;
    showActive(form);
    CountSpinEdit *field = form.SpinEdit(10); // A3, 10 g
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, "x3");
    QCOMPARE(field->text(), u"3"_s); // "x" refused
    QTest::keyClicks(field, ",5");
    QCOMPARE(field->text(), u"3,5"_s);
    QCOMPARE(form.Label22->text(), u"0 g"_s); // not a whole number: 0
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, "-");
    QCOMPARE(form.Label22->text(), u"0 g"_s);
    QTest::keyClicks(field, "2");
    QCOMPARE(form.Label22->text(), u"-20 g"_s); // counts as typed while in the field
    QCOMPARE(form.Label23->text(), u"0,00 F"_s);
    form.SpinEdit(11)->setFocus(); // leaving brings it back to 0
    QCOMPARE(field->text(), u"0"_s);
    QCOMPARE(form.Label22->text(), u"0 g"_s);

    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, "500");
    QCOMPARE(form.Label22->text(), u"5000 g"_s);
    QCOMPARE(form.Label23->text(), u"0,00 F"_s);
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(field->text(), u"200"_s);
    QCOMPARE(form.Label22->text(), u"2000 g"_s);
    QCOMPARE(form.Label23->text(), u"28,00 F"_s);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up); // already at the top
    QCOMPARE(field->text(), u"200"_s);
    // An empty field counts as 0 and stays empty when left.
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(form.Label22->text(), u"0 g"_s);
    form.SpinEdit(11)->setFocus();
    QCOMPARE(field->text(), QString());
}

void TestUtilitiesForms::plettreRefusedEntriesShowSo_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("weight"); // while typed
    QTest::addColumn<QString>("left"); // the field's text once left
    QTest::newRow("decimal") << u"25,5"_s << true << u"0 g"_s << u"0"_s;
    QTest::newRow("negative") << u"-5"_s << true << u"-50 g"_s << u"0"_s;
    QTest::newRow("lone sign") << u"-"_s << true << u"0 g"_s << u"0"_s;
    QTest::newRow("above the bound") << u"250"_s << true << u"2500 g"_s << u"200"_s;
    QTest::newRow("a count") << u"25"_s << false << u"250 g"_s << u"25"_s;
    QTest::newRow("signed count") << u"+3"_s << false << u"30 g"_s << u"+3"_s;
}

void TestUtilitiesForms::plettreRefusedEntriesShowSo()
{
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(QString, weight);
    QFETCH(QString, left);
    TPLettre form;
    showActive(form);
    CountSpinEdit *field = form.SpinEdit(10); // A3, 10 g
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, typed.toLatin1().constData());
    QCOMPARE(form.Label22->text(), weight);
    // A refused entry is marked while it stays: red, with what is expected.
    QCOMPARE(field->refused(), refused);
    QLineEdit *editor = field->findChild<QLineEdit *>();
    QCOMPARE(editor->palette().color(QPalette::Text) == QColor(Qt::red), refused);
    QCOMPARE(field->toolTip(), refused ? u"Nombre entier de 0 à 200 attendu"_s : QString());
    // Leaving the field shows what is counted.
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(field->text(), left);
    QVERIFY(!field->refused());
    QCOMPARE(field->toolTip(), QString());
    QCOMPARE(form.Label22->text(), QString::number(field->value() * 10) + u" g"_s);
}

void TestUtilitiesForms::plettreServicesAndExamples()
{
    TPLettre form;
    showActive(form);
    auto set = [&](int n, const char *count) {
        CountSpinEdit *f = form.SpinEdit(n);
        f->setFocus();
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(f, count);
    };
    set(3, "1");
    QCOMPARE(form.Label22->text(), u"8 g"_s);
    set(3, "0");
    set(20, "200");
    set(16, "1");
    QCOMPARE(form.Label22->text(), u"292 g"_s);
    QCOMPARE(form.Label23->text(), u"16,00 F"_s);
    QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
    QCOMPARE(form.Label23->text(), u"28,00 F"_s);
    QTest::mouseClick(form.RadioButton3, Qt::LeftButton);
    QCOMPARE(form.Label23->text(), u"0,00 F"_s);
    // The entries are kept when the window is closed and shown again.
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    showActive(form);
    QCOMPARE(form.SpinEdit(16)->text(), u"1"_s);
    QVERIFY(form.RadioButton3->isChecked());
    QCOMPARE(form.Label22->text(), u"292 g"_s);
}

QTEST_MAIN(TestUtilitiesForms)
#include "tst_utilitiesforms.moc"
