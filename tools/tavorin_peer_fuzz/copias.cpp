#include "copias.h"
#include "copias_pareja.h"

#include "gramatica.h"

#include "platform/IniFile.h"
#include "rules/reglas.h"

#include "child_process.h"
#include "copia_tavorin.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <net/if.h>
#include <random>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace peerfuzz {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// ---- The network of the fuzzer's own -------------------------------------------------

bool Escribir(const char* ruta, const std::string& texto) {
    std::ofstream f(ruta);
    f << texto;
    return bool(f);
}

bool LoopbackArriba() {
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return false;
    ifreq r{};
    std::strncpy(r.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ioctl(s, SIOCGIFFLAGS, &r) == 0;
    r.ifr_flags = short(r.ifr_flags | IFF_UP);
    ok = ok && ioctl(s, SIOCSIFFLAGS, &r) == 0;
    close(s);
    return ok;
}

}  // namespace

// ---- A copy of the program -----------------------------------------------------------------

Copia::Copia(const std::string& programa, const std::string& raiz, const std::string& nick,
             std::vector<std::string> lanzador)
    : nick_(nick), lanzador_(std::move(lanzador)) {
    carpeta_ = raiz + "/" + nick;
    fs::create_directories(raiz);
    fs::copy(programa, carpeta_, fs::copy_options::recursive);
    fs::permissions(carpeta_ + "/Default.ini", fs::perms::owner_read | fs::perms::owner_write);
    const QString ini = QString::fromStdString(carpeta_ + "/Default.ini");
    ini::Escribir(ini, "Configuracion", "Nick", QString::fromStdString(nick));
    for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) ini::Escribir(ini, "Configuracion", clave, "1");
    entorno_ = {"QT_QPA_PLATFORM=offscreen",
                "TAVORIN_PRUEBA_ORDENES=1",
                "TAVORIN_PRUEBA_AVISOS=1",
                "TAVORIN_PRUEBA_RELOJ=1",
                "TAVORIN_PRUEBA_COLA_MS=10",
                "XDG_DATA_HOME=" + raiz + "/datos",
                "XDG_CONFIG_HOME=" + raiz + "/config"};
}

bool Copia::Arrancar() {
    std::vector<std::string> orden = lanzador_;
    orden.push_back(carpeta_ + "/tavorin");
    if (!p_.start(orden[0], {orden.begin() + 1, orden.end()}, carpeta_, entorno_)) return false;
    return bool(p_.readUntilContains("LISTO", 120s));
}

void Copia::Terminar() {
    if (!p_.running()) return;
    p_.writeLine("salir");
    if (!p_.waitExit(60s)) p_.kill();
}

void Copia::Enviar(const std::string& orden) {
    pendientes_.insert(orden);
    if (!p_.writeLine(orden)) {
        pendientes_.erase(pendientes_.find(orden));
        return;
    }
    const size_t preguntas0 = preguntas.size();
    const int textos0 = textos;
    const auto fin = RelojReal::now() + 60s;
    while (pendientes_.count(orden) && preguntas.size() == preguntas0 && textos == textos0 && RelojReal::now() < fin &&
           p_.running()) {
        if (const auto l = p_.readLine(100ms)) Linea(*l);
    }
}

void Copia::Encargar(const std::string& orden) {
    pendientes_.insert(orden);
    if (!p_.writeLine(orden)) pendientes_.erase(pendientes_.find(orden));
}

void Copia::Leer(int ms) {
    for (auto espera = std::chrono::milliseconds(ms);; espera = 0ms) {
        const auto l = p_.readLine(espera);
        if (!l) return;
        Linea(*l);
    }
}

std::map<std::string, std::string> Copia::Estado() {
    std::map<std::string, std::string> e;
    if (!p_.writeLine("estado")) return e;
    const auto fin = RelojReal::now() + 60s;
    while (RelojReal::now() < fin) {
        const auto l = p_.readLine(1s);
        if (!l) {
            if (!p_.running()) return e;
            continue;
        }
        if (l->rfind("ESTADO|", 0) != 0) {
            Linea(*l);
            continue;
        }
        return testsupport::CamposEstado(*l);
    }
    return e;
}

