#include "StoreCatalog.h"

#include "BlqStatements.h"
#include "Database.h"
#include "EmaStatements.h"
#include "EnvStatements.h"
#include "StoreStatements.h"

namespace S = StoreStatements;

namespace {
// A column of each kind, for the trial of the types each engine declares.
QList<S::ColumnDef> everyKind()
{
    using K = BlqSchema::Kind;
    return {{QStringLiteral("Seq"), K::AutoInc}, {QStringLiteral("Txt"), K::Text, 4},
            {QStringLiteral("Dat"), K::Date},    {QStringLiteral("Val"), K::Money},
            {QStringLiteral("Num"), K::Integer}, {QStringLiteral("Memo"), K::Memo},
            {QStringLiteral("Flag"), K::Logical}};
}
} // namespace

const QList<StoreCatalog::Table>& StoreCatalog::tables()
{
    static const QList<Table> all = {
        {QStringLiteral("Blq"), &BlqStatements::createTable},
        {QStringLiteral("Ema"), &EmaStatements::createTable},
        {QStringLiteral("Env"), &EnvStatements::createTable},
    };
    return all;
}

QList<StoreCatalog::Entry> StoreCatalog::statements()
{
    const QString blq = QStringLiteral("Blq");
    const QStringList someColumns = {QStringLiteral("BlqSeuNum"), QStringLiteral("BlqRegVal")};
    // Logicals are bound as booleans and copied as 0/1, as DbTable does.
    const QVariantList someValues = {QStringLiteral("1"), true};
    const QVariantList someCopied = {QStringLiteral("1"), 1};
    return {
        {QStringLiteral("BlqStatements::createTable"), BlqStatements::createTable(), {}, blq},
        {QStringLiteral("StoreStatements::createTable"),
         S::createTable(QStringLiteral("KvEveryKind"), everyKind()),
         {},
         QStringLiteral("KvEveryKind")},
        {QStringLiteral("StoreStatements::tables"), S::tables()},
        {QStringLiteral("StoreStatements::tableCount"), S::tableCount()},
        {QStringLiteral("StoreStatements::tableMissing"), S::tableMissing(blq)},
        {QStringLiteral("StoreStatements::columns"), S::columns(blq), {blq}},
        {QStringLiteral("BlqStatements::addValMul"), BlqStatements::addValMul()},
        {QStringLiteral("BlqStatements::addDatMul"), BlqStatements::addDatMul()},
        {QStringLiteral("BlqStatements::addPixEmv"), BlqStatements::addPixEmv()},
        {QStringLiteral("StoreStatements::insertRow"), S::insertRow(blq, someColumns), someValues},
        {QStringLiteral("StoreStatements::copyRows"),
         S::copyRows(blq, someColumns),
         someCopied,
         {},
         true},
        {QStringLiteral("BlqStatements::bloquetosByContract"),
         BlqStatements::bloquetosByContract()},
        {QStringLiteral("BlqStatements::bloquetosInFileOrder"),
         BlqStatements::bloquetosInFileOrder()},
        {QStringLiteral("BlqStatements::rejected"), BlqStatements::rejected()},
        {QStringLiteral("BlqStatements::beneficiaries"), BlqStatements::beneficiaries()},
        {QStringLiteral("BlqStatements::contracts"), BlqStatements::contracts()},
        {QStringLiteral("BlqStatements::continuousRows (all)"),
         BlqStatements::continuousRows(false)},
        {QStringLiteral("BlqStatements::continuousRows (one contract)"),
         BlqStatements::continuousRows(true),
         {QStringLiteral("0001"), QStringLiteral("000000001")}},
        {QStringLiteral("StoreStatements::countOf"),
         S::countOf(BlqStatements::bloquetosInFileOrder())},
        {QStringLiteral("StoreStatements::countRows"), S::countRows(blq)},
        {QStringLiteral("StoreStatements::sourceId"), S::sourceId()},
        {QStringLiteral("StoreStatements::pageSize"), S::pageSize()},
        {QStringLiteral("StoreStatements::setPageSize"), S::setPageSize(Database::kPageSize)},
        {QStringLiteral("StoreStatements::journalMode"), S::journalMode()},
        {QStringLiteral("StoreStatements::setJournalMode"),
         S::setJournalMode(QStringLiteral("WAL"))},
        {QStringLiteral("StoreStatements::journalSizeLimit"), S::journalSizeLimit(67108864)},
        {QStringLiteral("StoreStatements::busyTimeout"), S::busyTimeout(2000)},
        {QStringLiteral("StoreStatements::secureDelete"), S::secureDelete()},
        {QStringLiteral("StoreStatements::setSecureDelete"), S::setSecureDelete(0)},
        {QStringLiteral("StoreStatements::freelistCount"), S::freelistCount()},
        {QStringLiteral("StoreStatements::pageCount"), S::pageCount()},
        {QStringLiteral("StoreStatements::tryImportLock"), S::tryImportLock()},
        {QStringLiteral("StoreStatements::releaseImportLock"), S::releaseImportLock()},
        {QStringLiteral("StoreStatements::deleteRows"), S::deleteRows(blq)},
        {QStringLiteral("StoreStatements::vacuum"), S::vacuum()},
        // The payers' addresses and the record of the messages sent.
        {QStringLiteral("EmaStatements::createTable"),
         EmaStatements::createTable(),
         {},
         QStringLiteral("Ema")},
        {QStringLiteral("EmaStatements::insert"),
         EmaStatements::insert(),
         {QStringLiteral("12345678909"), QStringLiteral("a@exemplo.com.br")}},
        {QStringLiteral("EmaStatements::find"),
         EmaStatements::find(),
         {QStringLiteral("12345678909")}},
        {QStringLiteral("EmaStatements::update"),
         EmaStatements::update(),
         {QStringLiteral("b@exemplo.com.br"), QStringLiteral("12345678909")}},
        {QStringLiteral("EmaStatements::all"), EmaStatements::all()},
        {QStringLiteral("EmaStatements::search"),
         EmaStatements::search(),
         {QStringLiteral("%123%"), QStringLiteral("%exemplo%")}},
        {QStringLiteral("EmaStatements::remove"),
         EmaStatements::remove(),
         {QStringLiteral("12345678909")}},
        {QStringLiteral("EnvStatements::index"), EnvStatements::index()},
        {QStringLiteral("EnvStatements::begin"),
         EnvStatements::begin(),
         {QStringLiteral("1.x@exemplo.com.br"), QStringLiteral("0001"), QStringLiteral("000000001"),
          QStringLiteral("00000000001"), QStringLiteral("2026-03-10"), QStringLiteral("12.34"),
          QStringLiteral("a@exemplo.com.br"), QStringLiteral("2026-03-01T10:00:00")}},
        {QStringLiteral("EnvStatements::finish"),
         EnvStatements::finish(),
         {QStringLiteral("A"), QStringLiteral("250 Ok"), QStringLiteral("2026-03-01T10:00:01"),
          QStringLiteral("1.x@exemplo.com.br")}},
        {QStringLiteral("EnvStatements::accepted"),
         EnvStatements::accepted(),
         {QStringLiteral("00000000001"), QStringLiteral("0001"), QStringLiteral("000000001"),
          QStringLiteral("2026-03-10"), QStringLiteral("1234"),
          QStringLiteral("a@exemplo.com.br")}},
        {QStringLiteral("EnvStatements::all"), EnvStatements::all()},
        {QStringLiteral("EnvStatements::titlesBySeq"), EnvStatements::titlesBySeq({1, 2})},
        // Last: the trial leaves the record empty, as a new office has it.
        {QStringLiteral("EnvStatements::createTable"),
         EnvStatements::createTable(),
         {},
         QStringLiteral("Env")},
    };
}
