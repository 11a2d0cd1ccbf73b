#include "TitleCsv.h"

#include "BloquetoIndex.h"
#include "StagedFile.h"
#include "TitleListModel.h"

#include <QIODevice>

QByteArray TitleCsv::header()
{
    return QByteArrayLiteral("\xEF\xBB\xBF"
                             "nosso_numero;seu_numero;sacado;cpf_cnpj_sacado;vencimento;valor;"
                             "cedente;situacao;motivos_rejeicao\r\n");
}

QByteArray TitleCsv::line(const TitleSearch::Row& r)
{
    QByteArray out;
    for (int c = 0; c < TitleListModel::ColumnCount; ++c) {
        if (c > 0)
            out += ';';
        // Every field through the index's own quoting, so both files read alike.
        const QString text = c == TitleListModel::Valor ? BloquetoIndex::amount(r.cents)
                                                        : TitleListModel::text(r, c).trimmed();
        out += BloquetoIndex::field(text);
    }
    return out + "\r\n";
}

void TitleCsv::write(const QString& path, const QList<qint32>& seqs)
{
    StagedFile file(path);
    QIODevice& out = file.open();
    out.write(header());
    for (qsizetype at = 0; at < seqs.size(); at += TitleListModel::kPage * 5) {
        QByteArray chunk;
        for (const TitleSearch::Row& r : TitleSearch::rows(seqs.mid(at, TitleListModel::kPage * 5)))
            chunk += line(r);
        out.write(chunk);
    }
    file.commit();
}
