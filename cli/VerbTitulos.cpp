#include "BloquetoIndex.h"
#include "KvError.h"
#include "TitleCsv.h"
#include "TitleListModel.h"
#include "TitleSearch.h"
#include "TitleSituacao.h"
#include "Verb.h"

#include <QDir>
#include <QFileInfo>

// kvcob-lote titulos: the titles window's search without the window, listed or as CSV.
namespace {
const QString kBusca = QStringLiteral("busca");
const QString kDe = QStringLiteral("vencimento-de"), kAte = QStringLiteral("vencimento-ate");
const QString kSituacao = QStringLiteral("situacao");
const QString kCsv = QStringLiteral("csv");

QString situacaoOption(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.isSet(kSituacao))
        return {};
    const QString text = args.value(kSituacao).trimmed();
    for (const QString& s : TitleSituacao::names()) {
        if (s.compare(text, Qt::CaseInsensitive) == 0)
            return s;
    }
    verb.badUsage(QStringLiteral("Situação desconhecida: %1 (use %2).")
                      .arg(text, TitleSituacao::names().join(QStringLiteral(", "))));
}

int run(const Verb& verb, const QCommandLineParser& args)
{
    if (!args.positionalArguments().isEmpty())
        verb.badUsage();
    TitleSearch::Criteria c;
    c.text = args.value(kBusca);
    c.dueFrom = verb.dateOption(args, kDe, true);
    c.dueUntil = verb.dateOption(args, kAte, true);
    c.situacao = situacaoOption(verb, args);
    const QList<qint32> seqs = TitleSearch::find(c);
    if (args.isSet(kCsv)) {
        const QString path = QFileInfo(args.value(kCsv)).absoluteFilePath();
        TitleCsv::write(path, seqs);
        printOut(QStringLiteral("%1 título(s) encontrado(s), gravado(s) em %2")
                     .arg(seqs.size())
                     .arg(QDir::toNativeSeparators(path)));
        return 0;
    }
    QStringList header;
    for (int col = 0; col < TitleListModel::ColumnCount; ++col)
        header << TitleListModel::columnTitle(col);
    printOut(header.join(QLatin1Char(';')));
    for (qsizetype at = 0; at < seqs.size(); at += 1000) {
        for (const TitleSearch::Row& r : TitleSearch::rows(seqs.mid(at, 1000))) {
            QStringList fields;
            for (int col = 0; col < TitleListModel::ColumnCount; ++col)
                fields << QString::fromUtf8(
                    BloquetoIndex::field(TitleListModel::text(r, col).trimmed()));
            printOut(fields.join(QLatin1Char(';')));
        }
    }
    printOut(QStringLiteral("%1 título(s) encontrado(s)").arg(seqs.size()));
    return 0;
}
} // namespace

Verb titulosVerb()
{
    Verb v(QStringLiteral("titulos"), QString(),
           QStringLiteral("lista os títulos encontrados pelo nome ou documento do pagador, "
                          "nosso número, seu número ou beneficiário"),
           &run, Verb::Pages::None);
    v.options = {
        {kBusca,
         QStringLiteral("parte do nome, CPF/CNPJ, nosso número, seu número ou "
                        "beneficiário (sem diferença de maiúsculas ou acentos)"),
         QStringLiteral("TEXTO")},
        {kDe, QStringLiteral("vencimento a partir de D (dd/mm/aaaa)"), QStringLiteral("D")},
        {kAte, QStringLiteral("vencimento até D (dd/mm/aaaa)"), QStringLiteral("D")},
        {kSituacao,
         QStringLiteral("só os títulos nesta situação (%1)")
             .arg(TitleSituacao::names().join(QStringLiteral(", "))),
         QStringLiteral("S")},
        {kCsv, QStringLiteral("grava a lista em SAIDA.csv (UTF-8, ';') em vez de mostrá-la"),
         QStringLiteral("SAIDA.csv")},
    };
    return v;
}
