// The search on small positions: mates, draws, result codes, determinism.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/search_node.h"
#include "core/settings.h"
#include "core/state.h"
#include "test_env.h"

namespace {
struct SearchFixture : ::testing::Test {
    void SetUp() override {
        core_tables();
        static bool eval_ready = false;
        if (!eval_ready) {
            eval_init();
            eval_ready = true;
        }
        for (int& l : output_levels) l = 0;
        if (!hash_table) hash_alloc(4 << 20);
        hash_clear();
        clear_move_ordering();
        init_clocks();
        node_limit = NO_NODE_LIMIT;
        max_depth = 0;
        search_state = SEARCH_PLAY;
        abort_search = 0;
    }
    void TearDown() override { max_depth = 0; }

    // Searches to `depth` plies; returns the move's coordinate text.
    std::string think_to(const std::string& fen, int depth, int* code = nullptr, int* score = nullptr) {
        const int side = setup(fen);
        side_to_move = side;
        max_depth = depth;
        for (clock_record& c : clocks) {
            c.pt = c.st = 1e10;
            c.fixed = 1;
        }
        int c = 0, s = 0;
        const uint32_t m = think(side, &c, &s, nullptr, nullptr);
        if (code) *code = c;
        if (score) *score = s;
        return m ? move_to_coordinates(m) : "none";
    }
    // Sets up `fen` for a direct call of the node search at `ply` within an iteration of
    // `iteration` plies (limits as think sets them); returns the side to move.
    int node_setup(const std::string& fen, int ply, int iteration) {
        const int side = setup(fen);
        reset_search_counters();
        move_list_start[ply] = move_stack;
        iteration_depth = iteration;
        check_ply_limit = 3 * iteration;
        repcheck_ply_limit = 2 * iteration;
        lazy_margin[WHITE] = lazy_margin[BLACK] = 60;
        game_history[board.ply].flags = 0;
        return side;
    }
};
}  // namespace

TEST_F(SearchFixture, MateInOneIsFoundAndCoded) {
    int code = 0, score = 0;
    EXPECT_EQ(think_to("7k/8/6K1/8/8/8/8/1Q6 w - - 0 1", 3, &code, &score), "b1b8");
    EXPECT_EQ(score, 29999);
    EXPECT_EQ(code & 0x502, 0x502) << std::hex << code;
}

TEST_F(SearchFixture, BoardIsRestoredAfterTheSearch) {
    const std::string fen = "rnbqkb1r/1p3ppp/5N2/1p2p1B1/2P5/8/PP2PPPP/R2QKB1R b KQkq - 0 1";
    int code = 0, score = 0;
    think_to(fen, 5, &code, &score);
    const board_state after = board;
    setup(fen);
    EXPECT_EQ(std::memcmp(after.piece, board.piece, sizeof board.piece), 0);
    EXPECT_EQ(after.hash_key, board.hash_key);
    EXPECT_EQ(after.hash_key, compute_position_key());
    EXPECT_LT(score, 29000);
}

TEST(ThinkingText, ScoreAndTimeTexts) {
    EXPECT_EQ(console_score_text(30000 - 5), "Mat03");
    EXPECT_EQ(console_score_text(29999), "Mat01");
    EXPECT_EQ(console_score_text(-29998), "-Mat01");
    EXPECT_EQ(console_score_text(35), "0.35");
    EXPECT_EQ(console_score_text(-120), "-1.20");
    EXPECT_EQ(console_time_text(1.2345), "1.234");
    EXPECT_EQ(console_time_text(75.25), "1:15.2");
    EXPECT_EQ(console_time_text(3725.0), "1:02:05");
}

