#include "database/ui/tfichier.h"

#include "common/ui/errorhandler.h"
#include "common/ui/messageboxes.h"
#include "common/velmoraerror.h"
#include "database/core/qvbformat.h"
#include "database/ui/cardgrid.h"
#include "database/ui/listgrid.h"
#include "database/ui/listmodel.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
enum Page { ListePage = 0, FichePage = 1 };
}

TFichier::TFichier(FrameServices &frame, const DatabaseTools &tools, QWidget *parent)
    : DocumentWindow(DocKind::Fichier, frame, parent),
      m_tools(tools)
{
    setObjectName(QStringLiteral("Fichier"));
    setWindowTitle(QStringLiteral("Fichier"));
    setProperty("helpContext", 7);
    resize(544, 375);
    FormCreate();
}

TFichier::~TFichier()
{
    // The grids go with the base class, after the table: let them forget it first.
    StringGrid1->setModel(nullptr);
    delete m_model;
}

void TFichier::FormCreate()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    layout->addWidget(Notebook1);

    StringGrid1 = new ListGrid(Notebook1);
    m_model = new RecordListModel(m_table, this);
    StringGrid1->setModel(m_model);
    Notebook1->addWidget(StringGrid1);

    auto *card = new QWidget(Notebook1);
    buildCardPage(card);
    Notebook1->addWidget(card);
    Notebook1->setCurrentIndex(ListePage);
    setFocusProxy(StringGrid1);

    applyWidths();
    StringGrid1->setCurrentIndex(m_model->cellIndex(1, 1));

    connect(m_model, &RecordListModel::cellEdited, this, &TFichier::cellEdited);
    connect(StringGrid1, &ListGrid::enterPressed, this, &TFichier::StringGrid1Enter);
    connect(StringGrid1->verticalHeader(), &QHeaderView::sectionMoved, this, &TFichier::rowMoved);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionMoved, this, &TFichier::columnMoved);
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionResized, this, &TFichier::columnResized);
    connect(StringGrid2, &CardGrid::pageKey, this, [this](int step) { step < 0 ? Precedent() : Suivant(); });
}

void TFichier::buildCardPage(QWidget *page)
{
    auto *v = new QVBoxLayout(page);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    Panel1 = new QFrame(page);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(33);
    static_cast<QFrame *>(Panel1)->setFrameShape(QFrame::StyledPanel);
    auto *h = new QHBoxLayout(Panel1);
    h->setContentsMargins(4, 2, 4, 2);
    h->setSpacing(2);
    const QStyle::StandardPixmap icons[4] = {QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,
                                             QStyle::SP_MediaSeekForward, QStyle::SP_MediaSkipForward};
    const char *hints[4] = {"Première fiche", "Fiche précédente", "Fiche suivante", "Dernière fiche"};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(Panel1);
        b->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icons[i]));
        b->setToolTip(QString::fromUtf8(hints[i]));
        b->setAccessibleName(QString::fromUtf8(hints[i]));
        b->setFixedSize(26, 26);
        b->setFocusPolicy(Qt::NoFocus);
        h->addWidget(b);
        m_navButtons[i] = b;
    }
    connect(m_navButtons[0], &QToolButton::clicked, this, &TFichier::Premier);
    connect(m_navButtons[1], &QToolButton::clicked, this, &TFichier::Precedent);
    connect(m_navButtons[2], &QToolButton::clicked, this, &TFichier::Suivant);
    connect(m_navButtons[3], &QToolButton::clicked, this, &TFichier::Dernier);
    m_panelCaption = new QLabel(Panel1);
    m_panelCaption->setObjectName(QStringLiteral("Panel1Caption"));
    m_panelCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = m_panelCaption->font();
    bold.setBold(true);
    bold.setPixelSize(17);
    m_panelCaption->setFont(bold);
    h->addWidget(m_panelCaption, 1);
    v->addWidget(Panel1);
    StringGrid2 = new CardGrid(page);
    v->addWidget(StringGrid2, 1);
}

