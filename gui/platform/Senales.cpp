#include "platform/Senales.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace senales {

namespace {

int g_tuberia[2] = {-1, -1};
pid_t g_programa = 0;

// Only async-signal-safe calls. A child QProcess has forked and not yet replaced by
// its program shares the handler and the pipe: what it is sent is not Tavorin's.
void Manejador(int senal) {
    const int guardado = errno;
    if (::getpid() == g_programa) {
        const unsigned char n = static_cast<unsigned char>(senal);
        [[maybe_unused]] const ssize_t escrito = ::write(g_tuberia[1], &n, 1);
    }
    errno = guardado;
}

}  // namespace

bool AlTerminar(std::function<void(int senal)> alTerminar) {
    if (g_tuberia[0] >= 0 || ::pipe2(g_tuberia, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    g_programa = ::getpid();
    auto* aviso = new QSocketNotifier(g_tuberia[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(aviso, &QSocketNotifier::activated, aviso, [aviso, alTerminar = std::move(alTerminar)] {
        unsigned char n = 0;
        if (::read(g_tuberia[0], &n, 1) != 1) return;
        aviso->setEnabled(false);
        alTerminar(n);
    });
    struct sigaction accion = {};
    accion.sa_handler = Manejador;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    bool tomadas = true;
    for (int senal : {SIGTERM, SIGINT}) tomadas = ::sigaction(senal, &accion, nullptr) == 0 && tomadas;
    return tomadas;
}

}  // namespace senales
