// Shared window-side helpers: hint splitting, the general error handler, message boxes, the
// font dialog.
#include "common/ui/errorhandler.h"
#include "common/ui/fontchooser.h"
#include "common/ui/hint.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"

#include <QCheckBox>
#include <QComboBox>
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
    void fontChooserGivesBackWhatItShows();
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

// The font dialog gives back the font and colour it opened on when nothing is touched,
// in French throughout; a colour outside its sixteen is kept; a size may use a comma.
void TestUi::fontChooserGivesBackWhatItShows()
{
    FontChooser d;
    QStringList styles;
    for (int i = 0; i < d.StyleBox->count(); ++i)
        styles << d.StyleBox->itemText(i);
    QCOMPARE(styles, (QStringList{u"Normal"_s, u"Italique"_s, u"Gras"_s, u"Gras italique"_s}));
    QCOMPARE(d.ColourBox->itemText(0), u"Noir"_s);
    QCOMPARE(d.ColourBox->count(), 16);

    QFont f(u"DejaVu Serif"_s);
    f.setPointSizeF(10.5);
    f.setBold(true);
    f.setUnderline(true);
    d.setChoice(f, QColor(18, 52, 86));
    QCOMPARE(d.font().family(), u"DejaVu Serif"_s);
    QCOMPARE(d.font().pointSizeF(), 10.5);
    QVERIFY(d.font().bold() && !d.font().italic() && d.font().underline() && !d.font().strikeOut());
    QCOMPARE(d.colour(), QColor(18, 52, 86));
    QCOMPARE(d.StyleBox->currentText(), u"Gras"_s);

    d.StyleBox->setCurrentIndex(3);
    d.StrikeBox->setChecked(true);
    d.SizeBox->setEditText(u"12,5"_s);
    d.ColourBox->setCurrentIndex(d.ColourBox->findText(u"Rouge"_s));
    QVERIFY(d.font().bold() && d.font().italic() && d.font().strikeOut());
    QCOMPARE(d.font().pointSizeF(), 12.5);
    QCOMPARE(d.colour(), QColor(255, 0, 0));
    d.SizeBox->setEditText(u"abc"_s); // not a size: the default one
    QCOMPARE(d.font().pointSizeF(), 10.0);
}

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
