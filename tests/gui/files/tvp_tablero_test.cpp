// The own game file through the real windows: saved, opened (menu, drop), replayed
// on the board with and without a peer, and games round-tripped through it.
#include "ficheros_prueba.h"

#include "app/Variables.h"
#include "board/Coronacion.h"
#include "board/Jugadas.h"
#include "board/Tavorin.h"
#include "files/Guardar.h"
#include "files/TvpTexto.h"
#include "juego.h"
#include "muestra.h"
#include "network/Nuevo.h"
#include "network/Reloj.h"
#include "platform/PictureBox.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <random>

namespace {

// What a replayed game must give back.
struct Estado {
    rules::Tablero casillas;
    std::array<bool, 4> enroques;
    bool alPaso;
    int casillaAlPaso, turno;
    std::array<std::string, 6> textos;
    std::vector<std::string> registros;
    bool operator==(const Estado&) const = default;
};

Estado Ahora() {
    const auto& g = Reglas();
    return {g.Casillas,      {g.TorreA1Movida, g.TorreH1Movida, g.TorreA8Movida, g.TorreH8Movida},
            g.AlPasoPosible, g.CasillaAlPaso,
            g.Turno,         g.Jugadas.List,
            g.Jugadas.List1};
}

bool AvisoEnTablero() { return Tavorin().PicBuffer->TextosImpresos().contains(TextosIdioma[69]); }

// Runs the event loop until `hecho` or ten seconds.
void Esperar(const std::function<bool()>& hecho) {
    QElapsedTimer t;
    t.start();
    while (!hecho() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Reproduciendo() { return Tavorin().SendTvp->isActive() || Tavorin().TimerRetrasoTVP->isActive(); }

// Plays one random legal move of the side to move (a promotion to a random piece).
// False when there is none, or when it would end the game: a replay ends such a game
// through the game-end messages, which a game at the board only shows later.
bool JugadaAlAzar(std::mt19937& azar) {
    auto& g = Reglas();
    std::vector<std::string> candidatas;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int pieza = g.Casillas[x][y];
            if (!(g.Turno == 1 ? rules::EsBlanca(pieza) : rules::EsNegra(pieza))) continue;
            for (int dx = 1; dx <= 8; ++dx) {
                for (int dy = 1; dy <= 8; ++dy) {
                    g.Origen = std::to_string(x) + std::to_string(y);
                    g.Destino = std::to_string(dx) + std::to_string(dy);
                    g.PiezaCoronacion = 0;
                    g.SoloComprobar = true;
                    g.ValidarMovimiento();
                    g.SoloComprobar = false;
                    if (!g.MovimientoValido) continue;
                    std::string uci{char('a' + x - 1), char('0' + y), char('a' + dx - 1), char('0' + dy)};
                    const bool corona =
                        (pieza == rules::PeonBlanco && dy == 8) || (pieza == rules::PeonNegro && dy == 1);
                    if (corona) uci += "qrbn"[azar() % 4];
                    candidatas.push_back(uci);
                }
            }
        }
    }
    g.MovimientoAnulado();
    std::shuffle(candidatas.begin(), candidatas.end(), azar);
    for (const std::string& uci : candidatas) {
        const rules::Variables antes = g.Estado();
        const rules::ListaJugadas lista = g.Jugadas;
        const auto r = rules_test::Jugar(g, uci);
        if (!r.valido) continue;
        if (r.mate || r.ahogado) {
            g.Estado() = antes;
            g.Jugadas = lista;
            return false;
        }
        return true;
    }
    return false;
}

TEST_F(Ficheros, SavedGamesAreTheTokensOfTheirMovesAndClocks) {
    Jugar("e2e4 e7e5 g1f3");
    {
        auto d = ResponderDialogo(e->Ruta("a.tvp"));
        GuardarPartida();
    }
    EXPECT_EQ(e->Contenido("a.tvp"), QByteArray("0000\r\n0000\r\nA\r\n5254\r\n5755\r\n7163\r\n\r\n"));
    EXPECT_EQ(Vistos(), "34");
    // A rated game with its clocks; a name without extension takes the filter's.
    Reglas().TipoPartida = "R";
    MinutosBlancas = 4;
    SegundosBlancas = 31;
    MinutosNegras = 5;
    Reloj().PrintTimerB();
    Reloj().PrintTimerN();
    {
        auto d = ResponderDialogo(e->Ruta("b"), 1);
        GuardarPartida();
    }
    EXPECT_TRUE(e->Contenido("b.tvp").startsWith("0431\r\n0500\r\nR\r\n5254\r\n")) << e->Contenido("b.tvp").data();
}

TEST_F(Ficheros, RandomGamesComeBackFromTheirFilesAsTheyWere) {
    std::mt19937 azar(15);
    for (int partida = 0, n = Muestra(12, 3); partida < n; ++partida) {
        Reiniciar();
        Reglas().Turno = 1;
        const int plies = 20 + int(azar() % 100);
        for (int i = 0; i < plies && JugadaAlAzar(azar); ++i) {
        }
        const Estado antes = Ahora();
        const QString ruta = e->Ruta(QString("p%1.tvp").arg(partida));
        {
            auto d = ResponderDialogo(ruta);
            GuardarPartida();
        }
        Reiniciar();
        Mdi().AbrirFichero(ruta);
        ASSERT_TRUE(PartidaDeFichero);
        EXPECT_TRUE(AvisoEnTablero());
        EXPECT_TRUE(Reloj().Tiempo(true).isEmpty());
        Reproducir();
        EXPECT_TRUE(Ahora() == antes) << "game " << partida;
        EXPECT_EQ(Reglas().TipoPartida, "A");
        EXPECT_EQ(Reglas().MiColor, Reglas().Turno == 1 ? "Blancas" : "Negras");
        EXPECT_EQ(Reloj().Tiempo(true), "00:00");
        EXPECT_FALSE(Mdi().mnuInvertirTablero->isChecked());
        EXPECT_FALSE(AvisoEnTablero());
        EXPECT_FALSE(PartidaDeFichero);
        EXPECT_EQ(Vistos(), "");
    }
}

TEST_F(Ficheros, ConnectedReplayStreamsTheGameAndWaitsForEachBox) {
    e->Escribir("r.tvp", tvp::TextoFichero("0431", "0500", "R", "5254\r\n5755\r\n7163\r\n"));
    Conectar();
    e->textos = {Color(1)};
    // While the colour question is open neither replay timer runs.
    std::vector<bool> activos;
    auto responder = ResponderTexto;
    ResponderTexto = [&](const QString& p, const QString& t) {
        activos.push_back(Reproduciendo());
        // A question that is never answered right ends as if the peer had left.
        if (activos.size() > 3) Reglas().Conectado = false;
        return responder(p, t);
    };
    QTimer emisor;
    QObject::connect(&emisor, &QTimer::timeout, [this] { Enviar(); });
    emisor.start(5);
    // This test's sender takes every message: the board's own is held still, however
    // slow the machine.
    const int tick = Tavorin().Timer2->interval();
    Tavorin().Timer2->setInterval(24 * 3600 * 1000);
    // As the peer's Yes to the file starts it.
    Tavorin().AbrirTvp(e->Ruta("r.tvp"));
    Esperar([] { return !PartidaDeFichero && !Reproduciendo(); });
    Esperar([] { return NumColaEnvio == 0; });
    ResponderTexto = responder;
    Tavorin().Timer2->setInterval(tick);
    EXPECT_EQ(enviados, (QStringList{"TVP Iniciar", "TVP TB 0431", "TVP TN 0500", "TVP T R", "TVP M 5254", "TVP M 5755",
                                     "TVP M 7163", "TVP T N", "TVP T 2", "TVP Terminado"}));
    EXPECT_EQ(activos, std::vector<bool>{false});
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_EQ(Reglas().MiColor, "Blancas");
    EXPECT_EQ(Reloj().Tiempo(true), "04:31");
}

TEST_F(Ficheros, TheReplayPacesItselfByTheQueue) {
    QByteArray fichero = "0000\r\n0000\r\nA\r\n";
    for (int i = 0; i < 20; ++i) fichero += "\r\n";
    e->Escribir("l.tvp", fichero);
    Conectar();
    Tavorin().AbrirTvp(e->Ruta("l.tvp"));
    auto& envio = *Tavorin().SendTvp;
    for (const auto& [n, ms] : std::initializer_list<std::pair<long, int>>{{5, 100},
                                                                           {6, 300},
                                                                           {10, 300},
                                                                           {11, 500},
                                                                           {15, 500},
                                                                           {16, 700},
                                                                           {20, 700},
                                                                           {21, 1000},
                                                                           {25, 1000},
                                                                           {26, 1500}}) {
        NumColaEnvio = n;
        Tavorin().SendTvp_Timer();
        EXPECT_EQ(envio.interval(), ms) << n;
    }
    // Above thirty waiting nothing more is queued.
    NumColaEnvio = 31;
    Tavorin().SendTvp_Timer();
    EXPECT_EQ(NumColaEnvio, 31);
    EXPECT_TRUE(envio.isActive());
}

TEST_F(Ficheros, BadOrUnreadableFilesLeaveNoHalfGame) {
    e->Escribir("m.tvp", "0000\r\n0000\r\nA\r\n5254\r\n5255\r\n");
    auto previo = ResponderMensaje;
    std::vector<bool> activos;
    ResponderMensaje = [&](const CMensaje& m) {
        activos.push_back(Reproduciendo());
        return previo(m);
    };
    Mdi().AbrirFichero(e->Ruta("m.tvp"));
    Esperar([] { return !Reproduciendo(); });
    ResponderMensaje = previo;
    EXPECT_EQ(Vistos(), "27|55");
    EXPECT_EQ(activos, (std::vector<bool>{false, false}));
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
    EXPECT_EQ(Reglas().Turno, 0);
    EXPECT_TRUE(Reglas().Jugadas.List1.empty());
    EXPECT_FALSE(PartidaDeFichero || AvisoEnTablero());

    // A path that cannot be read: text 73, the game on the board stays, the peer
    // that accepted the file is told.
    Reiniciar();
    Jugar("d2d4");
    const Estado antes = Ahora();
    QDir().mkpath(e->Ruta("carpeta.tvp"));
    Conectar();
    Tavorin().AbrirTvp(e->Ruta("carpeta.tvp"));
    Enviar();
    EXPECT_EQ(Vistos(), "73");
    EXPECT_EQ(enviados, QStringList{"TVP ERROR"});
    EXPECT_TRUE(Ahora() == antes);
    EXPECT_FALSE(PartidaDeFichero || Reproduciendo());
}

TEST_F(Ficheros, AFreshGameEndsAReplayUnderWay) {
    e->Escribir("f.tvp", "0000\r\n0000\r\nA\r\n5254\r\n5755\r\n");
    Tavorin().AbrirTvp(e->Ruta("f.tvp"));
    Tavorin().SendTvp_Timer();
    // The connection went, or a new game began: the game state is reset.
    Nuevo().NuevoAceptado();
    Reproducir();
    EXPECT_FALSE(Reproduciendo());
    EXPECT_EQ(Vistos(), "");
    EXPECT_EQ(rules_test::En(Reglas(), "e2"), rules::PeonBlanco);
}

TEST_F(Ficheros, AFourDigitPromotionAsksTheChooserWithTheReplayStopped) {
    e->Escribir("c.tvp",
                "0000\r\n0000\r\nA\r\n8284\r\n7775\r\n8475\r\n8786\r\n7586\r\n5756\r\n8687\r\n2726\r\n8778\r\n");
    bool activo = true, preguntado = false;
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (!Coronacion().Visible()) return;
        preguntado = true;
        activo = Reproduciendo();
        Coronacion().Command1_Click();
    });
    vigia.start(10);
    Mdi().AbrirFichero(e->Ruta("c.tvp"));
    Esperar([] { return !PartidaDeFichero && !Reproduciendo(); });
    EXPECT_TRUE(preguntado);
    EXPECT_FALSE(activo);
    EXPECT_EQ(rules_test::En(Reglas(), "g8"), rules::DamaBlanca);
    EXPECT_EQ(Vistos(), "");
}

