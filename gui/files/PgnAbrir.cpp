// The PGN reader of the browser: opening a file, listing its games by a tag, the
// selected game's tags, FEN position and move text. The file is indexed once (each
// game's byte range and tags); a selection reads only its own game, and a file whose
// size or modification time changed is indexed again.
#include "files/ListaPgn.h"

#include "app/ApiFunciones.h"
#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/PgnLector.h"
#include "files/PgnMovimientos.h"
#include "network/Nuevo.h"
#include "network/Red.h"
#include "network/Reloj.h"
#include "platform/Controles.h"
#include "platform/Ficheros.h"
#include "platform/IniFile.h"
#include "platform/PictureBox.h"
#include "rules/textos.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

long JugadaPgnActual = -1;
bool GuardandoPgn = false;
long NumPartidasPgn = 0;
bool PgnIndexado = false;
bool PgnConFen = false;
QString TextoJugadasPgn;
QString TextoPgn;

namespace {

// The index of the open file and the games listed by the chosen tag.
struct FicheroIndexado {
    QString ruta;
    qint64 tamano = -1;
    QDateTime modificado;
    pgn::Indice indice;
    std::vector<int> lista;  // list entry k: game lista[k]
};

FicheroIndexado& Abierto() {
    static FicheroIndexado f;
    return f;
}

bool Vigente(const FicheroIndexado& f, const QString& ruta) {
    const QFileInfo info(ruta);
    return f.ruta == ruta && info.size() == f.tamano && info.lastModified() == f.modificado;
}

// Indexes the file anew (an unreadable file gives no game).
void Indexar(const QString& ruta, int etiqueta) {
    FicheroIndexado& f = Abierto();
    const QByteArray datos = ficheros::Leer(ruta).value_or(QByteArray());
    const QFileInfo info(ruta);
    f.ruta = ruta;
    f.tamano = info.size();
    f.modificado = info.lastModified();
    f.indice.Construir(std::string_view(datos.constData(), size_t(datos.size())));
    f.lista = f.indice.Lista(etiqueta);
}

int EtiquetaListada() { return std::max(0, ::ListaPgn().EtiquetaBuscada()); }

QString Valor(const std::string& bytes) { return ini::DecodificarLinea(QByteArray::fromStdString(bytes)); }

// The bytes of list entry k's game, from its own place in the file.
std::string Seccion(const QString& ruta, int k) {
    FicheroIndexado& f = Abierto();
    if (!Vigente(f, ruta)) Indexar(ruta, EtiquetaListada());
    if (k < 0 || k >= int(f.lista.size())) return {};
    const pgn::EntradaIndice& e = f.indice.Partidas()[size_t(f.lista[size_t(k)])];
    QFile fichero;
    if (!ficheros::AbrirLectura(fichero, ruta) || !fichero.seek(qint64(e.inicio))) return {};
    return fichero.read(qint64(e.fin - e.inicio)).toStdString();
}

// A game from its FEN tag: a fresh game state, no clocks, the position set up and
// shown from White's side. A position the FEN reader refuses sets up nothing.
void PrepararFen(const std::string& fen) {
    auto& g = Reglas();
    PgnConFen = true;
    rules::Reglas prueba;
    if (!prueba.AnalizarFen(fen)) {
        MostrarMensaje("Tavorin", MensajeNumero(texto::NadaCargado), MB_ICONINFORMATION);
        return;
    }
    ::Nuevo().VariablesCero();
    ::Tavorin().MovimientoAnulado();
    red::RelojesACero();
    g.TorreA1Movida = g.TorreH1Movida = g.TorreA8Movida = g.TorreH8Movida = true;
    g.Turno = turno::Nadie;
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.LeerFen(fen);
    red::Orientar(false);
}

}  // namespace

void OlvidarIndicePgn() { Abierto() = FicheroIndexado(); }

void AbrirPgn(const QString& ruta) {
    auto& l = ::ListaPgn();
    auto& t = ::Tavorin();
    t.OcultarMarcos();
    t.OcultarVentanas();
    if (l.AutoPlayActivo()) l.Command1_Click(5);
    PgnIndexado = false;
    GuardandoPgn = false;
    FicheroPgn = ruta;
    ::PgnMovimientos().Borrar();
    l.BorrarEtiquetas();

    t.CubrirTablero(true);

    l.PaintTab(1);
    QString titulo = LeerIni(FicheroIdioma, "Pgn", "Titulo");
    const int barra = FicheroPgn.lastIndexOf(u'/');
    if (barra >= 0) titulo += " - " + FicheroPgn.mid(barra + 1);
    l.setCaption(titulo);
    l.BorrarLista();
    l.NumeroPartida(0);
    l.EventosTag = -1;
    l.Show();
    ::PgnMovimientos().Show();
    t.update();
    l.CargarLuego();
}

void LeerPgn(const QString& fichero) {
    auto& l = ::ListaPgn();
    PgnConFen = false;
    if (!PgnIndexado) {
        Indexar(fichero, EtiquetaListada());
        const FicheroIndexado& f = Abierto();
        QStringList textos;
        textos.reserve(int(f.lista.size()));
        // A value of megabytes would take the list minutes to lay out: it shows short.
        for (int k : f.lista)
            textos << Valor(rules::Acortar(f.indice.Partidas()[size_t(k)].valores[size_t(EtiquetaListada())],
                                           rules::kEntradaCorta));
        NumPartidasPgn += long(textos.size());
        l.AnadirPartidas(textos);
        if (!l.Caption().endsWith(u'.'))
            l.setCaption(l.Caption() + " " + QString::number(NumPartidasPgn) + " " +
                         TextosIdioma[texto::PartidasLeidas]);
    }
    PgnIndexado = true;
    const pgn::Partida p = pgn::LeerPartida(Seccion(fichero, l.PartidaElegida()));
    // The tag boxes show a value of megabytes short too.
    for (int i = 0; i < pgn::kEtiquetas; ++i)
        if (p.presentes[size_t(i)]) l.PrintText(i, Valor(rules::Acortar(p.valores[size_t(i)], rules::kEntradaCorta)));
    if (p.conFen) PrepararFen(p.fen);
}

void LeerMovimientosPgn(const QString& fichero) {
    if (fichero.isEmpty()) return;
    const int k = ::ListaPgn().PartidaElegida();
    if (k < 0 || k >= int(Abierto().lista.size())) return;
    const pgn::Partida p = pgn::LeerPartida(Seccion(fichero, k));
    ::PgnMovimientos().Llenar(pgn::SepararJugadas(p.textoJugadas));
}
