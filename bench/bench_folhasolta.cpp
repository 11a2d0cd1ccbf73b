// Single-sheet bloquetos at volume, on an office's file: kvcob-gera-exemplo --realista
// (three beneficiaries, each with its logos, varied payers with accented names, a message
// and instructions on every title).
//
// BM_FolhaSoltaPdf/N: `kvcob-lote folha-solta` over N valid titles, as office automation
//   runs it (a separate process, so its peak memory is its own), five rounds. Counters:
//   seconds wall and CPU (median and best of the rounds: the machine may be shared, CPU
//   seconds suffer less from it), pages a second, KB per page, peak resident memory; the
//   PDF's pages are counted with pdfinfo. The targets: 3,000 pages a second or more on
//   two cores, at most 2 KB a page, and a peak that does not grow with N (the database's
//   page cache aside, which SQLite caps). bench/comparar_gerar_boletos.sh sets it beside
//   gerar-boletos.
// BM_FolhaSoltaPorTitulo/N: `kvcob-lote folha-solta --por-titulo` over the same titles:
//   one PDF file per title and the index, into an empty folder, five rounds. Counters as
//   above with files a second and KB per file; a sample of the files is read back with
//   pdfinfo. The targets: 10,000 files in 6 s or less, 35 KB a file or less, and a peak
//   that does not grow with N.
// BM_FolhaSoltaPixPdf/N: the same run with and without a PIX key for the beneficiary,
//   alternately, so that both see the same machine: pages a second of each and "pix %",
//   the share of the plain rate kept with a QR code on every page (target: 90 or more).
//   A shared machine's speed drifts from run to run: "pix %" is the median of the shares
//   of each pair of runs (which of the two goes first alternates), "pix % media" the
//   share of the means, "pix % melhor" that of the quickest run of each.
// BM_PreviewFirstPage/N: from the preview call until page 1 of the preview window is
//   painted, whatever the number of titles behind it (target: under 0.5 s).
// BM_PreviewMemory/N: the preview holding all N pages: what the page store keeps a page
//   (target: 5 KB or less) and the resident memory of the whole process then (target for
//   20,000 pages: 150 MB or less; run it alone, --benchmark_filter=PreviewMemory).
//
// Run from the build folder:  bin/bench_folhasolta --benchmark_counters_tabular=true
#include "BeneficiaryPix.h"
#include "BlqStatements.h"
#include "Database.h"
#include "DbQuery.h"
#include "ProgramDir.h"
#include "Regional.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"
#include "uQvPreview.h"
#include "uRelBloqueto.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
QString g_tool;

struct Run {
    double wallS = 0, cpuS = 0;
    long maxRssKb = 0;
    int status = -1;
};
Run runTool(const QStringList& args, const QString& program = QString());

// One program folder per table size, filled once.
const QString& programDir(int titles)
{
    static QMap<int, std::shared_ptr<QTemporaryDir>> dirs;
    auto& dir = dirs[titles];
    if (!dir) {
        dir = std::make_shared<QTemporaryDir>();
        // The bank file a user imports, through the same tool: an office's, with the
        // beneficiaries' logos set in the program folder.
        const QString bank = dir->filePath(QStringLiteral("titulos.rem"));
        runTool({QStringLiteral("--titulos"), QString::number(titles), QStringLiteral("--realista"),
                 QStringLiteral("--logos"), dir->path(), bank},
                QCoreApplication::applicationDirPath() + QStringLiteral("/kvcob-gera-exemplo"));
        runTool({QStringLiteral("--dir"), dir->path(), QStringLiteral("importar"), bank});
    }
    static QString path;
    path = dir->path();
    return path;
}

Run runTool(const QStringList& args, const QString& program)
{
    QList<QByteArray> bytes;
    bytes << (program.isEmpty() ? g_tool : program).toLocal8Bit();
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

// Median and best of the rounds' figures.
struct Spread {
    double median = 0, best = 0;
};
Spread spreadOf(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v.front()};
}