TEST_F(Ficheros, TheFirstFileDroppedOnTheBoardIsOpened) {
    e->Escribir("x.tvp", "0000\r\n0000\r\nA\r\n5254\r\n");
    e->Escribir("y.tvp", "0000\r\n0000\r\nA\r\n6263\r\n");
    QMimeData ficheros;
    ficheros.setUrls({QUrl::fromLocalFile(e->Ruta("x.tvp")), QUrl::fromLocalFile(e->Ruta("y.tvp"))});
    QMimeData texto;
    texto.setText("5254");
    for (QWidget* destino : {static_cast<QWidget*>(&Tavorin()), static_cast<QWidget*>(Tavorin().PicBuffer)}) {
        Reiniciar();
        QDragEnterEvent vacio(QPoint(5, 5), Qt::CopyAction, &texto, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(destino, &vacio);
        EXPECT_FALSE(vacio.isAccepted());
        QDropEvent nada(QPointF(5, 5), Qt::CopyAction, &texto, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(destino, &nada);
        EXPECT_FALSE(PartidaDeFichero);
        QDragEnterEvent entra(QPoint(5, 5), Qt::CopyAction, &ficheros, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(destino, &entra);
        EXPECT_TRUE(entra.isAccepted());
        QDropEvent suelta(QPointF(5, 5), Qt::CopyAction, &ficheros, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(destino, &suelta);
        Reproducir();
        EXPECT_EQ(rules_test::En(Reglas(), "e4"), rules::PeonBlanco);
        EXPECT_EQ(rules_test::En(Reglas(), "f2"), rules::PeonBlanco);
    }
}

TEST_F(Ficheros, AClockOfTwoHoursSurvivesTheFile) {
    Reglas().TipoPartida = "R";
    MinutosBlancas = 120;
    Reloj().PrintTimerB();
    Jugar("e2e4");
    {
        auto d = ResponderDialogo(e->Ruta("h.tvp"));
        GuardarPartida();
    }
    ASSERT_TRUE(e->Contenido("h.tvp").startsWith("12000\r\n0000\r\nR\r\n"));
    Reiniciar();
    Conectar();
    e->textos = {Color(2)};
    Tavorin().AbrirTvp(e->Ruta("h.tvp"));
    Reproducir();
    EXPECT_EQ(enviados.mid(0, 2), (QStringList{"TVP Iniciar", "TVP TB 12000"}));
    EXPECT_EQ(MinutosBlancas, 120);
    EXPECT_EQ(Reloj().Tiempo(true), "120:00");
}

}  // namespace
