// What the thinking output tells each kind of host.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/board.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"

namespace {
uint16_t w(int from, int to) { return static_cast<uint16_t>(make_move_word(from, to)); }

// The UCI lines of one print_thinking call (UCI lines reach the log file).
std::string uci_lines(const uint16_t* pv) {
    for (int& l : output_levels) l = 0;
    FILE* saved = log_file;
    log_file = tmpfile();
    uci_mode = 1;
    notation_mode = NOTATION_COORDINATES;
    think_side = WHITE;
    reset_search_counters();
    nodes_searched = 1234;
    print_thinking(pv, 17, 3, 0.5, THINKING_NEW_BEST, THINKING_GOES_ON);
    uci_mode = 0;
    notation_mode = NOTATION_SAN;
    std::fflush(log_file);
    std::rewind(log_file);
    std::string text;
    for (int c; (c = std::fgetc(log_file)) != EOF;) text += static_cast<char>(c);
    std::fclose(log_file);
    log_file = saved;
    init_output_levels();
    return text;
}
}  // namespace

// Nothing in UCI carries a null move: the variation ends before the first one, and a
// line left without a move has no pv word.
TEST(Thinking, UciVariationEndsBeforeANullMove) {
    setup_start();
    const struct {
        uint16_t pv[6];
        const char* shown;
    } cases[] = {
        {{w(E2, E4), w(E7, E5), w(G1, F3), PV_NO_MOVE}, "time 500 pv e2e4 e7e5 g1f3\n"},
        {{w(E2, E4), 0, w(D2, D4), PV_NO_MOVE}, "time 500 pv e2e4\n"},
        {{w(E2, E4), w(E7, E5), 0, w(G8, F6), PV_NO_MOVE}, "time 500 pv e2e4 e7e5\n"},
        {{0, w(E7, E5), PV_NO_MOVE}, "time 500\n"},
    };
    for (const auto& c : cases) {
        const std::string text = uci_lines(c.pv);
        EXPECT_NE(text.find("info depth 3 score cp 17 nodes 1234 " + std::string(c.shown)), std::string::npos) << text;
        EXPECT_EQ(text.find("null"), std::string::npos) << text;
    }
}

namespace {
// The lines of one print_thinking call in the xboard dialogue, as the log has them.
std::string xboard_lines(const uint16_t* pv, thinking_end end, search_mode state) {
    for (int& l : output_levels) l = 0;
    FILE* saved = log_file;
    log_file = tmpfile();
    xboard_mode = 2;
    search_state = state;
    think_side = WHITE;
    reset_search_counters();
    nodes_searched = 1234;
    print_thinking(pv, 17, 3, 0.5, THINKING_NEW_BEST, end);
    xboard_mode = 0;
    search_state = SEARCH_PLAY;
    std::fflush(log_file);
    std::rewind(log_file);
    std::string text;
    for (int c; (c = std::fgetc(log_file)) != EOF;) text += static_cast<char>(c);
    std::fclose(log_file);
    log_file = saved;
    init_output_levels();
    return text;
}
}  // namespace

// An analysis ends only when a command arrives (a move, undo, setboard, new): its last
// line would reach the host after the command and be read as one of the new position.
TEST(Thinking, XboardAnalysisSendsNoLineForTheOldPositionAfterTheCommand) {
    setup_start();
    const uint16_t pv[] = {w(E2, E4), w(E7, E5), PV_NO_MOVE};
    EXPECT_NE(xboard_lines(pv, THINKING_GOES_ON, SEARCH_ANALYSE).find("3 17 50 1234 t  1.e4 e5"), std::string::npos);
    EXPECT_EQ(xboard_lines(pv, THINKING_LAST, SEARCH_ANALYSE).find("3 17 50 1234"), std::string::npos);
    // The engine's own search still ends with its line.
    EXPECT_NE(xboard_lines(pv, THINKING_LAST, SEARCH_PLAY).find("3 17 50 1234 t  1.e4 e5"), std::string::npos);
}

// An xboard host reads every word of a variation as a move: none is "null".
TEST(Thinking, XboardVariationStopsBeforeANullMove) {
    setup_start();
    const uint16_t in_line[] = {w(E2, E4), w(E7, E5), 0, w(G8, F6), PV_NO_MOVE};
    const uint16_t first[] = {0, w(E7, E5), PV_NO_MOVE};
    for (const uint16_t* pv : {in_line, first})
        for (search_mode state : {SEARCH_PLAY, SEARCH_ANALYSE}) {
            const std::string text = xboard_lines(pv, THINKING_GOES_ON, state);
            EXPECT_NE(text.find("3 17 50 1234 t "), std::string::npos) << text;
            EXPECT_EQ(text.find("null"), std::string::npos) << text;
        }
}
