// Single-sheet bloquetos at volume.
//
// BM_FolhaSoltaPdf/N: `kvcob-lote folha-solta` over N valid titles, as office automation
//   runs it (a separate process, so its peak memory is its own). Counters: pages a second
//   (wall and CPU: the machine may be shared), KB per page, peak resident memory.
//   The customer's targets: 650 pages a second or more, at most 4 KB a page, and a peak
//   that does not grow with N (the database's page cache aside, which SQLite caps).
// BM_PreviewFirstPage/N: from the preview call until page 1 of the preview window is
//   painted, whatever the number of titles behind it.
//
// Run from the build folder:  bin/bench_folhasolta --benchmark_counters_tabular=true
#include "BlqTitles.h"
#include "Database.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"
#include "uQvPreview.h"
#include "uRelBloqueto.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QString g_tool;

// One program folder per table size, filled once.
const QString& programDir(int titles)
{
    static QMap<int, std::shared_ptr<QTemporaryDir>> dirs;
    auto& dir = dirs[titles];
    if (!dir) {
        dir = std::make_shared<QTemporaryDir>();
        ProgramDir::set(dir->path());
        BlqTitles::fill(titles);
        Database::closeAll();
    }
    static QString path;
    path = dir->path();
    return path;
}

struct Run {
    double wallS = 0, cpuS = 0;
    long maxRssKb = 0;
    int status = -1;
};

Run runTool(const QStringList& args)
{
    QList<QByteArray> bytes;
    bytes << g_tool.toLocal8Bit();
    for (const QString& a : args)
        bytes << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    Run r;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        if (FILE* quiet = std::freopen("/dev/null", "w", stdout); !quiet)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    r.wallS = clock.nsecsElapsed() / 1e9;
    r.cpuS = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
             usage.ru_stime.tv_usec / 1e6;
    r.maxRssKb = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

void BM_FolhaSoltaPdf(benchmark::State& state)
{
    const int titles = int(state.range(0));
    const QString dir = programDir(titles);
    const QString pdf = dir + QStringLiteral("/saida.pdf");
    Run last;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        last = runTool({QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"), pdf});
        if (last.status != 0) {
            state.SkipWithError("kvcob-lote failed");
            return;
        }
        state.SetIterationTime(last.wallS);
        wall += last.wallS;
        cpu += last.cpuS;
    }
    const double runs = double(state.iterations());
    state.counters["pages/s"] = titles * runs / wall;
    state.counters["cpu pages/s"] = titles * runs / cpu;
    state.counters["KB/page"] = QFileInfo(pdf).size() / 1024.0 / titles;
    state.counters["peak MB"] = last.maxRssKb / 1024.0;
}
BENCHMARK(BM_FolhaSoltaPdf)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

void BM_PreviewFirstPage(benchmark::State& state)
{
    const int titles = int(state.range(0));
    ProgramDir::set(programDir(titles));
    for (auto _ : state) {
        TfrmRelBloqueto form;
        form.rel().selectValidInFileOrder();
        QElapsedTimer clock;
        double firstPage = -1;
        // Once page 1 is in the window, paint it as the screen would and close.
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            TfrmQvPreview* w = frmQvPreview;
            if (!w || !w->pageStore() || w->pageStore()->pageCount() < 1)
                return;
            w->RpPreview->viewport()->grab();
            firstPage = clock.nsecsElapsed() / 1e9;
            poll.stop();
            w->close();
        });
        clock.start();
        poll.start();
        form.preview();
        state.SetIterationTime(firstPage);
        Database::closeAll();
    }
}
BENCHMARK(BM_PreviewFirstPage)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Regional::init();
    g_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/kvcob-lote");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