QSize TFichier::sizeHint() const { return {544, 375}; }

bool TFichier::cardShown() const { return Notebook1->currentIndex() == FichePage; }

int TFichier::currentRecord() const
{
    const QModelIndex i = StringGrid1->currentIndex();
    return i.isValid() ? RecordListModel::recordOf(i) : 1;
}

int TFichier::currentField() const
{
    const QModelIndex i = StringGrid1->currentIndex();
    return i.isValid() ? RecordListModel::fieldOf(i) : 1;
}

void TFichier::setCurrentCell(int field, int record)
{
    const QModelIndex i = m_model->cellIndex(std::clamp(field, 1, int(Table::kMaxFields)),
                                             std::clamp(record, 1, int(Table::kMaxRecords)));
    StringGrid1->setCurrentIndex(i);
    StringGrid1->scrollTo(i);
}

void TFichier::selectRecords(int first, int last)
{
    setCurrentCell(1, first);
    const int top = std::clamp(first, 1, int(Table::kMaxRecords));
    const int bottom = std::clamp(last, top, int(Table::kMaxRecords));
    StringGrid1->selectionModel()->select(
            QItemSelection(m_model->cellIndex(1, top), m_model->cellIndex(Table::kMaxFields, bottom)),
            QItemSelectionModel::ClearAndSelect);
}

int TFichier::runDialog(QDialog &dialog) { return m_dialogHook ? m_dialogHook(dialog) : dialog.exec(); }

void TFichier::markModified() { m_modifie = true; }

void TFichier::commitEdits()
{
    StringGrid1->commitPendingEdit();
    StringGrid2->commitPendingEdit();
}

bool TFichier::needListView()
{
    if (!cardShown())
        return true;
    messageboxes::inform(this, QStringLiteral("Vue liste nécéssaire pour cette opération"));
    return false;
}

void TFichier::refuse(const QString &message) { messageboxes::inform(this, message, QStringLiteral("Fichier")); }

// The table and its grid

void TFichier::applyWidths()
{
    m_settingWidths = true;
    for (int f = 1; f <= Table::kMaxFields; ++f)
        StringGrid1->horizontalHeader()->resizeSection(f - 1, m_table.width(f));
    m_settingWidths = false;
}

void TFichier::afterTableChange()
{
    m_model->refreshAll();
    if (cardShown())
        LitFiche();
}

void TFichier::recordsChanged(int first, int last) { m_model->refreshRecords(first, last); }

void TFichier::cellEdited(int field, int record)
{
    markModified();
    m_table.NbFiches = std::max(m_table.NbFiches, record);
    m_table.NbChamps = std::max(m_table.NbChamps, field);
}

void TFichier::StringGrid1Enter()
{
    // Enter goes to field 1 of the next record, which becomes a record if it was not one.
    const int next = std::min(currentRecord() + 1, int(Table::kMaxRecords));
    setCurrentCell(1, next);
    StringGrid1->selectionModel()->select(StringGrid1->currentIndex(), QItemSelectionModel::ClearAndSelect);
    m_table.NbFiches = std::max(m_table.NbFiches, next);
    m_table.NbChamps = std::max(m_table.NbChamps, 1);
}

void TFichier::rowMoved(int logical, int oldVisual, int newVisual)
{
    // The header moved a section on screen only: put it back and move the record itself,
    // so that what is saved is what is seen.
    QHeaderView *h = StringGrid1->verticalHeader();
    h->blockSignals(true);
    h->moveSection(newVisual, oldVisual);
    h->blockSignals(false);
    Q_UNUSED(logical);
    commitEdits();
    m_table.moveRow(oldVisual + 1, newVisual + 1);
    // Rows shifted past the last record must stay within what is saved.
    m_table.NbFiches = std::max(m_table.NbFiches, m_table.lastUsedRow());
    markModified();
    recordsChanged(std::min(oldVisual, newVisual) + 1, std::max(oldVisual, newVisual) + 1);
    setCurrentCell(currentField(), newVisual + 1);
}

