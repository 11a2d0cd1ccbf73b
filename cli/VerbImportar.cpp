#include "BankFileImporter.h"
#include "DbTable.h"
#include "KvError.h"
#include "Verb.h"

// kvcob-lote importar ARQUIVO: the import window's work without the window. The count
// line is printed whether the import ends well or not, as the window keeps showing it.
Verb importarVerb()
{
    return {QStringLiteral("importar"), QStringLiteral("ARQUIVO"),
            QStringLiteral("substitui os títulos da base pelos do arquivo do banco"),
            [](const QStringList& args) {
                if (args.size() != 1)
                    throw KvError(QStringLiteral("Uso: kvcob-lote importar ARQUIVO"));
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
