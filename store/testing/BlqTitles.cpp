#include "BlqTitles.h"

#include "BlqTitleRow.h"
#include "BlqUpgrade.h"
#include "DbTable.h"

namespace {
// Every amount zero, valid, neither notice flag: a title as the import stores one
// without charges.
void zeroCharges(BlqTitle& t)
{
    t.titVal = 0.0;
    t.abtAtrVal = 0.0;
    t.dstVal = 0.0;
    t.jurDiaVal = 0.0;
    t.regVal = true;
    t.idcAvi = false;
    t.idcCAp = false;
}
} // namespace

BlqTitle BlqTitles::complete()
{
    BlqTitle t;
    t.ageCod = QStringLiteral("0123");
    t.ctrCod = QStringLiteral("567890123");
    t.nosNum = QStringLiteral("45678901234");
    t.seuNum = QStringLiteral("DOC0000001");
    t.datEmi = QDate(2026, 2, 1);
    t.datVen = QDate(2026, 3, 10);
    t.nomCed = QStringLiteral("CONFECCOES ARAPUAN LTDA");
    t.tipCar = QStringLiteral("11");
    t.espDoc = QStringLiteral("DM");
    t.codMoe = QStringLiteral("REAL");
    t.qtdMoe = 0;
    zeroCharges(t);
    t.titVal = 150.75;
    t.cpfCgcSac = QStringLiteral("12345678000195");
    t.sacNom = QStringLiteral("MERCEARIA BOA ESPERANCA LTDA");
    t.sacEnd = QStringLiteral("RUA DAS PALMEIRAS, 120");
    t.sacBai = QStringLiteral("CENTRO");
    t.sacCid = QStringLiteral("CAMPINAS");
    t.sacEtd = QStringLiteral("SP");
    t.sacCep = QStringLiteral("13010000");
    t.cpfCgcCed = QStringLiteral("98765432000110");
    t.valMul = 0.0;
    return t;
}

BlqTitle BlqTitles::numbered(int n)
{
    BlqTitle t = complete();
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
    if (n % 5 == 0)
        t.datMul = t.datVen.addDays(1);
    return t;
}

BlqTitle BlqTitles::ofContract()
{
    BlqTitle t;
    t.ageCod = QStringLiteral("0123");
    t.ctrCod = QStringLiteral("567890123");
    t.nomCed = QStringLiteral("CEDENTE UM");
    zeroCharges(t);
    return t;
}

BlqTitle BlqTitles::keyed(const QString& ageCod, const QString& ctrCod, const QString& nosNum,
                          const QString& seuNum, const QString& msgErr, bool valid)
{
    BlqTitle t;
    t.ageCod = ageCod;
    t.ctrCod = ctrCod;
    t.nosNum = nosNum;
    t.seuNum = seuNum;
    t.nomCed = QStringLiteral("CEDENTE ") + ageCod;
    t.regVal = valid;
    t.msgErr = msgErr;
    return t;
}

QList<BlqTitle> BlqTitles::rejected(int count)
{
    QList<BlqTitle> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        out << keyed(QStringLiteral("%1").arg(1000 + i % 7, 4, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(100000 + i % 3, 9, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')),
                     QStringLiteral("Data de vencimento inválida, CEP inválido"));
    }
    return out;
}

namespace {
// Titles 0..count-1 as `title` makes them, appended in one transaction.
template <class Make> void storeEach(qsizetype count, Make title, bool emptyFirst)
{
    DbTable table;
    table.open();
    if (emptyFirst)
        table.emptyTable();
    BlqTitleRow row(table);
    table.beginBatch();
    for (qsizetype i = 0; i < count; ++i) {
        table.append();
        row.write(title(i));
        table.post();
    }
    table.commitBatch();
    table.close();
}
} // namespace

void BlqTitles::store(const QList<BlqTitle>& titles)
{
    storeEach(
        titles.size(), [&](qsizetype i) { return titles.at(i); }, false);
}

void BlqTitles::fill(int count)
{
    BlqUpgrade::upgradeIfNeeded();
    storeEach(
        count, [](qsizetype i) { return numbered(int(i) + 1); }, true);
}
