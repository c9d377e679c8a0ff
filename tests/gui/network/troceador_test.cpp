// The splitter of peer arrivals: joined messages, cut ones, chat text that holds
// keywords, junk, and the limits.
#include "network/Troceador.h"

#include "palabras_protocolo.h"

#include <QList>
#include <QString>
#include <gtest/gtest.h>

#include <ctime>

namespace {

// The split of one arrival, messages joined by " | ", the waiting tail after " ~ ".
// `enmarcado`: the peer has been seen to end its chat lines.
std::string Partir(const QByteArray& texto, bool final = false, bool enmarcado = false) {
    tvp::Troceo t = tvp::Trocear(texto, final, enmarcado ? tvp::Marco::Con : tvp::Marco::Desconocido);
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
        // A chat line ends at its line ending; without one (the old form) it runs to the
        // end of what came: its text is never carved into messages.
        {"Mensaje <x>hola\r\nMovimiento 57550", "Mensaje <x>hola | Movimiento 57550"},
        {"Mensaje <x>holaMovimiento 57550", "Mensaje <x>holaMovimiento 57550"},
        {"Mensaje Luis se ha conectado con Tavorin versión 1.55\r\nVersionTV 1.55",
         "Mensaje Luis se ha conectado con Tavorin versión 1.55 | VersionTV 1.55"},
        {"Mensaje Luis se ha conectado con Tavorin versión 1.55VersionTV 1.55",
         "Mensaje Luis se ha conectado con Tavorin versión 1.55VersionTV 1.55"},
        {"Mensaje <a>uno\r\nMensaje <b>dos\nPing", "Mensaje <a>uno | Mensaje <b>dos | Ping"},
        {"Mensaje <a>I said Close", "Mensaje <a>I said Close"},
        {"Mensaje <a>ok RendirseMovimiento 52540", "Mensaje <a>ok RendirseMovimiento 52540"},
        // A position is a line as a chat line is.
        {"EPD 1B 8/8/8/8/8/8/8/K6k w\r\nMensaje <a>x\r\n", "EPD 1B 8/8/8/8/8/8/8/K6k w | Mensaje <a>x"},
        {"EPD 1B 8/8/8/8/8/8/8/K6k w id Close\r\nPing", "EPD 1B 8/8/8/8/8/8/8/K6k w id Close | Ping"},
        {"EPD 1B 8/8/8/8/8/8/8/K6k wMensaje <a>x\r\n", "EPD 1B 8/8/8/8/8/8/8/K6k wMensaje <a>x"},
        // The rest of a chat line whose start was taken without it is dropped.
        {"Rendirse\r\nPing", "Ping"},
        {"ok Movimiento 52540\r\nMovimiento 57550", "Movimiento 57550"},
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
         "EPD 1B rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3Ping"},
        // A position is never carved out of the end of a longer keyword.
        {"AbrirPartidaEPD\r\n", ""},
        {"AbrirAceptadoEPDEPD 1B 8/8/8/8/8/8/8/K6k w\r\n", "AbrirAceptadoEPD | EPD 1B 8/8/8/8/8/8/8/K6k w"},
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
        // A move always carries its promotion code.
        {"Movimiento 5254", " ~ Movimiento 5254", "Movimiento 5254"},
        {"Movimiento 52540", "Movimiento 52540", "Movimiento 52540"},
        // A chat line ends where its line ending says, or (the old form) where it came.
        {"Mensaje <a>hola P\r\n", "Mensaje <a>hola P", "Mensaje <a>hola P"},
        {"Mensaje <a>hola P", "Mensaje <a>hola P", "Mensaje <a>hola P"},
        {"PingMensaje <a>hola\r", "Ping ~ Mensaje <a>hola\r", "Ping | Mensaje <a>hola"},
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

TEST(Troceador, APeerThatEndsItsChatLinesHasTheRestAwaited) {
    EXPECT_EQ(Partir("Mensaje <a>hola P", false, true), " ~ Mensaje <a>hola P");
    EXPECT_EQ(Partir("Mensaje <a>hola P", true, true), "Mensaje <a>hola P");
    EXPECT_EQ(Partir("Mensaje <a>I said Close", false, true), " ~ Mensaje <a>I said Close");
    // The peer's first line tells whether it ends its chat lines.
    EXPECT_EQ(Partir("Mensaje <a>uno\r\nMensaje <a>I said Close"), "Mensaje <a>uno ~ Mensaje <a>I said Close");
    EXPECT_EQ(tvp::Trocear("Mensaje <a>uno\r\n", false).marco, tvp::Marco::Con);
    EXPECT_EQ(tvp::Trocear("Mensaje <a>uno", false).marco, tvp::Marco::Sin);

    tvp::Troceador t;
    ASSERT_TRUE(t.Anadir("Mensaje Ana se ha conectado con Tavorin versi\xC3\xB3n 1.55\r\n"));
    ASSERT_EQ(t.Extraer().size(), 1u);
    ASSERT_TRUE(t.Anadir("Mensaje <Ana>I said Close"));
    EXPECT_TRUE(t.Extraer().empty());
    ASSERT_TRUE(t.Anadir("\r\n"));
    auto m = t.Extraer();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], "Mensaje <Ana>I said Close");
    // A new link: the peer is not known to end its lines until it does.
    t.Vaciar();
    ASSERT_TRUE(t.Anadir("Mensaje <Ana>hola"));
    EXPECT_EQ(t.Extraer().size(), 1u);
}

