#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// One occurrence of a return file as read: what the bank says happened to one title.
// Money in centavos; absent dates are null.
struct RetOccurrence {
    QString ageCod; // agência, 4 digits
    QString ctrCod; // contrato, 8 digits and check digit
    QString nosNum; // nosso número, 10 digits and check digit
    QString seuNum;
    QString codOco; // two digits
    QDate datOco, datCre, datVen;
    qint64 titVal = 0, valPag = 0, valEnc = 0, valDst = 0, valAbt = 0, valTar = 0;
    QString motRej;    // the reason codes as read, two digits each
    QString payerName; // 240 only; the 400 layout does not carry it
    int line = 0;      // 1-based line of the file (of segment T in 240)
};

// A return file read whole and checked.
struct RetFile {
    enum class Format { Cnab400, Cnab240 };
    Format format = Format::Cnab400;
    QDate fileDate;
    QString beneficiary;
    QList<RetOccurrence> occurrences;
    qint64 sumPaid = 0; // centavos

    QString formatName() const
    {
        return format == Format::Cnab400 ? QStringLiteral("400") : QStringLiteral("240");
    }
};
