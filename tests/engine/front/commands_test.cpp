#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

#include "core/board.h"
#include "core/clock.h"
#include "core/input.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/new_game.h"
#include "front/polling.h"

namespace {
const command_entry* row_named(const char* name) {
    for (const command_entry* r = command_table; r->name; ++r)
        if (std::strcmp(r->name, name) == 0) return r;
    return nullptr;
}

const char* matched(const std::string& line) {
    const command_entry* r = find_command(line, nullptr);
    return r ? r->name : "";
}

void engine_tables() {
    static bool done = false;
    if (done) return;
    done = true;
    init_geometry_tables();
    init_ray_tables();
    init_zobrist_keys();
}

// Feeds `lines` to read_command as standard input; returns the code and the move.
struct reader_result {
    int code;
    uint32_t move;
};
reader_result read_from(const std::string& lines) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_EQ(write(fds[1], lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    close(fds[1]);
    stdin_use_descriptor(fds[0]);
    int code = 99;
    uint32_t move = read_command(&code);
    close(fds[0]);
    stdin_use_descriptor(0);
    return {code, move};
}
}  // namespace

TEST(CommandTable, RowsOrderFlagsAndAliases) {
    int rows = 0;
    while (command_table[rows].name) ++rows;
    EXPECT_EQ(rows, COMMAND_COUNT);
    EXPECT_STREQ(command_table[0].name, "rem");
    EXPECT_STREQ(command_table[11].name, "go");
    EXPECT_STREQ(command_table[143].name, "go");
    EXPECT_STREQ(command_table[180].name, "annotate");
    EXPECT_EQ(command_table[COMMAND_COUNT].handler, nullptr);
    EXPECT_EQ(command_table[11].handler, command_table[143].handler);
    EXPECT_EQ(row_named("move")->handler, command_table[11].handler);
    EXPECT_EQ(row_named("bd")->handler, row_named("display")->handler);
    EXPECT_EQ(row_named("board")->handler, row_named("display")->handler);
    EXPECT_EQ(row_named("depth")->handler, row_named("sd")->handler);
    EXPECT_EQ(row_named("snodes")->handler, row_named("nodes")->handler);
    EXPECT_EQ(row_named("reverse")->handler, row_named("rv")->handler);
    for (const char* n : {";", "?", "noop", "accepted", "rejected"})
        EXPECT_EQ(row_named(n)->handler, row_named("rem")->handler);
    for (const char* n : {"draw", "variant"}) EXPECT_EQ(row_named(n)->handler, row_named("random")->handler);
    EXPECT_EQ(row_named("add_eco")->handler, row_named("vadro_pgn")->handler);
    EXPECT_EQ(row_named("xdisplay")->flags, 15u);
    EXPECT_EQ(row_named("ping")->flags, 9u);
    EXPECT_EQ(row_named("easy")->flags, 7u);
    EXPECT_EQ(row_named("stop")->flags, 1u);
    EXPECT_EQ(row_named("?")->flags, 0u);
    EXPECT_EQ(row_named("setboard")->flags, 0u);
    int with_flags = 0;
    for (const command_entry* r = command_table; r->name; ++r) {
        EXPECT_TRUE(r->flags == 0 || r->flags == 1 || r->flags == 7 || r->flags == 9 || r->flags == 15) << r->name;
        with_flags += r->flags != 0;
    }
    EXPECT_EQ(with_flags, 53 + 3 + 2 + 3);
}

TEST(CommandTable, AbbreviationsPickTheFirstRow) {
    EXPECT_STREQ(matched("q"), "qexact");  // quit itself is tested by the reader first
    EXPECT_STREQ(matched("n"), "newgame");
    EXPECT_STREQ(matched("new"), "newgame");
    EXPECT_STREQ(matched("s"), "st");
    EXPECT_STREQ(matched("e"), "epdtest");
    EXPECT_STREQ(matched("t"), "time");
    EXPECT_STREQ(matched("u"), "ut1");
    EXPECT_STREQ(matched("un"), "undo");
    EXPECT_STREQ(matched("pos"), "pos_learn");
    EXPECT_STREQ(matched("  SeTbOaRd 8/8"), "setboard");
    EXPECT_STREQ(matched("gold"), "");
    EXPECT_STREQ(matched("hashX 3"), "");
    EXPECT_STREQ(matched(""), "");
}

TEST(CommandTable, ArgumentTextAfterTheWord) {
    EXPECT_EQ(match_command("sd", "sd=5").value(), 3u);
    EXPECT_EQ(match_command("sd", "sd 5").value(), 3u);
    EXPECT_EQ(match_command("sd", "sd = 5").value(), 5u);
    EXPECT_EQ(match_command("sd", "  sd").value(), 4u);
    EXPECT_FALSE(match_command("sd", "sdx 5"));
    EXPECT_FALSE(match_command("go", "gold"));
    EXPECT_TRUE(match_command("ChessAcademy", "Chess"));
    EXPECT_EQ(match_option("Hash", "hash value 32").value(), 5u);
    EXPECT_FALSE(match_option("Hash", "has value"));
}

TEST(Reader, MovesQuitAndCommandsThatAskForAction) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    new_game(NEW_GAME_FULL);
    auto r = read_from("\n   \ne4\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.move, make_move_word(E2, E4));
    r = read_from("qu\n");
    EXPECT_EQ(r.code, 0);
    r = read_from("rem anything\nnew\n");
    EXPECT_EQ(r.code, 2);
    r = read_from("go\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.move, 0u);
    r = read_from("");
    EXPECT_EQ(r.code, 0);  // end of input
    force_mode = 0;
}

TEST(Reader, ShellLinesOnlyInTheConsoleDialogue) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    char dir[] = "/tmp/orvik_shell_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string mark = std::string(dir) + "/ran";
    read_from("!touch " + mark + "\nquit\n");
    EXPECT_EQ(access(mark.c_str(), F_OK), 0);
    unlink(mark.c_str());
    xboard_mode = 1;
    read_from("!touch " + mark + "\nquit\n");
    EXPECT_NE(access(mark.c_str(), F_OK), 0);
    xboard_mode = 0;
    uci_mode = 1;
    read_from("!touch " + mark + "\nquit\n");
    EXPECT_NE(access(mark.c_str(), F_OK), 0);
    uci_mode = 0;
    ignore_system = 1;
    read_from("!touch " + mark + "\nquit\n");
    EXPECT_NE(access(mark.c_str(), F_OK), 0);
    ignore_system = 0;
    rmdir(dir);
}

TEST(Reader, WhilePonderingOnlyUsableRows) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    new_game(NEW_GAME_FULL);
    search_state = SEARCH_PONDER;
    auto r = read_from("st\n");  // "st" is stop while pondering
    EXPECT_EQ(r.code, -1);       // stop sets force mode, which ends the pondering
    EXPECT_EQ(force_mode, 1);
    force_mode = 0;
    r = read_from("go\n");
    EXPECT_EQ(r.code, -1);
    EXPECT_TRUE(pending_line_waiting);
    EXPECT_EQ(pending_line, "go");
    pending_line_waiting = false;
    r = read_from("time 100\n");
    EXPECT_EQ(r.code, 10);
    search_state = SEARCH_PLAY;
    pending_line_waiting = true;
    r = read_from("");  // the pending line comes first
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(pending_line_waiting);
}

