#pragma once

#include <QDate>
#include <QString>

// The fixed-width text pieces of the continuous forms.
namespace DotMatrixText {
// Brings a text to a width. A longer text is cut: side "L" keeps its last `width`
// characters, any other side its first. A text shorter than the width gets the fill
// repeated (width minus its length) times, after it for side "R", before it otherwise.
QString CompletaString(const QString& text, int width, const QString& fill, const QString& side);
// `count` blanks; empty for 0 or less.
QString Espacos(int count);

// "#,##0.00" with the regional separators: 1.234,50 and 0,00.
QString money(qint64 cents);
// "dd/mm/yyyy", or `blanks` blanks for an empty date.
QString date(const QDate& value, int blanks);
// Leading and trailing blanks and control characters removed.
QString trimmed(const QString& text);
// Control characters inside a field would move the printer off its count of lines (or
// send it commands), so they print as blanks.
QString printable(const QString& text);
} // namespace DotMatrixText
