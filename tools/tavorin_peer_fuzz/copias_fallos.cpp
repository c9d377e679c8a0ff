// The faults of a two-copy run (copias.h): the link cut, stalled and lost, a copy
// stopped, requests made in the mover's last second; and the scripted checks.
#include "copias_pareja.h"

#include "copia_tavorin.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

namespace peerfuzz {

namespace {

using namespace std::chrono_literals;

// Each step of both clocks is given this long to be seen by their ticks (five a second)
// and by the waits that run on the clock source.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kPasoReal = 200ms;
#else
constexpr auto kPasoReal = 100ms;
#endif

// A flag falls a counted second after its clock shows 00:00: a one-minute clock's 61 s
// after it starts.
constexpr long kBanderaDeUnMinutoMs = 61000;
// What a lost link is given beyond the clocks' time: a copy that keeps its rated game
// on after that waits without bound.
constexpr long kSinLimiteMs = 120000;
// How long both clocks go on once a fault is over, so that every wait that runs on the
// clock source (a flag's grace, a wait for the peer's word) has ended.
constexpr long kReposoMs = 10000;
// How far past a flag the asker's clock is taken when its flag is to fall.
constexpr long kTrasBanderaMs = 200;

// A position list that holds no position, and a game file of the program's own.
constexpr char kEpdIlegible[] = "esto no es una posicion\r\n";
constexpr char kPartidaTvp[] = "0500\r\n0500\r\nA\r\n5254\r\n5755\r\n\r\n";

std::string Escrito(const std::string& ruta, const char* texto) {
    std::ofstream(ruta, std::ios::binary) << texto;
    return ruta;
}

std::string Nombre(const std::string& peticion) {
    return peticion == "tablas"  ? "a draw offer"
           : peticion == "nueva" ? "a new-game proposal"
           : peticion == "epd"   ? "an unreadable position list asked for"
                                 : "a game file asked for";
}

std::string Juego(const std::map<std::string, std::string>& e) {
    const std::string tipo = Valor(e, "TipoPartida");
    return tipo.empty() ? "has no game" : "plays " + tipo + " as " + Valor(e, "MiColor");
}

// The requests made in the last second of the scripted check: what (a draw offer, a new
// game, a game file), how long before the asker's flag, how far the peer's count of that
// clock is behind, how long the peer's count goes on before its Yes, and whether the
// asker's flag falls before that Yes.
struct Ultimo {
    const char* que;
    long antes, desfase, espera;
    bool banderaAntes;
};
constexpr Ultimo kUltimo[] = {
    {"tablas", 380, 0, 300, true}, {"tablas", 960, 150, 1600, true}, {"tablas", 600, 0, 400, false},
    {"nueva", 500, 0, 900, true},  {"nueva", 800, 150, 300, false},  {"fichero", 700, 0, 1200, true},
};

}  // namespace

const std::vector<Pareja::DatosCaso>& Pareja::Casos() {
    static const std::vector<DatosCaso> casos = {
        {"outage", 2,
         "a rated one-minute game, e4 and e5 with 3 and 2 s left; the link goes down as White moves, for 8 s "
         "(then 20 s) of both clocks, and comes back"},
        {"outage-for-good", 2, "the same, and the link never comes back: White moves into it, or does not move"},
        {"last-second", int(std::size(kUltimo)),
         "a draw offer, a new game and a game file asked for 0.38-0.96 s before the asker's flag and accepted "
         "0.3-1.6 s later, the flag falling before or after the Yes"},
        {"unreadable-epd", 2,
         "a position list that holds no position asked for during a rated game and agreed to, by the side to "
         "move or by the other"},
    };
    return casos;
}

void Pareja::PasoConFallo() {
    static const char* const kPeticiones[] = {"tablas", "nueva", "fichero", "epd"};
    switch (Entre(0, 7)) {
        case 0:
        case 1:
            // Half the cuts come with both clocks at their last seconds: the mover moves
            // with a second left, the next mover's clock is taken to a few seconds.
            if (Prob(500)) {
                MoverAlLimite();
                AlLimite(Entre(500, 4000), Entre(-500, 500));
            }
            Corte(Entre(8, 20) * 1000L, Prob(150), Prob(700));
            break;
        case 2: CorteCorto(); break;
        case 3: Parada(); break;
        default: {
            const std::string que = kPeticiones[Entre(0, 3)];
            const long antes = Entre(300, 1000);
            if (Copia* quien = AlLimite(antes, Entre(-500, 500)))
                Peticion(*quien, que, antes, Entre(300, 1600), Prob(500));
            break;
        }
    }
}

void Pareja::Avanzar(long ms, long paso) {
    for (long hecho = 0; hecho < ms; hecho += paso) {
        const std::string orden = "reloj " + std::to_string(std::min(paso, ms - hecho));
        for (Copia* c : {&a_, &b_}) {
            if (c == quieta_)
                c->Encargar(orden);
            else
                c->Enviar(orden);
        }
        std::this_thread::sleep_for(kPasoReal);
    }
    Atender();
}

void Pareja::Reposo() {
    Avanzar(kReposoMs, 1000);
    Asentar();
}

void Pareja::Coherencia(const std::string& cuando) {
    if (!Enlazadas() || perdido_ || !Asentar()) return;
    if (Valor(ea_, "Conectado") != "1" || Valor(eb_, "Conectado") != "1") return;
    const std::string ta = Valor(ea_, "TipoPartida"), tb = Valor(eb_, "TipoPartida");
    if ((ta == "R") != (tb == "R") || (ta == "R" && Valor(ea_, "MiColor") == Valor(eb_, "MiColor")))
        Hallar("alone in a game " + cuando, a_.Nick() + " " + Juego(ea_) + ", " + b_.Nick() + " " + Juego(eb_));
    Cuentas(cuando.c_str());
}

void Pareja::Corte(long ms, bool paraSiempre, bool mueve) {
    if (!red_ || !Enlazadas() || perdido_ || !Asentar()) return;
    if (Valor(ea_, "Conectado") != "1" || Valor(eb_, "Conectado") != "1") return;
    Paso(paraSiempre ? "the link goes down for good" : "the link goes down for " + std::to_string(ms / 1000) + " s");
    colorA_ = Valor(ea_, "MiColor");
    colorB_ = Valor(eb_, "MiColor");
    if (!red_->Cortar()) {
        Hallar("set-up", "the ends of the link do not go down");
        return;
    }
    // What either copy sends now waits for the link: a chat line must not come across.
    Copia& habla = Una();
    const std::string prueba = "corte " + std::to_string(++sincronias_);
    Orden(habla, "chat " + prueba);
    if (mueve) MoverCualquiera();
    Avanzar(ms, 1000);
    if (Valor(EstadoDe(Otra(habla)), "Chat") == "<" + habla.Nick() + ">" + prueba)
        Hallar("set-up", "a chat line came across the link while it was down");
    if (paraSiempre) {
        perdido_ = true;
        // Every clock runs out, and the waits that follow a flag end.
        long resto = 0;
        for (const auto* e : {&ea_, &eb_})
            resto = std::max({resto, testsupport::SegundosReloj(Valor(*e, "Blancas")),
                              testsupport::SegundosReloj(Valor(*e, "Negras"))});
        Avanzar(resto * 1000 + kSinLimiteMs, 5000);
        for (Copia* c : {&a_, &b_})
            if (Valor(EstadoDe(*c), "TipoPartida") == "R")
                Hallar("waits without bound", c->Nick() + " keeps its rated game on " +
                                                  std::to_string((ms + resto * 1000 + kSinLimiteMs) / 1000) +
                                                  " s of its clocks after the link went");
        return;
    }
    if (!red_->Reponer()) {
        Hallar("set-up", "the link does not come back up");
        return;
    }
    Asentar();
    Reposo();
    Coherencia("after the link came back");
}

void Pareja::CorteCorto() {
    if (!red_ || !Enlazadas() || perdido_ || !Asentar()) return;
    const auto hasta = RelojReal::now() + std::chrono::milliseconds(Entre(200, 1500));
    Paso("the link stalls");
    if (!red_->Cortar()) {
        Hallar("set-up", "the ends of the link do not go down");
        return;
    }
    if (Prob(500))
        MoverAlLimite();
    else
        Avanzar(Entre(100, 1500), 500);
    std::this_thread::sleep_until(hasta);
    if (!red_->Reponer()) {
        Hallar("set-up", "the link does not come back up");
        return;
    }
    Asentar();
    Reposo();
    Coherencia("after the link stalled");
}

void Pareja::Parada() {
    if (quieta_ || perdido_ || !Asentar()) return;
    Copia& quieta = Una();
    Copia& otra = Otra(quieta);
    const long ms = Entre(1, 12) * 1000L;
    Paso(quieta.Nick() + " stops for " + std::to_string(ms / 1000) + " s of the clocks");
    ::kill(quieta.Pid(), SIGSTOP);
    quieta_ = &quieta;
    for (long hecho = 0; hecho < ms; hecho += 1000) {
        if (Prob(250)) Mover(otra);
        Avanzar(1000, 500);
    }
    ::kill(quieta.Pid(), SIGCONT);
    quieta_ = nullptr;
    Asentar();
    Reposo();
    Coherencia("after a stopped copy went on");
}

Copia* Pareja::AlLimite(long antes, long desfase) {
    long quedan = 0;
    Copia* c = Mueve(quedan);
    if (!c) return nullptr;
    const long propio = quedan * 1000 + 1000 - antes;
    Contar(Otra(*c), propio - desfase);
    Contar(*c, propio);
    return c;
}

bool Pareja::Pedir(Copia& quien, const std::string& que) {
    Copia& otra = Otra(quien);
    otra.retener = true;
    const size_t abiertas = otra.preguntas.size();
    const bool antes = siempreSi_;
    siempreSi_ = true;
    if (que == "tablas") {
        Orden(quien, "menu mnuOfrecerTablas");
    } else if (que == "nueva") {
        Proponer(quien, true, 1, Prob(500));
    } else {
        const bool epd = que == "epd";
        quien.Enviar("dialogo " +
                     Escrito(quien.Ruta(epd ? "nada.epd" : "partida.tvp"), epd ? kEpdIlegible : kPartidaTvp));
        Orden(quien, "menu mnuAbrirPartida");
    }
    siempreSi_ = antes;
    // Over the link the question shows in a few milliseconds; a request refused here
    // never reaches it.
    const auto fin = RelojReal::now() + 5s;
    while (otra.preguntas.size() == abiertas && RelojReal::now() < fin) otra.Leer(20);
    return otra.preguntas.size() > abiertas;
}

void Pareja::Peticion(Copia& quien, const std::string& que, long antes, long espera, bool banderaAntes) {
    Copia& otra = Otra(quien);
    Paso(quien.Nick() + " asks (" + que + ") " + std::to_string(antes) + " ms before its flag");
    const bool llega = Pedir(quien, que);
    if (llega && banderaAntes) Contar(quien, antes + kTrasBanderaMs);
    if (llega) Contar(otra, espera);
    otra.retener = false;
    if (llega) otra.Responder(true);
    Asentar();
    if (!banderaAntes || !llega) Contar(quien, antes + kTrasBanderaMs);
    Reposo();
    Coherencia("after " + Nombre(que) + " in the asker's last second");
}

bool Pareja::PartidaDeUnMinuto(Copia& blancas) {
    Proponer(blancas, true, 1, true);
    Asentar();
    const auto& b = EstadoDe(blancas);
    const auto& n = EstadoDe(Otra(blancas));
    const bool hecha = Valor(b, "TipoPartida") == "R" && Valor(n, "TipoPartida") == "R" &&
                       Valor(b, "MiColor") == "Blancas" && Valor(n, "MiColor") == "Negras";
    if (!hecha) Hallar("no game", "the rated game of the check did not start on both copies");
    return hecha;
}

std::vector<Hallazgo> Pareja::Caso(const std::string& nombre, int variante) {
    siempreSi_ = true;
    antesA_ = Registro(a_);
    antesB_ = Registro(b_);
    if (!Enlazar()) return hallazgos_;
    if (nombre == "outage" || nombre == "outage-for-good") {
        const bool siempre = nombre == "outage-for-good";
        if (PartidaDeUnMinuto(a_)) {
            Contar(a_, 57000);
            Contar(b_, 57000);
            Orden(a_, "arrastrar e2 e4");
            Contar(a_, 58000);
            Contar(b_, 58000);
            Orden(b_, "arrastrar e7 e5");
            Corte(!siempre && variante == 0 ? 8000 : 20000, siempre, !siempre || variante == 0);
        }
    } else if (nombre == "last-second") {
        const Ultimo& u = kUltimo[variante];
        if (PartidaDeUnMinuto(a_)) {
            Contar(b_, kBanderaDeUnMinutoMs - u.antes - u.desfase);
            Contar(a_, kBanderaDeUnMinutoMs - u.antes);
            Peticion(a_, u.que, u.antes, u.espera, u.banderaAntes);
        }
    } else if (PartidaDeUnMinuto(a_)) {
        Orden(a_, "arrastrar e2 e4");
        Orden(b_, "arrastrar e7 e5");
        // White is to move: it asks, or Black does.
        Copia& quien = variante == 0 ? a_ : b_;
        const bool llega = Pedir(quien, "epd");
        Otra(quien).retener = false;
        if (llega) Otra(quien).Responder(true);
        Asentar();
        Coherencia("after an unreadable position list was agreed to");
        MoverCualquiera();
        Reposo();
        Coherencia("after the next move");
    }
    Final();
    return hallazgos_;
}

}  // namespace peerfuzz
