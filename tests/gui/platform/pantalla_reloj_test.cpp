// The clock display shared by the clock window and the engine panel: the text, and the
// colours after one side's clock is drawn.
#include "platform/PantallaReloj.h"

#include <gtest/gtest.h>

namespace {

TEST(PantallaReloj, TextAndColoursOfADrawnClock) {
    EXPECT_EQ(TextoReloj(5, 7), "05:07");
    EXPECT_EQ(TextoReloj(12, 30), "12:30");
    EXPECT_EQ(TextoReloj(120, 0), "120:00");
    EXPECT_EQ(TextoReloj(0, 0), "00:00");

    const QColor blanco = kRelojEnMarcha, gris = kRelojParado, carga(192, 192, 192);
    struct Fila {
        long minutos, segundos;
        QColor propio, otro;    // before
        QColor propio2, otro2;  // after
    };
    const Fila filas[] = {
        {4, 59, gris, blanco, blanco, gris},  // the drawn side runs
        {4, 59, blanco, gris, blanco, gris},
        {5, 0, gris, blanco, gris, blanco},   // drawn at 0 seconds: both keep theirs
        {0, 0, blanco, blanco, gris, gris},   // 0:00: both stopped
        {4, 59, carga, carga, carga, carga},  // the colour at load stays...
        {0, 0, carga, carga, gris, gris},     // ...until 0:00
    };
    for (const Fila& f : filas) {
        const ColoresReloj c = ColoresAlMostrar(f.minutos, f.segundos, f.propio, f.otro);
        EXPECT_EQ(c.propio, f.propio2) << f.minutos << ":" << f.segundos;
        EXPECT_EQ(c.otro, f.otro2) << f.minutos << ":" << f.segundos;
    }
}

}  // namespace
