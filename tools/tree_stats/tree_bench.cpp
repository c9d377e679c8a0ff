#include "tree_bench.h"

#include <cstdarg>
#include <cstdio>

#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"

const std::vector<std::string> tree_positions = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/2pp1pp1/p2b3p/np1N4/3pP3/1B3N2/PPP2PPP/R2Q1RK1 w - - 0 13",
    "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1",
    "r1b1k2r/ppppnppp/2n2q2/2b5/3NP3/2P1B3/PP3PPP/RN1QKB1R w KQkq - 0 1",
    "4rrk1/pp1n3p/3q2pQ/2p1pb2/2PP4/2P3N1/P2B2PP/4RRK1 b - - 7 19",
    "r2q1rk1/pb2bppp/1pn1pn2/2pp4/3P4/1PNBPN2/PB3PPP/R2Q1RK1 w - - 0 10",
    "2r2rk1/1bqnbppp/pp1ppn2/8/P2NP3/1BN1BP2/1PPQ2PP/3R1R1K w - - 0 15",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "6k1/5pp1/4p2p/3pP3/1r1P4/5PP1/R5KP/8 w - - 0 35",
    "8/5pk1/6p1/1p1P3p/1P3P2/6PP/5K2/8 w - - 0 45",
};

void tree_bench_init(long hash_bytes) {
    static bool tables = false;
    if (!tables) {
        tables = true;
        init_output_levels();
        init_geometry_tables();
        init_ray_tables();
        // The keys are drawn once per process, as the engine draws them: a second draw
        // would give other keys (the generator is never reseeded) and other node counts.
        if (zobrist_keys[WHITE][PAWN][A2] == 0) init_zobrist_keys();
        eval_init();
        init_clocks();
    }
    for (int& l : output_levels) l = 0;
    hash_alloc(hash_bytes);
}

tree_totals run_tree_bench(int depth) {
    tree_totals t;
    for (const std::string& fen : tree_positions) {
        int side = WHITE;
        if (parse_fen(fen, &side, false) != 0) continue;
        side_to_move = side;
        hash_clear();
        clear_move_ordering();
        node_limit = NO_NODE_LIMIT;
        max_depth = depth;
        search_state = SEARCH_PLAY;
        for (clock_record& c : clocks) {
            c.pt = c.st = 1e10;
            c.fixed = 1;
        }
        const uint32_t move = think(side, nullptr, nullptr, nullptr, nullptr);
        t.moves.push_back(move ? move_to_coordinates(move) : "none");
        t.per_position.push_back(nodes_searched);
        t.nodes += nodes_searched;
        const uint64_t* from = reinterpret_cast<const uint64_t*>(&stats);
        uint64_t* to = reinterpret_cast<uint64_t*>(&t.sum);
        for (size_t i = 0; i < sizeof stats / sizeof(uint64_t); ++i) to[i] += from[i];
        uint64_t before = 0;
        for (int d = 1; d <= depth && d < 64; ++d) {
            if (stats.iteration_nodes[d] == 0) break;
            t.iteration_nodes[d] += stats.iteration_nodes[d] - before;
            before = stats.iteration_nodes[d];
        }
    }
    max_depth = 0;
    return t;
}

namespace {

double share(uint64_t part, uint64_t whole) { return whole ? 100.0 * static_cast<double>(part) / whole : 0.0; }

void add(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void add(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

}  // namespace

std::string tree_report(const tree_totals& t, int depth) {
    const search_statistics& s = t.sum;
    std::string out;
    add(out, "signature: %llu nodes (%zu positions, depth %d)\n", static_cast<unsigned long long>(t.nodes),
        t.per_position.size(), depth);
    add(out, "full-width nodes %llu, quiescence nodes %llu (%.1f%% of all)\n",
        static_cast<unsigned long long>(s.full_nodes), static_cast<unsigned long long>(t.nodes - s.full_nodes),
        share(t.nodes - s.full_nodes, t.nodes));
    add(out, "branching factor by iteration (nodes of the iteration / nodes of the one before):\n");
    for (int d = 2; d <= depth && d < 64; ++d)
        if (t.iteration_nodes[d - 1])
            add(out, "  %2d: %12llu nodes  %5.2f\n", d, static_cast<unsigned long long>(t.iteration_nodes[d]),
                static_cast<double>(t.iteration_nodes[d]) / t.iteration_nodes[d - 1]);
    add(out, "beta cut-offs %llu, on the first move %.1f%%\n", static_cast<unsigned long long>(s.beta_cuts),
        share(s.first_move_cuts, s.beta_cuts));
    add(out,
        "null move: %llu verifications, %llu tries (%.1f%% of full-width nodes), %llu cut-offs (%.1f%% of tries)\n",
        static_cast<unsigned long long>(s.null_verifications), static_cast<unsigned long long>(s.null_tries),
        share(s.null_tries, s.full_nodes), static_cast<unsigned long long>(s.null_cuts),
        share(s.null_cuts, s.null_tries));
    add(out, "table: %llu hits (%.1f%% of full-width nodes), %llu cut-offs (%.1f%%); %llu internal deepenings\n",
        static_cast<unsigned long long>(s.table_hits), share(s.table_hits, s.full_nodes),
        static_cast<unsigned long long>(s.table_cuts), share(s.table_cuts, s.full_nodes),
        static_cast<unsigned long long>(s.iid_searches));
    add(out, "futility prunings %llu\n", static_cast<unsigned long long>(s.pruned));
    static const char* names[EXT_KINDS] = {"check", "repcheck", "onereply", "threat", "pawn7", "pawnend", "recapture"};
    add(out, "extensions by remaining depth (plies 0..%d+):\n", TREE_DEPTHS - 1);
    for (int k = 0; k < EXT_KINDS; ++k) {
        uint64_t total = 0;
        for (uint64_t v : s.extensions[k]) total += v;
        add(out, "  %-9s %10llu:", names[k], static_cast<unsigned long long>(total));
        for (int d = 0; d < TREE_DEPTHS && d <= depth; ++d)
            add(out, " %llu", static_cast<unsigned long long>(s.extensions[k][d]));
        add(out, "\n");
    }
    add(out, "per position:");
    for (size_t i = 0; i < t.per_position.size(); ++i)
        add(out, " %llu(%s)", static_cast<unsigned long long>(t.per_position[i]), t.moves[i].c_str());
    add(out, "\n");
    return out;
}
