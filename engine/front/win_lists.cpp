// Win lists.
#include "front/win_lists.h"

#include <cstdio>

#include "core/board.h"
#include "core/output.h"
#include "core/state.h"
#include "front/game_record.h"
#include "front/xboard.h"

win_list win_lists[3] = {
    {"win.hum", "Humans that beat me", 0, {}},
    {"win.cmp", "Computer that beat me", 0, {}},
    {"win.all", "Opponents that beat me", 0, {}},
};

void read_win_list(win_list& list) {
    for (std::string& n : list.names) n.clear();
    FILE* f = open_for_reading(list.file, "r", true);
    if (!f) return;
    std::string line;
    int count = 0;
    while (count < WIN_LIST_SLOTS && read_text_line(f, line, 256) == text_read::line) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r' ||
                                 line.back() == '\v' || line.back() == '\f'))
            line.pop_back();
        if (line.size() >= 2) list.names[count++] = line;
    }
    std::fclose(f);
}

std::string win_list_line(const win_list& list, int variable) {
    std::string text = "tellics set " + std::to_string(variable) + " " + list.title + ": ";
    if (list.names[0].empty()) text += "None";
    for (int i = 0; i < WIN_LIST_SLOTS; ++i) {
        if (list.names[i].empty()) continue;
        if (i > 0) text += ", ";
        text += list.names[i];
    }
    return text;
}

void update_win_list(win_list& list, const std::string& name) {
    if (!server_game || name.empty() || name == "?") return;
    int at = WIN_LIST_SLOTS - 1;
    for (int i = 0; i < WIN_LIST_SLOTS; ++i)
        if (list.names[i] == name) {
            at = i;
            break;
        }
    for (int i = at; i > 0; --i) list.names[i] = list.names[i - 1];
    list.names[0] = name;
    if (FILE* f = open_file(list.file.c_str(), "w", true)) {
        for (const std::string& n : list.names)
            if (!n.empty()) std::fprintf(f, "%s\n", n.c_str());
        std::fclose(f);
    }
    if (list.variable >= 1) level_printf(LVL_NORMAL, "%s\n", win_list_line(list, list.variable).c_str());
}

bool engine_lost_game() {
    const std::string& r = result_text;
    if (r.empty()) return false;
    if (engine_last_side == WHITE) return r[0] == '0';
    return r[0] == '1' && r.compare(0, 2, "1/") != 0;
}

void update_win_lists() {
    if (!ics_mode || !engine_lost_game()) return;
    update_win_list(win_lists[opponent_is_computer ? WIN_COMPUTERS : WIN_HUMANS], opponent_name);
    update_win_list(win_lists[WIN_ALL], opponent_name);
}
