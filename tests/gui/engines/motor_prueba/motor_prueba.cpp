// A console engine for the tests of Tavorin's engine play. It knows no chess: it
// plays the moves its settings list, one each time it is to move, and records every
// line it reads. Started without arguments, it takes everything from its working
// folder:
//
//   prueba.cfg    settings, one per line ("key value..."; "#" starts a comment)
//   registro.txt  every line read, in order, appended as it arrives
//   enviado.txt   with "tiempos": one "<microseconds> <move>" per move sent
//
// Settings (all optional):
//   jugadas m1 m2 ...   the moves to send, in order ("move m1", ...)
//   jugadas_san m1 ...  the same moves in SAN, sent instead once "san" was accepted
//   caer N              ends at once (status 3) right after its N-th move
//   senal S             with caer: dies of signal S instead (no core file)
//   desconoce C1 C2 ... answers a line that begins with one of these words with
//                       "Error (unknown command): " and the line, and does nothing else
//   mudo                sends no move and answers no request
//   sordo               ignores "quit", "exit" and SIGTERM
//   antes TEXT          a line printed before every move (repeatable)
//   inundar N           N thinking lines before every move
//   inundar_error N     N lines on standard error before every move
//   doble               sends the following move at once after each move
//   tablas              answers "draw" with "offer draw"
//   ofrece              offers a draw after its first move
//   caracteristicas T   a line printed after "protover 2" (repeatable)
//   pista TEXT          the answer to "hint" (default: its next move)
//   final TEXT          a line printed after its last move (repeatable); in the
//                       texts of antes and final "\0" stands for a NUL byte
//   rechaza TEXT        answers each move it is sent with TEXT, a blank and the move,
//                       and plays nothing
//   rechaza_en N TEXT   answers the N-th move it is sent with TEXT alone, and plays
//                       nothing
//   tiempos             each line of registro.txt starts with a monotonic time in
//                       microseconds; moves sent are written to enviado.txt
//   nieto               starts a child of its own that sleeps (same process group)
//   sesion              starts a child that sleeps in a session of its own
//   demonio             on "quit" forks a child that leaves the session and forks a
//                       sleeping grandchild, then ends without waiting for either
//   escapa              at its start, the same as a program of its own: a child
//                       started with the environment less TAVORIN_RELEVO
//   colgado             after its first move reads nothing more and sleeps for ever,
//                       as an engine stuck in its search
//   cr                  ends every line it prints with CR alone
//   inundar_siempre     after its first move (and its draw offer) prints thinking
//                       lines for ever, reading nothing more
//   atascado            never reads its input: prints its "caracteristicas" lines
//                       again and again, for ever
//
// Feature replies: a feature counts as accepted when an "accepted" line names it
// (alone or as NAME=VALUE). With "usermove" accepted only "usermove M" lines are moves
// (a bare move is an unknown command); with "san" accepted it sends jugadas_san.
//
// Commands for the relay's tests, read from standard input at any time:
//   eco T, eco_crlf T, eco_cr T, cr_lf_aparte T, error T, trozos T, latin1,
//   larga N, sin_fin T, salir N, senal S, nieto, ignorar_term, pid, cwd,
//   inundar_sin_fin N, no_leer (see Responder).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Ajustes {
    std::vector<std::string> jugadas, jugadasSan, antes, caracteristicas, finales;
    std::set<std::string> desconocidas;
    int caer = 0, senal = 0, inundar = 0, inundarError = 0;
    bool mudo = false, sordo = false, doble = false, tablas = false, ofrece = false, tiempos = false, nieto = false;
    bool cr = false, inundarSiempre = false, atascado = false, sesion = false, demonio = false, escapa = false;
    bool colgado = false;
    std::string pista, rechaza, rechazoEn;
    int rechazaEn = 0;
};

