#pragma once

#include <QByteArray>
#include <QString>

// One cell of a CSV file the program writes for people to open in a spreadsheet: UTF-8,
// quoted as RFC 4180 asks when it holds the separator, a quote or a line break.
//
// A spreadsheet takes a cell that begins with '=', '+', '-' or '@' (and, in some, a tab or
// a carriage return) as a formula, so a payer's name such as "=HYPERLINK(...)" would run
// as one on the clerk's desk. Such text is written with a leading apostrophe, which the
// spreadsheet shows as text and a reader of the file can strip. Figures the program itself
// formats (an amount, a date) are not text from outside and go as they are.
namespace CsvCell {

// The text with an apostrophe before it when it would be read as a formula.
QString neutralised(const QString& text);

// Text from outside (names, addresses, numbers typed by people) as a cell: neutralised,
// then quoted as needed.
QByteArray text(const QString& text, char separator = ';');

// A figure the program formatted (amount, date, file name it chose): quoted as needed
// only.
QByteArray figure(const QString& text, char separator = ';');

} // namespace CsvCell
