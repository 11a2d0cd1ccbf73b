// libFuzzer target: any bytes as a bank file, through the whole import into a real SQLite
// table. A bad file may stop the import with a message (KvError); it must never crash,
// hang or break the table's invariants.
#include "BankFileImporter.h"
#include "BlqUpgrade.h"
#include "Database.h"
#include "DbTable.h"
#include "FuzzHarness.h"
#include "KvError.h"
#include "ProgramDir.h"
#include "Regional.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {
struct Harness : FuzzHarness {
    DbTable* table = nullptr;

    Harness() : FuzzHarness("fuzz_bankfile")
    {
        Regional::setSeparators(QLatin1Char(','), QLatin1Char('.'));
        BlqUpgrade::upgradeIfNeeded();
        // Durability is not what is under test here; speed of each run is.
        QSqlQuery q(Database::connection());
        q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        q.exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
        table = new DbTable;
    }
};

// What every stored row must keep, whatever the file held.
void checkInvariants()
{
    static const char* const broken[] = {
        "SELECT count(*) FROM Blq WHERE (BlqRegVal = 1) <> (BlqMsgErr = '')",
        "SELECT count(*) FROM Blq WHERE BlqRegVal IS NULL OR BlqMsgErr IS NULL",
        "SELECT count(*) FROM Blq WHERE BlqIdcAvi = 1 AND BlqIdcCAp = 1",
        "SELECT count(*) FROM Blq WHERE (BlqIdcAvi = 1 OR BlqIdcCAp = 1) AND BlqDatVen IS NOT NULL",
        "SELECT count(*) FROM Blq WHERE length(BlqMsgErr) > 50 OR length(BlqSacNom) > 40",
        ("SELECT count(*) FROM Blq WHERE BlqDatVen IS NOT NULL AND BlqDatVen < '2000-07-04'"
         " AND BlqMsgErr NOT LIKE '%VENCIMENTO%' AND length(BlqMsgErr) < 50"),
    };
    QSqlQuery q(Database::connection());
    for (const char* sql : broken) {
        if (!q.exec(QLatin1StringView(sql)) || !q.next() || q.value(0).toInt() != 0) {
            std::fprintf(stderr, "invariant broken: %s\n", sql);
            std::abort();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Harness harness;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    qint64 lastCount = 0;
    BankFileImporter importer(*harness.table, [&](qint64 blocks) {
        if (blocks != lastCount + 1)
            std::abort(); // every block counted once, in order
        lastCount = blocks;
    });
    try {
        importer.importFrom(device);
    } catch (const KvError& e) {
        if (e.message().isEmpty())
            std::abort(); // a stop without a message would leave the user guessing
    }
    // Never more blocks than the file holds, rounded up.
    if (importer.blockCount() > qint64((size + 401) / 402))
        std::abort();
    checkInvariants();
    return 0;
}
