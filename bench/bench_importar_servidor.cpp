// The import into a shared PostgreSQL server: `kvcob-lote importar` of 100,000 titles, each
// with a message and an instruction record, into a local server started for the run with
// the server's ordinary durability (fsync on), against the same file into the SQLite file.
// The target is at most 2.5 s for the server.
//
//   bench_importar_servidor [--titulos N] [benchmark options]
#include "ImportBench.h"
#include "PgTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {
int g_titles = 100000;
QTemporaryDir* g_dir = nullptr;
QString g_bankFile;

QString progDir(const char* engine)
{
    return g_dir->filePath(QString::fromLatin1(engine));
}

void runImport(const char* engine)
{
    ImportBench::runImport(
        progDir(engine), g_bankFile,
        qPrintable(QStringLiteral("kvcob-lote importar (%1)").arg(QString::fromLatin1(engine))));
}

void BM_ImportarServidor(benchmark::State& state)
{
    ImportBench::timed(state, "postgres", g_titles, [] { runImport("postgres"); });
}

void BM_ImportarArquivoSqlite(benchmark::State& state)
{
    ImportBench::timed(state, "sqlite", g_titles, [] { runImport("sqlite"); });
}
} // namespace

BENCHMARK(BM_ImportarServidor)->Apply(ImportBench::threeRuns);
BENCHMARK(BM_ImportarArquivoSqlite)->Apply(ImportBench::threeRuns);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_titles = ImportBench::titlesArgument(argc, argv, g_titles);
    PgTestServer::setDurable(true); // measured as an office's server would run
    PgTestServer* server = PgTestServer::instance();
    if (!server) {
        std::fprintf(stderr, "sem servidor: %s\n", qPrintable(PgTestServer::skipReason()));
        return 1;
    }
    QTemporaryDir dir;
    g_dir = &dir;
    QDir().mkpath(progDir("postgres"));
    QDir().mkpath(progDir("sqlite"));
    {
        QFile conf(progDir("postgres") + QStringLiteral("/kvcob.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return 1;
        conf.write(server->confSection());
    }
    g_bankFile = ImportBench::writeBankFile(dir, g_titles);
    runImport("postgres"); // creates the table and warms both caches
    runImport("sqlite");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%d títulos: servidor PostgreSQL %.3f s, arquivo SQLite %.3f s (meta do "
                "servidor: <= 2,5 s)\n",
                g_titles, ImportBench::bestSeconds()["postgres"],
                ImportBench::bestSeconds()["sqlite"]);
    PgTestServer::shutdown();
    return 0;
}
