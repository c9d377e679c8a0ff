// Texts of the xboard and ICS dialogues that the game records and the tells use.
#pragma once

#include <string>

extern std::string ics_name;            // ics: the server's name
extern std::string rating_text;         // rating: the engine's rating, then the opponent's
extern std::string comment_text;        // comment: the game record's Comment tag
extern std::string event_text;          // event: the game record's Event text
extern std::string mate_announce_text;  // announce_mate
extern int server_game;                 // name or rating arrived: the game is played on a server

// True when `arg` begins with "off" in any case.
bool argument_is_off(const std::string& arg);
// "tellics set 1 ..." and the win-list lines that an ICS greeting sends.
void ics_greeting();
