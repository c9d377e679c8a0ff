#include "platform/FuenteReloj.h"

#include <gtest/gtest.h>

namespace {

struct RelojFalso : ::testing::Test {
    std::int64_t ahora = 5'000'000;
    void SetUp() override {
        reloj::FijarFuente([this] { return ahora; });
    }
    void TearDown() override { reloj::FijarFuente({}); }
};

TEST_F(RelojFalso, CountsEveryWholeSecondOnceEvenWhenTicksComeLate) {
    reloj::ContadorSegundos c;
    EXPECT_EQ(c.SegundosNuevos(), 0);  // not started
    c.Iniciar();
    ahora += 999;
    EXPECT_EQ(c.SegundosNuevos(), 0);
    ahora += 1;
    EXPECT_EQ(c.SegundosNuevos(), 1);
    EXPECT_EQ(c.SegundosNuevos(), 0);
    ahora += 3'700;  // a busy spell: three seconds and a remainder
    EXPECT_EQ(c.SegundosNuevos(), 3);
    ahora += 300;  // the remainder is kept
    EXPECT_EQ(c.SegundosNuevos(), 1);
    c.Detener();
    ahora += 10'000;
    EXPECT_EQ(c.SegundosNuevos(), 0);
    c.Iniciar();  // a restart counts from now
    ahora += 1'500;
    EXPECT_EQ(c.SegundosNuevos(), 1);
}

TEST(FuenteReloj, SteadySourceNeverGoesBack) {
    std::int64_t antes = reloj::AhoraMs();
    for (int i = 0; i < 1000; ++i) {
        std::int64_t ahora = reloj::AhoraMs();
        EXPECT_GE(ahora, antes);
        antes = ahora;
    }
}

}  // namespace
