#include "utilities/ui/teurof.h"

#include "utilities/ui/spinbutton.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QLabel *makeDisplay(QWidget *parent, const QRect &geometry, const QString &name)
{
    auto *panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(geometry);
    auto *label = new QLabel(panel);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("QLabel { background: teal; color: white; padding: 0 4px; }"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(18);
    f.setBold(true);
    label->setFont(f);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(label);
    return label;
}
} // namespace

TEurof::TEurof(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TEurof"));
    setWindowTitle(QStringLiteral("Euro convertisseur"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(260, 273);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128)); // navy
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    Label1 = makeDisplay(this, QRect(10, 10, 240, 38), QStringLiteral("Label1"));
    Label2 = makeDisplay(this, QRect(10, 54, 240, 38), QStringLiteral("Label2"));

    // 7 8 9 / 4 5 6 / 1 2 3 / 0. The digit keys never take the focus, so the keyboard
    // keeps working after a click on them.
    const int keyW = 38, keyH = 34, gap = 5, x0 = 10, y0 = 104;
    for (int d = 0; d <= 9; ++d) {
        auto *b = new QPushButton(QString::number(d), this);
        b->setObjectName(QStringLiteral("Button%1").arg(d));
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        QFont keyFont = b->font();
        keyFont.setBold(true);
        keyFont.setPointSize(10);
        b->setFont(keyFont);
        const int row = d == 0 ? 3 : 2 - (d - 1) / 3;
        const int col = d == 0 ? 0 : (d - 1) % 3;
        const int width = d == 0 ? 3 * keyW + 2 * gap : keyW;
        b->setGeometry(x0 + col * (keyW + gap), y0 + row * (keyH + gap), width, keyH);
        connect(b, &QPushButton::clicked, this, [this, d] {
            m_conv.digit(d);
            refresh();
        });
        m_digits[d] = b;
    }

    const int xr = 142, wr = 108;
    RadioButton1 = new QRadioButton(QStringLiteral("Fr>Euro"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Euro>Fr"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1->setGeometry(xr, 104, wr, 22);
    RadioButton2->setGeometry(xr, 128, wr, 22);
    RadioButton1->setChecked(true);
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        m_conv.direction = on ? EuroConverter::Direction::EurosToFrancs : EuroConverter::Direction::FrancsToEuros;
    });

    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setReadOnly(true);
    Edit3->setAlignment(Qt::AlignRight);
    Edit3->setGeometry(xr, 158, wr - 22, 26);
    Edit3->setToolTip(QStringLiteral("Francs pour un euro (flèches haut et bas pour le changer)"));
    Edit3->setAccessibleName(QStringLiteral("Taux"));
    Edit3->installEventFilter(this);
    SpinButton1 = new SpinButton(this);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1->setGeometry(xr + wr - 20, 158, 20, 26);
    SpinButton1->setAccessibleName(QStringLiteral("Flèches du taux"));
    connect(SpinButton1, &SpinButton::upClick, this, [this] {
        m_conv.tauxUp();
        refresh();
    });
    connect(SpinButton1, &SpinButton::downClick, this, [this] {
        m_conv.tauxDown();
        refresh();
    });

    Button11 = new QPushButton(QStringLiteral("Convertir"), this);
    Button11->setObjectName(QStringLiteral("Button11"));
    Button11->setGeometry(xr, 194, wr, 30);
    Button11->setAutoDefault(false);
    connect(Button11, &QPushButton::clicked, this, [this] { FormKeyPress(u'\r'); });
    Button10 = new QPushButton(QStringLiteral("Fermer"), this);
    Button10->setObjectName(QStringLiteral("Button10"));
    Button10->setGeometry(xr, 231, wr, 30);
    Button10->setAutoDefault(false);
    connect(Button10, &QPushButton::clicked, this, &QDialog::accept);

    refresh();
}

void TEurof::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TEurof::FormActivate()
{
    m_conv.activate();
    refresh();
    Button11->setFocus();
}

void TEurof::Init()
{
    m_conv.Init();
    refresh();
}

void TEurof::refresh()
{
    Label1->setText(m_conv.input());
    Label2->setText(m_conv.result());
    Edit3->setText(m_conv.tauxText());
}

void TEurof::FormKeyPress(QChar key)
{
    if (m_conv.keyPress(key) == EuroConverter::KeyResult::Close)
        reject();
    refresh();
}

bool TEurof::editKey(int key)
{
    if (key == Qt::Key_Backspace)
        m_conv.backspace();
    else if (key == Qt::Key_Delete)
        m_conv.clearEntry();
    else
        return false;
    refresh();
    return true;
}

bool TEurof::eventFilter(QObject *watched, QEvent *event)
{
    // In the rate box, the arrow keys move the rate as its arrows do; the editing keys
    // belong to the amount, not to the read-only box.
    if (watched == Edit3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Q_EMIT(key == Qt::Key_Up ? SpinButton1->upClick() : SpinButton1->downClick());
            return true;
        }
        if (editKey(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TEurof::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape: FormKeyPress(QChar(27)); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: FormKeyPress(u'\r'); return;
    default:
        if (editKey(event->key()))
            return;
        break;
    }
    const QString t = event->text();
    if (t.size() == 1 && t[0].isPrint()) {
        FormKeyPress(t[0]);
        return;
    }
    QDialog::keyPressEvent(event);
}
