#include "platform/Escritorio.h"

#include "platform/Huerfanos.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <iterator>
#include <map>
#include <memory>
#include <unistd.h>

namespace escritorio {

namespace {

const char* const kAbridor = "xdg-open";

// The last line the opener wrote on its error output.
QString UltimaLinea(const QByteArray& salida) {
    const QList<QByteArray> lineas = salida.split('\n');
    for (auto l = lineas.crbegin(); l != lineas.crend(); ++l) {
        const QString texto = QString::fromLocal8Bit(*l).trimmed();
        if (!texto.isEmpty()) return texto;
    }
    return {};
}

// What an opener leaves behind. A viewer that forks away from it comes back to Tavorin,
// the reaper of its descendants' orphans (platform/Huerfanos.h); the viewer is the
// user's: it is never ended, only reaped once the user has closed it.
struct Seguido {
    huerfanos::Rastro rastro;
    bool abridorVivo = true;
};

std::map<int, Seguido>& Seguidos() {
    static std::map<int, Seguido> seguidos;
    return seguidos;
}

// How often the orphans of the openers are looked at while there may be any.
constexpr int kRondaMs = 2000;

void Ronda();

QTimer* Reloj() {
    static QPointer<QTimer> reloj;
    if (!reloj) {
        reloj = new QTimer(QCoreApplication::instance());
        reloj->setInterval(kRondaMs);
        QObject::connect(reloj, &QTimer::timeout, reloj, [] { Ronda(); });
    }
    return reloj;
}

// Reaps what has ended; an opener is forgotten once it has ended and none of its
// orphans is alive.
void Ronda() {
    auto& seguidos = Seguidos();
    for (auto s = seguidos.begin(); s != seguidos.end();) {
        const bool quedan = !s->second.rastro.Vivos().empty();
        s->second.rastro.Recoger();
        s->second.rastro.OlvidarFamilias();
        s = quedan || s->second.abridorVivo ? std::next(s) : seguidos.erase(s);
    }
    if (seguidos.empty()) Reloj()->stop();
}

// Marks the opener's environment, and makes it lead a group of its own: what it leaves
// is known by the mark, or by the group for what ended before it was seen. Returns the
// mark's number, 0 where nothing is followed: only a reaper gets orphans, and a mark
// this process inherited would be on its other children too.
int Marcar(QProcess* p) {
    if (!huerfanos::Adoptado() || qEnvironmentVariableIsSet(huerfanos::kMarcaAbridor)) return 0;
    static int abridores = 0;
    const int id = ++abridores;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QString::fromLatin1(huerfanos::kMarcaAbridor), QString::number(id));
    p->setProcessEnvironment(entorno);
    p->setChildProcessModifier([] { ::setpgid(0, 0); });
    return id;
}

// Follows the opener of mark `id` once it has started.
void Seguir(QProcess* p, int id) {
    const pid_t pid = pid_t(p->processId());
    if (id == 0 || pid <= 0) return;
    // Set from both sides, so that the group is there before the first look.
    ::setpgid(pid, pid);
    const QByteArray marca = QByteArray(huerfanos::kMarcaAbridor) + "=" + QByteArray::number(id);
    Seguidos().emplace(id, Seguido{huerfanos::Rastro(marca, {pid}), p->state() != QProcess::NotRunning});
    // What forked away from the opener is Tavorin's once it has ended: it is seen now,
    // in case it ends before the next look.
    auto fin = [id] {
        auto s = Seguidos().find(id);
        if (s != Seguidos().end()) s->second.abridorVivo = false;
        Ronda();
    };
    QObject::connect(p, &QProcess::finished, p, fin);
    QObject::connect(p, &QProcess::errorOccurred, p, [fin](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) fin();
    });
    if (!Reloj()->isActive()) Reloj()->start();
}

}  // namespace

void Abrir(const QString& ruta, std::function<void(const Fallo&)> alFallar) {
    auto* p = new QProcess(QCoreApplication::instance());
    p->setProgram(kAbridor);
    p->setArguments({ruta});
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    const int id = Marcar(p);
    // The failure is told outside the process's own events: the box that tells it
    // runs a loop of its own.
    auto contar = [alFallar](const Fallo& f) {
        if (alFallar) QTimer::singleShot(0, QCoreApplication::instance(), [alFallar, f] { alFallar(f); });
    };
    QObject::connect(p, &QProcess::errorOccurred, p, [p, contar](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        contar(Fallo{true, {}});
        p->deleteLater();
    });
    // The opener may run the program it starts in the foreground: of its error
    // output only the end is kept.
    auto errores = std::make_shared<QByteArray>();
    QObject::connect(p, &QProcess::readyReadStandardError, p, [p, errores] {
        *errores += p->readAllStandardError();
        if (errores->size() > 4096) errores->remove(0, errores->size() - 4096);
    });
    QObject::connect(p, &QProcess::finished, p, [p, contar, errores](int codigo, QProcess::ExitStatus estado) {
        if (estado != QProcess::NormalExit || codigo != 0) {
            QString motivo = UltimaLinea(*errores + p->readAllStandardError());
            if (motivo.isEmpty())
                motivo = QString(kAbridor) +
                         (estado == QProcess::NormalExit ? ": exit status " + QString::number(codigo) : ": crashed");
            contar(Fallo{false, motivo});
        }
        p->deleteLater();
    });
    p->start();
    // The opener is QProcess's to wait for, not the orphans' reaper's.
    const pid_t pid = pid_t(p->processId());
    huerfanos::AnotarPrograma(pid);
    QObject::connect(p, &QProcess::finished, p, [pid] { huerfanos::OlvidarPrograma(pid); });
    Seguir(p, id);
}

}  // namespace escritorio
