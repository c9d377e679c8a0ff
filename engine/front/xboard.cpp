// xboard dialogue and ICS commands.
#include "front/xboard.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/engine_main.h"
#include "front/game_loop.h"
#include "front/game_record.h"
#include "front/handlers.h"
#include "front/settings_args.h"
#include "front/win_lists.h"

std::string ics_name;
std::string rating_text;
std::string comment_text;
std::string event_text;
std::string mate_announce_text;
int server_game = 0;

bool argument_is_off(const std::string& arg) {
    size_t i = 0;
    while (i < arg.size() && (arg[i] == ' ' || arg[i] == '\t')) ++i;
    if (arg.size() - i < 3) return false;
    return std::tolower(static_cast<unsigned char>(arg[i])) == 'o' &&
           std::tolower(static_cast<unsigned char>(arg[i + 1])) == 'f' &&
           std::tolower(static_cast<unsigned char>(arg[i + 2])) == 'f';
}

void ics_greeting() {
    level_printf(LVL_NORMAL, "tellics set 1 Orvik (Orvik) %s\n", release_label);
    for (const win_list& list : win_lists)
        if (list.variable > 0 && ics_mode) level_printf(LVL_NORMAL, "%s\n", win_list_line(list, list.variable).c_str());
}

int cmd_xboard(const std::string& arg) {
    const bool off = argument_is_off(arg);
    xboard_mode = off ? 0 : 1;
    // xboard hosts on this system interrupt an engine with SIGINT before they send it a
    // move; the engine reads its input while it searches and needs no signal.
    std::signal(SIGINT, off ? SIG_DFL : SIG_IGN);
    set_xboard_levels(!off);
    level_printf(LVL_NORMAL, "xboard_mode is %s\n", off ? "Off" : "On");
    return CMD_READ_ON;
}

int cmd_protover(const std::string& arg) {
    const int version = read_integer_arg(arg);
    xboard_mode = version == 0 ? 1 : version;
    if (xboard_mode >= 2) {
        level_printf(LVL_NORMAL, "feature ping=1\n");
        level_printf(LVL_NORMAL, "feature setboard=1\n");
        level_printf(LVL_NORMAL, "feature playother=0\n");
        level_printf(LVL_NORMAL, "feature san=0\n");
        level_printf(LVL_NORMAL, "feature usermove=0\n");
        level_printf(LVL_NORMAL, "feature time=1\n");
        level_printf(LVL_NORMAL, "feature draw=0\n");
        level_printf(LVL_NORMAL, "feature reuse=1\n");
        level_printf(LVL_NORMAL, "feature analyze=1\n");
        level_printf(LVL_NORMAL, "feature myname=\"Orvik %s\"\n", release_label);
        level_printf(LVL_NORMAL, "feature variants=\"normal\"\n");
        level_printf(LVL_NORMAL, "feature colors=1\n");
        level_printf(LVL_NORMAL, "feature ics=1\n");
        level_printf(LVL_NORMAL, "feature name=1\n");
        level_printf(LVL_NORMAL, "feature done=1\n");
    }
    return CMD_READ_ON;
}

int cmd_use_book(const std::string& arg) {
    use_book = argument_is_off(arg) ? 0 : 1;
    level_printf(LVL_NORMAL, "I am%s using the opening book\n", use_book ? "" : " not");
    return CMD_READ_ON;
}

int cmd_resign(const std::string& arg) {
    resign_on = argument_is_off(arg) ? 0 : 1;
    return CMD_READ_ON;
}

int cmd_random(const std::string&) {
    if (!xboard_mode) level_printf(LVL_NORMAL, "Not implemented yet\n");
    return CMD_READ_ON;
}

int cmd_result(const std::string& arg) {
    result_text = arg;
    force_mode = 1;
    if (!record_finished) finish_game_record();
    return CMD_ACT;
}

int cmd_rating(const std::string& arg) {
    rating_text = arg;
    server_game = 1;
    return CMD_READ_ON;
}

int cmd_ics(const std::string& arg) {
    ics_name = arg;
    if (!arg.empty() && arg[0] == '-') {
        ics_mode = 0;
        return CMD_READ_ON;
    }
    ics_mode = 1;
    ics_greeting();
    return CMD_READ_ON;
}

int cmd_rem(const std::string&) { return CMD_READ_ON; }

int cmd_name(const std::string& arg) {
    if (xboard_mode < 2) {
        ics_mode = 1;
        ics_greeting();
    }
    opponent_name = arg;
    server_game = 1;
    if (!fritz_mode)
        level_printf(LVL_NORMAL, "tellics %s Hello %s from Orvik version %s\n", ics_tell_word.c_str(),
                     opponent_name.c_str(), release_label);
    return CMD_READ_ON;
}

int cmd_comment(const std::string& arg) {
    comment_text = arg;
    return CMD_READ_ON;
}

int cmd_echo(const std::string& arg) {
    level_printf(LVL_NORMAL, "%s\n", arg.c_str());
    return CMD_READ_ON;
}

int cmd_event(const std::string& arg) {
    event_text = arg;
    return CMD_READ_ON;
}

int cmd_whisper(const std::string& arg) {
    ics_talk_word = arg;
    return CMD_READ_ON;
}

int cmd_version(const std::string& arg) {
    std::snprintf(release_label, sizeof release_label, "%s %s", "Vellimast", arg.c_str());
    if (ics_mode) level_printf(LVL_NORMAL, "tellics set 1 Orvik (Orvik) %s\n", release_label);
    return CMD_READ_ON;
}

int cmd_announce_mate(const std::string& arg) {
    announce_mate_on = !arg.empty() && std::isalnum(static_cast<unsigned char>(arg[0])) ? 1 : 0;
    mate_announce_text = arg;
    return CMD_READ_ON;
}

int cmd_say(const std::string& arg) {
    ics_tell_word = arg;
    return CMD_READ_ON;
}

int cmd_ping(const std::string& arg) {
    level_printf(LVL_NORMAL, "pong %s\n", arg.c_str());
    return CMD_READ_ON;
}
