// The order in which waiting peer messages go out, and the queue's limits.
#include "network/Cola.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Cola {
    cola::Slots huecos;
    long n = 0;
    // Queues messages ("a|b|c"); the ones dropped are returned the same way.
    std::string Poner(const QString& mensajes) {
        QStringList fuera;
        for (const QString& m : mensajes.split(u'|'))
            if (!cola::Encolar(huecos, n, m)) fuera << m;
        return fuera.join(u'|').toStdString();
    }
    // The order of sending: reorder before each send, as the sender does.
    std::string Salida() {
        QStringList l;
        while (n > 0) {
            cola::Ordenar(huecos, n);
            l << huecos[1];
            cola::QuitarPrimero(huecos, n);
        }
        return l.join(u'|').toStdString();
    }
};

TEST(Cola, MovesAndClockReportsPassOnlyChatPingAndPong) {
    const struct {
        const char* entrada;
        const char* salida;
    } tabla[] = {
        {"Mensaje <a>hola|Ping|Movimiento 52540|TIME 4:7", "Movimiento 52540|TIME 4:7|Ping|Mensaje <a>hola"},
        {"Pong|Mensaje <a>x|TIME 3:2", "TIME 3:2|Pong|Mensaje <a>x"},
        // Game messages keep their place: the move made after them goes after them.
        {"NuevoAceptado|Movimiento 52540", "NuevoAceptado|Movimiento 52540"},
        {"EPD 1B 8/8/8/8/8/8/8/K6k w - -|Mensaje <a>x|Movimiento 12130",
         "EPD 1B 8/8/8/8/8/8/8/K6k w - -|Movimiento 12130|Mensaje <a>x"},
        {"TVP M 5254|TVP Terminado|Movimiento 57550", "TVP M 5254|TVP Terminado|Movimiento 57550"},
        {"Mensaje <a>1|RetrocesoAceptado|Mensaje <a>2|Movimiento 52540",
         "Mensaje <a>1|RetrocesoAceptado|Movimiento 52540|Mensaje <a>2"},
        // Among themselves moves and reports keep their order.
        {"TIME 4:0|Movimiento 52540", "TIME 4:0|Movimiento 52540"},
        {"Mensaje <a>x|Movimiento 52540|TIME 4:0", "Movimiento 52540|TIME 4:0|Mensaje <a>x"},
        // A ping goes before chat, not before game messages.
        {"Mensaje <a>x|Rendirse|Ping", "Mensaje <a>x|Rendirse|Ping"},
        {"Rendirse|Mensaje <a>x|Ping", "Rendirse|Ping|Mensaje <a>x"},
    };
    for (const auto& c : tabla) {
        Cola q;
        EXPECT_EQ(q.Poner(c.entrada), "") << c.entrada;
        EXPECT_EQ(q.Salida(), c.salida) << c.entrada;
    }
}

TEST(Cola, OnePingAndOnePongWaitAtMost) {
    Cola q;
    EXPECT_EQ(q.Poner("Ping|Pong|Ping|Pong|Mensaje <a>x"), "Ping|Pong");
    EXPECT_EQ(q.n, 3);
    q.Salida();
    EXPECT_EQ(q.Poner("Ping"), "");
}

TEST(Cola, AFullQueueGivesWayToGameMessagesOnly) {
    Cola q;
    for (int i = 0; i < 38; ++i) ASSERT_EQ(q.Poner(QString("Mensaje <a>%1").arg(i)), "");
    ASSERT_EQ(q.Poner("Ping|Pong"), "");
    ASSERT_EQ(q.n, 40);
    EXPECT_EQ(q.Poner("Mensaje <a>late"), "Mensaje <a>late");
    // Game messages take the places of the ping and the pong, then of the newest chat.
    EXPECT_EQ(q.Poner("Movimiento 52540|Rendirse|NuevoCancelado"), "");
    EXPECT_EQ(q.n, 40);
    const std::string salida = q.Salida();
    EXPECT_EQ(salida.find("Ping"), std::string::npos);
    EXPECT_EQ(salida.find("Mensaje <a>37"), std::string::npos);
    EXPECT_NE(salida.find("Mensaje <a>36"), std::string::npos);
    EXPECT_EQ(salida.rfind("Movimiento 52540|", 0), 0u) << salida;
    EXPECT_NE(salida.find("Rendirse|NuevoCancelado"), std::string::npos);

    // Forty game messages: the next is the one that cannot get in.
    Cola llena;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(llena.Poner("TVP M 5254"), "");
    EXPECT_EQ(llena.Poner("TVP Terminado"), "TVP Terminado");
}

