// Composition speed of the continuous forms: a dot-matrix printer takes a few seconds per
// form, so the composition must never be what the operator waits for.
#include "BlqTitle.h"
#include "BlqTitles.h"
#include "ContinuoRun.h"
#include "DotMatrixPage.h"
#include "PortChannel.h"
#include "ProgramDir.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// A complete title with every amount the form prints and its longest texts.
BlqTitle fullRow(int seq)
{
    BlqTitle r = BlqTitles::complete();
    r.seq = seq;
    r.seuNum = QStringLiteral("DOC%1").arg(seq);
    r.titVal = 1234567.89;
    r.jurDiaVal = 0.50;
    r.dstVal = 10.00;
    r.dstDatLim = r.datVen.addDays(-10);
    r.abtAtrVal = 25.00;
    r.sacNom = QStringLiteral("JOSÉ DA SILVA COMÉRCIO DE PEÇAS LTDA");
    r.sacEnd = QStringLiteral("AVENIDA DAS NAÇÕES UNIDAS, 12345 SALA 9");
    r.sacAvl = QStringLiteral("AVALISTA DE TESTE");
    r.ins = QString(240, QLatin1Char('I'));
    return r;
}

void composeOneBloqueto(benchmark::State& state)
{
    const BlqTitle row = fullRow(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(DotMatrixPage::layoutLines(row, FormModel::Large));
}
BENCHMARK(composeOneBloqueto);

// A confirmed run of 10 000 bloquetos written to a file through the port channel.
void runTenThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    ProgramDir::set(dir.path());
    QList<BlqTitle> rows;
    for (int i = 1; i <= 10000; ++i)
        rows << fullRow(i);
    for (auto _ : state) {
        PortChannel channel(dir.filePath(QStringLiteral("saida.prn")));
        ContinuoRun::run(rows, 0, channel, {});
    }
    ProgramDir::set(QString());
}
BENCHMARK(runTenThousand)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
