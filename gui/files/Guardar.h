// Saving the game (own game file, PGN or EPD), the chat text and the board picture.
#pragma once

// Saves the game through a save dialog.
void GuardarPartida();
// Saves the chat text to a file.
void GuardarChat();
// Saves the board picture as a bitmap.
void GuardarImagen();
