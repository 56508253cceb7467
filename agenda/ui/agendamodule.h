// The day planner's side of the program: creates agenda windows, owns the agenda's tool
// forms and the desk calendar (single instances for the whole run, made on first use),
// shows dialogs through one hook that tests replace, and registers its headless
// conversions.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"

#include <functional>
#include <memory>

class QDialog;
class QWidget;
class TCalendrier;
class TJour;
class TMensuel;

class AgendaModule
{
public:
    explicit AgendaModule(QWidget *dialogParent);
    ~AgendaModule();

    // A new, empty agenda window (TAgenda).
    DocumentWindow *createWindow(FrameServices &frame);

    // Shows the desk calendar "TCalendrier", modal.
    bool showCalendrier();

    static void registerConverters(ConverterRegistry &registry);

    // Tool forms, shared by every agenda window.
    TJour &jour();
    TMensuel &mensuel();
    TCalendrier &calendrier();

    // Shows a tool form modally. Tests replace it to answer without a user.
    using DialogRunner = std::function<void(QDialog &)>;
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    void runDialog(QDialog &dialog);

    // Asks for the name to save an agenda under ("" when cancelled).
    QString askSaveName(QWidget *parent, const QString &current);

private:
    QWidget *m_dialogParent;
    std::unique_ptr<TJour> m_jour;
    std::unique_ptr<TMensuel> m_mensuel;
    std::unique_ptr<TCalendrier> m_calendrier;
    DialogRunner m_runDialog;
};
