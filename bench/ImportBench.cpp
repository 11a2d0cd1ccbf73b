#include "ImportBench.h"

#include "BankFileWriter.h"
#include "SampleBankFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int ImportBench::titlesArgument(int argc, char** argv, int fallback)
{
    int titles = fallback;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--titulos")
            titles = std::atoi(argv[i + 1]);
    }
    return titles;
}

QString ImportBench::writeBankFile(const QTemporaryDir& dir, int titles)
{
    const QString path = dir.filePath(QStringLiteral("titulos.rem"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    BankFileWriter writer(&out);
    SampleBankFile::writeBulk(writer, titles);
    return path;
}

void ImportBench::runImport(const QString& programDir, const QString& bankFile, const char* what)
{
    QProcess p;
    p.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/kvcob-lote"));
    p.setArguments({QStringLiteral("--dir"), programDir, QStringLiteral("importar"), bankFile});
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", what);
        std::exit(1);
    }
    p.readAllStandardOutput();
}

void ImportBench::timed(benchmark::State& state, const char* name, int titles,
                        const std::function<void()>& work)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        auto [it, fresh] = bestSeconds().emplace(name, took.count());
        if (!fresh && took.count() < it->second)
            it->second = took.count();
    }
    state.counters["titulos"] = titles;
}

std::map<std::string, double>& ImportBench::bestSeconds()
{
    static std::map<std::string, double> seconds;
    return seconds;
}

void ImportBench::threeRuns(benchmark::internal::Benchmark* b)
{
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}
