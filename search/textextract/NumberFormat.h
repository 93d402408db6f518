// NumberFormat: a spreadsheet number shown as its cell's number format shows it, so that a
// search finds what the user sees ("17-May-07", "12.50%", "$1,234.00") rather than the stored
// value (39219, 0.125, 1234).
//
// Formats are those of the spreadsheet applications (the same syntax in BIFF FORMAT records
// and in the numFmt elements of Office Open XML): up to four sections separated by ";"
// (positive; negative, shown without its sign; zero; text), literal text in double quotes or
// after "\", "_x" (the width of x: a blank), "*x" (a fill: nothing), bracketed colours and
// conditions (ignored), "[$sym-lcid]" (the symbol sym), "[h]", "[m]", "[s]" (elapsed time).
// A section with y, m, d, h, s or AM/PM shows a date and time (English month and day names),
// with "m" a minute right after an hour or before a second; otherwise it shows the number
// with its digit placeholders (0 # ?), thousands separators, a decimal point, "%" (times 100)
// and a scientific exponent (E+ E-). "General", an empty format, "@" and anything not
// understood show the number in the general way (up to 10 significant digits). Fractions
// ("# ?/?") are shown as decimals.
// Dates count days from 1899-12-30 (with the 1900 leap-year mistake of the format: day 60 is
// the 29th of February 1900) or, in the 1904 system, from 1904-01-01. Values outside the
// years 1900 to 9999 show as numbers.
#pragma once

#include <QString>

namespace NumberFormat {

// The format string of a built-in format id (0 to 49 as the applications number them; the
// ones they leave to the locale get the United States' form); empty when unknown.
QString builtIn(int id);

// `value` shown through `format`.
QString format(double value, const QString& format, bool date1904 = false);

// `value` in the general way.
QString general(double value);

// The text of a sheet's page header or footer as the page shows it: its codes are taken out
// ("&L", "&C", "&R" start the left, centre and right parts, which are joined by tabs; "&&" is
// an ampersand; "&\"font,style\"", a font size "&12", a colour "&KFF0000" or "&K01+050",
// the formatting switches and the fields - page number, date, sheet name, picture - give
// nothing).
QString headerFooterText(const QString& codes);

} // namespace NumberFormat
