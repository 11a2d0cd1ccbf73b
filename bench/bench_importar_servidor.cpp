// The import into a shared PostgreSQL server: `kvcob-lote importar` of 100,000 titles, each
// with a message and an instruction record, into a local server started for the run with
// the server's ordinary durability (fsync on), against the same file into the SQLite file.
// The target is at most 2.5 s for the server.
//
//   bench_importar_servidor [--titulos N] [benchmark options]
#include "BankFileWriter.h"
#include "PgTestServer.h"
#include "SampleBankFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace {
int g_titles = 100000;
QTemporaryDir* g_dir = nullptr;
QString g_bankFile;
std::map<std::string, double> g_seconds; // best wall time of each benchmark

QString progDir(const char* engine)
{
    return g_dir->filePath(QString::fromLatin1(engine));
}

void runImport(const char* engine)
{
    QProcess p;
    p.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/kvcob-lote"));
    p.setArguments(
        {QStringLiteral("--dir"), progDir(engine), QStringLiteral("importar"), g_bankFile});
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "kvcob-lote importar (%s) failed\n", engine);
        std::exit(1);
    }
    p.readAllStandardOutput();
}

void timed(benchmark::State& state, const char* engine)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        runImport(engine);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        auto [it, fresh] = g_seconds.emplace(engine, took.count());
        if (!fresh && took.count() < it->second)
            it->second = took.count();
    }
    state.counters["titulos"] = g_titles;
}

void BM_ImportarServidor(benchmark::State& state)
{
    timed(state, "postgres");
}

void BM_ImportarArquivoSqlite(benchmark::State& state)
{
    timed(state, "sqlite");
}
} // namespace

BENCHMARK(BM_ImportarServidor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportarArquivoSqlite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--titulos")
            g_titles = std::atoi(argv[i + 1]);
    }
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
    g_bankFile = dir.filePath(QStringLiteral("titulos.rem"));
    {
        QFile out(g_bankFile);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        BankFileWriter writer(&out);
        SampleBankFile::writeBulk(writer, g_titles);
    }
    runImport("postgres"); // creates the table and warms both caches
    runImport("sqlite");

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%d títulos: servidor PostgreSQL %.3f s, arquivo SQLite %.3f s (meta do "
                "servidor: <= 2,5 s)\n",
                g_titles, g_seconds["postgres"], g_seconds["sqlite"]);
    PgTestServer::shutdown();
    return 0;
}
