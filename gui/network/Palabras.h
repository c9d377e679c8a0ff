// The words of the peer protocol. Every message begins with one of them: the senders
// build their messages from these names, the splitter (Troceador) and the dispatcher
// (TavorinDespacho.cpp) read them by the same names, and the outgoing queue (Cola)
// takes each message's rank from the table below. A word written wrong breaks every
// path at once, never one alone.
#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace tvp {

namespace palabra {
inline constexpr char Ping[] = "Ping";
inline constexpr char Pong[] = "Pong";
inline constexpr char Retroceso[] = "Retroceso";
inline constexpr char RetrocesoAceptado[] = "RetrocesoAceptado";
inline constexpr char RetrocesoCancelado[] = "RetrocesoCancelado";
inline constexpr char Close[] = "Close";
inline constexpr char AbrirPartidaEPD[] = "AbrirPartidaEPD";
inline constexpr char AbrirAceptadoEPD[] = "AbrirAceptadoEPD";
inline constexpr char AbrirCanceladoEPD[] = "AbrirCanceladoEPD";
inline constexpr char CancelarEPD[] = "CancelarEPD";
inline constexpr char AbrirPartida[] = "AbrirPartida";
inline constexpr char AbrirAceptado[] = "AbrirAceptado";
inline constexpr char AbrirCancelado[] = "AbrirCancelado";
inline constexpr char NuevoCancelado[] = "NuevoCancelado";
inline constexpr char NuevoAceptado[] = "NuevoAceptado";
inline constexpr char Rendirse[] = "Rendirse";
inline constexpr char OfrecerTablas[] = "OfrecerTablas";
inline constexpr char TablasAceptadas[] = "TablasAceptadas";
inline constexpr char TablasCancelado[] = "TablasCancelado";
inline constexpr char NuevoJuego[] = "NuevoJuego";
inline constexpr char VersionTV[] = "VersionTV";
inline constexpr char Time[] = "TIME";
inline constexpr char Movimiento[] = "Movimiento";
inline constexpr char Ranking[] = "Ranking";
inline constexpr char Tvp[] = "TVP";
inline constexpr char Mensaje[] = "Mensaje";
inline constexpr char Epd[] = "EPD";
// "Bandera " and the colour whose flag fell ("B" White, "N" Black): the game is lost
// on time by that side. A peer that does not know the word passes over it (it begins
// with no other word).
inline constexpr char Bandera[] = "Bandera";
}  // namespace palabra

// What follows "TVP " in the messages of a streamed game file.
namespace corriente {
inline constexpr char Iniciar[] = "Iniciar";
inline constexpr char Terminado[] = "Terminado";
inline constexpr char Error[] = "ERROR";
inline constexpr char Dato[] = "T";           // "TVP T " and a colour, a game type or a side to move
inline constexpr char RelojBlancas[] = "TB";  // "TVP TB " and a clock token
inline constexpr char RelojNegras[] = "TN";
inline constexpr char Jugada[] = "M";  // "TVP M " and a move token
}  // namespace corriente

// How a message goes on after its word: Sola, the word is all of it; Campos, fields
// of a fixed form follow; Linea, free text follows to the end of the line (a chat
// line, a position), which a copy that ends its lines ends with CR LF.
enum class Forma { Sola, Campos, Linea };

// What the outgoing queue makes of a message (gui/network/Cola.h): a move or clock
// report (Jugada), a ping, a pong, a chat line, a refusal of the peer's request
// (Negativa), or any other game message.
enum class Clase { Juego, Jugada, Ping, Pong, Chat, Negativa };

struct Palabra {
    const char* texto;
    Forma forma;
    Clase clase;
    bool unaVez;  // one of it waiting in the queue is enough
};

// clang-format off
inline constexpr std::array<Palabra, 28> kPalabras = {{
    {palabra::Ping, Forma::Sola, Clase::Ping, true},
    {palabra::Pong, Forma::Sola, Clase::Pong, true},
    {palabra::Retroceso, Forma::Sola, Clase::Juego, false},
    {palabra::RetrocesoAceptado, Forma::Sola, Clase::Juego, false},
    {palabra::RetrocesoCancelado, Forma::Sola, Clase::Negativa, true},
    {palabra::Close, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirPartidaEPD, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirAceptadoEPD, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirCanceladoEPD, Forma::Sola, Clase::Juego, true},
    {palabra::CancelarEPD, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirPartida, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirAceptado, Forma::Sola, Clase::Juego, false},
    {palabra::AbrirCancelado, Forma::Sola, Clase::Juego, true},
    {palabra::NuevoCancelado, Forma::Sola, Clase::Negativa, true},
    {palabra::NuevoAceptado, Forma::Sola, Clase::Juego, false},
    {palabra::Rendirse, Forma::Sola, Clase::Juego, false},
    {palabra::OfrecerTablas, Forma::Sola, Clase::Juego, false},
    {palabra::TablasAceptadas, Forma::Sola, Clase::Juego, false},
    {palabra::TablasCancelado, Forma::Sola, Clase::Negativa, true},
    {palabra::NuevoJuego, Forma::Campos, Clase::Juego, false},
    {palabra::VersionTV, Forma::Campos, Clase::Juego, false},
    {palabra::Time, Forma::Campos, Clase::Jugada, false},
    {palabra::Movimiento, Forma::Campos, Clase::Jugada, false},
    {palabra::Ranking, Forma::Campos, Clase::Juego, false},
    {palabra::Tvp, Forma::Campos, Clase::Juego, false},
    {palabra::Bandera, Forma::Campos, Clase::Juego, false},
    {palabra::Mensaje, Forma::Linea, Clase::Chat, false},
    {palabra::Epd, Forma::Linea, Clase::Juego, false},
}};
// clang-format on

// The message is the word alone.
bool Es(QStringView mensaje, const char* palabra);
// The message begins with the word.
bool Empieza(QStringView mensaje, const char* palabra);

// The word of the table a message begins with, the longest that fits; nullptr when
// it begins with none.
const Palabra* PalabraDe(QStringView mensaje);

// "TVP " and a part of the stream, and its field when it has one ("TVP T B").
QString Tvp(const char* parte, const QString& campo = QString());
// The message is the stream's part with no field ("TVP Iniciar").
bool EsTvp(QStringView mensaje, const char* parte);

}  // namespace tvp
