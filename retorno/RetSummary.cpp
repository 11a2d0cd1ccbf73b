#include "RetSummary.h"

#include "Regional.h"

namespace {
QString money(qint64 cents)
{
    return QStringLiteral("R$ ") + Regional::formatCents(cents);
}
} // namespace

QStringList RetSummary::lines() const
{
    QStringList out;
    out << (reprocessed ? QStringLiteral("Arquivo de retorno %1 reprocessado.").arg(fileName)
                        : QStringLiteral("Arquivo de retorno %1 processado.").arg(fileName));
    out << QStringLiteral("Ocorrências: %1").arg(occurrences);
    out << QStringLiteral("Liquidações: %1, somando %2").arg(settlements).arg(money(settledSum));
    out << QStringLiteral("Baixas: %1").arg(writeOffs);
    out << QStringLiteral("Entradas rejeitadas: %1").arg(rejections);
    out << QStringLiteral("Tarifas: %1, somando %2").arg(fees).arg(money(feeSum));
    out << QStringLiteral("Não identificadas: %1").arg(unidentified);
    return out;
}
