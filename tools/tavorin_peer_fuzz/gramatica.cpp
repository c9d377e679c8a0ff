#include "gramatica.h"

#include <algorithm>
#include <cstdio>

namespace peerfuzz {

namespace {

using Fuente = std::mt19937_64;

int Entre(Fuente& a, int menor, int mayor) { return std::uniform_int_distribution<int>(menor, mayor)(a); }
bool Prob(Fuente& a, int porMil) { return Entre(a, 0, 999) < porMil; }
template <typename T>
const T& Uno(Fuente& a, const std::vector<T>& v) {
    return v[size_t(Entre(a, 0, int(v.size()) - 1))];
}

// clang-format off
const std::vector<std::string> kSolas = {
    "Ping", "Pong", "Retroceso", "RetrocesoAceptado", "RetrocesoCancelado", "Close", "AbrirPartidaEPD",
    "AbrirAceptadoEPD", "AbrirCanceladoEPD", "CancelarEPD", "AbrirPartida", "AbrirAceptado", "AbrirCancelado",
    "NuevoCancelado", "NuevoAceptado", "Rendirse", "OfrecerTablas", "TablasAceptadas", "TablasCancelado"};

// Positions of every kind: the start, mates and stalemates in one for either side, a
// mate on the board, and texts the reader refuses.
const std::vector<std::string> kPosiciones = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "4k3/8/8/8/8/8/8/R3K3 w Q -",
    "r3k3/8/8/8/8/8/8/4K3 b q -",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -",
    "rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3",
    "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -",
    "7k/5Q2/6K1/8/8/8/8/8 w - -",
    "k7/1P6/8/8/8/8/8/7K w - -",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "8/8/8/8/8/8/8/8 w - -",
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -",
    "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
};
// clang-format on

// Words of chat lines and of the free text of positions.
// clang-format off
const std::vector<std::string> kPalabrasLibres = {
    "hola", "Close", "Rendirse", "NuevoJuego 1 R 5", "NuevoJuego 1 A 0", "Movimiento 52540", "TIME 0:1",
    "TVP Iniciar", "TVP T R", "EPD 1B 8/8/8/8/8/8/8/K6k w - -", "Mensaje <x>y", "RetrocesoAceptado",
    "TablasAceptadas", "AbrirPartidaEPD", "Ranking 1-1-0-0-1300", "VersionTV 9.99", "OfrecerTablas",
    "\xC3\xB1", "<", ">", "***", "$", "\t", " ", ""};

std::string Cifras(Fuente& a, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + Entre(a, 0, 9));
    return s;
}
// clang-format on

// A number as a field may carry it: in range mostly, sometimes at or past its ends.
std::string Numero(Fuente& a, int menor, int mayor) {
    switch (Entre(a, 0, 9)) {
        case 0: return Cifras(a, Entre(a, 11, 40));
        case 1: return "-" + std::to_string(Entre(a, 1, 5));
        case 2: return std::to_string(mayor + Entre(a, 1, 3));
        case 3: return "";
        default: return std::to_string(Entre(a, menor, mayor));
    }
}

std::string TextoLibre(Fuente& a, int palabras) {
    std::string s;
    for (int i = 0; i < palabras; ++i) s += (i ? " " : "") + Uno(a, kPalabrasLibres);
    return s;
}

std::string Casilla(Fuente& a) { return std::to_string(Entre(a, 1, 8)) + std::to_string(Entre(a, 1, 8)); }

std::string Epd(Fuente& a) {
    std::string m = "EPD ";
    if (Prob(a, 400)) m += "T";
    m += Prob(a, 900) ? std::to_string(Entre(a, 1, 2)) : std::to_string(Entre(a, 0, 9));
    m += Prob(a, 900) ? (Prob(a, 500) ? "B" : "N") : "X";
    m += " " + Uno(a, kPosiciones);
    switch (Entre(a, 0, 4)) {
        case 0: m += " id \"" + TextoLibre(a, 1) + "\";"; break;
        case 1: m += " id " + Uno(a, kSolas); break;
        case 2: m += " c0 " + TextoLibre(a, Entre(a, 1, 3)); break;
        default: break;
    }
    return m;
}