// The pages of a PDF as poppler's pdfinfo counts them; -1 when it cannot read it.
int pdfPages(const QString& path)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished(60000) || info.exitCode() != 0)
        return -1;
    for (const QByteArray& line : info.readAllStandardOutput().split('\n')) {
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

// Figures of the rounds of a run: seconds (wall and CPU, median and best), rates.
void reportRounds(benchmark::State& state, const std::vector<double>& wall,
                  const std::vector<double>& cpu, int units, const char* rate)
{
    const Spread w = spreadOf(wall), c = spreadOf(cpu);
    state.counters["s median"] = w.median;
    state.counters["s best"] = w.best;
    state.counters["cpu s median"] = c.median;
    state.counters["cpu s best"] = c.best;
    state.counters[std::string(rate) + " median"] = units / w.median;
    state.counters[std::string(rate) + " best"] = units / w.best;
}

// What the rounds of one benchmark measured.
struct Rounds {
    std::vector<double> wall, cpu;
    long peak = 0;

    // Times a round of the tool; a failed run stops the benchmark (false).
    bool add(benchmark::State& state, const Run& r)
    {
        if (r.status != 0) {
            state.SkipWithError("kvcob-lote failed");
            return false;
        }
        state.SetIterationTime(r.wallS);
        wall.push_back(r.wallS);
        cpu.push_back(r.cpuS);
        peak = std::max(peak, r.maxRssKb);
        return true;
    }
};

// The sizes every run of the single-sheet benchmarks covers, each timed by the benchmark.
void thousandsOfTitles(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(10000)->UseManualTime();
}

void BM_FolhaSoltaPdf(benchmark::State& state)
{
    const int titles = int(state.range(0));
    const QString dir = programDir(titles);
    const QString pdf = dir + QStringLiteral("/saida.pdf");
    Rounds rounds;
    for (auto _ : state) {
        if (!rounds.add(
                state, runTool({QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"), pdf})))
            return;
    }
    reportRounds(state, rounds.wall, rounds.cpu, titles, "pages/s");
    state.counters["KB/page"] = QFileInfo(pdf).size() / 1024.0 / titles;
    state.counters["peak MB"] = rounds.peak / 1024.0;
    if (pdfPages(pdf) != titles)
        state.SkipWithError("not one page per title");
}
BENCHMARK(BM_FolhaSoltaPdf)->Apply(thousandsOfTitles)->Unit(benchmark::kSecond)->Iterations(5);

void BM_FolhaSoltaPorTitulo(benchmark::State& state)
{
    const int titles = int(state.range(0));
    const QString dir = programDir(titles);
    Rounds rounds;
    QStringList folders;
    for (auto _ : state) {
        // A new folder each round, all removed at the end: on a file system without a
        // journal the kernel spends long looking for inodes to give new files while those
        // of thousands of files just deleted are recent, which is no work of ours.
        folders << dir + QStringLiteral("/por-titulo-%1").arg(folders.size());
        QDir(folders.last()).removeRecursively();
        if (!rounds.add(state, runTool({QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"),
                                        QStringLiteral("--por-titulo"), folders.last()})))
            return;
    }
    qint64 bytes = 0;
    int files = 0, pagesWrong = 0;
    const QFileInfoList pdfs =
        QDir(folders.last()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QFileInfo& f : pdfs) {
        bytes += f.size();
        ++files;
    }
    // A sample of the files, read back: one page each.
    for (qsizetype i = 0; i < pdfs.size(); i += std::max<qsizetype>(1, pdfs.size() / 20))
        pagesWrong += pdfPages(pdfs.at(i).filePath()) != 1;
    reportRounds(state, rounds.wall, rounds.cpu, titles, "files/s");
    state.counters["KB/file"] = files ? bytes / 1024.0 / files : 0;
    state.counters["peak MB"] = rounds.peak / 1024.0;
    if (files != titles)
        state.SkipWithError("not one file per title");
    else if (pagesWrong)
        state.SkipWithError("a file without its one page");
    for (const QString& folder : std::as_const(folders))
        QDir(folder).removeRecursively();
}
BENCHMARK(BM_FolhaSoltaPorTitulo)
    ->Apply(thousandsOfTitles)
    ->Unit(benchmark::kSecond)
    ->Iterations(5);

// Gives every beneficiary of the table a key and a city, or takes them away (the logos in
// the same settings stay).
void setPixKeys(const QString& dir, bool on)
{
    ProgramDir::set(dir);
    DbQuery q;
    q.setStatement(BlqStatements::beneficiaries());
    q.open();
    for (; !q.eof(); q.next()) {
        const BeneficiaryPix pix =
            on ? BeneficiaryPix{QStringLiteral("123e4567-e12b-12d1-a456-426655440000"),
                                QStringLiteral("São Paulo")}
               : BeneficiaryPix{};
        pix.write(q.asString(QStringLiteral("BlqNomCed")));
    }
    q.close();
    Database::closeAll();
}

void BM_FolhaSoltaPixPdf(benchmark::State& state)
{
    const int titles = int(state.range(0));
    const QString dir = programDir(titles);
    const QString pdf = dir + QStringLiteral("/saida.pdf");
    double wall[2] = {0, 0};
    double best[2] = {1e300, 1e300};
    double cpu[2] = {0, 0};
    double kb[2] = {0, 0};
    std::vector<double> shares;
    for (auto _ : state) {
        double total = 0;
        double pair[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const int pix = (k + int(shares.size())) % 2;
            setPixKeys(dir, pix == 1);
            const Run r =
                runTool({QStringLiteral("--dir"), dir, QStringLiteral("folha-solta"), pdf});
            if (r.status != 0) {
                state.SkipWithError("kvcob-lote failed");
                return;
            }
            wall[pix] += r.wallS;
            pair[pix] = r.wallS;
            best[pix] = std::min(best[pix], r.wallS);
            cpu[pix] += r.cpuS;
            kb[pix] = QFileInfo(pdf).size() / 1024.0 / titles;
            total += r.wallS;
        }
        shares.push_back(pair[0] / pair[1]);
        state.SetIterationTime(total);
    }
    setPixKeys(dir, false);
    std::sort(shares.begin(), shares.end());
    const size_t n = shares.size();
    const double median = n % 2 ? shares[n / 2] : (shares[n / 2 - 1] + shares[n / 2]) / 2;
    const double runs = double(state.iterations());
    state.counters["plain pages/s"] = titles * runs / wall[0];
    state.counters["pix pages/s"] = titles * runs / wall[1];
    state.counters["pix %"] = 100.0 * median;
    state.counters["pix % media"] = 100.0 * wall[0] / wall[1];
    state.counters["pix % melhor"] = 100.0 * best[0] / best[1];
    state.counters["pix cpu %"] = 100.0 * cpu[0] / cpu[1];
    state.counters["plain KB/page"] = kb[0];
    state.counters["pix KB/page"] = kb[1];
}
BENCHMARK(BM_FolhaSoltaPixPdf)->Apply(thousandsOfTitles)->Unit(benchmark::kSecond)->Iterations(7);

// Opens the preview of every valid title and polls it every `intervalMs` until `ready`
// says the window holds what is measured; then `measured` reads the window and it closes.
// Returns the seconds until ready, or -1.
double timePreview(int intervalMs, const std::function<bool(TfrmQvPreview&)>& ready,
                   const std::function<void(TfrmQvPreview&)>& measured = {})
{
    TfrmRelBloqueto form;
    form.rel().selectValidInFileOrder();
    QElapsedTimer clock;
    double took = -1;
    QTimer poll;
    poll.setInterval(intervalMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TfrmQvPreview* w = frmQvPreview;
        if (!w || !w->pageStore() || !ready(*w))
            return;
        took = clock.nsecsElapsed() / 1e9;
        if (measured)
            measured(*w);
        poll.stop();
        w->close();
    });
    clock.start();
    poll.start();
    form.preview();
    return took;
}

void BM_PreviewFirstPage(benchmark::State& state)
{
    const int titles = int(state.range(0));
    ProgramDir::set(programDir(titles));
    for (auto _ : state) {
        // Once page 1 is in the window, paint it as the screen would and close.
        state.SetIterationTime(timePreview(0, [](TfrmQvPreview& w) {
            if (w.pageStore()->pageCount() < 1)
                return false;
            w.RpPreview->viewport()->grab();
            return true;
        }));
        Database::closeAll();
    }
}
BENCHMARK(BM_PreviewFirstPage)
    ->Apply(thousandsOfTitles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

void BM_PreviewMemory(benchmark::State& state)
{
    const int titles = int(state.range(0));
    ProgramDir::set(programDir(titles));
    for (auto _ : state) {
        qsizetype held = 0;
        long resident = 0;
        const double all = timePreview(
            5, [](TfrmQvPreview& w) { return w.pageStore()->isFinished(); },
            [&](TfrmQvPreview& w) {
                held = w.pageStore()->bytes();
                resident = residentKb();
            });
        state.SetIterationTime(all);
        state.counters["KB/page"] = held / 1024.0 / titles;
        state.counters["RSS MB"] = resident / 1024.0;
        Database::closeAll();
    }
}
BENCHMARK(BM_PreviewMemory)->Arg(20000)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
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
