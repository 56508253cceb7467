#include "utilities/ui/tplettre.h"

#include "utilities/ui/countspinedit.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TPLettre::TPLettre(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPLettre"));
    setWindowTitle(QStringLiteral("Pèse-Lettres"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    // Items 0-3 simple envelopes, 4-8 padded, 9-12 sheets, 13-17 media, 18-19 photos,
    // 20 the extra weight (see postage::items()).
    auto *left = new QVBoxLayout;
    left->addWidget(makeGroup(postage::items()[0].group, 0, 3));
    left->addWidget(makeGroup(postage::items()[4].group, 4, 8));
    left->addWidget(makeGroup(postage::items()[18].group, 18, 19));
    left->addStretch();
    auto *middle = new QVBoxLayout;
    middle->addWidget(makeGroup(postage::items()[9].group, 9, 12));
    middle->addWidget(makeGroup(postage::items()[13].group, 13, 17));
    middle->addWidget(makeGroup(postage::items()[20].group, 20, 20));
    middle->addStretch();

    auto *tarif = new QGroupBox(QStringLiteral("Tarification"), this);
    RadioButton1 = new QRadioButton(QStringLiteral("Expédition France rapide"), tarif);
    RadioButton3 = new QRadioButton(QStringLiteral("Expédition France Ecopli"), tarif);
    RadioButton2 = new QRadioButton(QStringLiteral("Expédition vers l'U.E."), tarif);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton1->setChecked(true);
    auto *tarifLayout = new QVBoxLayout(tarif);
    for (QRadioButton *r : {RadioButton1, RadioButton3, RadioButton2}) {
        tarifLayout->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Calcule();
        });
    }

    auto *result = new QFrame(this);
    result->setObjectName(QStringLiteral("result"));
    result->setFrameShape(QFrame::Panel);
    result->setFrameShadow(QFrame::Sunken);
    result->setStyleSheet(QStringLiteral("QFrame#result { background: white; }"));
    Label22 = new QLabel(QStringLiteral("20 g"), result);
    Label23 = new QLabel(QStringLiteral("3 F"), result);
    Label22->setObjectName(QStringLiteral("Label22"));
    Label23->setObjectName(QStringLiteral("Label23"));
    QFont big = font();
    big.setPointSize(14);
    big.setBold(true);
    for (QLabel *l : {Label22, Label23}) {
        l->setFont(big);
        l->setAlignment(Qt::AlignCenter);
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    result->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("000000 g")) + 20);
    auto *resultLayout = new QVBoxLayout(result);
    resultLayout->addWidget(Label22);
    resultLayout->addWidget(Label23);

    Button1 = new QPushButton(QStringLiteral("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto *right = new QVBoxLayout;
    right->addWidget(tarif);
    right->addWidget(result);
    right->addStretch();
    right->addWidget(Button1, 0, Qt::AlignRight);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(middle);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TPLettre::makeGroup(const QString &title, int firstItem, int lastItem)
{
    auto *box = new QGroupBox(title, this);
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    for (int i = firstItem; i <= lastItem; ++i) {
        const postage::Item &item = postage::items()[i];
        auto *edit = new CountSpinEdit(postage::kMinCount, postage::kMaxCount, box);
        edit->setObjectName(QStringLiteral("SpinEdit%1").arg(item.spinEdit));
        auto *label = new QLabel(item.label, box);
        label->setBuddy(edit);
        grid->addWidget(label, i - firstItem, 0);
        grid->addWidget(edit, i - firstItem, 1);
        connect(edit, &CountSpinEdit::changed, this, &TPLettre::Calcule);
        m_counts[i] = edit;
    }
    grid->setColumnStretch(0, 1);
    return box;
}

CountSpinEdit *TPLettre::SpinEdit(int n) const
{
    for (int i = 0; i < postage::kItemCount; ++i)
        if (postage::items()[i].spinEdit == n)
            return m_counts[i];
    return nullptr;
}

postage::Service TPLettre::service() const
{
    if (RadioButton3->isChecked())
        return postage::Service::FranceEcopli;
    if (RadioButton2->isChecked())
        return postage::Service::UnionEuropeenne;
    return postage::Service::FranceRapide;
}

void TPLettre::Calcule()
{
    postage::Counts counts{};
    for (int i = 0; i < postage::kItemCount; ++i)
        counts[i] = m_counts[i]->value();
    const Real48 weight = postage::totalWeight(counts);
    Label22->setText(postage::weightText(weight));
    Label23->setText(postage::priceText(postage::price(service(), weight)));
}