void Copia::Responder(bool si) {
    if (preguntas.empty()) return;
    if (detalle) std::printf("    %s answers %s\n", nick_.c_str(), si ? "Yes" : "No");
    preguntas.pop_back();
    p_.writeLine(si ? "responder 6" : "responder 7");
}

void Copia::Linea(const std::string& l) {
    if (detalle && (l.rfind("MENSAJE|", 0) == 0 || l.rfind("PREGUNTA|", 0) == 0 || l.rfind("TRAZA|", 0) == 0))
        std::printf("    %s shows %s\n", nick_.c_str(), l.c_str());
    if (l.rfind("MENSAJE|", 0) == 0) {
        const std::string resto = l.substr(8);
        const long estilo = std::atol(resto.c_str());
        const std::string texto = resto.substr(resto.find('|', resto.find('|') + 1) + 1);
        if ((estilo & 7) == 4) preguntas.push_back(texto);
        if (texto.find("Error interno") != std::string::npos) errores.push_back(texto);
    } else if (l.rfind("PREGUNTA|", 0) == 0) {
        ++textos;
    } else if (l.rfind("OK ", 0) == 0 || l.rfind("ERROR ", 0) == 0) {
        const auto i = pendientes_.find(l.substr(l.find(' ') + 1));
        if (i != pendientes_.end()) pendientes_.erase(i);
    }
}

std::array<std::int32_t, 5> Registro(const Copia& c) {
    return testsupport::RegistroPuntuacion(c.Ruta("Puntuacion.dat"));
}

std::string Valor(const std::map<std::string, std::string>& e, const char* clave) {
    const auto i = e.find(clave);
    return i == e.end() ? std::string() : i->second;
}