TEST(Reader, TheGameLengthIsBounded) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    new_game(NEW_GAME_FULL);
    board.ply = MAX_GAME_PLY - 1;  // as if the game had reached its last ply
    auto r = read_from("e4\n");
    EXPECT_EQ(r.move, 0u);
    EXPECT_EQ(r.code, 0);
    new_game(NEW_GAME_FULL);
}

// During a batch run the poll holds back the lines that would stop a single search and
// gives them back after the run in their order; lines that run at once run, "?" stops
// the present count, "quit" every later one, and the end of the input stops nothing.
TEST(BatchRun, HoldsLinesStopsOnQuestionMarkAndQuit) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    new_game(NEW_GAME_FULL);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    stdin_use_descriptor(fds[0]);
    auto feed = [&](const std::string& text) {
        ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };
    std::string line;
    const uint32_t saved_noise = noise;
    {
        const batch_run run;
        feed("st 2\nnoise 7\n?\nfen\n");
        EXPECT_EQ(count_poll(), 1);  // "st 2" held, noise set at once, "?" stops
        EXPECT_EQ(noise, 7u);
        noise = saved_noise;
        EXPECT_FALSE(batch_run::quitting());
        feed("quit\nlater\n");
        EXPECT_EQ(count_poll(), 1);  // "fen" held, "quit" held and stops
        EXPECT_TRUE(batch_run::quitting());
        EXPECT_EQ(count_poll(), 1);  // every later count stops at once
    }
    for (const char* expected : {"st 2", "fen", "quit", "later"}) {
        ASSERT_TRUE(stdin_read_line(line));
        EXPECT_EQ(line, expected);
    }
    {
        // At the end of the input the run goes on, and says nothing.
        const batch_run run;
        feed("sd 3\n");
        close(fds[1]);
        EXPECT_EQ(count_poll(), 0);
        EXPECT_EQ(count_poll(), 0);
        EXPECT_FALSE(batch_run::quitting());
    }
    ASSERT_TRUE(stdin_read_line(line));
    EXPECT_EQ(line, "sd 3");
    EXPECT_FALSE(stdin_read_line(line));
    close(fds[0]);
    stdin_use_descriptor(0);
}

// Every search looks at its input within a few hundredths of a second, so a host's
// isready and stop are answered at once: here one second into a search of 5,000,000
// nodes a second, the next poll comes within 50 ms of nodes.
TEST(SearchPoll, EverySearchLooksAtItsInputWithinFiftyMilliseconds) {
    engine_tables();
    for (int& l : output_levels) l = 0;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    stdin_use_descriptor(fds[0]);
    const struct {
        const char* search;
        search_mode state;
        uint32_t nodes;  // node limit
        double seconds;  // time limit
    } cases[] = {
        {"analysis", SEARCH_ANALYSE, NO_NODE_LIMIT, UNTIMED_MOVE_SECONDS},
        {"depth or mate alone", SEARCH_PLAY, NO_NODE_LIMIT, UNTIMED_MOVE_SECONDS},
        {"nodes alone", SEARCH_PLAY, 1000000000u, 0.0},
        {"a minute's clock", SEARCH_PLAY, NO_NODE_LIMIT, 60.0},
        {"pondering", SEARCH_PONDER, NO_NODE_LIMIT, 60.0},
    };
    constexpr uint32_t rate = 5000000;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.search);
        search_state = c.state;
        node_limit = c.nodes;
        time_limit = c.seconds;
        search_start = millis() - 1000;
        nodes_searched = rate;
        EXPECT_EQ(search_poll(), 0);
        EXPECT_LE(poll_mark - nodes_searched, rate / 20);
    }
    search_state = SEARCH_PLAY;
    node_limit = NO_NODE_LIMIT;
    nodes_searched = 0;
    close(fds[1]);
    close(fds[0]);
    stdin_use_descriptor(0);
}
