#include "text/ui/tcaract.h"

#include "text/core/toolformulas.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

namespace {
constexpr int kCell = 20;
}

TCaract::TCaract(QWidget *parent)
    : ToolDialog(QStringLiteral("Caract"), QStringLiteral("Table des caractères"), QSize(580, 250), parent)
{
    using texttools::kTableColumns;
    using texttools::kTableRows;
    auto *label = new QLabel(QStringLiteral("Police"), this);
    label->setGeometry(10, 14, 40, 20);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setAccessibleName(QStringLiteral("Police"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setGeometry(54, 12, 220, 24);
    ComboBox1->setEditText(QStringLiteral("Times New Roman"));
    label->setBuddy(ComboBox1);

    StringGrid1 = new QTableWidget(kTableRows, kTableColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("Caractères"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setMinimumSectionSize(kCell);
    StringGrid1->verticalHeader()->setMinimumSectionSize(kCell);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(kCell);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kCell);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setTabKeyNavigation(false);
    const int frame = 2 * StringGrid1->frameWidth();
    StringGrid1->setGeometry(10, 46, kTableColumns * kCell + frame, kTableRows * kCell + frame);

    Edit1 = new QLineEdit(QStringLiteral("A"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Caractère choisi"));
    Edit1->setReadOnly(true);
    Edit1->setAlignment(Qt::AlignCenter);
    QFont previewFont = Edit1->font();
    previewFont.setPixelSize(27);
    Edit1->setFont(previewFont);
    Edit1->setGeometry(290, 6, 50, 38);

    OkButton = makeButton(QStringLiteral("OK"), QRect(400, 214, 80, 25), QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(488, 214, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);

    connect(OkButton, &QPushButton::clicked, this, &TCaract::choose);
    connect(CancelButton, &QPushButton::clicked, this, &TCaract::closeCancelled);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TCaract::choose);
    // The preview follows the current cell, whether moved by the mouse or by the keys.
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, &TCaract::showCurrentCell);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TCaract::showCurrentCell);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TCaract::fillGrid);
}

void TCaract::Init(const QStringList &fontFamilies, const QString &current)
{
    const QString text = current.isEmpty() ? ComboBox1->currentText() : current;
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(fontFamilies);
    ComboBox1->setEditText(text);
}

void TCaract::fillGrid()
{
    QFont font(ComboBox1->currentText());
    font.setPixelSize(14);
    StringGrid1->setFont(font);
    QFont preview = Edit1->font();
    preview.setFamily(ComboBox1->currentText());
    Edit1->setFont(preview);
    StringGrid1->clearContents();
    for (int row = 0; row < texttools::kTableRows; ++row)
        for (int column = 0; column < texttools::kTableColumns; ++column) {
            auto *item = new QTableWidgetItem(texttools::tableCharacter(row, column));
            item->setTextAlignment(Qt::AlignCenter);
            item->setToolTip(QString::number(texttools::characterCode(row, column)));
            StringGrid1->setItem(row, column, item);
        }
    StringGrid1->setCurrentCell(0, 0);
    showCurrentCell();
}

void TCaract::showCurrentCell()
{
    const QTableWidgetItem *item = StringGrid1->currentItem();
    Edit1->setText(item ? item->text() : QString());
}

void TCaract::choose() { closeAccepted(); }

void TCaract::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        m_accepted = false;
        fillGrid();
        StringGrid1->setFocus();
    }
    ToolDialog::showEvent(e);
}

QString TCaract::Result() const { return m_accepted ? Edit1->text() : QString(); }
