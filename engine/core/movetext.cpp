#include "core/hooks.h"
#include "core/movetext.h"

#include <cctype>
#include <utility>
#include <vector>

#include "core/board.h"
#include "core/fen.h"
#include "core/hash.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/output.h"
#include "core/settings.h"
#include "core/state.h"

namespace {
const char piece_letters[] = "-PNBRQK";

char file_char(int sq) { return static_cast<char>('a' + file_of(sq)); }
char rank_char(int sq) { return static_cast<char>('1' + rank_index(sq)); }

// Check suffix for the side to move after a move: "", "+" or "#".
std::string check_suffix(int side_to_play) {
    if (!in_check_fn(side_to_play)) return "";
    history_slot_guard keep;
    move_list_entry list[256];
    int n = generate_moves(side_to_play, 0, list);
    for (int i = 0; i < n; ++i) {
        make_move(side_to_play, list[i].move);
        bool still = in_check_fn(side_to_play);
        unmake_move(side_to_play, list[i].move);
        if (!still) return "+";
    }
    return "#";
}

struct move_pattern {
    int piece = 0;  // required piece code, 0 any
    int from_file = -1, from_rank = -1;
    int to = -1;
    bool capture = false;
    int promotion = 0;
    bool check = false;
};

// Legal moves matching the pattern: the first one, and how many matched.
uint32_t match_moves(const move_pattern& pat, int side, int* matches) {
    history_slot_guard keep;
    move_list_entry list[256];
    int n = generate_moves(side, 0, list);
    uint32_t found = 0;
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t m = list[i].move;
        const int from = move_from(m), to = move_to(m);
        if (to != pat.to) continue;
        if (pat.piece && board.piece[from] != static_cast<uint32_t>(pat.piece)) continue;
        if (pat.from_file >= 0 && file_of(from) != pat.from_file) continue;
        if (pat.from_rank >= 0 && rank_index(from) != pat.from_rank) continue;
        if (pat.capture && !(m & MOVE_CAPTURE)) continue;
        if (move_promotion(m) != pat.promotion) continue;
        if (board.piece[to] == KING) continue;
        make_move(side, m);
        bool ok = !in_check_fn(side) && (!pat.check || in_check_fn(side ^ 1));
        unmake_move(side, m);
        if (!ok) continue;
        if (++count == 1) found = m;
    }
    *matches = count;
    return found;
}
}  // namespace

std::string move_to_coordinates(uint32_t move) {
    if (move_is_null(move)) return "null";
    std::string s;
    s += file_char(move_from(move));
    s += rank_char(move_from(move));
    s += file_char(move_to(move));
    s += rank_char(move_to(move));
    if (move_promotion(move)) s += piece_letters[move_promotion(move)];
    return s;
}

std::string move_to_text(uint32_t move) {
    if (notation_mode == NOTATION_COORDINATES) {
        std::string t = move_to_coordinates(move);
        if (uci_mode)
            for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    }
    if (move == 0xFFFFFFFFu) return "ERROR";
    if (move_is_null(move)) return "null";
    const int from = move_from(move), to = move_to(move);
    const int mover = static_cast<int>(board.color[to]);
    const std::string suffix = check_suffix(mover ^ 1);
    std::string s;
    if (move_promotion(move)) {
        if (move & MOVE_CAPTURE) {
            s += file_char(from);
            s += 'x';
        }
        s += file_char(to);
        s += rank_char(to);
        s += '=';
        s += piece_letters[move_promotion(move)];
        return s + suffix;
    }
    if (move & MOVE_CASTLE) return (to > from ? "O-O" : "O-O-O") + suffix;
    const uint32_t p = board.piece[to];
    if (p == PAWN) {
        if (move & MOVE_CAPTURE) {
            s += file_char(from);
            s += 'x';
        }
        s += file_char(to);
        s += rank_char(to);
        return s + suffix;
    }
    // Shortest form that reads back as this move in the position before it.
    const search_mode saved_state = search_state;
    search_state = SEARCH_PLAY;
    unmake_move(mover, move);
    const std::string x = (move & MOVE_CAPTURE) ? "x" : "";
    const std::string dest = std::string(1, file_char(to)) + rank_char(to);
    const std::string letter(1, piece_letters[p]);
    const std::string forms[4] = {
        letter + x + dest,
        letter + file_char(from) + x + dest,
        letter + rank_char(from) + x + dest,
        letter + file_char(from) + rank_char(from) + x + dest,
    };
    s = forms[3];
    for (const std::string& f : forms) {
        std::string reason;
        if (parse_move(f, mover, &reason, nullptr) == move) {
            s = f;
            break;
        }
    }
    make_move(mover, move);
    search_state = saved_state;
    return s + suffix;
}

