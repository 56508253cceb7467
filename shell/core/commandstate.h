// Which commands the frame enables and which document window a command reaches. Both follow
// the document windows open now: a command is enabled exactly when a window it serves is
// open, and it reaches the active window when that is of a kind it serves, otherwise the
// most recently active open window of such a kind. "Annuler" and "Rétablir" further need
// something to undo or redo in the window they reach (the frame checks that itself).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Document kinds as bits, in the order text, spreadsheet, database, agenda (the order of
// DocKind).
enum KindBit : unsigned {
    TextBit = 1,
    SheetBit = 2,
    BaseBit = 4,
    AgendaBit = 8,
    AllKinds = TextBit | SheetBit | BaseBit | AgendaBit,
};

constexpr unsigned kindBit(int kind) { return 1u << kind; }

struct DocumentCounts
{
    int windows = 0; // open document windows
    int textes = 0; // open text windows
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

// The kinds a component's command acts on; 0 for a component that is not routed to a
// document window.
unsigned servedKinds(const QString &component);

// `recentKinds` holds the kind (0 text .. 3 agenda) of each open document window, the
// active one first, then the others from the most recently active to the least. Returns
// the index of the window a command serving `served` reaches, or -1 when none is open.
int reachedWindow(const QList<int> &recentKinds, unsigned served);

} // namespace commandstate
