// Test suites: `test` reads a script of its own (.ci), `epdtest` an EPD file, and
// `cooktest` is epdtest with the solution moves left out at the root. The hook that
// the root search calls on each new best move records when a solution was found and
// lost; every position is classified into result files and the totals are summed up.
#include "core/types.h"
#include "front/test_suites.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/board.h"
#include "core/clock.h"
#include "core/eval.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/hooks.h"
#include "core/input.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/settings.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/engine_main.h"
#include "front/handlers.h"
#include "front/parameters.h"
#include "front/polling.h"

namespace {

constexpr int MARKS = 11;
constexpr double mark_seconds[MARKS] = {1, 2, 5, 10, 20, 60, 120, 300, 600, 1200, 3600};
constexpr int TABULATED = 4024;
constexpr int MAX_POINTS = 300;

// ---- state of the present position ----------------------------------------------

std::vector<uint16_t> solutions;  // low 15 bits of the moves
std::vector<int> solution_points;
bool avoid_mode = false;
uint32_t hit_nodes = 0, loss_nodes = 0, mate_nodes = 0;
double hit_time = 0.0, mate_time = 0.0;
bool cook_mode = false;

// The time marks of one epdtest position: the move the search had and its points.
struct mark_row {
    uint16_t move[MARKS];
    int points[MARKS];
};
mark_row* marks = nullptr;  // attached while an epdtest position is searched

int matches_of(uint32_t move, int* last) {
    int n = 0;
    for (size_t i = 0; i < solutions.size(); ++i)
        if (solutions[i] == (move & MOVE_STORED)) {
            ++n;
            *last = static_cast<int>(i);
        }
    return n;
}

// ---- text helpers ---------------------------------------------------------------

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && is_blank(s[a])) ++a;
    while (b > a && is_blank(s[b - 1])) --b;
    return s.substr(a, b - a);
}

// An operand without the quotes around it.
std::string unquote(const std::string& s) {
    const std::string t = trim(s);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') return trim(t.substr(1, t.size() - 2));
    return t;
}

std::vector<std::string> tokens_of(const std::string& s) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && is_blank(s[i])) ++i;
        const size_t start = i;
        while (i < s.size() && !is_blank(s[i])) ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

// Reads the solution tokens of a position; each accepted move goes into the list.
// A final "?" makes the list one of moves to avoid, a final "!" is cut off; the last
// token decides. `echo_san` is the epdtest echo of the accepted moves.
void read_solutions(const std::vector<std::string>& tokens, int side, bool echo_san, size_t max_token) {
    for (std::string t : tokens) {
        if (t.size() > max_token) t.resize(max_token);
        if (!echo_san) level_printf(LVL_SOLUTION, "%s ", t.c_str());
        avoid_mode = false;
        if (!t.empty() && t.back() == '?') {
            avoid_mode = true;
            t.pop_back();
        } else if (!t.empty() && t.back() == '!') {
            t.pop_back();
        }
        const uint32_t move = parse_move(t, side);
        if (!move) {
            level_printf(LVL_TEST, "ERROR move %s rejected\n", t.c_str());
            continue;
        }
        solutions.push_back(static_cast<uint16_t>(move & MOVE_STORED));
        if (echo_san) {
            const std::string san = legal_move_text(side, move);
            level_printf(LVL_SOLUTION, " %s%s", san.c_str(), avoid_mode ? "?" : "!");
            if (san != t) level_printf(LVL_SOLUTION, " (Warning, input is no correct SAN)");
        }
    }
}

// ---- one suite ---------------------------------------------------------------------

// Totals of a suite.
struct suite_totals {
    int tested = 0, found = 0, mates = 0, mate_errors = 0, non_mate = 0;
    int skipped = 0;  // refused positions and lines that are none
    uint64_t nodes = 0, leaf_nodes = 0, evals = 0, hash_stores = 0, hash_probes = 0, hash_hits = 0;
    uint64_t hash_errors = 0, egtb_probes = 0, egtb_hits = 0;
    uint64_t test_nodes = 0, win_nodes = 0, mate_nodes = 0;
    double win_time = 0, mate_time = 0, found_time = 0, log_win_nodes = 0, log_win_time = 0;
    long depth_total = 0, non_mate_depth = 0;
    int max_depth = 0;
    double longest_search = 0;
    double formula = 0, solution_time_total = 0;
};

