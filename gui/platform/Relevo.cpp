#include "platform/Relevo.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStringDecoder>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <set>
#include <string>
#include <signal.h>
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

// Whether a process of the group still runs, read from /proc: one that has ended and
// waits for its reaper (a zombie) does not count, unlike for kill(-grupo, 0).
bool GrupoEnMarcha(pid_t grupo) {
    DIR* d = ::opendir("/proc");
    if (!d) return false;
    bool enMarcha = false;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        const std::string ruta = std::string("/proc/") + e->d_name + "/stat";
        FILE* f = std::fopen(ruta.c_str(), "r");
        if (!f) continue;
        char linea[512];
        const bool leida = std::fgets(linea, sizeof linea, f) != nullptr;
        std::fclose(f);
        // pid (name) state ppid pgrp ...: the name may hold blanks and brackets.
        const char* cierre = leida ? std::strrchr(linea, ')') : nullptr;
        char estado = 0;
        int padre = 0, pgrp = 0;
        if (!cierre || std::sscanf(cierre + 1, " %c %d %d", &estado, &padre, &pgrp) != 3) continue;
        if (pgrp == grupo && estado != 'Z' && estado != 'X') {
            enMarcha = true;
            break;
        }
    }
    ::closedir(d);
    return enMarcha;
}

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

Relevo::Relevo(QObject* padre) : QObject(padre), proceso_(new QProcess(this)), parada_(new QTimer(this)) {
    Vivos().insert(this);
    // A write to a program that has gone must not end Tavorin.
    static const bool sinSigpipe = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)sinSigpipe;
    proceso_->setProcessChannelMode(QProcess::SeparateChannels);
    parada_->setSingleShot(true);
    connect(proceso_, &QProcess::readyReadStandardOutput, this, [this] { Leer(false); });
    connect(proceso_, &QProcess::readyReadStandardError, this, [this] { Leer(true); });
    connect(proceso_, &QProcess::finished, this, [this] { Finalizado(); });
    connect(parada_, &QTimer::timeout, this, [this] { Paso(); });
}

Relevo::~Relevo() {
    Vivos().erase(this);
    if (Ejecutando() || (fase_ < 3 && GrupoVivo())) AcabarYa(2000);
}

bool Relevo::Ejecutar(const QString& ruta) {
    if (pid_ != 0 || proceso_->state() != QProcess::NotRunning) return false;
    const QFileInfo fichero(ruta);
    if (!fichero.isFile()) return false;
    proceso_->setProgram(ruta);
    proceso_->setArguments({});
    proceso_->setWorkingDirectory(fichero.absolutePath());
    proceso_->setChildProcessModifier([] { ::setpgid(0, 0); });
    proceso_->start(QIODevice::ReadWrite);
    if (!proceso_->waitForStarted(5000)) {
        if (proceso_->state() != QProcess::NotRunning) {
            proceso_->kill();
            proceso_->waitForFinished(1000);
        }
        return false;
    }
    pid_ = pid_t(proceso_->processId());
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
    if (silencio_ || proceso_->state() != QProcess::Running) return;
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!t.endsWith(u'\n')) t += u'\n';
    proceso_->write(t.toUtf8());
}

void Relevo::Leer(bool error) {
    const QByteArray datos = error ? proceso_->readAllStandardError() : proceso_->readAllStandardOutput();
    if (silencio_) return;
    Partir(error ? errores_ : salida_, datos, error, false);
    Bombear();
}

void Relevo::Partir(Canal& canal, const QByteArray& datos, bool error, bool fin) {
    auto entregar = [&](QByteArray linea) {
        linea.replace('\r', QByteArray());
        if (linea.size() > kLineaMaxima) linea.truncate(kLineaMaxima);
        cola_.emplace_back(error, relevo::Decodificar(linea));
    };
    qsizetype inicio = 0;
    for (qsizetype fin_linea = datos.indexOf('\n'); fin_linea >= 0; fin_linea = datos.indexOf('\n', inicio)) {
        if (canal.descartando) {
            canal.descartando = false;
            canal.resto.clear();
        } else {
            canal.resto.append(datos.constData() + inicio, fin_linea - inicio);
            entregar(canal.resto);
            canal.resto.clear();
        }
        inicio = fin_linea + 1;
    }
    if (!canal.descartando) {
        canal.resto.append(datos.constData() + inicio, datos.size() - inicio);
        if (canal.resto.size() > kLineaMaxima) {
            entregar(canal.resto);
            canal.resto.clear();
            canal.descartando = true;
        }
    }
    if (fin) {
        if (!canal.descartando && !canal.resto.isEmpty()) entregar(canal.resto);
        canal.resto.clear();
        canal.descartando = false;
    }
}

void Relevo::Bombear() {
    if (despachando_ || borrando_) return;
    despachando_ = true;
    QPointer<Relevo> vivo(this);
    while (!silencio_ && !cola_.empty()) {
        auto [error, linea] = std::move(cola_.front());
        cola_.pop_front();
        if (error)
            emit ErrorRecibido(linea);
        else
            emit DatoRecibido(linea);
        if (!vivo) return;
    }
    if (!silencio_ && terminado_ && !finAvisado_) {
        finAvisado_ = true;
        emit ProcesoTerminado();
        if (!vivo) return;
    }
    despachando_ = false;
    QuizaBorrar();
}

void Relevo::Finalizado() {
    terminado_ = true;
    if (!silencio_) {
        Partir(salida_, proceso_->readAllStandardOutput(), false, true);
        Partir(errores_, proceso_->readAllStandardError(), true, true);
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
    if (vivo) Senal(SIGKILL);
    fase_ = 3;
    QuizaBorrar();
}

void Relevo::Liberar() {
    liberado_ = true;
    Detener();
    QuizaBorrar();
}

bool Relevo::GrupoVivo() const { return pid_ > 0 && ::kill(-pid_, 0) == 0; }

void Relevo::Senal(int senal) const {
    if (pid_ <= 0) return;
    ::kill(-pid_, senal);
    if (proceso_->state() != QProcess::NotRunning) ::kill(pid_, senal);
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
            if (r->pid_ > 0 && GrupoEnMarcha(r->pid_)) return true;
        return false;
    };
    QElapsedTimer reloj;
    reloj.start();
    while (enMarcha() && reloj.elapsed() < kFinMs) ::usleep(5000);
    for (Relevo* r : relevos) r->fase_ = 3;
}
