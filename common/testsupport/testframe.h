// The stand-in frame of the document windows' tests: it records what a window reports to
// the frame and answers the mail-merge questions as the test sets them up.
#pragma once

#include "common/ui/headlessframe.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// One report of the selection's formatting to the toolbar.
struct ToolbarStyles
{
    bool bold = false, italic = false, underline = false, bullets = false;
    bool left = false, right = false, center = false;
    QString size, name;
};

class TestFrame : public HeadlessFrame
{
public:
    TestFrame();
    ~TestFrame() override;

    void SetStyles(bool bold, bool italic, bool underline, bool bullets, bool left, bool right, bool center,
                   const QString &size, const QString &fontName) override;
    void setStatusText(const QString &text) override { status = text; }
    // A PDF printer writing `pdf` when that is set before the first print, else the
    // headless frame's printer.
    QPrinter &printer() override;
    bool Bornes(int &first, int &last) override;
    void Contenu(int record, QString &text) override;
    void setFieldNames(const QStringList &names) override;
    QString ChoisirChamp() override { return field; }

    QList<ToolbarStyles> styles; // every report, the latest last
    std::function<void()> echo; // called after each report
    QString status;
    QString pdf;

    // Mail merge: whether a database answers, its range, what a field marker becomes
    // (nothing changes when unset), and the field the user would choose.
    bool hasDatabase = false;
    int firstRecord = 1, lastRecord = 0;
    std::function<void(int record, QString &text)> contenu;
    QString field;
    QStringList fieldNames;
    int fieldNameRefills = 0;

private:
    std::unique_ptr<QPrinter> m_pdfPrinter;
};