// The result files of a suite, opened for writing at its start.
struct result_files {
    FILE* lost = nullptr;
    FILE* hairy = nullptr;
    FILE* clean = nullptr;
    FILE* eclean = nullptr;
    FILE* rh = nullptr;
    FILE* pgn = nullptr;
    FILE* epd = nullptr;
    // The files in the order of the members; an EPD suite writes no tmp.epd.
    static std::vector<const char*> names(bool epd_suite) {
        std::vector<const char*> n = {
            epd_suite ? "lost.epd" : "lost.ci", "hairy.ci", "clean.ci", "eclean.ci", "rh.ci", "tmp.pgn"};
        if (!epd_suite) n.push_back("tmp.epd");
        return n;
    }
    // Whether the suite file `in` is one of them: opened for writing, it would be
    // emptied before it is read.
    static bool among(FILE* in, bool epd_suite) {
        for (const char* name : names(epd_suite))
            if (names_file(name, in)) return true;
        return false;
    }
    void open(bool epd_suite) {
        FILE** files[] = {&lost, &hairy, &clean, &eclean, &rh, &pgn, &epd};
        const auto n = names(epd_suite);
        for (size_t i = 0; i < n.size(); ++i) *files[i] = open_file(n[i], "w");
    }
    void close() {
        for (FILE** f : {&lost, &hairy, &clean, &eclean, &rh, &pgn, &epd})
            if (*f) {
                std::fclose(*f);
                *f = nullptr;
            }
    }
};

// The suite file, unless it is the open log or a file the suite writes.
FILE* open_suite(const std::string& file, bool epd_suite) {
    FILE* in = open_for_reading(file);
    if (in && result_files::among(in, epd_suite)) {
        level_printf(LVL_ERROR, "\"%s\" is not tested: the test writes its results into it (test a copy)\n",
                     file.c_str());
        std::fclose(in);
        return nullptr;
    }
    return in;
}

void put_group(FILE* f, const std::string& title, const std::string& position, const std::string& solution,
               const std::string& remark = "") {
    if (!f) return;
    std::fprintf(f, "%s\n", title.c_str());
    if (!remark.empty()) std::fputs(remark.c_str(), f);
    std::fprintf(f, "%s\n%s\n", position.c_str(), solution.c_str());
    std::fflush(f);
}

// The position as a PGN game of its solutions.
void write_pgn(FILE* f, const std::string& event, int side, const std::string& fen) {
    if (!f) return;
    std::fprintf(f, "[Event \"%s\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n", event.c_str());
    std::fprintf(f, "[White \"?\"]\n[Black \"?\"]\n[Result \"*\"]\n[FEN \"%s 0 1\"]\n\n", fen.c_str());
    for (size_t i = 0; i < solutions.size(); ++i) {
        const std::string san = legal_move_text(side, solutions[i]);
        if (i == 0)
            std::fprintf(f, "%s%s %s ", side == WHITE ? "1. " : "1...", san.c_str(), avoid_mode ? "$2" : "$1");
        else
            std::fprintf(f, "(%s%s %s) ", side == WHITE ? "1. " : "1...", san.c_str(), avoid_mode ? "$2" : "$1");
    }
    std::fprintf(f, " *\n\n");
    std::fflush(f);
}

// Searches the present position; false when the suite is to end.
bool search_position(int side, suite_totals& t, int* code, int* depth, uint32_t* move) {
    hit_nodes = loss_nodes = mate_nodes = 0;
    hit_time = mate_time = 0.0;
    reset_clocks();
    clock_start(side);
    stop_by_input = 0;
    int score = 0;
    *code = 0;
    *depth = 0;
    *move = think(side, code, &score, depth, nullptr);
    marks = nullptr;
    if (*depth > t.max_depth) t.max_depth = *depth;
    const double elapsed = clock_elapsed(side);
    if (elapsed > t.longest_search) t.longest_search = elapsed;
    t.nodes += nodes_searched;
    t.leaf_nodes += qnodes_searched;
    t.evals += eval_count;
    t.hash_stores += hash_stores;
    t.hash_probes += hash_probes;
    t.hash_hits += hash_hits;
    t.hash_errors += stats.hash_errors;
    t.egtb_probes += stats.egtb_probes;
    t.egtb_hits += stats.egtb_hits;
    return !batch_run::quitting();
}

