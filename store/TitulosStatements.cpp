#include "TitulosStatements.h"

namespace {
QString numberList(const QList<qint32>& seqs)
{
    QStringList out;
    out.reserve(seqs.size());
    for (qint32 s : seqs)
        out << QString::number(s);
    return out.join(QLatin1Char(','));
}

// A title the return files say nothing of is open.
QString situacaoOf()
{
    return QStringLiteral("coalesce(RetSit.RetSituacao, 'Em aberto')");
}

QString situacaoJoin(const QString& table)
{
    return QStringLiteral("left join (%1) RetSit on RetSit.RetAgeCod = BlqAgeCod and "
                          "RetSit.RetCtrCod = BlqCtrCod and RetSit.RetNosNum = BlqNosNum")
        .arg(table);
}

QString orderColumn(TitulosStatements::Order o)
{
    using O = TitulosStatements::Order;
    switch (o) {
    case O::Seq:
        return QString();
    case O::NosNum:
        return QStringLiteral("BlqNosNum");
    case O::SeuNum:
        return QStringLiteral("BlqSeuNum");
    case O::SacNom:
        return QStringLiteral("BlqSacNom");
    case O::CpfCgcSac:
        return QStringLiteral("BlqCpfCgcSac");
    case O::DatVen:
        return QStringLiteral("BlqDatVen");
    case O::TitVal:
        return QStringLiteral("BlqTitVal");
    case O::NomCed:
        return QStringLiteral("BlqNomCed");
    case O::Situacao:
        return QString();
    case O::MsgErr:
        return QStringLiteral("BlqMsgErr");
    }
    return QString();
}
} // namespace

DbStatement TitulosStatements::addSearchText()
{
    return {{QStringLiteral("ALTER TABLE BLQ ADD BlqBusTxt TEXT")}, {}, nullptr};
}

QList<DbStatement> TitulosStatements::addIndexes()
{
    return {
        {{QStringLiteral("CREATE INDEX IF NOT EXISTS BlqNosNumIdx ON Blq (BlqNosNum)")},
         {},
         nullptr},
        {{QStringLiteral("CREATE INDEX IF NOT EXISTS BlqDatVenIdx ON Blq (BlqDatVen)")},
         {},
         nullptr},
    };
}

DbStatement TitulosStatements::missingSearchText()
{
    return {{QStringLiteral("select BlqSeq, BlqSacNom, BlqCpfCgcSac, BlqNosNum, BlqSeuNum, "
                            "BlqNomCed from Blq"),
             QStringLiteral("where BlqBusTxt is null")},
            {},
            nullptr};
}

DbStatement TitulosStatements::setSearchText()
{
    return {{QStringLiteral("update Blq set BlqBusTxt = :ParmBusTxt where BlqSeq = :ParmSeq")},
            {},
            nullptr};
}

DbStatement TitulosStatements::search(const Search& s)
{
    // A row whose folded text is missing (stored by an older program) is still found by
    // its columns as they are, though only letter case is then ignored.
    const QString rawText = QStringLiteral(
        "lower(coalesce(BlqSacNom, '') || '|' || coalesce(BlqCpfCgcSac, '') || '|' || "
        "coalesce(BlqNosNum, '') || '|' || coalesce(BlqSeuNum, '') || '|' || "
        "coalesce(BlqNomCed, ''))");
    const QString text =
        s.foldedColumn ? QStringLiteral("coalesce(BlqBusTxt, %1)").arg(rawText) : rawText;
    QStringList lines = {QStringLiteral("select BlqSeq from Blq")};
    if (!s.situacaoTable.isEmpty())
        lines << situacaoJoin(s.situacaoTable);
    lines << QStringLiteral("where 1 = 1");
    for (int i = 0; i < s.words; ++i)
        lines << QStringLiteral("and %1 like :ParmPalavra%2 escape '\\'").arg(text).arg(i);
    if (s.dueFrom)
        lines << QStringLiteral("and BlqDatVen >= :ParmVenDe");
    if (s.dueUntil)
        lines << QStringLiteral("and BlqDatVen <= :ParmVenAte");
    if (s.valid == 1)
        lines << QStringLiteral("and BlqRegVal = True");
    else if (s.valid == 0)
        lines << QStringLiteral("and BlqRegVal = False");
    if (s.situacaoFilter && !s.situacaoTable.isEmpty())
        lines << QStringLiteral("and %1 = :ParmSituacao").arg(situacaoOf());
    // Names in alphabetical order, "Érica" among the E's: by the folded text, which starts
    // with the folded name.
    QString column = orderColumn(s.order);
    if (s.order == Order::SacNom && s.foldedColumn)
        column = QStringLiteral("coalesce(BlqBusTxt, lower(BlqSacNom))");
    else if (s.order == Order::Situacao && !s.situacaoTable.isEmpty())
        column = situacaoOf();
    const QString direction = s.descending ? QStringLiteral(" desc") : QString();
    if (column.isEmpty())
        lines << QStringLiteral("order by BlqSeq%1").arg(direction);
    else
        lines << QStringLiteral("order by %1%2, BlqSeq").arg(column, direction);
    return {lines, {}, nullptr};
}

DbStatement TitulosStatements::gridRows(const QList<qint32>& seqs)
{
    return {{QStringLiteral("select BlqSeq, BlqNosNum, BlqSeuNum, BlqSacNom, BlqCpfCgcSac, "
                            "BlqDatVen, BlqTitVal, BlqNomCed, BlqRegVal, BlqMsgErr, "
                            "BlqIdcAvi, BlqIdcCAp from Blq"),
             QStringLiteral("where BlqSeq in (%1)").arg(numberList(seqs))},
            {},
            nullptr};
}

DbStatement TitulosStatements::titlesInOrder(const QList<qint32>& seqs)
{
    if (seqs.isEmpty())
        return {{QStringLiteral("select * from Blq where 1 = 0")}, {}, nullptr};
    QString cases;
    for (int i = 0; i < seqs.size(); ++i)
        cases += QStringLiteral(" when %1 then %2").arg(seqs.at(i)).arg(i);
    return {{QStringLiteral("select * from Blq"),
             QStringLiteral("where BlqSeq in (%1)").arg(numberList(seqs)),
             QStringLiteral("order by case BlqSeq%1 end").arg(cases)},
            {},
            nullptr};
}

DbStatement TitulosStatements::situacoes(const QList<qint32>& seqs, const QString& situacaoTable)
{
    return {{QStringLiteral("select BlqSeq, %1 as Situacao from Blq").arg(situacaoOf()),
             situacaoJoin(situacaoTable),
             QStringLiteral("where BlqSeq in (%1)").arg(numberList(seqs))},
            {},
            nullptr};
}

DbStatement TitulosStatements::byNossoNumero()
{
    return {{QStringLiteral("select BlqSeq, BlqRegVal, BlqMsgErr from Blq"),
             QStringLiteral("where BlqNosNum = :ParmNosNum"), QStringLiteral("order by BlqSeq")},
            {},
            nullptr};
}
