#include "spreadsheet/ui/spreadsheettools.h"

#include "common/ui/tfinddialog.h"
#include "common/ui/treplacedialog.h"
#include "common/ui/ttri.h"
#include "spreadsheet/ui/tfonct.h"
#include "spreadsheet/ui/tlarg.h"
#include "spreadsheet/ui/tnombre.h"
#include "spreadsheet/ui/tonglet.h"

SpreadsheetTools::SpreadsheetTools(QWidget *dialogParent) : m_parent(dialogParent) { }

SpreadsheetTools::~SpreadsheetTools() = default;

TOnglet &SpreadsheetTools::onglet()
{
    if (!m_onglet)
        m_onglet = std::make_unique<TOnglet>(m_parent);
    return *m_onglet;
}

TFonct &SpreadsheetTools::fonct()
{
    if (!m_fonct)
        m_fonct = std::make_unique<TFonct>(m_parent);
    return *m_fonct;
}

TLarg &SpreadsheetTools::larg()
{
    if (!m_larg)
        m_larg = std::make_unique<TLarg>(m_parent);
    return *m_larg;
}

TNombre &SpreadsheetTools::nombre()
{
    if (!m_nombre)
        m_nombre = std::make_unique<TNombre>(m_parent);
    return *m_nombre;
}

TTri &SpreadsheetTools::tri()
{
    if (!m_tri)
        m_tri = std::make_unique<TTri>(m_parent);
    return *m_tri;
}

TFindDialog &SpreadsheetTools::find()
{
    if (!m_find)
        m_find = std::make_unique<TFindDialog>(m_parent);
    return *m_find;
}

TReplaceDialog &SpreadsheetTools::replace()
{
    if (!m_replace)
        m_replace = std::make_unique<TReplaceDialog>(m_parent);
    return *m_replace;
}

int SpreadsheetTools::run(QDialog &dialog) const { return m_runner ? m_runner(dialog) : dialog.exec(); }