std::string Tvp(Fuente& a) {
    switch (Entre(a, 0, 7)) {
        case 0: return "TVP Iniciar";
        case 1: return "TVP Terminado";
        case 2: return "TVP ERROR";
        case 3: return std::string("TVP T ") + "BNAR012X"[Entre(a, 0, 7)];
        case 4:
            return std::string("TVP T") + (Prob(a, 500) ? "B " : "N ") + Cifras(a, Prob(a, 900) ? 4 : Entre(a, 0, 7));
        default: {
            std::string m = "TVP M " + Casilla(a) + Casilla(a);
            if (Prob(a, 200)) m += std::to_string(Entre(a, 0, 12));
            return m;
        }
    }
}

// A game file streamed as a copy streams it, with or without the question first: a
// rated game whose mate is one move away for either side.
std::vector<std::string> Corriente(Fuente& a) {
    std::vector<std::string> v;
    if (Prob(a, 700)) v.push_back("AbrirPartida");
    v.push_back("TVP Iniciar");
    v.push_back(std::string("TVP T ") + (Prob(a, 700) ? "R" : "A"));
    v.push_back(std::string("TVP T ") + (Prob(a, 500) ? "B" : "N"));
    v.push_back("TVP TB " + std::string(Prob(a, 500) ? "0001" : "0500"));
    v.push_back("TVP TN " + std::string(Prob(a, 500) ? "0001" : "0500"));
    const char* jugadas[] = {"6263", "5755", "7274"};
    const int n = Entre(a, 0, 3);
    for (int i = 0; i < n; ++i) v.push_back(std::string("TVP M ") + jugadas[i]);
    v.push_back(std::string("TVP T ") + "012"[Entre(a, 0, 2)]);
    if (Prob(a, 900)) v.push_back(Prob(a, 900) ? "TVP Terminado" : "TVP ERROR");
    if (Prob(a, 500)) v.push_back("Movimiento 48840");
    return v;
}

std::string Chat(Fuente& a) {
    std::string texto;
    if (Prob(a, 10)) {
        // Long lines: within the limit of one message, and past it.
        texto = std::string(size_t(Entre(a, 1, 70)) * 1000, Prob(a, 500) ? 'x' : 'M');
    } else {
        texto = TextoLibre(a, Entre(a, 0, 6));
    }
    switch (Entre(a, 0, 3)) {
        case 0:
            return "Mensaje Luis se ha conectado con Tavorin versi\xC3\xB3n " +
                   std::string(Prob(a, 800) ? "1.55" : "1.60 beta");
        case 1: return "Mensaje *** Luis ahora se llama " + TextoLibre(a, 1);
        default: return "Mensaje <" + (Prob(a, 900) ? std::string("Luis") : TextoLibre(a, 1)) + ">" + texto;
    }
}

// A message as a broken or hostile peer may change it.
std::string Cambiar(Fuente& a, std::string m) {
    switch (Entre(a, 0, 8)) {
        case 0:
            if (!m.empty()) m.erase(size_t(Entre(a, 0, int(m.size()) - 1)), 1);
            break;
        case 1: m.insert(size_t(Entre(a, 0, int(m.size()))), 1, char(Entre(a, 0, 255))); break;
        case 2:
            if (!m.empty()) m[size_t(Entre(a, 0, int(m.size()) - 1))] = char(Entre(a, 0, 255));
            break;
        case 3: m = m.substr(0, size_t(Entre(a, 0, int(m.size())))); break;
        case 4:
            for (int i = Entre(a, 1, 12); i > 0; --i) m += char(Entre(a, 0, 255));
            break;
        case 5: m.insert(size_t(Entre(a, 0, int(m.size()))), Prob(a, 500) ? "\r\n" : "\r"); break;
        case 6: m += Uno(a, kSolas); break;
        case 7: m.insert(size_t(Entre(a, 0, int(m.size()))), Cifras(a, Entre(a, 50, 300))); break;
        default: m += m; break;
    }
    return m;
}