std::string move_text_here(int side, uint32_t move) {
    const history_slot_guard keep;
    make_move(side, move);
    std::string text = move_to_text(move);
    unmake_move(side, move);
    return text;
}

std::string legal_move_text(int side, uint32_t move) {
    const uint32_t full = move ? find_and_make_move(side, move & MOVE_STORED, nullptr) : 0;
    return full ? move_text_here(side, full) : "invalid";
}

namespace {
bool ends_with(const std::string& t, const char* suffix) {
    const size_t l = std::char_traits<char>::length(suffix);
    return t.size() >= l && t.compare(t.size() - l, l, suffix) == 0;
}

// Takes an annotation mark off the end of the text: its value ("!!" 3 .. "??" -3, "=" 4,
// 0 for none).
int strip_annotation(std::string& t) {
    static const struct {
        const char* text;
        int value;
    } marks[] = {{"=", 4}, {"!!", 3}, {"??", -3}, {"!?", 1}, {"?!", -1}, {"!", 2}, {"?", -2}};
    for (const auto& m : marks)
        if (ends_with(t, m.text)) {
            t.resize(t.size() - std::char_traits<char>::length(m.text));
            return m.value;
        }
    return 0;
}

// Takes a check mark ("+", "++", "#") off the end of the text: whether there was one.
bool strip_check(std::string& t) {
    if (ends_with(t, "++")) {
        t.resize(t.size() - 2);
        return true;
    }
    if (ends_with(t, "+") || ends_with(t, "#")) {
        t.pop_back();
        return true;
    }
    return false;
}

// Castling text is groups of 0, o or O joined by '-': the number of groups, 0 for other text.
int castling_groups(const std::string& t) {
    int groups = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        const bool o = c == '0' || c == 'o' || c == 'O';
        if (i % 2 == 0 ? !o : c != '-') return 0;
        if (o) ++groups;
    }
    return t.size() % 2 == 1 && groups >= 2 ? groups : 0;
}

// The castling move of `groups` (2 the king's side, 3 the queen's), 0 when not legal.
uint32_t castling_move(int groups, int side, bool check, const char** reason) {
    if (groups >= 4) {
        *reason = "bad castling move";
        return 0;
    }
    const int king = side == WHITE ? E1 : E8;
    move_pattern pat;
    pat.piece = KING;
    pat.from_file = file_of(king);
    pat.from_rank = rank_index(king);
    pat.to = groups == 2 ? king + 2 : king - 2;
    pat.check = check;
    int matches = 0;
    const uint32_t m = match_moves(pat, side, &matches);
    if (matches == 1 && (m & MOVE_CASTLE)) return m;
    *reason = "illegal move";
    return 0;
}

