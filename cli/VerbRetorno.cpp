#include "Clock.h"
#include "KvError.h"
#include "Regional.h"
#include "RelLiquidados.h"
#include "RelOcorrencias.h"
#include "RetProcessor.h"
#include "Verb.h"

#include <QFileInfo>

namespace {
QString pagesText(int pages)
{
    return pages == 1 ? QStringLiteral("1 página") : QStringLiteral("%1 páginas").arg(pages);
}

} // namespace

// kvcob-lote retorno [--reprocessar] ARQUIVO [--relatorio SAIDA.pdf]: the processing
// window's work without the window.
Verb retornoVerb()
{
    Verb v(QStringLiteral("retorno"), QStringLiteral("ARQUIVO"),
           QStringLiteral("processa o arquivo de retorno do banco: liquidações, baixas, "
                          "rejeições e tarifas de cada título"));
    v.options = {{QStringLiteral("reprocessar"),
                  QStringLiteral("substitui as ocorrências de um arquivo já processado")},
                 {QStringLiteral("relatorio"),
                  QStringLiteral("grava o relatório de ocorrências do arquivo em SAIDA.pdf"),
                  QStringLiteral("SAIDA.pdf")}};
    v.run = [](const Verb& verb, const QCommandLineParser& args) {
        const QStringList files = args.positionalArguments();
        if (files.size() != 1)
            verb.badUsage();
        if (args.isSet(QStringLiteral("relatorio")) &&
            args.value(QStringLiteral("relatorio")).trimmed().isEmpty())
            verb.badUsage(QStringLiteral("Informe o arquivo PDF de --relatorio."));
        RetProcessor processor;
        const RetSummary s =
            processor.process(files.first(), args.isSet(QStringLiteral("reprocessar")));
        for (const QString& line : s.lines())
            printOut(line);
        if (args.isSet(QStringLiteral("relatorio"))) {
            const QString output = args.value(QStringLiteral("relatorio"));
            RelOcorrencias rel;
            rel.select(s.fileSeq);
            const int pages = rel.writePdf(output);
            printOut(QStringLiteral("Relatório de ocorrências gravado em %1 (%2).")
                         .arg(QFileInfo(output).absoluteFilePath(), pagesText(pages)));
        }
        return 0;
    };
    return v;
}

// kvcob-lote liquidados [--de dd/mm/aaaa] [--ate dd/mm/aaaa] SAIDA.pdf
Verb liquidadosVerb()
{
    Verb v(QStringLiteral("liquidados"), QStringLiteral("SAIDA.pdf"),
           QStringLiteral("grava o relatório de títulos liquidados num período de datas "
                          "de crédito (sem período: as do último retorno) em PDF"));
    v.options = {{QStringLiteral("de"), QStringLiteral("primeira data de crédito"),
                  QStringLiteral("dd/mm/aaaa")},
                 {QStringLiteral("ate"), QStringLiteral("última data de crédito"),
                  QStringLiteral("dd/mm/aaaa")}};
    v.run = [](const Verb& verb, const QCommandLineParser& args) {
        const QStringList files = args.positionalArguments();
        if (files.size() != 1)
            verb.badUsage();
        QDate from = verb.dateOption(args, QStringLiteral("de"));
        QDate to = verb.dateOption(args, QStringLiteral("ate"));
        // Without a period: the credit dates of the latest file. One end alone runs from the
        // beginning, or up to today.
        if (!from.isValid() && !to.isValid()) {
            std::tie(from, to) = RelLiquidados::lastFilePeriod();
        } else if (!from.isValid()) {
            from = QDate(1900, 1, 1);
        } else if (!to.isValid()) {
            to = std::max(Clock::today(), from);
        }
        if (!from.isValid() || !to.isValid())
            throw KvError(QStringLiteral("O último arquivo de retorno não tem liquidações."),
                          QStringLiteral("Informe o período com --de e --ate."));
        if (from > to)
            verb.badUsage(QStringLiteral("A data de --de é posterior à de --ate."));
        RelLiquidados rel;
        const int titles = rel.select(from, to);
        if (titles == 0) {
            printOut(QStringLiteral("Nenhum título liquidado com crédito de %1 a %2; nenhum "
                                    "arquivo gravado.")
                         .arg(Regional::shortDate(from), Regional::shortDate(to)));
            return 0;
        }
        const QString output = files.first();
        const int pages = rel.writePdf(output);
        printOut(QStringLiteral("%1 título(s) liquidado(s) de %2 a %3: relatório gravado em %4 "
                                "(%5).")
                     .arg(titles)
                     .arg(Regional::shortDate(from), Regional::shortDate(to),
                          QFileInfo(output).absoluteFilePath(), pagesText(pages)));
        return 0;
    };
    return v;
}
