// The word processor's side of the program: creates text windows, owns the text tool forms
// (single instances for the whole run) and offers the frame what it needs of them.
#pragma once

#include "common/converterregistry.h"
#include "common/ui/documentwindow.h"
#include "text/ui/texttools.h"

#include <QStringList>

class QWidget;

class TextModule
{
public:
    explicit TextModule(QWidget *dialogParent);
    ~TextModule();

    // A new, empty text window.
    DocumentWindow *createWindow(FrameServices &frame);

    // Glossary "Velmora.glo": loaded when the frame is first shown, saved when changed
    // (see TextTools).
    void ChargeGlo() { m_tools.ChargeGlo(); }
    void SauveGlo() { m_tools.SauveGlo(); }
    // The special-character table takes the toolbar's font list.
    void initSpecialCharacters(const QStringList &fontFamilies) { m_tools.initSpecialCharacters(fontFamilies); }
    // The four sender lines of the envelope dialog.
    void SetExp(const QStringList &lines) { m_tools.SetExp(lines); }
    QStringList GetExp() const { return m_tools.GetExp(); }

    TextTools &tools() { return m_tools; }

    static void registerConverters(ConverterRegistry &registry);

private:
    QWidget *m_dialogParent;
    TextTools m_tools;
};
