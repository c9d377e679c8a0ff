#include "engines/ListaMotores.h"

#include "platform/Nombres.h"

#include <QFileInfo>

std::vector<MotorEncontrado> MotoresEncontrados(const QString& carpetaMotor) {
    std::vector<MotorEncontrado> motores;
    const QString raiz = nombres::ConBarra(carpetaMotor);
    for (const QString& carpeta : nombres::Carpetas(raiz)) {
        const QString ruta = raiz + carpeta + "/";
        for (const QString& fichero : nombres::Ficheros(ruta)) {
            const QString final = fichero.right(3).toLower();
            const bool windows = final == u"exe" || final == u"com";
            const QFileInfo info(ruta + fichero);
            if (!windows && !(info.isFile() && info.isExecutable())) continue;
            QString nombre = fichero.toLower();
            if (windows) nombre.chop(4);
            motores.push_back({nombre, ruta + fichero});
            break;
        }
    }
    return motores;
}
