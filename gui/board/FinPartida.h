// The end of a game on the board and the main window's new-game reset.
#pragma once

// No game on the board: no game type, no local colour, nobody to move.
void SinPartida();
// The game-state reset at a game's end. The final position stays on the board and
// may still be saved or taken back: its side to move (the move record's count) and
// the castling rights lost in the game survive the reset.
void ReinicioFinal();
// Records how the game on the board ended when the board alone does not show it (a
// resignation, an agreed draw, a flag fall): `ganador` the side that won, turno::Nadie
// for a draw. The record keeps it until another game or position comes to the board,
// or a move is taken back.
void AnotarResultado(int ganador);
// After a move that gave checkmate: books a rated game, plays the win sound, resets
// the game state, stops the engine clocks and tells who won (text 1 or 2).
void FinJaqueMate();
// After a move that gave stalemate: books a rated game as a draw, resets the game
// state and shows text 3.
void FinAhogado();
// A new game on the board from scratch: empty move list, start position, no game.
void ReiniciarPartida();
