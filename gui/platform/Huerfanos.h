// The orphans of the programs Tavorin runs. Tavorin is made the reaper of its
// descendants (a child subreaper): a process an engine leaves behind, one that forked
// away into a session of its own included, becomes Tavorin's child when its parent
// ends. The relay marks each program's environment (kMarca, then the relay's id), so
// that such an orphan is known by its environment and its parent; one that dropped the
// mark is Tavorin's all the same. Only what the desktop's opener leaves (kMarcaAbridor:
// the viewer the user opened) is the user's. Zombies are reaped by pid, never by
// waiting for any child: the programs Tavorin started itself are QProcess's to wait
// for, and are never touched (they are noted as started, or stay in Tavorin's own
// process group).
#pragma once

#include <QByteArray>

#include <set>
#include <sys/types.h>
#include <vector>

namespace huerfanos {

// The name of the environment mark.
inline constexpr const char* kMarca = "TAVORIN_RELEVO";
// The mark of the desktop's openers (platform/Escritorio.h), whose orphans are the user's.
inline constexpr const char* kMarcaAbridor = "TAVORIN_ABRIDOR";

// A process as /proc tells it.
struct Proceso {
    pid_t pid = 0, padre = 0, grupo = 0, sesion = 0;
    char estado = 0;  // 'Z' ended and waiting for its reaper, 'X' gone
};

// Every process this one can see.
std::vector<Proceso> Procesos();

// Whether a process of the group still runs: one that has ended and waits for its
// reaper (a zombie) does not count, unlike for kill(-grupo, 0).
bool GrupoEnMarcha(pid_t grupo);

// The programs this process started through QProcess, from their start until QProcess
// has waited for them: no orphan hunt takes or reaps them.
void AnotarPrograma(pid_t pid);
void OlvidarPrograma(pid_t pid);

// Makes this process the reaper of its descendants' orphans; false where the system
// refuses.
bool Adoptar();
// True once this process is that reaper.
bool Adoptado();

// What programs left behind: the processes whose parent is this process and whose
// environment holds the entry (a whole "NAME=value", or "NAME=" for any value), less
// the programs themselves (`programas` and those noted above). With `sinMarca` also
// every other orphan that bears no mark at all, and every ended child outside this
// process's own group: what an engine left after shedding its mark.
class Rastro {
public:
    Rastro(QByteArray entrada, std::set<pid_t> programas, bool sinMarca = false);
    // The live orphans now.
    std::vector<pid_t> Vivos();
    // Reaps the orphans and their kin that have ended.
    void Recoger();
    // SIGTERM to each live orphan and its group, SIGKILL after graciaMs, round after
    // round while new ones appear, for at most finMs; then reaps them.
    void Acabar(int graciaMs, int finMs);
    // Forgets the groups and sessions nothing is left in: their number may be given to
    // another process, one of QProcess's children too.
    void OlvidarFamilias();

private:
    bool Programa(pid_t pid) const;
    QByteArray entrada_;
    std::set<pid_t> programas_;
    bool sinMarca_ = false;
    std::set<pid_t> vistos_;    // orphans found alive
    std::set<pid_t> familias_;  // groups and sessions the programs and orphans were in
};

// Sends the signal to each process and to its group, when it leads one.
void Senal(const std::vector<pid_t>& pids, int senal);

}  // namespace huerfanos