// A line of a current copy ends in CR LF; an old copy sends none.
bool Enmarcada(const std::string& m) { return m.rfind("Mensaje", 0) == 0 || m.rfind("EPD", 0) == 0; }

// What one element of a run's body is: a message of the peer, or a step.
struct Elemento {
    bool mensaje = false;
    std::string texto;
    Paso paso;
};

Elemento DeMensaje(std::string m) {
    Elemento e;
    e.mensaje = true;
    e.texto = std::move(m);
    return e;
}

Elemento DePaso(Paso::Tipo t, int a = 0, int b = 0, int c = 0, int respuesta = 0) {
    Elemento e;
    e.paso.tipo = t;
    e.paso.a = a;
    e.paso.b = b;
    e.paso.c = c;
    e.paso.respuesta = respuesta;
    return e;
}

// A message that asks a question this side answers as `respuesta`.
Elemento Pregunta(std::string m, int respuesta) {
    Elemento e = DeMensaje(std::move(m));
    e.paso.respuesta = respuesta;
    return e;
}

// The steps that bring a fresh link to `estado`.
std::vector<Elemento> Preparar(Fuente& a, Estado estado, bool antigua) {
    std::vector<Elemento> v;
    const std::string saludo = "Mensaje Luis se ha conectado con Tavorin versi\xC3\xB3n 1.55";
    // A game agreed either way: rated (with its minutes) or not; this side White or Black.
    auto partida = [&](bool blancas, bool rated, int minutos) {
        const std::string tipo = rated ? " R " + std::to_string(minutos) : " A 0";
        if (Prob(a, 500)) {
            v.push_back(Pregunta("NuevoJuego " + std::string(blancas ? "2" : "1") + tipo, 6));
        } else {
            v.push_back(DePaso(Paso::Tipo::Proponer, blancas ? 1 : 2, rated ? 1 : 0, minutos));
            v.push_back(DeMensaje("NuevoAceptado"));
        }
    };
    auto puntuable = [&](bool blancas) { partida(blancas, true, Entre(a, 1, 30)); };
    auto arrastrar = [&](const char* uci) {
        Elemento e = DePaso(Paso::Tipo::Arrastrar);
        e.paso.texto = uci;
        v.push_back(e);
    };
    if (estado != Estado::SinConexion || Prob(a, 500)) {
        v.push_back(DeMensaje(saludo + (antigua ? "" : "\r\n")));
        v.push_back(DePaso(Paso::Tipo::Enviar, 2));
        v.push_back(DeMensaje("VersionTV 1.55"));
    }
    switch (estado) {
        case Estado::SinConexion: v.push_back(DePaso(Paso::Tipo::Desconectar)); break;
        case Estado::Enlazado: break;
        case Estado::Ofrecida:
            v.push_back(DePaso(Paso::Tipo::Proponer, Entre(a, 1, 2), Entre(a, 0, 1), Entre(a, 1, 30)));
            break;
        case Estado::Puntuable: puntuable(Prob(a, 500)); break;
        case Estado::EsperandoRespuesta:
            puntuable(true);
            v.push_back(DePaso(Paso::Tipo::JugadaLocal));
            switch (Entre(a, 0, 3)) {
                case 0: v.push_back(DePaso(Paso::Tipo::Retroceso)); break;
                case 1: v.push_back(DePaso(Paso::Tipo::Tablas, 0, 0, 0, 6)); break;
                case 2: v.push_back(DePaso(Paso::Tipo::Abrir, Entre(a, 0, 1), 0, 0, 6)); break;
                default: v.push_back(DePaso(Paso::Tipo::Proponer, Entre(a, 1, 2), 1, Entre(a, 1, 30))); break;
            }
            break;
        case Estado::Terminada:
            puntuable(Prob(a, 500));
            v.push_back(DePaso(Paso::Tipo::JugadaLocal));
            v.push_back(DePaso(Paso::Tipo::JugadaRival));
            v.push_back(DePaso(Paso::Tipo::JugadaLocal));
            switch (Entre(a, 0, 2)) {
                case 0: v.push_back(DeMensaje("Rendirse")); break;
                case 1: v.push_back(DePaso(Paso::Tipo::Rendirse, 0, 0, 0, 6)); break;
                default: v.push_back(Pregunta("OfrecerTablas", 6)); break;
            }
            break;
        case Estado::TrasBandera: {
            // White to move runs out: this side's own flag, or the peer's counted here
            // (which waits for the peer's word, then wins).
            const int minutos = Entre(a, 1, 3);
            partida(Prob(a, 500), true, minutos);
            v.push_back(DePaso(Paso::Tipo::Reloj, minutos * 60000 + 1500));
            if (Prob(a, 500)) v.push_back(DeMensaje("Bandera B"));
            v.push_back(DePaso(Paso::Tipo::Reloj, 4000));
            break;
        }
        case Estado::TrasMate:
            // The shortest mate, for this side or against it.
            if (Prob(a, 500)) {
                puntuable(true);
                arrastrar("f2f3");
                v.push_back(DeMensaje("Movimiento 57550"));
                arrastrar("g2g4");
                v.push_back(DeMensaje("Movimiento 48840"));
            } else {
                puntuable(false);
                v.push_back(DeMensaje("Movimiento 62630"));
                arrastrar("e7e5");
                v.push_back(DeMensaje("Movimiento 72740"));
                arrastrar("d8h4");
            }
            break;
        case Estado::SinPuntuar: partida(Prob(a, 500), false, 0); break;
    }
    return v;
}

