// The take-back property over every position of the ECO file and many long random
// games (release build only).
#include "propiedad_retroceso.h"

namespace {

TEST(RetrocesoPropiedadSlow, EveryEcoPositionKeepsItsLegalMoves) { propiedad::PartidasEco(1, 1); }

TEST(RetrocesoPropiedadSlow, ManyLongRandomGames) { propiedad::PartidasAlAzar(200, 120); }

}  // namespace
