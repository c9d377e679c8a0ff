// The PGN browser timed. Run by bench/pgn_browser.sh, one group a run:
//
// PgnBench.OpenListLoadAndCheckEveryGame: a big generated file: opening to the listed
// games with the first game on the board, loading the last game, and every game
// checked against the generator's moves.
//   PGN_BENCH_FILE   the PGN file
//   PGN_BENCH_MOVES  the generator's coded moves, one game a line
// PgnBench.LongGames: single games of the given lengths in half-moves: loading, and
// each way of moving through them (a step back, forward, the keys, a jump, the ends).
//   PGN_BENCH_PLIES  lengths, comma-separated ("2000,8000")
//   PGN_BENCH_STEPS  steps timed of each kind (10)
// PgnBench.HugeToken: one move-text word of PGN_BENCH_TOKEN_MB megabytes: the load
// with its message box shown and closed, and the process's peak memory.
// PgnBench.ManyTagNames: one game with PGN_BENCH_TAGS distinct tag names: the index.
// PgnBench.EpdList: an EPD list of PGN_BENCH_EPD_LINES positions of random games:
// reading it into the list window with the first previewed, in milliseconds a MB
// beside the PGN listing's, and the process's peak memory against the file's size.
// PgnBench.ShuffleGame: a game of PGN_BENCH_SHUFFLE half-moves of knights going to and
// fro (cheap to write at any length): loading, a step back, the start and the end.
#include "pgn_comun.h"

#include "app/CMensaje.h"
#include "files/ListaPgn.h"
#include "files/PgnLector.h"
#include "files/PgnMovimientos.h"
#include "files/fEpd.h"
#include "partida_aleatoria.h"
#include "platform/ListaLineas.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace {

using reloj = std::chrono::steady_clock;

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
long EstadoKb(const char* campo) {
    std::ifstream f("/proc/self/status");
    for (std::string linea; std::getline(f, linea);)
        if (linea.rfind(std::string(campo) + ":", 0) == 0) return std::atol(linea.c_str() + std::strlen(campo) + 1);
    return -1;
}

// Times f; returns milliseconds.
template <class F>
double Medir(F&& f) {
    const auto t0 = reloj::now();
    f();
    return Ms(reloj::now() - t0);
}

struct Pasos {
    double total = 0, maximo = 0;
    int n = 0;
    void Sumar(double ms) {
        total += ms;
        maximo = std::max(maximo, ms);
        ++n;
    }
    void Imprimir(const char* que) const {
        std::printf("  %-34s %4d steps, %9.2f ms a step (slowest %9.2f ms)\n", que, n, n ? total / n : 0.0, maximo);
    }
};

int EnteroDeEntorno(const char* nombre, int defecto) {
    const QByteArray v = qgetenv(nombre);
    return v.isEmpty() ? defecto : v.toInt();
}

void Tecla(int tecla) {
    int codigo = tecla;
    PgnMovimientos().List1_KeyDown(codigo, 0);
}

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
    std::printf("open to listed, without the 300 ms timer: %.1f ms (with it: %.1f ms)\n", Ms(t2 - t0),
                Ms(t2 - t0) + 300);
    std::printf("loading the last game: %.1f ms\n", Ms(t4 - t3));
    std::printf("loading every game: %.1f ms, %d differ from the generator\n", Ms(t6 - t5), distintas);
}

