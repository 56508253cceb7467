#include "utilities/ui/utilitiesmodule.h"

#include "common/datafiles.h"
#include "common/textfile.h"
#include "common/ui/errorhandler.h"
#include "common/ui/lazyform.h"
#include "common/velmoraerror.h"
#include "utilities/core/notesfile.h"
#include "utilities/ui/tbnotes.h"
#include "utilities/ui/teurof.h"
#include "utilities/ui/thorloge.h"
#include "utilities/ui/tplettre.h"
#include "utilities/ui/tpocket.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

UtilitiesModule::UtilitiesModule(QWidget *dialogParent) : m_dialogParent(dialogParent) { }

UtilitiesModule::~UtilitiesModule()
{
    // The forms may belong to the parent window, which may already have deleted them.
    delete m_pocket.data();
    delete m_horloge.data();
    delete m_eurof.data();
    delete m_bnotes.data();
    delete m_plettre.data();
}

TPocket &UtilitiesModule::pocket() { return lazyForm(m_pocket, m_dialogParent); }
THorloge &UtilitiesModule::horloge() { return lazyForm(m_horloge, m_dialogParent); }
TEurof &UtilitiesModule::eurof() { return lazyForm(m_eurof, m_dialogParent); }
TBnotes &UtilitiesModule::bnotes()
{
    if (!m_bnotes) {
        lazyForm(m_bnotes, m_dialogParent);
        if (m_notesRead) // the lines read at start
            m_bnotes->setLines(*std::exchange(m_notesRead, std::nullopt));
    }
    return *m_bnotes;
}
TPLettre &UtilitiesModule::plettre() { return lazyForm(m_plettre, m_dialogParent); }

bool UtilitiesModule::show(UtilityTool tool)
{
    QDialog *form = nullptr;
    switch (tool) {
    case UtilityTool::Calculatrice: form = &pocket(); break;
    case UtilityTool::Horloge: form = &horloge(); break;
    case UtilityTool::Euroconvertisseur: form = &eurof(); break;
    case UtilityTool::Blocnotes: form = &bnotes(); break;
    case UtilityTool::Pselettres: form = &plettre(); break;
    }
    form->exec();
    if (tool == UtilityTool::Blocnotes)
        SauveNotes(); // a change is kept as soon as the notepad closes
    return true;
}

void UtilitiesModule::ChargeNotes()
{
    const QString path = datafiles::readPath(notesfile::fileName());
    // The file is read now; the notepad's form is made with these lines when first opened.
    errorhandler::run(m_dialogParent, [&] {
        if (m_bnotes)
            m_bnotes->Charge(path);
        else if (QFileInfo::exists(path))
            m_notesRead = notesfile::parse(textfile::readBytes(path));
    });
}

void UtilitiesModule::SauveNotes()
{
    if (!m_bnotes || !m_bnotes->isModified())
        return;
    const QString path = datafiles::writePath(notesfile::fileName());
    try {
        m_bnotes->Sauve(path);
    } catch (const VelmoraError &e) {
        errorhandler::show(m_dialogParent,
                           QStringLiteral("Les notes du bloc-notes n'ont pas pu être enregistrées dans %1.\n%2")
                                   .arg(QDir::toNativeSeparators(path), e.message()));
    }
}
