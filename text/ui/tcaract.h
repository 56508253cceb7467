// "Table des caractères": the characters of codes 32 to 255 (Windows-1252) in a 28 x 8
// grid drawn in a chosen font; the chosen character is the answer.
#pragma once

#include "text/ui/tooldialog.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

class TCaract : public ToolDialog
{
    Q_OBJECT
public:
    explicit TCaract(QWidget *parent = nullptr);
    // The font list of the frame's toolbar; `current` (when not empty) becomes the font.
    void Init(const QStringList &fontFamilies, const QString &current = QString());
    // The chosen character when accepted, else an empty text.
    QString Result() const;

    QComboBox *ComboBox1;
    QTableWidget *StringGrid1;
    QLineEdit *Edit1;
    QPushButton *OkButton;
    QPushButton *CancelButton;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void fillGrid();
    void showCurrentCell();
    void choose();
};