Ajustes g;
std::size_t g_siguiente = 0;
int g_enviadas = 0;
int g_recibidas = 0;  // moves read
bool g_forzado = false;
std::set<std::string> g_aceptadas;  // features the host accepted
FILE* g_registro = nullptr;

long long Micros() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000LL + t.tv_nsec / 1000;
}

void Escribir(std::string texto, FILE* f = stdout) {
    if (g.cr && f == stdout)
        for (char& c : texto)
            if (c == '\n') c = '\r';
    std::fwrite(texto.data(), 1, texto.size(), f);
    std::fflush(f);
}

// A thinking line: depth, score, time, nodes and a variation.
std::string Pensamiento(int i) {
    char linea[96];
    std::snprintf(linea, sizeof linea, "%d %d 0 %lld e2e4 e7e5 Nf3\n", 1 + i % 9, i, i * 10LL);
    return linea;
}

std::string Resto(std::istringstream& in) {
    std::string r;
    std::getline(in, r);
    if (!r.empty() && r[0] == ' ') r.erase(0, 1);
    return r;
}

std::string ConNul(std::string t) {
    for (auto i = t.find("\\0"); i != std::string::npos; i = t.find("\\0", i + 1)) t.replace(i, 2, 1, '\0');
    return t;
}

void LeerAjustes() {
    std::ifstream f("prueba.cfg");
    std::string linea;
    while (std::getline(f, linea)) {
        if (linea.empty() || linea[0] == '#') continue;
        std::istringstream in(linea);
        std::string clave;
        in >> clave;
        if (clave == "jugadas") {
            for (std::string m; in >> m;) g.jugadas.push_back(m);
        } else if (clave == "jugadas_san") {
            for (std::string m; in >> m;) g.jugadasSan.push_back(m);
        } else if (clave == "desconoce") {
            for (std::string c; in >> c;) g.desconocidas.insert(c);
        } else if (clave == "caer") {
            in >> g.caer;
        } else if (clave == "senal") {
            in >> g.senal;
        } else if (clave == "inundar") {
            in >> g.inundar;
        } else if (clave == "inundar_error") {
            in >> g.inundarError;
        } else if (clave == "antes") {
            g.antes.push_back(ConNul(Resto(in)));
        } else if (clave == "caracteristicas") {
            g.caracteristicas.push_back(Resto(in));
        } else if (clave == "final") {
            g.finales.push_back(ConNul(Resto(in)));
        } else if (clave == "rechaza") {
            g.rechaza = Resto(in);
        } else if (clave == "rechaza_en") {
            in >> g.rechazaEn;
            g.rechazoEn = Resto(in);
        } else if (clave == "pista") {
            g.pista = Resto(in);
        } else {
            g.mudo |= clave == "mudo";
            g.sordo |= clave == "sordo";
            g.doble |= clave == "doble";
            g.tablas |= clave == "tablas";
            g.ofrece |= clave == "ofrece";
            g.tiempos |= clave == "tiempos";
            g.nieto |= clave == "nieto";
            g.cr |= clave == "cr";
            g.inundarSiempre |= clave == "inundar_siempre";
            g.atascado |= clave == "atascado";
            g.sesion |= clave == "sesion";
            g.demonio |= clave == "demonio";
            g.escapa |= clave == "escapa";
            g.colgado |= clave == "colgado";
        }
    }
}

[[noreturn]] void Morir(int senal) {
    rlimit sinCore{0, 0};
    setrlimit(RLIMIT_CORE, &sinCore);
    std::signal(senal, SIG_DFL);
    std::raise(senal);
    std::_Exit(128 + senal);
}

void Nieto() {
    pid_t p = fork();
    if (p == 0) {
        for (;;) pause();
    }
    if (p > 0) Escribir("nieto " + std::to_string(p) + "\n");
}

// A child in a session of its own; with `demonio` its own child sleeps and it ends.
void FueraDeSesion(bool demonio) {
    if (fork() != 0) return;
    setsid();
    if (demonio && fork() != 0) std::_Exit(0);
    for (;;) pause();
}

