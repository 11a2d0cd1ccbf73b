#include "BankFileImporter.h"
#include "DbTable.h"
#include "KvError.h"
#include "Verb.h"

// kvcob-lote importar ARQUIVO: the import window's work without the window. The count
// line is printed whether the import ends well or not, as the window keeps showing it.
Verb importarVerb()
{
    return {QStringLiteral("importar"), QStringLiteral("[--forcar] ARQUIVO"),
            QStringLiteral("substitui os títulos da base pelos do arquivo do banco; --forcar "
                           "carrega também um arquivo que não começa por um registro header"),
            [](QStringList args) {
                const bool force = args.removeAll(QStringLiteral("--forcar")) > 0;
                if (args.size() != 1)
                    throw KvError(QStringLiteral("Uso: kvcob-lote importar [--forcar] ARQUIVO"));
                // Nobody is there to answer the window's question: a file that does not look
                // like a bank file is refused before anything is emptied.
                if (!force && !BankFileImporter::startsLikeBankFile(args.first()))
                    throw KvError(BankFileImporter::notBankFileQuestion());
                DbTable table;
                BankFileImporter importer(table);
                auto countLine = [&] {
                    printOut(QString::number(importer.blockCount()) +
                             QStringLiteral(" registros Processados"));
                };
                try {
                    importer.importFile(args.first());
                } catch (const KvError&) {
                    if (importer.blockCount() > 0)
                        countLine();
                    throw;
                }
                countLine();
                printOut(QStringLiteral("Carga finalizada com sucesso"));
                return 0;
            }};
}
