// The spreadsheet's tool forms, one instance of each for the whole run, created on first
// use: the sheet-tab, functions and size dialogs, and the find and sort dialogs shared with
// the database.
#pragma once

#include <functional>
#include <memory>

class QDialog;
class QWidget;
class TFindDialog;
class TReplaceDialog;
class TFonct;
class TLarg;
class TNombre;
class TOnglet;
class TTri;

class SpreadsheetTools
{
public:
    // Shows a dialog modally and returns its result code; tests put an answering function
    // here instead of a user.
    using Runner = std::function<int(QDialog &)>;

    explicit SpreadsheetTools(QWidget *dialogParent = nullptr);
    ~SpreadsheetTools();

    TOnglet &onglet();
    TFonct &fonct();
    TLarg &larg();
    TNombre &nombre();
    TTri &tri();
    TFindDialog &find();
    TReplaceDialog &replace();

    int run(QDialog &dialog) const;
    void setRunner(Runner runner) { m_runner = std::move(runner); }

private:
    QWidget *m_parent;
    std::unique_ptr<TOnglet> m_onglet;
    std::unique_ptr<TFonct> m_fonct;
    std::unique_ptr<TLarg> m_larg;
    std::unique_ptr<TNombre> m_nombre;
    std::unique_ptr<TTri> m_tri;
    std::unique_ptr<TFindDialog> m_find;
    std::unique_ptr<TReplaceDialog> m_replace;
    Runner m_runner;
};
