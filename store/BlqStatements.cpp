#include "BlqStatements.h"

QStringList BlqStatements::addValMul()
{
    return {QStringLiteral("ALTER TABLE BLQ ADD BlqValMul MONEY")};
}

QStringList BlqStatements::addDatMul()
{
    return {QStringLiteral("ALTER TABLE BLQ ADD BlqDatMul DATE")};
}

QStringList BlqStatements::addPixEmv()
{
    return {QStringLiteral("ALTER TABLE BLQ ADD BlqPixEmv TEXT")};
}

QStringList BlqStatements::bloquetosByContract()
{
    return {QStringLiteral("select * from  Blq"), QStringLiteral("where BlqRegVal = True"),
            QStringLiteral("order by BlqAgeCod, BlqCtrCod"), QStringLiteral("  "),
            QStringLiteral("  ")};
}

QStringList BlqStatements::bloquetosInFileOrder()
{
    return {QStringLiteral("select * from Blq"), QStringLiteral("where BlqRegVal = True"),
            QStringLiteral("order by BlqSeq")};
}

QStringList BlqStatements::rejected()
{
    return {QStringLiteral("select BlqAgeCod, BlqCtrCod, BlqSeuNum, BlqNosNum, BlqMsgErr from Blq"),
            QStringLiteral("where BlqRegVal = False"),
            QStringLiteral("order by BlqAgeCod, BlqCtrCod, BlqSeuNum"), QStringLiteral(" "),
            QStringLiteral(" ")};
}

QStringList BlqStatements::beneficiaries()
{
    return {QStringLiteral("select distinct blqNomCed from Blq")};
}

QStringList BlqStatements::contracts()
{
    return {QStringLiteral("select distinct BlqAgeCod, BlqCtrCod, BlqNomCed from Blq"),
            QStringLiteral("order by BlqAgeCod, BlqCtrCod")};
}

QStringList BlqStatements::continuousRows(bool oneContract)
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
    return lines;
}
