// The sheet-tab, functions and size dialogs driven as a user does.
#include "common/ui/messageboxes.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/ui/tfonct.h"
#include "spreadsheet/ui/tlarg.h"
#include "spreadsheet/ui/tonglet.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using Entry = TOnglet::Entry;

class TestSheetDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void ongletAddsAtTheEnd();
    void ongletEnterAddsLikeButton();
    void ongletOpensReadyToType();
    void ongletFirstEntryStays();
    void ongletRemoveKeepsTheLinkToSheets();
    void ongletMovesTheSelectedEntry();
    void ongletRenameSelected();
    void ongletRejectsBadNames_data();
    void ongletRejectsBadNames();

    void fonctListsTheFunctionsInOrder();
    void fonctResult_data();
    void fonctResult();
    void fonctFormulaNames();

    void largInitAndResult_data();
    void largInitAndResult();
    void largWidthAfterHeight();

private:
    void clickItem(QListWidget *list, int row);
    QStringList shown;
};

void TestSheetDialogs::init()
{
    shown.clear();
    messageboxes::setResponder([this](const messageboxes::Shown &s) {
        shown << s.text;
        return messageboxes::Answer::Ok;
    });
}

void TestSheetDialogs::clickItem(QListWidget *list, int row)
{
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

void TestSheetDialogs::ongletAddsAtTheEnd()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Feuil2"_qs, u"Feuil3"_qs});
    d.show();
    QTest::keyClicks(d.Edit1, "Bilan");
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QCOMPARE(d.entries(), (QList<Entry>{{1, u"Feuil1"_qs}, {2, u"Feuil2"_qs}, {3, u"Feuil3"_qs}, {0, u"Bilan"_qs}}));
    QVERIFY(d.Edit1->text().isEmpty());
    QVERIFY(d.ListBox1->selectedItems().isEmpty());
}

void TestSheetDialogs::ongletEnterAddsLikeButton()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs});
    d.show();
    QTest::keyClicks(d.Edit1, "Recettes");
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    QVERIFY(d.isVisible()); // Enter adds, it does not close the dialog
    QCOMPARE(d.entries().size(), 2);
    QCOMPARE(d.entries().last().name, u"Recettes"_qs);
}

// Opened, the dialog takes what is typed in its name field: Enter adds the sheet.
void TestSheetDialogs::ongletOpensReadyToType()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs});
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    QCOMPARE(QApplication::focusWidget(), d.Edit1);
    QTest::keyClicks(QApplication::focusWidget(), "Bilan");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(d.entries().last().name, u"Bilan"_qs);
}

void TestSheetDialogs::ongletFirstEntryStays()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Feuil2"_qs});
    d.show();
    clickItem(d.ListBox1, 0);
    QCOMPARE(d.Edit1->text(), u"Feuil1"_qs); // clicking copies the entry into the box
    QTest::mouseClick(d.Button3, Qt::LeftButton);
    QCOMPARE(d.entries().size(), 2);
    QVERIFY(d.Edit1->text().isEmpty());
}

void TestSheetDialogs::ongletRemoveKeepsTheLinkToSheets()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Ventes"_qs, u"Achats"_qs});
    d.show();
    clickItem(d.ListBox1, 1);
    QTest::mouseClick(d.Button3, Qt::LeftButton);
    // "Achats" is still sheet 3: the window removes sheet 2 and keeps the content of 3.
    QCOMPARE(d.entries(), (QList<Entry>{{1, u"Feuil1"_qs}, {3, u"Achats"_qs}}));
    // Supprimer with nothing selected removes nothing.
    QTest::mouseClick(d.Button3, Qt::LeftButton);
    QCOMPARE(d.entries().size(), 2);
}

