#include "KvError.h"
#include "QueuePrint.h"
#include "RelRejeicoes.h"
#include "Verb.h"

// kvcob-lote rejeitados SAIDA.pdf: the rejected-titles report as PDF, or on a CUPS queue.
Verb rejeitadosVerb()
{
    Verb v(QStringLiteral("rejeitados"), QStringLiteral("SAIDA.pdf"),
           QStringLiteral("grava o relatório de títulos rejeitados em PDF, ou o imprime "
                          "numa fila do CUPS"));
    v.options = QueuePrint::options();
    v.run = [](const Verb& verb, const QCommandLineParser& args) {
        const bool toQueue = QueuePrint::requested(verb, args);
        const QStringList files = args.positionalArguments();
        if (!toQueue && files.size() != 1)
            verb.badUsage();
        requireTitles();
        RelRejeicoes rel;
        rel.open();
        if (toQueue) {
            const QueuePrint::Result r = QueuePrint::print(verb, args, *rel.rptRelRejeicoes);
            printOut(r.produced == 0
                         ? QStringLiteral("Não há títulos rejeitados; nada foi impresso.")
                         : QueuePrint::summary(r, QStringLiteral("página(s) do relatório")));
            return 0;
        }
        const QString output = files.first();
        const int pages = rel.writePdf(output);
        if (pages == 0) {
            printOut(QStringLiteral("Não há títulos rejeitados; nenhum arquivo gravado."));
            return 0;
        }
        printOut(
            pages == 1
                ? QStringLiteral("Relatório gravado em %1 (1 página).").arg(output)
                : QStringLiteral("Relatório gravado em %1 (%2 páginas).").arg(output).arg(pages));
        return 0;
    };
    return v;
}
