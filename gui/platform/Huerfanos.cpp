#include "platform/Huerfanos.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <iterator>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace huerfanos {

namespace {

// The children of this process.
std::vector<Proceso> Hijos() {
    std::vector<Proceso> hijos;
    const pid_t yo = ::getpid();
    for (const Proceso& p : Procesos())
        if (p.padre == yo) hijos.push_back(p);
    return hijos;
}

// The entries of a process's environment as it was started.
QByteArrayList Entorno(pid_t pid) {
    QFile f(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().split('\0');
}

bool TieneEntrada(const QByteArrayList& entorno, const QByteArray& entrada) {
    if (!entrada.contains('=')) return false;
    const bool prefijo = entrada.endsWith('=');
    for (const QByteArray& e : entorno)
        if (prefijo ? e.startsWith(entrada) : e == entrada) return true;
    return false;
}

bool SinMarca(const QByteArrayList& entorno) {
    for (const char* marca : {kMarca, kMarcaAbridor})
        if (TieneEntrada(entorno, QByteArray(marca) + "=")) return false;
    return true;
}

std::set<pid_t>& Programas() {
    static std::set<pid_t> programas;
    return programas;
}

bool Acabado(char estado) { return estado == 'Z' || estado == 'X'; }

}  // namespace

std::vector<Proceso> Procesos() {
    std::vector<Proceso> procesos;
    DIR* d = ::opendir("/proc");
    if (!d) return procesos;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        const std::string ruta = std::string("/proc/") + e->d_name + "/stat";
        FILE* f = std::fopen(ruta.c_str(), "r");
        if (!f) continue;
        char linea[512];
        const bool leida = std::fgets(linea, sizeof linea, f) != nullptr;
        std::fclose(f);
        // pid (name) state ppid pgrp session ...: the name may hold blanks and brackets.
        const char* cierre = leida ? std::strrchr(linea, ')') : nullptr;
        Proceso p;
        int padre = 0, grupo = 0, sesion = 0;
        if (!cierre || std::sscanf(cierre + 1, " %c %d %d %d", &p.estado, &padre, &grupo, &sesion) != 4) continue;
        p.pid = pid_t(std::atol(e->d_name));
        p.padre = pid_t(padre);
        p.grupo = pid_t(grupo);
        p.sesion = pid_t(sesion);
        procesos.push_back(p);
    }
    ::closedir(d);
    return procesos;
}

bool GrupoEnMarcha(pid_t grupo) {
    for (const Proceso& p : Procesos())
        if (p.grupo == grupo && p.estado != 'Z' && p.estado != 'X') return true;
    return false;
}

void AnotarPrograma(pid_t pid) {
    if (pid > 0) Programas().insert(pid);
}

void OlvidarPrograma(pid_t pid) { Programas().erase(pid); }

bool Adoptar() {
    // A mark Tavorin inherited (it runs under another's relay or opener) would be its own children's.
    ::unsetenv(kMarca);
    ::unsetenv(kMarcaAbridor);
    return ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
}

bool Adoptado() {
    int reaper = 0;
    return ::prctl(PR_GET_CHILD_SUBREAPER, &reaper) == 0 && reaper != 0;
}

void Senal(const std::vector<pid_t>& pids, int senal) {
    for (pid_t p : pids) {
        ::kill(-p, senal);
        ::kill(p, senal);
    }
}

Rastro::Rastro(QByteArray entrada, std::set<pid_t> programas, bool sinMarca)
    : entrada_(std::move(entrada)), programas_(std::move(programas)), sinMarca_(sinMarca), familias_(programas_) {}

bool Rastro::Programa(pid_t pid) const { return programas_.count(pid) || Programas().count(pid); }

std::vector<pid_t> Rastro::Vivos() {
    std::vector<pid_t> vivos;
    for (const Proceso& h : Hijos()) {
        if (Programa(h.pid) || Acabado(h.estado)) continue;
        // What stays in Tavorin's own group Tavorin started itself.
        if (sinMarca_ && h.grupo == ::getpgrp()) continue;
        const QByteArrayList entorno = Entorno(h.pid);
        if (!TieneEntrada(entorno, entrada_) && !(sinMarca_ && SinMarca(entorno))) continue;
        vivos.push_back(h.pid);
        vistos_.insert(h.pid);
        // Tavorin's own group and session hold more than what the programs left.
        for (pid_t f : {h.grupo, h.sesion})
            if (f != ::getpgrp() && f != ::getsid(0)) familias_.insert(f);
    }
    return vivos;
}

void Rastro::Recoger() {
    for (const Proceso& h : Hijos()) {
        if (Programa(h.pid) || !Acabado(h.estado)) continue;
        const bool pariente = vistos_.count(h.pid) || familias_.count(h.pid) || familias_.count(h.grupo);
        if (!pariente && !(sinMarca_ && h.grupo != ::getpgrp())) continue;
        pid_t r;
        do {
            r = ::waitpid(h.pid, nullptr, WNOHANG);
        } while (r < 0 && errno == EINTR);
        if (r != 0) vistos_.erase(h.pid);
    }
}

void Rastro::Acabar(int graciaMs, int finMs) {
    QElapsedTimer reloj;
    reloj.start();
    for (std::vector<pid_t> vivos = Vivos(); !vivos.empty() && reloj.elapsed() < finMs; vivos = Vivos()) {
        Senal(vivos, SIGTERM);
        QElapsedTimer gracia;
        gracia.start();
        while (!Vivos().empty() && gracia.elapsed() < graciaMs) {
            Recoger();
            ::usleep(2000);
        }
        Senal(Vivos(), SIGKILL);
        Recoger();
    }
    // A killed process ends a moment later.
    auto quedan = [this] {
        for (const Proceso& h : Hijos())
            if (vistos_.count(h.pid)) return true;
        return false;
    };
    while (quedan() && reloj.elapsed() < finMs) {
        Recoger();
        ::usleep(2000);
    }
}

void Rastro::OlvidarFamilias() {
    // A group with a zombie in it still answers.
    for (auto f = familias_.begin(); f != familias_.end();)
        f = ::kill(-*f, 0) != 0 && errno == ESRCH ? familias_.erase(f) : std::next(f);
}

}  // namespace huerfanos
