#include "ContinuoRow.h"

#include "DbQuery.h"
#include "DotMatrixText.h"
#include "KvError.h"
#include "Regional.h"

#include <cmath>

namespace {
// Far above any amount of the bank's file (13 digits of centavos) and still exact in
// whole centavos: a larger stored value was not written by this program.
constexpr double kMoneyLimit = 1e15;

qint64 cents(const DbQuery& q, const QString& field)
{
    const double amount = q.asFloat(field);
    if (!std::isfinite(amount) || std::fabs(amount) >= kMoneyLimit) {
        throw KvConversionError(QStringLiteral("'%1' não é um valor monetário válido (%2)")
                                    .arg(q.value(field).toString(), field));
    }
    return Regional::toCents(amount);
}
} // namespace

ContinuoRow ContinuoRow::fromQuery(const DbQuery& q)
{
    ContinuoRow r;
    r.BlqSeuNum = q.asString(QStringLiteral("BlqSeuNum"));
    r.BlqDatEmi = q.asDate(QStringLiteral("BlqDatEmi"));
    r.BlqDatVen = q.asDate(QStringLiteral("BlqDatVen"));
    r.BlqTitVal = cents(q, QStringLiteral("BlqTitVal"));
    r.BlqJurDiaVal = cents(q, QStringLiteral("BlqJurDiaVal"));
    r.BlqDstVal = cents(q, QStringLiteral("BlqDstVal"));
    r.BlqDstDatLim = q.asDate(QStringLiteral("BlqDstDatLim"));
    r.BlqAbtAtrVal = cents(q, QStringLiteral("BlqAbtAtrVal"));
    r.BlqSacNom = q.asString(QStringLiteral("BlqSacNom"));
    r.BlqSacEnd = q.asString(QStringLiteral("BlqSacEnd"));
    r.BlqSacBai = q.asString(QStringLiteral("BlqSacBai"));
    r.BlqSacCid = q.asString(QStringLiteral("BlqSacCid"));
    r.BlqSacEtd = q.asString(QStringLiteral("BlqSacEtd"));
    r.BlqSacCep = q.asString(QStringLiteral("BlqSacCep"));
    r.BlqSacAvl = q.asString(QStringLiteral("BlqSacAvl"));
    r.BlqIns = q.asString(QStringLiteral("BlqIns"));
    r.BlqCpfCgcSac = q.asString(QStringLiteral("BlqCpfCgcSac"));
    r.BlqCpfCgcCed = q.asString(QStringLiteral("BlqCpfCgcCed"));
    r.BlqIdcAvi = q.asBool(QStringLiteral("BlqIdcAvi"));
    r.BlqIdcCAp = q.asBool(QStringLiteral("BlqIdcCAp"));
    r.BlqAgeCod = q.asString(QStringLiteral("BlqAgeCod"));
    r.BlqCtrCod = q.asString(QStringLiteral("BlqCtrCod"));
    r.BlqSeq = q.asInteger(QStringLiteral("BlqSeq"));
    return r;
}

QString ContinuoRow::CalcDatVen() const
{
    using DotMatrixText::CompletaString;
    const QString blank = QStringLiteral(" ");
    if (BlqIdcAvi)
        return CompletaString(QStringLiteral("A vista"), 10, blank, QStringLiteral("R"));
    if (BlqIdcCAp)
        return CompletaString(QStringLiteral("C/Apres."), 10, blank, QStringLiteral("R"));
    return DotMatrixText::date(BlqDatVen, 10);
}
