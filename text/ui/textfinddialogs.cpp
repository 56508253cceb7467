#include "text/ui/textfinddialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit *labelledEdit(const QString &caption, const QString &name, QWidget *parent, QGridLayout *grid, int row)
{
    auto *label = new QLabel(caption, parent);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(200);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent, QVBoxLayout *column)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    column->addWidget(b);
    return b;
}

} // namespace

TextFindDialog::TextFindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Rechercher"));
    setModal(false);
    auto *grid = new QGridLayout;
    FindEdit = labelledEdit(QStringLiteral("&Rechercher :"), QStringLiteral("FindEdit"), this, grid, 0);
    WholeWordBox = new QCheckBox(QStringLiteral("&Mot entier uniquement"), this);
    MatchCaseBox = new QCheckBox(QStringLiteral("Respecter la &casse"), this);
    auto *direction = new QGroupBox(QStringLiteral("Direction"), this);
    UpButton = new QRadioButton(QStringLiteral("&Haut"), direction);
    DownButton = new QRadioButton(QStringLiteral("&Bas"), direction);
    DownButton->setChecked(true);
    auto *dirLayout = new QHBoxLayout(direction);
    dirLayout->addWidget(UpButton);
    dirLayout->addWidget(DownButton);
    auto *options = new QVBoxLayout;
    options->addWidget(WholeWordBox);
    options->addWidget(MatchCaseBox);
    auto *lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);
    grid->addLayout(lower, 1, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    FindNextButton = button(QStringLiteral("&Suivant"), QStringLiteral("FindNextButton"), this, buttons);
    FindNextButton->setDefault(true);
    CancelButton = button(QStringLiteral("Annuler"), QStringLiteral("CancelButton"), this, buttons);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    FindNextButton->setEnabled(false);
    connect(FindEdit, &QLineEdit::textChanged, this,
            [this](const QString &t) { FindNextButton->setEnabled(!t.isEmpty()); });
    connect(FindNextButton, &QPushButton::clicked, this, &TextFindDialog::findNext);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
}

QString TextFindDialog::findText() const { return FindEdit->text(); }
bool TextFindDialog::wholeWord() const { return WholeWordBox->isChecked(); }
bool TextFindDialog::matchCase() const { return MatchCaseBox->isChecked(); }

TextReplaceDialog::TextReplaceDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Remplacer"));
    setModal(false);
    auto *grid = new QGridLayout;
    FindEdit = labelledEdit(QStringLiteral("&Rechercher :"), QStringLiteral("FindEdit"), this, grid, 0);
    ReplaceEdit = labelledEdit(QStringLiteral("Rem&placer par :"), QStringLiteral("ReplaceEdit"), this, grid, 1);
    WholeWordBox = new QCheckBox(QStringLiteral("&Mot entier uniquement"), this);
    MatchCaseBox = new QCheckBox(QStringLiteral("Respecter la &casse"), this);
    grid->addWidget(WholeWordBox, 2, 0, 1, 2);
    grid->addWidget(MatchCaseBox, 3, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    FindNextButton = button(QStringLiteral("&Suivant"), QStringLiteral("FindNextButton"), this, buttons);
    FindNextButton->setDefault(true);
    ReplaceButton = button(QStringLiteral("&Remplacer"), QStringLiteral("ReplaceButton"), this, buttons);
    ReplaceAllButton = button(QStringLiteral("Remplacer &tout"), QStringLiteral("ReplaceAllButton"), this, buttons);
    CancelButton = button(QStringLiteral("Annuler"), QStringLiteral("CancelButton"), this, buttons);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    auto enable = [this](const QString &t) {
        FindNextButton->setEnabled(!t.isEmpty());
        ReplaceButton->setEnabled(!t.isEmpty());
        ReplaceAllButton->setEnabled(!t.isEmpty());
    };
    enable(QString());
    connect(FindEdit, &QLineEdit::textChanged, this, enable);
    connect(FindNextButton, &QPushButton::clicked, this, &TextReplaceDialog::findNext);
    connect(ReplaceButton, &QPushButton::clicked, this, &TextReplaceDialog::replace);
    connect(ReplaceAllButton, &QPushButton::clicked, this, &TextReplaceDialog::replaceAll);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
}

QString TextReplaceDialog::findText() const { return FindEdit->text(); }
QString TextReplaceDialog::replaceText() const { return ReplaceEdit->text(); }
bool TextReplaceDialog::wholeWord() const { return WholeWordBox->isChecked(); }
bool TextReplaceDialog::matchCase() const { return MatchCaseBox->isChecked(); }
