// The UCI commands inside the engine: go parameters, setoption, position.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "core/board.h"
#include "core/clock.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movetext.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/new_game.h"
#include "front/uci.h"
#include "front/uci_options.h"
#include "front_env.h"

namespace {
struct uci_session {
    output_capture out;
    uci_session() {
        front_tables();
        uci_mode = 1;
        notation_mode = NOTATION_COORDINATES;
        new_game(NEW_GAME_FULL);
        init_clocks();
        search_state = SEARCH_PLAY;
        node_limit = NO_NODE_LIMIT;
        max_depth = 0;
    }
    ~uci_session() {
        uci_mode = 0;
        notation_mode = NOTATION_SAN;
        search_state = SEARCH_PLAY;
        searchmoves_count = -1;
        uci_debug = 0;
        node_limit = NO_NODE_LIMIT;
        clock_with_node_limit = false;
        max_depth = 0;
        mate_limit = 0;
        new_game(NEW_GAME_FULL);
        init_clocks();
    }
    std::string fen() { return board_to_fen(side_to_move, false); }
};
}  // namespace

TEST(UciGo, ClockWordsSetBothRecords) {
    uci_session s;
    EXPECT_EQ(run_line("go wtime 60000 btime 60000"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 60.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 60.0);
    EXPECT_EQ(clocks[WHITE].pm, 0);
    EXPECT_EQ(clocks[WHITE].fixed, 0);
    EXPECT_EQ(search_state, SEARCH_PLAY);
    EXPECT_EQ(run_line("go wtime 10000 btime 9000 winc 100 binc 200 movestogo 12"), 1);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 9.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].inc, 0.2);
    EXPECT_EQ(clocks[WHITE].moves_left, 12);
    EXPECT_DOUBLE_EQ(clocks[WHITE].st, 0.0);
}

// A clock given at 0 (or below) is a clock of 0: the move takes the increment at most.
TEST(UciGo, ClocksAtZeroOrBelowAreClocksOfZero) {
    uci_session s;
    EXPECT_EQ(run_line("go wtime 0 btime 0 winc 500 binc 500"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 0.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 0.0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].inc, 0.5);
    double use = 0, least = 0, most = 0;
    allocate_time(WHITE, &use, &least, &most);
    EXPECT_LE(most, 0.5);
    EXPECT_EQ(run_line("go wtime -3000 btime -1 winc -20 binc 100"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 0.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 0.0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].inc, 0.0);
    allocate_time(WHITE, &use, &least, &most);
    EXPECT_LE(most, 0.1);
    // No clock word: the clocks stay as they are.
    clocks[WHITE].pt = 77.0;
    EXPECT_EQ(run_line("go winc 500 binc 500"), 1);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 77.0);
}

TEST(UciGo, LimitsNodesDepthMovetimeInfinitePonder) {
    uci_session s;
    clocks[WHITE].pt = 77.0;
    EXPECT_EQ(run_line("go nodes 5000"), 1);
    EXPECT_EQ(node_limit, 5000u);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 77.0);  // a node limit alone leaves the clocks alone
    EXPECT_FALSE(clock_limits_search());
    EXPECT_EQ(run_line("go nodes 5000 wtime 1000"), 1);
    EXPECT_EQ(node_limit, 5000u);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 1.0);  // beside a clock, both limit the search
    EXPECT_TRUE(clock_limits_search());
    EXPECT_EQ(run_line("go depth 6"), 1);
    EXPECT_EQ(max_depth, 6);
    EXPECT_EQ(node_limit, NO_NODE_LIMIT);
    EXPECT_EQ(clocks[BLACK].fixed, 1);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, UNTIMED_MOVE_SECONDS);
    EXPECT_EQ(run_line("go movetime 300"), 1);
    EXPECT_EQ(max_depth, 0);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 0.3);
    EXPECT_DOUBLE_EQ(game_time_60, 18.0);
    EXPECT_EQ(run_line("go infinite"), 1);
    EXPECT_EQ(search_state, SEARCH_ANALYSE);
    EXPECT_EQ(run_line("go ponder wtime 5000 btime 5000"), 1);
    EXPECT_EQ(search_state, SEARCH_PONDER);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 5.0);
    EXPECT_EQ(run_line("go"), 1);
    EXPECT_EQ(search_state, SEARCH_PLAY);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 5.0);  // no words: the clocks stay
}

