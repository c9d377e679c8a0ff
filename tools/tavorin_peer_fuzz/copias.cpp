#include "copias.h"

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
using Reloj = std::chrono::steady_clock;

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

// ---- A copy of the program -----------------------------------------------------------------

class Copia {
public:
    Copia(const std::string& programa, const std::string& raiz, const std::string& nick) : nick_(nick) {
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

    bool Arrancar() {
        if (!p_.start(carpeta_ + "/tavorin", {}, carpeta_, entorno_)) return false;
        return bool(p_.readUntilContains("LISTO", 120s));
    }
    const std::string& Nick() const { return nick_; }
    std::string Ruta(const std::string& nombre) const { return carpeta_ + "/" + nombre; }
    bool Viva() { return p_.running(); }
    std::vector<std::string> Errores() { return p_.errorLines(); }
    void Terminar() {
        if (!p_.running()) return;
        p_.writeLine("salir");
        if (!p_.waitExit(60s)) p_.kill();
    }

    // A command: read on until it is done or has opened a box. The program reads the
    // lines that came with a command only once more input comes, when the command opens
    // a box: nothing else is written before it shows.
    void Enviar(const std::string& orden) {
        pendientes_.insert(orden);
        if (!p_.writeLine(orden)) {
            pendientes_.erase(orden);
            return;
        }
        const size_t preguntas0 = preguntas.size();
        const int textos0 = textos;
        const auto fin = Reloj::now() + 60s;
        while (pendientes_.count(orden) && preguntas.size() == preguntas0 && textos == textos0 && Reloj::now() < fin &&
               p_.running()) {
            if (const auto l = p_.readLine(100ms)) Linea(*l);
        }
    }
    // What came, waiting up to `ms` for a first line.
    void Leer(int ms) {
        for (auto espera = std::chrono::milliseconds(ms);; espera = 0ms) {
            const auto l = p_.readLine(espera);
            if (!l) return;
            Linea(*l);
        }
    }
    // The state line, read now (it is answered while a box is open).
    std::map<std::string, std::string> Estado() {
        std::map<std::string, std::string> e;
        if (!p_.writeLine("estado")) return e;
        const auto fin = Reloj::now() + 60s;

        while (Reloj::now() < fin) {
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
    // Answers the innermost box that is open.
    void Responder(bool si) {
        if (preguntas.empty()) return;
        if (detalle) std::printf("    %s answers %s\n", nick_.c_str(), si ? "Yes" : "No");
        preguntas.pop_back();
        p_.writeLine(si ? "responder 6" : "responder 7");
    }
    bool Ocupada() const { return preguntas.size() > size_t(diferidas) || textos > 0; }
    bool SinPendientes() const { return pendientes_.empty(); }

    // The Yes/No boxes open, innermost last; the outermost `diferidas` of them are left
    // open on purpose. Input boxes open.
    std::vector<std::string> preguntas;
    int diferidas = 0;
    int textos = 0;
    // Boxes that tell of a protocol error.
    std::vector<std::string> errores;
    // Tells the boxes, questions and moves shown.
    bool detalle = false;

private:
    void Linea(const std::string& l) {
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

    std::string nick_, carpeta_;
    std::vector<std::string> entorno_;
    testsupport::ChildProcess p_;
    std::multiset<std::string> pendientes_;
};

// The local half of a copy's Puntuacion.dat.
std::array<std::int32_t, 5> Registro(const Copia& c) {
    return testsupport::RegistroPuntuacion(c.Ruta("Puntuacion.dat"));
}

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

// How long what a copy sends while its question is open is given to arrive: a sender's
// tick and a dispatch, far less on the loopback, more under the sanitizers.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kCalmaMs = 600;
#else
constexpr int kCalmaMs = 250;
#endif

std::string Valor(const std::map<std::string, std::string>& e, const char* clave) {
    const auto i = e.find(clave);
    return i == e.end() ? std::string() : i->second;
}

// Seconds a clock display ("04:07") shows.
long Segundos(const std::string& reloj) {
    const auto dos = reloj.find(':');
    if (dos == std::string::npos) return 0;
    return std::atol(reloj.c_str()) * 60 + std::atol(reloj.c_str() + dos + 1);
}

// ---- A run ----------------------------------------------------------------------------------------

struct Hallazgo {
    std::string tipo, detalle;
};

class Pareja {
public:
    Pareja(Copia& ana, Copia& luis, std::mt19937_64& azar, bool detalle)
        : a_(ana), b_(luis), azar_(azar), detalle_(detalle) {
        a_.detalle = b_.detalle = detalle;
    }

    std::vector<Hallazgo> Ejecutar();

private:
    int Entre(int menor, int mayor) { return std::uniform_int_distribution<int>(menor, mayor)(azar_); }
    bool Prob(int porMil) { return Entre(0, 999) < porMil; }
    Copia& Una() { return Prob(500) ? a_ : b_; }
    Copia& Otra(Copia& c) { return &c == &a_ ? b_ : a_; }
    void Hallar(const std::string& tipo, const std::string& detalle) {
        hallazgos_.push_back({tipo, detalle});
        if (detalle_) std::printf("  finding: %s: %s\n", tipo.c_str(), detalle.c_str());
    }
    void Paso(const std::string& que) {
        if (detalle_) std::printf("  %s\n", que.c_str());
    }

    // The answer a question gets when nothing else is asked of it.
    bool Respuesta(const std::string& texto) {
        if (texto.find("Hay una partida") != std::string::npos) return true;  // propose, disconnect
        if (texto.find("le propone") != std::string::npos) return Prob(850);
        if (texto.find("abandonar") != std::string::npos) return Prob(800);
        return Prob(700);
    }
    // Until both copies are still: questions answered (but the ones left open), every
    // command done, both queues empty. False when they do not come to rest.
    bool Asentar();
    // Answers and reads until both are still, what travels between them aside.
    bool Atender();
    // A chat line of `de` reaches `a`: everything `de` sent before has been read there.
    bool Barrera(Copia& de, Copia& a);
    void Orden(Copia& c, const std::string& orden) {
        Paso(c.Nick() + ": " + orden);
        c.Enviar(orden);
        Asentar();
    }
    bool Enlazar();
    void Desenlazar();
    void Proponer(Copia& quien, bool puntuable, int minutos, bool blancas);
    bool Mover(Copia& quien);
    bool MoverCualquiera();
    void MoverAlLimite();
    void Contar(Copia& c, long ms);
    void PreguntaAbierta();
    void Comprobar(const char* cuando);
    void Preparar();

    Copia &a_, &b_;
    std::mt19937_64& azar_;
    bool detalle_;
    Copia* servidor_ = nullptr;
    std::vector<Hallazgo> hallazgos_;
    std::map<std::string, std::string> ea_, eb_;
    int sincronias_ = 0;
};

bool Pareja::Atender() {
    const auto fin = Reloj::now() + 90s;
    while (Reloj::now() < fin) {
        a_.Leer(5);
        b_.Leer(5);
        bool actuo = false;
        for (Copia* c : {&a_, &b_}) {
            for (; c->textos > 0; --c->textos) c->Enviar("texto B");
            while (c->preguntas.size() > size_t(c->diferidas)) {
                c->Responder(Respuesta(c->preguntas.back()));
                actuo = true;
            }
        }
        if (actuo) continue;
        ea_ = a_.Estado();
        eb_ = b_.Estado();
        if (a_.Ocupada() || b_.Ocupada()) continue;
        if (!a_.Viva() || !b_.Viva()) {
            Hallar("crash", "a copy ended in the middle of a run");
            return false;
        }
        if (Valor(ea_, "Cola") == "0" && Valor(eb_, "Cola") == "0" && (a_.SinPendientes() || a_.diferidas) &&
            (b_.SinPendientes() || b_.diferidas) && Valor(ea_, "RankingPendiente") != "1" &&
            Valor(eb_, "RankingPendiente") != "1")
            return true;
    }
    Hallar("stops answering", "the copies did not come to rest in 90 s");
    return false;
}

bool Pareja::Barrera(Copia& de, Copia& a) {
    if (de.diferidas > 0) {
        // Its commands wait for the box: what it sends meanwhile is given a while.
        std::this_thread::sleep_for(std::chrono::milliseconds(kCalmaMs));
        return Atender();
    }
    const std::string linea = "sync " + std::to_string(++sincronias_);
    de.Enviar("chat " + linea);
    const auto fin = Reloj::now() + 90s;
    while (Reloj::now() < fin) {
        if (!Atender()) return false;
        const auto& e = &a == &a_ ? ea_ : eb_;
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
        if (!enlazadas || (vuelta > 0 && ahora == antes)) return true;
        antes = ahora;
        // A chat line each way goes behind everything each copy sent before it.
        if (!Barrera(a_, b_) || !Barrera(b_, a_)) return false;
    }
    return true;
}

bool Pareja::Enlazar() {
    servidor_ = &Una();
    Copia& cliente = Otra(*servidor_);
    Paso(servidor_->Nick() + " waits, " + cliente.Nick() + " connects");
    const auto fin = Reloj::now() + 120s;
    while (Reloj::now() < fin) {
        for (const char* orden : {"menu mnuEstablecerconexion", "boton Conexion.Option2", "boton Conexion.Command1"})
            Orden(*servidor_, orden);
        for (const char* orden : {"menu mnuEstablecerconexion", "boton Conexion.Option1", "poner Conexion.Ip 127.0.0.1",
                                  "boton Conexion.Command1"})
            Orden(cliente, orden);
        const auto hasta = Reloj::now() + 10s;
        while (Reloj::now() < hasta && Asentar()) {
            if (Valor(ea_, "Conectado") == "1" && Valor(eb_, "Conectado") == "1" &&
                Valor(ea_, "VersionRival") == "1.55" && Valor(eb_, "VersionRival") == "1.55")
                return true;
            std::this_thread::sleep_for(50ms);
        }
        // The port was not free yet (another program held it): both give up the wait
        // and try again.
        for (Copia* c : {&a_, &b_})
            if (Valor(c == &a_ ? ea_ : eb_, "Conectado") == "0") Orden(*c, "boton Conexion.Command2");
        std::this_thread::sleep_for(500ms);
    }
    Hallar("no link", "the two copies did not link in 120 s");
    return false;
}

void Pareja::Desenlazar() {
    Copia& cliente = Otra(*servidor_);
    Orden(cliente, "menu mnuDesconectar");
    const auto fin = Reloj::now() + 30s;
    while (Reloj::now() < fin && Asentar() && (Valor(ea_, "Conectado") != "0" || Valor(eb_, "Conectado") != "0"))
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
void Pareja::MoverAlLimite() {
    for (Copia* c : {&a_, &b_}) {
        const auto e = c->Estado();
        const std::string color = Valor(e, "MiColor");
        const int lado = color == "Blancas" ? 1 : color == "Negras" ? 2 : 0;
        if (Valor(e, "TipoPartida") != "R" || lado == 0 || Valor(e, "Turno") != std::to_string(lado)) continue;
        const long quedan = Segundos(Valor(e, lado == 1 ? "Blancas" : "Negras"));
        Copia& otra = Otra(*c);
        const long propio = quedan * 1000 + Entre(100, 1300), ajeno = quedan * 1000 + Entre(-500, 2500);
        const bool antes = Prob(500);
        if (antes) Contar(otra, ajeno);
        Contar(*c, propio);
        Mover(*c);
        if (!antes) Contar(otra, ajeno);
        return;
    }
}

// A question of one side (resign, draw offer) stays open while the other side acts and
// its messages arrive; then it is answered.
void Pareja::PreguntaAbierta() {
    Copia& quien = Una();
    Copia& otra = Otra(quien);
    const char* orden = Prob(500) ? "menu mnuRendirse" : "menu mnuOfrecerTablas";
    Paso(quien.Nick() + ": " + orden + " (left open)");
    quien.Enviar(orden);
    const auto fin = Reloj::now() + 20s;
    while (quien.preguntas.empty() && !quien.SinPendientes() && Reloj::now() < fin) quien.Leer(20);
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
    if (ea_["Conectado"] == "1" && eb_["Conectado"] == "1" && !ea_["TipoPartida"].empty() &&
        ea_["TipoPartida"] == eb_["TipoPartida"] && ea_["PartidaDeFichero"] == "0" && eb_["PartidaDeFichero"] == "0" &&
        ea_["Tablero"] != eb_["Tablero"])
        Hallar("boards differ", std::string(cuando) + ": " + ea_["Jugadas"] + " and " + eb_["Jugadas"]);
    if (ea_["Conectado"] == "1" && eb_["Conectado"] == "1" &&
        (ea_["Rival"] != eb_["Propio"] || eb_["Rival"] != ea_["Propio"]))
        Hallar("rankings differ", std::string(cuando) + ": " + ea_["Propio"] + " sees " + ea_["Rival"] + ", " +
                                      eb_["Propio"] + " sees " + eb_["Rival"]);
}

// The run's start: a game to play from, as the grammar's states name them.
void Pareja::Preparar() {
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

std::vector<Hallazgo> Pareja::Ejecutar() {
    const auto antesA = Registro(a_), antesB = Registro(b_);
    if (!Enlazar()) return hallazgos_;
    Preparar();
    Comprobar("after the start");
    for (int n = Entre(10, 25); n > 0 && hallazgos_.empty(); --n) {
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
        Comprobar("after a step");
    }
    // Every clock runs out: a rated game still on ends on both sides, on the clocks'
    // next ticks (five a second).
    for (Copia* c : {&a_, &b_}) Orden(*c, "reloj 400000");
    for (int i = 0; i < 40 && (Valor(ea_, "TipoPartida") == "R" || Valor(eb_, "TipoPartida") == "R"); ++i) {
        std::this_thread::sleep_for(300ms);
        for (Copia* c : {&a_, &b_}) Orden(*c, "reloj 1000");
    }
    Comprobar("at the end");
    if (ea_["TipoPartida"] == "R" || eb_["TipoPartida"] == "R")
        Hallar("game left on", "a rated game still runs after every clock ran out: " + ea_["TipoPartida"] + " and " +
                                   eb_["TipoPartida"]);
    const auto x = Registro(a_), y = Registro(b_);
    if (!(x[0] - antesA[0] == y[0] - antesB[0] && x[1] - antesA[1] == y[2] - antesB[2] &&
          x[2] - antesA[2] == y[1] - antesB[1] && x[3] - antesA[3] == y[3] - antesB[3] && x[4] + y[4] == 2400))
        Hallar("ranking files disagree",
               Texto(antesA) + " to " + Texto(x) + " against " + Texto(antesB) + " to " + Texto(y));
    Desenlazar();
    return hallazgos_;
}

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
    std::printf("two copies linked over %s\n", redPropia ? "the loopback of a network of their own"
                                                         : "127.0.0.1 of the machine (no network of their own)");
    std::fflush(stdout);
    testsupport::TempDir dir;
    const auto inicio = Reloj::now();
    auto transcurrido = [&] { return std::chrono::duration<double>(Reloj::now() - inicio).count(); };
    std::map<std::string, long> vistos;
    long ejecuciones = 0;
    int tanda = 0;
    std::unique_ptr<Copia> ana, luis;
    auto arrancar = [&] {
        ++tanda;
        const std::string raiz = dir.path() + "/" + std::to_string(tanda);
        ana = std::make_unique<Copia>(o.programa, raiz, "Ana");
        luis = std::make_unique<Copia>(o.programa, raiz, "Luis");
        return ana->Arrancar() && luis->Arrancar();
    };
    auto informar = [&](long n, const std::string& tipo, const std::string& detalle) {
        if (vistos.count(tipo)) return;
        vistos[tipo] = n;
        std::printf("finding %zu (%s) in run %ld: %s\n", vistos.size(), tipo.c_str(), n, detalle.c_str());
        std::fflush(stdout);
    };
    bool vivas = false;
    for (long n = o.primera; n < o.primera + o.ejecuciones && transcurrido() < o.segundos; ++n) {
        if (!vivas && !(vivas = arrancar())) {
            informar(n, "no start", "a copy did not start");
            break;
        }
        auto azar = Azar(o.semilla, std::uint64_t(n));
        if (o.detalle) std::printf("run %ld\n", n);
        Pareja pareja(*ana, *luis, azar, o.detalle);
        const auto hallados = pareja.Ejecutar();
        ++ejecuciones;
        for (const auto& h : hallados) informar(n, h.tipo, h.detalle);
        std::string linea;
        for (Copia* c : {ana.get(), luis.get()})
            if (Sanitizador(c->Errores(), linea)) informar(n, "sanitizer report", c->Nick() + ": " + linea);
        // A run that went wrong leaves the copies as it found them: fresh ones go on.
        if (!hallados.empty() || !ana->Viva() || !luis->Viva()) {
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
    return vistos.empty() ? 0 : 1;
}

}  // namespace peerfuzz