// Started as "motor_prueba --escapa": the daemon of `demonio`, a program of its own.
[[noreturn]] void Escapado() {
    if (fork() != 0) std::_Exit(0);
    setsid();
    if (fork() != 0) std::_Exit(0);
    for (;;) pause();
}

// A child that runs this program again with the environment less the relay's mark.
void Escapar() {
    if (fork() != 0) return;
    std::vector<char*> entorno;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "TAVORIN_RELEVO=", 15) != 0) entorno.push_back(*e);
    entorno.push_back(nullptr);
    char nombre[] = "motor_prueba", opcion[] = "--escapa";
    char* argumentos[] = {nombre, opcion, nullptr};
    execve("/proc/self/exe", argumentos, entorno.data());
    std::_Exit(127);
}

bool PareceJugada(const std::string& s) {
    if (s == "O-O" || s == "O-O-O" || s == "o-o" || s == "o-o-o") return true;
    if (s.size() != 4 && s.size() != 5) return false;
    return s[0] >= 'a' && s[0] <= 'h' && s[1] >= '1' && s[1] <= '8' && s[2] >= 'a' && s[2] <= 'h' && s[3] >= '1' &&
           s[3] <= '8';
}

void Mover() {
    if (g.mudo || g_siguiente >= g.jugadas.size()) return;
    for (int i = 0; i < g.inundar; ++i) Escribir(Pensamiento(i));
    for (int i = 0; i < g.inundarError; ++i) Escribir("ruido " + std::to_string(i) + "\n", stderr);
    for (const auto& a : g.antes) Escribir(a + "\n");
    const bool san = g_aceptadas.count("san") && g_siguiente < g.jugadasSan.size();
    const std::string m = san ? g.jugadasSan[g_siguiente] : g.jugadas[g_siguiente];
    ++g_siguiente;
    if (g.tiempos) {
        std::ofstream e("enviado.txt", std::ios::app);
        e << Micros() << ' ' << m << '\n';
    }
    Escribir("move " + m + "\n");
    ++g_enviadas;
    if (g.caer > 0 && g_enviadas >= g.caer) {
        if (g.senal > 0) Morir(g.senal);
        std::_Exit(3);
    }
    if (g.ofrece && g_enviadas == 1) Escribir("offer draw\n");
    if (g.inundarSiempre)
        for (int i = 0;; ++i) Escribir(Pensamiento(i));
    if (g.colgado)
        for (;;) pause();
    if (g_siguiente >= g.jugadas.size())
        for (const auto& f : g.finales) Escribir(f + "\n");
    if (g.doble && g_siguiente < g.jugadas.size()) {
        Escribir("move " + g.jugadas[g_siguiente++] + "\n");
        ++g_enviadas;
    }
}

