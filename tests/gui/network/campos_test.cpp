// The fields of peer messages: what is read, and what makes a message void.
#include "network/Campos.h"

#include <gtest/gtest.h>

namespace {

std::string Jugada(const std::optional<tvp::Jugada>& j) {
    if (!j) return "-";
    return std::to_string(j->x1) + std::to_string(j->y1) + std::to_string(j->x2) + std::to_string(j->y2) + "/" +
           std::to_string(j->pieza);
}

TEST(Campos, Moves) {
    const struct {
        const char* mensaje;
        const char* leido;
    } tabla[] = {
        {"Movimiento 52540", "5254/0"},
        {"Movimiento 27285", "2728/5"},
        {"Movimiento 272811", "2728/11"},
        {"Movimiento 5254", "-"},
        {"Movimiento 9999", "-"},
        {"Movimiento 02540", "-"},
        {"Movimiento 5254x", "-"},
        {"Movimiento 5254013", "-"},
        {"Movimiento 52540 ", "-"},
        {"Movimiento", "-"},
        {"TVP M 5254", "5254/0"},
        {"TVP M 27285", "2728/5"},
        {"TVP M 525", "-"},
    };
    for (const auto& c : tabla) {
        const QString m = c.mensaje;
        EXPECT_EQ(Jugada(m.startsWith("TVP") ? tvp::LeerJugadaTvp(m) : tvp::LeerMovimiento(m)), c.leido) << c.mensaje;
    }
}

TEST(Campos, ClockReports) {
    const struct {
        const char* mensaje;
        long minutos, segundos;  // -1: void
    } tabla[] = {
        {"TIME 4:7", 4, 7},     {"TIME 0:59", 0, 59},  {"TIME 180:0", 180, 0}, {"TIME 181:0", -1, 0},
        {"TIME 4:60", -1, 0},   {"TIME x:y", -1, 0},   {"TIME 4", -1, 0},      {"TIME :5", -1, 0},
        {"TIME -1:5", -1, 0},   {"TIME 4:5:6", -1, 0}, {"TVP TB 0930", 9, 30}, {"TVP TN 12005", 120, 5},
        {"TVP TB 0960", -1, 0}, {"TVP TB 093", -1, 0}, {"TVP TB 09a0", -1, 0},
    };
    for (const auto& c : tabla) {
        const QString m = c.mensaje;
        const auto t = m.startsWith("TVP") ? tvp::LeerTiempoTvp(m) : tvp::LeerTime(m);
        if (c.minutos < 0) {
            EXPECT_FALSE(t) << c.mensaje;
            continue;
        }
        ASSERT_TRUE(t) << c.mensaje;
        EXPECT_EQ(t->minutos, c.minutos) << c.mensaje;
        EXPECT_EQ(t->segundos, c.segundos) << c.mensaje;
    }
}

TEST(Campos, GameProposals) {
    const struct {
        const char* mensaje;
        const char* leido;
    } tabla[] = {
        {"NuevoJuego 1 R 15", "1R15"}, {"NuevoJuego 2 A 0", "2A0"}, {"NuevoJuego 1 R 180", "1R180"},
        {"NuevoJuego 1 R 181", "-"},   {"NuevoJuego 1 R 0", "-"},   {"NuevoJuego 1 A 5", "-"},
        {"NuevoJuego 3 Q 999", "-"},   {"NuevoJuego 1 R", "-"},     {"NuevoJuego 1 R x", "-"},
        {"NuevoJuego 1R 15", "-"},     {"NuevoJuego", "-"},
    };
    for (const auto& c : tabla) {
        const auto p = tvp::LeerNuevoJuego(c.mensaje);
        const std::string leido =
            p ? std::to_string(p->color) + p->tipo.toStdString() + std::to_string(p->minutos) : "-";
        EXPECT_EQ(leido, c.leido) << c.mensaje;
        if (p) {
            EXPECT_EQ(tvp::TextoNuevoJuego(*p), c.mensaje);
        }
    }
}

TEST(Campos, RankingsAndPositions) {
    auto r = tvp::LeerRanking("Ranking 12-5-4-3-1350");
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[0], 12);
    EXPECT_EQ((*r)[4], 1350);
    EXPECT_TRUE(tvp::LeerRanking("Ranking 0-0-0-0-2147483647"));
    for (const char* malo : {"Ranking 99999999999-1", "Ranking 1-2-3-4", "Ranking 1-2-3-4-5-6", "Ranking 1--3-4-5",
                             "Ranking 0-0-0-0-2147483648", "Ranking a-0-0-0-0"})
        EXPECT_FALSE(tvp::LeerRanking(malo)) << malo;

    auto e = tvp::LeerEpd("EPD 2B 8/8/8/8/8/8/8/K6k b - -");
    ASSERT_TRUE(e);
    EXPECT_FALSE(e->formaT);
    EXPECT_EQ(e->lado, 2);
    EXPECT_EQ(e->color, u'B');
    EXPECT_EQ(e->fen, "8/8/8/8/8/8/8/K6k b - -");
    e = tvp::LeerEpd("EPD T1N 8/8/8/8/8/8/8/K6k w - -");
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->formaT);
    EXPECT_EQ(e->lado, 1);
    EXPECT_EQ(e->color, u'N');
    for (const char* malo : {"EPD 0B 8/8 w", "EPD 1X 8/8 w", "EPD 1B", "EPD 1B ", "EPD T3N 8/8 w", "EPD"})
        EXPECT_FALSE(tvp::LeerEpd(malo)) << malo;

    EXPECT_EQ(tvp::LeerTvpT("TVP T N"), QChar(u'N'));
    EXPECT_EQ(tvp::LeerTvpT("TVP T 2"), QChar(u'2'));
    EXPECT_FALSE(tvp::LeerTvpT("TVP T X"));
    EXPECT_FALSE(tvp::LeerTvpT("TVP T NN"));
}

}  // namespace
