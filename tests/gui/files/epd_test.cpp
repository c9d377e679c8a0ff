// EPD lists and positions: which lines make a list, the list window with its
// preview, setting a position up (alone and for a peer), and files that give none.
#include "ficheros_prueba.h"

#include "app/Variables.h"
#include "board/Tavorin.h"
#include "files/EpdLista.h"
#include "files/Guardar.h"
#include "files/fEpd.h"
#include "juego.h"
#include "muestra.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include "platform/ListaLineas.h"

namespace {

const char* const kBlancas = "4k3/8/8/8/8/8/4P3/4K3 w - - bm e4;";
const char* const kNegras = "r3k2r/8/8/8/8/8/8/4K3 b kq - id \"x\";";

std::vector<QString> Lineas(const QString& fichero) {
    QFile f(fichero);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    std::vector<QString> v;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (!l.trimmed().isEmpty()) v.push_back(QString::fromUtf8(l.trimmed()));
    return v;
}

QStringList Campos(const QString& linea, int n) { return linea.split(u' ').mid(0, n); }

bool AvisoEnTablero() { return Tavorin().PicBuffer->TextosImpresos().contains(TextosIdioma[69]); }

TEST(Lista, TheFirstLineMustBeAPositionLaterBadLinesAreSkipped) {
    rules::Reglas r;
    auto posicion = [&r](const std::string& l) { return r.AnalizarFen(l).has_value(); };
    using L = epd::Lectura;
    const QByteArray b = kBlancas, n = kNegras;
    const std::tuple<std::optional<QByteArray>, L, size_t> casos[] = {
        {std::nullopt, L::Ilegible, 0},
        {QByteArray(), L::Vacia, 0},
        {QByteArray("\r\n") + b, L::PrimeraNoValida, 0},
        {"; a comment\n" + b, L::PrimeraNoValida, 0},
        {"\xEF\xBB\xBF" + b + "\r\nno position\r\n" + n + "\r\n\r\n", L::Lista, 2},
        {"8/8/8/8/8/8/8/P3K2k w - -\n" + b, L::PrimeraNoValida, 0},  // a pawn on the first rank
    };
    for (const auto& [datos, estado, n] : casos) {
        const epd::Lista l = epd::LeerLista(datos, posicion);
        EXPECT_EQ(l.estado, estado) << (datos ? datos->toStdString() : "unreadable");
        EXPECT_EQ(l.inicios.size(), n);
    }
}

TEST(Lista, PreviewSquaresPicturesAndPeerMessages) {
    rules::Reglas r;
    ASSERT_TRUE(r.LeerFen(rules_test::kInicial));
    const auto v = epd::CasillasVista(r.Casillas);
    EXPECT_EQ(v[0], rules::TorreNegra);    // a8
    EXPECT_EQ(v[4], rules::ReyNegro);      // e8
    EXPECT_EQ(v[60], rules::ReyBlanco);    // e1
    EXPECT_EQ(v[63], rules::TorreBlanca);  // h1
    // Each piece has its own picture, named after it.
    const char* const nombres[13] = {"",      "peonb",  "torreb",   "caballob", "alfilb", "damab", "reyb",
                                     "peonn", "torren", "caballon", "alfiln",   "daman",  "reyn"};
    for (int p = 1; p <= 12; ++p) EXPECT_EQ(epd::NombreImagen(epd::ImagenDePieza(p)), nombres[p]) << p;
    EXPECT_EQ(epd::ImagenDePieza(0), 0);
    EXPECT_EQ(epd::MensajeEpd(1, 1, "Blancas", "x"), "EPD 1B x");
    EXPECT_EQ(epd::MensajeEpd(2, 2, "Negras", "x"), "EPD 2N x");
    EXPECT_EQ(epd::MensajeEpd(0, 1, "Negras", "x"), "EPD T1N x");
}

TEST_F(Ficheros, WinAtChessListsAndSetsUpEachOfItsPositions) {
    const QString wac = QStringLiteral(TAVORIN_TEST_DATA "/wac.epd");
    const std::vector<QString> lineas = Lineas(wac);
    ASSERT_EQ(lineas.size(), 299u);
    auto& f = fEpd();
    f.LeerEPD(wac);
    EXPECT_EQ(f.Eventos->count(), 299);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.EventosTag, "0");
    EXPECT_TRUE(PartidaDeFichero && PosicionPreparada && AvisoEnTablero());
    // The first position is on the preview: of the light squares c8 and e8 only c8
    // holds a piece.
    const QImage vista = f.picBoard->Imagen();
    EXPECT_NE(vista.copy(46, 0, 23, 23), vista.copy(92, 0, 23, 23));
    // Clicking the previewed item draws nothing new; another one reads its position
    // into the game without touching the board picture.
    f.picBoard->Imagen().fill(Qt::red);
    f.Eventos->setCurrentRow(0);
    f.Eventos_Click();
    EXPECT_EQ(f.picBoard->Imagen().pixelColor(1, 1), QColor(Qt::red));
    const QImage tablero = Tavorin().PicBuffer->Imagen();
    f.Eventos->setCurrentRow(1);
    EXPECT_EQ(rules_test::En(Reglas(), "b3"), rules::TorreNegra);
    EXPECT_EQ(Tavorin().PicBuffer->Imagen(), tablero);

