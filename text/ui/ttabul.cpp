#include "text/ui/ttabul.h"

#include "text/core/toolformulas.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TTabul::TTabul(QWidget *parent)
    : ToolDialog(QStringLiteral("Tabul"), QStringLiteral("Tabulations"), QSize(310, 220), parent)
{
    auto *group = new QGroupBox(QStringLiteral("Point d'arrêt des tabulations"), this);
    group->setGeometry(8, 8, 200, 204);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Point d'arrêt"));
    Edit1->setGeometry(10, 22, 90, 22);
    Edit1->installEventFilter(this);
    ListBox1 = new QListWidget(group);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Points d'arrêt"));
    ListBox1->setGeometry(10, 50, 90, 144);
    ListBox1->installEventFilter(this);
    DefineButton = new QPushButton(QStringLiteral("Définir"), group);
    DefineButton->setObjectName(QStringLiteral("DefineButton"));
    DefineButton->setAutoDefault(false);
    DefineButton->setGeometry(110, 20, 80, 25);
    DeleteButton = new QPushButton(QStringLiteral("Supprimer"), group);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    DeleteButton->setAutoDefault(false);
    DeleteButton->setGeometry(110, 52, 80, 25);
    OkButton = makeButton(QStringLiteral("OK"), QRect(220, 14, 80, 25), QStringLiteral("OkButton"));
    CancelButton = makeButton(QStringLiteral("Annuler"), QRect(220, 46, 80, 25), QStringLiteral("CancelButton"));
    setCancelButton(CancelButton);

    connect(DefineButton, &QPushButton::clicked, this, &TTabul::define);
    connect(DeleteButton, &QPushButton::clicked, this, &TTabul::remove);
    connect(ListBox1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { Edit1->setText(item->text()); });
    wireButtons(OkButton, CancelButton);
}

int TTabul::unitWidth() const { return qMax(1, fontMetrics().horizontalAdvance(QLatin1Char('A'))); }

void TTabul::Init(const QList<double> &stops)
{
    ListBox1->clear();
    const int unit = unitWidth();
    for (double stop : stops) {
        const int value = texttools::tabListValue(stop, unit);
        if (value > 0)
            ListBox1->addItem(QString::number(value));
    }
}

void TTabul::Result(QList<double> &stops) const
{
    if (!m_accepted)
        return;
    const int unit = unitWidth();
    for (int i = 0; i < ListBox1->count(); ++i) {
        const double stop = double(texttools::parseInteger(ListBox1->item(i)->text())) * unit;
        if (i < stops.size())
            stops[i] = stop;
        else
            stops.append(stop);
    }
}

void TTabul::define()
{
    QListWidgetItem *selected = ListBox1->currentItem();
    if (selected && selected->isSelected())
        selected->setText(Edit1->text());
    else
        ListBox1->addItem(Edit1->text());
    Edit1->clear();
}

void TTabul::remove()
{
    QListWidgetItem *selected = ListBox1->currentItem();
    if (selected && selected->isSelected())
        delete ListBox1->takeItem(ListBox1->row(selected));
    ListBox1->setCurrentRow(-1);
    Edit1->clear();
}

void TTabul::showEvent(QShowEvent *e)
{
    ToolDialog::showEvent(e);
    if (!e->spontaneous())
        Edit1->setFocus();
}

bool TTabul::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (watched == Edit1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            define();
            return true;
        }
        if (watched == ListBox1 && key == Qt::Key_Delete) {
            remove();
            return true;
        }
    }
    return ToolDialog::eventFilter(watched, e);
}
