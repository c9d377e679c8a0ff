// The splitter of peer arrivals: joined messages, cut ones, chat text that holds
// keywords, junk, and the limits.
#include "network/Troceador.h"

#include <gtest/gtest.h>

namespace {

// The split of one arrival, messages joined by " | ", the waiting tail after " ~ ".
std::string Partir(const QByteArray& texto, bool final = false) {
    tvp::Troceo t = tvp::Trocear(texto, final);
    std::string s;
    for (const QByteArray& m : t.mensajes) s += (s.empty() ? "" : " | ") + m.toStdString();
    if (!t.resto.isEmpty()) s += " ~ " + t.resto.toStdString();
    return s;
}

TEST(Troceador, OneArrivalIsSplitIntoItsMessages) {
    const struct {
        const char* llegada;
        const char* mensajes;
    } tabla[] = {
        {"Ping", "Ping"},
        {"PingPing", "Ping | Ping"},
        {"PingPongPing", "Ping | Pong | Ping"},
        {"Movimiento 57550TIME 4:59", "Movimiento 57550 | TIME 4:59"},
        {"Movimiento 27285TIME 0:07Ping", "Movimiento 27285 | TIME 0:07 | Ping"},
        {"Mensaje <x>holaMovimiento 57550", "Mensaje <x>hola | Movimiento 57550"},
        {"Mensaje Luis se ha conectado con Tavorin versión 1.55VersionTV 1.55",
         "Mensaje Luis se ha conectado con Tavorin versión 1.55 | VersionTV 1.55"},
        {"VersionTV 1.60 betaRanking 1-2-3-4-1300", "VersionTV 1.60 beta | Ranking 1-2-3-4-1300"},
        // Chat text keeps keywords that are not followed only by whole messages.
        {"Mensaje <a>Rendirse nunca", "Mensaje <a>Rendirse nunca"},
        {"Mensaje <a>unoMensaje <b>dos", "Mensaje <a>unoMensaje <b>dos"},
        {"Mensaje <a>TIME 4:59 luego", "Mensaje <a>TIME 4:59 luego"},
        // The longest keyword that leaves a readable rest.
        {"RetrocesoAceptado", "RetrocesoAceptado"},
        {"RetrocesoRetrocesoCancelado", "Retroceso | RetrocesoCancelado"},
        {"AbrirPartidaEPD", "AbrirPartidaEPD"},
        {"AbrirAceptadoEPDNuevoJuego 1 R 15", "AbrirAceptadoEPD | NuevoJuego 1 R 15"},
        {"AbrirPartidaRetroceso", "AbrirPartida | Retroceso"},
        // No free text out of the end of a longer keyword followed by junk.
        {"AbrirAceptadoEPD!!", "AbrirAceptadoEPD!!"},
        {"AbrirPartidaEPD 1B 8/8/8/8/8/8/8/K6k w", "AbrirPartidaEPD 1B 8/8/8/8/8/8/8/K6k w"},
        {"NuevoJuego 3 Q 999Ping", "NuevoJuego 3 Q 999 | Ping"},
        {"EPD 1B rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3Ping",
         "EPD 1B rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 | Ping"},
        {"TVP IniciarTVP T BTVP TB 0930TVP TN 12345TVP M 27285TVP M 5254TVP Terminado",
         "TVP Iniciar | TVP T B | TVP TB 0930 | TVP TN 12345 | TVP M 27285 | TVP M 5254 | TVP Terminado"},
        // What fits no message stays with the one before it, or stands alone.
        {"Pingxyz", "Pingxyz"},
        {"Movimiento 57550xyzPing", "Movimiento 57550xyz | Ping"},
        {"xyzPing", "xyz | Ping"},
        {"\x01\x02\xff", "\x01\x02\xff"},
        {"Movimiento 9999", "Movimiento 9999"},
        {"TIME x:y", "TIME x:y"},
    };
    for (const auto& c : tabla) EXPECT_EQ(Partir(c.llegada, true), c.mensajes) << c.llegada;
}

TEST(Troceador, ACutMessageWaitsForItsRestUnlessNothingMoreComes) {
    const struct {
        const char* llegada;
        const char* esperando;  // the split while more may come
        const char* final;      // the split once nothing more will come
    } tabla[] = {
        {"Movim", " ~ Movim", "Movim"},
        {"PingMovimiento 57", "Ping ~ Movimiento 57", "Ping | Movimiento 57"},
        {"TIME 4:", " ~ TIME 4:", "TIME 4:"},
        {"Mensaje <a>hola P", " ~ Mensaje <a>hola P", "Mensaje <a>hola P"},
        // A keyword that is whole and complete does not wait for a longer one.
        {"AbrirPartida", "AbrirPartida", "AbrirPartida"},
        {"Retroceso", "Retroceso", "Retroceso"},
        {"Mensaje <a>hola", "Mensaje <a>hola", "Mensaje <a>hola"},
    };
    for (const auto& c : tabla) {
        EXPECT_EQ(Partir(c.llegada, false), c.esperando) << c.llegada;
        EXPECT_EQ(Partir(c.llegada, true), c.final) << c.llegada;
    }
}

TEST(Troceador, PiecesJoinAcrossArrivals) {
    tvp::Troceador t;
    ASSERT_TRUE(t.Anadir("Movim"));
    EXPECT_TRUE(t.Extraer().empty());
    EXPECT_TRUE(t.Esperando());
    ASSERT_TRUE(t.Anadir("iento 57550TI"));
    auto m = t.Extraer();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], "Movimiento 57550");
    ASSERT_TRUE(t.Anadir("ME 4:59"));
    m = t.Extraer();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], "TIME 4:59");
    EXPECT_FALSE(t.Esperando());
    ASSERT_TRUE(t.Anadir("Pi"));
    EXPECT_TRUE(t.Extraer().empty());
    m = t.Extraer(true);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], "Pi");
}

TEST(Troceador, TooLongAMessageOrTooMuchHeldIsAnError) {
    tvp::Troceador t;
    ASSERT_TRUE(t.Anadir("Mensaje <a>" + QByteArray(tvp::Troceador::kMaximoMensaje, 'x')));
    EXPECT_TRUE(t.Extraer().empty());
    EXPECT_TRUE(t.Error());
    EXPECT_FALSE(t.Anadir("Ping"));
    t.Vaciar();
    EXPECT_FALSE(t.Error());

    // A message just under the limit passes.
    ASSERT_TRUE(t.Anadir("Mensaje " + QByteArray(tvp::Troceador::kMaximoMensaje - 8, 'x')));
    EXPECT_EQ(t.Extraer().size(), 1u);
    EXPECT_FALSE(t.Error());

    // A cut tail that grows without end.
    tvp::Troceador u;
    for (int i = 0; i < 17 && !u.Error(); ++i) {
        if (!u.Anadir("Mensaje <a>" + QByteArray(64 * 1024, 'y') + "Movim")) break;
        u.Extraer();
    }
    EXPECT_TRUE(u.Error());
}

TEST(Troceador, ALongRunOfJunkEndsWhereAMessageBegins) {
    QByteArray basura;
    for (int i = 0; i < 100000; ++i) basura += "Mx Pa Tb ";
    const auto t = tvp::Trocear(basura + "Ping", true);
    ASSERT_EQ(t.mensajes.size(), 2u);
    EXPECT_EQ(t.mensajes[1], "Ping");
}

}  // namespace
