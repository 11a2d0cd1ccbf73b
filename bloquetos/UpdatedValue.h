#pragma once

#include "BlqTitle.h"

#include <QDate>
#include <QString>

// What an overdue title costs on a given day, from its own charges: the fine once from
// its date on (the slip reads "A PARTIR DE"; with no date, from the day after the due
// date), interest for every calendar day after the due date, the rebate subtracted, the
// discount only up to its deadline. All in centavos; the title's value and codes are
// never changed by it, only told beside them.
namespace UpdatedValue {
struct Result {
    bool overdue = false; // a due date before `on`
    QDate on;
    qint64 value = 0;      // the title's face value
    qint64 multa = 0;      // fine charged
    qint64 juros = 0;      // interest charged
    qint64 abatimento = 0; // rebate granted
    qint64 desconto = 0;   // discount still granted
    qint64 total = 0;      // what is due, never below zero
};
Result compute(const BlqTitle& title, const QDate& on);
// "Valor atualizado até dd/mm/aaaa: R$ x (multa R$ y, juros R$ z)"; empty when the title
// is not overdue.
QString sentence(const Result& result);
} // namespace UpdatedValue
