#include "DbTable.h"
#include "KvError.h"
#include "RelRejeicoes.h"
#include "Verb.h"

// kvcob-lote rejeitados SAIDA.pdf: the rejected-titles report as PDF.
Verb rejeitadosVerb()
{
    Verb v;
    v.name = QStringLiteral("rejeitados");
    v.arguments = QStringLiteral("SAIDA.pdf");
    v.summary = QStringLiteral("grava o relatório de títulos rejeitados em PDF");
    v.run = [](const Verb& verb, const QCommandLineParser& args) {
        const QStringList files = args.positionalArguments();
        if (files.size() != 1)
            verb.badUsage();
        const QString output = files.first();
        {
            DbTable table;
            table.open();
            if (table.rowCount() == 0)
                throw KvError(QStringLiteral("Não há Dados na Base"));
        }
        RelRejeicoes rel;
        rel.open();
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
