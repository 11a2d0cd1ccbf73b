#include "DbTable.h"
#include "KvError.h"
#include "RelRejeicoes.h"
#include "Verb.h"

// kvcob-lote rejeitados SAIDA.pdf: the rejected-titles report as PDF.
Verb rejeitadosVerb()
{
    Verb v;
    v.name = QStringLiteral("rejeitados");
    v.usage = QStringLiteral("SAIDA.pdf");
    v.summary = QStringLiteral("grava o relatório de títulos rejeitados em PDF");
    v.run = [](const QStringList& args) {
        if (args.size() != 1)
            throw KvError(QStringLiteral("Uso: kvcob-lote rejeitados SAIDA.pdf"));
        {
            DbTable table;
            table.open();
            if (table.rowCount() == 0)
                throw KvError(QStringLiteral("Não há Dados na Base"));
        }
        RelRejeicoes rel;
        rel.open();
        const int pages = rel.writePdf(args.first());
        if (pages == 0) {
            printOut(QStringLiteral("Não há títulos rejeitados; nenhum arquivo gravado."));
            return 0;
        }
        printOut(pages == 1
                     ? QStringLiteral("Relatório gravado em %1 (1 página).").arg(args.first())
                     : QStringLiteral("Relatório gravado em %1 (%2 páginas).")
                           .arg(args.first())
                           .arg(pages));
        return 0;
    };
    return v;
}