// The pattern of a move text, read from the right: promotion, destination, capture,
// origin rank and file, piece. `pawn_assumed`: no piece letter came; `b_file`: the
// origin file was a 'b' that may be a bishop's letter. False when the text is refused
// (`reason` set when it names one).
struct typed_move {
    move_pattern pat;
    bool pawn_assumed = false;
    bool b_file = false;
};
bool read_typed_move(const std::string& t, bool check, typed_move& out, const char** reason) {
    move_pattern& pat = out.pat;
    pat.check = check;
    int i = static_cast<int>(t.size()) - 1;
    if (i >= 0 && piece_from_letter(t[i]) && !(t[i] >= '1' && t[i] <= '8')) {
        pat.promotion = piece_from_letter(t[i]);
        --i;
        if (i >= 0 && t[i] == '=') --i;
    }
    if (i < 1 || t[i] < '1' || t[i] > '8' || t[i - 1] < 'a' || t[i - 1] > 'h') return false;  // no square: reason stays
    pat.to = (t[i] - '1') * 8 + (t[i - 1] - 'a');
    i -= 2;
    if (i >= 0 && (t[i] == 'x' || t[i] == 'X')) {
        pat.capture = true;
        --i;
    }
    if (i >= 0 && t[i] >= '1' && t[i] <= '8') {
        pat.from_rank = t[i] - '1';
        --i;
    }
    if (i >= 0 && t[i] >= 'a' && t[i] <= 'h') {
        pat.from_file = t[i] - 'a';
        out.b_file = t[i] == 'b';
        --i;
    }
    if (i >= 0 && piece_from_letter(t[i])) {
        pat.piece = piece_from_letter(t[i]);
        out.b_file = false;
        --i;
    } else {
        pat.piece = PAWN;
        out.pawn_assumed = true;
    }
    if (i >= 0) {
        *reason = "garbage at beginning of move";
        return false;
    }
    return true;
}

// The one legal move of the pattern; without a piece letter any piece may make it, and
// an origin file 'b' may be a bishop's letter. 0 (with the reason) when none or several.
uint32_t match_typed_move(const typed_move& typed, int side, const char** reason) {
    int matches = 0;
    bool ambiguous = false;
    uint32_t m = match_moves(typed.pat, side, &matches);
    if (matches == 1) return m;
    if (matches > 1) ambiguous = true;
    if (typed.pawn_assumed) {
        move_pattern any = typed.pat;
        any.piece = 0;
        m = match_moves(any, side, &matches);
        if (matches == 1) return m;
        if (matches > 1) ambiguous = true;
    }
    if (typed.b_file) {
        move_pattern bishop = typed.pat;
        bishop.piece = BISHOP;
        bishop.from_file = -1;
        m = match_moves(bishop, side, &matches);
        if (matches == 1) return m;
        if (matches > 1) ambiguous = true;
    }
    *reason = ambiguous ? "move is ambiguous" : "illegal move";
    return 0;
}
}  // namespace

uint32_t parse_move(const std::string& input, int side, std::string* reason, int* annotation) {
    std::string t = input;
    const char* refused = nullptr;  // the reason of a refusal, when it names one
    auto refuse = [&]() -> uint32_t {
        if (reason && refused) *reason = refused;
        return 0;
    };
    const int ann = strip_annotation(t);
    if (annotation) *annotation = ann;
    const bool check = strip_check(t);
    size_t start = 0;
    while (start < t.size() && std::isspace(static_cast<unsigned char>(t[start]))) ++start;
    t.erase(0, start);
    if (t.size() <= 1) {
        refused = "dont accept moves with only one char";
        return refuse();
    }
    if (const int groups = castling_groups(t)) {
        const uint32_t m = castling_move(groups, side, check, &refused);
        return m ? m : refuse();
    }
    typed_move typed;
    if (!read_typed_move(t, check, typed, &refused)) return refuse();
    const uint32_t m = match_typed_move(typed, side, &refused);
    return m ? m : refuse();
}

namespace {
bool marks_on() { return pv_marks && !fritz_mode && notation_mode != NOTATION_COORDINATES; }

// Move number before a move of `side` (White's moves, and the first move of a line).
std::string number_text(int side, bool first) {
    if (!(move_number_in_PV && !fritz_mode && notation_mode != NOTATION_COORDINATES)) return "";
    if (side != WHITE && !first) return "";
    const int number = ((side ^ 1) + board.ply + 2) / 2 + start_move_number;
    std::string t(1, ' ');
    t += std::to_string(number);
    t += side == WHITE ? (space_in_PV ? ". " : ".") : (space_in_PV ? ". ..." : "...");
    return t;
}

void append_move(std::string& text, const std::string& number, const std::string& move) {
    if (number.empty())
        text += ' ';
    else
        text += number;
    text += move;
}
}  // namespace

