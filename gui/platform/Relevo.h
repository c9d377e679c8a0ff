// The stdio relay: runs one console program as a child process, writes text to its
// standard input and hands every line it prints back as an event.
//
// The program is started by its full path, without arguments, in its own folder (an
// engine keeps its settings and learning files there) and in a process group of its
// own, so that stopping it also ends any program it started itself. Its environment
// holds the relay's mark (platform/Huerfanos.h): what it leaves behind in a session of
// its own, once reparented to Tavorin, is ended with it and reaped, and so is what
// dropped the mark. The program itself is killed when Tavorin ends, even by SIGKILL.
//
// Lines: one DatoRecibido per line of standard output and one ErrorRecibido per line
// of standard error, without the line end: LF, CR LF and CR alone each end a line;
// bytes that are not UTF-8 are read as Latin-1; a line longer than 64 KiB is cut there
// (the rest up to its line end is dropped).
//
// The relay reads the program's output pipes itself, a block at a time, and reads no
// more while lines of it wait to be handed over or a handler is still running: a
// program that floods its output then waits on its own writes, whatever the handlers
// do. A handler may run a nested event loop (a message box): the relay does not
// re-enter it, and the program waits meanwhile. Lines are handed over in slices, the
// event loop running between two slices, so a long backlog never holds the window.
// When the program ends, its last line without a line end comes first, then
// ProcesoTerminado.
//
// Writes wait in memory while the program does not read; when more than kEntradaMaxima
// bytes would wait, the write is dropped, no more are taken, and EntradaAtascada is
// raised (once, from the event loop, in turn with the lines).
//
// Detener gives the program about half a second to end by itself, then sends SIGTERM
// to its group and its orphans, then SIGKILL; it never waits. From Detener on no event
// is raised.
#pragma once

#include "platform/Huerfanos.h"

#include <QObject>
#include <QString>

#include <deque>
#include <vector>
#include <sys/types.h>

class QProcess;
class QSocketNotifier;
class QTimer;

class Relevo : public QObject {
    Q_OBJECT
public:
    explicit Relevo(QObject* padre = nullptr);
    // A program still running is killed (with its group) and waited for.
    ~Relevo() override;
    Relevo(const Relevo&) = delete;
    Relevo& operator=(const Relevo&) = delete;

    // Starts the program; true when it runs. One program per relay: false when one
    // was started already.
    bool Ejecutar(const QString& ruta);
    void Ejecutar(const QString& ruta, bool& ok) { ok = Ejecutar(ruta); }
    // Writes the text to the program's input: CR LF becomes LF and a line end is added
    // when the text lacks one. Dropped when the program does not run, and when the
    // program has let too much wait (see above).
    void EnviarDato(const QString& texto);
    // Ends the program (see above). Raises no more events.
    void Detener();
    // Lets the relay go: no more events, a running program is stopped, and the object
    // deletes itself once its program and group have ended (at once when none runs;
    // later when called from inside one of its own events).
    void Liberar();

    bool Ejecutando() const;
    // The program's process id (also its group's id); 0 before a start.
    pid_t Pid() const { return pid_; }
    // How the program ended: the signal that ended it (0 when it exited by itself or
    // still runs), and its exit status when it exited by itself.
    int SenalFin() const;
    int EstadoFin() const;

    // Ends every program still running under a relay, waiting for each (at most about
    // a second), and every orphan any relay's program left: for the end of the
    // program, when no event loop runs any more.
    static void TerminarTodos();

    // The longest line handed over, in bytes.
    static constexpr int kLineaMaxima = 64 * 1024;
    // Time a program gets to end by itself, then after SIGTERM, in milliseconds.
    static constexpr int kGraciaMs = 500;
    // The longest the exit waits for killed programs to end (one in the kernel's hands).
    static constexpr int kFinMs = 5000;
    // The most a read takes from a pipe, in bytes, and the most lines one slice hands over.
    static constexpr int kBloque = 64 * 1024;
    static constexpr int kTajada = 256;
    // The most that may wait to be written to the program, in bytes.
    static constexpr qint64 kEntradaMaxima = 1024 * 1024;

signals:
    void DatoRecibido(const QString& texto);
    void ErrorRecibido(const QString& texto);
    // The program ended (after its last lines were handed over).
    void ProcesoTerminado();
    // The program does not read its input: too much waits to be written to it.
    void EntradaAtascada();

private:
    struct Canal {
        int fd = -1;  // our end of the pipe, -1 once closed
        QSocketNotifier* aviso = nullptr;
        QByteArray resto;          // bytes after the last line end
        bool descartando = false;  // a line was cut: drop up to its end
        bool trasCr = false;       // the last line ended in CR: an LF right after it ends nothing
    };
    enum class Tipo { Salida, Error, Atasco };
    // Reads one block from the channel's pipe into the queue: the bytes read, 0 when
    // none wait, -1 once the pipe has ended (it is closed then).
    int Leer(Canal& canal);
    void Partir(Canal& canal, const QByteArray& datos, bool fin);
    void Cerrar(Canal& canal);
    // Reads from the pipes only while nothing waits to be handed over.
    void Regular();
    void Bombear();
    void Finalizado();
    void Paso();
    // The program's group, or an orphan it left, still runs (orphans that have ended
    // are reaped on the way).
    bool GrupoVivo() const;
    std::vector<pid_t> Huerfanos() const;
    void Senal(int senal) const;
    void QuizaBorrar();
    // Kills what is left of the group and waits for the program (bounded).
    void AcabarYa(int esperaMs);

    QProcess* proceso_;
    QTimer* parada_;
    QTimer* tajada_;  // the next slice of lines
    pid_t pid_ = 0;
    Canal salida_, errores_;
    QByteArray bloque_;                          // a read's buffer
    std::deque<std::pair<Tipo, QString>> cola_;  // lines in arrival order
    bool atascado_ = false;                      // the input was given up
    bool silencio_ = false;                      // Detener or Liberar ran: no more events
    bool despachando_ = false;                   // a line is being handed over
    bool terminado_ = false;                     // the program has ended
    bool finAvisado_ = false;
    bool liberado_ = false;
    bool borrando_ = false;
    int fase_ = 0;                              // stop: 0 none, 1 grace, 2 SIGTERM sent, 3 SIGKILL sent
    QByteArray marca_;                          // the mark in the program's environment
    mutable huerfanos::Rastro rastro_{{}, {}};  // what the program left behind
};

namespace relevo {
// Text of a line as read from a program: UTF-8, else Latin-1.
QString Decodificar(const QByteArray& linea);
}  // namespace relevo
