// The import's speed against the floor the database sets: `kvcob-lote importar` on a file
// of 100,000 titles, each with a message and an instruction record; a bare SQLite bulk
// insert of the very rows that import stored; and SQLite emptying and refilling a second
// table from the stored rows inside the same file (same page size, same log), as the import
// empties and refills its own, all in the same run. The targets are at most 0.7 s for the
// import and at most three times SQLite's own copy.
//
//   bench_importar [--titulos N] [benchmark options]
#include "ImportBench.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
int g_titles = 100000;
QTemporaryDir* g_dir = nullptr;
QString g_bankFile;

// One stored value as SQLite gives it back.
struct Value {
    int type = SQLITE_NULL;
    sqlite3_int64 integer = 0;
    double real = 0;
    std::string text;
};
std::string g_createTable;
std::string g_insert;
std::vector<std::vector<Value>> g_rows;

QString importDir()
{
    return g_dir->filePath(QStringLiteral("prog"));
}

void runImport()
{
    ImportBench::runImport(importDir(), g_bankFile, "kvcob-lote importar");
}

void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// The rows of the last import and the table's own definition, kept for the bare insert.
void loadImportedRows()
{
    sqlite3* db = nullptr;
    const QByteArray path = QFile::encodeName(importDir() + QStringLiteral("/cobrancaKV.db"));
    check(sqlite3_open(path.constData(), &db), db, "open");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE name = 'Blq'", -1, &st,
                             nullptr),
          db, "schema");
    check(sqlite3_step(st), db, "schema");
    g_createTable = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);

    check(sqlite3_prepare_v2(db, "SELECT * FROM Blq ORDER BY BlqSeq", -1, &st, nullptr), db,
          "select");
    const int columns = sqlite3_column_count(st);
    std::string names, marks;
    for (int c = 1; c < columns; ++c) { // BlqSeq is the store's own number
        names += std::string(c > 1 ? "," : "") + sqlite3_column_name(st, c);
        marks += c > 1 ? ",?" : "?";
    }
    g_insert = "INSERT INTO Blq (" + names + ") VALUES (" + marks + ")";
    g_rows.clear();
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<Value> row(columns - 1);
        for (int c = 1; c < columns; ++c) {
            Value& v = row[c - 1];
            v.type = sqlite3_column_type(st, c);
            if (v.type == SQLITE_INTEGER)
                v.integer = sqlite3_column_int64(st, c);
            else if (v.type == SQLITE_FLOAT)
                v.real = sqlite3_column_double(st, c);
            else if (v.type == SQLITE_TEXT)
                v.text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        }
        g_rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void bareInsert()
{
    const QByteArray path = QFile::encodeName(g_dir->filePath(QStringLiteral("bare.db")));
    QFile::remove(QString::fromLocal8Bit(path));
    sqlite3* db = nullptr;
    check(sqlite3_open(path.constData(), &db), db, "open");
    check(sqlite3_exec(db, g_createTable.c_str(), nullptr, nullptr, nullptr), db, "create");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db, g_insert.c_str(), -1, &st, nullptr), db, "prepare");
    for (const auto& row : g_rows) {
        for (int i = 0; i < int(row.size()); ++i) {
            const Value& v = row[i];
            if (v.type == SQLITE_INTEGER)
                sqlite3_bind_int64(st, i + 1, v.integer);
            else if (v.type == SQLITE_FLOAT)
                sqlite3_bind_double(st, i + 1, v.real);
            else if (v.type == SQLITE_TEXT)
                sqlite3_bind_text(st, i + 1, v.text.data(), int(v.text.size()), SQLITE_STATIC);
            else
                sqlite3_bind_null(st, i + 1);
        }
        check(sqlite3_step(st), db, "insert");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The imported file, copied once, with a second table of the same definition: each run
// empties it and fills it again from the first inside one transaction.
void copyInside()
{
    static QString path;
    sqlite3* db = nullptr;
    if (path.isEmpty()) {
        path = g_dir->filePath(QStringLiteral("copia.db"));
        QFile::remove(path);
        if (!QFile::copy(importDir() + QStringLiteral("/cobrancaKV.db"), path)) {
            std::fprintf(stderr, "copy of the database failed\n");
            std::exit(1);
        }
        std::string create = g_createTable;
        const size_t name = create.find("Blq");
        create.replace(name, 3, "Blq2");
        check(sqlite3_open(QFile::encodeName(path).constData(), &db), db, "open");
        check(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), db, "create");
        sqlite3_close(db);
    }
    check(sqlite3_open(QFile::encodeName(path).constData(), &db), db, "open");
    check(sqlite3_exec(db, "BEGIN; DELETE FROM Blq2; INSERT INTO Blq2 SELECT * FROM Blq; COMMIT",
                       nullptr, nullptr, nullptr),
          db, "copy");
    sqlite3_close(db);
}

void BM_KvcobLoteImportar(benchmark::State& state)
{
    ImportBench::timed(state, "importar", g_titles, runImport);
}

void BM_SqliteBulkInsert(benchmark::State& state)
{
    if (g_rows.empty())
        loadImportedRows();
    ImportBench::timed(state, "sqlite", g_titles, bareInsert);
}
void BM_SqliteCopyInside(benchmark::State& state)
{
    if (g_rows.empty())
        loadImportedRows();
    ImportBench::timed(state, "copia", g_titles, copyInside);
}
} // namespace

BENCHMARK(BM_KvcobLoteImportar)->Apply(ImportBench::threeRuns)->Repetitions(1);
BENCHMARK(BM_SqliteBulkInsert)->Apply(ImportBench::threeRuns)->Repetitions(1);
BENCHMARK(BM_SqliteCopyInside)->Apply(ImportBench::threeRuns)->Repetitions(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_titles = ImportBench::titlesArgument(argc, argv, g_titles);
    QTemporaryDir dir;
    g_dir = &dir;
    QDir().mkpath(importDir());
    g_bankFile = ImportBench::writeBankFile(dir, g_titles);
    runImport(); // warms the page cache and gives the rows for the bare insert

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double import = ImportBench::bestSeconds()["importar"];
    const double bare = ImportBench::bestSeconds()["sqlite"];
    const double copy = ImportBench::bestSeconds()["copia"];
    std::printf("\n%d títulos: importar %.3f s, SQLite puro %.3f s (razão %.2f), cópia "
                "dentro do SQLite %.3f s (razão %.2f; metas: <= 0,7 s e <= 3,0)\n",
                g_titles, import, bare, bare > 0 ? import / bare : 0.0, copy,
                copy > 0 ? import / copy : 0.0);
    return 0;
}
