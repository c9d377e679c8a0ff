#include "files/Guardar.h"

#include "app/CMensaje.h"
#include "app/CommonDialogs.h"
#include "app/Idioma.h"
#include "app/Opciones.h"
#include "app/Variables.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "engines/Cpu.h"
#include "files/ListaPgn.h"
#include "files/SetTableroF.h"
#include "files/TvpTexto.h"
#include "network/Chat.h"
#include "network/Reloj.h"
#include "platform/Ficheros.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

const QChar kNul(u'\0');

// One pair of the dialog's filter. The dialog shows the patterns after the
// description itself, so a description that names them already loses them.
QString Filtro(const QString& descripcion, const QString& patron) {
    static const QRegularExpression patrones(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString d = descripcion;
    d.remove(patrones);
    return d + kNul + patron + kNul;
}

void Aviso(const QString& texto, long icono = MB_ICONINFORMATION) { MostrarMensaje("Tavorin", texto, icono); }

// Text 28 for a write that did not happen: the existing file's name when it could
// not be made writable, else `ruta`.
void AvisoNoEscrito(Escritura e, const QString& ruta) {
    Aviso(TextoConNombre(texto::NoSeEscribe, e == Escritura::Protegida ? QFileInfo(ruta).fileName() : ruta));
}

bool EscribirTexto(const QString& ruta, const QByteArray& texto) {
    const Escritura e = EscribirFichero(ruta, [&texto](QIODevice& d) { return d.write(texto) == texto.size(); });
    if (e == Escritura::Hecha) return true;
    AvisoNoEscrito(e, ruta);
    return false;
}

// An existing file may be written once its owner may write it; nothing but a regular
// file is written.
Escritura PermitirEscritura(const QString& ruta) {
    if (ficheros::Destino(ruta) != ficheros::Escrito::Hecho) return Escritura::Protegida;
    const QFileInfo info(ruta);
    if (!info.exists()) return Escritura::Hecha;
    struct stat st {};
    const bool sinPermiso = ::stat(QFile::encodeName(ruta).constData(), &st) == 0 && !(st.st_mode & S_IWUSR);
    if (!sinPermiso && info.isWritable()) return Escritura::Hecha;
    if (!QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::WriteOwner)) return Escritura::Protegida;
    return Escritura::Hecha;
}

QString CrLf(QString texto) {
    texto.replace("\r\n", "\n");
    texto.replace(u'\n', "\r\n");
    return texto;
}

}  // namespace

QString TextoConNombre(int n, const QString& nombre) {
    const QString texto = (n >= 0 && n < int(TextosIdioma.size())) ? TextosIdioma[n] : QString();
    return CambiarDolar(texto, "\r\n" + nombre + "\r\n");
}

QString NombreConExtension(const QString& ruta, const QString& filtro, bool soloEpd) {
    const QString tipo = ExtensionDe(ruta);
    if (soloEpd) return tipo == "epd" ? ruta : ruta + ".epd";
    if (tipo == "tvp" || tipo == "pgn" || tipo == "epd") return ruta;
    const int indice = filtro.toInt();
    return ruta + (indice == 2 ? ".pgn" : indice == 3 ? ".epd" : ".tvp");
}

Escritura EscribirFichero(const QString& ruta, const std::function<bool(QIODevice&)>& escribir) {
    if (const Escritura e = PermitirEscritura(ruta); e != Escritura::Hecha) return e;
    QBuffer contenido;
    contenido.open(QIODevice::WriteOnly);
    if (!escribir(contenido)) return Escritura::Fallida;
    switch (ficheros::Escribir(ruta, contenido.data())) {
        case ficheros::Escrito::Hecho: return Escritura::Hecha;
        case ficheros::Escrito::NoRegular: return Escritura::Protegida;
        case ficheros::Escrito::Fallido: break;
    }
    return Escritura::Fallida;
}

