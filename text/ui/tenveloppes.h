// "Enveloppes": the four recipient lines typed for one envelope and the four sender lines
// the program keeps between runs.
#pragma once

#include "text/ui/tooldialog.h"

#include <array>

class QLineEdit;

class TEnveloppes : public ToolDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxLine = 35;

    explicit TEnveloppes(QWidget *parent = nullptr);
    // Sender lines 1 to 4.
    void SetExp(const QStringList &lines);
    QStringList GetExp() const;
    // Recipient lines 1 to 4 then sender lines 1 to 4 when accepted; otherwise eight empty
    // texts (so recipient line 1 is empty).
    QStringList Result() const;

    std::array<QLineEdit *, 4> Destinataire; // Edit1 .. Edit4
    std::array<QLineEdit *, 4> Expediteur; // Edit5 .. Edit8
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *e) override;
};
