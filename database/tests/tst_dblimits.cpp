// A database file holding more than the window can: the cells left out are counted when
// the file opens, and a save that would write the smaller file asks first.
#include "common/tests/testfiles.h"
#include "common/ui/messageboxes.h"
#include "database/core/qvbformat.h"
#include "database/ui/tchamp.h"
#include "database/ui/tfichier.h"
#include "shell/ui/tmainform.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using testfiles::slurp;
using testfiles::spit;

namespace {
const QByteArray kWidths = QByteArray("0A0").repeated(32) + "\r\n";
}

class TestDbLimits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cellsLeftOutAreCounted_data();
    void cellsLeftOutAreCounted();
    void openingSaysSoAndSavingAsks();
    void fieldNameStopsAt253Characters();
};

void TestDbLimits::cellsLeftOutAreCounted_data()
{
    QTest::addColumn<QByteArray>("cells");
    QTest::addColumn<int>("leftOut");
    QTest::newRow("all inside") << QByteArray("000001Nom\r\n400020dernier\r\n") << 0;
    QTest::newRow("record 16385") << QByteArray("000001Nom\r\n400101trop loin\r\n") << 1;
    QTest::newRow("field 33") << QByteArray("000121trop large\r\n000120dernier champ\r\n") << 1;
    QTest::newRow("field 0") << QByteArray("000100étiquette\r\n") << 1;
    QTest::newRow("empty cells do not count") << QByteArray("400101\r\n000121\r\n") << 0;
    QTest::newRow("several") << QByteArray("FFFFFFx\r\n000140y\r\n000101z\r\n") << 2;
}

void TestDbLimits::cellsLeftOutAreCounted()
{
    QFETCH(QByteArray, cells);
    QFETCH(int, leftOut);
    Table table;
    int count = -1;
    qvb::parse(kWidths + cells, table, &count);
    QCOMPARE(count, leftOut);
}

void TestDbLimits::openingSaysSoAndSavingAsks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grand.qvb"_s);
    const QByteArray file = kWidths + "000001Nom\r\n000101Dupont\r\n400101loin\r\n000100large\r\n";
    QVERIFY(spit(path, file));
    QList<messageboxes::Shown> shown;
    messageboxes::Answer answer = messageboxes::Answer::Annuler;
    messageboxes::setResponder([&](const messageboxes::Shown &s) {
        shown.append(s);
        return s.kind == messageboxes::Kind::Warning && s.text.contains(u"Enregistrer quand même"_s)
                ? answer
                : messageboxes::Answer::Ok;
    });
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.openFile(path);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].text.startsWith(u"2 cellules de ce fichier sont au-delà de ce que la base peut tenir "
                                      "(16384 fiches de 32 champs)"_s),
             qPrintable(shown[0].text));
    // Unchanged, nothing is written; changed, the save asks, and "Annuler" writes nothing.
    form.action(u"FileSaveItem"_s)->trigger();
    QCOMPARE(shown.size(), 1);
    form.action(u"Insrercolonne1"_s)->trigger();
    form.action(u"FileSaveItem"_s)->trigger();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(slurp(path), file);
    auto *window = dynamic_cast<TFichier *>(form.activeDocument());
    QVERIFY(window);
    // "Oui": the smaller file, asked once.
    answer = messageboxes::Answer::Oui;
    form.action(u"FileSaveItem"_s)->trigger();
    QCOMPARE(shown.size(), 3);
    QVERIFY(!slurp(path).contains("loin"));
    QVERIFY(slurp(path).contains("Dupont"));
    messageboxes::setResponder({});
    form.mdiArea()->closeAllSubWindows();
}

// A longer name would be cut when the file is read back: typed or pasted, it stops there.
void TestDbLimits::fieldNameStopsAt253Characters()
{
    TChamp dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(dialog.Edit1, QString(300, u'n'));
    QCOMPARE(dialog.Edit1->text().size(), 253);
    dialog.Edit1->clear();
    QGuiApplication::clipboard()->setText(QString(300, u'p'));
    dialog.Edit1->paste();
    QCOMPARE(dialog.Edit1->text().size(), 253);
    QTest::mouseClick(dialog.SpeedButton1, Qt::LeftButton);
    QCOMPARE(dialog.ListBox1->item(dialog.ListBox1->count() - 1)->text().size(), 253);
}

QTEST_MAIN(TestDbLimits)
#include "tst_dblimits.moc"
