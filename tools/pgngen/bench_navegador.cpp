// The PGN browser on a big generated file, timed: opening to the listed games with the
// first game on the board, loading the last game, and every game checked against the
// generator's moves. Run by bench/pgn_browser.sh, which passes the files:
//   PGN_BENCH_FILE   the PGN file
//   PGN_BENCH_MOVES  the generator's coded moves, one game a line
#include "pgn_comun.h"

#include "files/ListaPgn.h"

#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>

namespace {

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

TEST(PgnBench, OpenListLoadAndCheckEveryGame) {
    const QString fichero = qEnvironmentVariable("PGN_BENCH_FILE");
    QFile jugadas(qEnvironmentVariable("PGN_BENCH_MOVES"));
    ASSERT_TRUE(QFile::exists(fichero)) << "PGN_BENCH_FILE";
    ASSERT_TRUE(jugadas.open(QIODevice::ReadOnly)) << "PGN_BENCH_MOVES";
    std::vector<std::vector<std::string>> esperadas;
    for (const QByteArray& linea : jugadas.readAll().split('\n')) {
        std::istringstream s(linea.toStdString());
        esperadas.emplace_back();
        for (std::string t; s >> t;) esperadas.back().push_back(t);
    }
    while (!esperadas.empty() && esperadas.back().empty()) esperadas.pop_back();

    Entorno e;
    e.Arrancar();
    using reloj = std::chrono::steady_clock;
    const auto t0 = reloj::now();
    AbrirPgn(fichero);
    const auto t1 = reloj::now();
    // The opener's 300 ms timer is not waited for: its tick runs here.
    ListaPgn().Timer_Timer();
    const auto t2 = reloj::now();
    const int n = pgn_prueba::Entradas().size();
    ASSERT_EQ(size_t(n), esperadas.size());
    ASSERT_EQ(pgn_prueba::Codificadas(), esperadas[0]);
    const auto t3 = reloj::now();
    pgn_prueba::Elegir(n - 1);
    const auto t4 = reloj::now();
    ASSERT_EQ(pgn_prueba::Codificadas(), esperadas[size_t(n - 1)]);
    int distintas = 0;
    const auto t5 = reloj::now();
    for (int k = 0; k < n; ++k) {
        pgn_prueba::Elegir(k);
        if (pgn_prueba::Codificadas() != esperadas[size_t(k)]) ++distintas;
    }
    const auto t6 = reloj::now();
    EXPECT_EQ(distintas, 0);
    std::printf("games listed: %d\n", n);
    std::printf("open (before the 300 ms timer): %.1f ms\n", Ms(t1 - t0));
    std::printf("listing and first game on the board (the timer's tick): %.1f ms\n", Ms(t2 - t1));
    std::printf("open to listed, without the 300 ms timer: %.1f ms (with it: %.1f ms)\n", Ms(t2 - t0), Ms(t2 - t0) + 300);
    std::printf("loading the last game: %.1f ms\n", Ms(t4 - t3));
    std::printf("loading every game: %.1f ms, %d differ from the generator\n", Ms(t6 - t5), distintas);
}

}  // namespace
