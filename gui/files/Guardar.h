// Saving the game (own game file, PGN or EPD), the chat text and the board picture.
#pragma once

// Saves the game through a save dialog.
void GuardarPartida();
// Saves the chat text to a file.
void GuardarChat();
// Saves the board picture as a bitmap.
void GuardarImagen();
// The PGN road of GuardarPartida once the name is chosen (FicheroPendiente): builds
// the move text and opens the PGN browser in save mode. Lives with the PGN browser.
void GuardarPartidaPgn();