void TFichier::columnMoved(int logical, int oldVisual, int newVisual)
{
    QHeaderView *h = StringGrid1->horizontalHeader();
    h->blockSignals(true);
    h->moveSection(newVisual, oldVisual);
    h->blockSignals(false);
    Q_UNUSED(logical);
    commitEdits();
    m_table.moveField(oldVisual + 1, newVisual + 1);
    m_table.NbChamps = std::max(m_table.NbChamps, m_table.lastUsedField());
    markModified();
    applyWidths();
    m_model->refreshAll();
    setCurrentCell(newVisual + 1, currentRecord());
}

void TFichier::columnResized(int logical, int oldSize, int newSize)
{
    Q_UNUSED(oldSize);
    if (m_settingWidths)
        return;
    m_table.setWidth(logical + 1, newSize);
    markModified();
}

// File

void TFichier::Charge(const QString &path)
{
    commitEdits();
    setNomFichier(path);
    m_table = Table();
    QString failure;
    m_cellsLeftOut = 0;
    try {
        qvb::load(path, m_table, &m_cellsLeftOut);
    } catch (const VelmoraError &e) {
        m_table = Table();
        failure = e.message();
    }
    m_modifie = false;
    m_ligneRecherche = 0;
    applyWidths();
    m_model->refreshAll();
    setCurrentCell(1, 1);
    if (cardShown())
        VueFiche();
    frame().setFieldNames(m_table.fieldNames());
    // The window stays, empty and named, so that the user may still save under that name.
    if (!failure.isEmpty())
        errorhandler::show(this, failure);
    else if (m_cellsLeftOut > 0)
        messageboxes::inform(this, leftOutMessage(), QStringLiteral("Avertissement"));
}

QString TFichier::leftOutMessage() const
{
    return QStringLiteral("%1 %2 de ce fichier %3 au-delà de ce que la base peut tenir (%4 fiches de %5 champs) "
                          "et %6 laissée%7 de côté.")
            .arg(m_cellsLeftOut)
            .arg(m_cellsLeftOut > 1 ? QStringLiteral("cellules") : QStringLiteral("cellule"))
            .arg(m_cellsLeftOut > 1 ? QStringLiteral("sont") : QStringLiteral("est"))
            .arg(Table::kMaxRecords)
            .arg(Table::kMaxFields)
            .arg(m_cellsLeftOut > 1 ? QStringLiteral("ont été") : QStringLiteral("a été"))
            .arg(m_cellsLeftOut > 1 ? QStringLiteral("s") : QString());
}

bool TFichier::confirmLeftOut()
{
    if (m_cellsLeftOut <= 0)
        return true;
    const bool yes = messageboxes::confirmSmallerSave(this, leftOutMessage());
    if (yes)
        m_cellsLeftOut = 0; // asked once: the smaller database is now the user's choice
    return yes;
}

bool TFichier::finishEditing()
{
    commitEdits();
    if (cardShown())
        EcritFiche();
    return true;
}

QString TFichier::askSaveName()
{
    return chooseSaveName(NomFichier(), [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer sous"), NomFichier(),
                                            QStringLiteral("Fichiers (*.qvb)"));
    });
}

QString TFichier::saveName(const QString &chosen) const { return qvb::normalizedName(chosen); }

