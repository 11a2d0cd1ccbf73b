#include "RetDivergence.h"

#include "RetCodes.h"

#include <QStringList>

QString RetDivergence::of(const Settlement& s, const std::optional<Title>& title)
{
    if (!RetCodes::isSettlement(s.codOco))
        return {};
    QStringList out;
    const qint64 due = title ? title->titVal : s.titVal;
    if (s.valPag + s.valDst + s.valAbt < due)
        out << QStringLiteral("Pago a menor");
    const QDate dueDate = title && title->datVen.isValid() ? title->datVen : s.datVen;
    if (title && dueDate.isValid() && s.datOco.isValid() && s.datOco > dueDate && s.valEnc == 0 &&
        (title->jurDiaVal > 0 || title->valMul > 0))
        out << QStringLiteral("Pago após o vencimento sem encargos");
    return out.join(QStringLiteral("; "));
}

int RetDivergence::daysLate(const QDate& due, const QDate& paid)
{
    if (!due.isValid() || !paid.isValid() || paid <= due)
        return 0;
    return int(due.daysTo(paid));
}