namespace {

std::string Texto(const std::array<std::int32_t, 5>& r) {
    return std::to_string(r[0]) + "-" + std::to_string(r[1]) + "-" + std::to_string(r[2]) + "-" + std::to_string(r[3]) +
           "-" + std::to_string(r[4]);
}

// ---- The game between them, replayed from its move records --------------------------------------

struct Jugada {
    int x1, y1, x2, y2;
};

std::string Casilla(int x, int y) { return std::string(1, char('a' + x - 1)) + char('0' + y); }

// The legal moves (no promotion) of the side to move after `registros` ("5254,5755,"),
// from the start position; nothing when the records do not replay.
std::vector<Jugada> Legales(const std::string& registros) {
    static rules::Reglas juego, prueba;
    juego.TorreA1Movida = juego.TorreH1Movida = juego.TorreA8Movida = juego.TorreH8Movida = true;
    if (!juego.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1")) return {};
    int lado = 1;
    std::stringstream s(registros);
    for (std::string r; std::getline(s, r, ',');) {
        if (r.size() < 4) return {};
        juego.Turno = lado;
        juego.Origen = r.substr(0, 2);
        juego.Destino = r.substr(2, 2);
        juego.PiezaCoronacion = r.size() > 4 ? std::atoi(r.c_str() + 4) : 0;
        juego.SoloComprobar = false;
        juego.ValidarMovimiento();
        if (!juego.MovimientoValido) return {};
        juego.MovimientoAnulado();
        lado = 3 - lado;
    }
    std::vector<Jugada> v;
    for (int a = 1; a <= 8; ++a)
        for (int b = 1; b <= 8; ++b) {
            const int f = juego.Casillas[a][b];
            if (lado == 1 ? !rules::EsBlanca(f) : !rules::EsNegra(f)) continue;
            const bool rey = f == rules::ReyBlanco || f == rules::ReyNegro;
            for (int c = 1; c <= 8; ++c)
                for (int e = 1; e <= 8; ++e) {
                    const bool enroque = rey && e == b && std::abs(c - a) == 2;
                    if (!enroque && !rules::tablero::MovimientoPieza(juego.Casillas, a, b, c, e, 0)) continue;
                    if ((f == rules::PeonBlanco && e == 8) || (f == rules::PeonNegro && e == 1)) continue;
                    prueba.Estado() = juego.Estado();
                    prueba.SoloComprobar = true;
                    prueba.Turno = lado;
                    prueba.Origen = std::to_string(a) + std::to_string(b);
                    prueba.Destino = std::to_string(c) + std::to_string(e);
                    prueba.PiezaCoronacion = 0;
                    prueba.ValidarMovimiento();
                    if (prueba.MovimientoValido) v.push_back({a, b, c, e});
                }
        }
    return v;
}

}  // namespace

// ---- A run ----------------------------------------------------------------------------------------

Pareja::Pareja(Copia& ana, Copia& luis, std::mt19937_64& azar, bool detalle, RedCopias* red)
    : a_(ana), b_(luis), azar_(azar), detalle_(detalle), red_(red) {
    a_.detalle = b_.detalle = detalle;
}

void Pareja::Hallar(const std::string& tipo, const std::string& detalle) {
    hallazgos_.push_back({tipo, detalle});
    if (detalle_) std::printf("  finding: %s: %s\n", tipo.c_str(), detalle.c_str());
}

void Pareja::Paso(const std::string& que) {
    if (detalle_) std::printf("  %s\n", que.c_str());
}

bool Pareja::Respuesta(const std::string& texto) {
    if (siempreSi_) return true;
    if (texto.find("Hay una partida") != std::string::npos) return true;  // propose, disconnect
    if (texto.find("le propone") != std::string::npos) return Prob(850);
    if (texto.find("abandonar") != std::string::npos) return Prob(800);
    return Prob(700);
}

void Pareja::Orden(Copia& c, const std::string& orden) {
    Paso(c.Nick() + ": " + orden);
    c.Enviar(orden);
    Asentar();
}

bool Pareja::Atender() {
    const auto fin = RelojReal::now() + 90s;
    while (RelojReal::now() < fin) {
        bool actuo = false;
        for (Copia* c : {&a_, &b_}) {
            if (c == quieta_) continue;
            c->Leer(5);
            for (; c->textos > 0; --c->textos) c->Enviar("texto B");
            while (c->preguntas.size() > c->Retenidas()) {
                c->Responder(Respuesta(c->preguntas.back()));
                actuo = true;
            }
        }
        if (actuo) continue;
        bool ocupadas = false, quietas = true;
        for (Copia* c : {&a_, &b_}) {
            if (c == quieta_) continue;
            auto& e = EstadoDe(*c) = c->Estado();
            ocupadas = ocupadas || c->Ocupada();
            quietas = quietas && Valor(e, "Cola") == "0" && (c->SinPendientes() || c->Retenidas() > 0) &&
                      Valor(e, "RankingPendiente") != "1";
        }
        if (ocupadas) continue;
        if (!a_.Viva() || !b_.Viva()) {
            Hallar("crash", "a copy ended in the middle of a run");
            return false;
        }
        if (quietas) return true;
    }
    Hallar("stops answering", "the copies did not come to rest in 90 s");
    return false;
}

bool Pareja::Barrera(Copia& de, Copia& a) {
    auto calma = [this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kCalmaMs));
        return Atender();
    };
    // Its commands wait for the box, the other's box holds what arrives, or the link
    // holds what is sent: what it sends meanwhile is given a while.
    if (de.Retenidas() > 0 || a.retener || !Enlazadas()) return calma();
    const std::string linea = "sync " + std::to_string(++sincronias_);
    de.Enviar("chat " + linea);
    // A line refused (a game file on the board) is not echoed either.
    if (Valor(de.Estado(), "Chat") != "<" + de.Nick() + ">" + linea) return calma();
    const auto fin = RelojReal::now() + 90s;
    while (RelojReal::now() < fin) {
        if (!Atender()) return false;
        const auto& e = EstadoDe(a);
        if (Valor(ea_, "Conectado") != "1" || Valor(eb_, "Conectado") != "1") return true;
        if (Valor(e, "Chat") == "<" + de.Nick() + ">" + linea) return true;
    }
    Hallar("stops answering", de.Nick() + "'s chat line did not reach " + a.Nick() + " in 90 s");
    return false;
}