// The verdict of a searched position; true when it was solved.
bool judge(uint32_t move, int code, int depth, suite_totals& t) {
    const bool correct = suite_move_correct(move);
    ++t.tested;
    t.depth_total += depth;
    if (correct) {
        level_printf(LVL_SOLUTION, "ok after %.2f sec\n", hit_time);
        level_printf(LVL_SOLUTION, "test_nodes %lu l %lu\n", static_cast<unsigned long>(hit_nodes),
                     static_cast<unsigned long>(loss_nodes));
        ++t.found;
        t.win_nodes += hit_nodes;
        if (hit_nodes) t.log_win_nodes += std::log10(static_cast<double>(hit_nodes));
        t.win_time += hit_time;
        if (hit_time > 0) t.log_win_time += std::log10(hit_time);
        if (code & 2) {
            ++t.mates;
            if (mate_nodes == 0) {
                level_printf(LVL_TEST, "\nERROR mate not detected\n");
                t.mate_nodes += hit_nodes;
                t.mate_time += hit_time;
            } else {
                t.mate_nodes += mate_nodes;
                t.mate_time += mate_time;
            }
        } else {
            t.non_mate_depth += depth;
            ++t.non_mate;
        }
    } else {
        level_printf(LVL_SOLUTION, "solution not found\n");
        if (code & 2) {
            level_printf(LVL_SOLUTION, "Huch, I found a made not in the solution\n");
            ++t.mate_errors;
        } else {
            t.non_mate_depth += depth;
            ++t.non_mate;
        }
        hit_nodes = nodes_searched;
        hit_time = search_elapsed();
    }
    return correct;
}

void classify(result_files& r, bool correct, const std::string& title, const std::string& position,
              const std::string& solution, const std::string& lost_line) {
    const unsigned files = suite_result_files(correct, hit_nodes, loss_nodes);
    if ((files & SUITE_LOST) && r.lost) {
        if (lost_line.empty())
            put_group(r.lost, title, position, solution);
        else
            std::fprintf(r.lost, "%s\n", lost_line.c_str());
        std::fflush(r.lost);
    }
    if (files & SUITE_HAIRY) put_group(r.hairy, title, position, solution);
    if (files & SUITE_CLEAN) put_group(r.clean, title, position, solution);
    if (files & SUITE_ECLEAN) put_group(r.eclean, title, position, solution);
    if (files & SUITE_RH)
        put_group(
            r.rh, title, position, solution,
            text_printf(correct ? "rem found after %lu nodes %.2f sec\n" : "rem not found after %lu nodes %.2f sec\n",
                        static_cast<unsigned long>(hit_nodes), hit_time));
}

// After each verdict.
void count_position(suite_totals& t) {
    t.found_time += hit_time;
    t.test_nodes += hit_nodes;
    level_printf(LVL_SOLUTION, "%3d tested, %3d found, %3d mates\n", t.tested, t.found, t.mates);
}

double ratio(double a, double b) { return b != 0 ? a / b : 0.0; }

int move_stack_used() {
    for (int i = MOVE_STACK_SIZE - 1; i >= 0; --i)
        if (move_stack[i].move != 0) return i;
    return 0;
}

