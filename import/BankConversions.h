#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

// The conversions of the bank file's columns, straight from the Windows-1252 bytes of a
// record. Each raises KvConversionError naming the bad text when the column does not hold
// what it should.
namespace BankConversions {

// A decimal number: blanks before and after, an optional sign, digits and an optional
// decimal part after the regional decimal separator.
double number(QByteArrayView text);
// The amounts of the file: a number with two implied decimals.
inline double amount(QByteArrayView text)
{
    return number(text) / 100.0;
}

// DDMMYY, the year being 2000 plus YY. The caller handles "000000" and the other markers.
QDate date(QByteArrayView ddmmyy);

// A signed 32-bit whole number, blanks allowed around it.
qint32 wholeNumber(QByteArrayView text);

// Modulo-11 check digit of a run of decimal digits (weights 2 to 9 from the right);
// "0" when the remainder leaves 10 or 11. Any character that is not a digit is an error.
char CalculaDigito(QByteArrayView digits);

// The bad text as the user reads it in a message: Windows-1252, control bytes shown as '?'.
QString shown(QByteArrayView text);

} // namespace BankConversions
