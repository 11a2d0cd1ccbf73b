#include "SampleTitles.h"

#include "BlqUpgrade.h"
#include "DbTable.h"

SampleTitles::Titulo SampleTitles::numbered(int n)
{
    Titulo t;
    t.nosNum = QString::number(1000000000LL + n).rightJustified(10, QLatin1Char('0')) +
               QChar(u'0' + n % 10);
    t.seuNum = QStringLiteral("DOC%1").arg(n, 7, 10, QLatin1Char('0'));
    t.datVen = QDate(2026, 3, 10).addDays(n % 400);
    t.titVal = 10.0 + (n % 100000) * 1.37;
    t.sacNom = QStringLiteral("PAGADOR NUMERO %1 COMERCIO LTDA").arg(n);
    t.cpfCgcSac = QString::number(10000000000000LL + n);
    t.nomCed = n % 3 == 0 ? QStringLiteral("DISTRIBUIDORA VALE VERDE SA")
                          : QStringLiteral("CONFECCOES ARAPUAN LTDA");
    t.msg = QStringLiteral("PAGAVEL EM QUALQUER BANCO ATE O VENCIMENTO. APOS O VENCIMENTO "
                           "SOMENTE NO RAVESSA. TITULO %1.")
                .arg(n);
    t.ins = QStringLiteral("NAO RECEBER APOS 30 DIAS DO VENCIMENTO.");
    t.jurDiaVal = n % 2 ? 0.15 : 0;
    t.valMul = n % 5 == 0 ? 3.0 : 0;
    t.datMul = t.valMul != 0 ? t.datVen.addDays(1) : QDate();
    return t;
}

void SampleTitles::append(DbTable& table, const Titulo& t)
{
    table.append();
    table.setText(QStringLiteral("BlqAgeCod"), t.ageCod);
    table.setText(QStringLiteral("BlqCtrCod"), t.ctrCod);
    table.setText(QStringLiteral("BlqNosNum"), t.nosNum);
    table.setText(QStringLiteral("BlqSeuNum"), t.seuNum);
    table.setDate(QStringLiteral("BlqDatEmi"), t.datEmi);
    table.setDate(QStringLiteral("BlqDatVen"), t.datVen);
    table.setDate(QStringLiteral("BlqDstDatLim"), t.dstDatLim);
    table.setText(QStringLiteral("BlqNomCed"), t.nomCed);
    table.setText(QStringLiteral("BlqTipCar"), t.tipCar);
    table.setText(QStringLiteral("BlqEspDoc"), t.espDoc);
    table.setText(QStringLiteral("BlqCodMoe"), t.codMoe);
    table.setInteger(QStringLiteral("BlqQtdMoe"), t.qtdMoe);
    table.setFloat(QStringLiteral("BlqTitVal"), t.titVal);
    table.setFloat(QStringLiteral("BlqAbtAtrVal"), t.abtAtrVal);
    table.setFloat(QStringLiteral("BlqDstVal"), t.dstVal);
    table.setFloat(QStringLiteral("BlqJurDiaVal"), t.jurDiaVal);
    table.setText(QStringLiteral("BlqCpfCgcSac"), t.cpfCgcSac);
    table.setText(QStringLiteral("BlqSacNom"), t.sacNom);
    table.setText(QStringLiteral("BlqSacEnd"), t.sacEnd);
    table.setText(QStringLiteral("BlqSacBai"), t.sacBai);
    table.setText(QStringLiteral("BlqSacCid"), t.sacCid);
    table.setText(QStringLiteral("BlqSacEtd"), t.sacEtd);
    table.setText(QStringLiteral("BlqSacCEP"), t.sacCep);
    table.setText(QStringLiteral("BlqSacAvl"), t.sacAvl);
    table.setMemo(QStringLiteral("BlqMsg"), t.msg);
    table.setMemo(QStringLiteral("BlqIns"), t.ins);
    table.setBool(QStringLiteral("BlqRegVal"), t.regVal);
    table.setText(QStringLiteral("BlqMsgErr"), t.msgErr);
    table.setBool(QStringLiteral("BlqIdcAvi"), t.idcAvi);
    table.setBool(QStringLiteral("BlqIdcCAp"), t.idcCAp);
    table.setText(QStringLiteral("BlqCpfCgcCed"), t.cpfCgcCed);
    table.setFloat(QStringLiteral("BlqValMul"), t.valMul);
    table.setDate(QStringLiteral("BlqDatMul"), t.datMul);
    table.post();
}

void SampleTitles::fill(int count)
{
    BlqUpgrade::upgradeIfNeeded();
    DbTable table;
    table.open();
    table.emptyTable();
    table.beginBatch();
    for (int n = 1; n <= count; ++n)
        append(table, numbered(n));
    table.commitBatch();
    table.close();
}
