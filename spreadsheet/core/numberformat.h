// Numbers as French users type and read them: parsing of cell entries ("1,5", "15 %",
// "12/03/1999", "10:30"), date serial numbers (days since 30/12/1899) and formatting with
// the standard format or a pattern ("0,00", "# ##0,00 €", "0%", "dd/mm/yyyy", "hh:nn").
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace sheet {

// Date serials: 1 = 31/12/1899, 36231 = 12/03/1999; the fraction is the time of day.
double dateToSerial(const QDate &date);
QDate serialToDate(double serial); // invalid when out of QDate's range
QDateTime serialToDateTime(double serial); // rounded to the second

// Reads a typed entry as a number. On success sets `value` and `format` to the number
// format the entry implies ("" for a plain number, "0%", "dd/mm/yyyy", "hh:nn"...).
bool parseEntryNumber(const QString &text, double &value, QString &format);

// Standard format: up to 10 significant digits, decimal comma, "1,5E+20" for the very
// large and very small.
QString formatStandard(double value);
// The value with the pattern applied ("" is the standard format).
QString formatNumber(double value, const QString &pattern);
// The value as the pattern shows it, within the room `fits` accepts: in the standard format
// a number loses decimals (rounded) until it fits; a number whose integer part does not fit,
// or that a pattern of its own makes too wide, reads "###" (as many "#" as fit). A cut
// number would read as another number.
QString formatNumberToFit(double value, const QString &pattern, const std::function<bool(const QString &)> &fits);
// Number codes in the other spreadsheets' convention ("#,##0.00": "." for decimals, "," for
// thousands) and in the program's French one ("# ##0,00"), both ways; date and time
// sections and quoted texts are left as they are.
QString frenchNumberCode(const QString &english);
QString englishNumberCode(const QString &french);
// True when the pattern shows a date or a time.
bool isDateTimePattern(const QString &pattern);

// The parts of a number pattern, for writing it in another format's terms.
struct PatternInfo
{
    QString prefix;
    QString suffix;
    int minIntegerDigits = 1;
    int decimals = 0;
    bool grouping = false;
    bool percent = false;
    bool scientific = false;
    int exponentDigits = 2;
};
PatternInfo describeNumberPattern(const QString &pattern);

// The colour a pattern gives `value` ("# ##0;[Rouge]-# ##0" shows negatives in red;
// "[Red]" is read too): 0xRRGGBB, or -1 when the pattern gives none.
int patternColour(double value, const QString &pattern);

// What the number format dialog offers, and the pattern of each choice. The patterns:
// Standard "", Number "# ##0,00" (negatives in red: "# ##0,00;[Rouge]-# ##0,00"), Currency
// "# ##0,00 €" (or " F", the symbol after the number), Percent "0,00%", Scientific
// "0,00E+00", Text "@", Date and Time one of dateForms() and timeForms().
struct NumberFormatChoice
{
    enum Category { Standard, Number, Currency, Percent, Date, Time, Scientific, Text };
    Category category = Standard;
    int decimals = 2;
    bool thousands = true;
    bool negativeRed = false;
    QString currency = QStringLiteral("€");
    QString form; // Date and Time: the pattern
    bool operator==(const NumberFormatChoice &) const = default;
};
QString patternOf(const NumberFormatChoice &choice);
// The dialog's reading of any pattern (one read from another program's file included).
NumberFormatChoice choiceOf(const QString &pattern);
const QStringList &dateForms();
const QStringList &timeForms();

// Rounds half away from zero at `digits` decimals (negative: tens, hundreds...), after
// removing the binary noise below 15 significant digits (2,675 rounds to 2,68).
double roundHalfAway(double value, int digits);
double roundDown(double value, int digits); // toward zero
double roundUp(double value, int digits); // away from zero
// The value cut to 15 significant digits, as the display would read it back.
double snap15(double value);

} // namespace sheet
