#pragma once

#include <QString>
#include <QStringList>

// What the bank's occurrence and reason codes mean, and what an occurrence makes of its
// title. The same for both layouts.
namespace RetCodes {
// The kinds the summaries and the occurrences report count apart.
enum class Kind { Entry, Rejection, Settlement, WriteOff, Protest, Fee, Other };
Kind kindOf(const QString& code);
QString kindName(Kind kind); // "Entradas confirmadas", ...

// "entrada confirmada", ..., or "ocorrência NN" for a code of no known meaning.
QString occurrenceText(const QString& code);

// Reason codes as read (two digits each, blanks or "00" fill the unused ones).
QStringList reasons(const QString& motRej);
// "Nosso número inválido", ..., or "motivo NN".
QString reasonText(const QString& reason);
// The texts of all the reasons of one occurrence, joined by "; ".
QString reasonsText(const QString& motRej);

// A title's situação follows its latest occurrence other than a fee record.
enum class Situacao { EmAberto, Liquidado, Baixado, Rejeitado, EmProtesto };
Situacao situacaoOf(const QString& latestCode);
QString situacaoText(Situacao s); // "Liquidado", "Baixado", ...
inline bool changesSituacao(const QString& code)
{
    return code != QLatin1StringView("28");
}
inline bool isSettlement(const QString& code)
{
    return code == QLatin1StringView("06") || code == QLatin1StringView("17");
}
} // namespace RetCodes
