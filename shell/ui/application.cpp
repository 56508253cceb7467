#include "shell/ui/application.h"

#include "common/ui/fonts.h"
#include "common/ui/recoverystore.h"
#include "shell/ui/recoverydialog.h"
#include "shell/ui/headless.h"
#include "shell/ui/tmainform.h"
#include "shell/ui/tsplash.h"
#include "shell/ui/toolbaricons.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <clocale>
#include <cstdio>

namespace velmora {

void configureApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    QCoreApplication::setOrganizationName(QStringLiteral("velmora"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Velmora"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Qt adopts the user's locale for the C library too; in a French environment printf
    // and strtod would then write and read a decimal comma. Numbers shown to the user go
    // through our own French formatting; the C library keeps the point.
    std::setlocale(LC_NUMERIC, "C");
    fonts::installSubstitutions();
}

void configureInterfaceFont()
{
    // The face the substitutions give "MS Sans Serif" and "Arial", asked for by its own name:
    // each family name asked for costs a font-matching pass at start.
    QFont uiFont(fonts::uiFamily());
    uiFont.setPixelSize(12);
    QApplication::setFont(uiFont);
}

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

    if (headless::requested(args)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt is given the program name only: every argument is ours to read, so that a
        // file named like one of Qt's options is still a file.
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        configureApplication();
        QTextStream out(stdout);
        QTextStream err(stderr);
        return headless::run(args, headless::defaultRegistry(), out, err);
    }

    QApplication app(argc, argv);
    configureApplication();
    // What is left once Qt has taken its own options: the files to open.
    QStringList files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (!optionsEnded && a == u"--") { // what follows is file names, even "-x.qvt"
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && a.startsWith(u'-')) {
            QTextStream err(stderr);
            err << "velmora : option inconnue : " << a << "\n"
                << "usage : velmora [--] [FICHIER...]\n"
                << "        velmora --headless --convert-to FORMAT [--outdir DOSSIER] [--] FICHIER...\n";
            return headless::UsageError;
        }
        files.append(a);
    }
    app.setWindowIcon(toolbaricons::programIcon());
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);
    configureInterfaceFont();

    // Declared before the frame, so that it outlives the document windows.
    RecoveryStore recoveryStore;

    auto *splash = new TSplash;
    splash->show();
    splash->repaint();
    app.processEvents();

    TMainForm form;
    // Without a window manager "maximised" means nothing; fill the screen ourselves too.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    splash->close();
    delete splash;

    form.setRecoveryStore(&recoveryStore);
    for (const QString &a : files)
        form.openFile(QFileInfo(a).absoluteFilePath());
    // What an earlier run that did not end normally left behind, once the frame is up.
    QTimer::singleShot(0, &form, [&] { recovery::offer(form, recoveryStore); });
    // For start-up measurements: leave as soon as the frame has been shown.
    if (qEnvironmentVariableIsSet("VELMORA_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int status = app.exec();
    recoveryStore.endSession(); // a normal end: no copy is wanted any more
    return status;
}

} // namespace velmora
