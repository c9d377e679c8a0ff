#include "app/Variables.h"

#include "app/Ajustes.h"
#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Opciones.h"
#include "platform/Controles.h"
#include "platform/IniFile.h"
#include "platform/Nombres.h"
#include "platform/Relevo.h"
#include "rules/textos.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

QString RutaApp;
QString FicheroIni;
QString SaltoLinea;
QString FicheroPgn;
std::vector<QString> DatosPartida(2);
std::array<QString, 41> ColaEnvio;
long NumColaEnvio = 0;
QString DirectorioFicheros;
QString TipoFichero;
QString NickLocal;
std::array<QString, texto::UltimoTexto + 1> TextosIdioma;
std::array<QString, 3> TextosNivel;
std::array<QString, 4> TextosTab;
QString AparienciaActual;
QString TextoSinMotor;
QString FicheroIdioma;
QString CarpetaApariencia;
bool CambiandoIdioma = false;
bool TamanoCambiado = false;
bool RepintarTablero = false;
bool RepintarFichas = false;
long AnchoCasilla = 40;
long AltoCasilla = 40;
bool ModoPreparar = false;
long FichaPaleta = 0;
bool PartidaDeFichero = false;
bool PosicionPreparada = false;
bool SalirPendiente = false;
bool VentanasSituadas = false;
bool NuevoPendiente = false;
bool RetrocesoPendiente = false;
QString FicheroPendiente;
QString VersionRival;
QString NickRival;
std::string ColorUltimaPartidaRed;
QString LineaComandos;
bool RetrocesoEnCurso = false;
QString ReySeleccionado;
bool ArrastreCancelado = false;
long MinutosBlancas = 0, SegundosBlancas = 0, MinutosNegras = 0, SegundosNegras = 0;

std::function<void(int)> AlTerminar;

namespace {
QString g_carpetaPrograma;

// Function-local: the main window binds itself during static initialisation of
// another file.
Principal& PrincipalEnlazada() {
    static Principal p;
    return p;
}
}  // namespace

Principal EnlazarPrincipal(Principal principal) { return std::exchange(PrincipalEnlazada(), std::move(principal)); }

void CerrarPrincipal() {
    if (const Principal& p = PrincipalEnlazada(); p.cerrar) p.cerrar();
}

rules::Reglas& Reglas() {
    static rules::Reglas juego;
    return juego;
}

QString CarpetaPrograma() {
    if (!g_carpetaPrograma.isEmpty()) return g_carpetaPrograma;
    // The folder of the program's own file, by its bytes: a folder whose name is no
    // UTF-8 is still found (nombres::Carpeta).
    static const QString carpeta = [] {
        char exe[PATH_MAX];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
        if (n <= 0 || n >= ssize_t(sizeof exe)) return QCoreApplication::applicationDirPath();
        const QByteArray ruta(exe, n);
        return nombres::Carpeta(ruta.left(std::max<qsizetype>(1, ruta.lastIndexOf('/'))));
    }();
    return carpeta;
}

void FijarCarpetaPrograma(const QString& carpeta) { g_carpetaPrograma = carpeta; }

void IniciarRecursos() { Q_INIT_RESOURCE(builtin); }

void Terminar(int estado) {
    // No engine outlives the program.
    Relevo::TerminarTodos();
    if (AlTerminar) AlTerminar(estado);
    std::fflush(nullptr);
    std::_Exit(estado);
}

QString ProcesarLineaComandos(const QString& linea) {
    QString ruta = linea;
    if (ruta.startsWith(u'"')) {
        ruta.remove(0, 1);
        if (ruta.endsWith(u'"')) ruta.chop(1);
    }
    if (ruta.contains(u'~')) ruta = RutaLarga(ruta);
    return ruta;
}

QString ExtensionDe(const QString& ruta) { return ruta.right(3).toLower(); }

void FijarRutaIni() {
    FicheroIni = "Default.ini";
    RutaApp = nombres::ConBarra(CarpetaPrograma());
    FicheroIni = RutaApp + nombres::EntradaReal(RutaApp, FicheroIni);
}

bool ExisteFichero(const QString& ruta) {
    if (ruta.isEmpty()) {
        MostrarMensaje("Tavorin", "El fichero " + ::Opciones().IdiomaElegido() + ".lng" + " no se ha encontrado.",
                       MB_ICONSTOP);
        CerrarPrincipal();
        return false;
    }
    QFileInfo info(ruta);
    if (info.exists() && !info.isDir()) return true;
    const QString tipo = ExtensionDe(ruta);
    if (tipo == "ini" && TextosIdioma[texto::AyudaNoEncontrada].isEmpty())
        MostrarMensaje("Tavorin", "El fichero Default.ini no se ha encontrado.", MB_ICONINFORMATION);
    return false;
}

bool FicheroEscribible(const QString& ruta) {
    QFileInfo info(ruta);
    if (!info.exists()) return true;
    if (info.isFile() && !ini::MarcadoSoloLectura(ruta) && ::access(QFile::encodeName(ruta).constData(), W_OK) == 0)
        return true;
    AvisarNoEscribible(ruta);
    return false;
}

void AvisarNoEscribible(const QString& ruta) {
    if (const QString texto = TextoNoEscribible(QFileInfo(ruta).fileName()); !texto.isEmpty())
        MostrarMensaje("Tavorin", texto, MB_ICONINFORMATION);
}

void CentrarVentana(Forma& ventana) {
    const Principal& m = PrincipalEnlazada();
    if (!m.ancho || !m.altoInterior) return;
    ventana.setTop(m.altoInterior() / 2 - ventana.Height() / 2);
    ventana.setLeft(m.ancho() / 2 - ventana.Width() / 2);
}

QString RutaLarga(const QString& ruta) {
    // Through the name's own bytes, which need not be UTF-8.
    char real[PATH_MAX];
    return ::realpath(nombres::Bytes(ruta).constData(), real) ? nombres::DeBytes(real) : QString();
}

long TiempoTranscurrido(long inicio) {
    using namespace std::chrono;
    auto ahora = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    auto lectura = static_cast<int32_t>(static_cast<uint32_t>(ahora & 0xFFFFFFFF));
    if (inicio == -1) return lectura;
    long long diferencia = static_cast<long long>(lectura) - inicio;
    if (diferencia > 2147483647LL || diferencia < -2147483648LL) return 0;
    return long(diferencia);
}
