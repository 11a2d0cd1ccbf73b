#include "BlqSchema.h"

using K = BlqSchema::Kind;

const QList<BlqSchema::Column>& BlqSchema::columns()
{
    static const QList<Column> all = {
        {"BlqSeq", K::AutoInc, 0, &BlqTitle::seq},
        {"BlqAgeCod", K::Text, 4, &BlqTitle::ageCod},
        {"BlqCtrCod", K::Text, 9, &BlqTitle::ctrCod},
        {"BlqNosNum", K::Text, 11, &BlqTitle::nosNum},
        {"BlqSeuNum", K::Text, 10, &BlqTitle::seuNum},
        {"BlqDatEmi", K::Date, 0, &BlqTitle::datEmi},
        {"BlqDatVen", K::Date, 0, &BlqTitle::datVen},
        {"BlqDstDatLim", K::Date, 0, &BlqTitle::dstDatLim},
        {"BlqNomCed", K::Text, 30, &BlqTitle::nomCed},
        {"BlqTipCar", K::Text, 2, &BlqTitle::tipCar},
        {"BlqEspDoc", K::Text, 2, &BlqTitle::espDoc},
        {"BlqCodMoe", K::Text, 5, &BlqTitle::codMoe},
        {"BlqQtdMoe", K::Integer, 0, &BlqTitle::qtdMoe},
        {"BlqTitVal", K::Money, 0, &BlqTitle::titVal},
        {"BlqAbtAtrVal", K::Money, 0, &BlqTitle::abtAtrVal},
        {"BlqDstVal", K::Money, 0, &BlqTitle::dstVal},
        {"BlqJurDiaVal", K::Money, 0, &BlqTitle::jurDiaVal},
        {"BlqCpfCgcSac", K::Text, 15, &BlqTitle::cpfCgcSac},
        {"BlqSacNom", K::Text, 40, &BlqTitle::sacNom},
        {"BlqSacEnd", K::Text, 40, &BlqTitle::sacEnd},
        {"BlqSacBai", K::Text, 12, &BlqTitle::sacBai},
        {"BlqSacCid", K::Text, 15, &BlqTitle::sacCid},
        {"BlqSacEtd", K::Text, 2, &BlqTitle::sacEtd},
        {"BlqSacCEP", K::Text, 8, &BlqTitle::sacCep},
        {"BlqSacAvl", K::Text, 30, &BlqTitle::sacAvl},
        {"BlqMsg", K::Memo, 0, &BlqTitle::msg},
        {"BlqIns", K::Memo, 0, &BlqTitle::ins},
        {"BlqRegVal", K::Logical, 0, &BlqTitle::regVal},
        {"BlqMsgErr", K::Text, 50, &BlqTitle::msgErr},
        {"BlqIdcAvi", K::Logical, 0, &BlqTitle::idcAvi},
        {"BlqIdcCAp", K::Logical, 0, &BlqTitle::idcCAp},
        {"BlqCpfCgcCed", K::Text, 15, &BlqTitle::cpfCgcCed},
        {"BlqValMul", K::Money, 0, &BlqTitle::valMul},
        {"BlqDatMul", K::Date, 0, &BlqTitle::datMul},
        {"BlqPixEmv", K::Memo, 0, &BlqTitle::pixEmv},
    };
    return all;
}

const QList<QString>& BlqSchema::names()
{
    static const QList<QString> all = [] {
        QList<QString> out;
        for (const Column& c : columns())
            out << QString::fromLatin1(c.name);
        return out;
    }();
    return all;
}

const BlqSchema::Column* BlqSchema::find(QStringView name)
{
    for (const Column& c : columns()) {
        if (name.compare(QLatin1StringView(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}
