// The order of the outgoing peer messages (slots 1 to 40 of ColaEnvio, slot 0
// unused), apart from the sender that empties them.
//
// A move or a clock report goes out before the chat lines, pings, pongs and refusals
// queued ahead of it, but never before another game message or another move or
// report: a game accepted, a position or the end of a replay reaches the peer before
// the first move made after it. A ping or pong goes before refusals, a refusal before
// chat. A refusal is the answer to a request of the peer that this side turns down
// ("NuevoCancelado", "RetrocesoCancelado", "TablasCancelado", "TVP ERROR"): a peer
// that repeats a request, or sends it broken, would have it queued again and again,
// so at most one of each waits, as one ping and one pong (and one "AbrirCancelado" of
// each kind, which keeps its place among the game messages). When all 40 slots are
// taken, a chat line, ping or pong gives way to a refusal, and a refusal too to a
// game message; a move or clock report is never dropped: failing those, the newest
// message that is neither gives way to it.
#pragma once

#include "network/Palabras.h"

#include <QString>

#include <array>

namespace cola {

using Slots = std::array<QString, 41>;

// "Movimiento ..." and "TIME ..." are Jugada, "Mensaje ..." Chat, the refusals above
// Negativa: as the table of words (network/Palabras.h) says.
using Clase = tvp::Clase;
Clase ClaseDe(const QString& mensaje);

// Appends a message; false when it was dropped (see above).
bool Encolar(Slots& cola, long& numero, const QString& texto);
// Puts the waiting messages in sending order (slot 1 goes next).
void Ordenar(Slots& cola, long numero);
// Takes slot 1 out; the others move one slot up.
void QuitarPrimero(Slots& cola, long& numero);
void Vaciar(Slots& cola, long& numero);

}  // namespace cola