// The end of a suite: totals to the console and to test.sum.
void finish_suite(const std::string& file, const suite_totals& t, double seconds, bool ci) {
    if (seconds == 0) seconds = 1.0;
    const int tu = move_stack_used();
    const double av_depth = ratio(static_cast<double>(t.depth_total), t.tested);
    const double nm_depth = ratio(static_cast<double>(t.non_mate_depth), t.non_mate);
    const double log_nodes = ratio(t.log_win_nodes, t.found), log_time = ratio(t.log_win_time, t.found);
    level_printf(LVL_TEST, "%lu nodes, %lu leavenodes in %.2f sec %.0f n/s\n", static_cast<unsigned long>(t.nodes),
                 static_cast<unsigned long>(t.leaf_nodes), seconds, t.nodes / seconds);
    level_printf(LVL_TEST, "test nodes %lu win nodes %lu mate nodes %lu\n", static_cast<unsigned long>(t.test_nodes),
                 static_cast<unsigned long>(t.win_nodes), static_cast<unsigned long>(t.mate_nodes));
    level_printf(LVL_TEST, "win time %.2f mate time %.2f av depth %.3f (nm %.3f) maxdepth %d, tu %d\n", t.win_time,
                 t.mate_time, av_depth, nm_depth, t.max_depth, tu);
    level_printf(LVL_TEST, "log(win_nodes) = %.5f log(win_time) = %.5f\n", log_nodes, log_time);
    if (t.skipped) level_printf(LVL_TEST, "%3d skipped (no position)\n", t.skipped);
    if (t.tested == 0) return;
    FILE* f = open_file("test.sum", "a");
    if (!f) return;
    std::fprintf(f, "TEST %s by Orvik %s ", file.c_str(), release_label);
    if (node_limit != NO_NODE_LIMIT)
        std::fprintf(f, "search_nodes %lu", static_cast<unsigned long>(node_limit));
    else
        std::fprintf(f, "search time %.2f", clocks[WHITE].pt);
    const std::time_t now = std::time(nullptr);
    char date[32] = "";
    std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", std::localtime(&now));
    std::fprintf(f, "  %s\n", date);
    std::fprintf(f, "%s\n", print_parameters(400, 80).c_str());
    std::fprintf(f, "%lu nodes, %.2f%% leavenodes %lu eval %.1f%% score in %.2f sec %.0f n/s\n",
                 static_cast<unsigned long>(t.nodes),
                 100.0 * ratio(static_cast<double>(t.leaf_nodes), static_cast<double>(t.nodes)),
                 static_cast<unsigned long>(t.evals),
                 100.0 * ratio(static_cast<double>(t.evals), static_cast<double>(t.nodes)), seconds, t.nodes / seconds);
    if (t.hash_probes)
        std::fprintf(f, "table_add=%lu, table_store=%lu, table_probe=%lu, %.2f%%\n",
                     static_cast<unsigned long>(t.hash_stores), static_cast<unsigned long>(t.hash_stores),
                     static_cast<unsigned long>(t.hash_probes),
                     100.0 * ratio(static_cast<double>(t.hash_hits), static_cast<double>(t.hash_probes)));
    if (ci)
        std::fprintf(f, "hash_errors %lu, egtb_probe=%lu, egtb_found=%lu\n", static_cast<unsigned long>(t.hash_errors),
                     static_cast<unsigned long>(t.egtb_probes), static_cast<unsigned long>(t.egtb_hits));
    else
        std::fprintf(f, "egtb_probe=%lu, egtb_found=%lu\n", static_cast<unsigned long>(t.egtb_probes),
                     static_cast<unsigned long>(t.egtb_hits));
    std::fprintf(f, "%3d tested, %3d found, %3d not found, mates %3d, time %.2f\n", t.tested, t.found,
                 t.tested - t.found, t.mates, t.found_time);
    std::fprintf(f, "test nodes %lu win nodes %lu mate nodes %lu\n", static_cast<unsigned long>(t.test_nodes),
                 static_cast<unsigned long>(t.win_nodes), static_cast<unsigned long>(t.mate_nodes));
    std::fprintf(f, "win time %.2f mate time %.2f av depth %.3f (nm %.3f) maxdepth %d tu %d\n", t.win_time, t.mate_time,
                 av_depth, nm_depth, t.max_depth, tu);
    if (t.skipped) std::fprintf(f, "%3d skipped (no position)\n", t.skipped);
    if (t.mate_errors) std::fprintf(f, "ERROR mates bug %d\n", t.mate_errors);
    std::fprintf(f, "log(win_nodes) = %.5f log(win_time) = %.5f\n\n", log_nodes, log_time);
    std::fclose(f);
}

// Settings a suite changes for its run and puts back.
struct suite_scope {
    int saved_marks = pv_marks;
    bool (*saved_exclusion)(uint32_t) = hooks.root_move_excluded;
    suite_scope() {
        pv_marks = 0;
        hooks.root_move_excluded = suite_root_move_excluded;
    }
    ~suite_scope() {
        pv_marks = saved_marks;
        hooks.root_move_excluded = saved_exclusion;
        solutions.clear();
        solution_points.clear();
        marks = nullptr;
    }
};

