// The card-file database's side of the program: creates its windows, owns its tool forms
// (the field, sort, find, replace and envelope dialogs, single instances for the whole
// run) and registers its headless conversions (CSV, PDF list, ".qvb" from ".qvb" or CSV).
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"

#include <memory>

class QWidget;
class TChamp;
class TFenv;
class TFindDialog;
class TReplaceDialog;
class TTri;

class DatabaseModule
{
public:
    explicit DatabaseModule(QWidget *dialogParent);
    ~DatabaseModule();

    // A new, empty database window (a TFichier).
    DocumentWindow *createWindow(FrameServices &frame);

    static void registerConverters(ConverterRegistry &registry);

private:
    struct Dialogs;
    QWidget *m_dialogParent;
    std::unique_ptr<Dialogs> m_dialogs;
};
