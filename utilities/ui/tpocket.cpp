#include "utilities/ui/tpocket.h"

#include "common/ui/errorhandler.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Keypad rows, left to right, as button numbers.
constexpr int kKeypad[4][5] = {
        {7, 8, 9, 12, 16},
        {4, 5, 6, 13, 17},
        {1, 2, 3, 14, 18},
        {10, 0, 11, 15, 19},
};

QString captionOf(int n)
{
    static const char *const captions[] = {"0", "1", "2", "3", "4", "5", "6",   "7",   "8", "9",
                                           ",", "=", "+", "-", "*", "/", "1/x", "sqr", "C", "Fermer"};
    return QString::fromLatin1(captions[n]);
}

constexpr int kEquals = 11;
constexpr int kReciprocal = 16;
constexpr int kSquareRoot = 17;
constexpr int kClose = 19;
} // namespace

TPocket::TPocket(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPocket"));
    setWindowTitle(QStringLiteral("Calculatrice"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 128)); // teal
    setPalette(pal);

    // Display strip: a white panel around a navy frame holding the silver display.
    auto *strip = new QFrame(this);
    strip->setAutoFillBackground(true);
    strip->setStyleSheet(QStringLiteral("QFrame#strip { background: white; }"));
    strip->setObjectName(QStringLiteral("strip"));
    auto *navy = new QFrame(strip);
    navy->setObjectName(QStringLiteral("navy"));
    navy->setStyleSheet(QStringLiteral("QFrame#navy { background: navy; }"));
    Label1 = new QLabel(navy);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setStyleSheet(QStringLiteral("QLabel { background: silver; color: black; padding: 0 4px; }"));
    QFont displayFont(QStringLiteral("Arial"));
    displayFont.setPixelSize(20);
    displayFont.setBold(true);
    Label1->setFont(displayFont);
    Label1->setMinimumHeight(32);
    // A long entry must not widen the window: the label keeps its width and shows the
    // right end of the number.
    Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto *navyLayout = new QVBoxLayout(navy);
    navyLayout->setContentsMargins(3, 3, 3, 3);
    navyLayout->addWidget(Label1);
    auto *stripLayout = new QVBoxLayout(strip);
    stripLayout->setContentsMargins(4, 4, 4, 4);
    stripLayout->addWidget(navy);

    auto *grid = new QGridLayout;
    grid->setSpacing(6);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 5; ++col) {
            const int n = kKeypad[row][col];
            auto *b = new QPushButton(captionOf(n), this);
            b->setObjectName(QStringLiteral("Button%1").arg(n));
            b->setAutoDefault(true);
            b->setFixedSize(n == kClose ? QSize(56, 30) : QSize(44, 30));
            connect(b, &QPushButton::clicked, this, [this, n] { ButtonClick(n); });
            m_buttons[n] = b;
            grid->addWidget(b, row, col);
        }
    }
    // "1/x" and "sqr" have no key handler: what is typed while they have the focus is lost.
    m_buttons[kReciprocal]->installEventFilter(this);
    m_buttons[kSquareRoot]->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(strip);
    layout->addLayout(grid);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TPocket::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TPocket::FormActivate()
{
    m_calc.clear();
    refresh();
    m_buttons[kEquals]->setFocus();
}

void TPocket::run(const std::function<void()> &step)
{
    errorhandler::run(this, step);
    refresh();
}

void TPocket::refresh() { Label1->setText(m_calc.display()); }

void TPocket::ButtonClick(int n)
{
    if (n <= 9) {
        run([&] { m_calc.digit(n); });
        return;
    }
    switch (n) {
    case 10: run([&] { m_calc.comma(); }); break;
    case kEquals: run([&] { m_calc.equals(); }); break;
    case 12:
    case 13:
    case 14:
    case 15: run([&] { m_calc.setOperator(captionOf(n).at(0)); }); break;
    case kReciprocal: run([&] { m_calc.reciprocal(); }); break;
    case kSquareRoot: run([&] { m_calc.squareRoot(); }); break;
    case 18: FormActivate(); break;
    case kClose: accept(); break;
    }
}

void TPocket::FormKeyPress(QChar key)
{
    if (key >= u'0' && key <= u'9') {
        ButtonClick(key.digitValue());
    } else if (key == u',' || key == u'.') {
        ButtonClick(10);
    } else if (key == u'+' || key == u'-' || key == u'*' || key == u'/') {
        run([&] { m_calc.setOperator(key); });
    } else if (key == u'=') {
        ButtonClick(kEquals);
    } else if (key == u'C' || key == u'c') {
        ButtonClick(18);
    } else if (key == u'S' || key == u's') {
        ButtonClick(kSquareRoot);
    } else if (key == u'X' || key == u'x') {
        ButtonClick(kReciprocal);
    }
}

void TPocket::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        run([&] { event->key() == Qt::Key_Backspace ? m_calc.backspace() : m_calc.clearEntry(); });
        event->accept();
        return;
    }
    const QString t = event->text();
    if (event->key() != Qt::Key_Escape && t.size() == 1 && t[0].isPrint()) {
        FormKeyPress(t[0]);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Escape closes
}

bool TPocket::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString t = key->text();
        if (key->key() != Qt::Key_Space && t.size() == 1 && t[0].isPrint())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
