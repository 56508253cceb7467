#include "shell/ui/recoverydialog.h"

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"
#include "shell/ui/tmainform.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char *const kKindNames[kDocKinds] = {"Texte", "Tableur", "Base de données", "Agenda"};

QString shownName(const RecoveryStore::Entry &e)
{
    if (e.fileName.isEmpty())
        return QStringLiteral("%1 (jamais enregistré)").arg(e.caption);
    return QFileInfo(e.fileName).fileName();
}

} // namespace

RecoveryDialog::RecoveryDialog(RecoveryStore &store, QList<RecoveryStore::Entry> entries, Opener opener,
                               QWidget *parent)
    : QDialog(parent),
      m_store(store),
      m_entries(std::move(entries)),
      m_opener(std::move(opener))
{
    setObjectName(QStringLiteral("RecoveryDialog"));
    setWindowTitle(QStringLiteral("Documents récupérés"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Velmora ne s'est pas terminé normalement. Ces documents avaient des "
                                            "modifications non enregistrées ; une copie en a été gardée."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setRootIsDecorated(false);
    List->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Document"), QStringLiteral("Copie du")});
    List->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    layout->addWidget(List);
    auto *buttons = new QDialogButtonBox(this);
    OpenButton = buttons->addButton(QStringLiteral("&Ouvrir"), QDialogButtonBox::ActionRole);
    DiscardButton = buttons->addButton(QStringLiteral("&Supprimer"), QDialogButtonBox::ActionRole);
    CloseButton = buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    OpenButton->setDefault(true);
    layout->addWidget(buttons);
    connect(OpenButton, &QPushButton::clicked, this, &RecoveryDialog::openSelected);
    connect(DiscardButton, &QPushButton::clicked, this, &RecoveryDialog::discardSelected);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(List, &QTreeWidget::itemDoubleClicked, this, &RecoveryDialog::openSelected);
    resize(560, 260);
    fill();
}

void RecoveryDialog::fill()
{
    List->clear();
    for (const RecoveryStore::Entry &e : std::as_const(m_entries)) {
        auto *item = new QTreeWidgetItem(List,
                                         {QString::fromUtf8(kKindNames[int(e.kind)]), shownName(e),
                                          e.time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))});
        item->setToolTip(1, e.fileName);
    }
    if (!m_entries.isEmpty())
        List->setCurrentItem(List->topLevelItem(0));
    OpenButton->setEnabled(!m_entries.isEmpty());
    DiscardButton->setEnabled(!m_entries.isEmpty());
}

void RecoveryDialog::openSelected()
{
    const int row = List->indexOfTopLevelItem(List->currentItem());
    if (row < 0)
        return;
    // A copy that cannot be read is said so and stays listed (and on disk).
    if (!errorhandler::run(this, [&] { m_opener(m_entries[row]); }))
        return;
    m_entries.removeAt(row);
    fill();
    if (m_entries.isEmpty())
        accept();
}

void RecoveryDialog::discardSelected()
{
    const int row = List->indexOfTopLevelItem(List->currentItem());
    if (row < 0)
        return;
    const auto answer = messageboxes::ask(
            this, messageboxes::Kind::Warning, windowTitle(),
            QStringLiteral("La copie de %1 sera supprimée définitivement. Continuer ?").arg(shownName(m_entries[row])),
            {messageboxes::Answer::Oui, messageboxes::Answer::Non});
    if (answer != messageboxes::Answer::Oui)
        return;
    m_store.discard(m_entries[row]);
    m_entries.removeAt(row);
    fill();
    if (m_entries.isEmpty())
        accept();
}

namespace recovery {

void offer(TMainForm &frame, RecoveryStore &store)
{
    QList<RecoveryStore::Entry> entries = store.abandoned();
    if (entries.isEmpty())
        return;
    RecoveryDialog dialog(
            store, std::move(entries),
            [&](const RecoveryStore::Entry &entry) {
                DocumentWindow *window = frame.newDocument(entry.kind);
                try {
                    store.restore(entry, window);
                } catch (...) {
                    // The new, empty window goes again.
                    for (QMdiSubWindow *sw : frame.mdiArea()->subWindowList())
                        if (sw->widget() == window)
                            sw->close();
                    throw;
                }
            },
            &frame);
    dialog.exec();
    store.releaseClaims();
}

} // namespace recovery