void GuardarPartida() {
    FicheroPendiente.clear();
    // Nothing is saved while the board is being set up, nor half a game or position
    // still being loaded from a file (which the box says).
    if (ModoPreparar) return;
    if (PartidaDeFichero) {
        Aviso(MensajeNumero(texto::NoConFichero));
        return;
    }
    // A position set up by hand or loaded from a list saves as EPD only.
    const bool soloEpd = PosicionPreparada;
    QString carpeta;
    QString ruta;
    const CompletarNombre completar = [soloEpd](const QString& r, const QString& f) {
        return NombreConExtension(r, f, soloEpd);
    };
    if (soloEpd) {
        ruta = DialogoFichero(&::Jugadas(), 2, TextosIdioma[texto::GuardarComo], "Tavorin",
                              Filtro(TextosIdioma[texto::Posiciones] + " Epd", "*.epd"), QString(), "1", carpeta,
                              completar);
    } else {
        const QString filtro = Filtro(TextosIdioma[texto::PartidasDe] + " " + "Tavorin", "*.tvp") +
                               Filtro(TextosIdioma[texto::Partidas] + " Pgn", "*.pgn") +
                               Filtro(TextosIdioma[texto::Posiciones] + " Epd", "*.epd");
        ruta = DialogoFichero(&::Jugadas(), 2, TextosIdioma[texto::GuardarComo], "Tavorin", filtro, DirectorioFicheros,
                              TipoFichero, carpeta, completar);
    }
    if (ruta.isEmpty()) return;
    ruta = NombreConExtension(ruta, TipoFichero, soloEpd);
    FicheroPendiente = ruta;
    const QString tipo = ExtensionDe(ruta);
    auto& g = Reglas();
    if (tipo == "pgn") {
        // The PGN browser writes the file later, once its tags are filled in.
        if (const Escritura e = PermitirEscritura(ruta); e != Escritura::Hecha) {
            AvisoNoEscrito(e, ruta);
            FicheroPendiente.clear();
            return;
        }
        GuardarPartidaPgn();
        return;
    }
    QByteArray texto;
    if (tipo == "epd") {
        g.EscribirFen();
        texto = (QString::fromStdString(g.TextoFen) + "\r\n").toUtf8();
    } else {
        const QString blancas = tvp::TokenReloj(::Reloj().Tiempo(true));
        const QString negras = tvp::TokenReloj(::Reloj().Tiempo(false));
        const QString tipoPartida = tvp::LetraTipo(QString::fromStdString(g.TipoPartida), blancas, negras);
        texto = tvp::TextoFichero(blancas, negras, tipoPartida, QString::fromStdString(g.Jugadas.List[4]));
    }
    if (!EscribirTexto(ruta, texto)) return;
    Aviso(MensajeNumero(texto::PartidaGuardada));
    FicheroPendiente.clear();
}

void GuardarChat() {
    if (::ListaPgn().Visible() || ::Cpu().Visible() || ::SetTableroF().Visible()) return;
    QString carpeta;
    const QString ruta = DialogoFichero(
        &::Chat(), 2, TextosIdioma[texto::GuardarComo], "Chat",
        Filtro(TextosIdioma[texto::FicherosTexto], "*.txt") + Filtro(TextosIdioma[texto::TodosLosFicheros], "*.*"),
        RutaApp, "1", carpeta);
    if (ruta.isEmpty()) return;
    // The date as the chosen language writes it; the system's for a language Qt does not know.
    QLocale idioma = LocaleDeIdioma(::Opciones().IdiomaElegido());
    if (idioma.language() == QLocale::C) idioma = QLocale::system();
    const QString fecha = idioma.toString(QDate::currentDate(), QLocale::LongFormat);
    const QString texto = "Tavorin. " + fecha + "\r\n" + CrLf(::Chat().Conversacion()) + "\r\n";
    if (!EscribirTexto(ruta, texto.toUtf8())) return;
    Aviso(MensajeNumero(texto::ChatGuardado));
}

void GuardarImagen() {
    QString carpeta;
    const QString ruta = DialogoFichero(&::Jugadas(), 2, TextosIdioma[texto::GuardarImagen], "Tavorin",
                                        Filtro("Mapa de bits (*.bmp)", "*.bmp"), RutaApp, "1", carpeta);
    if (ruta.isEmpty()) return;
    const QImage imagen = ::Tavorin().ImagenTablero();
    const Escritura e = EscribirFichero(ruta, [&imagen](QIODevice& d) { return imagen.save(&d, "BMP"); });
    if (e == Escritura::Protegida) {
        AvisoNoEscrito(e, ruta);
        return;
    }
    if (e == Escritura::Fallida) {
        QString texto = TextosIdioma[texto::NoSeEscribe];
        const qsizetype dolar = texto.indexOf(u'$');
        if (dolar >= 0) texto.replace(dolar, 2, ruta + " ");
        Aviso(texto, MB_ICONSTOP);
        return;
    }
    Aviso(MensajeNumero(texto::ImagenGuardada));
}
