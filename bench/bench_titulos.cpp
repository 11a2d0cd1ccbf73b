// The titles window's search over 100,000 titles, on the SQLite file and on a local
// PostgreSQL server started for the run: a search by a fragment of name, by a document
// with its punctuation, one that finds nothing and one that finds every title (each with
// the grid's first page read), ordering by name, and opening the window with every title
// listed. Targets: a search at most 100 ms, the window open in at most 1 s.
//
//   bench_titulos [--titulos N] [benchmark options]
#include "BenchEngines.h"
#include "BlqTitles.h"
#include "Database.h"
#include "EngineProgramDir.h"
#include "ProgramDir.h"
#include "TitleListModel.h"
#include "uConsultaTitulos.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {
int g_titles = 100000;
using BenchEngines::use;

void search(benchmark::State& state, const std::string& engine, const char* text)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    TitleListModel model;
    TitleSearch::Criteria c;
    c.text = QString::fromUtf8(text);
    model.search(c); // connection and statement warm
    for (auto _ : state) {
        model.search(c);
        benchmark::DoNotOptimize(model.found());
    }
    state.counters["encontrados"] = model.found();
}

void sortByName(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    TitleListModel model;
    model.search({});
    for (auto _ : state)
        model.sort(TitleListModel::SacNom, Qt::AscendingOrder);
}

void windowOpens(benchmark::State& state, const std::string& engine)
{
    if (!use(engine)) {
        state.SkipWithError("engine not available");
        return;
    }
    for (auto _ : state) {
        TfrmConsultaTitulos w;
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.model()->found());
    }
}

void registerAll()
{
    for (const std::string engine : {"sqlite", "postgres"}) {
        const std::string e = engine;
        benchmark::RegisterBenchmark(("busca_nome/" + e).c_str(), search, e, "numero 4711")
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("busca_cnpj_pontuado/" + e).c_str(), search, e,
                                     "10.000.000/0047-11")
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("busca_sem_resultado/" + e).c_str(), search, e, "xavier")
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("busca_todos/" + e).c_str(), search, e, "")
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ordena_pagador/" + e).c_str(), sortByName, e)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("abre_janela/" + e).c_str(), windowOpens, e)
            ->Unit(benchmark::kMillisecond);
    }
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--titulos") == 0) {
            g_titles = std::atoi(argv[i + 1]);
            for (int j = i; j + 2 <= argc; ++j)
                argv[j] = argv[j + 2];
            argc -= 2;
            break;
        }
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BenchEngines::prepare([](EngineProgramDir&) {
        BlqTitles::fill(g_titles);
        return true;
    });
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    BenchEngines::clear();
    benchmark::Shutdown();
    return 0;
}