TEST_F(SearchFixture, DrawsAndMatesAtTheRoot) {
    int code = 0, score = 0;
    EXPECT_EQ(think_to("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3, &code), "none");
    EXPECT_EQ(code, 8);
    EXPECT_EQ(think_to("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 3, &code), "none");
    EXPECT_EQ(code, 0x20);
    EXPECT_EQ(think_to("8/8/4k3/8/8/3KB3/8/8 w - - 0 1", 3, &code), "none");
    EXPECT_EQ(code, 0x200);
    // A single legal move is played without a search.
    EXPECT_EQ(think_to("7k/8/8/8/8/8/6q1/7K w - - 0 1", 3, &code, &score), "h1g2");
    EXPECT_EQ(code, 0x10);
}

TEST_F(SearchFixture, LosingScoresAndDeepMatesAreCoded) {
    int code = 0, score = 0;
    // Black to move is mated next move whatever it does.
    think_to("k7/7p/1K6/8/8/8/8/6R1 b - - 0 1", 4, &code, &score);
    EXPECT_LT(score, -29200);
    EXPECT_EQ(code & 0x404, 0x404);
    EXPECT_EQ(think_to("r3q1kr/ppp5/3p2pQ/8/3PP1b1/5R2/PPP3P1/5RK1 w - - 0 1", 7, &code, &score), "f3f8");
    EXPECT_EQ(score, 30000 - 5);
}

TEST_F(SearchFixture, SearchesAtTheDeepestPliesStayInBounds) {
    // Long forced lines of checks reach the ply limit; the search must come back with a move.
    int code = 0;
    const std::string m = think_to("6k1/5ppp/8/8/8/8/5PPP/3QQ1K1 w - - 0 1", 9, &code);
    EXPECT_NE(m, "none");
    EXPECT_LE(seldepth, PLY_LIMIT);
}

TEST_F(SearchFixture, NodeLimitStopsTheSearch) {
    const int side = setup("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    side_to_move = side;
    node_limit = 20000;
    int code = 0;
    const uint32_t m = think(side, &code, nullptr, nullptr, nullptr);
    EXPECT_NE(m, 0u);
    EXPECT_LE(nodes_searched, 20000u + 100);
    node_limit = NO_NODE_LIMIT;
}

TEST_F(SearchFixture, QuiescenceCheckNodeFollowsTheMode) {
    setup("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    move_list_start[3] = move_stack;
    uint16_t pv[PV_WORDS];
    const int saved = qsearch_mask;
    qsearch_mask = 7;  // all moves in check: the mate is seen
    EXPECT_EQ(qsearch_check(-100, 100, BLACK, 0, 3, pv, 0), 3 - MATE);
    hash_clear();
    qsearch_mask = 5;  // captures only: the node answers alpha
    EXPECT_EQ(qsearch_check(-100, 100, BLACK, 0, 3, pv, 0), -100);
    qsearch_mask = saved;
}

TEST_F(SearchFixture, FiftyReversiblePliesScoreADraw) {
    const int side = setup("4k3/8/8/8/8/8/R7/4K3 w - - 0 1");
    move_list_start[2] = move_stack;
    board.last_irreversible = board.ply - 100;
    uint16_t pv[PV_WORDS];
    game_history[board.ply].flags = 0;
    EXPECT_EQ(search(-100, 100, side, 256, 2, pv, 0, 0), 0);
    EXPECT_EQ(qsearch(-100, 100, side, 2, pv, 0), 0);
}

TEST(MateScores, HashKeepsMateDistancesRelativeToTheNode) {
    core_tables();
    if (!hash_table) hash_alloc(1 << 20);
    hash_clear();
    setup("4k3/8/8/8/8/8/R7/4K3 w - - 0 1");
    // A mate found 3 plies below a node at ply 4 reads as the same distance at ply 10.
    hash_store(WHITE, MATE - 7, 256, 4, 3, 0);
    int score = 0, depth = 0;
    uint32_t move = 0;
    ASSERT_EQ(hash_probe(WHITE, 10, &score, &move, &depth) & 0xF, 3);
    EXPECT_EQ(score, MATE - 13);
    hash_store(WHITE, 6 - MATE, 256, 6, 3, 0);
    hash_probe(WHITE, 2, &score, &move, &depth);
    EXPECT_EQ(score, 2 - MATE);
}

TEST_F(SearchFixture, FutilityAlsoPrunesQuietEvasionsOfACheck) {
    // Black in check by the rook, two plies left, far below alpha: the quiet evasions
    // are futile like any other quiet move (a check one ply further up bars it).
    const int side = node_setup("4k3/pppr1ppp/8/8/8/8/PPP2PPP/4R1K1 b - - 0 1", 2, 6);
    game_history[board.ply].flags = HF_CHECK;
    uint16_t pv[PV_WORDS];
    EXPECT_EQ(search(600, 601, side, 128, 2, pv, 0, 0), 600);
    EXPECT_EQ(stats.pruned, 3u);
    game_history[board.ply].flags = 0;
}

TEST_F(SearchFixture, NoNullMoveBitStaysWithItsNode) {
    // A node that may not try the null move (bit 1) still lets its children try it:
    // the bit, like "follows a null move" (0x20), belongs to the node alone.
    const int side = node_setup("r2q1rk1/pb2bppp/1pn1pn2/2pp4/3P4/1PNBPN2/PB3PPP/R2Q1RK1 w - - 0 10", 1, 4);
    uint16_t pv[PV_WORDS];
    search(-20, -19, side, 4 * 64, 1, pv, 0x21, 0);
    EXPECT_GT(stats.null_tries, 0u);
    EXPECT_GT(stats.null_tries * 5, stats.full_nodes)
        << "null tries " << stats.null_tries << " of " << stats.full_nodes;
}

TEST_F(SearchFixture, RootBestMoveIsRewardedLikeAnyNodesBestMove) {
    // The root's best move takes the same updates as a best move deeper down: the
    // killer slot of ply 0, and no history credit for a promotion.
    think_to("7k/4P3/8/8/8/8/8/K7 w - - 0 1", 3);
    const uint32_t promotion = make_move_word(E7, E8);
    EXPECT_EQ(killer1[0], promotion);
    EXPECT_EQ(history_table[WHITE][promotion], 0u);
    // A quiet best move is credited.
    clear_move_ordering();
    think_to("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 2);
    const uint32_t mate = make_move_word(A1, A8);
    EXPECT_EQ(killer1[0], mate);
    EXPECT_GT(history_table[WHITE][mate], 0u);
}

namespace {
// Age of the table entry of the present position for `side` (-1 when none).
int stored_age(int side) {
    const hash_entry* e = hash_bucket(side);
    for (int i = 0; i < 3; ++i)
        if (e[i].lock == board.key_hi()) return e[i].age;
    return -1;
}
}  // namespace

TEST_F(SearchFixture, AnalysisKeepsTheResultsOfTheRootsMovesForGood) {
    // A node one ply below the root stores with the learned age while analysing (so
    // that no later store pushes it out), and with the search's age otherwise.
    struct row {
        search_mode state;
        int ply, age;
    } rows[] = {
        {SEARCH_ANALYSE, 1, HASH_LEARNED_AGE}, {SEARCH_ANALYSE, 2, 0}, {SEARCH_PLAY, 1, 0}, {SEARCH_PONDER, 1, 0}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "search_state " << r.state << " ply " << r.ply);
        hash_clear();
        const int side = node_setup("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", r.ply, 3);
        search_state = r.state;
        uint16_t pv[PV_WORDS];
        search(-FULL_WINDOW, FULL_WINDOW, side, 2 * ONE_PLY, r.ply, pv, 0, 0);
        search_state = SEARCH_PLAY;
        EXPECT_EQ(stored_age(side), r.age);
    }
}

TEST_F(SearchFixture, TableEntriesCutOnlyWhereTheirBoundAndDepthAllow) {
    // One entry for the node's position, then the node searched once: a usable entry
    // ends the node at once with its score; any other lets the node search.
    struct row {
        const char* what;
        int bound, score, stored_depth;
        uint32_t move;
        int alpha, beta, flags, repeated;
        bool cut;
    } rows[] = {
        {"upper bound at alpha, deep enough", BOUND_UPPER, -50, 256, 0, 0, 40, 0, 0, true},
        {"upper bound too shallow", BOUND_UPPER, -50, 128, 0, 0, 40, 0, 0, false},
        {"upper bound above alpha", BOUND_UPPER, 10, 256, 0, 0, 40, 0, 0, false},
        {"upper bound of a mate at any depth", BOUND_UPPER, 20 - MATE, 64, 0, 0, 40, 0, 0, true},
        {"lower bound at beta", BOUND_LOWER, 50, 256, 0, 0, 40, 0, 0, true},
        {"lower bound too shallow", BOUND_LOWER, 50, 192, 0, 0, 40, 0, 0, false},
        {"lower bound of a mate at any depth", BOUND_LOWER, MATE - 20, 64, 0, 0, 40, 0, 0, true},
        {"null-move cut where null moves may be tried", BOUND_LOWER, 50, 256, HASH_NULL_MOVE, 0, 40, 0, 0, true},
        {"null-move cut where they may not", BOUND_LOWER, 50, 256, HASH_NULL_MOVE, 0, 40, NF_NO_NULL, 0, false},
        {"exact inside the window", BOUND_EXACT, 20, 256, 0, 0, 40, 0, 0, true},
        {"exact too shallow", BOUND_EXACT, 20, 128, 0, 0, 40, 0, 0, false},
        {"exact mate beyond beta at any depth", BOUND_EXACT, MATE - 20, 64, 0, 0, 40, 0, 0, true},
        {"a repeated position takes no cut", BOUND_UPPER, -50, 256, 0, 0, 40, 0, 1, false},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        hash_clear();
        const int side = node_setup("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", 2, 4);
        hash_store(side, r.score, r.stored_depth, 2, r.bound, r.move);
        uint16_t pv[PV_WORDS];
        const int score = search(r.alpha, r.beta, side, 256, 2, pv, r.flags, r.repeated);
        EXPECT_EQ(stats.table_cuts == 1 && stats.full_nodes == 1, r.cut)
            << "cuts " << stats.table_cuts << " nodes " << stats.full_nodes;
        if (r.cut) {
            EXPECT_EQ(score, r.score);
        }
    }
}

// The move loops take their moves best first: every generated move once, the largest
// ordering value first and equal values in the order of the list, whatever the values.
TEST_F(SearchFixture, MoveLoopsTakeEveryMoveOnceLargestValueFirst) {
    setup("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    move_list_entry* list = move_stack;
    const int n = generate_moves(WHITE, 0, list);
    ASSERT_GT(n, 40);
    // Few distinct values, so that many moves tie.
    for (int i = 0; i < n; ++i) list[i].score = static_cast<int32_t>((i * 7) % 5) - 2;
    std::vector<move_list_entry> expected(list, list + n);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const move_list_entry& a, const move_list_entry& b) { return a.score > b.score; });
    best_first moves(list, n, WHITE);
    uint32_t m = 0;
    std::vector<uint32_t> taken;
    while (moves.next(m)) taken.push_back(m);
    ASSERT_EQ(taken.size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) EXPECT_EQ(taken[i], expected[i].move) << i;
    best_first none(list, 0, WHITE);
    EXPECT_FALSE(none.next(m));
}