// What the peer may send while a question of this side is open: what ends the game or
// replaces it, and what changes nothing.
std::vector<std::string> Durante(Fuente& a) {
    static const std::vector<std::string> mensajes = {"NuevoJuego 1 R 5",
                                                      "NuevoJuego 2 A 0",
                                                      "Rendirse",
                                                      "OfrecerTablas",
                                                      "TablasAceptadas",
                                                      "Bandera B",
                                                      "Bandera N",
                                                      "AbrirPartida",
                                                      "AbrirPartidaEPD",
                                                      "Movimiento 57550",
                                                      "Movimiento 52540",
                                                      "TIME 0:5",
                                                      "Mensaje <x>hola\r\n",
                                                      "Ping",
                                                      "Retroceso"};
    std::vector<std::string> v;
    for (int i = Entre(a, 1, 3); i > 0; --i) v.push_back(Uno(a, mensajes));
    return v;
}

// A request broken or repeated many times in a row.
std::vector<Elemento> Inundacion(Fuente& a) {
    static const std::vector<std::string> peticiones = {"NuevoJuego 3 X 1",
                                                        "NuevoJuego 1 R 999",
                                                        "Retroceso",
                                                        "AbrirAceptado",
                                                        "AbrirPartida",
                                                        "AbrirPartidaEPD",
                                                        "Ping",
                                                        "OfrecerTablas",
                                                        "Rendirse",
                                                        "TIME 0:0",
                                                        "Ranking 1-1-1-1-1"};
    const std::string m = Uno(a, peticiones);
    std::vector<Elemento> v(size_t(Entre(a, 20, 300)), DeMensaje(m));
    for (Elemento& e : v) e.paso.respuesta = 7;
    return v;
}

std::string Escapar(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '\\') {
            r += char(c);
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

}  // namespace

const char* Nombre(Estado e) {
    switch (e) {
        case Estado::SinConexion: return "not connected";
        case Estado::Enlazado: return "linked";
        case Estado::Ofrecida: return "offered";
        case Estado::Puntuable: return "rated game";
        case Estado::EsperandoRespuesta: return "waiting for an answer";
        case Estado::Terminada: return "game over";
        case Estado::TrasBandera: return "after a flag fall";
        case Estado::TrasMate: return "after a mate";
        case Estado::SinPuntuar: return "unrated game";
    }
    return "?";
}

std::vector<std::string> Palabras() {
    std::vector<std::string> v = kSolas;
    v.insert(v.end(), {"EPD", "NuevoJuego", "VersionTV", "Mensaje", "TIME", "Movimiento", "Ranking", "TVP", "Bandera"});
    return v;
}