std::string pv_from_hash(const uint16_t* pv, int side, bool with_tb, int* length) {
    // Taking back a capture puts the taken man at the end of its side's list, so the
    // walk would leave the lists in another order, and the next search would generate
    // its moves in that order: how far the text runs into the table (which depends on
    // the time spent) would then change the search. The position is put back as it was.
    const board_state saved_board = board;
    std::string text;
    uint32_t made[160];
    int sides[160];
    int walked = 0;
    int s = side;
    if ((pv[0] & 0xFFF) != 0xFFF && !move_is_null(pv[0]) && board.piece[pv[0] & 63] == EMPTY) {
        level_printf(LVL_ERROR, "invalid move in move_list\n");
        level_printf(LVL_ERROR, "move %lx side %d from %d\n", static_cast<unsigned long>(pv[0]), side, pv[0] & 63);
        if (length) *length = 0;
        return text;
    }
    // A null move ends the text before it (no host reads "null" as a move); the walk
    // goes on, so that the table is left as a walk of the whole line leaves it.
    bool text_open = true;
    bool cut_at_null = false;
    auto null_move_here = [&] {
        make_null_move(s);
        if (text_open) cut_at_null = true;
        text_open = false;
    };
    int i = 0;
    for (; i < 63 && (pv[i] & 0xFFF) != 0xFFF; ++i) {
        const uint32_t m16 = pv[i];
        const std::string number = number_text(s, walked == 0);
        uint32_t full = 0;
        if (move_is_null(m16)) {
            null_move_here();
        } else {
            full = find_and_make_move(s, m16, nullptr);
            if (full == 0) {
                level_printf(LVL_ERROR, "invalid move in move_list\n");
                text += " IM:" + move_to_coordinates(m16);
                break;
            }
            int sc, dp;
            uint32_t mv;
            if (hash_probe(s, 0, &sc, &mv, &dp) == 0) hash_store(s, 0, -1920, 0, 8, full);
            make_move(s, full);
            if (text_open) append_move(text, number, move_to_text(full));
        }
        made[walked] = full;
        sides[walked] = s;
        ++walked;
        s ^= 1;
        if (fritz_mode && walked >= 29) text_open = false;
    }
    uint32_t marker = (i < 64 && (pv[i] & 0xFFF) == 0xFFF) ? pv[i] : PV_NO_MOVE;
    if (marker == PV_END) {
        // Continue from the table.
        marker = PV_NO_MOVE;
        while (walked < 150) {
            int score, depth;
            uint32_t hm;
            if (hash_probe(s, 0, &score, &hm, &depth) == 0) {
                if (marks_on()) text += " {HT}";
                break;
            }
            if (hm == HASH_EGTB_MOVE) {
                marker = PV_EGTB;
                break;
            }
            const std::string number = number_text(s, walked == 0);
            uint32_t full = 0;
            int reps = 0;
            if (hm == HASH_NULL_MOVE) {
                null_move_here();
            } else if (move_is_null(hm)) {
                break;
            } else {
                full = find_and_make_move(s, hm, nullptr);
                if (full == 0) {
                    level_printf(LVL_ERROR, "invalid move in htable %lx\n", static_cast<unsigned long>(hm));
                    text += " IHM:" + move_to_coordinates(hm);
                    break;
                }
                reps = make_move(s, full);
                if (text_open) append_move(text, number, move_to_text(full) + (marks_on() ? "H" : ""));
            }
            made[walked] = full;
            sides[walked] = s;
            ++walked;
            s ^= 1;
            if (reps >= 2) {
                if (marks_on() && text_open) text += 'R';
                break;
            }
        }
    }
    if (marks_on()) {
        if (marker == PV_EGTB) text += " {EGTB}";
        if (marker == PV_BITBASE) text += " {INTREC}";
    }
    int balance = board.material[WHITE] - board.material[BLACK];
    // The table's line would go on from behind the null move, not from the text's end.
    if (with_tb && !cut_at_null) {
        int found = 0;
        pv_text(s, text, &balance, walked, &found);
    }
    if (marks_on()) text += " {" + std::to_string(side == WHITE ? balance : -balance) + "}";
    for (int k = walked - 1; k >= 0; --k) {
        if (made[k] == 0)
            unmake_null_move(sides[k]);
        else
            unmake_move(sides[k], made[k]);
    }
    board = saved_board;
    if (length) *length = walked;
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    return text;
}

