#include "BankFileImporter.h"
#include "DbTable.h"
#include "KvError.h"
#include "Verb.h"

// kvcob-lote importar ARQUIVO: the import window's work without the window. The count
// line is printed whether the import ends well or not, as the window keeps showing it.
Verb importarVerb()
{
    Verb v(QStringLiteral("importar"), QStringLiteral("ARQUIVO"),
           QStringLiteral("substitui os títulos da base pelos do arquivo do banco"));
    v.paints = false;
    v.options = {{QStringLiteral("forcar"),
                  QStringLiteral("carrega também um arquivo que não começa por um registro "
                                 "header")}};
    v.run = [](const Verb& verb, const QCommandLineParser& args) {
        const QStringList files = args.positionalArguments();
        if (files.size() != 1)
            verb.badUsage();
        // Nobody is there to answer the window's question: a file that does not look like a
        // bank file is refused before anything is emptied.
        if (!args.isSet(QStringLiteral("forcar")) &&
            !BankFileImporter::startsLikeBankFile(files.first()))
            throw KvError(BankFileImporter::notBankFileQuestion());
        DbTable table;
        BankFileImporter importer(table);
        auto countLine = [&] {
            printOut(QString::number(importer.blockCount()) +
                     QStringLiteral(" registros Processados"));
        };
        try {
            importer.importFile(files.first());
        } catch (const KvError&) {
            if (importer.blockCount() > 0)
                countLine();
            throw;
        }
        countLine();
        printOut(QStringLiteral("Carga finalizada com sucesso"));
        return 0;
    };
    return v;
}