// A peer that repeats a request, or sends it broken, is refused each time: one refusal
// of a kind waits at most, and a move made meanwhile goes first and is never dropped.
TEST(Cola, RefusalsWaitOnceAndNeverKeepAMoveBack) {
    Cola q;
    EXPECT_EQ(q.Poner("NuevoCancelado|NuevoCancelado|RetrocesoCancelado|TablasCancelado|TVP ERROR|RetrocesoCancelado|"
                      "AbrirCancelado|AbrirCancelado|AbrirCanceladoEPD|TablasCancelado"),
              "NuevoCancelado|RetrocesoCancelado|AbrirCancelado|TablasCancelado");
    EXPECT_EQ(q.n, 6);
    // Once sent, the next one waits again.
    q.Salida();
    EXPECT_EQ(q.Poner("NuevoCancelado"), "");

    const struct {
        const char* entrada;
        const char* salida;
    } tabla[] = {
        {"NuevoCancelado|Mensaje <a>x|TablasCancelado|Movimiento 52540|TIME 4:0",
         "Movimiento 52540|TIME 4:0|NuevoCancelado|TablasCancelado|Mensaje <a>x"},
        {"Mensaje <a>x|TVP ERROR|Ping", "Ping|TVP ERROR|Mensaje <a>x"},
        // An open request refused keeps its place among the game messages.
        {"AbrirCanceladoEPD|Movimiento 52540", "AbrirCanceladoEPD|Movimiento 52540"},
        {"NuevoAceptado|RetrocesoCancelado|Movimiento 52540", "NuevoAceptado|Movimiento 52540|RetrocesoCancelado"},
    };
    for (const auto& c : tabla) {
        Cola r;
        EXPECT_EQ(r.Poner(c.entrada), "") << c.entrada;
        EXPECT_EQ(r.Salida(), c.salida) << c.entrada;
    }

    // Full of chat: a refusal takes the newest line's place. Full of refusals and game
    // messages: a game message or a move takes the newest refusal's, and a move then
    // the newest game message's.
    Cola chat;
    for (int i = 0; i < 40; ++i) chat.Poner(QString("Mensaje <a>%1").arg(i));
    EXPECT_EQ(chat.Poner("RetrocesoCancelado"), "");
    EXPECT_EQ(chat.huecos[40], "RetrocesoCancelado");
    Cola juego;
    for (int i = 0; i < 36; ++i) juego.Poner("TVP M 5254");
    juego.Poner("NuevoCancelado|TablasCancelado|TVP Terminado|TVP ERROR");
    ASSERT_EQ(juego.n, 40);
    EXPECT_EQ(juego.Poner("NuevoJuego 1 R 5"), "");
    EXPECT_EQ(juego.Poner("Movimiento 52540|TIME 4:0|Movimiento 57550"), "");
    EXPECT_EQ(juego.n, 40);
    const std::string salida = juego.Salida();
    EXPECT_NE(salida.find("TVP Terminado|Movimiento 52540|TIME 4:0|Movimiento 57550"), std::string::npos) << salida;
    EXPECT_EQ(salida.find("Cancelado"), std::string::npos) << salida;
    EXPECT_EQ(salida.find("TVP ERROR"), std::string::npos) << salida;
    EXPECT_EQ(salida.find("NuevoJuego"), std::string::npos) << salida;
}

TEST(Cola, EmptyingClearsEverySlot) {
    Cola q;
    q.Poner("Ping|Rendirse|Mensaje <a>x");
    cola::Vaciar(q.huecos, q.n);
    EXPECT_EQ(q.n, 0);
    for (const QString& s : q.huecos) EXPECT_TRUE(s.isEmpty());
}

}  // namespace