void TestSheetDialogs::ongletMovesTheSelectedEntry()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Ventes"_qs, u"Achats"_qs});
    d.show();
    QCOMPARE(d.Button4->text(), u"Déplacer à gauche"_qs);
    QCOMPARE(d.Button5->text(), u"Déplacer à droite"_qs);
    clickItem(d.ListBox1, 2);
    QTest::mouseClick(d.Button4, Qt::LeftButton);
    QTest::mouseClick(d.Button4, Qt::LeftButton); // still selected: moves again
    QTest::mouseClick(d.Button4, Qt::LeftButton); // already first: stays
    QCOMPARE(d.entries(), (QList<Entry>{{3, u"Achats"_qs}, {1, u"Feuil1"_qs}, {2, u"Ventes"_qs}}));
    clickItem(d.ListBox1, 1);
    QTest::mouseClick(d.Button5, Qt::LeftButton);
    QTest::mouseClick(d.Button5, Qt::LeftButton); // already last: stays
    QCOMPARE(d.entries(), (QList<Entry>{{3, u"Achats"_qs}, {2, u"Ventes"_qs}, {1, u"Feuil1"_qs}}));
    // Nothing selected: nothing moves.
    d.ListBox1->clearSelection();
    QTest::mouseClick(d.Button4, Qt::LeftButton);
    QCOMPARE(d.entries().first().name, u"Achats"_qs);
}

void TestSheetDialogs::ongletRenameSelected()
{
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Feuil2"_qs});
    d.show();
    clickItem(d.ListBox1, 1);
    d.Edit1->selectAll();
    QTest::keyClicks(d.Edit1, "Budget");
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QCOMPARE(d.entries(), (QList<Entry>{{1, u"Feuil1"_qs}, {2, u"Budget"_qs}}));
    // Renaming an entry to its own name in another case is allowed.
    clickItem(d.ListBox1, 1);
    d.Edit1->setText(u"BUDGET"_qs);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QCOMPARE(d.entries().at(1).name, u"BUDGET"_qs);
    QVERIFY(shown.isEmpty());
}

void TestSheetDialogs::ongletRejectsBadNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("message");
    QTest::newRow("empty box adds nothing silently") << QString() << false;
    QTest::newRow("blanks only") << u"   "_qs << false;
    QTest::newRow("duplicate") << u"feuil2"_qs << true;
    QTest::newRow("colon") << u"a:b"_qs << true;
    QTest::newRow("bracket") << u"[x]"_qs << true;
    QTest::newRow("quote at start") << u"'x"_qs << true;
}

void TestSheetDialogs::ongletRejectsBadNames()
{
    QFETCH(QString, name);
    QFETCH(bool, message);
    TOnglet d;
    d.Init({u"Feuil1"_qs, u"Feuil2"_qs});
    d.show();
    d.Edit1->setText(name);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QCOMPARE(d.entries().size(), 2);
    QCOMPARE(shown.size(), message ? 1 : 0);
}

void TestSheetDialogs::fonctListsTheFunctionsInOrder()
{
    TFonct d;
    QCOMPARE(d.ListBox1->count(), 127);
    // French names, the listed English one beside.
    QCOMPARE(d.ListBox1->item(0)->text(), u"ABS  (ABS)"_qs);
    QCOMPARE(d.ListBox1->item(28)->text(), u"TYPE.ERREUR  (ERROR TYPE)"_qs);
    QCOMPARE(d.ListBox1->item(62)->text(), u"EQUIV  (MATCH)"_qs);
    QCOMPARE(d.ListBox1->item(63)->text(), u"EQUIV  (MATCH)"_qs);
    QCOMPARE(d.ListBox1->item(96)->text(), u"SIGNE  (YEAR SIGN)"_qs);
    QCOMPARE(d.ListBox1->item(104)->text(), u"SOMME  (SUM)"_qs);
    QCOMPARE(d.ListBox1->item(126)->text(), u"ANNEE  (YEAR)"_qs);
    QCOMPARE(d.windowTitle(), u"Fonctions"_qs);
}

