// Base of the text tool dialogs: fixed size, centred over the frame, the forms' font, and
// Escape pressed anywhere in the dialog clicks its "Annuler" button (which clears the
// accept flag), while the window's close box only hides it and leaves the flag as it was.
#pragma once

#include "common/ui/acceptdialog.h"

class QPushButton;
class QSpinBox;

class ToolDialog : public AcceptDialog
{
    Q_OBJECT
public:
    ToolDialog(const QString &objectName, const QString &caption, QSize size, QWidget *parent);

protected:
    // The button Escape presses; set by each dialog.
    void setCancelButton(QPushButton *button) { m_cancel = button; }
    // A push button of the dialog that Enter does not press unless it is the default.
    QPushButton *makeButton(const QString &caption, const QRect &geometry, const QString &objectName);
    // A number field without lower or upper limit.
    QSpinBox *makeNumberField(QWidget *parent, const QRect &geometry, const QString &accessibleName);
    // What the field holds; an empty or unreadable text counts as 0.
    static int fieldValue(const QSpinBox *field);
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    QPushButton *m_cancel = nullptr;
};
