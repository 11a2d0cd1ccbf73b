#include "BloquetoFiles.h"
#include "Clock.h"
#include "Database.h"
#include "KvError.h"
#include "QueuePrint.h"
#include "RelBloqueto.h"
#include "RetStatements.h"
#include "RetTables.h"
#include "TitleSearch.h"
#include "Verb.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kTitulo = QStringLiteral("titulo"), kPerTitle = QStringLiteral("por-titulo");
const QString kValorAtualizado = QStringLiteral("valor-atualizado");
const QString kPending = QStringLiteral("pendentes");
const QString kNothing = QStringLiteral("Nenhum título válido na base: nada a imprimir.");

// The titles still to be paid: those the return files settled or wrote off are left out.
void selectPending(RelBloqueto& rel)
{
    RetTables::ensure(Database::connection());
    rel.qryTitulo.close();
    rel.qryTitulo.clearSql();
    rel.qryTitulo.setStatement(RetStatements::bloquetosPendentes());
    rel.qryTitulo.open();
}

int perTitle(const Verb& verb, const QCommandLineParser& args, RelBloqueto& rel)
{
    const QString folder = args.value(kPerTitle).trimmed();
    if (folder.isEmpty())
        verb.badUsage(QStringLiteral("Informe a pasta dos arquivos em --por-titulo."));
    const int files = BloquetoFiles::write(rel, QDir(folder).absolutePath());
    if (files == 0)
        throw KvError(kNothing);
    printOut(QStringLiteral("%1 bloqueto(s) gravado(s), um arquivo por título, em %2 (índice %3)")
                 .arg(files)
                 .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()),
                      BloquetoFiles::indexName()));
    return 0;
}

int run(const Verb& verb, const QCommandLineParser& args)
{
    const bool eachTitle = args.isSet(kPerTitle);
    if (eachTitle && !args.positionalArguments().isEmpty())
        verb.badUsage(QStringLiteral("Informe a pasta de --por-titulo ou o arquivo PDF, não os "
                                     "dois."));
    if (eachTitle && args.isSet(QStringLiteral("impressora")))
        verb.badUsage(QStringLiteral("--por-titulo grava arquivos; não vale com --impressora."));
    const bool toQueue = !eachTitle && QueuePrint::requested(verb, args);
    const QStringList files = args.positionalArguments();
    if (!toQueue && !eachTitle && files.size() != 1)
        verb.badUsage();
    if (args.isSet(kTitulo) && args.isSet(kPending))
        verb.badUsage(QStringLiteral("--titulo escolhe os títulos; não vale com --pendentes."));
    requireTitles();
    RelBloqueto rel;
    if (args.isSet(kTitulo)) {
        // Every number is checked before anything is made: a list with a mistake in it
        // prints nothing.
        rel.selectTitles(TitleSearch::validByNossoNumero(args.values(kTitulo)));
    } else {
        rel.selectValidInFileOrder();
        if (args.isSet(kPending))
            selectPending(rel);
    }
    if (args.isSet(kValorAtualizado))
        rel.updatedValueOn = Clock::today();
    if (eachTitle)
        return perTitle(verb, args, rel);
    if (toQueue) {
        const QueuePrint::Result r = QueuePrint::print(verb, args, *rel.rptBloqueto);
        if (r.produced == 0)
            throw KvError(kNothing);
        printOut(QueuePrint::summary(r, QStringLiteral("bloqueto(s)")));
        return 0;
    }
    const QString output = files.first();
    const int pages = rel.writePdf(output);
    if (pages == 0)
        throw KvError(kNothing);
    printOut(QStringLiteral("%1 bloqueto(s) gravado(s) em %2")
                 .arg(pages)
                 .arg(QFileInfo(output).absoluteFilePath()));
    return 0;
}
} // namespace

Verb folhaSoltaVerb()
{
    Verb v(QStringLiteral("folha-solta"), QStringLiteral("SAIDA.pdf"),
           QStringLiteral("grava os bloquetos dos títulos válidos, um por folha A4, em PDF, "
                          "ou os imprime numa fila do CUPS"));
    v.options = QueuePrint::options();
    v.options << QCommandLineOption(kTitulo,
                                    QStringLiteral("só o título deste nosso número (repita a "
                                                   "opção para outros; na ordem dada)"),
                                    QStringLiteral("NOSSO_NUMERO"))
              << QCommandLineOption(kValorAtualizado,
                                    QStringLiteral("acrescenta às instruções o valor atualizado "
                                                   "até hoje dos títulos vencidos"));
    v.options << QCommandLineOption(kPerTitle,
                                    QStringLiteral("um PDF por título válido na PASTA (criada se "
                                                   "faltar), com o índice indice.csv, em vez "
                                                   "de SAIDA.pdf"),
                                    QStringLiteral("PASTA"));
    v.options << QCommandLineOption(kPending,
                                    QStringLiteral("deixa de fora os títulos liquidados ou "
                                                   "baixados segundo os arquivos de retorno"));
    v.run = &run;
    return v;
}
