#include "TitleSituacao.h"

#include "DbQuery.h"
#include "RetStatements.h"
#include "TitulosStatements.h"

QString TitleSituacao::emAberto()
{
    return QStringLiteral("Em aberto");
}

QStringList TitleSituacao::names()
{
    return {emAberto(), QStringLiteral("Liquidado"), QStringLiteral("Baixado"),
            QStringLiteral("Rejeitado"), QStringLiteral("Em protesto")};
}

QString TitleSituacao::table()
{
    // The store makes the return tables with the others whenever they are missing.
    return RetStatements::situacaoPorTitulo();
}

QHash<qint32, QString> TitleSituacao::of(const QList<qint32>& seqs)
{
    QHash<qint32, QString> out;
    const QString derived = seqs.isEmpty() ? QString() : table();
    if (!derived.isEmpty()) {
        DbQuery q;
        q.setStatement(TitulosStatements::situacoes(seqs, derived));
        for (q.open(); !q.eof(); q.next())
            out.insert(q.value(QStringLiteral("BlqSeq")).toInt(),
                       q.asString(QStringLiteral("Situacao")));
    }
    for (qint32 s : seqs) {
        if (!out.contains(s))
            out.insert(s, emAberto());
    }
    return out;
}