void TestSheetDialogs::fonctResult_data()
{
    QTest::addColumn<int>("row"); // -1: nothing selected
    QTest::addColumn<QString>("how"); // ok, cancel, escape, double
    QTest::addColumn<QString>("expected");
    QTest::newRow("ok") << 3 << u"ok"_qs << u"AND"_qs;
    QTest::newRow("ok on the entry shown at opening") << -1 << u"ok"_qs << u"ABS"_qs;
    QTest::newRow("return on the entry shown at opening") << -1 << u"return"_qs << u"ABS"_qs;
    QTest::newRow("cancel on the entry shown at opening") << -1 << u"cancel"_qs << QString();
    QTest::newRow("cancel") << 3 << u"cancel"_qs << QString();
    QTest::newRow("escape") << 3 << u"escape"_qs << QString();
    QTest::newRow("double click") << 9 << u"double"_qs << u"AVERAGE"_qs;
}

void TestSheetDialogs::fonctResult()
{
    QFETCH(int, row);
    QFETCH(QString, how);
    QFETCH(QString, expected);
    TFonct d;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    if (row >= 0) {
        d.ListBox1->scrollToItem(d.ListBox1->item(row));
        const QRect r = d.ListBox1->visualItemRect(d.ListBox1->item(row));
        QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
        if (how == u"double")
            QTest::mouseDClick(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
    }
    if (how == u"ok")
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    else if (how == u"cancel")
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    else if (how == u"escape")
        QTest::keyClick(&d, Qt::Key_Escape);
    else if (how == u"return")
        QTest::keyClick(d.ListBox1, Qt::Key_Return);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.Result(), expected);
}

void TestSheetDialogs::fonctFormulaNames()
{
    QCOMPARE(TFonct::formulaName(u"ERROR TYPE"_qs), u"TYPE.ERREUR"_qs);
    QCOMPARE(TFonct::formulaName(u"YEAR SIGN"_qs), u"SIGNE"_qs);
    QCOMPARE(TFonct::formulaName(u"ROUNDOWN"_qs), u"ARRONDI.INF"_qs);
    QCOMPARE(TFonct::formulaName(u"VLOOKUP"_qs), u"RECHERCHEV"_qs);
    // Every entry has a French name that a formula accepts.
    for (const QString &entry : TFonct::names())
        QVERIFY2(sheet::FunctionRegistry::instance().findFrench(TFonct::formulaName(entry)), qPrintable(entry));
}

void TestSheetDialogs::largInitAndResult_data()
{
    QTest::addColumn<bool>("height");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("width 12") << false << QByteArray("12") << true << 12;
    QTest::newRow("height untouched") << true << QByteArray() << true << 10;
    QTest::newRow("cancelled") << false << QByteArray("12") << false << 0;
    QTest::newRow("large") << false << QByteArray("400") << true << 400;
}

void TestSheetDialogs::largInitAndResult()
{
    QFETCH(bool, height);
    QFETCH(QByteArray, typed);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    TLarg d;
    height ? d.InitH() : d.InitL();
    const QString caption = height ? u"Hauteur ligne"_qs : u"Lageur colonne"_qs;
    QCOMPARE(d.windowTitle(), caption);
    QCOMPARE(d.Label1->text(), caption);
    QCOMPARE(d.SpinEdit1->value(), 10);
    d.show();
    if (!typed.isEmpty()) {
        d.SpinEdit1->selectAll();
        QTest::keyClicks(d.SpinEdit1, QString::fromLatin1(typed));
    }
    QTest::mouseClick(ok ? d.Button2 : d.Button1, Qt::LeftButton);
    QCOMPARE(d.Result(), expected);
}

void TestSheetDialogs::largWidthAfterHeight()
{
    TLarg d;
    d.InitH();
    d.show();
    d.SpinEdit1->setValue(3);
    QTest::mouseClick(d.Button2, Qt::LeftButton);
    QCOMPARE(d.Result(), 3);
    d.InitL();
    QCOMPARE(d.windowTitle(), u"Lageur colonne"_qs);
    QCOMPARE(d.SpinEdit1->value(), 10);
    QCOMPARE(d.Result(), 0); // not yet answered
    d.show();
    QTest::keyClick(&d, Qt::Key_Escape);
    QCOMPARE(d.Result(), 0);
}

QTEST_MAIN(TestSheetDialogs)
#include "tst_sheetdialogs.moc"