TEST(PgnBench, LongGames) {
    const QByteArray largos = qgetenv("PGN_BENCH_PLIES");
    if (largos.isEmpty()) GTEST_SKIP() << "PGN_BENCH_PLIES not set";
    const int pasos = EnteroDeEntorno("PGN_BENCH_STEPS", 10);
    Entorno e;
    e.Arrancar();
    for (const QByteArray& l : largos.split(',')) {
        const int n = l.toInt();
        if (n < 2) continue;
        std::mt19937 azar{unsigned(n)};
        rules::Reglas r;
        pgngen::PartidaAleatoria p;
        const double generar = Medir([&] {
            for (int intento = 0; intento < 20 && int(p.codificadas.size()) < n; ++intento) {
                pgngen::NuevaPartida(r);
                p = pgngen::JugarLarga(r, azar, n);
            }
        });
        ASSERT_EQ(int(p.codificadas.size()), n);
        const std::string texto = pgngen::TextoPgn(r, 1, p.resultado);
        std::printf("game of %d half-moves (%zu bytes, generated in %.0f ms)\n", n, texto.size(), generar);
        const QString ruta = e.Ruta(QString("larga%1.pgn").arg(n));
        e.Escribir(QString("larga%1.pgn").arg(n), QByteArray::fromStdString(texto));
        const double cargar = Medir([&] {
            AbrirPgn(ruta);
            ListaPgn().Timer_Timer();
        });
        ASSERT_EQ(pgn_prueba::Codificadas(), p.codificadas);
        std::printf("  %-34s %9.1f ms\n", "opening and loading", cargar);
        auto& lista = ListaPgn();
        Pasos atras, izquierda, adelante, derecha, salto;
        for (int i = 0; i < pasos; ++i) atras.Sumar(Medir([&] { lista.Command1_Click(2); }));
        for (int i = 0; i < pasos; ++i) izquierda.Sumar(Medir([&] { Tecla(Qt::Key_Left); }));
        for (int i = 0; i < pasos; ++i) adelante.Sumar(Medir([&] { lista.Command1_Click(3); }));
        for (int i = 0; i < pasos; ++i) derecha.Sumar(Medir([&] { Tecla(Qt::Key_Right); }));
        atras.Imprimir("back button");
        izquierda.Imprimir("Left key");
        adelante.Imprimir("forward button");
        derecha.Imprimir("Right key");
        for (int i = 0; i < std::min(pasos, 3); ++i)
            salto.Sumar(Medir([&] { PgnMovimientos().List1_MouseDown(n / 2 + (i % 2 ? 1 : -1)); }));
        salto.Imprimir("click on a line near the middle");
        std::printf("  %-34s %9.1f ms\n", "start button", Medir([&] { lista.Command1_Click(1); }));
        std::printf("  %-34s %9.1f ms\n", "end button", Medir([&] { lista.Command1_Click(4); }));
        std::printf("  %-34s %9.1f ms\n", "click on the middle line",
                    Medir([&] { PgnMovimientos().List1_MouseDown(n / 2); }));
        EXPECT_EQ(pgn_prueba::Actual(), pgn_prueba::Referencia(p.codificadas, n / 2));
        pgn_prueba::Cerrar();
    }
}

TEST(PgnBench, HugeToken) {
    const int megas = EnteroDeEntorno("PGN_BENCH_TOKEN_MB", 0);
    if (megas <= 0) GTEST_SKIP() << "PGN_BENCH_TOKEN_MB not set";
    Entorno e;
    e.Arrancar();
    std::string texto = "[Event \"x\"]\n\n1. e4 e5 2. ";
    texto.append(size_t(megas) << 20, 'a');
    texto += " *\n";
    e.Escribir("ficha.pgn", QByteArray::fromStdString(texto));
    texto = {};
    // The real message box, closed as soon as it shows.
    ResponderMensaje = nullptr;
    QString mensaje;
    QTimer cerrar;
    QObject::connect(&cerrar, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            for (QObject* o : w->findChildren<QObject*>())
                if (o->objectName() == "qt_msgbox_label") mensaje = o->property("text").toString();
            w->close();
        }
    });
    cerrar.start(20);
    const long antes = EstadoKb("VmHWM");
    const double ms = Medir([&] {
        AbrirPgn(e.Ruta("ficha.pgn"));
        ListaPgn().Timer_Timer();
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    });
    cerrar.stop();
    std::printf("a word of %d MB in the move text: %.0f ms to load and show, message of %lld characters\n", megas, ms,
                static_cast<long long>(mensaje.size()));
    std::printf("  peak memory %ld MB (%ld MB before opening), longest move line %lld characters\n",
                EstadoKb("VmHWM") / 1024, antes / 1024, [] {
                    long long largo = 0;
                    for (const QString& l : pgn_prueba::Lineas()) largo = std::max<long long>(largo, l.size());
                    return largo;
                }());
    EXPECT_EQ(pgn_prueba::Codificadas(), (std::vector<std::string>{"5254", "5755"}));
    pgn_prueba::Cerrar();
}

