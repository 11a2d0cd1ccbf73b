// The rejected-titles report over 100,000 rejected rows: time to page 1 in the preview,
// time to produce every page, how much the page store grows per detail row, and every
// page written to PDF as the batch tool writes it.
//
//   bench_rejeitados [--benchmark_filter=...]   (runs under the offscreen platform)

#include "BlqTitles.h"
#include "Database.h"
#include "ProgramDir.h"
#include "RelRejeicoes.h"
#include "TRpPreview.h"
#include "TRpPrinter.h"
#include "uQvPreview.h"
#include "uRelRejeicoes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <functional>

namespace {
constexpr int kRows = 100000;

// One program directory with the rows, made once for all the benchmarks.
void ensureRows()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (made)
        return;
    made = true;
    ProgramDir::set(dir.path());
    BlqTitles::store(BlqTitles::rejected(kRows));
}

// Previews the report as the window does; `opened` gets the page store and its preview
// window as they open, to watch the production, and the clock started before the form.
using Opened = std::function<void(TRpPrinter&, TfrmQvPreview*, const QElapsedTimer&)>;
void preview(const Opened& opened)
{
    QElapsedTimer clock;
    clock.start();
    TfrmRelRejeicoes form;
    form.rptRelRejeicoes().OnPreview = [&](TRpPrinter& store) {
        opened(store, TfrmQvPreview::openFor(store), clock);
    };
    form.preview();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_FirstPageInPreview(benchmark::State& state)
{
    ensureRows();
    for (auto _ : state) {
        double firstPage = 0;
        preview([&](TRpPrinter& store, TfrmQvPreview* w, const QElapsedTimer& clock) {
            QObject::connect(&store, &TRpPrinter::pageAdded, w, [&, w](int count) {
                if (count != 1)
                    return;
                QCoreApplication::processEvents(); // the window takes the page
                w->RpPreview->renderedPage();      // and draws it
                firstPage = double(clock.nsecsElapsed()) / 1e9;
                w->close(); // closing early ends the production
            });
        });
        state.SetIterationTime(firstPage);
    }
}

void BM_AllPages(benchmark::State& state)
{
    ensureRows();
    for (auto _ : state) {
        RelRejeicoes rel;
        rel.open();
        TRpPrinter store;
        QElapsedTimer clock;
        clock.start();
        rel.produce(store);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["pages"] = store.pageCount();
        state.counters["store_bytes_per_row"] = double(store.bytes()) / kRows;
    }
}

void BM_AllPagesInPreview(benchmark::State& state)
{
    ensureRows();
    for (auto _ : state) {
        double produced = 0;
        int pages = 0;
        preview([&](TRpPrinter& store, TfrmQvPreview* w, const QElapsedTimer& clock) {
            QObject::connect(&store, &TRpPrinter::stateChanged, w, [&, w] {
                produced = double(clock.nsecsElapsed()) / 1e9;
                pages = store.pageCount();
                QTimer::singleShot(0, w, &QWidget::close);
            });
        });
        state.SetIterationTime(produced);
        state.counters["pages"] = pages;
    }
}
// What `kvcob-lote rejeitados` does: every page straight to a PDF file (target: 2 s).
void BM_Pdf(benchmark::State& state)
{
    ensureRows();
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("rejeitados.pdf"));
    for (auto _ : state) {
        RelRejeicoes rel;
        rel.open();
        QElapsedTimer clock;
        clock.start();
        const int pages = rel.writePdf(path);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["pages"] = pages;
        state.counters["KB/page"] = QFileInfo(path).size() / 1024.0 / std::max(1, pages);
    }
}
} // namespace

BENCHMARK(BM_FirstPageInPreview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AllPages)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AllPagesInPreview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Pdf)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Database::closeAll();
    return 0;
}
