#include "board/Apariencia.h"

#include "app/Opciones.h"
#include "board/Tavorin.h"
#include "platform/Ficheros.h"
#include "platform/Nombres.h"
#include "rules/reglas.h"

#include <QFile>
#include <QImageReader>
#include <QSize>

namespace apariencia {

namespace {

QImage CargarImagen(const QString& carpeta, const QString& nombre, bool& bien) {
    QString ruta = carpeta + nombres::EntradaReal(carpeta, nombre);
    // A picture that is no regular file (a FIFO would keep the reader waiting) is
    // unreadable.
    QFile fichero;
    if (!ficheros::AbrirLectura(fichero, ruta)) {
        bien = false;
        return {};
    }
    QImageReader lector(&fichero);
    lector.setDecideFormatFromContent(true);
    QImage img = lector.read();
    if (img.isNull()) bien = false;
    return img;
}

}  // namespace

bool Leer(const QString& carpeta, std::array<QImage, 13>& fichas, std::array<QImage, 13>& mascaras,
          std::array<QImage, 3>& cuadros) {
    bool bien = true;
    QString primero;
    for (const QString& f : nombres::Ficheros(carpeta)) {
        if (f.startsWith("peonb.", Qt::CaseInsensitive)) {
            primero = f;
            break;
        }
    }
    const QString ext = ExtensionApariencia(primero);
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza && bien; ++i)
        fichas[i] = CargarImagen(carpeta, NombreFicha(i) + ext, bien);
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza && bien; ++i)
        mascaras[i] = CargarImagen(carpeta, QString(NombreFicha(i)) + "f" + ext, bien);
    if (bien) cuadros[1] = CargarImagen(carpeta, "cuadrob" + ext, bien);
    if (bien) cuadros[2] = CargarImagen(carpeta, "cuadron" + ext, bien);
    if (!bien) return false;
    std::array<QSize, 13> tamanosFichas, tamanosMascaras;
    std::array<QSize, 3> tamanosCuadros;
    for (int i = rules::PrimeraPieza; i <= rules::UltimaPieza; ++i) {
        tamanosFichas[i] = fichas[i].size();
        tamanosMascaras[i] = mascaras[i].size();
    }
    tamanosCuadros[1] = cuadros[1].size();
    tamanosCuadros[2] = cuadros[2].size();
    return AparienciaValida(tamanosFichas, tamanosMascaras, tamanosCuadros);
}

}  // namespace apariencia
