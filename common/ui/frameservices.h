// What a document window may ask of the frame, without knowing the frame: reporting the
// selection's formatting, the status bar, the two row clipboards, the printer, and the
// database range and field substitution of a mail merge.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

class FrameServices
{
public:
    virtual ~FrameServices() = default;

    // Copies a window's formatting into the toolbar without sending it back.
    virtual void SetStyles(bool bold, bool italic, bool underline, bool bullets, bool left, bool right, bool center,
                           const QString &size, const QString &fontName) = 0;
    // Text of status panel 0 (the text window's caret position).
    virtual void setStatusText(const QString &text) = 0;
    // The row clipboards shared by all database windows and by all agenda windows.
    virtual QStringList &PressePapierFichier() = 0;
    virtual QStringList &PressePapierAgenda() = 0;
    // The system's current printer, which the print dialogs change.
    virtual QPrinter &printer() = 0;

    // Mail merge: forwarded to the current database window. Bornes returns false (and an
    // empty range) when there is no database window to forward to.
    virtual bool Bornes(int &first, int &last)
    {
        first = 1;
        last = 0;
        return false;
    }
    // Replaces the first field marker of `text` by the record's value (see the database).
    virtual void Contenu(int record, QString &text)
    {
        Q_UNUSED(record);
        Q_UNUSED(text);
    }
    // The "Insérer champs" list: refilled by each database load, read by the text window.
    virtual void setFieldNames(const QStringList &names) { Q_UNUSED(names); }
    // The file name (without directory) of the database the field names come from.
    virtual void setFieldSource(const QString &fileName) { Q_UNUSED(fileName); }
    // Lets the user choose a field name; empty when cancelled or no field is known.
    virtual QString ChoisirChamp() { return QString(); }
};
