#include "app/ApiFunciones.h"

#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/IniFile.h"
#include "platform/TiposFichero.h"
#include "shell/Mdi.h"

#include <QCoreApplication>
#include <QImage>
#include <QScreen>

#include <cmath>

QString LeerIni(const QString& fichero, const QString& seccion, const QString& clave) {
    QString valor = ini::Leer(fichero, seccion, clave, {}, 255);
    if (valor.isEmpty() && fichero.right(3).toLower() == "lng" && seccion.toLower() != "autor") IdiomaDefectuoso();
    return valor;
}

void EscribirIni(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor) {
    ini::Escribir(fichero, seccion, clave, valor);
}

long ContarColores(int bits, int planos) {
    double colores = std::pow(2.0, bits) * planos;
    if (colores > 2147483647.0 || colores < -2147483648.0) return 0;
    return long(colores);
}

long ComprobarColores(QScreen* pantalla) {
    int bits = pantalla ? pantalla->depth() : 32;
    long colores = ContarColores(bits, 1);
    if (colores != 0 && colores < 65500) {
        MostrarMensaje("Tavorin", "71", MB_ICONSTOP);
        ::Mdi().Unload();
    }
    return colores;
}

long ComprobarResolucion(QScreen* pantalla) {
    long ancho = pantalla ? pantalla->geometry().width() : 800;
    if (ancho < 800) {
        MostrarMensaje("Tavorin", "72", MB_ICONSTOP);
        ::Mdi().Unload();
    }
    return ancho;
}

bool RegistrarExtension(int n, const QString& extension, const QString& claveTipo, const QString& claveDescripcion,
                        const QString& descripcion, const QString& claveComando) {
    (void)claveTipo;
    (void)claveDescripcion;
    (void)claveComando;
    static const char* const iconos[] = {"", ":/builtin/Tvp.png", ":/builtin/Pgn.png", ":/builtin/Epd.png"};
    static const char* const marcas[] = {"", "RegitTvp", "RegitPgn", "RegitEpd"};
    if (n < 1 || n > 3) return false;
    tiposfichero::Tipo tipo;
    tipo.extension = extension;
    tipo.mime = tiposfichero::MimeDe(extension);
    tipo.descripcion = descripcion;
    tipo.icono = QImage(iconos[n]);
    QString programa = RutaApp + "tavorin";
    if (QCoreApplication::instance() && CarpetaPrograma() == QCoreApplication::applicationDirPath())
        programa = QCoreApplication::applicationFilePath();
    if (!tiposfichero::Registrar(tipo, programa)) return false;
    EscribirIni(FicheroIni, "Configuracion", marcas[n], "1");
    return true;
}
