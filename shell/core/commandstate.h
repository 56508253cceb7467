// Which commands the frame enables: they follow the numbers of document windows created
// in the run (never lowered), not the kind of the active window.
#pragma once

#include <QString>
#include <QStringList>

struct DocumentCounts
{
    int windows = 0;  // open document windows
    int textes = 0;   // text windows created since start-up
    int tableurs = 0;
    int fichiers = 0;
    int agendas = 0;
};

namespace commandstate {

// Whether the menu item or toolbar control with that component name is enabled; the
// components the table does not govern are always enabled.
bool isEnabled(const QString &component, const DocumentCounts &counts);

// Every component the enabling table governs.
QStringList governedComponents();

} // namespace commandstate
