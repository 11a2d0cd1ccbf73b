#include "EmaStatements.h"

#include "StoreStatements.h"

namespace EmaStatements {
DbStatement createTable()
{
    using K = BlqSchema::Kind;
    return StoreStatements::createTable(
        QStringLiteral("Ema"),
        {{QStringLiteral("EmaCpfCgc"), K::Text, 14}, {QStringLiteral("EmaEnd"), K::Memo}});
}

DbStatement find()
{
    return DbStatement::onBoth(
        {QStringLiteral("select EmaCpfCgc, EmaEnd from Ema where EmaCpfCgc = :Cpf")});
}

DbStatement insert()
{
    return DbStatement::onBoth(
        {QStringLiteral("insert into Ema (EmaCpfCgc, EmaEnd) values (:Cpf, :End)")});
}

DbStatement update()
{
    return DbStatement::onBoth(
        {QStringLiteral("update Ema set EmaEnd = :End where EmaCpfCgc = :Cpf")});
}

DbStatement remove()
{
    return DbStatement::onBoth({QStringLiteral("delete from Ema where EmaCpfCgc = :Cpf")});
}

DbStatement all()
{
    return DbStatement::onBoth(
        {QStringLiteral("select EmaCpfCgc, EmaEnd from Ema order by EmaCpfCgc")});
}

DbStatement search()
{
    return DbStatement::onBoth(
        {QStringLiteral("select EmaCpfCgc, EmaEnd from Ema"),
         QStringLiteral("where EmaCpfCgc like :Doc or lower(EmaEnd) like lower(:Texto)"),
         QStringLiteral("order by EmaCpfCgc")});
}
} // namespace EmaStatements