TEST(PgnBench, ManyTagNames) {
    const int n = EnteroDeEntorno("PGN_BENCH_TAGS", 0);
    if (n <= 0) GTEST_SKIP() << "PGN_BENCH_TAGS not set";
    std::string texto = "[Event \"x\"]\n";
    for (int i = 0; i < n; ++i) texto += "[Tag" + std::to_string(i) + " \"v\"]\n";
    texto += "\n1. e4 *\n";
    pgn::Indice indice;
    const double ms = Medir([&] { indice.Construir(texto); });
    std::printf("one game with %d distinct tag names (%zu bytes): indexed in %.1f ms, %zu game(s)\n", n, texto.size(),
                ms, indice.Partidas().size());
}

TEST(PgnBench, EpdList) {
    const int n = EnteroDeEntorno("PGN_BENCH_EPD_LINES", 0);
    if (n <= 0) GTEST_SKIP() << "PGN_BENCH_EPD_LINES not set";
    Entorno e;
    e.Arrancar();
    {
        // A thousand positions of random games over and over, with the opcodes of real lists.
        std::vector<std::string> posiciones;
        std::mt19937 azar(1);
        for (int i = 0; i < 1000; ++i) {
            rules::Reglas r;
            pgngen::NuevaPartida(r);
            pgngen::Jugar(r, azar, int(azar() % 60));
            r.EscribirFen();
            posiciones.push_back(r.TextoFen);
        }
        std::ofstream f(e.Ruta("lista.epd").toStdString(), std::ios::binary);
        for (int i = 0; i < n; ++i) f << posiciones[size_t(i) % posiciones.size()] << " bm e4; id \"" << i << "\";\r\n";
    }
    const double mb = double(QFileInfo(e.Ruta("lista.epd")).size()) / (1 << 20);
    const long antes = EstadoKb("VmHWM");
    const double ms = Medir([&] { fEpd().LeerEPD(e.Ruta("lista.epd")); });
    std::printf(
        "an EPD list of %d lines, %.1f MB: %.0f ms to list (%.1f ms a MB), peak memory %ld MB (%ld MB "
        "before)\n",
        fEpd().Eventos->count(), mb, ms, ms / mb, EstadoKb("VmHWM") / 1024, antes / 1024);
    EXPECT_EQ(fEpd().Eventos->count(), n);
}

TEST(PgnBench, ShuffleGame) {
    const int n = EnteroDeEntorno("PGN_BENCH_SHUFFLE", 0);
    if (n <= 0) GTEST_SKIP() << "PGN_BENCH_SHUFFLE not set";
    Entorno e;
    e.Arrancar();
    static const char* const kVuelta[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    std::string texto = "[Event \"x\"]\n\n";
    for (int i = 0; i < n; ++i) {
        if (i % 2 == 0) texto += std::to_string(i / 2 + 1) + ". ";
        texto += kVuelta[i % 4];
        texto += (i % 16 == 15) ? "\n" : " ";
    }
    texto += "*\n";
    e.Escribir("vaiven.pgn", QByteArray::fromStdString(texto));
    std::printf("knights to and fro, %d half-moves (%zu bytes)\n", n, texto.size());
    texto = {};
    const double cargar = Medir([&] {
        AbrirPgn(e.Ruta("vaiven.pgn"));
        ListaPgn().Timer_Timer();
    });
    std::printf("  %-34s %9.1f ms, %zu moves played\n", "opening and loading", cargar,
                pgn_prueba::Codificadas().size());
    std::printf("  %-34s %9.1f ms\n", "back button", Medir([] { ListaPgn().Command1_Click(2); }));
    std::printf("  %-34s %9.1f ms\n", "start button", Medir([] { ListaPgn().Command1_Click(1); }));
    std::printf("  %-34s %9.1f ms\n", "end button", Medir([] { ListaPgn().Command1_Click(4); }));
    std::printf("  peak memory %ld MB\n", EstadoKb("VmHWM") / 1024);
    pgn_prueba::Cerrar();
}

}  // namespace
