#include "BlqSchema.h"

using K = BlqSchema::Kind;

const QList<BlqSchema::Column>& BlqSchema::columns()
{
    static const QList<Column> all = {
        {"BlqSeq", K::AutoInc, 0},       {"BlqAgeCod", K::Text, 4},
        {"BlqCtrCod", K::Text, 9},       {"BlqNosNum", K::Text, 11},
        {"BlqSeuNum", K::Text, 10},      {"BlqDatEmi", K::Date, 0},
        {"BlqDatVen", K::Date, 0},       {"BlqDstDatLim", K::Date, 0},
        {"BlqNomCed", K::Text, 30},      {"BlqTipCar", K::Text, 2},
        {"BlqEspDoc", K::Text, 2},       {"BlqCodMoe", K::Text, 5},
        {"BlqQtdMoe", K::Integer, 0},    {"BlqTitVal", K::Money, 0},
        {"BlqAbtAtrVal", K::Money, 0},   {"BlqDstVal", K::Money, 0},
        {"BlqJurDiaVal", K::Money, 0},   {"BlqCpfCgcSac", K::Text, 15},
        {"BlqSacNom", K::Text, 40},      {"BlqSacEnd", K::Text, 40},
        {"BlqSacBai", K::Text, 12},      {"BlqSacCid", K::Text, 15},
        {"BlqSacEtd", K::Text, 2},       {"BlqSacCEP", K::Text, 8},
        {"BlqSacAvl", K::Text, 30},      {"BlqMsg", K::Memo, 0},
        {"BlqIns", K::Memo, 0},          {"BlqRegVal", K::Logical, 0},
        {"BlqMsgErr", K::Text, 50},      {"BlqIdcAvi", K::Logical, 0},
        {"BlqIdcCAp", K::Logical, 0},    {"BlqCpfCgcCed", K::Text, 15},
        {"BlqValMul", K::Money, 0},      {"BlqDatMul", K::Date, 0},
    };
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

QString BlqSchema::sqlType(Kind kind, int width)
{
    switch (kind) {
    case K::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case K::Text:
        return QStringLiteral("VARCHAR(%1)").arg(width);
    case K::Date:
        return QStringLiteral("DATE");
    case K::Money:
        return QStringLiteral("MONEY");
    case K::Integer:
        return QStringLiteral("INTEGER");
    case K::Memo:
        return QStringLiteral("TEXT");
    case K::Logical:
        return QStringLiteral("BOOLEAN");
    }
    return QStringLiteral("TEXT");
}

QString BlqSchema::createStatement()
{
    QStringList defs;
    for (int i = 0; i < kBaseColumns; ++i) {
        const Column& c = columns().at(i);
        defs << QLatin1StringView(c.name) + QLatin1Char(' ') + sqlType(c.kind, c.width);
    }
    return QStringLiteral("CREATE TABLE Blq (") + defs.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}