// Lines of a suite file, each without its line end; longer lines are cut.
bool next_line(FILE* f, const std::string& file, std::string& line, size_t limit) {
    const text_read r = read_text_line(f, line, limit);
    if (r == text_read::nul) report_nul_byte("\"" + file + "\"", "positions");
    if (r != text_read::line) return false;
    line = suite_line_body(line);
    return true;
}

// ---- epdtest ----------------------------------------------------------------------

struct tabulated {
    char name[16];
    std::string san[MARKS];
    mark_row row;
    double solution_time;
};

std::string first_word(const std::string& line, size_t* rest) {
    size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    const std::string w = line.substr(start, i - start);
    while (i < line.size() && is_blank(line[i])) ++i;
    *rest = i;
    return w;
}

// The operations of an EPD line after its position.
struct epd_operations {
    std::string id, comments[10], c1;
    bool has_c1 = false;
    int am = 0, bm = 0;
    bool avoid = false;  // the last solution operation was am
};

// Reads the operations from `pos` on: bm and am fill the solutions (and print them).
epd_operations read_epd_operations(const std::string& line, size_t pos, int side) {
    epd_operations ops;
    std::string opcode, operand;
    while (auto next = epd_next_operation(line, pos, opcode, operand)) {
        if (opcode.empty()) break;
        pos = *next;
        if (opcode == "bm" || opcode == "am") {
            level_printf(LVL_SOLUTION, "solution ");
            read_solutions(tokens_of(operand), side, true, 19);
            level_printf(LVL_SOLUTION, "\n");
            ops.avoid = opcode == "am";
            (ops.avoid ? ops.am : ops.bm)++;
        } else if (opcode == "id") {
            ops.id = operand;
        } else if (opcode.size() == 2 && opcode[0] == 'c' && std::isdigit(static_cast<unsigned char>(opcode[1]))) {
            std::string text = operand;
            if (text.size() > 4096) text.resize(4096);
            ops.comments[opcode[1] - '0'] = text;
            if (opcode[1] == '1') {
                ops.has_c1 = true;
                ops.c1 = text;
            }
        }
    }
    return ops;
}

// The position's name: its id, else its first comment, else its number in the file.
std::string epd_position_name(const epd_operations& ops, int number, const std::string& file) {
    std::string name = unquote(ops.id);
    for (int k = 0; name.empty() && k < 10; ++k) name = unquote(ops.comments[k]);
    if (name.empty()) name = text_printf("%d:%s", number, file.c_str());
    return name;
}

// Points of the solutions: from c1 when it gives one number a move, else 1 each.
void read_solution_points(const epd_operations& ops) {
    solution_points.assign(solutions.size(), 1);
    if (!ops.has_c1 || avoid_mode) return;
    const std::string& c1 = ops.c1;
    std::vector<int> pts;
    size_t i = 0;
    while (i < c1.size() && (is_blank(c1[i]) || c1[i] == '"')) ++i;
    while (i < c1.size() && c1[i] != '"' && pts.size() < MAX_POINTS) {
        char* end = nullptr;
        const long v = std::strtol(c1.c_str() + i, &end, 10);
        if (end == c1.c_str() + i) break;
        pts.push_back(static_cast<int>(v));
        i = static_cast<size_t>(end - c1.c_str());
        while (i < c1.size() && is_blank(c1[i])) ++i;
    }
    if (pts.size() == solutions.size())
        for (size_t k = 0; k < pts.size(); ++k) solution_points[k] = pts[k];
}

// The verdict on a searched position with solutions: judged, counted and filed.
void file_epd_verdict(result_files& r, suite_totals& t, tabulated* row, const std::string& name, const std::string& fen,
                      const std::string& line, int side, uint32_t move, int code, int depth) {
    const bool correct = judge(move, code, depth, t);
    if (correct && row) row->solution_time = hit_time;
    if (correct) {
        t.formula += 10.0 * std::exp(-std::log(2.0) * hit_time / 60.0);
        t.solution_time_total += hit_time;
    }
    std::string sol;
    for (uint16_t m : solutions) {
        if (!sol.empty()) sol += ' ';
        sol += legal_move_text(side, m);
        if (avoid_mode) sol += '?';
    }
    classify(r, correct, "title " + name, "setboard " + fen, "solution " + sol, line);
    count_position(t);
}

