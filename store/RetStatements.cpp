#include "RetStatements.h"

#include "StoreStatements.h"

namespace {
QString s(const char* text)
{
    return QString::fromUtf8(text);
}
} // namespace

DbStatement RetStatements::createRetArq()
{
    using K = BlqSchema::Kind;
    return StoreStatements::createTable(s("RetArq"), {{s("RetArqSeq"), K::AutoInc},
                                                      {s("RetArqNom"), K::Text, 255},
                                                      {s("RetArqHash"), K::Text, 64},
                                                      {s("RetArqDat"), K::Date},
                                                      {s("RetArqPro"), K::Text, 32},
                                                      {s("RetArqFmt"), K::Text, 3},
                                                      {s("RetArqQtd"), K::Integer},
                                                      {s("RetArqVal"), K::Money}});
}

DbStatement RetStatements::createRet()
{
    using K = BlqSchema::Kind;
    return StoreStatements::createTable(s("Ret"), {{s("RetSeq"), K::AutoInc},
                                                   {s("RetArqSeq"), K::Integer},
                                                   {s("RetAgeCod"), K::Text, 5},
                                                   {s("RetCtrCod"), K::Text, 13},
                                                   {s("RetNosNum"), K::Text, 20},
                                                   {s("RetSeuNum"), K::Text, 15},
                                                   {s("RetCodOco"), K::Text, 2},
                                                   {s("RetDatOco"), K::Date},
                                                   {s("RetDatCre"), K::Date},
                                                   {s("RetDatVen"), K::Date},
                                                   {s("RetTitVal"), K::Money},
                                                   {s("RetValPag"), K::Money},
                                                   {s("RetValEnc"), K::Money},
                                                   {s("RetValDst"), K::Money},
                                                   {s("RetValAbt"), K::Money},
                                                   {s("RetValTar"), K::Money},
                                                   {s("RetMotRej"), K::Text, 10}});
}

QList<DbStatement> RetStatements::createIndexes()
{
    // The same bytes are processed once: the unique hash is the last word on it even when
    // two desks race past the check. The hash's index is made last: its presence says all
    // are there (indexPresent).
    return {{{s("CREATE INDEX IF NOT EXISTS RetArqIdx ON Ret (RetArqSeq)")}},
            {{s("CREATE INDEX IF NOT EXISTS RetTitIdx ON Ret (RetAgeCod, RetCtrCod, "
                "RetNosNum)")}},
            {{s("CREATE INDEX IF NOT EXISTS RetCreIdx ON Ret (RetDatCre)")}},
            {{s("CREATE UNIQUE INDEX IF NOT EXISTS RetArqHashIdx ON RetArq (RetArqHash)")}}};
}

DbStatement RetStatements::indexPresent()
{
    return {{s("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND lower(name) = "
               "'retarqhashidx'")},
            {s("SELECT (to_regclass('retarqhashidx') IS NOT NULL)::int")},
            "each engine keeps its catalogue in its own way"};
}

namespace {
constexpr qint64 kReturnLockKey = 0x6B76636F62526574; // "kvcobRet", the same on every desk
}

DbStatement RetStatements::tryLock()
{
    return {{},
            {s("SELECT pg_try_advisory_lock(%1)").arg(kReturnLockKey)},
            "a lock of the server's sessions; the file is locked by the operating system",
            DbStatement::Runs::OnServerOnly};
}

DbStatement RetStatements::releaseLock()
{
    return {{},
            {s("SELECT pg_advisory_unlock(%1)").arg(kReturnLockKey)},
            "a lock of the server's sessions; the file is locked by the operating system",
            DbStatement::Runs::OnServerOnly};
}

DbStatement RetStatements::fileByHash()
{
    return {{s("select RetArqSeq, RetArqPro from RetArq"), s("where RetArqHash = :ParmHash")},
            {},
            nullptr};
}

