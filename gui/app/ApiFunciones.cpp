#include "app/ApiFunciones.h"

#include "app/Ajustes.h"
#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "platform/Ficheros.h"
#include "platform/IniFile.h"
#include "platform/TiposFichero.h"
#include "rules/textos.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QScreen>

#include <cmath>

std::function<void(const QString&, const QString&, bool)> AlUsarAjuste;

QString LeerIni(const QString& fichero, const QString& seccion, const QString& clave) {
    if (AlUsarAjuste && fichero == FicheroIni) AlUsarAjuste(seccion, clave, false);
    const std::optional<QString> leido = ini::Valor(fichero, seccion, clave, 255);
    if ((leido && !leido->isEmpty()) || fichero.right(3).toLower() != "lng" || seccion.toLower() == "autor")
        return leido.value_or(QString());
    // A language file made before the program's newest texts lacks them: they come from
    // the file the program comes with. An empty text, or one no such file has, is a
    // fault of the file; its version is its own.
    const QString deSerie = seccion.toLower() == "version" ? QString() : TextoDeSerie(fichero, seccion, clave);
    if (leido || deSerie.isEmpty()) IdiomaDefectuoso();
    return deSerie.left(254);
}

namespace {
// The user has been told this run that the settings cannot be written.
bool g_escrituraAvisada = false;
// The user has been told this run that a file type could not be registered.
bool g_registroAvisado = false;
}  // namespace

void EscribirIni(const QString& fichero, const std::vector<ini::Cambio>& cambios) {
    if (AlUsarAjuste && fichero == FicheroIni)
        for (const ini::Cambio& c : cambios) AlUsarAjuste(c.seccion, c.clave, true);
    if (ini::Escribir(fichero, cambios) || g_escrituraAvisada || fichero != FicheroIni) return;
    // Before the language is read there is no text to tell it with; the next failure will.
    if (TextosIdioma[texto::NoSeEscribe].isEmpty()) return;
    g_escrituraAvisada = true;
    if (const QString texto = TextoNoEscribible(fichero); !texto.isEmpty())
        MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
}

void EscribirIni(const QString& fichero, const QString& seccion, const QString& clave, const QString& valor) {
    EscribirIni(fichero, {{seccion, clave, valor}});
}

bool IniConAjustes(const QString& fichero) {
    // A FIFO or a device is not opened at all: it holds no settings.
    const std::optional<QByteArray> datos = ficheros::Leer(fichero);
    if (!datos) return false;
    for (const QString& seccion : ini::Documento(*datos).Secciones())
        if (seccion.compare("Configuracion", Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString TextoNoEscribible(const QString& nombre) {
    if (!TextosIdioma[texto::NoSeEscribe].contains(u'$')) return QString();
    return CambiarDolar(TextosIdioma[texto::NoSeEscribe], "\r\n" + nombre + "\r\n", true);
}

bool AjustesEscribibles() {
    if (!g_escrituraAvisada) return FicheroEscribible(FicheroIni);
    const QFileInfo info(FicheroIni);
    return !info.exists() || (info.isFile() && info.isWritable() && !ini::MarcadoSoloLectura(FicheroIni));
}

void OlvidarAvisoEscritura() { g_escrituraAvisada = false; }

long ContarColores(int bits, int planos) {
    double colores = std::pow(2.0, bits) * planos;
    if (colores > 2147483647.0 || colores < -2147483648.0) return 0;
    return long(colores);
}

long ComprobarColores(QScreen* pantalla) {
    int bits = pantalla ? pantalla->depth() : 32;
    long colores = ContarColores(bits, 1);
    if (colores != 0 && colores < 65500) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::PocosColores), MB_ICONSTOP);
        CerrarPrincipal();
    }
    return colores;
}

long ComprobarResolucion(QScreen* pantalla) {
    long ancho = pantalla ? pantalla->geometry().width() : 800;
    if (ancho < 800) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::PantallaEstrecha), MB_ICONSTOP);
        CerrarPrincipal();
    }
    return ancho;
}

bool RegistrarExtension(int n, const QString& extension, const QString& claveTipo, const QString& claveDescripcion,
                        const QString& descripcion, const QString& claveComando) {
    (void)claveTipo;
    (void)claveDescripcion;
    (void)claveComando;
    static const char* const iconos[] = {"", ":/builtin/Tvp.png", ":/builtin/Pgn.png", ":/builtin/Epd.png"};
    using enum ajustes::Clave;
    static const ajustes::Clave marcas[] = {RegitTvp, RegitTvp, RegitPgn, RegitEpd};
    if (n < 1 || n > 3) return false;
    tiposfichero::Tipo tipo;
    tipo.extension = extension;
    tipo.mime = tiposfichero::MimeDe(extension);
    tipo.descripcion = descripcion;
    tipo.icono = QImage(iconos[n]);
    QString programa = RutaApp + "tavorin";
    if (QCoreApplication::instance() && CarpetaPrograma() == QCoreApplication::applicationDirPath())
        programa = QCoreApplication::applicationFilePath();
    // By the name the system has for it: a folder reached through its descriptor is
    // named by its own bytes again (which a desktop entry may not carry).
    if (programa.startsWith("/proc/"))
        if (const QString real = RutaLarga(programa); !real.isEmpty()) programa = real;
    QString fallo;
    const bool hecho = tiposfichero::Registrar(tipo, programa, &fallo);
    // Only a type whose files were written counts as registered: one that failed is
    // tried (or asked about) again at the next start.
    if (hecho) ajustes::Escribir(marcas[n], "1");
    if (!hecho && !g_registroAvisado) {
        g_registroAvisado = true;
        if (const QString texto = TextoNoEscribible(fallo); !texto.isEmpty())
            MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
    }
    return hecho;
}
