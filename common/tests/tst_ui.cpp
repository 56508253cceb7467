// Shared window-side helpers: hint splitting, the general error handler, message boxes.
#include "common/ui/errorhandler.h"
#include "common/ui/hint.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestUi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hints_data();
    void hints();
    void errorHandlerShowsMessageAndAbandons();
    void saveQuestionWording();
};

void TestUi::hints_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("status");
    QTest::newRow("short part only") << u"Ouvrir|"_s << u"Ouvrir"_s << QString();
    QTest::newRow("no bar: both") << u"Gras"_s << u"Gras"_s << u"Gras"_s;
    QTest::newRow("both parts") << u"Copier|Copier dans le Presse-papiers"_s << u"Copier"_s
                                << u"Copier dans le Presse-papiers"_s;
    QTest::newRow("first bar only") << u"a|b|c"_s << u"a"_s << u"b|c"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestUi::hints()
{
    QFETCH(QString, hint);
    QFETCH(QString, tip);
    QFETCH(QString, status);
    QCOMPARE(hint::shortPart(hint), tip);
    QCOMPARE(hint::longPart(hint), status);
}

void TestUi::errorHandlerShowsMessageAndAbandons()
{
    QStringList shown;
    errorhandler::setSink([&](const QString &m) { shown << m; });
    bool after = false;
    QVERIFY(!errorhandler::run(nullptr, [&] {
        throw VelmoraError::fileNotFound();
        after = true;
    }));
    QVERIFY(!after);
    QVERIFY(errorhandler::run(nullptr, [] {}));
    QCOMPARE(shown, QStringList{u"Fichier introuvable"_s});
    errorhandler::setSink({});
}

void TestUi::saveQuestionWording()
{
    messageboxes::Shown seen{};
    messageboxes::setResponder([&](const messageboxes::Shown &s) {
        seen = s;
        return messageboxes::Answer::Non;
    });
    QCOMPARE(messageboxes::askSaveChanges(nullptr, u"lettre.qvt"_s), messageboxes::Answer::Non);
    QCOMPARE(seen.text, u"Sauver modifications dans lettre.qvt ?"_s);
    QCOMPARE(seen.title, u"Avertissement"_s);
    QCOMPARE(int(seen.kind), int(messageboxes::Kind::Warning));
    messageboxes::setResponder({});
}

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
