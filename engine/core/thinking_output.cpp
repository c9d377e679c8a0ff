// What the search tells while it thinks: the thinking line of each dialogue, the UCI
// current-move report and the search statistics.
#include <cmath>
#include <cstring>
#include <string>

#include "core/board.h"
#include "core/hash.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"
#include "core/search.h"
#include "core/eval.h"
#include "core/settings.h"
#include "core/state.h"

int think_side = 0;

namespace {

// Nodes per second with a time span of at least 1 ms.
unsigned long rate(double seconds) {
    if (seconds < 0.001) seconds = 0.001;
    return static_cast<unsigned long>(nodes_searched / seconds);
}

std::string uci_score_text(int score, thinking_kind kind) {
    const bool upper = kind == THINKING_FIRST_FELL || kind == THINKING_FAIL_LOW;
    const bool lower = kind == THINKING_SCOUT_RAISED || kind == THINKING_FAIL_HIGH;
    const char* bound = upper ? " upperbound" : lower ? " lowerbound" : "";
    char buf[64];
    if (score > MATE_RANGE)
        std::snprintf(buf, sizeof buf, "mate %d%s", (30001 - score) / 2, bound);
    else if (score < -MATE_RANGE)
        std::snprintf(buf, sizeof buf, "mate -%d%s", (score + 30000) / 2, bound);
    else
        std::snprintf(buf, sizeof buf, "cp %d%s", score, bound);
    return buf;
}

int xboard_score(int score) {
    if (score > MATE_RANGE) return score + 2767;
    if (score < -MATE_RANGE) return score - 2767;
    return score;
}

// Principal-variation text of a record; `from_table` lets the line run on from the table.
std::string variation_text(const uint16_t* pv, bool from_table) {
    uint16_t buf[PV_WORDS];
    int i = 0;
    for (; i < PV_WORDS - 1 && !is_pv_end(pv[i]); ++i) buf[i] = pv[i];
    uint16_t end = i < PV_WORDS - 1 ? pv[i] : PV_END;
    if (end == PV_END && !from_table) end = PV_NO_MOVE;
    buf[i] = end;
    if (i == 0 && (end == PV_NO_MOVE || end == PV_END)) return "";
    return pv_from_hash(buf, think_side, true, nullptr);
}

// A UCI host reads every word of a variation as a move: the variation ends before its
// first word that is none (a null move, a mark).
std::string uci_variation(const std::string& text) {
    auto in = [](char c, char lo, char hi) { return c >= lo && c <= hi; };
    size_t kept = 0, i = 0;
    for (;;) {
        while (i < text.size() && text[i] == ' ') ++i;
        size_t j = i;
        while (j < text.size() && text[j] != ' ') ++j;
        const size_t n = j - i;
        if (n != 4 && n != 5) break;
        const char* w = text.data() + i;
        if (!in(w[0], 'a', 'h') || !in(w[1], '1', '8') || !in(w[2], 'a', 'h') || !in(w[3], '1', '8')) break;
        if (n == 5 && w[4] != 'n' && w[4] != 'b' && w[4] != 'r' && w[4] != 'q') break;
        kept = j;
        i = j;
    }
    return text.substr(0, kept);
}

std::string lower_coordinates(uint32_t move) {
    std::string t = move_to_coordinates(move);
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

void print_final_statistics(double seconds) {
    if (nodes_searched == 0 || generated_move_count == 0) return;
    const uint32_t ms = static_cast<uint32_t>(seconds * 1000.0 + 0.5);
    const double nps = ms == 0 ? nodes_searched * 1000000.0 : nodes_searched / seconds;
    level_printf(LVL_STATS, "%lu Nodes, %.2f%% Leavenodes, %.0f Nodes/sec\n",
                 static_cast<unsigned long>(nodes_searched), 100.0 * qnodes_searched / nodes_searched, nps);
    // The share of evaluations that computed the positional score (not lazy).
    const double full = eval_count ? 100.0 * static_cast<double>(eval_count - eval_lazy_count) / eval_count : 0.0;
    level_printf(LVL_STATS, "%lu eval, %.2f%% score, %lu genmoves, %.2f%% captures ",
                 static_cast<unsigned long>(eval_count), full, static_cast<unsigned long>(generated_move_count),
                 generated_move_count ? 100.0 * stats.captures_generated / generated_move_count : 0.0);
    level_printf(LVL_STATS, "le %d/%d\n", lazy_margin[WHITE], lazy_margin[BLACK]);
    level_printf(LVL_STATS,
                 "ext: pawn %lu, rcp %lu, chk %lu, repchk %lu,\n     null %lu, prune %lu, pe %lu, 1rep %lu\n",
                 static_cast<unsigned long>(extension_count(EXT_PAWN7)),
                 static_cast<unsigned long>(extension_count(EXT_RECAPTURE)),
                 static_cast<unsigned long>(extension_count(EXT_CHECK)),
                 static_cast<unsigned long>(extension_count(EXT_REPCHECK)),
                 static_cast<unsigned long>(extension_count(EXT_THREAT)), static_cast<unsigned long>(stats.pruned),
                 static_cast<unsigned long>(extension_count(EXT_PAWN_ENDING)),
                 static_cast<unsigned long>(extension_count(EXT_ONE_REPLY)));
}

void print_hash_lines() {
    level_printf(LVL_STATS, "htable: %lu store, %lu rejected, %lu probe, %.1f%% f/p, %.1f%% f/s\n",
                 static_cast<unsigned long>(hash_stores), static_cast<unsigned long>(hash_rejects),
                 static_cast<unsigned long>(hash_probes), hash_probes ? 100.0 * hash_hits / hash_probes : 0.0,
                 hash_stores ? 100.0 * hash_hits / hash_stores : 0.0);
    if (hash_table)
        level_printf(LVL_STATS, "entries %lu age %lu renew %ld\n", static_cast<unsigned long>(hash_entries),
                     static_cast<unsigned long>(hash_age), static_cast<long>(hash_wraps));
}

}  // namespace

std::string console_score_text(int score) {
    char buf[32];
    if (score > MATE_RANGE)
        std::snprintf(buf, sizeof buf, "Mat%02d", (30001 - score) / 2);
    else if (score < -MATE_RANGE)
        std::snprintf(buf, sizeof buf, "-Mat%02d", (score + 30000) / 2);
    else
        std::snprintf(buf, sizeof buf, "%.2f", score / 100.0);
    return buf;
}

std::string console_time_text(double t) {
    char buf[32];
    if (t < 59.9995) {
        const long ms = static_cast<long>(t * 1000.0);
        std::snprintf(buf, sizeof buf, "%ld.%03ld", ms / 1000, ms % 1000);
    } else if (t < 3599.95) {
        const long tenths = static_cast<long>(t * 10.0);
        std::snprintf(buf, sizeof buf, "%d:%02d.%d", static_cast<int>(tenths / 600),
                      static_cast<int>((tenths / 10) % 60), static_cast<int>(tenths % 10));
    } else {
        const long s = static_cast<long>(t);
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d", static_cast<int>(s / 3600), static_cast<int>((s / 60) % 60),
                      static_cast<int>(s % 60));
    }
    return buf;
}

