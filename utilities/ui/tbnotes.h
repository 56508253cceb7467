// "Bloc-notes": one page of free text for the whole run, loaded from "velmora.nte" at start
// and written back at exit only when changed; closing the window keeps the text. The
// text can be printed line by line.
#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QToolButton;

class TBnotes : public QDialog
{
    Q_OBJECT
public:
    explicit TBnotes(QWidget *parent = nullptr);
    ~TBnotes() override;

    QPlainTextEdit *Memo1 = nullptr;
    QToolButton *SpeedButton9 = nullptr; // "Imprimer"
    QPushButton *Button1 = nullptr; // "Fermer"

    // The editor's lines; an empty editor has none.
    QStringList lines() const;
    void setLines(const QStringList &lines); // clears the modified flag
    bool isModified() const;
    void setModified(bool modified);

    // Reads the notes file at `path` when it exists (throws VelmoraError when it cannot be
    // read); a missing file leaves the editor as it is.
    void Charge(const QString &path);
    // Writes the lines to `path` when they changed, then clears the modified flag. Throws
    // VelmoraError on failure, leaving the old file and the flag as they were.
    void Sauve(const QString &path);

    // Prints the lines on the notepad's printer, one font height apart, with page breaks.
    void Imprimer();
    QPrinter &printer();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void print(QPrinter &printer) const;
    void FormResize();

    std::unique_ptr<QPrinter> m_printer;
};
