#include "DbTable.h"
#include "KvError.h"
#include "RelBloqueto.h"
#include "Verb.h"

#include <QFileInfo>

namespace {
int run(const QStringList& args)
{
    if (args.size() != 1)
        throw KvError(QStringLiteral("Uso: kvcob-lote folha-solta SAIDA.pdf"));
    const QString output = args.first();
    {
        DbTable table;
        table.open();
        if (table.rowCount() == 0)
            throw KvError(QStringLiteral("Não há Dados na Base"));
    }
    RelBloqueto rel;
    rel.selectValidInFileOrder();
    const int pages = rel.writePdf(output);
    if (pages == 0)
        throw KvError(QStringLiteral("Nenhum título válido na base: nada a imprimir."));
    printOut(QStringLiteral("%1 bloqueto(s) gravado(s) em %2")
                 .arg(pages)
                 .arg(QFileInfo(output).absoluteFilePath()));
    return 0;
}
} // namespace

Verb folhaSoltaVerb()
{
    return {QStringLiteral("folha-solta"), QStringLiteral("SAIDA.pdf"),
            QStringLiteral("grava os bloquetos dos títulos válidos, um por folha A4, em PDF"), run};
}