std::string Mensaje(Fuente& a, Estado estado) {
    // A game on the board makes its messages likelier.
    const bool partida = estado == Estado::Puntuable || estado == Estado::EsperandoRespuesta;
    std::string m;
    switch (Entre(a, 0, partida ? 13 : 11)) {
        case 0: m = Uno(a, kSolas); break;
        case 1: m = Uno(a, kSolas); break;
        case 2: m = Epd(a); break;
        case 3: m = Tvp(a); break;
        case 4: {
            const bool rated = Prob(a, 500);
            m = "NuevoJuego " + (Prob(a, 900) ? std::to_string(Entre(a, 1, 2)) : Numero(a, 0, 9)) + " " +
                (Prob(a, 900) ? (rated ? "R" : "A") : TextoLibre(a, 1)) + " " + (rated ? Numero(a, 1, 180) : "0");
            break;
        }
        case 5:
            m = "VersionTV " + std::string(Prob(a, 500) ? "1.55" : Prob(a, 500) ? "1.60 beta" : TextoLibre(a, 1));
            break;
        case 6:
        case 7: m = Chat(a); break;
        case 8: m = "TIME " + Numero(a, 0, 180) + ":" + Numero(a, 0, 59); break;
        case 9: m = "Movimiento " + Casilla(a) + Casilla(a) + Numero(a, 0, 12); break;
        case 10: {
            m = "Ranking ";
            const int campos = Prob(a, 900) ? 5 : Entre(a, 0, 8);
            for (int i = 0; i < campos; ++i) m += (i ? "-" : "") + Numero(a, 0, 2000);
            break;
        }
        case 11:
            m = Uno(a, std::vector<std::string>{"RetrocesoAceptado", "TablasAceptadas", "Rendirse", "Bandera B",
                                                "Bandera N", "Bandera X"});
            break;
        default: m = Uno(a, std::vector<std::string>{"Retroceso", "OfrecerTablas", "TIME 4:59"}); break;
    }
    if (Prob(a, 250)) m = Cambiar(a, m);
    return m;
}