bool Pareja::Asentar() {
    std::string antes;
    for (int vuelta = 0; vuelta < 10; ++vuelta) {
        if (!Atender()) return false;
        const std::string ahora = Valor(ea_, "Jugadas") + Valor(ea_, "TipoPartida") + Valor(ea_, "Turno") + "|" +
                                  Valor(eb_, "Jugadas") + Valor(eb_, "TipoPartida") + Valor(eb_, "Turno");
        const bool enlazadas = Valor(ea_, "Conectado") == "1" && Valor(eb_, "Conectado") == "1";
        // Nothing travels over a cut link or to a stopped copy: once read, nothing comes.
        if (!enlazadas || !Enlazadas() || (vuelta > 0 && ahora == antes)) return true;
        antes = ahora;
        // A chat line each way goes behind everything each copy sent before it.
        if (!Barrera(a_, b_) || !Barrera(b_, a_)) return false;
    }
    return true;
}

bool Pareja::Enlazar() {
    servidor_ = &Una();
    Copia& cliente = Otra(*servidor_);
    const std::string ip = red_ ? RedCopias::Direccion(servidor_ == &a_ ? 0 : 1) : "127.0.0.1";
    Paso(servidor_->Nick() + " waits, " + cliente.Nick() + " connects");
    const auto fin = RelojReal::now() + 120s;
    while (RelojReal::now() < fin) {
        for (const char* orden : {"menu mnuEstablecerconexion", "boton Conexion.Option2", "boton Conexion.Command1"})
            Orden(*servidor_, orden);
        for (const std::string& orden :
             {std::string("menu mnuEstablecerconexion"), std::string("boton Conexion.Option1"),
              "poner Conexion.Ip " + ip, std::string("boton Conexion.Command1")})
            Orden(cliente, orden);
        const auto hasta = RelojReal::now() + 10s;
        while (RelojReal::now() < hasta && Asentar()) {
            if (Valor(ea_, "Conectado") == "1" && Valor(eb_, "Conectado") == "1" &&
                Valor(ea_, "VersionRival") == "1.55" && Valor(eb_, "VersionRival") == "1.55")
                return true;
            std::this_thread::sleep_for(50ms);
        }
        // The port was not free yet (another program held it): both give up the wait
        // and try again.
        for (Copia* c : {&a_, &b_})
            if (Valor(EstadoDe(*c), "Conectado") == "0") Orden(*c, "boton Conexion.Command2");
        std::this_thread::sleep_for(500ms);
    }
    Hallar("no link", "the two copies did not link in 120 s");
    return false;
}

void Pareja::Desenlazar() {
    Copia& cliente = Otra(*servidor_);
    Orden(cliente, "menu mnuDesconectar");
    const auto fin = RelojReal::now() + 30s;
    while (RelojReal::now() < fin && Asentar() && (Valor(ea_, "Conectado") != "0" || Valor(eb_, "Conectado") != "0"))
        std::this_thread::sleep_for(50ms);
}

void Pareja::Proponer(Copia& quien, bool puntuable, int minutos, bool blancas) {
    Orden(quien, "menu mnuNuevaPartida");
    if (Valor(&quien == &a_ ? ea_ : eb_, "Ventanas").find("Nuevo") == std::string::npos) return;
    quien.Enviar(std::string("boton Nuevo.Option") + (blancas ? "1" : "2"));
    quien.Enviar(std::string("boton Nuevo.Option") + (puntuable ? "3" : "4"));
    if (puntuable) quien.Enviar("poner Nuevo.Text1 " + std::to_string(minutos));
    Orden(quien, "boton Nuevo.Command1");
}

bool Pareja::Mover(Copia& quien) {
    const auto e = quien.Estado();
    const std::string color = Valor(e, "MiColor");
    const int lado = color == "Blancas" ? 1 : color == "Negras" ? 2 : 0;
    if (Valor(e, "TipoPartida").empty() || lado == 0 || Valor(e, "Turno") != std::to_string(lado) ||
        Valor(e, "PartidaDeFichero") != "0")
        return false;
    const auto legales = Legales(Valor(e, "Jugadas"));
    if (legales.empty()) return false;
    const Jugada j = legales[size_t(Entre(0, int(legales.size()) - 1))];
    Orden(quien, "arrastrar " + Casilla(j.x1, j.y1) + " " + Casilla(j.x2, j.y2));
    return true;
}

