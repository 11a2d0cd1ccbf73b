#pragma once

#include <QDate>
#include <QString>
#include <optional>

// One title of the bloqueto table Blq, from the bank file to the printed page: the import
// fills it, BlqTitleRow stores and reads it, the reports print it. A member is absent
// (a null QString, a null QDate, an empty optional) when its column is null, which is
// how the import leaves what the bank's file does not give.
//
// Money is kept in reais as stored: a late fee given as a percentage is stored unrounded,
// and the pages round to whole centavos through cents().
struct BlqTitle {
    qint32 seq = 0; // numbered by the table
    QString ageCod;
    QString ctrCod;
    QString nosNum;
    QString seuNum;
    QDate datEmi;
    QDate datVen;
    QDate dstDatLim;
    QString nomCed;
    QString tipCar;
    QString espDoc;
    QString codMoe;
    std::optional<qint32> qtdMoe;
    std::optional<double> titVal;
    std::optional<double> abtAtrVal;
    std::optional<double> dstVal;
    std::optional<double> jurDiaVal;
    QString cpfCgcSac;
    QString sacNom;
    QString sacEnd;
    QString sacBai;
    QString sacCid;
    QString sacEtd;
    QString sacCep;
    QString sacAvl;
    QString msg;
    QString ins;
    std::optional<bool> regVal;
    QString msgErr;
    std::optional<bool> idcAvi;
    std::optional<bool> idcCAp;
    QString cpfCgcCed;
    std::optional<double> valMul;
    QDate datMul;
    QString pixEmv; // the PIX payload the bank registered ("copia e cola"), if any

    // An amount in whole centavos, rounded; an absent amount is zero.
    static qint64 cents(const std::optional<double>& amount);
    // An absent logical is false.
    static bool isSet(const std::optional<bool>& flag) { return flag.value_or(false); }
};