TEST(UciGo, SearchmovesRestrictTheRootAndReadingGoesOn) {
    uci_session s;
    EXPECT_EQ(run_line("go searchmoves e2e4 d2d4 wtime 1000 btime 2000"), 1);
    EXPECT_EQ(searchmoves_count, 2);
    EXPECT_DOUBLE_EQ(clocks[WHITE].pt, 1.0);
    EXPECT_DOUBLE_EQ(clocks[BLACK].pt, 2.0);
    EXPECT_TRUE(uci_root_list_restricted());
    EXPECT_FALSE(uci_root_move_excluded(parse_move("e2e4", WHITE)));
    EXPECT_TRUE(uci_root_move_excluded(parse_move("c2c4", WHITE)));
    EXPECT_EQ(run_line("go wtime 1000"), 1);
    EXPECT_FALSE(uci_root_list_restricted());
    EXPECT_FALSE(uci_root_move_excluded(parse_move("c2c4", WHITE)));
}

// A word of the list that is no legal move is passed over: the list goes on, and so
// does the reading of go after it.
TEST(UciGo, AWordOfSearchmovesThatIsNoMoveIsPassedOver) {
    uci_session s;
    const struct {
        const char* go;
        int moves;  // in the list
    } cases[] = {
        {"go searchmoves e2e5 depth 3", 0},
        {"go searchmoves e2e4 e2e5 d2d4 depth 3", 2},
        {"go searchmoves junk depth 3", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.go);
        max_depth = 0;
        EXPECT_EQ(run_line(c.go), 1);
        EXPECT_EQ(max_depth, 3);
        EXPECT_EQ(searchmoves_count, c.moves);
    }
    EXPECT_TRUE(has_line(s.out.lines(), "info string searchmoves: e2e5 is not a legal move"));
}

TEST(UciOptions, SpinsBooleansCombosAndClamps) {
    uci_session s;
    EXPECT_EQ(run_line("setoption name Check extension value 50"), 0);
    EXPECT_EQ(icheck, 32);
    EXPECT_EQ(s.out.lines(), std::vector<std::string>{"info string Check extension=50"});
    run_line("setoption name Check extension value 101");
    EXPECT_EQ(icheck, 64);
    run_line("setoption name Selectivity value Risky");
    EXPECT_EQ(null_split, 288);
    EXPECT_EQ(null_high, 256);
    run_line("setoption name Selectivity value Normal");
    EXPECT_EQ(null_split, 288);
    EXPECT_EQ(null_high, 192);
    run_line("setoption name Selectivity value None");
    EXPECT_EQ(prune, 0);
    run_line("setoption name Selectivity value Normal");
    null_split = 352;
    run_line("setoption name Endgame-Database Usage value Very Low");
    EXPECT_EQ(tb_usage, 1);
    run_line("setoption name Endgame-Database Usage value Low");
    EXPECT_EQ(tb_usage, 2);
    run_line("setoption name Endgame-Database Usage value Something");
    EXPECT_EQ(tb_usage, 3);
    run_line("setoption name Ponder value TRUE");
    EXPECT_EQ(hard, 1);
    run_line("setoption name Ponder value false");
    EXPECT_EQ(hard, 0);
    run_line("setoption name Ponder");  // no value: nothing happens
    EXPECT_EQ(hard, 0);
    run_line("setoption name Extensions value Aggressive");
    EXPECT_EQ(irecapture, 64);
    run_line("setoption name Extensions value Normal");
    EXPECT_EQ(irepcheck, 38);
    run_line("setoption name BookLearning value true");
    EXPECT_EQ(book_learn & 2, 2);
    run_line("setoption name BookLearning value false");
    EXPECT_EQ(book_learn & 2, 0);
    run_line("setoption name Show add. EGTB info value allways");
    EXPECT_EQ(uci_egtb_info, 2);
    run_line("setoption name Show add. EGTB info value never");
    EXPECT_EQ(uci_egtb_info, 0);

    // The hash size is limited to the announced range before it becomes bytes.
    run_line("setoption name Hash value 64");
    EXPECT_EQ(hash_entries, 67108864u / 36 * 3);
    run_line("setoption name Hash value 0");
    EXPECT_EQ(hash_entries, 1048576u / 36 * 3);
    run_line("setoption name Hash value -4096");
    EXPECT_EQ(hash_entries, 1048576u / 36 * 3);
    run_line("setoption name Hash");
    EXPECT_EQ(hash_entries, 1048576u / 36 * 3);

    s.out.clear();
    uci_debug = 1;
    run_line("setoption name NoSuchOption value 1");
    run_line("setoption name OwnBook value false");
    EXPECT_EQ(use_book, 0);
    EXPECT_EQ(s.out.lines(),
              (std::vector<std::string>{"info string ignore setoption name NoSuchOption value 1", "use_book=0"}));
    run_line("setoption name OwnBook value true");
}

