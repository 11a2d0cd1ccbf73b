// Composition speed of the continuous forms: a dot-matrix printer takes a few seconds per
// form, so the composition must never be what the operator waits for.
#include "ContinuoRow.h"
#include "ContinuoRun.h"
#include "DotMatrixPage.h"
#include "PortChannel.h"
#include "ProgramDir.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
ContinuoRow fullRow(int seq)
{
    ContinuoRow r;
    r.BlqSeq = seq;
    r.BlqSeuNum = QStringLiteral("DOC%1").arg(seq);
    r.BlqDatEmi = QDate(2003, 2, 1);
    r.BlqDatVen = QDate(2003, 3, 5);
    r.BlqTitVal = 123456789;
    r.BlqJurDiaVal = 50;
    r.BlqDstVal = 1000;
    r.BlqDstDatLim = QDate(2003, 2, 28);
    r.BlqAbtAtrVal = 2500;
    r.BlqSacNom = QStringLiteral("JOSÉ DA SILVA COMÉRCIO DE PEÇAS LTDA");
    r.BlqSacEnd = QStringLiteral("AVENIDA DAS NAÇÕES UNIDAS, 12345 SALA 9");
    r.BlqSacBai = QStringLiteral("VILA OLÍMPIA");
    r.BlqSacCid = QStringLiteral("SÃO PAULO");
    r.BlqSacCep = QStringLiteral("04578000");
    r.BlqSacAvl = QStringLiteral("AVALISTA DE TESTE");
    r.BlqIns = QString(240, QLatin1Char('I'));
    r.BlqCpfCgcSac = QStringLiteral("12345678000199");
    return r;
}

void composeOneBloqueto(benchmark::State& state)
{
    const ContinuoRow row = fullRow(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(DotMatrixPage::layoutLines(row, FormModel::Large));
}
BENCHMARK(composeOneBloqueto);

// A confirmed run of 10 000 bloquetos written to a file through the port channel.
void runTenThousand(benchmark::State& state)
{
    QTemporaryDir dir;
    ProgramDir::set(dir.path());
    QList<ContinuoRow> rows;
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
