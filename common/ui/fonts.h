// The Windows font names the program's forms and documents use are absent on Linux; they
// are mapped once, here, to installed fonts. Also the one way the program lists font
// families and runs the font dialog over a document's font (the text and the spreadsheet
// windows share it).
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace fonts {
// Installs the substitutions ("MS Sans Serif", "System" -> Liberation Sans, "Arial" ->
// Liberation Sans, "Times New Roman" -> Liberation Serif, "Courier New" -> Liberation Mono,
// "Wingdings" and "Symbol" -> DejaVu Sans). Safe to call more than once.
void installSubstitutions();
// The family used for the forms' "MS Sans Serif".
QString uiFamily();

// A family name without the foundry the font database appends when two foundries make a
// family of the same name ("C059 [UKWN]" -> "C059"): the name documents store and other
// programs recognise.
QString plainFamily(const QString &family);
// The installed families, one entry per family under its plain name, sorted without regard
// to case, each at most 31 characters.
QStringList families();

// The font a font dialog opens on for a document font named `family`: that family when it
// is installed, otherwise the family shown on screen in its place (the dialog would open
// on the first family of its list otherwise).
QFont dialogFont(const QString &family);

// What the user changed in a font dialog that opened on `shown` and closed on `chosen`.
// A cancelled dialog, or one confirmed without a change, changes nothing, so a document
// keeps a font name it holds for a font this machine lacks, and the styles nobody touched.
struct Changes
{
    bool family = false;
    bool size = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool any() const { return family || size || bold || italic || underline || strikeOut; }
};
Changes changes(const QFont &shown, const QFont &chosen);
} // namespace fonts