bool Pareja::MoverCualquiera() { return Mover(a_) || Mover(b_); }

// A jump of a copy's clock source counts at its clocks' next tick.
void Pareja::Contar(Copia& c, long ms) {
    Orden(c, "reloj " + std::to_string(ms));
    std::this_thread::sleep_for(300ms);
    Asentar();
}

// The side to move moves with a few tenths of a second left on its own clock, or a few
// tenths too late; the other copy's count goes on before or after the move.
Copia* Pareja::Mueve(long& quedan) {
    for (Copia* c : {&a_, &b_}) {
        if (c == quieta_) continue;
        const auto e = c->Estado();
        const std::string color = Valor(e, "MiColor");
        const int lado = color == "Blancas" ? 1 : color == "Negras" ? 2 : 0;
        if (Valor(e, "TipoPartida") != "R" || lado == 0 || Valor(e, "Turno") != std::to_string(lado)) continue;
        quedan = testsupport::SegundosReloj(Valor(e, lado == 1 ? "Blancas" : "Negras"));
        return c;
    }
    return nullptr;
}

void Pareja::MoverAlLimite() {
    long quedan = 0;
    Copia* c = Mueve(quedan);
    if (!c) return;
    Copia& otra = Otra(*c);
    const long propio = quedan * 1000 + Entre(100, 1300), ajeno = quedan * 1000 + Entre(-500, 2500);
    const bool antes = Prob(500);
    if (antes) Contar(otra, ajeno);
    Contar(*c, propio);
    Mover(*c);
    if (!antes) Contar(otra, ajeno);
}

// A question of one side (resign, draw offer) stays open while the other side acts and
// its messages arrive; then it is answered.
void Pareja::PreguntaAbierta() {
    Copia& quien = Una();
    Copia& otra = Otra(quien);
    const char* orden = Prob(500) ? "menu mnuRendirse" : "menu mnuOfrecerTablas";
    Paso(quien.Nick() + ": " + orden + " (left open)");
    quien.Enviar(orden);
    const auto fin = RelojReal::now() + 20s;
    while (quien.preguntas.empty() && !quien.SinPendientes() && RelojReal::now() < fin) quien.Leer(20);
    if (quien.preguntas.empty()) {
        Asentar();
        return;
    }
    quien.diferidas = int(quien.preguntas.size());
    for (int i = Entre(1, 2); i > 0; --i) {
        switch (Entre(0, 4)) {
            case 0: Proponer(otra, Prob(700), Entre(1, 3), Prob(500)); break;
            case 1: Orden(otra, "menu mnuRendirse"); break;
            case 2: Orden(otra, "menu mnuOfrecerTablas"); break;
            case 3: Mover(otra); break;
            default: Contar(otra, Entre(1000, 200000)); break;
        }
    }
    quien.diferidas = 0;
    Asentar();
}

// What must hold whenever both copies are still.
void Pareja::Comprobar(const char* cuando) {
    if (!Asentar()) return;
    for (Copia* c : {&a_, &b_}) {
        for (const std::string& e : c->errores) Hallar("protocol error", c->Nick() + " " + cuando + ": " + e);
        c->errores.clear();
    }
    // What the copies have not heard from each other yet may differ.
    if (!Enlazadas() || perdido_) return;
    if (ea_["Conectado"] == "1" && eb_["Conectado"] == "1" && !ea_["TipoPartida"].empty() &&
        ea_["TipoPartida"] == eb_["TipoPartida"] && ea_["PartidaDeFichero"] == "0" && eb_["PartidaDeFichero"] == "0" &&
        ea_["Tablero"] != eb_["Tablero"])
        Hallar("boards differ", std::string(cuando) + ": " + ea_["Jugadas"] + " and " + eb_["Jugadas"]);
    if (ea_["Conectado"] == "1" && eb_["Conectado"] == "1" &&
        (ea_["Rival"] != eb_["Propio"] || eb_["Rival"] != ea_["Propio"]))
        Hallar("rankings differ", std::string(cuando) + ": " + ea_["Propio"] + " sees " + ea_["Rival"] + ", " +
                                      eb_["Propio"] + " sees " + eb_["Rival"]);
}

