// What runs on the machine, read from /proc: the processes of a process group and the
// children of a process, each without the ones that have ended and wait to be reaped.
#pragma once

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/types.h>
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

}  // namespace testsupport