// The table of time marks: the marks up to 0.98 of the longest search.
void print_time_marks(const std::vector<tabulated>& table, const suite_totals& t) {
    int columns = 0;
    while (columns < MARKS && mark_seconds[columns] <= 0.98 * t.longest_search) ++columns;
    std::string head = "\n                 ";
    for (int k = 0; k < columns; ++k)
        head += text_printf("  %-12s", text_printf("%ds", static_cast<int>(mark_seconds[k])).c_str());
    level_printf(LVL_NORMAL, "%s\n", head.c_str());
    int sums[MARKS] = {};
    for (const tabulated& row : table) {
        std::string text = text_printf("%15s: ", row.name);
        for (int k = 0; k < columns; ++k) {
            if (row.row.move[k]) {
                text += text_printf("%-14s", text_printf(" %2d (%s)", row.row.points[k], row.san[k].c_str()).c_str());
                sums[k] += row.row.points[k];
            } else {
                text += "              ";
            }
        }
        text += row.solution_time >= 0 ? text_printf("%9.3f\n", row.solution_time) : std::string("       nf\n");
        level_printf(LVL_NORMAL, "%s", text.c_str());
    }
    std::string summary = text_printf("\n%15s: ", "Summary");
    for (int k = 0; k < columns; ++k) summary += text_printf(" %-13d", sums[k]);
    summary += text_printf("%9.3f\n\n", t.solution_time_total);
    level_printf(LVL_NORMAL, "%s", summary.c_str());
    level_printf(LVL_NORMAL, "Dalvry formula Sum(%.1f*exp(-ln(2)*solution_time/%.1f)) = %.2f\n", 10.0, 60.0, t.formula);
}

// One position of an EPD suite, set up from `fen` (the rest of the line from `at`):
// its solutions read, searched, judged. False when the search asks the run to stop.
bool run_epd_position(const std::string& file, const std::string& line, const std::string& fen, size_t at, int number,
                      int side, result_files& r, suite_totals& t, std::vector<tabulated>& table) {
    solutions.clear();
    solution_points.clear();
    avoid_mode = false;
    const epd_operations ops = read_epd_operations(line, at, side);
    avoid_mode = ops.avoid;
    if (ops.am + ops.bm != 1) level_printf(LVL_TEST, "Warning: seen am %d times and bm %d times\n", ops.am, ops.bm);
    const std::string name = epd_position_name(ops, number, file);
    read_solution_points(ops);

    const std::string event = name.size() <= 50 ? name : text_printf("%s %d", file.c_str(), number);
    write_pgn(r.pgn, event, side, fen);

    const bool verdict = !solutions.empty() && !cook_mode;
    if (cook_mode)
        level_printf(LVL_TEST, "solution moves disabled\n");
    else if (solutions.empty())
        level_printf(LVL_TEST, "no solutions\n");
    tabulated* row = nullptr;
    if (!cook_mode && number <= TABULATED) {
        table.push_back(tabulated{});
        row = &table.back();
        std::snprintf(row->name, sizeof row->name, "%s", name.c_str());
        row->solution_time = -1;
        marks = &row->row;
    }
    const std::vector<uint16_t> kept = solutions;
    if (!verdict && !cook_mode) solutions.clear();  // the hook stays idle
    int code, depth;
    uint32_t move;
    const bool go_on = search_position(side, t, &code, &depth, &move);
    solutions = kept;
    if (!go_on) return false;
    if (row)
        for (int k = 0; k < MARKS; ++k) row->san[k] = row->row.move[k] ? legal_move_text(side, row->row.move[k]) : "";
    if (verdict) file_epd_verdict(r, t, row, name, fen, line, side, move, code, depth);
    return true;
}