// The run's start: a game to play from, as the grammar's states name them. Runs with
// faults start a rated game of one minute more often.
void Pareja::Preparar(bool fallos) {
    if (fallos && Prob(600)) {
        Paso("start: rated, one minute");
        Proponer(Una(), true, 1, Prob(500));
        return;
    }
    switch (Entre(0, 3)) {
        case 0:
            Paso("start: rated");
            Proponer(Una(), true, Entre(1, 3), Prob(500));
            break;
        case 1:
            Paso("start: after a flag fall");
            Proponer(Una(), true, 1, Prob(500));
            Contar(a_, 62000);
            Contar(b_, 62000);
            Contar(a_, 4000);
            Contar(b_, 4000);
            Proponer(Una(), true, Entre(1, 3), Prob(500));
            break;
        case 2: {
            Paso("start: after a mate");
            Copia& blancas = Una();
            Proponer(blancas, true, 5, true);
            Copia& negras = Otra(blancas);
            Orden(blancas, "arrastrar f2 f3");
            Orden(negras, "arrastrar e7 e5");
            Orden(blancas, "arrastrar g2 g4");
            Orden(negras, "arrastrar d8 h4");
            Proponer(Una(), Prob(700), Entre(1, 3), Prob(500));
            break;
        }
        default:
            Paso("start: without clocks");
            Proponer(Una(), false, 0, Prob(500));
            break;
    }
}

void Pareja::PasoComun(int n) {
    const int r = Entre(0, 99);
    if (r < 45) {
        if (!MoverCualquiera()) Proponer(Una(), Prob(700), Entre(1, 3), Prob(500));
    } else if (r < 60) {
        MoverAlLimite();
    } else if (r < 70) {
        PreguntaAbierta();
    } else if (r < 76) {
        Contar(Una(), Entre(100, 5000));
    } else if (r < 82) {
        Proponer(Una(), Prob(700), Entre(1, 3), Prob(500));
    } else if (r < 86) {
        Orden(Una(), "menu mnuRetroceder");
    } else if (r < 90) {
        Orden(Una(), "menu mnuOfrecerTablas");
    } else if (r < 93) {
        Orden(Una(), "menu mnuRendirse");
    } else {
        Orden(Una(), "chat hola " + std::to_string(n));
    }
}

std::vector<Hallazgo> Pareja::Ejecutar(bool fallos) {
    antesA_ = Registro(a_);
    antesB_ = Registro(b_);
    if (!Enlazar()) return hallazgos_;
    Preparar(fallos);
    Comprobar("after the start");
    for (int n = Entre(10, 25); n > 0 && hallazgos_.empty() && !perdido_; --n) {
        if (fallos && Prob(350))
            PasoConFallo();
        else
            PasoComun(n);
        Comprobar("after a step");
    }
    Final();
    return hallazgos_;
}

// The run's end. Every clock runs out: a rated game still on ends on both sides, on
// the clocks' next ticks (five a second). Then the two ranking files must tell one
// story of the run's games.
void Pareja::Final() {
    if (!perdido_) {
        for (Copia* c : {&a_, &b_}) Orden(*c, "reloj 400000");
        for (int i = 0; i < 40 && (Valor(ea_, "TipoPartida") == "R" || Valor(eb_, "TipoPartida") == "R"); ++i) {
            std::this_thread::sleep_for(300ms);
            for (Copia* c : {&a_, &b_}) Orden(*c, "reloj 1000");
        }
        Comprobar("at the end");
        if (ea_["TipoPartida"] == "R" || eb_["TipoPartida"] == "R")
            Hallar("game left on", "a rated game still runs after every clock ran out: " + ea_["TipoPartida"] +
                                       " and " + eb_["TipoPartida"]);
    }
    Cuentas(perdido_ ? "after the link went for good" : "at the end");
    if (!perdido_) Desenlazar();
}