DbStatement RetStatements::insertFile()
{
    return {{s("insert into RetArq (RetArqNom, RetArqHash, RetArqDat, RetArqPro, RetArqFmt, "
               "RetArqQtd, RetArqVal) values (?, ?, ?, ?, ?, ?, ?)")},
            {s("insert into RetArq (RetArqNom, RetArqHash, RetArqDat, RetArqPro, RetArqFmt, "
               "RetArqQtd, RetArqVal) values (?, ?, ?, ?, ?, ?, ?) returning RetArqSeq")},
            "the server tells the new number in the statement's answer"};
}

DbStatement RetStatements::updateFile()
{
    return {{s("update RetArq set RetArqNom = ?, RetArqDat = ?, RetArqPro = ?, RetArqFmt = ?, "
               "RetArqQtd = ?, RetArqVal = ? where RetArqSeq = ?")},
            {},
            nullptr};
}

DbStatement RetStatements::deleteOccurrences()
{
    return {{s("delete from Ret where RetArqSeq = ?")}, {}, nullptr};
}

QStringList RetStatements::occurrenceColumns()
{
    return {s("RetArqSeq"), s("RetAgeCod"), s("RetCtrCod"), s("RetNosNum"),
            s("RetSeuNum"), s("RetCodOco"), s("RetDatOco"), s("RetDatCre"),
            s("RetDatVen"), s("RetTitVal"), s("RetValPag"), s("RetValEnc"),
            s("RetValDst"), s("RetValAbt"), s("RetValTar"), s("RetMotRej")};
}

DbStatement RetStatements::insertOccurrence()
{
    const QStringList cols = occurrenceColumns();
    QStringList marks;
    for (qsizetype i = 0; i < cols.size(); ++i)
        marks << s("?");
    return {{s("insert into Ret (") + cols.join(s(", ")) + s(") values (") + marks.join(s(", ")) +
             s(")")},
            {},
            nullptr};
}

DbStatement RetStatements::unidentifiedCount()
{
    // Matched as the reports match them (titleJoin), through the index of the nosso número.
    return {{s("select count(*) as RetQtd from Ret r where r.RetArqSeq = :ParmArq"),
             s("and not exists (select 1 from Blq x where x.BlqNosNum = r.RetNosNum"),
             s("  and x.BlqAgeCod = r.RetAgeCod and x.BlqCtrCod = r.RetCtrCod)")},
            {s("select count(*) as RetQtd from Ret r where r.RetArqSeq = cast(:ParmArq as "
               "integer)"),
             s("and not exists (select 1 from Blq x where x.BlqNosNum = r.RetNosNum"),
             s("  and x.BlqAgeCod = r.RetAgeCod and x.BlqCtrCod = r.RetCtrCod)")},
            "text parameters compare as numbers only when the server is told so"};
}

DbStatement RetStatements::files()
{
    return {{s("select RetArqSeq, RetArqNom, RetArqDat, RetArqPro, RetArqFmt, RetArqQtd, "
               "RetArqVal from RetArq"),
             s("order by RetArqSeq desc")},
            {},
            nullptr};
}

DbStatement RetStatements::lastFile()
{
    return {{s("select max(RetArqSeq) as RetArqSeq from RetArq")}, {}, nullptr};
}

DbStatement RetStatements::lastFileCredits()
{
    return {{s("select min(RetDatCre) as De, max(RetDatCre) as Ate from Ret"),
             s("where RetCodOco in ('06', '17') and RetArqSeq = ("),
             lastFile().sqlite.join(QLatin1Char(' ')) + QLatin1Char(')')},
            {},
            nullptr};
}

QString RetStatements::situacaoPorTitulo()
{
    // A null occurrence date counts as the oldest. Fee records never change a situação.
    return s("select RetAgeCod, RetCtrCod, RetNosNum, "
             "case RetCodOco when '06' then 'Liquidado' when '17' then 'Liquidado' "
             "when '09' then 'Baixado' when '10' then 'Baixado' when '03' then 'Rejeitado' "
             "when '23' then 'Em protesto' else 'Em aberto' end as RetSituacao "
             "from (select RetAgeCod, RetCtrCod, RetNosNum, RetCodOco, row_number() over "
             "(partition by RetAgeCod, RetCtrCod, RetNosNum order by (RetDatOco is null), "
             "RetDatOco desc, RetArqSeq desc, RetSeq desc) as RetOrdem "
             "from Ret where RetCodOco <> '28') RetUltima where RetOrdem = 1");
}

