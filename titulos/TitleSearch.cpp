#include "TitleSearch.h"

#include "BloquetoTexts.h"
#include "BlqSearchIndex.h"
#include "BlqSearchText.h"
#include "BlqTitleRow.h"
#include "DbQuery.h"
#include "KvError.h"
#include "TitleSituacao.h"

#include <QHash>

namespace {
QString isoDate(const QDate& d)
{
    return d.toString(Qt::ISODate);
}
} // namespace

QList<qint32> TitleSearch::find(const Criteria& c)
{
    const QStringList words = BlqSearchText::patterns(c.text);
    TitulosStatements::Search s;
    s.words = int(words.size());
    s.dueFrom = c.dueFrom.isValid();
    s.dueUntil = c.dueUntil.isValid();
    s.valid = c.validity == Validity::Valid ? 1 : c.validity == Validity::Rejected ? 0 : -1;
    const QString situacoes = TitleSituacao::table();
    if (!c.situacao.isEmpty()) {
        // Without return data every title is open.
        if (situacoes.isEmpty() && c.situacao != TitleSituacao::emAberto())
            return {};
        s.situacaoFilter = !situacoes.isEmpty();
    }
    if (s.situacaoFilter || c.order == TitulosStatements::Order::Situacao)
        s.situacaoTable = situacoes;
    s.foldedColumn = BlqSearchIndex::hasSearchText();
    s.order = c.order;
    s.descending = c.descending;

    DbQuery q;
    q.setStatement(TitulosStatements::search(s));
    for (int i = 0; i < words.size(); ++i)
        q.setParam(QStringLiteral("ParmPalavra%1").arg(i), words.at(i));
    if (s.dueFrom)
        q.setParam(QStringLiteral("ParmVenDe"), isoDate(c.dueFrom));
    if (s.dueUntil)
        q.setParam(QStringLiteral("ParmVenAte"), isoDate(c.dueUntil));
    if (s.situacaoFilter)
        q.setParam(QStringLiteral("ParmSituacao"), c.situacao);
    q.open();
    QList<qint32> out;
    const QString seq = QStringLiteral("BlqSeq");
    for (; !q.eof(); q.next())
        out << q.value(seq).toInt();
    return out;
}

QList<TitleSearch::Row> TitleSearch::rows(const QList<qint32>& seqs)
{
    if (seqs.isEmpty())
        return {};
    QHash<qint32, Row> found;
    DbQuery q;
    q.setStatement(TitulosStatements::gridRows(seqs));
    q.open();
    for (; !q.eof(); q.next()) {
        Row r;
        r.seq = q.value(QStringLiteral("BlqSeq")).toInt();
        r.nosNum = q.asString(QStringLiteral("BlqNosNum"));
        r.seuNum = q.asString(QStringLiteral("BlqSeuNum"));
        r.sacNom = q.asString(QStringLiteral("BlqSacNom"));
        r.cpfCgcSac = q.asString(QStringLiteral("BlqCpfCgcSac"));
        r.datVen = q.asDate(QStringLiteral("BlqDatVen"));
        r.vencimento = BloquetoTexts::dueDateCaption(
            q.asBool(QStringLiteral("BlqIdcAvi")), q.asBool(QStringLiteral("BlqIdcCAp")), r.datVen);
        r.cents = q.asCents(QStringLiteral("BlqTitVal"));
        r.nomCed = q.asString(QStringLiteral("BlqNomCed"));
        r.valid = q.asBool(QStringLiteral("BlqRegVal"));
        r.msgErr = q.asString(QStringLiteral("BlqMsgErr"));
        found.insert(r.seq, r);
    }
    const QHash<qint32, QString> situacoes = TitleSituacao::of(seqs);
    QList<Row> out;
    out.reserve(seqs.size());
    for (qint32 s : seqs) {
        auto it = found.constFind(s);
        if (it == found.constEnd())
            continue;
        out << *it;
        out.last().situacao = situacoes.value(s, TitleSituacao::emAberto());
    }
    return out;
}

BlqTitle TitleSearch::title(qint32 seq)
{
    DbQuery q;
    q.setStatement(TitulosStatements::titlesInOrder({seq}));
    q.open();
    if (q.eof())
        throw KvError(QStringLiteral("O título não está mais na base."),
                      QStringLiteral("Faça a consulta de novo: a base foi carregada outra vez."));
    return BlqTitleRow::read(q);
}

QList<qint32> TitleSearch::validByNossoNumero(const QStringList& numbers)
{
    QList<qint32> out;
    QStringList unknown;
    QStringList rejected;
    QStringList seen;
    for (const QString& raw : numbers) {
        const QString n = raw.trimmed();
        if (seen.contains(n))
            continue;
        seen << n;
        DbQuery q;
        q.setStatement(TitulosStatements::byNossoNumero());
        q.setParam(QStringLiteral("ParmNosNum"), n);
        q.open();
        bool any = false;
        bool anyValid = false;
        for (; !q.eof(); q.next()) {
            any = true;
            if (q.asBool(QStringLiteral("BlqRegVal"))) {
                anyValid = true;
                out << q.value(QStringLiteral("BlqSeq")).toInt();
            }
        }
        if (!any)
            unknown << n;
        else if (!anyValid)
            rejected << n;
    }
    QStringList problems;
    if (!unknown.isEmpty())
        problems << QStringLiteral("não está na base: %1").arg(unknown.join(QStringLiteral(", ")));
    if (!rejected.isEmpty())
        problems << QStringLiteral("título rejeitado: %1").arg(rejected.join(QStringLiteral(", ")));
    if (!problems.isEmpty())
        throw KvError(QStringLiteral("Nosso número %1; nada foi gravado.")
                          .arg(problems.join(QStringLiteral("; "))),
                      QStringLiteral("Confira os números (11 dígitos, com o dígito) e carregue o "
                                     "arquivo do banco, se faltar."));
    return out;
}
