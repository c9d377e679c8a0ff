#include "platform/Relevo.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSocketNotifier>
#include <QStringDecoder>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <string>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

std::set<Relevo*>& Vivos() {
    static std::set<Relevo*> vivos;
    return vivos;
}

bool SoloAscii(const QByteArray& b) {
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A pipe whose two ends lie above the standard descriptors (so that making one of
// them a child's standard output cannot clash with another) and close on exec.
bool Tuberia(int (&fds)[2]) {
    int p[2];
    if (::pipe2(p, O_CLOEXEC) != 0) return false;
    for (int i = 0; i < 2; ++i) {
        fds[i] = p[i];
        if (p[i] > STDERR_FILENO) continue;
        fds[i] = ::fcntl(p[i], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        ::close(p[i]);
    }
    if (fds[0] >= 0 && fds[1] >= 0) return true;
    for (int fd : fds)
        if (fd >= 0) ::close(fd);
    return false;
}

// Reads a pipe drained at the program's end may take, in blocks: more than a pipe
// holds, less than a program's child writing on for ever could make endless.
constexpr int kBloquesAlFinal = 64;

}  // namespace

namespace relevo {

QString Decodificar(const QByteArray& linea) {
    if (SoloAscii(linea)) return QString::fromLatin1(linea);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(linea);
    if (utf8.hasError()) return QString::fromLatin1(linea);
    return texto;
}

}  // namespace relevo

Relevo::Relevo(QObject* padre)
    : QObject(padre), proceso_(new QProcess(this)), parada_(new QTimer(this)), tajada_(new QTimer(this)) {
    Vivos().insert(this);
    // A write to a program that has gone must not end Tavorin.
    static const bool sinSigpipe = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)sinSigpipe;
    parada_->setSingleShot(true);
    tajada_->setSingleShot(true);
    tajada_->setInterval(0);
    connect(proceso_, &QProcess::finished, this, [this] { Finalizado(); });
    connect(parada_, &QTimer::timeout, this, [this] { Paso(); });
    connect(tajada_, &QTimer::timeout, this, [this] { Bombear(); });
}

Relevo::~Relevo() {
    Vivos().erase(this);
    if (Ejecutando() || (fase_ < 3 && GrupoVivo())) AcabarYa(2000);
    // Orphans killed a moment ago are reaped before the relay forgets them.
    rastro_.Acabar(kGraciaMs, 1000);
    for (Canal* c : {&salida_, &errores_}) {
        delete c->aviso;
        c->aviso = nullptr;
        if (c->fd >= 0) ::close(c->fd);
    }
    // QProcess waits for its program when it goes, right after this.
    huerfanos::OlvidarPrograma(pid_);
}

bool Relevo::Ejecutar(const QString& ruta) {
    if (pid_ != 0 || proceso_->state() != QProcess::NotRunning) return false;
    const QFileInfo fichero(ruta);
    if (!fichero.isFile()) return false;
    int salida[2], errores[2];
    if (!Tuberia(salida)) return false;
    if (!Tuberia(errores)) {
        for (int fd : salida) ::close(fd);
        return false;
    }
    proceso_->setProgram(ruta);
    proceso_->setArguments({});
    proceso_->setWorkingDirectory(fichero.absolutePath());
    static int relevos = 0;
    const QByteArray id = QByteArray::number(++relevos);
    marca_ = QByteArray(huerfanos::kMarca) + "=" + id;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QString::fromLatin1(huerfanos::kMarca), QString::fromLatin1(id));
    proceso_->setProcessEnvironment(entorno);
    // The program writes into the relay's own pipes, which the relay reads only when
    // it has room for more (QProcess would read them into memory whatever comes).
    proceso_->setStandardOutputFile(QProcess::nullDevice());
    proceso_->setStandardErrorFile(QProcess::nullDevice());
    const int escribeSalida = salida[1], escribeErrores = errores[1];
    // The program ends with Tavorin, however Tavorin ends: the signal comes when the
    // thread that started it ends, and QProcess starts it from this one, the main
    // thread, which lives as long as Tavorin.
    const pid_t tavorin = ::getpid();
    proceso_->setChildProcessModifier([escribeSalida, escribeErrores, tavorin] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != tavorin) ::_exit(127);
        ::dup2(escribeSalida, STDOUT_FILENO);
        ::dup2(escribeErrores, STDERR_FILENO);
    });
    proceso_->start(QIODevice::WriteOnly);
    const bool enMarcha = proceso_->waitForStarted(5000);
    huerfanos::AnotarPrograma(pid_t(proceso_->processId()));
    // Only the program holds the writing ends now: its end is the pipes' end of file.
    ::close(salida[1]);
    ::close(errores[1]);
    if (!enMarcha) {
        ::close(salida[0]);
        ::close(errores[0]);
        if (proceso_->state() != QProcess::NotRunning) {
            proceso_->kill();
            proceso_->waitForFinished(1000);
        }
        return false;
    }
    for (auto [canal, fd] : {std::pair{&salida_, salida[0]}, std::pair{&errores_, errores[0]}}) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        canal->fd = fd;
        canal->aviso = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(canal->aviso, &QSocketNotifier::activated, this, [this, canal] {
            Leer(*canal);
            Bombear();
        });
    }
    pid_ = pid_t(proceso_->processId());
    rastro_ = huerfanos::Rastro(marca_, {pid_}, true);
    // Set from both sides, so that a signal to the group right after the start
    // cannot miss the program.
    ::setpgid(pid_, pid_);
    return true;
}