    for (size_t k = 0, paso = size_t(Muestra(7, 50)); k < lineas.size(); k += paso) {
        if (!f.Visible()) f.LeerEPD(wac);
        f.Eventos->setCurrentRow(int(k));
        f.Eventos_DblClick();
        const auto& g = Reglas();
        Reglas().EscribirFen();
        EXPECT_EQ(Campos(QString::fromStdString(g.TextoFen), 4), Campos(lineas[k], 4)) << k;
        EXPECT_EQ(g.TipoPartida, "A");
        EXPECT_EQ(g.Turno, g.TurnoFichero);
        EXPECT_EQ(Reloj().Tiempo(true), "00:00");
        EXPECT_TRUE(PosicionPreparada);
        EXPECT_FALSE(PartidaDeFichero || f.Visible() || AvisoEnTablero());
        EXPECT_EQ(f.EventosTag, "-1");
        // Black to move: the move list starts with an empty White entry.
        EXPECT_EQ(g.Jugadas.List[4], g.TurnoFichero == 2 ? "0000\r\n" : "") << k;
    }
    EXPECT_EQ(Vistos(), "");
    // Such a position saves as EPD only.
    auto d = ResponderDialogo(QString());
    GuardarPartida();
    EXPECT_EQ(d->filtros.size(), 1);
    EXPECT_TRUE(d->filtros.value(0).contains("*.epd"));
}

TEST_F(Ficheros, APositionForThePeerTellsWhoMovesFirst) {
    e->Escribir("dos.epd", QByteArray(kBlancas) + "\n" + kNegras + "\n");
    struct Caso {
        int fila;
        int color;
        const char* mensaje;
        int turno;
    };
    const Caso casos[] = {
        {0, 1, "EPD 1B ", 1},   // White to move, the sender White
        {0, 2, "EPD T1N ", 0},  // White to move, the sender Black: the peer moves first
        {1, 1, "EPD T2B ", 0},
    };
    for (const Caso& c : casos) {
        Reiniciar();
        Conectar();
        fEpd().LeerEPD(e->Ruta("dos.epd"));
        e->textos = {"?", Color(c.color)};
        fEpd().Eventos->setCurrentRow(c.fila);
        fEpd().Eventos_DblClick();
        Enviar();
        const QString linea = c.fila == 0 ? kBlancas : kNegras;
        EXPECT_EQ(enviados, QStringList{c.mensaje + linea}) << c.mensaje;
        EXPECT_EQ(Reglas().Turno, c.turno);
        EXPECT_EQ(Mdi().mnuInvertirTablero->isChecked(), c.color == 2);
    }
}

TEST_F(Ficheros, ClosingTheListWithoutAPositionStartsAFreshGame) {
    e->Escribir("dos.epd", QByteArray(kBlancas) + "\n" + kNegras + "\n");
    Conectar();
    fEpd().LeerEPD(e->Ruta("dos.epd"));
    fEpd().Unload();
    Enviar();
    EXPECT_EQ(enviados, QStringList{"CancelarEPD"});
    EXPECT_EQ(rules_test::En(Reglas(), "d1"), rules::DamaBlanca);
    EXPECT_FALSE(PartidaDeFichero || PosicionPreparada || AvisoEnTablero() || fEpd().Visible());
}