// A peer's first line on a link tells whether it ends its lines. A peer of the old
// form never waits for a line ending, even after a line that held one: its position,
// and the move that comes after it, are read as they come.
TEST(Troceador, ThePeersFirstLineTellsWhetherItEndsItsLines) {
    const QByteArray saludo = "Mensaje Luis se ha conectado con Tavorin versi\xC3\xB3n 1.55";
    const struct {
        const char* nombre;
        std::vector<QByteArray> llegadas;
        const char* mensajes;  // " | " between
        bool esperando;        // something waits for its line ending at the end
    } tabla[] = {
        {"old form, a line break in a chat line",
         {saludo, "Mensaje <Luis>uno\r\ndos", "EPD 1B 4k3/8/8/8/8/8/8/R3K3 w Q - id x", "Movimiento 52540"},
         "Mensaje <Luis>uno | dos | EPD 1B 4k3/8/8/8/8/8/8/R3K3 w Q - id x | Movimiento 52540",
         false},
        {"old form, a line ending in junk",
         {saludo, "\r\n", "Mensaje <Luis>hola", "Ping"},
         "Mensaje <Luis>hola | Ping",
         false},
        {"framed", {saludo + "\r\n", "Mensaje <Luis>hola", "Ping"}, "", true},
    };
    for (const auto& c : tabla) {
        tvp::Troceador t;
        std::string leidos;
        for (const QByteArray& llegada : c.llegadas) {
            ASSERT_TRUE(t.Anadir(llegada));
            for (const QByteArray& m : t.Extraer())
                if (m != saludo) leidos += (leidos.empty() ? "" : " | ") + m.toStdString();
        }
        EXPECT_EQ(leidos, c.mensajes) << c.nombre;
        EXPECT_EQ(t.Esperando(), c.esperando) << c.nombre;
    }
}

bool EmpiezaPorClave(const QByteArray& m) {
    for (const char* palabra : palabras::kMensajes)
        if (m.startsWith(QByteArray(palabra).split(' ')[0])) return true;
    return false;
}

