// Win lists: the opponents that beat the engine on a chess server, in memory and in
// three small text files, published as numbered server variables.
#pragma once

#include <string>

constexpr int WIN_LIST_SLOTS = 6;

struct win_list {
    std::string file;                   // "win.hum", "win.cmp", "win.all" at start
    std::string title;                  // text of the server line
    int variable = 0;                   // server variable number (0: not published)
    std::string names[WIN_LIST_SLOTS];  // most recent first; empty = free slot
};

enum : int { WIN_HUMANS = 0, WIN_COMPUTERS = 1, WIN_ALL = 2 };
extern win_list win_lists[3];

// Reads the list's file (a missing file leaves the list empty).
void read_win_list(win_list& list);
// Puts `name` at the top of the list, rewrites the file and publishes the list when
// its variable is at least 1. Nothing happens outside a server game or for an empty
// or "?" name.
void update_win_list(win_list& list, const std::string& name);
// "tellics set <variable> <title>: <names joined by ", ">" ("None" for an empty list).
std::string win_list_line(const win_list& list, int variable);
// After a game that the engine lost on a server: the opponent goes into the list of
// its kind and into the list of all opponents.
void update_win_lists();
// Whether the present result text says that the engine lost.
bool engine_lost_game();
