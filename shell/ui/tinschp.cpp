#include "shell/ui/tinschp.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TInsChp::TInsChp(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InsChp"));
    setWindowTitle(QStringLiteral("Insérer champs"));
    setFixedSize(300, 260);
    auto *label = new QLabel(QStringLiteral("Base de données"), this);
    label->move(10, 8);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(10, 26, 180, 22);
    Edit1->setReadOnly(true);
    Edit1->setAccessibleName(QStringLiteral("Base de données"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(10, 56, 180, 192);
    ListBox1->setAccessibleName(QStringLiteral("Champs"));
    ListBox1->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("Insérer"), this);
    Button1->setGeometry(205, 56, 85, 25);
    Button2 = new QPushButton(QStringLiteral("Annuler"), this);
    Button2->setGeometry(205, 88, 85, 25);
    connect(Button1, &QPushButton::clicked, this, &TInsChp::insert);
    connect(Button2, &QPushButton::clicked, this, [this] {
        m_inserted = false;
        reject();
    });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TInsChp::insert);
}

void TInsChp::setFields(const QStringList &names, const QString &databaseName)
{
    ListBox1->clear();
    ListBox1->addItems(names);
    if (!names.isEmpty())
        ListBox1->setCurrentRow(0);
    Edit1->setText(databaseName);
}

void TInsChp::prepare() { m_inserted = false; }

void TInsChp::showEvent(QShowEvent *e)
{
    prepare();
    ListBox1->setFocus();
    QDialog::showEvent(e);
}

bool TInsChp::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == ListBox1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            insert(); // Enter is consumed by the list
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TInsChp::insert()
{
    m_inserted = true;
    accept();
}

QString TInsChp::Result() const
{
    QListWidgetItem *item = ListBox1->currentItem();
    return (m_inserted && item && item->isSelected()) ? item->text() : QString();
}
