// The floor for start-up time: a bare main window with a multiple-document area, a menu
// bar, a toolbar and a status bar, shown maximised, leaving as soon as it is on screen.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Bare"));
    w.setCentralWidget(new QMdiArea(&w));
    w.menuBar()->addMenu(QStringLiteral("&Fichier"))->addAction(QStringLiteral("&Quitter"));
    w.addToolBar(QStringLiteral("Outils"))->addAction(QStringLiteral("Ouvrir"));
    w.statusBar()->showMessage(QStringLiteral("Prêt"));
    w.showMaximized();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