// setoption takes the first row whose name begins the text after "name": no name may
// begin another, or that option could never be set. Every row is found by its own name,
// the one the reply does not list as well.
TEST(UciOptions, EveryRowIsFoundByItsNameAndHidesNoOther) {
    auto lower = [](std::string t) {
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    int announced = 0;
    for (int i = 0; i < uci_option_count; ++i) {
        const uci_option& o = uci_options[i];
        SCOPED_TRACE(o.name);
        announced += o.announced;
        for (int j = 0; j < uci_option_count; ++j) {
            if (j == i) continue;
            EXPECT_NE(lower(uci_options[j].name).rfind(lower(o.name), 0), 0u) << uci_options[j].name;
        }
        std::string value;
        bool has_value = false;
        EXPECT_EQ(find_uci_option(std::string("name ") + o.name + " value 7", &value, &has_value), &o);
        EXPECT_TRUE(has_value);
        EXPECT_EQ(value, "7");
        EXPECT_EQ(find_uci_option(std::string("name ") + lower(o.name), &value, &has_value), &o);
        EXPECT_FALSE(has_value);
        EXPECT_NE(o.set, nullptr);
    }
    EXPECT_EQ(announced, uci_option_count - 1);
    uci_session s;
    const int saved = ipawne;
    run_line("setoption name Pawn endgame extension value 50");
    EXPECT_EQ(ipawne, 32);
    ipawne = saved;
}

TEST(UciOptions, DebugTakesPrefixesOfOn) {
    uci_session s;
    run_line("debug o");
    EXPECT_EQ(uci_debug, 1);
    run_line("debug off");
    EXPECT_EQ(uci_debug, 0);
    run_line("debug on");
    run_line("debug");
    EXPECT_EQ(uci_debug, 0);
}

TEST(UciPosition, MovesFenAndRefusals) {
    uci_session s;
    run_line("position startpos moves e2e4 e7e5 g1f3");
    EXPECT_EQ(s.fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -");
    EXPECT_EQ(side_to_move, BLACK);
    EXPECT_EQ(s.out.text(), "");

    EXPECT_FALSE(uci_position_refused);

    // An unreadable or illegal move refuses the whole command; the engine runs on.
    run_line("position startpos moves e2e4 zz9 e7e5");
    EXPECT_EQ(s.out.lines().back(), "info string position refused: illegal move (unknown): zz9");
    EXPECT_TRUE(uci_position_refused);
    run_line("position startpos moves e2e4 e2e4");
    EXPECT_TRUE(uci_position_refused);
    run_line("position startpos");
    EXPECT_FALSE(uci_position_refused);

    // Lower-case promotion letters, as hosts send them.
    run_line("position fen 8/4P3/8/8/8/8/k7/7K w - - 0 1 moves e7e8q a2b2");
    EXPECT_EQ(s.fen(), "4Q3/8/8/8/8/8/1k6/7K w - -");
    EXPECT_EQ(computer_side, BLACK);

    // A refused FEN leaves the board alone and plays none of its moves.
    s.out.clear();
    run_line("position fen 4k3/8/8/8/8/8/8/4K2r b - - 0 1 moves e8d8");
    EXPECT_EQ(s.fen(), "4Q3/8/8/8/8/8/1k6/7K w - -");
    EXPECT_EQ(s.out.lines().back(), "info string position refused: fen 4k3/8/8/8/8/8/8/4K2r b - - 0 1 moves e8d8");
    EXPECT_TRUE(uci_position_refused);
    run_line("position fen 8/8/8/8 w - -");
    EXPECT_EQ(s.fen(), "4Q3/8/8/8/8/8/1k6/7K w - -");
    // Words that name no position and no moves.
    run_line("position startpos");
    run_line("position qhwdxj");
    EXPECT_EQ(s.out.lines().back(), "info string position refused: qhwdxj");
    EXPECT_TRUE(uci_position_refused);

    // Moves that repeat the recorded game are counted.
    run_line("position startpos moves d2d4 d7d5");
    run_line("position startpos moves d2d4 d7d5 c2c4");
    EXPECT_EQ(uci_recorded_ply, 2);
}

TEST(UciPosition, MoveTextUnderUciIsLowerCase) {
    uci_session s;
    int side = WHITE;
    ASSERT_EQ(parse_fen("8/4P3/8/8/8/8/k7/7K w - - 0 1", &side, false), 0);
    const uint32_t m = parse_move("e7e8q", WHITE);
    ASSERT_NE(m, 0u);
    EXPECT_EQ(move_to_coordinates(m), "e7e8Q");  // the xboard form
    EXPECT_EQ(move_to_text(m), "e7e8q");         // the UCI form
}
