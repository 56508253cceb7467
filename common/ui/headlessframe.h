// A frame that shows nothing, for document windows run without the main window: headless
// conversions and mail merges, benchmarks, tests. Formatting and status reports are dropped;
// the two row clipboards are its own; the printer is the one given, else the system's
// default one (A4, high resolution) made when first asked for.
#pragma once

#include "common/ui/frameservices.h"

#include <QStringList>

#include <memory>

class HeadlessFrame : public FrameServices
{
public:
    HeadlessFrame();
    explicit HeadlessFrame(QPrinter &printer);
    ~HeadlessFrame() override;

    void SetStyles(bool, bool, bool, bool, bool, bool, bool, const QString &, const QString &) override { }
    void setStatusText(const QString &) override { }
    QStringList &PressePapierFichier() override { return m_databaseRows; }
    QStringList &PressePapierAgenda() override { return m_agendaRows; }
    QPrinter &printer() override;

private:
    QPrinter *m_given = nullptr;
    std::unique_ptr<QPrinter> m_own;
    QStringList m_databaseRows;
    QStringList m_agendaRows;
};
