// "Trier": the application-wide sort dialog shared by the database (field names) and the
// spreadsheet (column letters). The caller fills ComboBox1 and preselects an entry.
#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QRadioButton;

class TTri : public QDialog
{
    Q_OBJECT
public:
    explicit TTri(QWidget *parent = nullptr);
    // key: 1-based position of the chosen entry when closed with OK, else 0;
    // order: 0 ascending ("Croissant"), 1 descending ("Décroissant").
    void Result(int &key, int &order) const;

    QComboBox *ComboBox1;
    QRadioButton *Croissant;
    QRadioButton *Decroissant;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};
