#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The divergences of a settlement against its title, compared in centavos.
namespace RetDivergence {
// What the store knows of the title an occurrence names (nothing for an unidentified one).
struct Title {
    qint64 titVal = 0; // centavos
    qint64 jurDiaVal = 0;
    qint64 valMul = 0;
    QDate datVen;
};

struct Settlement {
    QString codOco;
    QDate datOco;
    QDate datVen; // as the bank has it
    qint64 titVal = 0, valPag = 0, valDst = 0, valAbt = 0, valEnc = 0;
};

// "Pago a menor", "Pago após o vencimento sem encargos", both joined by "; ", or empty.
// Only settlements diverge; the title's own value and due date win over the bank's copy.
QString of(const Settlement& s, const std::optional<Title>& title);
// Days between the due date and the occurrence date, 0 when paid on time or undated.
int daysLate(const QDate& due, const QDate& paid);
} // namespace RetDivergence