bool Relevo::Ejecutando() const { return proceso_->state() != QProcess::NotRunning; }

int Relevo::SenalFin() const {
    // After a crash exit QProcess keeps the signal as the exit code.
    if (!terminado_ || proceso_->exitStatus() != QProcess::CrashExit) return 0;
    return proceso_->exitCode();
}

int Relevo::EstadoFin() const {
    return terminado_ && proceso_->exitStatus() == QProcess::NormalExit ? proceso_->exitCode() : 0;
}

void Relevo::EnviarDato(const QString& texto) {
    if (silencio_ || atascado_ || proceso_->state() != QProcess::Running) return;
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!t.endsWith(u'\n')) t += u'\n';
    const QByteArray datos = t.toUtf8();
    if (proceso_->bytesToWrite() + datos.size() > kEntradaMaxima) {
        // The program does not read: give its input up and say so, in turn with its
        // lines and never from inside the caller's write.
        atascado_ = true;
        cola_.emplace_front(Tipo::Atasco, QString());
        if (!despachando_) tajada_->start();
        Regular();
        return;
    }
    proceso_->write(datos);
}

int Relevo::Leer(Canal& canal) {
    if (canal.fd < 0) return -1;
    if (bloque_.size() != kBloque) bloque_.resize(kBloque);
    ssize_t n;
    do {
        n = ::read(canal.fd, bloque_.data(), kBloque);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
    if (n <= 0) {
        // End of file: the last line needs no line end.
        if (!silencio_) Partir(canal, {}, true);
        Cerrar(canal);
        return -1;
    }
    if (!silencio_) Partir(canal, QByteArray::fromRawData(bloque_.constData(), n), false);
    return int(n);
}

void Relevo::Cerrar(Canal& canal) {
    if (canal.aviso) {
        canal.aviso->setEnabled(false);
        canal.aviso->deleteLater();
        canal.aviso = nullptr;
    }
    if (canal.fd >= 0) ::close(canal.fd);
    canal.fd = -1;
}

void Relevo::Regular() {
    // While stopping, whatever comes is read and dropped.
    const bool leer = silencio_ || (!despachando_ && cola_.empty());
    for (Canal* c : {&salida_, &errores_})
        if (c->aviso && c->aviso->isEnabled() != leer) c->aviso->setEnabled(leer);
}

void Relevo::Partir(Canal& canal, const QByteArray& datos, bool fin) {
    const Tipo tipo = &canal == &errores_ ? Tipo::Error : Tipo::Salida;
    auto entregar = [&](QByteArray& linea) {
        if (linea.size() > kLineaMaxima) linea.truncate(kLineaMaxima);
        cola_.emplace_back(tipo, relevo::Decodificar(linea));
        linea.clear();
    };
    const char* d = datos.constData();
    const qsizetype n = datos.size();
    qsizetype inicio = 0;
    if (canal.trasCr && n > 0) {
        if (d[0] == '\n') inicio = 1;
        canal.trasCr = false;
    }
    for (qsizetype i = inicio; i < n; ++i) {
        if (d[i] != '\n' && d[i] != '\r') continue;
        if (canal.descartando) {
            canal.descartando = false;
            canal.resto.clear();
        } else {
            canal.resto.append(d + inicio, i - inicio);
            entregar(canal.resto);
        }
        // CR LF is one line end, also when the LF comes with the next read.
        if (d[i] == '\r') {
            if (i + 1 == n)
                canal.trasCr = true;
            else if (d[i + 1] == '\n')
                ++i;
        }
        inicio = i + 1;
    }
    if (!canal.descartando) {
        canal.resto.append(d + inicio, n - inicio);
        if (canal.resto.size() > kLineaMaxima) {
            entregar(canal.resto);
            canal.descartando = true;
        }
    }
    if (fin) {
        if (!canal.descartando && !canal.resto.isEmpty()) entregar(canal.resto);
        canal.resto.clear();
        canal.descartando = false;
        canal.trasCr = false;
    }
}

void Relevo::Bombear() {
    if (despachando_ || borrando_) return;
    tajada_->stop();
    despachando_ = true;
    Regular();
    QPointer<Relevo> vivo(this);
    for (int n = 0; n < kTajada && !silencio_ && !cola_.empty(); ++n) {
        auto [tipo, linea] = std::move(cola_.front());
        cola_.pop_front();
        switch (tipo) {
            case Tipo::Salida: emit DatoRecibido(linea); break;
            case Tipo::Error: emit ErrorRecibido(linea); break;
            case Tipo::Atasco: emit EntradaAtascada(); break;
        }
        if (!vivo) return;
    }
    if (!silencio_ && cola_.empty() && terminado_ && !finAvisado_) {
        finAvisado_ = true;
        emit ProcesoTerminado();
        if (!vivo) return;
    }
    despachando_ = false;
    // The rest after a turn of the event loop.
    if (!silencio_ && !cola_.empty()) tajada_->start();
    Regular();
    QuizaBorrar();
}

void Relevo::Finalizado() {
    terminado_ = true;
    huerfanos::OlvidarPrograma(pid_);
    // What the program wrote before it ended waits in the pipes. A child of its own may
    // still hold them open, so their end of file is not awaited.
    for (Canal* c : {&salida_, &errores_}) {
        for (int i = 0; i < kBloquesAlFinal; ++i)
            if (Leer(*c) <= 0) break;
        if (c->fd < 0) continue;
        if (!silencio_) Partir(*c, {}, true);
        Cerrar(*c);
    }
    if (fase_ > 0 && fase_ < 3 && !GrupoVivo()) {
        parada_->stop();
        fase_ = 3;
    }
    Bombear();
    QuizaBorrar();
}

void Relevo::Detener() {
    silencio_ = true;
    cola_.clear();
    tajada_->stop();
    Regular();
    if (fase_ != 0 || pid_ == 0) return;
    if (!Ejecutando() && !GrupoVivo()) {
        fase_ = 3;
        QuizaBorrar();
        return;
    }
    fase_ = 1;
    parada_->start(kGraciaMs);
}

void Relevo::Paso() {
    const bool vivo = Ejecutando() || GrupoVivo();
    if (fase_ == 1 && vivo) {
        Senal(SIGTERM);
        fase_ = 2;
        parada_->start(kGraciaMs);
        return;
    }
    if (vivo) {
        Senal(SIGKILL);
        // What was killed ends a moment later: its orphans are reaped then.
        QTimer::singleShot(kGraciaMs, this, [this] { rastro_.Recoger(); });
    }
    fase_ = 3;
    QuizaBorrar();
}

void Relevo::Liberar() {
    liberado_ = true;
    Detener();
    QuizaBorrar();
}

std::vector<pid_t> Relevo::Huerfanos() const {
    if (pid_ <= 0) return {};
    std::vector<pid_t> vivos = rastro_.Vivos();
    rastro_.Recoger();
    return vivos;
}

bool Relevo::GrupoVivo() const { return pid_ > 0 && (::kill(-pid_, 0) == 0 || !Huerfanos().empty()); }

void Relevo::Senal(int senal) const {
    if (pid_ <= 0) return;
    ::kill(-pid_, senal);
    if (proceso_->state() != QProcess::NotRunning) ::kill(pid_, senal);
    huerfanos::Senal(Huerfanos(), senal);
}

void Relevo::QuizaBorrar() {
    if (!liberado_ || despachando_ || borrando_ || Ejecutando()) return;
    if (fase_ < 3 && GrupoVivo()) return;
    borrando_ = true;
    deleteLater();
}

void Relevo::AcabarYa(int esperaMs) {
    Senal(SIGKILL);
    if (Ejecutando()) proceso_->waitForFinished(esperaMs);
    fase_ = 3;
}

void Relevo::TerminarTodos() {
    std::vector<Relevo*> relevos(Vivos().begin(), Vivos().end());
    auto quedan = [&](bool grupo) {
        for (Relevo* r : relevos)
            if (r->Ejecutando() || (grupo && r->fase_ < 3 && r->GrupoVivo())) return true;
        return false;
    };
    // Programs being stopped get the rest of their grace; the others are asked at once.
    for (Relevo* r : relevos)
        if (r->fase_ != 1) r->Senal(SIGTERM);
    for (int ronda = 0; ronda < 2; ++ronda) {
        QElapsedTimer reloj;
        reloj.start();
        while (quedan(true) && reloj.elapsed() < kGraciaMs) {
            for (Relevo* r : relevos)
                if (r->Ejecutando()) r->proceso_->waitForFinished(10);
            ::usleep(2000);
        }
        if (!quedan(true)) break;
        for (Relevo* r : relevos) r->Senal(ronda == 0 ? SIGTERM : SIGKILL);
    }
    for (Relevo* r : relevos) {
        if (r->Ejecutando() || (r->fase_ < 3 && r->GrupoVivo())) r->AcabarYa(1000);
        r->silencio_ = true;
    }
    // A killed program and its children end a moment later, which on a busy machine may
    // be a while; the exit waits for that, not for a reaper of what has ended.
    auto enMarcha = [&] {
        for (Relevo* r : relevos)
            if (r->pid_ > 0 && huerfanos::GrupoEnMarcha(r->pid_)) return true;
        return false;
    };
    QElapsedTimer reloj;
    reloj.start();
    while (enMarcha() && reloj.elapsed() < kFinMs) ::usleep(5000);
    // What any relay's program left behind, also of relays already let go.
    std::set<pid_t> programas;
    for (Relevo* r : relevos) {
        r->fase_ = 3;
        if (r->pid_ > 0) programas.insert(r->pid_);
    }
    huerfanos::Rastro(QByteArray(huerfanos::kMarca) + "=", programas, true).Acabar(kGraciaMs, kFinMs);
}
