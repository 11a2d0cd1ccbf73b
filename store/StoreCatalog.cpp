#include "StoreCatalog.h"

#include "BlqStatements.h"
#include "Database.h"
#include "RetStatements.h"

#include "EmaStatements.h"
#include "EnvStatements.h"
#include "StoreStatements.h"
#include "TitulosStatements.h"
#include <QDate>

namespace S = StoreStatements;

namespace {
// A titles search with every clause but the situação's, for the trial.
TitulosStatements::Search titlesSearch()
{
    TitulosStatements::Search s;
    s.words = 1;
    s.dueFrom = true;
    s.dueUntil = true;
    s.valid = 1;
    s.order = TitulosStatements::Order::SacNom;
    return s;
}

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
        {QStringLiteral("RetArq"), &RetStatements::createRetArq},
        {QStringLiteral("Ret"), &RetStatements::createRet},
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
        {QStringLiteral("RetStatements::createRetArq"),
         RetStatements::createRetArq(),
         {},
         QStringLiteral("RetArq")},
        {QStringLiteral("RetStatements::createRet"),
         RetStatements::createRet(),
         {},
         QStringLiteral("Ret")},
        {QStringLiteral("RetStatements::createIndexes (1)"), RetStatements::createIndexes().at(0)},
        {QStringLiteral("RetStatements::createIndexes (2)"), RetStatements::createIndexes().at(1)},
        {QStringLiteral("RetStatements::createIndexes (3)"), RetStatements::createIndexes().at(2)},
        {QStringLiteral("RetStatements::createIndexes (4)"), RetStatements::createIndexes().at(3)},
        {QStringLiteral("RetStatements::indexPresent"), RetStatements::indexPresent()},
        {QStringLiteral("RetStatements::tryLock"), RetStatements::tryLock()},
        {QStringLiteral("RetStatements::releaseLock"), RetStatements::releaseLock()},
        {QStringLiteral("RetStatements::insertFile"),
         RetStatements::insertFile(),
         {QStringLiteral("a.ret"), QStringLiteral("ab12"), QDate(2026, 12, 1),
          QStringLiteral("2026-12-09T14:05:33"), QStringLiteral("400"), 1, 10.5}},
        {QStringLiteral("RetStatements::fileByHash"),
         RetStatements::fileByHash(),
         {QStringLiteral("ab12")}},
        {QStringLiteral("RetStatements::updateFile"),
         RetStatements::updateFile(),
         {QStringLiteral("b.ret"), QDate(2026, 12, 1), QStringLiteral("2026-12-09T15:00:00"),
          QStringLiteral("240"), 1, 10.5, 1}},
        {QStringLiteral("RetStatements::insertOccurrence"),
         RetStatements::insertOccurrence(),
         {1, QStringLiteral("0341"), QStringLiteral("001234567"), QStringLiteral("00000000019"),
          QStringLiteral("DOC1"), QStringLiteral("06"), QDate(2026, 11, 30), QDate(2026, 12, 1),
          QDate(2026, 11, 25), 10.5, 10.5, 0.0, 0.0, 0.0, 1.25, QStringLiteral("0816")}},
        {QStringLiteral("RetStatements::unidentifiedCount"),
         RetStatements::unidentifiedCount(),
         {QStringLiteral("1")}},
        {QStringLiteral("RetStatements::files"), RetStatements::files()},
        {QStringLiteral("RetStatements::lastFile"), RetStatements::lastFile()},
        {QStringLiteral("RetStatements::lastFileCredits"), RetStatements::lastFileCredits()},
        {QStringLiteral("RetStatements::situacaoPorTitulo"),
         DbStatement{{RetStatements::situacaoPorTitulo()}}},
        {QStringLiteral("RetStatements::bloquetosPendentes"), RetStatements::bloquetosPendentes()},
        {QStringLiteral("RetStatements::titulosEncerrados"), RetStatements::titulosEncerrados()},
        {QStringLiteral("RetStatements::liquidados"),
         RetStatements::liquidados(),
         {QStringLiteral("2026-12-01"), QStringLiteral("2026-12-31")}},
        {QStringLiteral("RetStatements::occurrencesOfFile"),
         RetStatements::occurrencesOfFile(),
         {QStringLiteral("1")}},
        {QStringLiteral("RetStatements::deleteOccurrences"),
         RetStatements::deleteOccurrences(),
         {1}},
        // The titles search: its column and indexes, then the statements that read them.
        {QStringLiteral("TitulosStatements::addSearchText"), TitulosStatements::addSearchText()},
        {QStringLiteral("TitulosStatements::addIndexes (1)"),
         TitulosStatements::addIndexes().at(0)},
        {QStringLiteral("TitulosStatements::addIndexes (2)"),
         TitulosStatements::addIndexes().at(1)},
        {QStringLiteral("TitulosStatements::missingSearchText"),
         TitulosStatements::missingSearchText()},
        {QStringLiteral("TitulosStatements::setSearchText"),
         TitulosStatements::setSearchText(),
         {QStringLiteral("jose da silva"), 1}},
        {QStringLiteral("TitulosStatements::search"),
         TitulosStatements::search(titlesSearch()),
         {QStringLiteral("%silva%"), QDate(2026, 1, 1), QDate(2026, 12, 31)}},
        {QStringLiteral("TitulosStatements::gridRows"), TitulosStatements::gridRows({1, 2})},
        {QStringLiteral("TitulosStatements::titlesInOrder"),
         TitulosStatements::titlesInOrder({2, 1})},
        {QStringLiteral("TitulosStatements::situacoes"),
         TitulosStatements::situacoes({1, 2}, RetStatements::situacaoPorTitulo())},
        {QStringLiteral("TitulosStatements::byNossoNumero"),
         TitulosStatements::byNossoNumero(),
         {QStringLiteral("00000000019")}},
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
        {QStringLiteral("EnvStatements::tryLock"), EnvStatements::tryLock()},
        {QStringLiteral("EnvStatements::releaseLock"), EnvStatements::releaseLock()},
        // Last: the trial leaves the record empty, as a new office has it.
        {QStringLiteral("EnvStatements::createTable"),
         EnvStatements::createTable(),
         {},
         QStringLiteral("Env")},
    };
}
