#include "BlqStatements.h"

#include "BlqSchema.h"
#include "StoreStatements.h"

DbStatement BlqStatements::createTable()
{
    QList<StoreStatements::ColumnDef> columns;
    for (int i = 0; i < BlqSchema::kBaseColumns; ++i) {
        const BlqSchema::Column& c = BlqSchema::columns().at(i);
        // Names unquoted, so that the server matches them without regard to case.
        columns.append({QString::fromLatin1(c.name), c.kind, c.width});
    }
    return StoreStatements::createTable(QStringLiteral("Blq"), columns);
}

DbStatement BlqStatements::addValMul()
{
    return {{QStringLiteral("ALTER TABLE BLQ ADD BlqValMul MONEY")},
            {QStringLiteral("ALTER TABLE BLQ ADD BlqValMul NUMERIC(15,2)")},
            "the server's MONEY follows the server's locale and reads back as text "
            "(\"R$ 1.234,56\"): the value gets the exact type of the other amounts"};
}

DbStatement BlqStatements::addDatMul()
{
    return {{QStringLiteral("ALTER TABLE BLQ ADD BlqDatMul DATE")}};
}

DbStatement BlqStatements::addPixEmv()
{
    return {{QStringLiteral("ALTER TABLE BLQ ADD BlqPixEmv TEXT")}};
}

DbStatement BlqStatements::bloquetosByContract()
{
    return {{QStringLiteral("select * from  Blq"), QStringLiteral("where BlqRegVal = True"),
             QStringLiteral("order by BlqAgeCod, BlqCtrCod"), QStringLiteral("  "),
             QStringLiteral("  ")}};
}

DbStatement BlqStatements::bloquetosInFileOrder()
{
    return {{QStringLiteral("select * from Blq"), QStringLiteral("where BlqRegVal = True"),
             QStringLiteral("order by BlqSeq")}};
}

DbStatement BlqStatements::rejected()
{
    return {
        {QStringLiteral("select BlqAgeCod, BlqCtrCod, BlqSeuNum, BlqNosNum, BlqMsgErr from Blq"),
         QStringLiteral("where BlqRegVal = False"),
         QStringLiteral("order by BlqAgeCod, BlqCtrCod, BlqSeuNum"), QStringLiteral(" "),
         QStringLiteral(" ")}};
}

DbStatement BlqStatements::beneficiaries()
{
    return {{QStringLiteral("select distinct blqNomCed from Blq")},
            {QStringLiteral("select blqNomCed from Blq group by blqNomCed order by min(BlqSeq)")},
            "\"select distinct\" without an order: the file walks the names in the order their "
            "rows were stored, the server in an order of its own; the list must read the same "
            "on every desk"};
}

DbStatement BlqStatements::contracts()
{
    return {{QStringLiteral("select distinct BlqAgeCod, BlqCtrCod, BlqNomCed from Blq"),
             QStringLiteral("order by BlqAgeCod, BlqCtrCod")}};
}

DbStatement BlqStatements::continuousRows(bool oneContract)
{
    QStringList lines = {
        QStringLiteral("select BlqSeuNum, BlqDatEmi, BlqDatVen, BlqTitVal,"),
        QStringLiteral("       BlqJurDiaVal, BlqDstVal, BlqDstDatLim, BlqAbtAtrVal,"),
        QStringLiteral("       BlqSacNom, BlqSacEnd, BlqSacBai, BlqSacCid, BlqSacEtd,"),
        QStringLiteral("       BlqSacCep, BlqSacAvl, BlqIns, BlqCpfCgcSac, BlqCpfCgcCed,"),
        QStringLiteral("       BlqIdcAvi, BlqIdcCAp, BlqAgeCod, BlqCtrCod, BlqSeq"),
        QStringLiteral("from Blq"),
        QStringLiteral("where BlqRegVal = True")};
    if (oneContract) {
        lines << QStringLiteral("and (BlqAgeCod = :ParmAgeCod ")
              << QStringLiteral("and  BlqCtrCod = :ParmCtrCod)");
    }
    lines << QStringLiteral("Order by BlqAgeCod, BlqCtrCod, BlqSeq");
    return {lines};
}
