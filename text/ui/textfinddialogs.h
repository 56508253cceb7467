// The text window's modeless find and replace dialogs: they stay open beside the document
// and each button press asks the window for one operation. Options: whole word and match
// case, and for the find the direction.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TextFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TextFindDialog(QWidget *parent = nullptr);
    QString findText() const;
    bool wholeWord() const;
    bool matchCase() const;

    QLineEdit *FindEdit;
    QCheckBox *WholeWordBox;
    QCheckBox *MatchCaseBox;
    QRadioButton *UpButton;
    QRadioButton *DownButton;
    QPushButton *FindNextButton;
    QPushButton *CancelButton;

Q_SIGNALS:
    void findNext();
};

class TextReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TextReplaceDialog(QWidget *parent = nullptr);
    QString findText() const;
    QString replaceText() const;
    bool wholeWord() const;
    bool matchCase() const;

    QLineEdit *FindEdit;
    QLineEdit *ReplaceEdit;
    QCheckBox *WholeWordBox;
    QCheckBox *MatchCaseBox;
    QPushButton *FindNextButton;
    QPushButton *ReplaceButton;
    QPushButton *ReplaceAllButton;
    QPushButton *CancelButton;

Q_SIGNALS:
    void findNext();
    void replace();
    void replaceAll();
};