DbStatement RetStatements::bloquetosPendentes()
{
    return {{s("select * from Blq"), s("where BlqRegVal = True"),
             s("and not exists (select 1 from (") + situacaoPorTitulo() + s(") RetSit"),
             s("  where RetSit.RetAgeCod = Blq.BlqAgeCod and RetSit.RetCtrCod = Blq.BlqCtrCod"),
             s("  and RetSit.RetNosNum = Blq.BlqNosNum"),
             s("  and RetSit.RetSituacao in ('Liquidado', 'Baixado'))"), s("order by BlqSeq")},
            {},
            nullptr};
}

DbStatement RetStatements::titulosEncerrados()
{
    return {
        {s("select RetAgeCod, RetCtrCod, RetNosNum from (") + situacaoPorTitulo() + s(") RetSit"),
         s("where RetSituacao in ('Liquidado', 'Baixado')")},
        {},
        nullptr};
}

namespace {
QString occurrenceFields()
{
    return s("select r.RetSeq, r.RetArqSeq, r.RetAgeCod, r.RetCtrCod, r.RetNosNum, r.RetSeuNum, "
             "r.RetCodOco, r.RetDatOco, r.RetDatCre, r.RetDatVen, r.RetTitVal, r.RetValPag, "
             "r.RetValEnc, r.RetValDst, r.RetValAbt, r.RetValTar, r.RetMotRej, "
             "b.BlqSeq, b.BlqNomCed, b.BlqSacNom, b.BlqTitVal, b.BlqDatVen, b.BlqJurDiaVal, "
             "b.BlqValMul");
}

// One title per key: should an import ever hold the same key twice, the first wins, so that
// no occurrence is listed or summed twice. The file looks the title up per occurrence through
// the index of the nosso número; the server hashes a grouped Blq, which it does faster.
QString titleJoin(bool server)
{
    if (server)
        return s("left join (select BlqAgeCod, BlqCtrCod, BlqNosNum, min(BlqSeq) as BlqPri "
                 "from Blq group by BlqAgeCod, BlqCtrCod, BlqNosNum) k on k.BlqAgeCod = "
                 "r.RetAgeCod and k.BlqCtrCod = r.RetCtrCod and k.BlqNosNum = r.RetNosNum "
                 "left join Blq b on b.BlqSeq = k.BlqPri");
    return s("left join Blq b on b.BlqSeq = (select min(x.BlqSeq) from Blq x "
             "where x.BlqNosNum = r.RetNosNum and x.BlqAgeCod = r.RetAgeCod "
             "and x.BlqCtrCod = r.RetCtrCod)");
}
} // namespace

DbStatement RetStatements::liquidados()
{
    return {{occurrenceFields(), s("from Ret r"), titleJoin(false),
             s("where r.RetCodOco in ('06', '17')"),
             s("and r.RetDatCre >= :ParmDe and r.RetDatCre <= :ParmAte")},
            {occurrenceFields(), s("from Ret r"), titleJoin(true),
             s("where r.RetCodOco in ('06', '17')"),
             s("and r.RetDatCre >= cast(:ParmDe as date) and r.RetDatCre <= cast(:ParmAte as "
               "date)")},
            "text parameters compare as dates only when the server is told so; the title is "
            "joined as each engine does it faster"};
}

DbStatement RetStatements::occurrencesOfFile()
{
    return {{occurrenceFields(), s("from Ret r"), titleJoin(false),
             s("where r.RetArqSeq = :ParmArq"), s("order by r.RetSeq")},
            {occurrenceFields(), s("from Ret r"), titleJoin(true),
             s("where r.RetArqSeq = cast(:ParmArq as integer)"), s("order by r.RetSeq")},
            "text parameters compare as numbers only when the server is told so; the title "
            "is joined as each engine does it faster"};
}
