// Mailing the bloquetos at volume.
//
// BM_EnviarEmail/N: N messages, one per title, each with its PDF, through a mail server on
//   this machine (the tests' python3-aiosmtpd with STARTTLS and a login, which keeps each
//   message as a file), the record written before and after each. Counters: messages a
//   second and seconds for the whole run. The target: 1,000 messages in 30 s or less.
//
// Run from the build folder:  bin/bench_email --benchmark_counters_tabular=true
#include "AddressBook.h"
#include "BloquetoMailing.h"
#include "BlqTitles.h"
#include "Database.h"
#include "EmailConfig.h"
#include "SmtpTestServer.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {
void BM_EnviarEmail(benchmark::State& state)
{
    const int n = int(state.range(0));
    if (!SmtpTestServer::missing().isEmpty()) {
        state.SkipWithError(qPrintable(SmtpTestServer::missing()));
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        TempProgramDir dir;
        SmtpTestServer server;
        server.start();
        QFile conf(dir.file(QStringLiteral("kvcob.conf")));
        conf.open(QIODevice::WriteOnly);
        conf.write(server.confSection(dir.file(QStringLiteral("senha"))));
        conf.close();
        QList<BlqTitle> titles;
        for (int i = 1; i <= n; ++i) {
            BlqTitle t = BlqTitles::numbered(i);
            t.cpfCgcSac = QString::number(30000000000LL + i);
            titles << t;
        }
        BlqTitles::fill(0);
        BlqTitles::store(titles);
        AddressBook book;
        for (int i = 1; i <= n; ++i)
            book.put(QString::number(30000000000LL + i),
                     {QStringLiteral("p%1@exemplo.com.br").arg(i)});
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        const BloquetoMailing::Outcome out = BloquetoMailing().run(BloquetoMailing::Options{});
        const double seconds = clock.nsecsElapsed() / 1e9;
        state.PauseTiming();
        if (out.sent.size() != n)
            state.SkipWithError("not every message was accepted");
        state.counters["segundos"] = seconds;
        state.counters["msg/s"] = n / seconds;
        Database::closeAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnviarEmail)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
