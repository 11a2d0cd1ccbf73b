#include "UpdatedValue.h"

#include "Regional.h"

UpdatedValue::Result UpdatedValue::compute(const BlqTitle& t, const QDate& on)
{
    Result r;
    r.on = on;
    r.value = BlqTitle::cents(t.titVal);
    r.total = r.value;
    // Titles payable on sight or on presentation have no due date to be late from.
    if (!t.datVen.isValid() || !on.isValid() || BlqTitle::isSet(t.idcAvi) ||
        BlqTitle::isSet(t.idcCAp) || on <= t.datVen)
        return r;
    r.overdue = true;
    const qint64 fine = BlqTitle::cents(t.valMul);
    const bool fineDue = t.datMul.isValid() ? on >= t.datMul : on > t.datVen;
    if (fine > 0 && fineDue)
        r.multa = fine;
    const qint64 perDay = BlqTitle::cents(t.jurDiaVal);
    if (perDay > 0)
        r.juros = perDay * t.datVen.daysTo(on);
    r.abatimento = std::max<qint64>(0, BlqTitle::cents(t.abtAtrVal));
    const qint64 discount = BlqTitle::cents(t.dstVal);
    if (discount > 0 && t.dstDatLim.isValid() && on <= t.dstDatLim)
        r.desconto = discount;
    r.total = std::max<qint64>(0, r.value + r.multa + r.juros - r.abatimento - r.desconto);
    return r;
}

QString UpdatedValue::sentence(const Result& r)
{
    if (!r.overdue)
        return QString();
    return QStringLiteral("Valor atualizado até %1: R$ %2 (multa R$ %3, juros R$ %4)")
        .arg(Regional::shortDate(r.on), Regional::formatCents(r.total),
             Regional::formatCents(r.multa), Regional::formatCents(r.juros));
}
