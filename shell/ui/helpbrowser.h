// The program's help: HTML pages shipped inside the program, one per menu (by its help
// context number), shown in a small browser window.
#pragma once

#include <QDialog>

class QTextBrowser;

class HelpBrowser : public QDialog
{
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);
    // Opens the topic of a menu's help context (3 to 12); other numbers open the contents.
    void showContext(int context);
    // "index", "aide" (how to use the help) or "ctxN".
    void showPage(const QString &page);
    QString currentPage() const;

private:
    QTextBrowser *m_browser;
};
