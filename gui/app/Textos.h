// The numbers of the language texts (section Mensajes, TextosIdioma[n]) the program
// names in its code. A message box given the number as text ("95") shows that text.
#pragma once

namespace texto {

// ---- Ends of a game -------------------------------------------------------------
constexpr int MateBlancas = 1;          // checkmate, White wins
constexpr int MateNegras = 2;           // checkmate, Black wins
constexpr int Ahogado = 3;              // stalemate, a draw
constexpr int PartidaTerminada = 23;    // the game is over
constexpr int TiempoPropioAgotado = 29; // your time is up: you lose
constexpr int TiempoRivalAgotado = 30;  // your opponent's time is up: you win
constexpr int Tablas = 95;              // the game is drawn

// ---- Engine games ------------------------------------------------------------------
constexpr int PartidaEnCurso = 84;        // a game is in progress; go on? ("$" between sentences)
constexpr int MotorNoArranca = 88;        // the engine cannot be started
constexpr int PeticionNoAdmitida = 89;    // the engine cannot handle the request
constexpr int ErrorMotor = 90;            // engine error, the game is stopped (the cause follows)
constexpr int MotorAbandona = 91;         // "$ resigns": the person wins
constexpr int AbandonaYGana = 92;         // "resigns. $ wins." (the winner at "$")
constexpr int OfertaTablasMotor = 94;     // "$ offers a draw": accept?
constexpr int OfertaSinRespuesta = 96;    // the engine did not answer the draw offer
constexpr int PeticionSinRespuesta = 97;  // the engine did not answer the request

}  // namespace texto
