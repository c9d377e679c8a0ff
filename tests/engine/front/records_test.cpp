// Game records: PGN header and movetext, reading a written record back, the games
// file written once per game, numbered logs and win lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/game_loop.h"
#include "front/game_record.h"
#include "front/logs.h"
#include "front/new_game.h"
#include "front/pgn_record.h"
#include "front/win_lists.h"
#include "front/xboard.h"
#include "front_env.h"

namespace {
namespace fs = std::filesystem;

struct temp_folder {
    fs::path path;
    temp_folder() {
        std::string t = (fs::temp_directory_path() / "orvik-rec-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~temp_folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

std::string read_file(const std::string& name) {
    std::ifstream in(name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void touch(const std::string& name) { std::ofstream(name) << "x\n"; }

// Plays SAN moves from the present position, each recorded as the game loop records
// an opponent's move.
void play(const std::vector<std::string>& moves) {
    for (const std::string& san : moves) {
        const uint32_t m = parse_move(san, side_to_move);
        ASSERT_NE(m, 0u) << san;
        make_and_record_move(side_to_move, m, NO_SCORE, 0);
        ply_move_times[board.ply] = -1.0;
        side_to_move ^= 1;
    }
}

void fresh_game() {
    front_tables();
    notation_mode = NOTATION_SAN;
    uci_mode = 0;
    new_game(NEW_GAME_FULL);
    opponent_name.clear();
    rating_text.clear();
    event_text.clear();
    comment_text.clear();
    engine_last_side = BLACK;
    round_number = 1;
}

// The moves of a PGN text without comments, variations, numbers and the result.
std::vector<std::string> movetext_tokens(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\{[^}]*\})"), " ");
    while (text.find('(') != std::string::npos) text = std::regex_replace(text, std::regex(R"(\([^()]*\))"), " ");
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string t;
    while (in >> t) {
        t = std::regex_replace(t, std::regex(R"(^\d+\.(\.\.)?)"), "");
        if (t.empty() || t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*") continue;
        out.push_back(t);
    }
    return out;
}
}  // namespace

TEST(PgnRecord, MovetextCommentsAndMarks) {
    fresh_game();
    const uint32_t e4 = parse_move("e4", WHITE);
    make_and_record_move(WHITE, e4, 25, 0x400);
    ply_move_times[1] = 12.5;
    ply_recorded_value[1] = 9;
    side_to_move = BLACK;
    play({"e5"});
    EXPECT_EQ(pgn_movetext("", 1, 2, PGN_DEFAULT_OPTIONS), "1. e4 {0.25/9 12.50s} e5 ");

    game_history[2].score = 29991;
    EXPECT_EQ(pgn_movetext("", 1, 2, PGN_SCORES), "1. e4 {0.25} e5 {+M05} ");
    game_history[2].score = -29996;
    EXPECT_EQ(pgn_movetext("", 1, 2, PGN_SCORES), "1. e4 {0.25} e5 {-M02} ");
    EXPECT_EQ(pgn_movetext("", 1, 2, PGN_SCORES | PGN_SCORES_FROM_WHITE), "1. e4 {0.25} e5 {+M02} ");
    game_history[2].score = NO_SCORE;

    // The move the engine expected instead of the one played, and the mark of a move.
    ply_ponder_moves[1] = parse_move("c5", BLACK);
    ply_ponder_texts[1] = "c5";
    game_history[1].flags |= (5u << 14);  // "!"
    play({"Nf3"});
    EXPECT_EQ(pgn_movetext("1-0", 1, 3, PGN_EXPECTED_MOVES), "1. e4! e5 (1...c5) 2. Nf3 1-0");
    ply_ponder_moves[2] = parse_move("Nc3", WHITE);  // expected before White's move: Black's next gets its number
    ply_ponder_texts[2] = "Nc3";
    play({"Nc6"});
    EXPECT_EQ(pgn_movetext("", 1, 4, PGN_EXPECTED_MOVES), "1. e4! e5 (1...c5) 2. Nf3 (2. Nc3) 2...Nc6 ");
}

TEST(PgnRecord, HeaderTagsInOrder) {
    fresh_game();
    opponent_name = "fairy";
    rating_text = "2100 1950";
    comment_text = "test game";
    engine_last_side = WHITE;
    play({"d4", "d5"});
    last_book_move_ply = 2;
    last_book_move = "d5";
    const std::string h = pgn_header_text("1-0 {White mates}");
    std::vector<std::string> tags;
    std::istringstream in(h);
    for (std::string l; std::getline(in, l);) tags.push_back(l.substr(0, l.find(' ')));
    const std::vector<std::string> expected = {"[Event",       "[Site",   "[Date",          "[Round",    "[White",
                                               "[Black",       "[Result", "[WhiteElo",      "[BlackElo", "[Comment",
                                               "[Timecontrol", "[Time",   "[last_book_move"};
    EXPECT_EQ(tags, expected);
    EXPECT_NE(h.find("[Event \"Computer chess game 60 600 +0 20 200\"]\n"), std::string::npos) << h;
    EXPECT_NE(h.find("[Round \"1\"]\n"), std::string::npos);
    EXPECT_NE(h.find("[White \"Orvik Vellimast\"]\n[Black \"fairy\"]\n"), std::string::npos);
    EXPECT_NE(h.find("[Result \"1-0\"]\n"), std::string::npos);
    EXPECT_NE(h.find("[WhiteElo \"2100\"]\n[BlackElo \"1950\"]\n"), std::string::npos);
    EXPECT_NE(h.find("[last_book_move \"1...d5\"]\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(h, std::regex(R"(\[Time "\w{3} \w{3} [ \d]\d \d\d:\d\d:\d\d \d{4}"\])")));
    EXPECT_EQ(h.find("[SetUp"), std::string::npos);
    EXPECT_NE(pgn_header_text("1/2-1/2").find("[Result \"1/2-1/2\"]"), std::string::npos);
    EXPECT_NE(pgn_header_text("0-1").find("[Result \"0-1\"]"), std::string::npos);
    EXPECT_NE(pgn_header_text("*").find("[Result \"*\"]"), std::string::npos);
    engine_last_side = BLACK;
    EXPECT_NE(pgn_header_text("*").find(
                  "[White \"fairy\"]\n[Black \"Orvik Vellimast\"]\n[Result \"*\"]\n[WhiteElo \"1950\"]"),
              std::string::npos);
}

TEST(PgnRecord, SetUpPositionsAndOpponentFiles) {
    fresh_game();
    int side = WHITE;
    ASSERT_EQ(parse_fen("4k3/8/8/8/8/8/4P3/4K3 b - - 0 31", &side, false), 0);
    side_to_move = side;
    play({"Kd7", "e4"});
    const std::string h = pgn_header_text("*");
    EXPECT_NE(h.find("[Result \"*\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 31\"]\n"), std::string::npos)
        << h;
    EXPECT_EQ(pgn_movetext("*", 1, 2, PGN_DEFAULT_OPTIONS), "31...Kd7 32. e4 *");
    EXPECT_EQ(opponent_file_name("Mr. X", ".pgn"), "Mr.pgn");
    EXPECT_EQ(opponent_file_name("", ".pgn"), "unknown.pgn");
    EXPECT_EQ(opponent_file_name("a_1", ""), "a_1");
    EXPECT_EQ(opponent_file_name(std::string(300, 'z'), "").size(), 200u);
}

TEST(PgnRecord, LongGamesWrapAndReadBack) {
    fresh_game();
    std::vector<std::string> moves;
    for (int i = 0; i < 12; ++i)
        for (const char* m : {"Nf3", "Nf6", "Ng1", "Ng8"}) moves.push_back(m);
    moves.insert(moves.end(), {"e4", "e5", "Qh5", "Nc6", "Bc4", "Nf6", "Qxf7#"});
    play(moves);
    for (int p = 1; p <= board.ply; p += 2) {
        game_history[p].score = 12 * p;
        ply_move_times[p] = 0.5 * p;
        ply_recorded_value[p] = p;
    }
    result_text = "1-0 {White mates}";
    temp_folder dir;
    FILE* f = std::fopen(dir.file("game.pgn").c_str(), "w");
    ASSERT_NE(f, nullptr);
    pgn_write_game(f);
    std::fclose(f);
    const std::string text = read_file(dir.file("game.pgn"));
    const size_t body = text.find("\n\n");
    ASSERT_NE(body, std::string::npos);
    std::istringstream lines(text.substr(body + 2));
    for (std::string l; std::getline(lines, l);) EXPECT_LE(l.size(), 79u) << l;
    EXPECT_TRUE(text.ends_with("1-0 {White mates}\n\n"));

    // Reading it back replays the same game.
    const std::string final_fen = board_to_fen(side_to_move, false);
    new_game(NEW_GAME_FULL);
    for (const std::string& san : movetext_tokens(text.substr(body + 2))) {
        const uint32_t m = parse_move(san, side_to_move);
        ASSERT_NE(m, 0u) << san;
        make_move(side_to_move, m);
        side_to_move ^= 1;
    }
    EXPECT_EQ(board_to_fen(side_to_move, false), final_fen);
}

TEST(GameRecord, WrittenOncePerGameToEveryFile) {
    fresh_game();
    temp_folder dir;
    output_capture out;
    ASSERT_EQ(run_line("sgames " + dir.file("games.pgn")), 0);
    ASSERT_EQ(run_line("nsgames .pgn"), 0);
    const std::string here = fs::current_path().string();
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    opponent_name = "Mr. X";
    play({"e4", "e5", "Nf3"});
    EXPECT_EQ(run_line("result 1-0 {White wins}"), 1);
    EXPECT_EQ(force_mode, 1);
    EXPECT_EQ(run_line("result 1-0 {White wins}"), 1);
    EXPECT_EQ(run_line("new"), 2);
    ASSERT_EQ(chdir(here.c_str()), 0);
    ASSERT_EQ(run_line("sgames"), 0);
    const std::string games = read_file(dir.file("games.pgn"));
    EXPECT_EQ(std::count(games.begin(), games.end(), '['), std::count(games.begin(), games.end(), ']'));
    size_t events = 0;
    for (size_t at = games.find("[Event"); at != std::string::npos; at = games.find("[Event", at + 1)) ++events;
    EXPECT_EQ(events, 1u) << games;
    EXPECT_NE(games.find("1. e4 e5 2. Nf3 1-0 {White wins}\n\n"), std::string::npos) << games;
    EXPECT_EQ(read_file(dir.file("Mr.pgn")), games);
    EXPECT_EQ(round_number, 2);

    // A game of one ply is not written, but the record is finished.
    fresh_game();
    ASSERT_EQ(run_line("sgames " + dir.file("short.pgn")), 0);
    play({"e4"});
    run_line("reset");
    EXPECT_EQ(record_finished, 0);  // reset starts the next record
    run_line("sgames");
    EXPECT_EQ(read_file(dir.file("short.pgn")), "");
    games_suffix.clear();
}

TEST(Logs, NumberedLogsFindTheNextFreeNumber) {
    front_tables();
    temp_folder dir;
    output_capture out;
    FILE* capture = log_file;
    log_file = nullptr;
    log_path = dir.path.string() + "/";
    log_number = 0;
    open_numbered_log();
    ASSERT_NE(log_file, nullptr);
    EXPECT_EQ(log_number, 1);
    EXPECT_TRUE(fs::exists(dir.file("orvik0001.log")));
    open_numbered_log();  // nothing was played: the log is kept
    EXPECT_EQ(log_number, 1);
    std::fclose(log_file);
    log_file = nullptr;
    for (int i = 2; i <= 7; ++i) touch(dir.file("orvik000" + std::to_string(i) + ".log"));
    log_number = 0;
    open_numbered_log();
    EXPECT_EQ(log_number, 8);
    log_used = 1;
    open_numbered_log();
    EXPECT_EQ(log_number, 9);
    std::fclose(log_file);
    log_file = nullptr;
    touch(dir.file("orvik9999.log"));
    log_number = 0;
    open_numbered_log();
    EXPECT_EQ(log_number, 9999);
    std::fclose(log_file);
    log_file = capture;
    log_path.clear();
}

TEST(Logs, LogOffKeepsTheLogAndLogaAppends) {
    front_tables();
    temp_folder dir;
    const std::string name = dir.file("my.log");
    int saved_levels[OUTPUT_LEVELS];
    std::copy(output_levels, output_levels + OUTPUT_LEVELS, saved_levels);
    for (int& l : output_levels) l = 0;
    FILE* saved_log = log_file;
    log_file = nullptr;
    auto_log = 1;
    ASSERT_EQ(run_line("log " + name), 0);
    EXPECT_EQ(auto_log, 0);
    ASSERT_NE(log_file, nullptr);
    run_line("echo first");
    run_line("log  OFF ");
    run_line("echo second");
    run_line("log");
    EXPECT_EQ(log_file, nullptr);
    EXPECT_EQ(read_file(name), "first\nsecond\n");
    run_line("loga " + name);
    run_line("echo third");
    run_line("loga");
    EXPECT_EQ(read_file(name), "first\nsecond\nthird\n");
    run_line("log " + name);
    run_line("echo fourth");
    // A log that cannot be opened keeps the old one.
    FILE* current = log_file;
    run_line("log /nonexistent-folder/x.log");
    EXPECT_EQ(log_file, current);
    run_line("log");
    EXPECT_EQ(read_file(name).substr(0, 7), "fourth\n");
    log_file = saved_log;
    std::copy(saved_levels, saved_levels + OUTPUT_LEVELS, output_levels);
}

TEST(WinLists, MostRecentFirstInMemoryFileAndTell) {
    front_tables();
    temp_folder dir;
    win_list list{dir.file("win.hum"), "Humans that beat me", 0, {}};
    std::ofstream(list.file) << "ann\nbob  \nx\ncid\n";
    read_win_list(list);
    EXPECT_EQ(list.names[0], "ann");
    EXPECT_EQ(list.names[1], "bob");
    EXPECT_EQ(list.names[2], "cid");  // the one-letter line is left out
    EXPECT_EQ(list.names[3], "");
    output_capture out;
    server_game = 0;
    update_win_list(list, "bob");
    EXPECT_EQ(list.names[0], "ann");  // only games on a server count
    server_game = 1;
    update_win_list(list, "bob");
    EXPECT_EQ(read_file(list.file), "bob\nann\ncid\n");
    EXPECT_EQ(out.text(), "");  // variable 0: nothing is told
    for (const char* n : {"d1", "e1", "f1", "g1"}) update_win_list(list, n);
    EXPECT_EQ(read_file(list.file), "g1\nf1\ne1\nd1\nbob\nann\n");
    update_win_list(list, "?");
    update_win_list(list, "");
    EXPECT_EQ(list.names[0], "g1");
    list.variable = 3;
    update_win_list(list, "ann");
    EXPECT_EQ(out.lines(), std::vector<std::string>{"tellics set 3 Humans that beat me: ann, g1, f1, e1, d1, bob"});
    win_list empty{dir.file("none"), "T", 0, {}};
    EXPECT_EQ(win_list_line(empty, 4), "tellics set 4 T: None");
    server_game = 0;
}

TEST(WinLists, CommandsAndTheLostGameTest) {
    front_tables();
    output_capture out;
    temp_folder dir;
    EXPECT_EQ(run_line("win_file"), 0);
    EXPECT_EQ(win_lists[WIN_HUMANS].file, "win.hum");
    EXPECT_EQ(run_line("win_file " + dir.file("w")), 0);
    EXPECT_EQ(win_lists[WIN_ALL].file, dir.file("w.all"));
    EXPECT_EQ(win_lists[WIN_COMPUTERS].file, dir.file("w.cmp"));
    EXPECT_EQ(run_line("prompt_human Strong humans"), 0);
    ics_mode = 1;
    EXPECT_EQ(run_line("win_humans 3"), 0);
    EXPECT_EQ(out.lines(), std::vector<std::string>{"tellics set 3 Strong humans: None"});
    out.clear();
    EXPECT_EQ(run_line("win_all 0"), 0);
    EXPECT_EQ(out.text(), "");
    engine_last_side = WHITE;
    result_text = "0-1 {Black mates}";
    EXPECT_TRUE(engine_lost_game());
    result_text = "1/2-1/2 {Stalemate}";
    EXPECT_FALSE(engine_lost_game());
    engine_last_side = BLACK;
    EXPECT_FALSE(engine_lost_game());
    result_text = "1-0 {White mates}";
    EXPECT_TRUE(engine_lost_game());
    ics_mode = 0;
    win_lists[WIN_HUMANS] = {"win.hum", "Humans that beat me", 0, {}};
    win_lists[WIN_ALL].file = "win.all";
    win_lists[WIN_COMPUTERS].file = "win.cmp";
}
