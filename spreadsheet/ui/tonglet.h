// "Onglets": the list of the workbook's sheet names, where the user adds, renames and
// removes sheets. There is no OK or cancel: what the list holds when it closes is applied.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TOnglet : public QDialog
{
    Q_OBJECT
public:
    // One line of the list: the sheet it stands for (1-based, as the workbook had it when
    // the dialog was filled; 0 for a sheet added in the dialog) and the name it will bear.
    struct Entry
    {
        int sheet = 0;
        QString name;
        bool operator==(const Entry &) const = default;
    };

    explicit TOnglet(QWidget *parent = nullptr);

    // Fills the list with the workbook's sheet names, sheet 1 first; `withData` tells which
    // sheets hold cells (removing one of those asks first).
    void Init(const QStringList &sheetNames, const QList<bool> &withData = {});
    // What the list holds, in order.
    QList<Entry> entries() const;

    // Why `name` cannot name a sheet among `others` (a French message), or empty when it can.
    static QString nameProblem(const QString &name, const QStringList &others);

    QLineEdit *Edit1;
    QListWidget *ListBox1;
    QPushButton *Button1; // "Fermer"
    QPushButton *Button2; // "Ajouter"
    QPushButton *Button3; // "Supprimer"
    QPushButton *Button4; // "Déplacer à gauche"
    QPushButton *Button5; // "Déplacer à droite"

private:
    void Button2Click();
    void Button3Click();
    // Moves the selected entry one place towards the first sheet (-1) or the last (+1).
    void moveSelected(int step);
    void ListBox1Click();
    void clearEntry();
    bool sheetRemovalConfirmed(int row);

    QList<bool> m_withData; // by sheet, from 1
};