void run_epd_test(const std::string& file) {
    FILE* in = open_suite(file, true);
    if (!in) return;
    suite_scope scope;
    result_files r;
    r.open(true);
    suite_totals t;
    std::vector<tabulated> table;
    const uint32_t suite_start = millis();
    std::string line;
    int number = 0;
    while (next_line(in, file, line, 4096)) {
        line = trim(line);
        if (line.empty()) continue;
        level_printf(LVL_TEST, "%s\n", line.c_str());
        std::string fen;
        const auto at = epd_read_fen_fields(line, fen);
        if (!at) {
            level_printf(LVL_TEST, "No FEN found\n");
            ++t.skipped;
            continue;
        }
        ++number;
        int side = WHITE;
        if (parse_fen(fen, &side, false)) {
            level_printf(LVL_TEST, "No FEN found\n");
            ++t.skipped;
            continue;
        }
        side_to_move = side;
        if (!run_epd_position(file, line, fen, *at, number, side, r, t, table)) break;
    }
    std::fclose(in);
    r.close();
    finish_suite(file, t, (millis() - suite_start) * 0.001, false);
    if (!cook_mode) print_time_marks(table, t);
}

// ---- test (.ci scripts) ------------------------------------------------------------

void run_ci_test(const std::string& file) {
    FILE* in = open_suite(file, false);
    if (!in) return;
    suite_scope scope;
    result_files r;
    r.open(false);
    suite_totals t;
    const uint32_t suite_start = millis();
    std::string line, title, position;
    int number = 0;
    bool refused = false;  // the last position line was refused: its tests are skipped
    while (next_line(in, file, line, 400)) {
        if (!line.empty() && line[0] == ';') continue;
        size_t rest = 0;
        const std::string word = first_word(line, &rest);
        const std::string text = line.substr(rest);
        if (word == "setboard" || word == "svfe") {
            int side = WHITE;
            refused = parse_fen(text, &side, false) != 0;
            if (!refused) side_to_move = side;
            position = line;
        } else if (word == "title" || word == "echo") {
            level_printf(LVL_SOLUTION, "%s\n", text.c_str());
            title = line;
        } else if (word == "noop") {
            level_printf(LVL_SOLUTION, "%s\n", text.c_str());
        } else if (word == "quit") {
            break;
        } else if (word == "solution" || word == "srch") {
            ++number;
            if (refused) {
                // Searched on the position before it, the test would grade that one.
                level_printf(LVL_TEST, "ERROR position refused, test %d skipped: %s\n", number, position.c_str());
                ++t.skipped;
                continue;
            }
            const int side = side_to_move;
            solutions.clear();
            avoid_mode = false;
            level_printf(LVL_SOLUTION, "solution ");
            read_solutions(tokens_of(text), side, false, 400);
            level_printf(LVL_SOLUTION, "\n");
            solution_points.assign(solutions.size(), 1);
            if (solutions.empty()) {
                level_printf(LVL_TEST, "ERROR no solutions\n");
                continue;
            }
            level_printf(LVL_SOLUTION, "\n");
            const std::string fen = board_to_fen(side, false);
            write_pgn(r.pgn, text_printf("%s %d", file.c_str(), number), side, fen);
            if (r.epd) {
                std::string sans;
                for (uint16_t m : solutions) {
                    if (!sans.empty()) sans += ' ';
                    sans += legal_move_text(side, m);
                }
                std::fprintf(r.epd, "%s %s%s; id \"%s %d\";\n", fen.c_str(), avoid_mode ? "am " : "bm ", sans.c_str(),
                             file.c_str(), number);
                std::fflush(r.epd);
            }
            int code, depth;
            uint32_t move;
            if (!search_position(side, t, &code, &depth, &move)) break;
            const bool correct = judge(move, code, depth, t);
            classify(r, correct, title, position, line, "");
            count_position(t);
        }
    }
    std::fclose(in);
    r.close();
    finish_suite(file, t, (millis() - suite_start) * 0.001, true);
}

}  // namespace

// ---- the hook ----------------------------------------------------------------------