// The relay-test commands; true when the line was one.
bool Responder(const std::string& linea) {
    std::istringstream in(linea);
    std::string orden;
    in >> orden;
    if (orden == "eco") {
        Escribir(Resto(in) + "\n");
    } else if (orden == "eco_crlf") {
        Escribir(Resto(in) + "\r\n");
    } else if (orden == "eco_cr") {
        Escribir(Resto(in) + "\r");
    } else if (orden == "cr_lf_aparte") {
        // The CR and the LF of one line end in two writes.
        Escribir(Resto(in) + "\r");
        usleep(50000);
        Escribir("\n");
    } else if (orden == "error") {
        Escribir(Resto(in) + "\n", stderr);
    } else if (orden == "trozos") {
        for (char c : Resto(in)) {
            Escribir(std::string(1, c));
            usleep(5000);
        }
        Escribir("\n");
    } else if (orden == "latin1") {
        Escribir("caf\xe9\n");
    } else if (orden == "larga") {
        std::size_t n = 0;
        in >> n;
        Escribir(std::string(n, 'x') + "\nfin\n");
    } else if (orden == "sin_fin") {
        Escribir(Resto(in));
        std::_Exit(0);
    } else if (orden == "salir") {
        int n = 0;
        in >> n;
        std::_Exit(n);
    } else if (orden == "senal") {
        int n = 0;
        in >> n;
        Morir(n);
    } else if (orden == "nieto") {
        Nieto();
    } else if (orden == "inundar_sin_fin") {
        std::size_t n = 0;
        in >> n;
        const std::string linea = std::string(n > 0 ? n - 1 : 0, 'x') + "\n";
        for (;;) Escribir(linea);
    } else if (orden == "no_leer") {
        for (;;) pause();
    } else if (orden == "ignorar_term") {
        std::signal(SIGTERM, SIG_IGN);
        Escribir("ignoro\n");
    } else if (orden == "pid") {
        Escribir("pid " + std::to_string(getpid()) + " " + std::to_string(getpgrp()) + "\n");
    } else if (orden == "cwd") {
        char buf[4096] = {};
        Escribir(std::string(getcwd(buf, sizeof buf) ? buf : "?") + "\n");
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--escapa") == 0) Escapado();
    std::signal(SIGPIPE, SIG_DFL);
    LeerAjustes();
    if (g.sordo) std::signal(SIGTERM, SIG_IGN);
    if (g.nieto) Nieto();
    if (g.sesion) FueraDeSesion(false);
    if (g.escapa) Escapar();
    if (g.atascado)
        for (;;)
            for (const auto& c : g.caracteristicas) Escribir(c + "\n");
    g_registro = std::fopen("registro.txt", "a");
    std::string linea;
    char buf[65536];
    while (std::fgets(buf, sizeof buf, stdin)) {
        linea = buf;
        while (!linea.empty() && (linea.back() == '\n' || linea.back() == '\r')) linea.pop_back();
        if (g_registro) {
            if (g.tiempos) std::fprintf(g_registro, "%lld ", Micros());
            std::fprintf(g_registro, "%s\n", linea.c_str());
            std::fflush(g_registro);
        }
        if (Responder(linea)) continue;
        std::istringstream palabras(linea);
        std::string primera;
        palabras >> primera;
        if (g.desconocidas.count(primera)) {
            Escribir("Error (unknown command): " + linea + "\n");
            continue;
        }
        if (primera == "accepted") {
            for (std::string c; palabras >> c;) g_aceptadas.insert(c.substr(0, c.find('=')));
            continue;
        }
        const bool usermove = g_aceptadas.count("usermove") > 0;
        if (primera == "usermove" && usermove) {
            if (!g_forzado) Mover();
            continue;
        }
        if (linea == "protover 2") {
            for (const auto& c : g.caracteristicas) Escribir(c + "\n");
        } else if (linea == "new") {
            g_forzado = false;
        } else if (linea == "force") {
            g_forzado = true;
        } else if (linea == "go") {
            g_forzado = false;
            Mover();
        } else if (linea == "hint") {
            if (!g.mudo)
                Escribir("Hint: " +
                         (g.pista.empty() && g_siguiente < g.jugadas.size() ? g.jugadas[g_siguiente] : g.pista) + "\n");
        } else if (linea == "draw") {
            if (g.tablas) Escribir("offer draw\n");
        } else if (linea == "quit" || linea == "exit") {
            if (g.demonio && linea == "quit") FueraDeSesion(true);
            if (!g.sordo && linea == "quit") break;
        } else if (PareceJugada(linea)) {
            if (++g_recibidas == g.rechazaEn)
                Escribir(g.rechazoEn + "\n");
            else if (!g.rechaza.empty())
                Escribir(g.rechaza + " " + linea + "\n");
            else if (usermove)
                Escribir("Error (unknown command): " + linea + "\n");
            else if (!g_forzado)
                Mover();
        }
    }
    if (g_registro) std::fclose(g_registro);
    return 0;
}
