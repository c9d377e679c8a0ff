#include "app/EstadoProvisional.h"

int Turno = 0;
bool Conectado = false;
std::string TipoPartida;
std::string MiColor;
