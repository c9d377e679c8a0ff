// The fields of the peer messages, read and checked, and the messages written from
// them. Each reader takes one whole message and gives nothing when a field is
// missing, is not made of digits, is out of its range or is followed by anything: the
// dispatcher then ignores the message (or refuses it, for a game proposal).
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace tvp {

// A move: origin and destination file and rank (1 to 8) and the promotion piece
// code as written (0 none).
struct Jugada {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int pieza = 0;
};
// "Movimiento " c1 r1 c2 r2 p.
std::optional<Jugada> LeerMovimiento(const QString& m);
QString TextoMovimiento(const Jugada& j);
// "TVP M " c1 r1 c2 r2 [p].
std::optional<Jugada> LeerJugadaTvp(const QString& m);

// A clock: minutes and seconds (0 to 59).
struct Tiempo {
    long minutos = 0;
    long segundos = 0;
};
// "TIME " minutes ":" seconds; minutes up to kMinutosMaximos.
std::optional<Tiempo> LeerTime(const QString& m);
QString TextoTime(const Tiempo& t);
// "TVP TB " or "TVP TN " and a clock token of 4 or 5 digits (the last two are the
// seconds).
std::optional<Tiempo> LeerTiempoTvp(const QString& m);

constexpr long kMinutosMaximos = 180;

// "NuevoJuego " c " " t " " minutes: c 1 (the proposer plays White) or 2, t "R"
// (1 to 180 minutes) or "A" (0 minutes).
struct Propuesta {
    int color = 1;
    QString tipo;
    long minutos = 0;
};
std::optional<Propuesta> LeerNuevoJuego(const QString& m);
QString TextoNuevoJuego(const Propuesta& p);

// "Ranking " games "-" wins "-" losses "-" draws "-" points, each 0 to 2^31 - 1.
std::optional<std::array<std::int32_t, 5>> LeerRanking(const QString& m);
QString TextoRanking(const std::array<std::int32_t, 5>& v);

// "EPD " s c " " fen or "EPD T" s c " " fen: s the side to move (1 White, 2
// Black), c the sender's colour ("B" or "N"). The position itself is the reader's.
struct Epd {
    bool formaT = false;  // the receiver moves first
    int lado = 1;
    QChar color;
    QString fen;
};
std::optional<Epd> LeerEpd(const QString& m);
QString TextoEpd(const Epd& e);

// "TVP T " x: x one of B, N, A, R, 0, 1, 2.
std::optional<QChar> LeerTvpT(const QString& m);

// "Bandera " and "B" or "N": the side (1 White, 2 Black) whose flag fell.
std::optional<int> LeerBandera(const QString& m);
QString TextoBandera(int lado);

// "VersionTV " and the version; "Mensaje " and a chat line.
QString TextoVersion(const QString& version);
QString TextoChat(const QString& linea);

// The peer's nick that a chat message names (its text after "Mensaje "): a chat line
// "<nick>...", a change of nick "*** old ... new", or the greeting that opens a link,
// which begins with it. "" when it names none of 1 to 9 characters.
QString NickDeMensaje(const QString& texto, bool saludo);

}  // namespace tvp
