#include "copias_red.h"

#include "child_process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace peerfuzz {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kDispositivo[] = "red0";

// A program of the system by its name: on the PATH, or in the folders of the
// administrator's tools, which a plain user's PATH may leave out.
std::string Buscar(const std::string& nombre) {
    std::string carpetas = std::getenv("PATH") ? std::getenv("PATH") : "";
    carpetas += ":/usr/sbin:/sbin:/usr/bin:/bin";
    std::stringstream s(carpetas);
    for (std::string c; std::getline(s, c, ':');)
        if (!c.empty() && access((c + "/" + nombre).c_str(), X_OK) == 0) return c + "/" + nombre;
    return {};
}

// Runs a command to its end; its exit status (-1 when it did not start or end in
// time), its output in `salida`.
int Correr(const std::vector<std::string>& orden, std::string* salida = nullptr) {
    testsupport::ChildProcess p;
    if (orden.empty() || orden[0].empty() || !p.start(orden[0], {orden.begin() + 1, orden.end()})) return -1;
    std::string texto;
    while (const auto l = p.readLine(10s)) texto += *l + "\n";
    const auto estado = p.waitExit(10s);
    if (salida) *salida = texto;
    return estado ? *estado : -1;
}

std::string RedDe(pid_t pid) {
    std::error_code e;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/ns/net", e).string();
}

}  // namespace

std::string RedCopias::Probar() {
    const std::string unshare = Buscar("unshare"), ip = Buscar("ip");
    if (unshare.empty() || ip.empty() || Buscar("nsenter").empty()) return "unshare, nsenter or ip is missing";
    if (Correr({unshare, "-n", "true"}) != 0) return "this system gives no process a network of its own";
    if (Correr({unshare, "-n", ip, "link", "add", "a0", "type", "veth", "peer", "name", "a1"}) != 0)
        return "this system makes no veth pair";
    return {};
}

std::vector<std::string> RedCopias::Lanzador(bool propia) {
    std::vector<std::string> orden;
    if (propia) orden = {Buscar("unshare"), "-n", "--"};
    // Each program runs the next in its own process: the copy keeps the pid it started with.
    if (const std::string setpriv = Buscar("setpriv"); !setpriv.empty())
        orden.insert(orden.end(), {setpriv, "--pdeathsig", "KILL", "--"});
    return orden;
}

std::string RedCopias::Direccion(int copia) { return "10.50.0." + std::to_string(copia + 1); }

bool RedCopias::Ip(int copia, const std::vector<std::string>& argumentos, std::string* salida) {
    std::vector<std::string> orden = {Buscar("nsenter"), "--net=/proc/" + std::to_string(pid_[copia]) + "/ns/net",
                                      Buscar("ip")};
    orden.insert(orden.end(), argumentos.begin(), argumentos.end());
    return Correr(orden, salida) == 0;
}

bool RedCopias::Muestra(bool arriba) {
    const auto fin = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < fin) {
        bool todas = true;
        for (int i = 0; i < 2; ++i) {
            std::string linea;
            // "state UP" once both ends are up; "state DOWN" for an end taken down.
            todas = todas && Ip(i, {"-o", "link", "show", kDispositivo}, &linea) &&
                    linea.find(arriba ? "state UP" : "state DOWN") != std::string::npos;
        }
        if (todas) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

bool RedCopias::Unir(pid_t a, pid_t b, std::string& error) {
    pid_[0] = a;
    pid_[1] = b;
    cortado_ = false;
    const std::string ra = RedDe(a), rb = RedDe(b), propia = RedDe(getpid());
    if (ra.empty() || rb.empty() || ra == rb || ra == propia || rb == propia) {
        error = "the copies do not have networks of their own (" + ra + ", " + rb + ")";
        return false;
    }
    if (Correr({Buscar("ip"), "link", "add", kDispositivo, "netns", std::to_string(a), "type", "veth", "peer", "name",
                kDispositivo, "netns", std::to_string(b)}) != 0) {
        error = "no veth pair between the copies' networks";
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (!Ip(i, {"link", "set", "lo", "up"}) || !Ip(i, {"addr", "add", Direccion(i) + "/24", "dev", kDispositivo}) ||
            !Ip(i, {"link", "set", kDispositivo, "up"})) {
            error = "the link's end of copy " + std::to_string(i) + " could not be set up";
            return false;
        }
    }
    if (!Muestra(true)) {
        error = "the link does not come up";
        return false;
    }
    return true;
}

bool RedCopias::Cortar() {
    cortado_ = true;
    return Ip(0, {"link", "set", kDispositivo, "down"}) && Ip(1, {"link", "set", kDispositivo, "down"}) &&
           Muestra(false);
}

bool RedCopias::Reponer() {
    cortado_ = false;
    return Ip(0, {"link", "set", kDispositivo, "up"}) && Ip(1, {"link", "set", kDispositivo, "up"}) && Muestra(true);
}

}  // namespace peerfuzz
