#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The regional formats the main window fixes for the whole process: short date
// "dd/mm/yyyy", time "HH:mm:ss", no currency symbol; the separators of numbers come from
// the system locale, the C/POSIX locale being taken as Brazilian.
namespace Regional {
void init(); // reads the system locale once; later calls refresh it
QChar decimalSeparator();
QChar thousandSeparator();
void setSeparators(QChar decimal, QChar thousands); // tests

QString shortDate(const QDate& date);        // "dd/mm/yyyy"; empty for a null date
QDate parseShortDate(const QString& text);   // invalid when the text is not such a date
QString timeText(const QTime& time);         // "HH:mm:ss"
QString dateTimeText(const QDateTime& when); // date, blank, time; the time left out at 00:00:00

// Money is kept in whole centavos; the stored floating amount converts once, rounded.
qint64 toCents(double amount);
double fromCents(qint64 cents);
// "1.234,56": thousands separators, two decimals, no symbol; a minus sign in front.
QString formatCents(qint64 cents, bool thousands = true);
} // namespace Regional
