// "Police": the font dialog of the text and spreadsheet windows. Family, style, size,
// strike-out and underline, and the colour of the characters, with a preview; every word
// of it in French (the toolkit's own dialog names the styles in English and has no colour).
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class FontChooser : public QDialog
{
    Q_OBJECT
public:
    explicit FontChooser(QWidget *parent = nullptr);

    void setChoice(const QFont &font, const QColor &colour);
    QFont font() const;
    QColor colour() const;

    // Shows the dialog on `font` and `colour`; true and both changed when the user confirms.
    static bool ask(QWidget *parent, QFont &font, QColor &colour);

    // The sixteen colours offered, with their French names, black first.
    static const QList<std::pair<QColor, QString>> &colours();

    QComboBox *FamilyBox;
    QComboBox *StyleBox; // "Normal", "Italique", "Gras", "Gras italique"
    QComboBox *SizeBox;
    QCheckBox *StrikeBox;
    QCheckBox *UnderlineBox;
    QComboBox *ColourBox;
    QLabel *Preview;
    QPushButton *OkButton;
    QPushButton *CancelButton;

private:
    void showPreview();
};