TEST_F(Ficheros, AFileOfOnePositionLoadsAtOnce) {
    e->Escribir("una.epd", QByteArray(kNegras) + "\r\n");
    Mdi().AbrirFichero(e->Ruta("una.epd"));
    EXPECT_FALSE(fEpd().Visible() || PartidaDeFichero || AvisoEnTablero());
    EXPECT_EQ(Reglas().Turno, 2);
    EXPECT_EQ(Reglas().MiColor, "Negras");
    EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
    EXPECT_FALSE(Reglas().TorreA8Movida || Reglas().TorreH8Movida);
    EXPECT_TRUE(Reglas().TorreA1Movida && Reglas().TorreH1Movida);
}

// A position line of megabytes (a long comment after it) is listed short, and the
// whole line goes onto the board.
TEST_F(Ficheros, AHugeLineIsListedShortAndLoadsWhole) {
    const QByteArray larga = QByteArray(kNegras) + " c0 \"" + QByteArray(300000, 'c') + "\";";
    e->Escribir("larga.epd", QByteArray(kBlancas) + "\n" + larga + "\n");
    auto& f = fEpd();
    f.LeerEPD(e->Ruta("larga.epd"));
    ASSERT_EQ(f.Eventos->count(), 2);
    EXPECT_EQ(f.Eventos->Mostrada(0), kBlancas);
    EXPECT_EQ(f.Eventos->Mostrada(1).size(), 258);
    EXPECT_TRUE(f.Eventos->Mostrada(1).endsWith("..."));
    f.Eventos->setCurrentRow(1);
    f.Eventos_DblClick();
    EXPECT_EQ(LineaEpd.size(), larga.size());
    EXPECT_EQ(rules_test::En(Reglas(), "h8"), rules::TorreNegra);
    EXPECT_EQ(Reglas().Turno, 2);
}

// A list of many positions holds about its file in memory (each line where it lies
// in the file's bytes), and its last line loads as its first.
TEST_F(Ficheros, AListOfManyPositionsCostsAboutItsFile) {
    constexpr int kLineas = 100000;
    QByteArray texto;
    for (int i = 0; i < kLineas; ++i) texto += QByteArray(i % 2 ? kBlancas : kNegras) + "\r\n";
    e->Escribir("muchas.epd", texto);
    auto& f = fEpd();
    f.Eventos->clear();
    const std::size_t antes = MemoriaViva();
    f.LeerEPD(e->Ruta("muchas.epd"));
    const std::size_t despues = MemoriaViva();
    ASSERT_EQ(f.Eventos->count(), kLineas);
    EXPECT_LE(despues, antes + 2 * std::size_t(texto.size()) + (2u << 20))
        << (despues - antes) / 1024 << " kB for a file of " << texto.size() / 1024 << " kB";
    f.Eventos->setCurrentRow(kLineas - 1);
    f.Eventos_DblClick();
    EXPECT_EQ(LineaEpd, kBlancas);
    EXPECT_EQ(Reglas().Turno, 1);
}

TEST_F(Ficheros, FilesWithoutAPositionChangeNothing) {
    QDir().mkpath(e->Ruta("carpeta.epd"));
    e->Escribir("vacio.epd", "");
    e->Escribir("comentario.epd", QByteArray("; list\n") + kBlancas + "\n");
    for (const char* nombre : {"carpeta.epd", "vacio.epd", "comentario.epd", "no.epd"}) {
        Reiniciar();
        Jugar("e2e4");
        Conectar();
        const rules::Tablero antes = Reglas().Casillas;
        const int turno = Reglas().Turno;
        fEpd().LeerEPD(e->Ruta(nombre));
        Enviar();
        EXPECT_EQ(Vistos(), "55") << nombre;
        EXPECT_EQ(enviados, QStringList{"CancelarEPD"}) << nombre;
        EXPECT_EQ(Reglas().Casillas, antes) << nombre;
        EXPECT_EQ(Reglas().Turno, turno);
        EXPECT_FALSE(PartidaDeFichero || PosicionPreparada || AvisoEnTablero() || fEpd().Visible()) << nombre;
    }
    // A line the rules cannot play, handed to the board directly: text 55, a fresh game.
    Reiniciar();
    Tavorin().AbrirEpd("4k3/8/8/8/8/8/8/4K2P w - -");
    EXPECT_EQ(Vistos(), "55");
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
    EXPECT_FALSE(PartidaDeFichero || PosicionPreparada || AvisoEnTablero());
}

}  // namespace
