// The ranking record and its file, without windows.
//
// The record holds ten 32-bit values: games, wins, losses, draws and points of the
// local player, then the same five of the connected opponent. The file
// Puntuacion.dat holds the local half only: five signed 32-bit little-endian
// integers, 20 bytes.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace puntuacion {

using Registro = std::array<std::int32_t, 10>;

constexpr std::int32_t kPuntosIniciales = 1200;
constexpr Registro kRegistroNuevo = {0, 0, 0, 0, kPuntosIniciales, 0, 0, 0, 0, kPuntosIniciales};

enum Resultado { Derrota = 1, Victoria = 2, Tablas = 3 };

// Books one finished rated game into both halves. The winner gains 50 when it had
// more points than the loser, else 100; the loser loses 50 when it had fewer, else
// 100; a draw moves 50 from the side with more points to the one with fewer. Points
// never fall below 0 and no value passes the largest 32-bit value.
void Sumar(Registro& r, int resultado);

// The local half as it lies in the file.
QByteArray Bytes(const Registro& r);

// The local half read from the first 20 bytes of a file: false (and nothing changed)
// when `datos` is not 20 bytes long, a counter is negative or the games are not the
// wins, losses and draws added up. The points are read as they stand.
bool DesdeBytes(const QByteArray& datos, Registro& r);

// A fresh local half: no games, 1200 points. The opponent's half stays.
void Reiniciar(Registro& r);

// Writes the local half over the first 20 bytes of the file, in place (what a longer
// file holds after them stays, and is not read), first making an existing file
// writable for its owner. False when the file cannot be written or is no regular file;
// the file is then as it was.
bool Escribir(const QString& ruta, const Registro& r);

}  // namespace puntuacion