namespace {
// Distance in plies from a table value.
int table_distance(int v) { return v > 0 ? (32767 - v) * 2 : v < 0 ? v * 2 + 65533 : 0; }
}  // namespace

void pv_text(int side, std::string& text, int* balance, int extra_plies, int* found) {
    if (balance) *balance = board.material[WHITE] - board.material[BLACK];
    if (found) *found = 0;
    const int men = board.piece_count[WHITE] + board.piece_count[BLACK] + 2;
    int value = 0;
    if (!hooks.egtb_probe || men > egtb_max_men || !hooks.egtb_probe(side, &value)) return;
    const bool marks = !fritz_mode && notation_mode != NOTATION_COORDINATES;
    int d = table_distance(value);
    history_slot_guard keep;
    std::vector<std::pair<int, uint32_t>> made;
    int s = side;
    for (int step = 0; step < 300; ++step) {
        if (fritz_mode && step + 1 + extra_plies > 29) break;
        move_list_entry list[256];
        const int n = generate_moves(s, 0, list);
        int best_score = -1000000, best_reps = 0, legal = 0, equal = 0, winning = 0;
        uint32_t best = 0;
        bool incomplete = false, continuing = false;
        const bool bare_kings = board.piece_count[WHITE] == 0 && board.piece_count[BLACK] == 0;
        for (int i = 0; i < n; ++i) {
            const uint32_t m = list[i].move;
            if (board.piece[move_to(m)] == KING) continue;
            const int reps = make_move(s, m);
            if (in_check_fn(s)) {
                unmake_move(s, m);
                continue;
            }
            ++legal;
            int score = 0;
            bool scan_ends = false;
            if (reps < 2 && !bare_kings) {
                int child = 0;
                if (!hooks.egtb_probe(s ^ 1, &child)) {
                    incomplete = true;
                    scan_ends = d == 0;
                    unmake_move(s, m);
                    if (scan_ends) break;
                    continue;
                }
                score = -child;
                if (d != 0 && table_distance(child) == d - 1) continuing = true;
            }
            unmake_move(s, m);
            if (score > best_score) {
                best_score = score;
                best = m;
                best_reps = reps;
                equal = 0;
            } else if (score == best_score) {
                ++equal;
            }
            if (score > 0 && reps < 2) ++winning;
        }
        if (best) d = table_distance(-best_score);
        if (incomplete && !continuing) {
            if (marks) text += " {Not all positions found in TB}";
            break;
        }
        if (!best) {
            if (marks && !in_check_fn(s)) text += " {Stalemate}";
            break;
        }
        const std::string number = number_text(s, step == 0);
        make_move(s, best);
        made.emplace_back(s, best);
        append_move(text, number, move_to_text(best));
        if (found) *found = 1;
        if (marks && equal == 0 && legal > 1) text += (winning <= 1 && best_score > 0) ? "!!" : "!";
        s ^= 1;
        const bool no_pawns = board.pawn_material[WHITE] == 0 && board.pawn_material[BLACK] == 0;
        if ((board.piece_count[WHITE] == 0 && board.piece_count[BLACK] == 0) ||
            (no_pawns && board.material[WHITE] <= piece_value[BISHOP] && board.material[BLACK] <= piece_value[BISHOP] &&
             best_score == 0)) {
            if (marks) text += " {No mating material}";
            break;
        }
        if (best_reps > 1) {
            if (marks) text += " {repetition}";
            break;
        }
        if (board.ply - board.last_irreversible >= 100) {
            if (marks) text += " {50 moves rule}";
            break;
        }
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) unmake_move(it->first, it->second);
}
