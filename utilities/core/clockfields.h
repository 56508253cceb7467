// The clock's stepped fields: fixed character positions in the time text (hh:mm:ss) and
// the date text (dd/mm/yyyy), with the bounds the arrows keep them within.
#pragma once

#include <QString>

namespace clockfields {

// Items of the clock's field selector, in its order.
enum class Field { Hr, Mn, Jo, Mo, An };

struct Spec
{
    bool inDate; // false: the time text, true: the date text
    int position; // first character, counted from 1
    int length;
    int max; // after a step up, at most
    int min; // after a step down, at least
};

const Spec &spec(Field field);

// Steps the field of `text` by +1 or -1 and returns the new text. A two-digit year is
// read as 19xx. Throws VelmoraError::notAnInteger when the field's characters are not an
// integer (a time or date of another layout).
QString step(const QString &text, Field field, int delta);

} // namespace clockfields
