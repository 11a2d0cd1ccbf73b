#include "TitleSituacao.h"

QString TitleSituacao::emAberto()
{
    return QStringLiteral("Em aberto");
}

QStringList TitleSituacao::names()
{
    return {emAberto(), QStringLiteral("Liquidado"), QStringLiteral("Baixado"),
            QStringLiteral("Rejeitado"), QStringLiteral("Em protesto")};
}

QHash<qint32, QString> TitleSituacao::of(const QList<qint32>& seqs)
{
    QHash<qint32, QString> out;
    for (qint32 s : seqs)
        out.insert(s, emAberto());
    return out;
}

QString TitleSituacao::condition(const QString& situacao)
{
    return situacao == emAberto() ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0");
}
