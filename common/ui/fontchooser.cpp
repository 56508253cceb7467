#include "common/ui/fontchooser.h"

#include "common/ui/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QIcon swatch(const QColor &c)
{
    QPixmap pm(16, 12);
    pm.fill(c);
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pm);
}

const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
} // namespace

const QList<std::pair<QColor, QString>> &FontChooser::colours()
{
    static const QList<std::pair<QColor, QString>> list = {
            {QColor(0, 0, 0), QStringLiteral("Noir")},          {QColor(128, 0, 0), QStringLiteral("Bordeaux")},
            {QColor(0, 128, 0), QStringLiteral("Vert")},        {QColor(128, 128, 0), QStringLiteral("Olive")},
            {QColor(0, 0, 128), QStringLiteral("Marine")},      {QColor(128, 0, 128), QStringLiteral("Violet")},
            {QColor(0, 128, 128), QStringLiteral("Sarcelle")},  {QColor(128, 128, 128), QStringLiteral("Gris")},
            {QColor(192, 192, 192), QStringLiteral("Argent")},  {QColor(255, 0, 0), QStringLiteral("Rouge")},
            {QColor(0, 255, 0), QStringLiteral("Citron vert")}, {QColor(255, 255, 0), QStringLiteral("Jaune")},
            {QColor(0, 0, 255), QStringLiteral("Bleu")},        {QColor(255, 0, 255), QStringLiteral("Fuchsia")},
            {QColor(0, 255, 255), QStringLiteral("Turquoise")}, {QColor(255, 255, 255), QStringLiteral("Blanc")},
    };
    return list;
}

FontChooser::FontChooser(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Police"));
    FamilyBox = new QComboBox(this);
    FamilyBox->setObjectName(QStringLiteral("FamilyBox"));
    FamilyBox->setEditable(true);
    FamilyBox->setInsertPolicy(QComboBox::NoInsert);
    FamilyBox->addItems(fonts::families());
    FamilyBox->setAccessibleName(QStringLiteral("Police"));
    StyleBox = new QComboBox(this);
    StyleBox->setObjectName(QStringLiteral("StyleBox"));
    StyleBox->addItems({QStringLiteral("Normal"), QStringLiteral("Italique"), QStringLiteral("Gras"),
                        QStringLiteral("Gras italique")});
    StyleBox->setAccessibleName(QStringLiteral("Style"));
    SizeBox = new QComboBox(this);
    SizeBox->setObjectName(QStringLiteral("SizeBox"));
    SizeBox->setEditable(true);
    SizeBox->setInsertPolicy(QComboBox::NoInsert);
    for (int s : kSizes)
        SizeBox->addItem(QString::number(s));
    SizeBox->setAccessibleName(QStringLiteral("Taille"));
    StrikeBox = new QCheckBox(QStringLiteral("&Barré"), this);
    StrikeBox->setObjectName(QStringLiteral("StrikeBox"));
    UnderlineBox = new QCheckBox(QStringLiteral("&Souligné"), this);
    UnderlineBox->setObjectName(QStringLiteral("UnderlineBox"));
    ColourBox = new QComboBox(this);
    ColourBox->setObjectName(QStringLiteral("ColourBox"));
    for (const auto &[colour, name] : colours())
        ColourBox->addItem(swatch(colour), name, colour);
    ColourBox->setAccessibleName(QStringLiteral("Couleur"));
    Preview = new QLabel(QStringLiteral("AaBbÉéÀàYyZz"), this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setAlignment(Qt::AlignCenter);
    Preview->setMinimumSize(280, 64);
    Preview->setFrameShape(QFrame::StyledPanel);
    Preview->setAutoFillBackground(true);
    QPalette pal = Preview->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Preview->setPalette(pal);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Police :"), FamilyBox);
    form->addRow(QStringLiteral("S&tyle :"), StyleBox);
    form->addRow(QStringLiteral("T&aille :"), SizeBox);
    form->addRow(QStringLiteral("&Couleur :"), ColourBox);
    auto *effects = new QGroupBox(QStringLiteral("Effets"), this);
    auto *effectsLayout = new QHBoxLayout(effects);
    effectsLayout->addWidget(StrikeBox);
    effectsLayout->addWidget(UnderlineBox);
    auto *sample = new QGroupBox(QStringLiteral("Aperçu"), this);
    auto *sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(Preview);
    auto *buttons = new QDialogButtonBox(this);
    OkButton = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(effects);
    layout->addWidget(sample);
    layout->addWidget(buttons);

    connect(FamilyBox, &QComboBox::currentTextChanged, this, &FontChooser::showPreview);
    connect(StyleBox, &QComboBox::currentIndexChanged, this, &FontChooser::showPreview);
    connect(SizeBox, &QComboBox::currentTextChanged, this, &FontChooser::showPreview);
    connect(StrikeBox, &QCheckBox::toggled, this, &FontChooser::showPreview);
    connect(UnderlineBox, &QCheckBox::toggled, this, &FontChooser::showPreview);
    connect(ColourBox, &QComboBox::currentIndexChanged, this, &FontChooser::showPreview);
}

void FontChooser::setChoice(const QFont &font, const QColor &colour)
{
    const QString family = fonts::plainFamily(font.family());
    const int at = FamilyBox->findText(family, Qt::MatchFixedString);
    if (at >= 0)
        FamilyBox->setCurrentIndex(at);
    else
        FamilyBox->setEditText(family);
    StyleBox->setCurrentIndex((font.bold() ? 2 : 0) + (font.italic() ? 1 : 0));
    SizeBox->setEditText(QString::number(font.pointSizeF() > 0 ? font.pointSizeF() : 10.0));
    StrikeBox->setChecked(font.strikeOut());
    UnderlineBox->setChecked(font.underline());
    // A colour outside the sixteen is offered as it is, so that OK keeps it.
    const QColor c = colour.isValid() ? colour.toRgb() : QColor(Qt::black);
    int index = ColourBox->findData(c);
    if (index < 0) {
        ColourBox->addItem(swatch(c), QStringLiteral("Autre (%1)").arg(c.name()), c);
        index = ColourBox->count() - 1;
    }
    ColourBox->setCurrentIndex(index);
    showPreview();
}

QFont FontChooser::font() const
{
    QFont f(FamilyBox->currentText().trimmed());
    bool ok = false;
    // A size typed with a decimal comma ("10,5") reads as the user means it.
    const double size = SizeBox->currentText().trimmed().replace(u',', u'.').toDouble(&ok);
    f.setPointSizeF(ok && size >= 1 ? std::min(size, 1638.0) : 10.0);
    f.setBold(StyleBox->currentIndex() >= 2);
    f.setItalic(StyleBox->currentIndex() % 2 == 1);
    f.setStrikeOut(StrikeBox->isChecked());
    f.setUnderline(UnderlineBox->isChecked());
    return f;
}

QColor FontChooser::colour() const { return ColourBox->currentData().value<QColor>(); }

void FontChooser::showPreview()
{
    QFont f = font();
    f.setPointSizeF(std::min(f.pointSizeF(), 28.0)); // the sample stays within its frame
    Preview->setFont(f);
    QPalette pal = Preview->palette();
    pal.setColor(QPalette::WindowText, colour());
    Preview->setPalette(pal);
}

bool FontChooser::ask(QWidget *parent, QFont &font, QColor &colour)
{
    FontChooser dialog(parent);
    dialog.setChoice(font, colour);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.font();
    colour = dialog.colour();
    return true;
}