bool TFichier::writeFile(const QString &path)
{
    if (!confirmLeftOut())
        return false;
    const qvb::CellPosition bad = qvb::firstUnencodable(m_table);
    if (bad.field != 0) {
        const QString where = bad.row == 0 ? QStringLiteral("nom du champ %1").arg(bad.field)
                                           : QStringLiteral("fiche %1, champ %2").arg(bad.row).arg(bad.field);
        const auto answer = messageboxes::ask(
                this, messageboxes::Kind::Warning, QStringLiteral("Avertissement"),
                QStringLiteral("Le caractère « %1 » (%2) ne peut pas être enregistré dans un fichier .qvb : "
                               "il sera remplacé par « ? », comme les autres caractères dans ce cas.\n"
                               "Enregistrer quand même ?")
                        .arg(bad.character)
                        .arg(where),
                {messageboxes::Answer::Oui, messageboxes::Answer::Annuler});
        if (answer != messageboxes::Answer::Oui)
            return false;
    }
    qvb::save(path, m_table);
    return true;
}

// Card view

void TFichier::VueListe()
{
    commitEdits();
    if (cardShown()) {
        EcritFiche();
        if (m_ficheCourante >= 1)
            setCurrentCell(currentField(), m_ficheCourante);
    }
    Notebook1->setCurrentIndex(ListePage);
    setFocusProxy(StringGrid1);
    StringGrid1->setFocus();
}

void TFichier::VueFiche()
{
    commitEdits();
    m_ficheCourante = currentRecord();
    Notebook1->setCurrentIndex(FichePage);
    setFocusProxy(StringGrid2);
    StringGrid2->setColumnWidth(0, 150);
    StringGrid2->setColumnWidth(1, std::max(50, width() - 150 - 4));
    LitFiche();
    StringGrid2->setFocus();
    if (StringGrid2->rowCount() > 0)
        StringGrid2->setCurrentCell(0, 1);
}

void TFichier::LitFiche()
{
    m_panelCaption->setText(QStringLiteral("Fiche N° %1   ").arg(m_ficheCourante));
    QStringList names;
    QStringList values;
    for (int f = 1; f <= m_table.lastField(); ++f) {
        names.append(m_table.name(f));
        values.append(m_table.cell(f, m_ficheCourante));
    }
    StringGrid2->setCard(names, values);
}

void TFichier::EcritFiche()
{
    const QStringList values = StringGrid2->values();
    bool changed = false;
    for (int f = 1; f <= m_table.lastField() && f <= values.size(); ++f) {
        const QString text = RecordListModel::cleanCellText(values[f - 1]);
        if (m_table.cell(f, m_ficheCourante) == text)
            continue;
        m_table.setCell(f, m_ficheCourante, text);
        changed = true;
    }
    if (!changed)
        return;
    markModified();
    // A card past the last record that now holds text becomes the last record.
    if (m_ficheCourante > m_table.NbFiches && !m_table.rowIsEmpty(m_ficheCourante))
        m_table.NbFiches = m_ficheCourante;
    if (m_ficheCourante == 0)
        m_model->refreshNames();
    else
        recordsChanged(m_ficheCourante, m_ficheCourante);
}

void TFichier::Premier()
{
    EcritFiche();
    m_ficheCourante = 1;
    LitFiche();
}

void TFichier::Precedent()
{
    EcritFiche();
    m_ficheCourante = std::max(m_ficheCourante - 1, 1);
    LitFiche();
}

void TFichier::Suivant()
{
    EcritFiche();
    const int next = m_ficheCourante + 1;
    if (next > Table::kMaxRecords)
        return;
    m_ficheCourante = next;
    if (next > m_table.NbFiches)
        m_table.NbFiches = next;
    LitFiche();
}

void TFichier::Dernier()
{
    EcritFiche();
    m_ficheCourante = m_table.lastRecord();
    LitFiche();
}

void TFichier::keyPressEvent(QKeyEvent *event)
{
    if (cardShown() && (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
        event->key() == Qt::Key_PageUp ? Precedent() : Suivant();
        event->accept();
        return;
    }
    DocumentWindow::keyPressEvent(event);
}

void TFichier::resizeEvent(QResizeEvent *event)
{
    DocumentWindow::resizeEvent(event);
    if (StringGrid2)
        StringGrid2->setColumnWidth(1, std::max(50, width() - 150 - 4));
}
