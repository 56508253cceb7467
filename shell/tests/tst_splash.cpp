// The start-up splash: the picture drawn at build time is the one the widgets draw, and the
// splash shows it only where it was drawn for.
#include "shell/ui/application.h"
#include "shell/ui/tsplash.h"

#include "splashpicture.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QtTest>

class TestSplash : public QObject
{
    Q_OBJECT

private:
    static QImage builtPicture()
    {
        return QImage(splashpicture::kPixels, splashpicture::kWidth, splashpicture::kHeight,
                      QImage::Format_ARGB32_Premultiplied);
    }

private slots:
    void initTestCase()
    {
        velmora::configureApplication();
        velmora::configureInterfaceFont();
    }

    // A picture made with other fonts or another look than the widgets' would show a splash
    // the program no longer has.
    void builtPictureIsWhatTheWidgetsDraw()
    {
        const QImage live = TSplash::render();
        QCOMPARE(live.size(), QSize(TSplash::kWidth, TSplash::kHeight));
        QCOMPARE(QString::fromLatin1(splashpicture::kStyle).toLower(), QApplication::style()->name().toLower());
        QVERIFY(live == builtPicture());
    }

    void showsThePictureOnlyInItsOwnStyle_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("widgets");
        QTest::newRow("same style") << QString::fromLatin1(splashpicture::kStyle) << false;
        QTest::newRow("same style, other case") << QString::fromLatin1(splashpicture::kStyle).toUpper() << false;
        QTest::newRow("other style") << QStringLiteral("windows") << true;
    }

    void showsThePictureOnlyInItsOwnStyle()
    {
        QFETCH(QString, style);
        QFETCH(bool, widgets);
        TSplash::setPrerendered(builtPicture(), style);
        TSplash splash;
        const QList<QLabel *> labels = splash.findChildren<QLabel *>();
        QCOMPARE(!labels.isEmpty(), widgets);
        // Either way the user sees the same splash.
        QVERIFY(splash.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) == builtPicture());
        TSplash::setPrerendered(QImage(), QString());
    }

    void withoutPictureTheWidgetsDrawIt()
    {
        TSplash::setPrerendered(QImage(), QString());
        TSplash splash;
        bool named = false;
        for (QLabel *label : splash.findChildren<QLabel *>())
            named = named || label->text() == u"Velmora";
        QVERIFY(named);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