void epd_check_solution(uint32_t move, int, int score) {
    int last = -1;
    const int matches = matches_of(move, &last);
    if (marks) {
        const double t = search_elapsed();
        int points = 0;
        if (avoid_mode && matches == 0 && !solution_points.empty()) points = solution_points[0];
        if (!avoid_mode && matches > 0 && last < static_cast<int>(solution_points.size()))
            points = solution_points[static_cast<size_t>(last)];
        if (marks->move[0] == 0 || t <= mark_seconds[0]) {
            for (int k = 0; k < MARKS; ++k) {
                marks->move[k] = static_cast<uint16_t>(move & MOVE_STORED);
                marks->points[k] = points;
            }
        } else {
            for (int k = MARKS - 1; k >= 1 && mark_seconds[k] >= t; --k) {
                marks->move[k] = static_cast<uint16_t>(move & MOVE_STORED);
                marks->points[k] = points;
            }
        }
    }
    if (solutions.empty() || cook_mode) return;
    if (score > 29900) {
        if (mate_nodes == 0) {
            mate_nodes = nodes_searched;
            mate_time = search_elapsed();
        }
    } else {
        mate_nodes = 0;
    }
    if (suite_move_correct(move)) {
        if (hit_nodes == 0) {
            hit_nodes = nodes_searched;
            hit_time = search_elapsed();
        }
    } else if (hit_nodes) {
        loss_nodes = nodes_searched;
        hit_nodes = 0;
    }
}

bool suite_root_move_excluded(uint32_t move) {
    if (cook_mode && !avoid_mode) {
        int last;
        return matches_of(move, &last) > 0;
    }
    return false;
}

bool suite_move_correct(uint32_t move) {
    int last;
    const int matches = matches_of(move, &last);
    return avoid_mode ? matches == 0 : matches > 0;
}

void suite_set_solutions(const uint16_t* moves, int count, bool avoid) {
    solutions.assign(moves, moves + count);
    solution_points.assign(solutions.size(), 1);
    avoid_mode = avoid;
    hit_nodes = loss_nodes = mate_nodes = 0;
    hit_time = mate_time = 0;
}

suite_hits suite_recorded() { return suite_hits{hit_nodes, hit_time, loss_nodes, mate_nodes}; }

unsigned suite_result_files(bool correct, uint32_t hit, uint32_t loss) {
    if (!correct) return SUITE_LOST | SUITE_HAIRY | SUITE_RH;
    unsigned f = 0;
    if (hit > 10000) f |= SUITE_HAIRY;
    if (hit > 10000 && loss <= 20000) f |= SUITE_CLEAN;
    if (loss <= 20000) f |= SUITE_ECLEAN;
    if (hit > 200000) f |= SUITE_RH;
    return f;
}

std::string suite_line_body(std::string line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<size_t> epd_read_fen_fields(const std::string& line, std::string& out) {
    out.clear();
    size_t i = 0;
    for (int field = 0; field < 4; ++field) {
        while (i < line.size() && is_blank(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        if (i == start) return std::nullopt;
        if (field) out += ' ';
        out += line.substr(start, i - start);
    }
    // A halfmove clock and a move number, when they are there as digits.
    for (int field = 0; field < 2; ++field) {
        size_t j = i;
        while (j < line.size() && is_blank(line[j])) ++j;
        const size_t start = j;
        while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j]))) ++j;
        if (j == start || (j < line.size() && !is_blank(line[j]))) break;
        i = j;
    }
    return i;
}

std::optional<size_t> epd_next_operation(const std::string& text, size_t at, std::string& opcode,
                                         std::string& operand) {
    opcode.clear();
    operand.clear();
    size_t i = at;
    while (i < text.size() && is_blank(text[i])) ++i;
    if (i >= text.size()) return i;
    if (!std::isalpha(static_cast<unsigned char>(text[i]))) return std::nullopt;
    while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
        opcode += text[i++];
    while (i < text.size() && is_blank(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ';') ++i;
    operand = trim(text.substr(start, i - start));
    if (i < text.size()) ++i;
    return i;
}

// A suite runs as one batch: the lines that come meanwhile wait for its end, but "quit"
// ends it and "?" the present search.
int cmd_test(const std::string& arg) {
    const batch_run run;
    run_ci_test(trim(arg));
    return CMD_READ_ON;
}

int cmd_epdtest(const std::string& arg) {
    const batch_run run;
    run_epd_test(trim(arg));
    return CMD_READ_ON;
}

int cmd_cooktest(const std::string& arg) {
    const batch_run run;
    cook_mode = true;
    run_epd_test(trim(arg));
    cook_mode = false;
    return CMD_READ_ON;
}
