// "Documents récupérés": at start, after a run that did not end normally, lists the
// copies it left of documents with unsaved changes (kind, original name, time of the
// copy) and lets the user open each one or discard it; what is left is offered again next
// time.
#pragma once

#include "common/ui/recoverystore.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTreeWidget;
class TMainForm;

class RecoveryDialog : public QDialog
{
    Q_OBJECT
public:
    // Opens an entry in a new window; throws VelmoraError when it cannot.
    using Opener = std::function<void(const RecoveryStore::Entry &)>;

    RecoveryDialog(RecoveryStore &store, QList<RecoveryStore::Entry> entries, Opener opener, QWidget *parent = nullptr);

    QTreeWidget *List;
    QPushButton *OpenButton;
    QPushButton *DiscardButton;
    QPushButton *CloseButton;

    // The entries still listed.
    const QList<RecoveryStore::Entry> &entries() const { return m_entries; }

private:
    void openSelected();
    void discardSelected();
    void fill();

    RecoveryStore &m_store;
    QList<RecoveryStore::Entry> m_entries;
    Opener m_opener;
};

namespace recovery {
// Offers the copies left by an earlier run, if any, opening those chosen in `frame`.
void offer(TMainForm &frame, RecoveryStore &store);
} // namespace recovery
