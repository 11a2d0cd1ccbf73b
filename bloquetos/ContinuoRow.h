#pragma once

#include <QDate>
#include <QString>

class DbQuery;

// One bloqueto of the continuous-form selection, read once from its row. Amounts are whole
// centavos; absent values read as empty texts, null dates, zero amounts and false flags.
struct ContinuoRow {
    QString BlqSeuNum;
    QDate BlqDatEmi;
    QDate BlqDatVen;
    qint64 BlqTitVal = 0;
    qint64 BlqJurDiaVal = 0;
    qint64 BlqDstVal = 0;
    QDate BlqDstDatLim;
    qint64 BlqAbtAtrVal = 0;
    QString BlqSacNom;
    QString BlqSacEnd;
    QString BlqSacBai;
    QString BlqSacCid;
    QString BlqSacEtd;
    QString BlqSacCep;
    QString BlqSacAvl;
    QString BlqIns;
    QString BlqCpfCgcSac;
    QString BlqCpfCgcCed;
    bool BlqIdcAvi = false;
    bool BlqIdcCAp = false;
    QString BlqAgeCod;
    QString BlqCtrCod;
    qint32 BlqSeq = 0;

    // The current row of an open selection. Raises for an amount that is not a number or
    // lies beyond what money can hold.
    static ContinuoRow fromQuery(const DbQuery& query);

    // The due-date text of the grid and of line 1: "A vista" or "C/Apres." filled to 10,
    // 10 blanks without a due date, else the date.
    QString CalcDatVen() const;
};