// Each win of one a loss of the other, draws on both, the points moved from one to the
// other. Only when the link went for good may the side whose own flag fell have booked
// that loss alone: its clock is the one that shows 00:00 there.
bool Pareja::Bien(const std::array<std::int32_t, 5>& x, const std::array<std::int32_t, 5>& y, std::string& por) {
    std::array<int, 4> a{}, b{};
    for (int i = 0; i < 4; ++i) {
        a[size_t(i)] = x[size_t(i)] - antesA_[size_t(i)];
        b[size_t(i)] = y[size_t(i)] - antesB_[size_t(i)];
    }
    const int ganaA = a[1] - b[2], ganaB = b[1] - a[2], pierdeA = a[2] - b[1], pierdeB = b[2] - a[1];
    const bool tablas = a[3] == b[3];
    if (ganaA == 0 && ganaB == 0 && tablas && x[4] + y[4] == antesA_[4] + antesB_[4]) return true;
    auto banderaPropia = [&](const std::map<std::string, std::string>& e, const std::string& color) {
        return (color == "Blancas" || color == "Negras") && Valor(e, color.c_str()) == "00:00";
    };
    if (perdido_ && tablas && ganaA == 0 && pierdeA == 1 && banderaPropia(ea_, colorA_)) return true;
    if (perdido_ && tablas && ganaB == 0 && pierdeB == 1 && banderaPropia(eb_, colorB_)) return true;
    const bool gana = ganaA > 0 || ganaB > 0, pierde = pierdeA > 0 || pierdeB > 0;
    por = ganaA > 0 && ganaB > 0 ? "two wins"
          : gana && !tablas      ? "a win against a draw"
          : gana                 ? "a win against nothing"
          : pierde && !tablas    ? "a loss against a draw"
          : pierde               ? "a loss against nothing"
          : !tablas              ? "a draw against nothing"
                                 : "points that do not add up";
    return false;
}

void Pareja::Cuentas(const char* cuando) {
    const auto x = Registro(a_), y = Registro(b_);
    std::string por;
    // Each route to a disagreement is a finding of its own: what was booked, and when.
    if (!Bien(x, y, por))
        Hallar("ranking files disagree " + std::string(cuando) + ": " + por,
               Texto(antesA_) + " to " + Texto(x) + " against " + Texto(antesB_) + " to " + Texto(y));
}

namespace {

bool Sanitizador(const std::vector<std::string>& errores, std::string& linea) {
    for (const std::string& l : errores)
        if (l.find("ERROR: AddressSanitizer") != std::string::npos || l.find("runtime error:") != std::string::npos ||
            l.find("ERROR: LeakSanitizer") != std::string::npos) {
            linea = l;
            return true;
        }
    return false;
}

}  // namespace

bool RedPropia() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNET) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return false;
        Escribir("/proc/self/setgroups", "deny");
        Escribir("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        Escribir("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    return LoopbackArriba();
}

