// The five event sounds of the board window, from the program folder's Sonidos/.
#pragma once

// 1 connection made, 2 connection lost, 3 a move, 4 checkmate, 5 a clock ran out.
// Hides the board's selection marker in every case; plays only while the sound
// item of the view menu is checked. A missing file (or an unknown kind) is told
// once and switches sounds off.
void ReproducirSonido(long tipo);
// Language text 54 with its two "$" marks as line breaks, then sounds off.
void SonidoNoEncontrado();

// The file name of a sound kind, "" for an unknown kind.
const char* FicheroSonido(long tipo);