const char* thinking_code(thinking_kind kind) {
    static const char* const codes[] = {"t+", "t-", "t ", "om", "lm", "bk", "km", "--", "++", ". ", "f.", "u."};
    static_assert(sizeof codes / sizeof codes[0] == THINKING_UNFINISHED + 1, "one code for each kind");
    return codes[kind];
}

void print_thinking(const uint16_t* pv, int score, int depth, double seconds, thinking_kind kind, thinking_end end) {
    const char* type_text = thinking_code(kind);
    const bool last_line = end != THINKING_GOES_ON;
    const unsigned long nodes = nodes_searched;
    const long centis = static_cast<long>(seconds * 100.0);
    if (uci_mode) {
        std::string text;
        if (depth > 0) text = variation_text(pv, seconds > 1.0 || depth > 20);
        if (stats.tb_hits) level_printf(LVL_UCI, "info tbhits %lu\n", static_cast<unsigned long>(stats.tb_hits));
        if (nodes) level_printf(LVL_UCI, "info nps %lu\n", rate(seconds));
        // A line without a move (a book move, or a variation that begins with a null
        // move) carries no pv word: a host reads the word as the start of a line.
        const std::string moves = uci_variation(text);
        level_printf(LVL_UCI, "info depth %d score %s nodes %lu time %ld%s%s\n", depth,
                     uci_score_text(score, kind).c_str(), nodes, static_cast<long>(seconds * 1000.0),
                     moves.empty() ? "" : " pv ", moves.c_str());
        if (depth > 0 && text.find('{') != std::string::npos && (uci_egtb_info == 2 || last_line)) {
            const int saved = notation_mode;
            notation_mode = NOTATION_SAN;
            const std::string san = variation_text(pv, seconds > 1.0 || depth > 20);
            notation_mode = saved;
            level_printf(LVL_UCI, "info string %s\n", san.c_str());
        }
        if (last_line)
            level_printf(
                LVL_UCI,
                "info string interior recognizer probes %lu, found %lu egtb probes %lu, found %lu max_depth %d\n",
                static_cast<unsigned long>(stats.bitbase_probes), static_cast<unsigned long>(stats.bitbase_hits),
                static_cast<unsigned long>(stats.egtb_probes), static_cast<unsigned long>(stats.egtb_hits), seldepth);
        return;
    }

    const bool analysis = search_state == SEARCH_ANALYSE;
    const bool worth = nodes >= noise || score > MATE_RANGE || analysis;
    std::string text;
    bool have_text = false;
    if (xboard_mode) {
        // An analysis ends only when a command comes: its last line would reach the host
        // after the command, which may have changed the position (a move, undo, setboard,
        // new), and be read as the first line of the new one.
        if (worth && !(analysis && last_line)) {
            text = variation_text(pv, analysis || seconds > 1.0 || depth > 20);
            have_text = true;
            std::string shown = text;
            if (!fritz_mode && max_PV_WB < 9800 && max_PV_WB >= 0 && shown.size() > static_cast<size_t>(max_PV_WB))
                shown.resize(static_cast<size_t>(max_PV_WB));
            if (!fritz_mode && notation_mode != NOTATION_COORDINATES)
                level_printf(LVL_THINKING, "%d %d %ld %lu %s %s\n", depth, xboard_score(score), centis, nodes,
                             type_text, shown.c_str());
            else
                level_printf(LVL_THINKING, "%d %d %ld %lu %s\n", depth, xboard_score(score), centis, nodes,
                             shown.c_str());
        }
        if (!last_line) return;
    }

    // Console line.
    const int level = xboard_mode ? LVL_XBOARD_CONSOLE : LVL_THINKING;
    if (last_line || nodes >= noise || score > MATE_KILLER_SCORE) {
        if (output_levels[level] || log_file) {
            if (!have_text) text = variation_text(pv, last_line || seconds > 1.0 || depth > 20);
            level_printf(level, "%10lu %7s%7s%3d%s ", nodes, console_time_text(seconds).c_str(),
                         console_score_text(score).c_str(), depth, type_text);
            std::string rest = text;
            while (rest.size() > 48) {
                size_t cut = rest.rfind(' ', 48);
                if (cut == std::string::npos || cut == 0) cut = 48;
                level_printf(level, "%s", rest.substr(0, cut).c_str());
                level_printf(level, "\n%31s", "");
                rest.erase(0, cut);
                while (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
            }
            level_printf(level, "%s", rest.c_str());
            level_printf(level, "\n");
            have_text = true;
        }
    }

    // ICS tells.
    if (xboard_mode && ics_mode && end == THINKING_LAST) {
        if (!have_text) text = variation_text(pv, true);
        std::string told = text;
        if (max_PV_tellics >= 0 && told.size() > static_cast<size_t>(max_PV_tellics))
            told.resize(static_cast<size_t>(max_PV_tellics));
        const int precision = seconds < 9.9995 ? 3 : seconds < 99.995 ? 2 : 1;
        unsigned long nps = rate(seconds);
        const char* unit = "Nps";
        if (nps > 9999) {
            nps /= 1000;
            unit = "kNps";
        }
        if (stats.egtb_probes)
            level_printf(LVL_NORMAL, "tellics %s time: %.*f %s: %lu TB probes: %lu/%lu score: %s depth: %d%s PV: %s\n",
                         ics_talk_word.c_str(), precision, seconds, unit, nps,
                         static_cast<unsigned long>(stats.egtb_hits), static_cast<unsigned long>(stats.egtb_probes),
                         console_score_text(score).c_str(), depth, type_text, told.c_str());
        else
            level_printf(LVL_NORMAL, "tellics %s time: %.*f %s: %lu score: %s depth: %d%s PV: %s\n",
                         ics_talk_word.c_str(), precision, seconds, unit, nps, console_score_text(score).c_str(), depth,
                         type_text, told.c_str());
        if (announce_mate_on && score > MATE_RANGE)
            level_printf(LVL_NORMAL, "tellics %s Mate in %d\n", "whisper", (30001 - score) / 2);
    }

    // An xboard host reads every line that begins with a number as thinking: the
    // statistics are the console's only.
    if (last_line && !xboard_mode) {
        print_final_statistics(seconds);
        print_hash_lines();
        level_printf(LVL_STATS, "interior recognizer probes %lu, found %lu ",
                     static_cast<unsigned long>(stats.bitbase_probes), static_cast<unsigned long>(stats.bitbase_hits));
        level_printf(LVL_STATS, "egtb probes %lu, found %lu max_depth %d\n",
                     static_cast<unsigned long>(stats.egtb_probes), static_cast<unsigned long>(stats.egtb_hits),
                     seldepth);
    }
}

void print_current_move(int move_number, int moves_total, int depth) {
    if (!uci_mode) return;
    const double seconds = search_elapsed();
    if (seconds >= 1.0 || (depth > 5 && (move_number == 1 || move_number == moves_total))) {
        const uint32_t m = game_history[board.ply].move;
        level_printf(LVL_UCI_PROGRESS, "info currmove %s currmovenumber %d depth %d seldepth %d\n",
                     lower_coordinates(m).c_str(), move_number, depth, seldepth);
        if (nodes_searched) level_printf(LVL_UCI_PROGRESS, "info nps %lu\n", rate(seconds));
        if (stats.tb_hits)
            level_printf(LVL_UCI_PROGRESS, "info tbhits %lu\n", static_cast<unsigned long>(stats.tb_hits));
        if (uci_show_hashfull && hash_probes) {
            const uint64_t permill = 1000 * hash_hits / hash_probes;
            if (permill <= 1000) level_printf(LVL_UCI_PROGRESS, "info hashfull %d\n", static_cast<int>(permill));
        }
    } else if (uci_debug) {
        level_printf(LVL_UCI, "info string seconds %.3f, depth %d number %d nm %d\n", seconds, depth, move_number,
                     moves_total);
    }
}

void print_search_stats() {
    const double seconds = (millis() - search_start) * 0.001;
    const long centis = static_cast<long>(seconds * 100.0);
    if (xboard_mode) {
        if (xboard_mode >= 2)
            level_printf(LVL_STATS, "stat01: %ld %lu %d %d %d %s\n", centis, static_cast<unsigned long>(nodes_searched),
                         iteration_depth, root_move_count - root_move_number, root_move_count, root_move_text);
        else
            level_printf(LVL_STATS, "stat01: %ld %lu %d %d %d\n", centis, static_cast<unsigned long>(nodes_searched),
                         iteration_depth, root_move_count - root_move_number, root_move_count);
        return;
    }
    const long nps = seconds > 0.0 ? static_cast<long>(nodes_searched / seconds) : 0;
    level_printf(LVL_STATS, "%.3f s, %lu nodes, %ld nps, depth %d (%d/%d): %s\n", seconds,
                 static_cast<unsigned long>(nodes_searched), nps, iteration_depth, root_move_number, root_move_count,
                 root_move_text);
    if (search_state == SEARCH_ANALYSE && root_stored_depth >= 1)
        level_printf(LVL_STATS, "Root position was stored with depth %d before search started\n", root_stored_depth);
    print_hash_lines();
    if (stats.hash_errors) level_printf(LVL_STATS, "hash_errors %lu\n", static_cast<unsigned long>(stats.hash_errors));
    level_printf(LVL_STATS, "interior recognizer probes %lu, found %lu ",
                 static_cast<unsigned long>(stats.bitbase_probes), static_cast<unsigned long>(stats.bitbase_hits));
    level_printf(LVL_STATS, "egtb probes %lu, found %lu, max_depth %d\n", static_cast<unsigned long>(stats.egtb_probes),
                 static_cast<unsigned long>(stats.egtb_hits), seldepth);
}