Ejecucion Generar(Fuente& a) {
    Ejecucion e;
    e.estado = Estado(Entre(a, 0, kEstados - 1));
    e.siPorMil = Uno(a, std::vector<int>{0, 500, 500, 1000});
    // An old copy ends no line; a current one ends its chat lines and positions.
    const bool antigua = Prob(a, 100);
    std::vector<Elemento> cuerpo = Preparar(a, e.estado, antigua);
    const int n = Entre(a, 10, 150);
    for (int i = 0; i < n; ++i) {
        const int r = Entre(a, 0, 999);
        if (r < 600) {
            cuerpo.push_back(DeMensaje(Mensaje(a, e.estado)));
        } else if (r < 630) {
            for (std::string& m : Corriente(a)) cuerpo.push_back(Pregunta(std::move(m), Prob(a, 800) ? 6 : 0));
        } else if (r < 700) {
            cuerpo.push_back(DePaso(Paso::Tipo::JugadaRival));
        } else if (r < 780) {
            cuerpo.push_back(DePaso(Paso::Tipo::JugadaLocal));
        } else if (r < 800) {
            cuerpo.push_back(DePaso(Paso::Tipo::Retroceso));
        } else if (r < 842) {
            // A question of this side, left open while the peer's messages come now and then.
            Elemento q = r < 815   ? DePaso(Paso::Tipo::Tablas)
                         : r < 822 ? DePaso(Paso::Tipo::Rendirse)
                         : r < 835 ? DePaso(Paso::Tipo::Proponer, Entre(a, 1, 2), Entre(a, 0, 1), Entre(a, 1, 30))
                                   : DePaso(Paso::Tipo::Abrir, Entre(a, 0, 1));
            if (q.paso.tipo != Paso::Tipo::Proponer && Prob(a, 400)) {
                q.paso.durante = Durante(a);
                q.paso.respuesta = Prob(a, 800) ? 6 : 7;
            }
            cuerpo.push_back(q);
        } else if (r < 865) {
            Elemento c = DePaso(Paso::Tipo::Chat);
            c.paso.texto = TextoLibre(a, Entre(a, 1, 5));
            cuerpo.push_back(c);
        } else if (r < 895) {
            cuerpo.push_back(DePaso(Paso::Tipo::Reloj, Prob(a, 800) ? Entre(a, 100, 3000) : Entre(a, 3000, 400000)));
        } else if (r < 975) {
            cuerpo.push_back(DePaso(Paso::Tipo::Enviar, Entre(a, 1, 6)));
        } else if (r < 978) {
            cuerpo.push_back(DePaso(Paso::Tipo::Desconectar));
        } else if (r < 995) {
            for (Elemento& x : Inundacion(a)) cuerpo.push_back(std::move(x));
        } else {
            // Junk between messages.
            std::string basura;
            for (int k = Entre(a, 1, 20); k > 0; --k) basura += char(Entre(a, 0, 255));
            cuerpo.push_back(DeMensaje(basura));
        }
    }

    // The peer's messages go out framed, then in arrivals cut as the run's rule says:
    // one message each, a few joined, cut at random, or a byte at a time.
    const int corte = Entre(a, 0, 99) < 40 ? 0 : Entre(a, 0, 99) < 50 ? 1 : Entre(a, 0, 99) < 92 ? 2 : 3;
    std::string bloque;
    int respuesta = 0;
    auto vaciar = [&] {
        size_t i = 0;
        while (i < bloque.size()) {
            size_t largo = bloque.size() - i;
            if (corte == 2) largo = size_t(Entre(a, 1, 48));
            if (corte == 3) largo = bloque.size() > 4000 ? size_t(Entre(a, 1, 512)) : 1;
            largo = std::min(largo, bloque.size() - i);
            Paso p;
            p.tipo = Paso::Tipo::Llegada;
            p.texto = bloque.substr(i, largo);
            p.respuesta = respuesta;
            e.pasos.push_back(std::move(p));
            i += largo;
            if (Prob(a, 20)) e.pasos.push_back(Paso{Paso::Tipo::Corte, {}, 0, 0, 0, 0, {}});
        }
        bloque.clear();
        respuesta = 0;
    };
    int juntos = 0;
    for (Elemento& x : cuerpo) {
        if (!x.mensaje) {
            vaciar();
            e.pasos.push_back(std::move(x.paso));
            continue;
        }
        ++e.mensajes;
        std::string m = x.texto;
        if (Enmarcada(m) && !antigua && Prob(a, 950) && (m.size() < 2 || m.compare(m.size() - 2, 2, "\r\n") != 0))
            m += "\r\n";
        // A question's answer goes with the arrival that asks it.
        if (x.paso.respuesta != 0 && respuesta != 0 && x.paso.respuesta != respuesta) vaciar();
        if (x.paso.respuesta != 0) respuesta = x.paso.respuesta;
        bloque += m;
        if (corte == 0 || (corte == 1 && ++juntos >= Entre(a, 1, 6))) {
            juntos = 0;
            vaciar();
        }
    }
    vaciar();
    return e;
}

std::string Texto(const Ejecucion& e) {
    std::string s =
        std::string("state: ") + Nombre(e.estado) + ", Yes per thousand: " + std::to_string(e.siPorMil) + "\n";
    static const char* nombres[] = {"arrival",    "cut given up", "peer move",  "local move", "take-back",
                                    "draw offer", "resign",       "propose",    "open",       "chat",
                                    "clock",      "send",         "disconnect", "drag"};
    for (const Paso& p : e.pasos) {
        s += nombres[int(p.tipo)];
        if (p.tipo == Paso::Tipo::Llegada || p.tipo == Paso::Tipo::Chat || p.tipo == Paso::Tipo::Arrastrar) {
            s += " \"";
            s += Escapar(p.texto);
            s += "\"";
        }
        for (const std::string& m : p.durante) s += " [while open: \"" + Escapar(m) + "\"]";
        if (p.a || p.b || p.c)
            for (int x : {p.a, p.b, p.c}) s.append(1, ' ').append(std::to_string(x));
        if (p.respuesta) s += p.respuesta == 6 ? " (Yes)" : " (No)";
        s += "\n";
    }
    return s;
}

}  // namespace peerfuzz
