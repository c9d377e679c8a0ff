// What the whole-program tests of network play share: a copy of Tavorin driven by
// commands on standard input (shell/OrdenesPrueba.h), a raw socket for a peer, and a
// fixture that waits for the fixed ports 1500 and 1501 and links two copies.
#pragma once

#include "platform/IniFile.h"

#include "child_process.h"
#include "copia_tavorin.h"
#include "esperar.h"

#include <QString>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace red_e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kServidor = 1500, kCliente = 1501;

// ---- A copy of the program -------------------------------------------------------------

class Copia {
public:
    // A copy in folder `raiz`/`nick`, with that nick (empty with `conNick` false), started
    // and ready for commands unless `arrancar` is false.
    Copia(const std::string& raiz, const std::string& nick, std::vector<std::string> extra = {}, bool conNick = true,
          bool arrancar = true) {
        carpeta = raiz + "/" + nick;
        fs::create_directories(raiz);
        fs::copy(TAVORIN_CARPETA, carpeta, fs::copy_options::recursive);
        fs::permissions(Ruta("Default.ini"), fs::perms::owner_read | fs::perms::owner_write);
        const QString ini = QString::fromStdString(Ruta("Default.ini"));
        ini::Escribir(ini, "Configuracion", "Nick", conNick ? QString::fromStdString(nick) : QString());
        for (const char* clave : {"RegitTvp", "RegitPgn", "RegitEpd"}) ini::Escribir(ini, "Configuracion", clave, "1");
        entorno = std::move(extra);
        entorno.insert(entorno.end(), {"QT_QPA_PLATFORM=offscreen", "TAVORIN_PRUEBA_ORDENES=1",
                                       "XDG_DATA_HOME=" + raiz + "/datos", "XDG_CONFIG_HOME=" + raiz + "/config"});
        bool avisos = false;
        for (const auto& e : entorno) avisos = avisos || e.rfind("TAVORIN_PRUEBA_AVISOS=", 0) == 0;
        if (!avisos) entorno.push_back("TAVORIN_PRUEBA_AVISOS=1");
        if (!arrancar) return;
        EXPECT_TRUE(p.start(Ruta("tavorin"), {}, carpeta, entorno));
        EXPECT_FALSE(Esperar("LISTO", 60s).empty());
    }

    std::string Ruta(const std::string& nombre) const { return carpeta + "/" + nombre; }

    // A command, which must end in its OK line.
    void Orden(const std::string& orden, std::chrono::milliseconds espera = 30s) {
        ASSERT_TRUE(p.writeLine(orden)) << orden;
        auto l = p.readUntil([&](const std::string& x) { return x == "OK " + orden || x == "ERROR " + orden; }, espera,
                             &vistas);
        ASSERT_TRUE(l) << "no answer to " << orden;
        ASSERT_EQ(*l, "OK " + orden);
    }
    // Sends a command without waiting for its end (it may open a box).
    void Enviar(const std::string& orden) { ASSERT_TRUE(p.writeLine(orden)); }

    // The next line that contains `parte`, among those read by commands meanwhile or
    // still to come; empty when none comes in time.
    std::string Esperar(const std::string& parte, std::chrono::milliseconds espera = 20s) {
        for (size_t i = usadas; i < vistas.size(); ++i) {
            if (vistas[i].find(parte) == std::string::npos) continue;
            usadas = i + 1;
            return vistas[i];
        }
        auto l = p.readUntilContains(parte, espera, &vistas);
        usadas = vistas.size();
        return l ? *l : std::string();
    }
    // Forgets the lines read so far.
    void Olvidar() {
        p.drain(100ms);
        vistas.clear();
        usadas = 0;
    }
    std::map<std::string, std::string> Estado() {
        std::map<std::string, std::string> e;
        if (!p.writeLine("estado")) return e;
        auto l = p.readUntil([](const std::string& x) { return x.rfind("ESTADO|", 0) == 0; }, 20s, &vistas);
        if (!l) return e;
        return testsupport::CamposEstado(*l);
    }
    std::string Puntuacion() const {
        std::ifstream f(Ruta("Puntuacion.dat"), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        std::string hex;
        for (unsigned char c : s.str()) {
            char b[3];
            std::snprintf(b, sizeof b, "%02X", c);
            hex += b;
        }
        return hex;
    }

    testsupport::ChildProcess p;
    std::string carpeta;
    std::vector<std::string> entorno;
    std::vector<std::string> vistas;
    size_t usadas = 0;
};

// ---- A raw peer ------------------------------------------------------------------------------

class Crudo {
public:
    ~Crudo() { Cerrar(); }
    bool Conectar(int puerto) {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(puerto);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // Until the program listens.
        return testsupport::Hasta([&] {
            if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
            close(fd);
            fd = socket(AF_INET, SOCK_STREAM, 0);
            return false;
        });
    }
    // Waits on a port and takes one peer.
    bool Escuchar(int puerto) {
        escucha = socket(AF_INET, SOCK_STREAM, 0);
        int uno = 1;
        setsockopt(escucha, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(puerto);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return bind(escucha, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(escucha, 4) == 0;
    }
    bool Aceptar(std::chrono::milliseconds espera) {
        pollfd p{escucha, POLLIN, 0};
        if (poll(&p, 1, int(espera.count())) <= 0) return false;
        fd = accept(escucha, nullptr, nullptr);
        return fd >= 0;
    }
    void Enviar(const std::string& datos) { ASSERT_TRUE(Mandar(datos)); }
    bool Mandar(const std::string& datos) {
        return send(fd, datos.data(), datos.size(), MSG_NOSIGNAL) == ssize_t(datos.size());
    }
    // Everything that arrives within `espera`; false at the end of the link.
    bool Leer(std::chrono::milliseconds espera) {
        const auto fin = std::chrono::steady_clock::now() + espera;
        for (;;) {
            const auto resto =
                std::chrono::duration_cast<std::chrono::milliseconds>(fin - std::chrono::steady_clock::now());
            if (resto.count() <= 0) return true;
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, int(resto.count())) <= 0) return true;
            char b[65536];
            const ssize_t n = recv(fd, b, sizeof b, 0);
            if (n <= 0) return false;
            recibido.append(b, size_t(n));
        }
    }
    // Waits until what arrived contains `texto`.
    bool Llega(const std::string& texto, std::chrono::milliseconds espera = 10s) {
        const auto fin = std::chrono::steady_clock::now() + espera;
        while (recibido.find(texto) == std::string::npos) {
            if (std::chrono::steady_clock::now() > fin || !Leer(100ms))
                return recibido.find(texto) != std::string::npos;
        }
        return true;
    }
    void Cerrar() {
        if (fd >= 0) close(fd);
        if (escucha >= 0) close(escucha);
        fd = escucha = -1;
    }
    int fd = -1, escucha = -1;
    std::string recibido;
};

// Another program may hold the fixed ports for a moment: wait for them.
inline void PuertosLibres() {
    const bool libres = testsupport::Hasta([] {
        bool libres = true;
        for (int puerto : {kServidor, kCliente}) {
            Crudo c;
            libres = libres && c.Escuchar(puerto);
        }
        return libres;
    });
    ASSERT_TRUE(libres) << "ports 1500 and 1501 stay taken";
}

// Waits until the state of a copy shows `valor` under `clave`.
inline bool Muestra(Copia& c, const std::string& clave, const std::string& valor,
                    std::chrono::milliseconds espera = testsupport::kEsperaLarga) {
    return testsupport::Hasta([&] { return c.Estado()[clave] == valor; }, espera);
}

// Waits until the state of a copy shows all of `valores`.
inline bool Muestra(Copia& c, const std::map<std::string, std::string>& valores) {
    return testsupport::Hasta([&] {
        auto e = c.Estado();
        for (const auto& [clave, valor] : valores)
            if (e[clave] != valor) return false;
        return true;
    });
}

// Everything `de` has sent so far has reached `a` and been handled: a chat line sent
// now arrives after it, as the link keeps the order.
inline bool Alcanzado(Copia& de, Copia& a, const std::string& nick) {
    static int vez = 0;
    const std::string linea = "sincronia " + std::to_string(++vez);
    de.Orden("chat " + linea);
    return Muestra(a, "Chat", "<" + nick + ">" + linea);
}

class Red : public ::testing::Test {
protected:
    void SetUp() override { PuertosLibres(); }

