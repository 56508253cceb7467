// The Windows font names the program's forms and documents use are absent on Linux; they
// are mapped once, here, to installed fonts.
#pragma once

#include <QString>

namespace fonts {
// Installs the substitutions ("MS Sans Serif", "System" -> Liberation Sans, "Arial" ->
// Liberation Sans, "Times New Roman" -> Liberation Serif, "Courier New" -> Liberation Mono,
// "Wingdings" and "Symbol" -> DejaVu Sans). Safe to call more than once.
void installSubstitutions();
// The family used for the forms' "MS Sans Serif".
QString uiFamily();
} // namespace fonts
