// The bank's return file over 100,000 titles: processing a file of 100,000 settlements into
// the SQLite file and into a local PostgreSQL server started for the run (with the server's
// ordinary durability), in process and as `kvcob-lote retorno` does it; and the report of
// the settled titles over those 100,000 settlements, to pages and to a PDF file.
// Targets: processing at most 1.5 s on SQLite and 3 s on the server; the report 2 s.
//
//   bench_retorno [--titulos N] [benchmark options]
//   bench_retorno --gerar PASTA [--titulos N]   a program folder with N titles and the
//       return file PASTA/retorno.ret that settles them, for timing the programs by hand:
//       /usr/bin/time kvcob-lote --dir PASTA retorno PASTA/retorno.ret
#include "BenchEngines.h"
#include "BlqTitles.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "PgTestServer.h"
#include "ProgramDir.h"
#include "RelLiquidados.h"
#include "RetFileWriter.h"
#include "RetProcessor.h"
#include "RetTables.h"
#include "TRpPrinter.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {
int g_titles = 100000;
const QDate kPaid(2026, 11, 3); // credited the day after

// A return file that settles the titles BlqTitles::fill() stored, one occurrence each.
QByteArray returnFile(int titles)
{
    RetFileWriter w(RetFile::Format::Cnab400);
    for (int n = 1; n <= titles; ++n) {
        const BlqTitle t = BlqTitles::numbered(n);
        RetOccurrence o = RetFileWriter::settlement(t.ageCod, t.ctrCod, t.nosNum,
                                                    qRound64(t.titVal.value_or(0) * 100), kPaid);
        o.seuNum = t.seuNum;
        o.datVen = t.datVen;
        w.add(o);
    }
    return w.bytes();
}

QString returnPath(const EngineProgramDir& dir)
{
    return dir.file(QStringLiteral("retorno.ret"));
}

using BenchEngines::use;

// Empty tables, with their indexes, before each timed processing.
void forget()
{
    {
        QSqlDatabase db = Database::connection();
        RetTables::ensure(db);
        QSqlQuery q(db);
        q.exec(QStringLiteral("delete from Ret"));
        q.exec(QStringLiteral("delete from RetArq"));
    }
    Database::closeAll();
}

void process(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    const QString path = returnPath(BenchEngines::dir(engine));
    for (auto _ : state) {
        forget();
        QElapsedTimer clock;
        clock.start();
        const RetSummary s = RetProcessor().process(path);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (s.occurrences != g_titles || s.unidentified != 0) {
            state.SkipWithError("the file was not processed whole");
            return;
        }
    }
    state.counters["ocorrencias"] = g_titles;
    Database::closeAll();
}

// The whole batch command: start, read, check, store, summary.
void lote(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    const EngineProgramDir& dir = BenchEngines::dir(engine);
    for (auto _ : state) {
        forget();
        QElapsedTimer clock;
        clock.start();
        QProcess p;
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kvcob-lote"),
                {QStringLiteral("--dir"), dir.path(), QStringLiteral("retorno"), returnPath(dir)});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            state.SkipWithError(p.readAllStandardError().constData());
            return;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}

void liquidadosPages(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        RelLiquidados rel;
        const int n = rel.select(kPaid.addDays(1), kPaid.addDays(1));
        TRpPrinter store;
        rel.produce(store);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["liquidados"] = n;
        state.counters["paginas"] = store.pageCount();
    }
}

void liquidadosPdf(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    const QString path = BenchEngines::dir(engine).file(QStringLiteral("liquidados.pdf"));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        RelLiquidados rel;
        rel.select(kPaid.addDays(1), kPaid.addDays(1));
        const int pages = rel.writePdf(path);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["paginas"] = pages;
        state.counters["KB"] = QFileInfo(path).size() / 1024.0;
    }
}

void registerAll()
{
    for (const std::string engine : {"sqlite", "postgres"}) {
        const std::string e = engine;
        benchmark::RegisterBenchmark(("processa/" + e).c_str(), process, e)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("kvcob-lote_retorno/" + e).c_str(), lote, e)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
        benchmark::RegisterBenchmark(("liquidados_paginas/" + e).c_str(), liquidadosPages, e)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("liquidados_pdf/" + e).c_str(), liquidadosPdf, e)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }
}

// Takes `--name VALUE` out of the arguments; empty when absent.
QString takeOption(int& argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            const QString value = QString::fromLocal8Bit(argv[i + 1]);
            for (int j = i; j + 2 <= argc; ++j)
                argv[j] = argv[j + 2];
            argc -= 2;
            return value;
        }
    }
    return {};
}

bool writeReturnFile(const QString& path)
{
    return TestSupport::writeFile(path, returnFile(g_titles));
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString titles = takeOption(argc, argv, "--titulos");
    if (!titles.isEmpty())
        g_titles = titles.toInt();
    const QString generate = takeOption(argc, argv, "--gerar");
    QApplication app(argc, argv);
    if (!generate.isEmpty()) {
        QDir().mkpath(generate);
        ProgramDir::set(generate);
        BlqTitles::fill(g_titles);
        Database::closeAll();
        return writeReturnFile(generate + QStringLiteral("/retorno.ret")) ? 0 : 1;
    }
    PgTestServer::setDurable(true); // measured as an office's server would run
    benchmark::Initialize(&argc, argv);
    const bool filled = BenchEngines::prepare([](EngineProgramDir& dir) {
        if (dir.isServer())
            dir.serverExec(QStringLiteral("DROP TABLE IF EXISTS Ret, RetArq"));
        BlqTitles::fill(g_titles);
        if (!writeReturnFile(returnPath(dir)))
            return false;
        RetProcessor().process(returnPath(dir)); // the earlier file, and warm caches
        return true;
    });
    if (!filled)
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    BenchEngines::clear();
    benchmark::Shutdown();
    return 0;
}
