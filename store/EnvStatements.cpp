#include "EnvStatements.h"

#include "StoreStatements.h"

#include <QString>

namespace EnvStatements {
DbStatement createTable()
{
    using K = BlqSchema::Kind;
    return StoreStatements::createTable(
        QStringLiteral("Env"),
        {{QStringLiteral("EnvMsgId"), K::Text, 120},
         {QStringLiteral("EnvAgeCod"), K::Text, 4},
         {QStringLiteral("EnvCtrCod"), K::Text, 9},
         {QStringLiteral("EnvNosNum"), K::Text, 11},
         {QStringLiteral("EnvDatVen"), K::Date},
         {QStringLiteral("EnvVal"), K::Money},
         {QStringLiteral("EnvEnd"), K::Text, 254},
         {QStringLiteral("EnvDatHor"), K::Text, 19}, // ISO date and time, on both engines
         {QStringLiteral("EnvSit"), K::Text, 1},
         {QStringLiteral("EnvRsp"), K::Memo}});
}

DbStatement index()
{
    return DbStatement::onBoth(
        {QStringLiteral("create index if not exists EnvTitulo on Env (EnvNosNum, EnvAgeCod, "
                        "EnvCtrCod)")});
}

DbStatement begin()
{
    // A title without a due date is recorded with none (the text parameter is empty).
    return {{QStringLiteral("insert into Env (EnvMsgId, EnvAgeCod, EnvCtrCod, EnvNosNum, "
                            "EnvDatVen, EnvVal, EnvEnd, EnvDatHor, EnvSit, EnvRsp)"),
             QStringLiteral("values (:MsgId, :Age, :Ctr, :Nos, nullif(:Ven, ''), :Val, :End, "
                            ":Hor, 'E', null)")},
            {QStringLiteral("insert into Env (EnvMsgId, EnvAgeCod, EnvCtrCod, EnvNosNum, "
                            "EnvDatVen, EnvVal, EnvEnd, EnvDatHor, EnvSit, EnvRsp)"),
             QStringLiteral("values (:MsgId, :Age, :Ctr, :Nos, cast(nullif(:Ven, '') as date), "
                            ":Val, :End, :Hor, 'E', null)")},
            "the server is told the type of the due date, which may be absent"};
}

DbStatement finish()
{
    return DbStatement::onBoth(
        {QStringLiteral("update Env set EnvSit = :Sit, EnvRsp = :Rsp, EnvDatHor = :Hor"),
         QStringLiteral("where EnvMsgId = :MsgId")});
}

DbStatement accepted()
{
    // The value compared in centavos: a REAL column of the file does not give back exactly
    // the text it was given. An absent due date compares as empty text.
    return {{QStringLiteral("select count(*) as Qtd from Env"),
             QStringLiteral("where EnvNosNum = :Nos and EnvAgeCod = :Age and EnvCtrCod = :Ctr"),
             QStringLiteral("  and coalesce(EnvDatVen, '') = :Ven"),
             QStringLiteral("  and round(EnvVal * 100) = cast(:Cents as numeric)"),
             QStringLiteral("  and lower(EnvEnd) = lower(:End) and EnvSit = 'A'")},
            {QStringLiteral("select count(*) as Qtd from Env"),
             QStringLiteral("where EnvNosNum = :Nos and EnvAgeCod = :Age and EnvCtrCod = :Ctr"),
             QStringLiteral("  and coalesce(to_char(EnvDatVen, 'YYYY-MM-DD'), '') = :Ven"),
             QStringLiteral("  and round(EnvVal * 100) = cast(:Cents as numeric)"),
             QStringLiteral("  and lower(EnvEnd) = lower(:End) and EnvSit = 'A'")},
            "a date column of the server is not text: it is written out as the file keeps it"};
}

DbStatement all()
{
    return DbStatement::onBoth(
        {QStringLiteral("select EnvAgeCod, EnvCtrCod, EnvNosNum, EnvDatVen, EnvVal, EnvEnd,"),
         QStringLiteral("  EnvDatHor, EnvSit, EnvRsp, EnvMsgId from Env"),
         QStringLiteral("order by EnvDatHor, EnvMsgId")});
}

DbStatement titlesBySeq(const QList<int>& seqs)
{
    QStringList numbers;
    for (int s : seqs)
        numbers << QString::number(s);
    return DbStatement::onBoth(
        {QStringLiteral("select * from Blq"),
         QStringLiteral("where BlqRegVal = True and BlqSeq in (%1)")
             .arg(numbers.isEmpty() ? QStringLiteral("-1") : numbers.join(QLatin1Char(','))),
         QStringLiteral("order by BlqSeq")});
}

namespace {
constexpr qint64 kSendLockKey = 0x6B76636F62456E76; // "kvcobEnv", the same on every desk
}

DbStatement tryLock()
{
    return {{},
            {QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kSendLockKey)},
            "a lock of the server's sessions; the file is locked by the operating system",
            DbStatement::Runs::OnServerOnly};
}

DbStatement releaseLock()
{
    return {{},
            {QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kSendLockKey)},
            "a lock of the server's sessions; the file is locked by the operating system",
            DbStatement::Runs::OnServerOnly};
}
} // namespace EnvStatements
