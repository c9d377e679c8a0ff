#include "platform/Escritorio.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

#include <memory>

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

}  // namespace

void Abrir(const QString& ruta, std::function<void(const Fallo&)> alFallar) {
    auto* p = new QProcess(QCoreApplication::instance());
    p->setProgram(kAbridor);
    p->setArguments({ruta});
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
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
}

}  // namespace escritorio