// Each protocol message at the end, at the start and alone in a chat line, and as a
// nick in the greeting, the nick change and a chat line: the text stays one chat line
// however the arrivals cut it.
TEST(Troceador, TypedTextNeverBecomesAMessage) {
    const QByteArray saludo = tvp::Enmarcar("Mensaje Luis se ha conectado con Tavorin versión 1.55");
    for (const char* palabra : palabras::kMensajes) {
        const QString p = QString::fromUtf8(palabra);
        const QString lineas[] = {"Mensaje <ana>dije " + p,
                                  "Mensaje <ana>" + p + " dije",
                                  "Mensaje <ana>" + p,
                                  "Mensaje " + p + " se ha conectado con Tavorin versión 1.55",
                                  "Mensaje *** ana ahora se llama " + p,
                                  "Mensaje *** " + p + " ahora se llama ana",
                                  "Mensaje <" + p + ">hola"};
        for (const QString& linea : lineas) {
            const QByteArray texto = linea.toUtf8();
            const QByteArray envio = tvp::Enmarcar(linea);
            ASSERT_EQ(envio, texto + "\r\n");
            EXPECT_EQ(Partir(envio), texto.toStdString());
            EXPECT_EQ(Partir(envio + "Ping"), texto.toStdString() + " | Ping");
            for (qsizetype corte = 1; corte < envio.size(); ++corte) {
                // On a link where the peer ended its lines before, the pieces join.
                tvp::Troceador t;
                t.Anadir(saludo);
                t.Extraer();
                std::vector<QByteArray> leidos;
                for (const QByteArray& pieza : {envio.left(corte), envio.mid(corte) + "Pong"}) {
                    t.Anadir(pieza);
                    for (const QByteArray& m : t.Extraer()) leidos.push_back(m);
                }
                ASSERT_EQ(leidos.size(), 2u) << linea.toStdString() << " cut at " << corte;
                EXPECT_EQ(leidos[0], texto);
                EXPECT_EQ(leidos[1], "Pong");
                // As the first message of a link, or given up on half-way: the first piece
                // is a chat line of its own and the rest is dropped.
                for (bool fresco : {true, false}) {
                    tvp::Troceador u;
                    if (!fresco) {
                        u.Anadir(saludo);
                        u.Extraer();
                    }
                    leidos.clear();
                    u.Anadir(envio.left(corte));
                    for (const QByteArray& m : u.Extraer(true)) leidos.push_back(m);
                    u.Anadir(envio.mid(corte) + "Pong");
                    for (const QByteArray& m : u.Extraer()) leidos.push_back(m);
                    ASSERT_FALSE(leidos.empty());
                    EXPECT_EQ(leidos.back(), "Pong");
                    // Junk that begins with no keyword is ignored by the dispatcher; a
                    // whole position typed in the line is a position, which is taken only
                    // where this side asked for one.
                    const bool posicion = p.startsWith("EPD");
                    for (size_t i = 0; i + 1 < leidos.size(); ++i)
                        EXPECT_TRUE(leidos[i].startsWith("Mensaje") || (posicion && leidos[i].startsWith("EPD 1B ")) ||
                                    !EmpiezaPorClave(leidos[i]))
                            << leidos[i].toStdString() << " from " << linea.toStdString() << " cut at " << corte;
                }
            }
        }
    }
}

TEST(Troceador, OnlyChatLinesAndPositionsAreFramedAndTheirTextStaysOnOneLine) {
    EXPECT_EQ(tvp::Enmarcar("Mensaje <a>caf\u00e9"), QByteArray("Mensaje <a>caf\xC3\xA9\r\n"));
    EXPECT_EQ(tvp::Enmarcar("Mensaje <a>uno\r\ndos\ntres"), QByteArray("Mensaje <a>uno  dos tres\r\n"));
    EXPECT_EQ(tvp::Enmarcar("EPD T1N 8/8/8/8/8/8/8/K6k w - - id \"x\rClose\""),
              QByteArray("EPD T1N 8/8/8/8/8/8/8/K6k w - - id \"x Close\"\r\n"));
    for (const char* palabra : palabras::kMensajes) {
        if (QByteArray(palabra).startsWith("Mensaje") || QByteArray(palabra).startsWith("EPD")) continue;
        EXPECT_EQ(tvp::Enmarcar(palabra), QByteArray(palabra));
    }
}

