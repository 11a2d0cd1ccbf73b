#pragma once

#include "BlqTitle.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The folded text a title is found by: its payer's name, the payer's CPF/CNPJ as digits
// only, nosso número, seu número and beneficiary, in lower case and without accents, kept in
// the column BlqBusTxt. A search folds what the clerk typed the same way and looks for
// each of its words inside that text, so "jose" finds "JOSÉ" and "123.456.789-09" finds
// "12345678909" on both engines without functions of their own.
namespace BlqSearchText {
inline constexpr char kColumn[] = "BlqBusTxt";

// Lower case, accents dropped, runs of blanks and control characters made one blank.
QString fold(QStringView text);
// The column's value for a title: the folded name comes first, so that ordering by the
// column orders by name with accents where the letters are.
QString of(const BlqTitle& title);
// The same from the five columns as read back from a row.
QString of(const QString& sacNom, const QString& cpfCgcSac, const QString& nosNum,
           const QString& seuNum, const QString& nomCed);
// The words of a search as patterns for LIKE … ESCAPE '\' ("%jose%"): folded; a word of
// digits with the punctuation of a document (". - /") keeps its digits only; '%', '_' and
// '\' are matched as themselves. No words: an empty list (everything matches).
QStringList patterns(const QString& search);
} // namespace BlqSearchText