int EjecutarCopias(const OpcionesCopias& o, bool redPropia) {
    const Pareja::DatosCaso* caso = nullptr;
    for (const auto& c : Pareja::Casos())
        if (o.caso == c.nombre) caso = &c;
    if (!o.caso.empty() && !caso) {
        std::printf("the checks of two copies (--case NAME):\n");
        for (const auto& c : Pareja::Casos()) std::printf("  %s (%d variants): %s\n", c.nombre, c.variantes, c.que);
        return o.caso == "list" ? 0 : 2;
    }
    const bool fallos = o.fallos || caso;
    const std::string sinVeth = RedCopias::Probar();
    if (fallos && !sinVeth.empty()) {
        std::printf("skipped: the link between two copies cannot be cut here: %s\n", sinVeth.c_str());
        return kSinCortes;
    }
    auto red = sinVeth.empty() ? std::make_unique<RedCopias>() : nullptr;
    std::printf("two copies linked over %s\n", red         ? "a veth pair, each copy in a network of its own"
                                               : redPropia ? "the loopback of a network of their own"
                                                           : "127.0.0.1 of the machine (no network of their own)");
    std::fflush(stdout);
    testsupport::TempDir dir;
    const auto inicio = RelojReal::now();
    auto transcurrido = [&] { return std::chrono::duration<double>(RelojReal::now() - inicio).count(); };
    std::map<std::string, long> vistos, veces;
    long ejecuciones = 0;
    int tanda = 0;
    std::unique_ptr<Copia> ana, luis;
    // Fresh copies, and their link; what went wrong otherwise.
    auto arrancar = [&]() -> std::string {
        ++tanda;
        const std::string raiz = dir.path() + "/" + std::to_string(tanda);
        const std::vector<std::string> lanzador = RedCopias::Lanzador(red != nullptr);
        ana = std::make_unique<Copia>(o.programa, raiz, "Ana", lanzador);
        luis = std::make_unique<Copia>(o.programa, raiz, "Luis", lanzador);
        if (!ana->Arrancar() || !luis->Arrancar()) return "a copy did not start";
        std::string error;
        if (red && !red->Unir(ana->Pid(), luis->Pid(), error)) return "set-up: " + error;
        return {};
    };
    auto informar = [&](long n, const std::string& tipo, const std::string& detalle) {
        if (vistos.count(tipo)) return;
        vistos[tipo] = n;
        std::printf("finding %zu (%s) in run %ld: %s\n", vistos.size(), tipo.c_str(), n, detalle.c_str());
        std::fflush(stdout);
    };
    bool vivas = false;
    const long ultima = caso ? std::min<long>(caso->variantes, o.primera + o.ejecuciones) : o.primera + o.ejecuciones;
    for (long n = o.primera; n < ultima && transcurrido() < o.segundos; ++n) {
        if (!vivas) {
            const std::string error = arrancar();
            if (!error.empty()) {
                informar(n, "no start", error);
                break;
            }
            vivas = true;
        }
        auto azar = Azar(o.semilla, std::uint64_t(n));
        if (o.detalle) std::printf("run %ld\n", n);
        Pareja pareja(*ana, *luis, azar, o.detalle, red.get());
        auto hallados = caso ? pareja.Caso(o.caso, int(n)) : pareja.Ejecutar(fallos);
        ++ejecuciones;
        std::string linea;
        for (Copia* c : {ana.get(), luis.get()})
            if (Sanitizador(c->Errores(), linea)) hallados.push_back({"sanitizer report", c->Nick() + ": " + linea});
        std::set<std::string> tipos;
        for (const auto& h : hallados) {
            informar(n, h.tipo, h.detalle);
            if (caso) std::printf("  %s, variant %ld: %s: %s\n", caso->nombre, n, h.tipo.c_str(), h.detalle.c_str());
            if (tipos.insert(h.tipo).second) ++veces[h.tipo];
        }
        if (caso && hallados.empty()) std::printf("  %s, variant %ld: as it should be\n", caso->nombre, n);
        std::fflush(stdout);
        // A run that went wrong, or lost its link for good, leaves the copies as it
        // found them: fresh ones go on. Copies that lost their link cannot part.
        if (pareja.Perdido()) {
            ana->Matar();
            luis->Matar();
        }
        if (!hallados.empty() || pareja.Perdido() || !ana->Viva() || !luis->Viva()) {
            ana->Terminar();
            luis->Terminar();
            vivas = false;
        }
    }
    if (ana && luis) {
        ana->Terminar();
        luis->Terminar();
        std::string linea;
        for (Copia* c : {ana.get(), luis.get()})
            if (Sanitizador(c->Errores(), linea)) informar(o.primera + ejecuciones, "sanitizer report", linea);
    }
    std::printf("seed %llu: %ld runs of two copies, %zu findings, %.1f s\n", static_cast<unsigned long long>(o.semilla),
                ejecuciones, vistos.size(), transcurrido());
    for (const auto& [tipo, primera] : vistos)
        std::printf("  %s: first in run %ld, in %ld of the runs\n", tipo.c_str(), primera, veces[tipo]);
    return vistos.empty() ? 0 : 1;
}

}  // namespace peerfuzz
