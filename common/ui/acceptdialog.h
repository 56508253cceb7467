// A dialog whose outcome is a flag the caller reads after it closes: its OK button sets the
// flag, its "Annuler" button clears it, each closing the dialog. What the close box and
// Escape do differs between dialogs (some keep the previous outcome), so each decides that.
#pragma once

#include <QDialog>

class QAbstractButton;
class QHBoxLayout;
class QPushButton;

class AcceptDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    // Connects `ok` and `cancel` as above.
    void wireButtons(QAbstractButton *ok, QAbstractButton *cancel);
    // Makes an "OK" button (the default) and an "Annuler" button with the given object
    // names, wires them, and returns them in a row aligned right, "OK" first.
    QHBoxLayout *okCancelRow(QPushButton *&ok, const char *okName, QPushButton *&cancel, const char *cancelName);
    // Sets, or clears, the flag and closes the dialog.
    void closeAccepted();
    void closeCancelled();
    // Makes Escape and the close box count as "Annuler" (by default they leave the flag).
    void setCloseCancels(bool on) { m_closeCancels = on; }
    void done(int result) override;

    bool m_accepted = false;

private:
    bool m_closeCancels = false;
};
