#include "RetStatements.h"

namespace {
QString s(const char* text)
{
    return QString::fromUtf8(text);
}
} // namespace

DbStatement RetStatements::createRetArq()
{
    return {{s("CREATE TABLE IF NOT EXISTS RetArq (RetArqSeq INTEGER PRIMARY KEY AUTOINCREMENT, "
               "RetArqNom VARCHAR(255), RetArqHash VARCHAR(64) NOT NULL, RetArqDat DATE, "
               "RetArqPro TIMESTAMP, RetArqFmt VARCHAR(3), RetArqQtd INTEGER, "
               "RetArqVal REAL)")},
            {s("CREATE TABLE IF NOT EXISTS RetArq (RetArqSeq INTEGER GENERATED ALWAYS AS "
               "IDENTITY PRIMARY KEY, RetArqNom VARCHAR(255) COLLATE \"C\", RetArqHash "
               "VARCHAR(64) COLLATE \"C\" NOT NULL, RetArqDat DATE, RetArqPro TIMESTAMP, "
               "RetArqFmt VARCHAR(3) COLLATE \"C\", RetArqQtd INTEGER, "
               "RetArqVal NUMERIC(15,2))")},
            "identity column, exact money and byte-wise text order on the server"};
}

DbStatement RetStatements::createRet()
{
    return {{s("CREATE TABLE IF NOT EXISTS Ret (RetSeq INTEGER PRIMARY KEY AUTOINCREMENT, "
               "RetArqSeq INTEGER NOT NULL, RetAgeCod VARCHAR(5), RetCtrCod VARCHAR(13), "
               "RetNosNum VARCHAR(20), RetSeuNum VARCHAR(15), RetCodOco VARCHAR(2), "
               "RetDatOco DATE, RetDatCre DATE, RetDatVen DATE, RetTitVal REAL, "
               "RetValPag REAL, RetValEnc REAL, RetValDst REAL, RetValAbt REAL, "
               "RetValTar REAL, RetMotRej VARCHAR(10))")},
            {s("CREATE TABLE IF NOT EXISTS Ret (RetSeq INTEGER GENERATED ALWAYS AS IDENTITY "
               "PRIMARY KEY, RetArqSeq INTEGER NOT NULL, RetAgeCod VARCHAR(5) COLLATE \"C\", "
               "RetCtrCod VARCHAR(13) COLLATE \"C\", RetNosNum VARCHAR(20) COLLATE \"C\", "
               "RetSeuNum VARCHAR(15) COLLATE \"C\", RetCodOco VARCHAR(2) COLLATE \"C\", "
               "RetDatOco DATE, RetDatCre DATE, RetDatVen DATE, RetTitVal NUMERIC(15,2), "
               "RetValPag NUMERIC(15,2), RetValEnc NUMERIC(15,2), RetValDst NUMERIC(15,2), "
               "RetValAbt NUMERIC(15,2), RetValTar NUMERIC(15,2), "
               "RetMotRej VARCHAR(10) COLLATE \"C\")")},
            "identity column, exact money and byte-wise text order on the server"};
}

DbStatement RetStatements::createIndexes()
{
    // The same bytes are processed once: the unique hash is the last word on it even when
    // two desks race past the check.
    return {{s("CREATE UNIQUE INDEX IF NOT EXISTS RetArqHashIdx ON RetArq (RetArqHash)"),
             s("CREATE INDEX IF NOT EXISTS RetArqIdx ON Ret (RetArqSeq)"),
             s("CREATE INDEX IF NOT EXISTS RetTitIdx ON Ret (RetAgeCod, RetCtrCod, RetNosNum)"),
             s("CREATE INDEX IF NOT EXISTS RetCreIdx ON Ret (RetDatCre)")},
            {},
            nullptr};
}

DbStatement RetStatements::tablesPresent()
{
    return {{s("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) IN "
               "('ret', 'retarq')")},
            {s("SELECT (to_regclass('ret') IS NOT NULL)::int + (to_regclass('retarq') IS NOT "
               "NULL)::int")},
            "each engine keeps its catalogue in its own way"};
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

DbStatement RetStatements::titleKeys()
{
    return {{s("select BlqAgeCod, BlqCtrCod, BlqNosNum from Blq")}, {}, nullptr};
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

namespace {
QString occurrenceFields()
{
    return s("select r.RetSeq, r.RetArqSeq, r.RetAgeCod, r.RetCtrCod, r.RetNosNum, r.RetSeuNum, "
             "r.RetCodOco, r.RetDatOco, r.RetDatCre, r.RetDatVen, r.RetTitVal, r.RetValPag, "
             "r.RetValEnc, r.RetValDst, r.RetValAbt, r.RetValTar, r.RetMotRej, "
             "b.BlqSeq, b.BlqNomCed, b.BlqSacNom, b.BlqTitVal, b.BlqDatVen, b.BlqJurDiaVal, "
             "b.BlqValMul");
}

QString titleJoin()
{
    // One title per key: should an import ever hold the same key twice, the first wins, so
    // that no occurrence is listed or summed twice.
    return s("left join (select BlqAgeCod, BlqCtrCod, BlqNosNum, min(BlqSeq) as BlqPri from "
             "Blq group by BlqAgeCod, BlqCtrCod, BlqNosNum) k on k.BlqAgeCod = r.RetAgeCod "
             "and k.BlqCtrCod = r.RetCtrCod and k.BlqNosNum = r.RetNosNum "
             "left join Blq b on b.BlqSeq = k.BlqPri");
}
} // namespace

DbStatement RetStatements::liquidados()
{
    return {
        {occurrenceFields(), s("from Ret r"), titleJoin(), s("where r.RetCodOco in ('06', '17')"),
         s("and r.RetDatCre >= :ParmDe and r.RetDatCre <= :ParmAte"),
         s("order by r.RetAgeCod, r.RetCtrCod, (b.BlqSeq is null), b.BlqNomCed, r.RetDatCre, "
           "r.RetNosNum, r.RetSeq")},
        {occurrenceFields(), s("from Ret r"), titleJoin(), s("where r.RetCodOco in ('06', '17')"),
         s("and r.RetDatCre >= cast(:ParmDe as date) and r.RetDatCre <= cast(:ParmAte as "
           "date)"),
         s("order by r.RetAgeCod, r.RetCtrCod, (b.BlqSeq is null), b.BlqNomCed, r.RetDatCre, "
           "r.RetNosNum, r.RetSeq")},
        "text parameters compare as dates only when the server is told so"};
}

DbStatement RetStatements::occurrencesOfFile()
{
    return {{occurrenceFields(), s("from Ret r"), titleJoin(), s("where r.RetArqSeq = :ParmArq"),
             s("order by r.RetSeq")},
            {occurrenceFields(), s("from Ret r"), titleJoin(),
             s("where r.RetArqSeq = cast(:ParmArq as integer)"), s("order by r.RetSeq")},
            "text parameters compare as numbers only when the server is told so"};
}
