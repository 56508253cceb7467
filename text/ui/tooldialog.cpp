#include "text/ui/tooldialog.h"

#include "common/ui/fonts.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <limits>

ToolDialog::ToolDialog(const QString &objectName, const QString &caption, QSize size, QWidget *parent)
    : AcceptDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f(fonts::uiFamily());
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(size);
}

QPushButton *ToolDialog::makeButton(const QString &caption, const QRect &geometry, const QString &objectName)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(objectName);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

QSpinBox *ToolDialog::makeNumberField(QWidget *parent, const QRect &geometry, const QString &accessibleName)
{
    auto *field = new QSpinBox(parent);
    field->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    field->setGeometry(geometry);
    field->setAccessibleName(accessibleName);
    field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return field;
}

int ToolDialog::fieldValue(const QSpinBox *field)
{
    bool ok = false;
    const int value = field->cleanText().toInt(&ok);
    return ok ? value : 0;
}

void ToolDialog::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && m_cancel) {
        m_cancel->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void ToolDialog::showEvent(QShowEvent *e)
{
    // Centred on the screen of the frame (or the primary one).
    const QWidget *anchor = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = anchor && anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    if (screen && !e->spontaneous()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    QDialog::showEvent(e);
}
