#include "spreadsheet/ui/tnombre.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace sheet;

namespace {
const char16_t *const kCategories[] = {u"Standard", u"Nombre", u"Monétaire",    u"Pourcentage",
                                       u"Date",     u"Heure",  u"Scientifique", u"Texte"};
} // namespace

TNombre::TNombre(QWidget *parent) : AcceptDialog(parent)
{
    setObjectName(QStringLiteral("Nombre"));
    setWindowTitle(QStringLiteral("Nombre"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Catégorie"));
    for (const char16_t *c : kCategories)
        ListBox1->addItem(QString::fromUtf16(c));
    ListBox1->setFixedWidth(130);

    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, 15);
    CheckBox1 = new QCheckBox(QStringLiteral("Séparateur de &milliers"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(QStringLiteral("Nombres &négatifs en rouge"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("€"), QStringLiteral("F")});
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setAccessibleName(QStringLiteral("Présentation"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFrameShape(QFrame::StyledPanel);
    Label1->setMinimumHeight(Label1->fontMetrics().height() + 8);
    Label1->setAccessibleName(QStringLiteral("Aperçu"));

    auto *options = new QFormLayout;
    options->addRow(QStringLiteral("&Décimales"), SpinEdit1);
    options->addRow(QStringLiteral("&Symbole"), ComboBox1);
    options->addRow(CheckBox1);
    options->addRow(CheckBox2);
    options->addRow(ListBox2);
    auto *preview = new QGroupBox(QStringLiteral("Aperçu"), this);
    auto *pl = new QVBoxLayout(preview);
    pl->addWidget(Label1);
    auto *right = new QVBoxLayout;
    right->addWidget(preview);
    right->addLayout(options);
    auto *body = new QHBoxLayout;
    body->addWidget(ListBox1);
    body->addLayout(right, 1);

    QHBoxLayout *buttons = okCancelRow(Button2, "Button2", Button1, "Button1");
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    resize(430, 330);

    setCloseCancels(true);
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        updateOptions();
        updatePreview();
    });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TNombre::updatePreview);
    connect(CheckBox1, &QCheckBox::toggled, this, &TNombre::updatePreview);
    connect(CheckBox2, &QCheckBox::toggled, this, &TNombre::updatePreview);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TNombre::updatePreview);
    connect(ListBox2, &QListWidget::currentRowChanged, this, &TNombre::updatePreview);
}

void TNombre::Init(const QString &pattern, const Value &sample)
{
    m_accepted = false;
    m_sample = sample;
    showChoice(choiceOf(pattern));
    ListBox1->setFocus();
}

QString TNombre::Result(bool &ok) const
{
    ok = m_accepted;
    return m_accepted ? patternOf(choice()) : QString();
}

NumberFormatChoice TNombre::choice() const
{
    NumberFormatChoice c;
    c.category = NumberFormatChoice::Category(std::max(0, ListBox1->currentRow()));
    c.decimals = SpinEdit1->value();
    c.thousands = CheckBox1->isChecked();
    c.negativeRed = CheckBox2->isChecked();
    c.currency = ComboBox1->currentText();
    if (const QListWidgetItem *form = ListBox2->currentItem())
        c.form = form->data(Qt::UserRole).toString();
    return c;
}

void TNombre::showChoice(const NumberFormatChoice &c)
{
    m_filling = true;
    SpinEdit1->setValue(c.decimals);
    CheckBox1->setChecked(c.thousands);
    CheckBox2->setChecked(c.negativeRed);
    const int symbol = ComboBox1->findText(c.currency);
    if (symbol < 0)
        ComboBox1->addItem(c.currency); // a symbol read from another program's file
    ComboBox1->setCurrentIndex(symbol < 0 ? ComboBox1->count() - 1 : symbol);
    ListBox1->setCurrentRow(int(c.category));
    updateOptions();
    for (int i = 0; i < ListBox2->count(); ++i)
        if (ListBox2->item(i)->data(Qt::UserRole).toString() == c.form)
            ListBox2->setCurrentRow(i);
    m_filling = false;
    updatePreview();
}

// Only the options of the chosen category can be set; dates and times list their forms,
// each shown as today's date or the present time would read.
void TNombre::updateOptions()
{
    const auto category = NumberFormatChoice::Category(std::max(0, ListBox1->currentRow()));
    const bool number = category == NumberFormatChoice::Number, currency = category == NumberFormatChoice::Currency;
    SpinEdit1->setEnabled(number || currency || category == NumberFormatChoice::Percent
                          || category == NumberFormatChoice::Scientific);
    CheckBox1->setEnabled(number || currency);
    CheckBox2->setEnabled(number || currency);
    ComboBox1->setEnabled(currency);
    const bool dated = category == NumberFormatChoice::Date || category == NumberFormatChoice::Time;
    const QStringList &forms = category == NumberFormatChoice::Time ? timeForms() : dateForms();
    const QString wanted = ListBox2->currentItem() ? ListBox2->currentItem()->data(Qt::UserRole).toString() : QString();
    ListBox2->clear();
    ListBox2->setEnabled(dated);
    if (!dated)
        return;
    const double now = dateToSerial(QDate::currentDate()) + QTime::currentTime().msecsSinceStartOfDay() / 86400000.0;
    for (const QString &form : forms) {
        auto *item = new QListWidgetItem(formatNumber(now, form), ListBox2);
        item->setData(Qt::UserRole, form);
    }
    const int at = int(forms.indexOf(wanted));
    ListBox2->setCurrentRow(at < 0 ? 0 : at);
}

void TNombre::updatePreview()
{
    if (m_filling)
        return;
    const QString pattern = patternOf(choice());
    // The active cell as it would show; a cell without a number shows an example.
    const double x = m_sample.isNumber() ? m_sample.asNumber() : -1234.5;
    const bool text = !m_sample.isNumber() && m_sample.isText();
    Label1->setText(text ? m_sample.asText() : formatNumber(x, pattern));
    const int colour = text ? -1 : patternColour(x, pattern);
    Label1->setStyleSheet(colour >= 0 ? QStringLiteral("color: #%1").arg(colour, 6, 16, QLatin1Char('0')) : QString());
}