// A line of an EPD file goes to the peer as it is, its last field often free text
// ("id ..."): each protocol message at its end stays in the position however the
// arrivals cut it; the old form, unframed, runs to the end of what came.
TEST(Troceador, AKeywordAtTheEndOfAPositionStaysInIt) {
    const QByteArray saludo = tvp::Enmarcar("Mensaje Luis se ha conectado con Tavorin versión 1.55");
    for (const char* palabra : palabras::kMensajes) {
        for (const QString& linea : {QString("EPD 1B 8/8/8/8/8/8/8/K6k w - - id ") + palabra,
                                     QString("EPD T2N 8/8/8/8/8/8/8/K6k b - - c0 ") + palabra}) {
            const QByteArray texto = linea.toUtf8();
            const QByteArray envio = tvp::Enmarcar(linea);
            ASSERT_EQ(envio, texto + "\r\n");
            EXPECT_EQ(Partir(envio + "Ping"), texto.toStdString() + " | Ping");
            EXPECT_EQ(Partir(texto, false), texto.toStdString());
            EXPECT_EQ(Partir(texto, true), texto.toStdString());
            for (qsizetype corte = 1; corte < envio.size(); ++corte) {
                tvp::Troceador t;
                t.Anadir(saludo);
                t.Extraer();
                std::vector<QByteArray> leidos;
                for (const QByteArray& pieza : {envio.left(corte), envio.mid(corte) + "Pong"}) {
                    t.Anadir(pieza);
                    for (const QByteArray& m : t.Extraer()) leidos.push_back(m);
                }
                ASSERT_EQ(leidos.size(), 2u) << texto.toStdString() << " cut at " << corte;
                EXPECT_EQ(leidos[0], texto);
                EXPECT_EQ(leidos[1], "Pong");
            }
        }
    }
}

// CPU time the splitter takes for `piezas`, one arrival each, on a link where the peer
// ended its lines before; `leidos` gets the messages.
double Segundos(const std::vector<QByteArray>& piezas, std::vector<QByteArray>& leidos) {
    tvp::Troceador t;
    t.Anadir(tvp::Enmarcar("Mensaje hola"));
    t.Extraer();
    const std::clock_t antes = std::clock();
    for (const QByteArray& p : piezas) {
        EXPECT_TRUE(t.Anadir(p));
        for (QByteArray& m : t.Extraer()) leidos.push_back(std::move(m));
    }
    EXPECT_FALSE(t.Error());
    return double(std::clock() - antes) / CLOCKS_PER_SEC;
}

// What is held is read once: a message that comes a byte at a time costs its length,
// not its length squared (a 60 KB line took tens of seconds).
TEST(Troceador, AMessageThatComesAByteAtATimeIsReadOnce) {
    const QByteArray largo(60 * 1024, 'x');
    const QByteArray envios[] = {
        tvp::Enmarcar("Mensaje <a>" + QString::fromLatin1(largo)),
        tvp::Enmarcar("EPD 1B 8/8/8/8/8/8/8/K6k w - - id " + QString::fromLatin1(largo)),
        // A clock report whose minutes do not end: past the longest message of fixed
        // fields it is junk, not waited for.
        "TIME " + QByteArray(60 * 1024, '4') + "Ping",
    };
    for (const QByteArray& envio : envios) {
        std::vector<QByteArray> piezas;
        for (char c : envio) piezas.push_back(QByteArray(1, c));
        std::vector<QByteArray> leidos;
        // Generous: far under a second in any build; the whole length squared took minutes.
        EXPECT_LT(Segundos(piezas, leidos), 2.0) << envio.left(12).toStdString();
        ASSERT_FALSE(leidos.empty());
        if (envio.endsWith("\r\n")) {
            ASSERT_EQ(leidos.size(), 1u);
            EXPECT_EQ(leidos[0] + "\r\n", envio);
        } else {
            EXPECT_EQ(leidos.back(), "Ping");
        }
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
    // Many short messages, then a chat line far on.
    const auto u = tvp::Trocear(QByteArray("Ping").repeated(200000) + "Mensaje <a>x\r\n", false);
    ASSERT_EQ(u.mensajes.size(), 200001u);
    EXPECT_EQ(u.mensajes.back(), "Mensaje <a>x");
}

}  // namespace
