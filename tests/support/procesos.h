// What runs on the machine, read from /proc: the processes of a process group and the
// children of a process, each without the ones that have ended and wait to be reaped;
// how much a process has written, and whether it waits on a full pipe.
#pragma once

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

struct Proceso {
    pid_t pid = 0, padre = 0, grupo = 0;
    char estado = '?';
};

inline std::vector<Proceso> Procesos() {
    std::vector<Proceso> lista;
    DIR* d = opendir("/proc");
    if (!d) return lista;
    while (dirent* e = readdir(d)) {
        const std::string nombre = e->d_name;
        if (nombre.empty() || nombre.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream f("/proc/" + nombre + "/stat");
        std::string linea;
        if (!std::getline(f, linea)) continue;
        // pid (comm) state ppid pgrp ...: the name may hold blanks and brackets.
        const auto cierre = linea.rfind(')');
        if (cierre == std::string::npos) continue;
        std::istringstream in(linea.substr(cierre + 1));
        Proceso p;
        p.pid = std::stoi(nombre);
        in >> p.estado >> p.padre >> p.grupo;
        lista.push_back(p);
    }
    closedir(d);
    return lista;
}

// Live processes of a group (zombies left out).
inline std::vector<pid_t> ProcesosDelGrupo(pid_t grupo) {
    std::vector<pid_t> r;
    for (const Proceso& p : Procesos())
        if (p.grupo == grupo && p.estado != 'Z' && p.estado != 'X') r.push_back(p.pid);
    return r;
}

// Live children of a process (zombies left out).
inline std::vector<pid_t> HijosVivos(pid_t padre) {
    std::vector<pid_t> r;
    for (const Proceso& p : Procesos())
        if (p.padre == padre && p.estado != 'Z' && p.estado != 'X') r.push_back(p.pid);
    return r;
}

// Processes whose working folder is `carpeta` (a canonical path): what a program
// started there runs on, wherever it went in the process tree.
inline std::vector<pid_t> ProcesosEnCarpeta(const std::string& carpeta) {
    std::vector<pid_t> r;
    for (const Proceso& p : Procesos()) {
        char ruta[4096];
        const std::string enlace = "/proc/" + std::to_string(p.pid) + "/cwd";
        const ssize_t n = readlink(enlace.c_str(), ruta, sizeof ruta - 1);
        if (n > 0 && std::string(ruta, size_t(n)) == carpeta) r.push_back(p.pid);
    }
    return r;
}

// Ended children of a process that nobody has reaped.
inline std::vector<pid_t> HijosZombis(pid_t padre) {
    std::vector<pid_t> r;
    for (const Proceso& p : Procesos())
        if (p.padre == padre && p.estado == 'Z') r.push_back(p.pid);
    return r;
}

// Bytes the process has handed to write() so far; -1 when it cannot be read.
inline long long BytesEscritos(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/io");
    std::string clave;
    long long valor = 0;
    while (f >> clave >> valor)
        if (clave == "wchar:") return valor;
    return -1;
}

// True while the process sleeps in a write to a full pipe.
inline bool EsperaEnTuberia(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/wchan");
    std::string donde;
    std::getline(f, donde);
    return donde.find("pipe_write") != std::string::npos;
}

// What a process writes from now on. Parado holds once it has slept in a write to a
// full pipe, writing nothing, for `ms` milliseconds on end: its reader has stopped.
class Escritor {
public:
    explicit Escritor(pid_t pid) : pid_(pid), inicio_(BytesEscritos(pid)), ultimo_(inicio_) {}
    long long Escrito() const { return BytesEscritos(pid_) - inicio_; }
    bool Parado(int ms) {
        const long long ahora = BytesEscritos(pid_);
        const auto t = std::chrono::steady_clock::now();
        if (ahora != ultimo_ || !EsperaEnTuberia(pid_)) {
            ultimo_ = ahora;
            desde_ = t;
        }
        return t - desde_ >= std::chrono::milliseconds(ms);
    }

private:
    pid_t pid_;
    long long inicio_, ultimo_;
    std::chrono::steady_clock::time_point desde_ = std::chrono::steady_clock::now();
};

}  // namespace testsupport
