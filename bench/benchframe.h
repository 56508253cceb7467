// The least a document window needs of its frame, for benchmarks that drive real windows.
#pragma once

#include "common/ui/frameservices.h"
#include "common/ui/printing.h"

#include <QPrinter>
#include <QStringList>

#include <memory>

class BenchFrame : public FrameServices
{
public:
    void SetStyles(bool, bool, bool, bool, bool, bool, bool, const QString &, const QString &) override {}
    void setStatusText(const QString &) override {}
    QStringList &PressePapierFichier() override { return m_rows; }
    QStringList &PressePapierAgenda() override { return m_rows; }
    QPrinter &printer() override
    {
        if (!m_printer)
            m_printer = printing::createPrinter();
        return *m_printer;
    }

private:
    QStringList m_rows;
    std::unique_ptr<QPrinter> m_printer;
};
