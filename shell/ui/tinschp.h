// "Insérer champs": the field names of the current database window (or, when it is closed,
// of the database loaded last), offered to the text window for a field marker.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

class TInsChp : public QDialog
{
    Q_OBJECT
public:
    explicit TInsChp(QWidget *parent = nullptr);
    // The names of the loaded database's named fields in column order, and its file name.
    void setFields(const QStringList &names, const QString &databaseName);
    // The selected field name when the dialog was closed by insertion, else empty.
    QString Result() const;
    // Clears the insertion flag, as showing the dialog does.
    void prepare();

    QListWidget *ListBox1;
    QLineEdit *Edit1;
    QPushButton *Button1; // "Insérer"
    QPushButton *Button2; // "Annuler"

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void insert();
    bool m_inserted = false;
};
