// The own game file's texts: clock tokens, the type line, the file written, and
// the tokens read back from files as people and programs leave them.
#include "files/TvpTexto.h"

#include <gtest/gtest.h>

namespace {

TEST(Texto, ClockTokensComeFromTheDigitsAroundTheColon) {
    const std::pair<const char*, const char*> casos[] = {
        {"", "0000"},        {"00:00", "0000"},   {"04:31", "0431"},   {"9:05", "0905"},
        {"120:00", "12000"}, {"180:59", "18059"}, {"0:00:00", "0000"}, {" 05:00 ", "0500"},
    };
    for (const auto& [leyenda, token] : casos) EXPECT_EQ(tvp::TokenReloj(leyenda), token) << leyenda;
    // Every clock a game may have reads back as it was written.
    for (long m : {0L, 1L, 9L, 59L, 99L, 100L, 180L}) {
        for (long s : {0L, 7L, 59L}) {
            const QString leyenda = QString("%1:%2").arg(m, 2, 10, QChar(u'0')).arg(s, 2, 10, QChar(u'0'));
            const auto r = tvp::LeerReloj(tvp::TokenReloj(leyenda));
            ASSERT_TRUE(r) << leyenda.toStdString();
            EXPECT_EQ(r->minutos, m);
            EXPECT_EQ(r->segundos, s);
        }
    }
    EXPECT_FALSE(tvp::LeerReloj("04a1"));
    EXPECT_FALSE(tvp::LeerReloj(""));
}

TEST(Texto, TheTypeLineNamesTheGameOrGuessesItFromTheClocks) {
    EXPECT_EQ(tvp::LetraTipo("R", "0000", "0000"), "R");
    EXPECT_EQ(tvp::LetraTipo("A", "0431", "0500"), "A");
    EXPECT_EQ(tvp::LetraTipo("", "0000", "0000"), "A");
    EXPECT_EQ(tvp::LetraTipo("", "0000", "0012"), "R");
}

TEST(Texto, AFileHoldsClocksTypeMovesAndAnEmptyLine) {
    EXPECT_EQ(tvp::TextoFichero("0000", "0000", "A", "5254\r\n5755\r\n7163\r\n"),
              QByteArray("0000\r\n0000\r\nA\r\n5254\r\n5755\r\n7163\r\n\r\n"));
    EXPECT_EQ(tvp::TextoFichero("0000", "0000", "A", ""), QByteArray("0000\r\n0000\r\nA\r\n\r\n"));
}

TEST(Texto, TokensOfFilesAsTheyComeWritten) {
    using V = std::vector<QString>;
    const std::pair<QByteArray, V> casos[] = {
        {"0000\r\n0000\r\nA\r\n5254\r\n\r\n", {"0000", "0000", "A", "5254", ""}},
        {"\xEF\xBB\xBF"
         "0431\n0500\nR\n",
         {"0431", "0500", "R"}},
        {"0000\r0000\rA", {"0000", "0000", "A"}},
        {"5254\r\n\r\n\r\n5755", {"5254", "", "", "5755"}},
        {"  5254  \r\n\"5755\"\r\n5254,7163", {"5254", "5755", "5254", "7163"}},
        {"", {}},
    };
    for (const auto& [datos, tokens] : casos) EXPECT_EQ(tvp::Tokens(datos), tokens) << datos.toStdString();
}

TEST(Texto, MoveTokensSplitIntoSquaresAndPromotion) {
    const auto j = tvp::LeerJugada("77885");
    ASSERT_TRUE(j);
    EXPECT_EQ(j->origen, "77");
    EXPECT_EQ(j->destino, "88");
    EXPECT_EQ(j->pieza, 5);
    EXPECT_EQ(tvp::LeerJugada("222111")->pieza, 11);
    EXPECT_EQ(tvp::LeerJugada("5254")->pieza, 0);
    // Out-of-board squares are the rules' to refuse; fields that are no number are bad here.
    EXPECT_TRUE(tvp::LeerJugada("9952"));
    for (const char* malo : {"e2e4", "52545x", "5x54", "525", "5254-1"}) EXPECT_FALSE(tvp::LeerJugada(malo)) << malo;
}

}  // namespace
