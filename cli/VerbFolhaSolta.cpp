#include "DbTable.h"
#include "KvError.h"
#include "RelBloqueto.h"
#include "Verb.h"

#include <QFileInfo>

namespace {
int run(const Verb& verb, const QCommandLineParser& args)
{
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
    Verb v;
    v.name = QStringLiteral("folha-solta");
    v.arguments = QStringLiteral("SAIDA.pdf");
    v.summary = QStringLiteral("grava os bloquetos dos títulos válidos, um por folha A4, em PDF");
    v.run = &run;
    return v;
}
