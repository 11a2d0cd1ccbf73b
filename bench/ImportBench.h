#pragma once

#include <QString>
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>

class QTemporaryDir;

// What the import benchmarks share: the sample bank file, running `kvcob-lote importar`
// on it and the best wall time of each benchmark for the closing line.
namespace ImportBench {

// The value of "--titulos N" on the command line, or `fallback`.
int titlesArgument(int argc, char** argv, int fallback);

// Writes the sample bank file of `titles` titles into `dir`; returns its path.
QString writeBankFile(const QTemporaryDir& dir, int titles);

// Runs `kvcob-lote --dir programDir importar bankFile`; a failure ends the benchmark,
// whose figures would mean nothing.
void runImport(const QString& programDir, const QString& bankFile, const char* what);

// Times `work` once an iteration, keeping the best time in seconds under `name`, and
// shows the number of titles beside it.
void timed(benchmark::State& state, const char* name, int titles,
           const std::function<void()>& work);

// How each import benchmark runs: three timed runs, in milliseconds.
void threeRuns(benchmark::internal::Benchmark* b);

// The best time of each benchmark timed so far, by name.
std::map<std::string, double>& bestSeconds();

} // namespace ImportBench
