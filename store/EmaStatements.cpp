#include "EmaStatements.h"

#include "StoreStatements.h"

namespace {
// A statement both engines run as written.
DbStatement same(QStringList lines)
{
    DbStatement s;
    s.sqlite = std::move(lines);
    return s;
}
} // namespace

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
    return same({QStringLiteral("select EmaCpfCgc, EmaEnd from Ema where EmaCpfCgc = :Cpf")});
}

DbStatement insert()
{
    return same({QStringLiteral("insert into Ema (EmaCpfCgc, EmaEnd) values (:Cpf, :End)")});
}

DbStatement update()
{
    return same({QStringLiteral("update Ema set EmaEnd = :End where EmaCpfCgc = :Cpf")});
}

DbStatement remove()
{
    return same({QStringLiteral("delete from Ema where EmaCpfCgc = :Cpf")});
}

DbStatement all()
{
    return same({QStringLiteral("select EmaCpfCgc, EmaEnd from Ema order by EmaCpfCgc")});
}

DbStatement search()
{
    return same({QStringLiteral("select EmaCpfCgc, EmaEnd from Ema"),
                 QStringLiteral("where EmaCpfCgc like :Doc or lower(EmaEnd) like lower(:Texto)"),
                 QStringLiteral("order by EmaCpfCgc")});
}
} // namespace EmaStatements