    void Escuchar(Copia& c) {
        c.Orden("menu mnuEstablecerconexion");
        c.Orden("boton Conexion.Option2");
        c.Orden("boton Conexion.Command1");
    }
    void ConectarA(Copia& c) {
        c.Orden("menu mnuEstablecerconexion");
        c.Orden("poner Conexion.Ip 127.0.0.1");
        c.Orden("boton Conexion.Command1");
    }
    void Conectar(Copia& ana, Copia& luis) {
        Escuchar(ana);
        ConectarA(luis);
        ASSERT_FALSE(ana.Esperar("SONIDO|Conexion.wav").empty());
        ASSERT_FALSE(luis.Esperar("SONIDO|Conexion.wav").empty());
    }
    // Two linked copies have sent each other their greeting, version and, 2.5 s after
    // the link, ranking: whatever either sends from now on arrives after them.
    void Presentados(Copia& ana, Copia& luis) {
        for (Copia* c : {&ana, &luis}) {
            ASSERT_TRUE(Muestra(*c, {{"RankingPendiente", "0"}, {"Cola", "0"}})) << c->carpeta;
        }
        for (Copia* c : {&ana, &luis}) {
            ASSERT_TRUE(Muestra(*c, "VersionRival", "1.55")) << c->carpeta;
        }
    }
    // Ana proposes a game; Luis accepts. Ana White unless `anaNegras`. `enCurso`: a
    // game runs, and Ana is asked first.
    void NuevaPartida(Copia& ana, Copia& luis, const std::string& tipo, int minutos, bool anaNegras = false,
                      bool enCurso = false) {
        if (enCurso) {
            ana.Enviar("menu mnuNuevaPartida");
            ASSERT_FALSE(ana.Esperar("Hay una partida en curso. ¿Desea proponer").empty());
            ana.Orden("responder 6");
            ASSERT_FALSE(ana.Esperar("OK menu mnuNuevaPartida").empty());
        } else {
            ana.Orden("menu mnuNuevaPartida");
        }
        ana.Orden(std::string("boton Nuevo.Option") + (anaNegras ? "2" : "1"));
        ana.Orden(std::string("boton Nuevo.Option") + (tipo == "R" ? "3" : "4"));
        if (tipo == "R") ana.Orden("poner Nuevo.Text1 " + std::to_string(minutos));
        ana.Orden("boton Nuevo.Command1");
        ASSERT_FALSE(luis.Esperar("MENSAJE|68|").empty());
        luis.Orden("responder 6");
        ASSERT_FALSE(ana.Esperar("Su rival acepta la nueva partida.").empty());
        ana.Olvidar();
        luis.Olvidar();
    }
    // A move by dragging; the peer shows it.
    void Jugar(Copia& quien, Copia& otro, const std::string& de, const std::string& a) {
        quien.Orden("arrastrar " + de + " " + a);
        ASSERT_FALSE(otro.Esperar("TRAZA|").empty()) << de << a;
    }

    testsupport::TempDir dir;
};

}  // namespace red_e2e
