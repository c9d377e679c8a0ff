#include "grammar.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace fuzz {

const std::vector<std::string> long_commands = {"speed", "kbpk", "xtest", "create_bitbases", "tbb", "help"};

// The searches: one count; the five positions of pos.epd (the other files hold none that
// a suite takes, or a few); two a ply of the short game.pgn.
const std::vector<batch_command> batch_commands = {
    {"perftest", 1}, {"test", 8}, {"epdtest", 8}, {"cooktest", 8}, {"annotate", 12}};

namespace {
using rng_t = std::mt19937_64;
using namespace std::chrono_literals;

// The forms a command's argument takes.
enum class arg {
    none,       // nothing (random junk now and then)
    integer,    // whole numbers, at and beyond the int range
    real,       // decimal numbers, tiny and huge, nan and inf
    plies,      // real numbers of plies
    count,      // numbers with k/M
    memory,     // sizes in bytes that stay below 64 MB when they are taken
    depth,      // search depths
    seconds,    // fixed times per move
    centis,     // clock readings in centiseconds
    control,    // level and xtime texts
    clock,      // "m:ss"
    file,       // file names
    text,       // free text
    fen,        // FEN texts, mutated
    move,       // one move text
    on_off,     // on / off / other words
    position,   // UCI position
    go,         // UCI go words (and the xboard go, which takes none)
    option,     // UCI setoption
    pgn,        // a file name and a game number
    book_size,  // book_create: a file, a slot count that can be had, plies and options
    book_add,   // book_add: a file, plies and options
    in_out,     // PGN tools: an input and an output file
    tool_mode,  // PGN tools with a mode letter and its options
    annotate,   // a file, an output, a game and a short time a move
};

const std::map<std::string, arg>& forms() {
    // clang-format off
    static const std::map<std::string, arg> table = {
        {"rem", arg::text}, {"st", arg::seconds}, {"display", arg::none}, {"bd", arg::none}, {"board", arg::none},
        {"sd", arg::depth}, {"depth", arg::depth}, {"time", arg::centis}, {"xtime", arg::control},
        {"otim", arg::centis}, {"level", arg::control}, {"go", arg::go}, {"force", arg::none}, {"move", arg::none},
        {"auto", arg::none}, {"test", arg::file}, {"epdtest", arg::file}, {"cooktest", arg::file},
        {"newgame", arg::none}, {"help", arg::none}, {"setboard", arg::fen}, {"ut1", arg::integer},
        {"ut2", arg::integer}, {"rv", arg::none}, {"reverse", arg::none}, {"hash", arg::memory},
        {"egtb_cache", arg::memory}, {"null_low", arg::plies}, {"null_high", arg::plies},
        {"null_endgame", arg::plies}, {"null_split", arg::plies}, {"prune", arg::integer}, {"qexact", arg::integer},
        {"deepen", arg::integer}, {"fail_low_early", arg::integer}, {"window", arg::integer}, {"nodes", arg::count},
        {"noise", arg::count}, {"snodes", arg::count}, {"undo", arg::integer}, {"remove", arg::none},
        {"input", arg::file}, {"log", arg::file}, {"loga", arg::file}, {"log_path", arg::file},
        {"sgames", arg::file}, {"nsgames", arg::text}, {"edit", arg::none}, {"book_parse", arg::file},
        {"book_create", arg::book_size}, {"book_add", arg::book_add}, {"book_clean", arg::file}, {"book_learn", arg::integer},
        {"book_holes", arg::integer}, {"book_file", arg::file}, {"lbook_file", arg::file},
        {"book_random", arg::integer}, {"book_split", arg::integer}, {"book_mode", arg::integer},
        {"margin_book_learn", arg::integer}, {"margin_book_learn_white", arg::integer},
        {"margin_book_learn_black", arg::integer}, {"pos_learn", arg::integer}, {"import_pos", arg::file},
        {"margin_pos_learn", arg::integer}, {"use_book", arg::on_off}, {"parameters", arg::none},
        {"xboard", arg::on_off}, {"white", arg::none}, {"black", arg::none}, {"pval", arg::real},
        {"post", arg::none}, {"nopost", arg::none}, {"resign", arg::on_off}, {"rscore", arg::real},
        {"rmoves", arg::integer}, {"icheck", arg::plies}, {"irepcheck", arg::plies}, {"irecapture", arg::plies},
        {"ipawn7", arg::plies}, {"inullthreat", arg::plies}, {"ionerep", arg::plies}, {"ipawne", arg::plies},
        {"tbldir", arg::file}, {"nval", arg::integer}, {";", arg::text}, {".", arg::none}, {"tu", arg::none},
        {"mn", arg::integer}, {"?", arg::none}, {"easy", arg::none}, {"hard", arg::none}, {"gui", arg::text},
        {"random", arg::none}, {"computer", arg::none}, {"noop", arg::text}, {"name", arg::text},
        {"rating", arg::text}, {"result", arg::text}, {"draw", arg::none}, {"hint", arg::none}, {"bk", arg::none},
        {"read_pgn", arg::pgn}, {"analyze", arg::none}, {"exit", arg::none}, {"reset", arg::none},
        {"fritz", arg::none}, {"ponder", arg::move}, {"whisper", arg::text}, {"version", arg::text},
        {"say", arg::text}, {"announce_mate", arg::text}, {"autokibitz", arg::integer}, {"op_info", arg::integer},
        {"ignore_time", arg::integer}, {"eml_mode", arg::integer}, {"kids_mode", arg::integer},
        {"trosk_mode", arg::integer}, {"nmoves_inctime", arg::integer}, {"tb_usage", arg::integer},
        {"overwrite_vgm", arg::integer}, {"mintime_factor", arg::real}, {"comm_only", arg::integer},
        {"fen", arg::none}, {"show_book", arg::integer}, {"comment", arg::text}, {"event", arg::text},
        {"max_PV_WB", arg::integer}, {"max_PV_tellics", arg::integer}, {"space_in_PV", arg::integer},
        {"move_number_in_PV", arg::integer}, {"protover", arg::integer}, {"ics", arg::text}, {"ping", arg::integer},
        {"accepted", arg::text}, {"rejected", arg::text}, {"uci", arg::none}, {"ucinewgame", arg::none},
        {"debug", arg::on_off}, {"isready", arg::none}, {"setoption", arg::option}, {"position", arg::position},
        {"stop", arg::none}, {"ml", arg::none}, {"at", arg::clock}, {"pelvat_pgn", arg::tool_mode},
        {"ferrun_pgn", arg::in_out}, {"mq_pgn", arg::in_out}, {"wclock", arg::none}, {"bclock", arg::none},
        {"clocks", arg::none},
        {"bell", arg::integer}, {"echo", arg::text}, {"min_learn_tc", arg::integer}, {"show_eco", arg::integer},
        {"eco", arg::text}, {"perftest", arg::integer}, {"posentries", arg::integer}, {"ignore_system", arg::none},
        {"vadro_pgn", arg::tool_mode}, {"add_eco", arg::tool_mode}, {"auto_log", arg::integer}, {"score", arg::none},
        {"variant", arg::text}, {"win_humans", arg::integer}, {"win_computers", arg::integer},
        {"win_all", arg::integer}, {"win_file", arg::file}, {"prompt_human", arg::text}, {"prompt_all", arg::text},
        {"prompt_computer", arg::text}, {"bbpath", arg::file}, {"xdisplay", arg::none}, {"factor", arg::real},
        {"annotate", arg::annotate},
    };
    // clang-format on
    return table;
}

// ---- random pieces ---------------------------------------------------------------

size_t below(rng_t& r, size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(r) : 0; }
long between(rng_t& r, long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(r); }
bool chance(rng_t& r, double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(r) < p; }
template <typename T>
const T& pick(rng_t& r, const std::vector<T>& v) {
    return v[below(r, v.size())];
}

const std::vector<std::string> edge_numbers = {"0",
                                               "-1",
                                               "1",
                                               "2147483647",
                                               "-2147483648",
                                               "2147483648",
                                               "-2147483649",
                                               "4294967295",
                                               "4294967296",
                                               "9223372036854775807",
                                               "-9223372036854775808",
                                               "9223372036854775808",
                                               "99999999999",
                                               "-99999999999",
                                               "1e300",
                                               "-1e300",
                                               "1e-300",
                                               "nan",
                                               "-nan",
                                               "inf",
                                               "-inf",
                                               "0x7fffffff",
                                               "",
                                               "abc",
                                               "12abc",
                                               "--5",
                                               "+7",
                                               "1.5",
                                               "3.",
                                               ".5",
                                               "-0",
                                               "00000000000000000000001",
                                               "1e9",
                                               "1e10",
                                               "65536",
                                               "-65536",
                                               "999999999999999999999999999999999999999999999999999999999999999"};

std::string junk_text(rng_t& r, size_t max_len);

std::string number(rng_t& r) {
    switch (below(r, 4)) {
        case 0: return std::to_string(between(r, -10, 100));
        case 1: return pick(r, edge_numbers);
        case 2: return std::to_string(between(r, -100000, 100000));
        default: return std::to_string(between(r, 0, 10)) + (chance(r, 0.5) ? "" : junk_text(r, 4));
    }
}

std::string real_number(rng_t& r) {
    if (chance(r, 0.5)) return number(r);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(below(r, 5)),
                  std::uniform_real_distribution<double>(-50.0, 50.0)(r));
    return buf;
}

std::string count(rng_t& r) {
    static const std::vector<std::string> suffixes = {"", "", "k", "K", "m", "M", "x", "kk", " M"};
    return (chance(r, 0.6) ? std::to_string(between(r, 0, 5000)) : number(r)) + pick(r, suffixes);
}

std::string memory(rng_t& r) {
    // Sizes beyond them are taken as far as the memory goes (gigabytes of hash table).
    static const std::vector<std::string> sizes = {"-5",  "0",   "1",    "100",     "1k",         "1M",     "4M",
                                                   "16M", "64M", "1.5M", "nan",     "abc",        "-1e300", "7k",
                                                   "200", "64m", "8259", "3000000", "-2147483648"};
    return pick(r, sizes);
}

std::string depth(rng_t& r) {
    if (chance(r, 0.7)) return std::to_string(between(r, 1, 4));
    return chance(r, 0.5) ? std::to_string(between(r, -5, 70)) : number(r);
}

std::string seconds(rng_t& r) {
    static const std::vector<std::string> times = {"0.01", "0.05", "0.1", "0.02", "1", "0", "-5", "1e-9", "0.001"};
    return chance(r, 0.8) ? pick(r, times) : real_number(r);
}

std::string centis(rng_t& r) { return chance(r, 0.7) ? std::to_string(between(r, 1, 30000)) : number(r); }

std::string control(rng_t& r) {
    static const std::vector<std::string> forms = {
        "0 0:05 0.05",     "0 1 0",     "40 0:10 0",       "0 0:01 0.01", "40 5 0", "0 2:30 12",
        "40/300",          "sd/60",     "40/300 20/100 0", "0 0 0",       "-1 5 0", "40 1:61 0",
        "99999999999 5 0", "0 1e300 0", "0 0:02 nan",      "1 0:00 1",    "40/0"};
    if (chance(r, 0.7)) return pick(r, forms);
    return number(r) + " " + number(r) + (chance(r, 0.5) ? ":" + number(r) : "") + " " + number(r);
}

std::string clock_text(rng_t& r) {
    return chance(r, 0.5) ? std::to_string(between(r, 0, 10)) + ":" + std::to_string(between(r, -70, 70))
                          : number(r) + (chance(r, 0.5) ? ":" + number(r) : "");
}

std::string junk_text(rng_t& r, size_t max_len) {
    const size_t n = below(r, max_len + 1);
    std::string t;
    const size_t style = below(r, 4);
    for (size_t i = 0; i < n; ++i) {
        char c;
        switch (style) {
            case 0: c = static_cast<char>(between(r, 'a', 'z')); break;
            case 1: c = static_cast<char>(between(r, 32, 126)); break;
            case 2: c = static_cast<char>(between(r, 1, 255)); break;  // any byte but NUL
            default: c = static_cast<char>(between(r, 0, 255)); break;
        }
        if (c == '\n') c = ' ';
        t += c;
    }
    return t;
}

// clang-format off
std::string text(rng_t& r) {
    static const std::vector<std::string> texts = {"", "x", "hello world", "%s%n%x%p", "{comment}", "1-0 {White mates}",
                                                   "0-1", "1/2-1/2 {x}", "*", "-", "on", "off", "OFF", "ChessAcademy",
                                                   "C", "Ch", "Player_1", "\xC3\xA9t\xC3\xA9"};
    switch (below(r, 4)) {
    case 0: return pick(r, texts);
    case 1: return junk_text(r, 40);
    case 2: return junk_text(r, chance(r, 0.1) ? 20000 : 400);
    default: return pick(r, texts) + " " + junk_text(r, 10);
    }
}
// clang-format on

// The devices are links in the run's folder (see make_run): the engine runs with the
// fuzzer's rights, and a book or log written under a device's own name would replace
// or litter the system's /dev.
const std::vector<std::string> file_names = {"nofile",    "x",       "y.pgn",      "game.pgn",    "pos.epd",
                                             "script",    "empty",   "binary",     "null",        "full",
                                             "zero",      "",        ".",          "..",          "dir/",
                                             "a b",       "%s%n",    "kvbook.bin", "kvlearn.bin", "learnpos.bin",
                                             "orvik.ini", "out.pgn", "x.all",      "win",         "../x"};

std::string file(rng_t& r) {
    if (chance(r, 0.9)) return pick(r, file_names);
    std::string name = junk_text(r, chance(r, 0.2) ? 600 : 30);
    // Never an absolute path nor a way out of the run's folder beyond its parent.
    while (!name.empty() && (name[0] == '/' || name[0] == '.')) name.erase(0, 1);
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

std::string on_off(rng_t& r) {
    static const std::vector<std::string> words = {"on", "off", "OFF", "offline", "of", "", "1", "0", "true", "o"};
    return chance(r, 0.9) ? pick(r, words) : text(r);
}

// ---- positions and moves -----------------------------------------------------------

const std::vector<std::string> base_fens = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "4k3/8/8/8/8/8/8/4K3 w - - 0 1",
    "7k/P7/8/8/8/8/8/K7 w - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "k7/8/1Q6/8/8/8/8/7K b - - 0 1",
    "8/8/8/8/8/8/6k1/4K2R w K - 0 1",
    "r3k3/8/8/8/8/8/8/4K3 b q - 0 1",
    "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "PPPPPPPP/PPPPPPPP/PPPPPPPP/PPPKPPPP/pppppppp/ppppkppp/pppppppp/pppppppp w - - 0 1",
    "pppppppp/4k3/8/8/8/8/4K3/PPPPPPPP w - - 0 1",
    "QQQQQQQQ/QQQQQQQQ/QQQQQQQQ/QQQKQQQQ/qqqqqqqq/qqqqkqqq/qqqqqqqq/qqqqqqqq b KQkq - 0 1",
};

std::string mutate_fen(rng_t& r, std::string f) {
    static const std::string alphabet = "pnbrqkPNBRQK12345678/ -wbKQkqa3h69x0";
    const size_t edits = below(r, 4);
    for (size_t e = 0; e < edits && !f.empty(); ++e) {
        const size_t at = below(r, f.size());
        switch (below(r, 6)) {
            case 0: f[at] = alphabet[below(r, alphabet.size())]; break;
            case 1: f.insert(at, 1, alphabet[below(r, alphabet.size())]); break;
            case 2: f.erase(at, 1); break;
            case 3: f.insert(at, f.substr(at, below(r, 10))); break;
            case 4: f = f.substr(0, at); break;
            default:
                for (int k = 0; k < 2; ++k) f.append(" ").append(number(r));
                break;
        }
    }
    return f;
}

// Positions with moves to search and none from the book.
const std::vector<std::string> searched_fens = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1QBPPP/R3KB1R w KQ - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
};

std::string fen(rng_t& r) {
    const std::string& base = pick(r, base_fens);
    return chance(r, 0.4) ? base : mutate_fen(r, base);
}

// Move sequences legal from the initial position, and knight shuffles that keep any
// of them legal for as long as wanted.
const std::vector<std::string> openings = {"",
                                           "e2e4 e7e5",
                                           "e2e4 c7c5 g1f3 d7d6",
                                           "d2d4 d7d5 c2c4 c7c6",
                                           "d2d4 g8f6 c2c4 e7e6",
                                           "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6",
                                           "e2e4 d7d5 e4d5 d8d5",
                                           "g2g3 d7d5 f1g2 e7e5 b2b3 f8d6"};

std::string move_list(rng_t& r, bool from_start) {
    std::string moves = from_start ? pick(r, openings) : "";
    static const std::vector<std::string> shuffle = {"b1a3", "b8a6", "a3b1", "a6b8"};
    const size_t plies = chance(r, 0.05) ? below(r, 1400) : below(r, 60);
    for (size_t i = 0; i < plies; ++i) moves += (moves.empty() ? "" : " ") + shuffle[i % 4];
    if (chance(r, 0.2)) {
        static const std::vector<std::string> odd = {"e2e4", "e7e8q", "e7e8Q", "O-O", "0000", "null",    "a1a1",
                                                     "e2e5", "Nf3",   "h7h8n", "zz",  "e2",   "e2e4e7e5"};
        moves += " " + pick(r, odd);
        if (chance(r, 0.5)) moves += " e7e5";
    }
    return moves;
}

std::string move(rng_t& r) {
    static const std::vector<std::string> moves = {"e2e4",  "e7e5", "g1f3",      "Nf3",  "e4",    "O-O",  "o-o-o",
                                                   "e7e8q", "exd5", "Qxf7#",     "a1a1", "0000",  "null", "b1a3",
                                                   "b8a6",  "K",    "e2e4 e7e5", "e8=Q", "h2h1R", "d7d5"};
    return chance(r, 0.85) ? pick(r, moves) : junk_text(r, 8);
}

std::string uci_position(rng_t& r) {
    if (chance(r, 0.6)) {
        const std::string moves = move_list(r, true);
        return "startpos" + std::string(moves.empty() && chance(r, 0.5) ? "" : " moves " + moves);
    }
    if (chance(r, 0.8)) return "fen " + fen(r) + (chance(r, 0.5) ? " moves " + move_list(r, false) : "");
    return text(r);
}

// The words of the UCI go.
const std::vector<std::string> go_keywords = {"wtime", "btime", "winc",     "binc",     "movestogo", "depth",
                                              "nodes", "mate",  "movetime", "infinite", "ponder",    "searchmoves"};

std::string uci_go(rng_t& r) {
    std::string words;
    const size_t n = below(r, 5);
    for (size_t i = 0; i < n; ++i) {
        const std::string& k = pick(r, go_keywords);
        words.append(" ").append(k);
        if (k == "searchmoves")
            for (int m = 0; m < 2; ++m) words.append(" ").append(move(r));
        else if (k != "infinite" && k != "ponder")
            words.append(" ").append(chance(r, 0.7) ? std::to_string(between(r, 0, 3000)) : number(r));
    }
    return words.empty() ? words : words.substr(1);
}

// clang-format off
const std::vector<std::string> uci_options = {
    "Ponder", "Hash", "NalimovCache", "NalimovPath", "Position Learning", "Log File", "Show hash performance",
    "Show add. EGTB info", "Endgame-Database Usage", "Use only 3 and 4-men TBs", "OwnBook", "BookFile",
    "LearnBookFile", "BookLearning", "Book Random", "BitbasePath", "Selectivity", "Extensions",
    "Add. time for so many moves", "null_high", "null_low", "null_endgame", "null_split", "Recapture extension",
    "Check extension", "Perpetual check extension", "Mate threat extension", "Passed pawn extension",
    "Pawn endgame extension", "Autoplayer delay (ms)", "Clear Hash", "Unknown option"};

std::string uci_option(rng_t& r) {
    const std::string& name = pick(r, uci_options);
    std::string value;
    if (name == "Hash" || name == "NalimovCache") {
        // Megabytes: a value above the range would take gigabytes of hash table.
        static const std::vector<std::string> sizes = {"1", "16", "64", "0", "-5", "abc", "-99999999999", "1e300"};
        value = pick(r, sizes);
    } else if (name.find("Path") != std::string::npos || name.find("File") != std::string::npos) {
        value = chance(r, 0.3) ? "<empty>" : file(r);
    } else {
        static const std::vector<std::string> words = {"true", "false", "TRUE", "Never", "Only at root", "Low",
                                                       "Very Low", "Normal", "High", "Risky", "None", "Aggressive",
                                                       "allways", "never"};
        value = chance(r, 0.5) ? pick(r, words) : number(r);
    }
    switch (below(r, 8)) {
    case 0: return "name " + name;  // no value
    case 1: return name + " value " + value;  // no "name"
    default: return "name " + name + " value " + value;
    }
}
// clang-format on

// A book of any size is built as asked, in memory twice the slots: the sizes stay small,
// or are ones the engine refuses.
std::string book_slots(rng_t& r) {
    static const std::vector<std::string> slots = {"1",  "2",   "7",   "1009",       "30011",       "0",
                                                   "-1", "abc", "1e3", "4294967296", "-4294967296", "99999999999"};
    return chance(r, 0.7) ? pick(r, slots) : std::to_string(between(r, 1, 50000));
}

std::string book_options(rng_t& r, size_t most) {
    std::string t;
    for (size_t n = below(r, most + 1); n > 0; --n)
        t.append(" ").append(chance(r, 0.6) ? std::to_string(between(r, -2, 60)) : number(r));
    return t;
}

std::string tool_mode(rng_t& r) {
    static const std::vector<std::string> modes = {"p", "x", "j", "e", "w", "b", "n", "s",
                                                   "m", "f", "k", "c", "P", "",  "zz"};
    std::string t = file(r) + " " + file(r) + " " + pick(r, modes);
    static const std::vector<std::string> options = {"k", "K", "x", "1", "0", "-1", "2147483648", "40/300", "5+2"};
    for (size_t n = below(r, 5); n > 0; --n) t.append(" ").append(chance(r, 0.7) ? pick(r, options) : number(r));
    return t;
}

std::string annotate_args(rng_t& r) {
    static const std::vector<std::string> times = {"0.01", "0.02", "0.05", "0", "-1", "nan", "abc", ""};
    static const std::vector<std::string> sides = {"w", "b", "a", "W", "x"};
    std::string t = file(r) + " " + file(r) + " " + (chance(r, 0.7) ? std::to_string(between(r, 0, 3)) : number(r)) +
                    " " + pick(r, times);
    if (chance(r, 0.5)) t += " " + pick(r, sides) + book_options(r, 3);
    return t;
}

std::string argument(rng_t& r, arg form) {
    switch (form) {
        case arg::none: return chance(r, 0.85) ? "" : text(r);
        case arg::integer: return number(r);
        case arg::real: return real_number(r);
        case arg::plies: return real_number(r);
        case arg::count: return count(r);
        case arg::memory: return memory(r);
        case arg::depth: return depth(r);
        case arg::seconds: return seconds(r);
        case arg::centis: return centis(r);
        case arg::control: return control(r);
        case arg::clock: return clock_text(r);
        case arg::file: return file(r);
        case arg::text: return text(r);
        case arg::fen: return fen(r);
        case arg::move: return move(r);
        case arg::on_off: return on_off(r);
        case arg::position: return uci_position(r);
        case arg::go: return uci_go(r);
        case arg::option: return uci_option(r);
        case arg::pgn: return file(r) + (chance(r, 0.7) ? " " + number(r) : "");
        case arg::book_size: return file(r) + " " + book_slots(r) + book_options(r, 4);
        case arg::book_add: return file(r) + book_options(r, 3);
        case arg::in_out: return file(r) + " " + file(r);
        case arg::tool_mode: return tool_mode(r);
        case arg::annotate: return annotate_args(r);
    }
    return "";
}

// A command line: the name (now and then abbreviated, in other case or with '='), then
// its argument.
std::string command_line(rng_t& r, const std::string& name) {
    const auto it = forms().find(name);
    const arg form = it == forms().end() ? arg::text : it->second;
    std::string word = name;
    if (chance(r, 0.1) && word.size() > 1) word = word.substr(0, 1 + below(r, word.size() - 1));
    if (chance(r, 0.05))
        for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string a = argument(r, form);
    if (a.empty()) return chance(r, 0.05) ? word + " " : word;
    return word + (chance(r, 0.1) ? "=" : chance(r, 0.05) ? "  \t " : " ") + a;
}

// Lines that are no command at all.
std::string junk_line(rng_t& r) {
    switch (below(r, 7)) {
        case 0: return "";
        case 1: return "   \t ";
        case 2: return junk_text(r, 60);
        case 3: return junk_text(r, chance(r, 0.2) ? 30000 : 2000);
        case 4: return move(r);
        case 5: return std::string(between(r, 8180, 8200), 'a');
        default: return "\xEF\xBB\xBFgo";
    }
}

std::string script_file(rng_t& r, const grammar& g, const std::vector<std::string>& table) {
    std::string s;
    const size_t n = below(r, 30);
    for (size_t i = 0; i < n; ++i) {
        const std::string line = command_line(r, pick(r, table));
        const std::string row = g.row_for(line);
        const bool batch = std::any_of(batch_commands.begin(), batch_commands.end(),
                                       [&](const batch_command& b) { return row == b.name; });
        if (g.acceptable(line) && !batch) s += line + "\n";
    }
    if (chance(r, 0.3)) s += "input script\n";
    return s;
}
}  // namespace

namespace {
bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
}  // namespace

std::optional<std::chrono::milliseconds> go_answer_bound(const std::string& words, bool short_plies,
                                                         std::chrono::milliseconds margin) {
    std::vector<std::string> w;
    for (size_t a = 0, b; a < words.size(); a = b + 1) {
        b = words.find(' ', a);
        if (b == std::string::npos) b = words.size();
        if (b > a) w.push_back(words.substr(a, b - a));
    }
    auto keyword = [](const std::string& word) {
        return std::find(go_keywords.begin(), go_keywords.end(), word) != go_keywords.end();
    };
    std::map<std::string, long long> value;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i] == "ponder" || w[i] == "infinite") return std::nullopt;
        if (w[i] == "searchmoves") {
            // The moves, and the words that are none, up to the next word of go.
            for (; i + 1 < w.size() && !keyword(w[i + 1]); ++i)
                for (const std::string& k : go_keywords)
                    if (selects(k, w[i + 1])) return std::nullopt;
            continue;
        }
        if (i + 1 >= w.size()) return std::nullopt;
        const std::string& v = w[++i];
        size_t used = 0;
        long long n = 0;
        try {
            n = std::stoll(v, &used);
        } catch (...) {
            return std::nullopt;
        }
        if (used != v.size()) return std::nullopt;
        value[w[i - 1]] = n;
    }
    auto given = [&](const char* k) { return value.count(k) != 0; };
    auto at_least_0 = [&](const char* k) { return given(k) && value[k] > 0 ? value[k] : 0LL; };
    std::optional<long long> most;
    auto limit = [&](long long ms) { most = most ? std::min(*most, ms) : ms; };
    if (given("wtime") || given("btime"))
        limit(std::max(at_least_0("wtime"), at_least_0("btime")) + std::max(at_least_0("winc"), at_least_0("binc")));
    if (at_least_0("movetime") > 0) limit(value["movetime"]);
    if (short_plies && given("depth") && value["depth"] <= 4) limit(0);
    if (short_plies && given("mate") && value["mate"] <= 2) limit(0);
    if (given("nodes") && value["nodes"] >= 1 && value["nodes"] <= 100000) limit(0);
    if (!most || *most > 3600000) return std::nullopt;
    return std::chrono::milliseconds(*most) + margin;
}

bool selects(const std::string& name, const std::string& line) {
    size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    size_t k = 0;
    while (k < name.size() && i + k < line.size() &&
           std::tolower(static_cast<unsigned char>(name[k])) == std::tolower(static_cast<unsigned char>(line[i + k])))
        ++k;
    if (k == 0) return false;
    const size_t p = i + k;
    return p >= line.size() || line[p] == '=' || blank(line[p]);
}

std::string argument_of(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    while (i < line.size() && !blank(line[i]) && line[i] != '=') ++i;
    while (i < line.size() && blank(line[i])) ++i;
    if (i < line.size() && line[i] == '=') ++i;
    while (i < line.size() && blank(line[i])) ++i;
    size_t j = line.size();
    while (j > i && blank(line[j - 1])) --j;
    return line.substr(i, j - i);
}

grammar::grammar(std::vector<std::string> table, answer_bounds bounds) : table_(std::move(table)), bounds_(bounds) {}

void grammar::drop_logs_read_back(std::vector<input_line>& lines, std::string& script) const {
    std::vector<std::string> script_lines;
    for (size_t a = 0, b; a < script.size(); a = b + 1) {
        b = script.find('\n', a);
        if (b == std::string::npos) b = script.size();
        script_lines.push_back(script.substr(a, b - a));
    }
    std::set<std::string> logged;
    auto note = [&](const std::string& line) {
        const std::string row = row_for(line);
        if (row == "log" || row == "loga") logged.insert(argument_of(line));
    };
    for (const auto& l : script_lines) note(l);
    for (const auto& l : lines) note(l.text);
    auto reads_a_log = [&](const std::string& line) {
        return row_for(line) == "input" && logged.count(argument_of(line));
    };
    std::erase_if(lines, [&](const input_line& l) { return reads_a_log(l.text); });
    script.clear();
    for (const auto& l : script_lines)
        if (!reads_a_log(l)) script += l + "\n";
}

std::vector<std::string> grammar::unknown_commands() const {
    std::vector<std::string> out;
    for (const auto& name : table_)
        if (!forms().count(name) && std::find(long_commands.begin(), long_commands.end(), name) == long_commands.end())
            out.push_back(name);
    return out;
}

bool grammar::acceptable(const std::string& line) const {
    size_t i = 0;
    while (i < line.size() &&
           (line[i] == ' ' || line[i] == '\t' || line[i] == '\v' || line[i] == '\f' || line[i] == '\r'))
        ++i;
    if (i < line.size() && line[i] == '!') return false;
    // A line longer than the reader's piece is read in pieces: each must be safe.
    if (line.size() > 8191) return acceptable(line.substr(0, 8191)) && acceptable(line.substr(8191));
    if (selects("quit", line)) return false;
    const std::string row = row_for(line);
    return std::find(long_commands.begin(), long_commands.end(), row) == long_commands.end();
}

std::string grammar::row_for(const std::string& line) const {
    for (const auto& name : table_)
        if (selects(name, line)) return name;
    return "";
}

namespace {

// The files a run starts with, which its lines may name.
std::vector<seed_file> seed_files(rng_t& r, const grammar& g, const std::vector<std::string>& table) {
    std::vector<seed_file> files;
    files.push_back({"script", script_file(r, g, table), ""});
    files.push_back(
        {"game.pgn",
         "[Event \"x\"]\n[White \"a\"]\n[Black \"b\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 " + junk_text(r, 200) + " *\n",
         ""});
    // "input" reads any of these files as commands: each line must be one a run may
    // send (an EPD line "Q bm kd" would quit, a junk line "sp ..." run speed).
    std::string epd;
    for (int i = 0; i < 5; ++i) {
        const std::string line = fen(r) + " bm " + move(r) + "; id \"" + std::to_string(i) + "\";";
        if (g.acceptable(line)) epd += line + "\n";
    }
    files.push_back({"pos.epd", epd, ""});
    files.push_back({"empty", "", ""});
    std::string junk = junk_text(r, 3000);  // one line: junk holds no line feed
    if (!g.acceptable(junk)) junk.insert(0, "#");
    files.push_back({"binary", junk, ""});
    for (const char* device : {"null", "full", "zero"}) files.push_back({device, "", std::string("/dev/") + device});
    return files;
}

// The lines of one run as they are made, with what the run has done so far.
class run_builder {
public:
    run_builder(const grammar& g, const std::vector<std::string>& table, answer_bounds bounds, rng_t& r)
        : g_(g), table_(table), bounds_(bounds), r_(r), dialogue_(below(r, 3)), uci_from_start_(dialogue_ == 2) {}

    std::vector<input_line> lines;

    void play_opening(std::string moves) { line_moves_ = std::move(moves); }

    // The dialogue's start; the shell is never reached, whatever a line holds.
    void start() {
        add("ignore_system");
        if (dialogue_ == 1) {
            add("xboard");
            add("protover 2");
            add("new");
            add("level " + control(r_));
            add("post");
        } else if (dialogue_ == 2) {
            add("uci", "uciok", 5s);
            add("isready", "readyok", 5s);
        }
        scanned_dialogue_ = lines.size();
    }

    void step() {
        const size_t what = below(r_, 20);
        if (what < 8 && dialogue_ == 2) {
            uci_step();
        } else if (what < 8 && dialogue_ == 1) {
            xboard_step();
        } else if (what < 2 && dialogue_ == 0) {
            timed_move();
        } else if (what < 15) {
            add(command_line(r_, pick(r_, table_)));
        } else if (what < 17) {
            add(junk_line(r_));
        } else if (what < 18) {
            add("setboard " + fen(r_));
        } else {
            add(chance(r_, 0.5) ? "sd " + depth(r_) : "st " + seconds(r_));
            if (chance(r_, 0.8))
                add("go");
            else
                analysis();
        }
    }

private:
    void add(const std::string& text, const std::string& wait_for = "", std::chrono::milliseconds wait = 0ms) {
        if (!g_.acceptable(text)) return;
        // Under UCI only the UCI answers are printed: a pong would be awaited in vain.
        const bool answered = !(dialogue_ == 2 && wait_for.rfind("pong", 0) == 0);
        lines.push_back({text, answered ? wait_for : "", wait, ""});
        const std::string row = g_.row_for(text);
        if (row == "uci") dialogue_ = 2;
        for (const batch_command& b : batch_commands)
            if (row == b.name)
                for (int i = 0; i < b.searches; ++i) lines.push_back({"?", "", 0ms, ""});
        // The board editor takes every line up to one that begins with a dot.
        if (row == "edit") {
            static const std::vector<std::string> edits = {"Pe4",          "#",     "c",   "Kb2", "ke8", "xe1",
                                                           "castle -wO-O", "ep e3", "Qz9", ""};
            for (size_t i = below(r_, 5); i > 0; --i) {
                const std::string e = chance(r_, 0.8) ? pick(r_, edits) : junk_line(r_);
                if (g_.acceptable(e) && (e.empty() || e[0] != '.')) lines.push_back({e, "", 0ms, ""});
            }
            lines.push_back({".", "", 0ms, ""});
        }
    }

    // An extension setting can make a ply of the search as long as it likes (icheck 27
    // searches 27 plies more after a check): a depth then bounds no time.
    bool long_plies() {
        static const std::set<std::string> stretching = {"icheck",      "irepcheck", "irecapture", "ipawn7",
                                                         "inullthreat", "ipawne",    "ionerep"};
        for (; scanned_ < lines.size() && !stretched_; ++scanned_) {
            const std::string row = g_.row_for(lines[scanned_].text);
            stretched_ = stretching.count(row) ||
                         (row == "setoption" && lines[scanned_].text.find("xtension") != std::string::npos);
        }
        return stretched_;
    }

    // Whether the dialogue is still the one the run began with: not after a line that may
    // have changed it (xboard, protover, uci, fritz, a command file read), nor in the
    // console after its move-exclusion dialogue was switched on. After "factor" a level's
    // clock is longer than the host's (the engine is given that many times the time).
    bool dialogue_sure() {
        static const std::set<std::string> changing = {"xboard", "protover", "uci", "fritz", "input"};
        for (; scanned_dialogue_ < lines.size(); ++scanned_dialogue_) {
            const std::string row = g_.row_for(lines[scanned_dialogue_].text);
            if (changing.count(row) || (row == "eml_mode" && dialogue_ == 0)) dialogue_unsure_ = true;
            if (row == "factor") clock_scaled_ = true;
        }
        return !dialogue_unsure_;
    }

    // An answer due within its bound: the lines before are taken first (a host's isready
    // or ping), so that the bound counts from the awaited line. With `since_before` the
    // answer counts from the line before (a go's bestmove, for its ponderhit or stop), and
    // the line comes a moment into the search.
    void due(const std::string& text, const std::string& answer, std::chrono::milliseconds bound,
             const std::string& key, bool since_before = false) {
        if (!since_before) {
            if (dialogue_ == 2) {
                add("isready", "readyok", 10s);
            } else {
                const std::string n = "due" + std::to_string(++pings_);
                add("ping " + n, "pong " + n, 10s);
            }
        }
        add(text, answer, bound);
        if (lines.empty() || lines.back().text != text) return;
        lines.back().late_key = key;
        lines.back().keep_window = since_before;
        if (since_before) lines.back().pause = std::chrono::milliseconds(between(r_, 50, 300));
    }

    // A UCI go: when its limits bound the search, its bestmove is now and then awaited and
    // must come within the bound (the others are cut short by the next line).
    void add_go(const std::string& words) {
        const auto bound = go_answer_bound(words, !long_plies(), bounds_.margin);
        if (!bound || !uci_from_start_ || !chance(r_, 0.5)) return add("go " + words);
        const bool clock = words.find("time ") != std::string::npos;
        due("go " + words, "bestmove", *bound,
            clock ? "no bestmove within the clock of its go" : "no bestmove within the limit of its go");
    }

    // A search that runs until a line ends it: isready a moment into it is answered at
    // once, the bestmove comes within the clock after ponderhit, at once after stop.
    void add_open_search(const std::string& go, std::chrono::milliseconds clock) {
        if (!uci_from_start_ || !chance(r_, 0.5)) {
            add(go);
            return add(clock > 0ms && chance(r_, 0.5) ? "ponderhit" : "stop");
        }
        due(go, "", 0ms, "");
        if (chance(r_, 0.5))
            due("isready", "readyok", bounds_.prompt, "no readyok within its bound during a search", true);
        if (clock > 0ms && chance(r_, 0.5))
            due("ponderhit", "bestmove", clock + bounds_.margin, "no bestmove within the clock after ponderhit", true);
        else
            due("stop", "bestmove", bounds_.prompt, "no bestmove within its bound after stop", true);
    }

    // An xboard or console go on a fresh game and position, with a time per move or (xboard)
    // a clock that it sets itself: the move is due within that time, while the dialogue
    // is sure.
    void timed_move() {
        if (!dialogue_sure() || !chance(r_, 0.5)) return add("go");
        add("exit");
        add("new");
        add("setboard " + pick(r_, searched_fens));
        std::chrono::milliseconds time_for_move;
        if (dialogue_ == 1 && !clock_scaled_ && chance(r_, 0.5)) {
            const long long base = between(r_, 1, 5), inc = between(r_, 0, 20), told = between(r_, 10, 500);
            add("level 0 0:0" + std::to_string(base) + " " + std::to_string(inc / 100.0));
            add("time " + std::to_string(told));
            add("otim " + std::to_string(told));
            time_for_move = std::chrono::milliseconds(std::max(base * 1000, told * 10) + inc * 10);
        } else {
            const long long tenths = between(r_, 1, 10);
            add("st " + std::to_string(tenths / 10.0));
            time_for_move = std::chrono::milliseconds(tenths * 100);
        }
        // The console tells its move with the bell.
        if (dialogue_ == 0) add("bell 1");
        due("go", dialogue_ == 1 ? "move " : "\a", time_for_move + bounds_.margin,
            dialogue_ == 1 ? "no move within the time of its xboard go" : "no move within the time of its console go");
    }

    // An analysis searches anew after every line it gets: a few lines, then "exit".
    void analysis() {
        add("analyze");
        for (size_t i = below(r_, 4); i > 0; --i)
            add(chance(r_, 0.5) ? command_line(r_, pick(r_, table_)) : junk_line(r_));
        add(chance(r_, 0.8) ? "exit" : ".");
    }

    // A UCI host: positions, options and searches of every kind. Searches that end by
    // themselves (a few plies or nodes) are answered before the next line; the others
    // are cut short by it, and now and then awaited.
    void uci_step() {
        const size_t step = below(r_, 10);
        if (step <= 6) add("position " + uci_position(r_));
        switch (step) {
            case 0: {
                // A host's clock, now and then with a limit of its own beside it.
                static const std::vector<std::string> beside = {"depth 30", "nodes 50000000", "mate 3", "depth 2",
                                                                "movetime 500"};
                add_go("wtime " + std::to_string(between(r_, 1, 3000)) + " btime " +
                       std::to_string(between(r_, 1, 3000)) + " winc " + std::to_string(between(r_, 0, 50)) + " binc " +
                       std::to_string(between(r_, 0, 50)) +
                       (chance(r_, 0.3) ? " movestogo " + std::to_string(between(r_, 1, 40)) : "") +
                       (chance(r_, 0.3) ? " " + pick(r_, beside) : ""));
                break;
            }
            case 1: add_go("depth " + std::to_string(between(r_, -3, 2))); break;
            case 2: add_go("nodes " + std::to_string(between(r_, 1, 2000))); break;
            case 3: add_open_search("go infinite", 0ms); break;
            case 4: add_open_search("go ponder wtime 1000 btime 1000", 1000ms); break;
            case 5: add_go(uci_go(r_)); break;
            case 6: add_go("mate " + std::to_string(between(r_, 0, 2))); break;
            case 7: add("setoption " + uci_option(r_)); break;
            default:
                if (chance(r_, 0.5))
                    add("ucinewgame");
                else
                    add("isready", "readyok", 1500ms);
                break;
        }
    }

    // An xboard host: clocks, the opponent's move, a reply awaited now and then.
    void xboard_step() {
        switch (below(r_, 8)) {
            case 0:
                add("new");
                opening_ply_ = 0;
                break;
            case 1:
                add("time " + centis(r_));
                add("otim " + centis(r_));
                break;
            case 2: {
                std::vector<std::string> words;
                for (size_t a = 0, b; a < line_moves_.size(); a = b + 1) {
                    b = line_moves_.find(' ', a);
                    if (b == std::string::npos) b = line_moves_.size();
                    words.push_back(line_moves_.substr(a, b - a));
                }
                add(opening_ply_ < words.size() ? words[opening_ply_++] : move(r_));
                break;
            }
            case 3: timed_move(); break;
            case 4: add("force"); break;
            case 5: {
                const std::string n = std::to_string(between(r_, 0, 99));
                add("ping " + n, "pong " + n, 1500ms);
                break;
            }
            case 6: add(chance(r_, 0.5) ? "?" : "hard"); break;
            default: analysis(); break;
        }
    }

    const grammar& g_;
    const std::vector<std::string>& table_;
    const answer_bounds bounds_;
    rng_t& r_;
    size_t dialogue_;  // 0 console, 1 xboard host, 2 UCI host
    // Only a run that is UCI from its start is sure to answer go: a console or xboard
    // run that turns to uci may sit in a dialogue of its own (eml_mode's move list).
    const bool uci_from_start_;
    size_t scanned_ = 0, scanned_dialogue_ = 0, pings_ = 0, opening_ply_ = 0;
    bool stretched_ = false, dialogue_unsure_ = false, clock_scaled_ = false;
    std::string line_moves_;  // the opening the xboard host plays its moves from
};

}  // namespace

std::vector<input_line> grammar::make_run(std::mt19937_64& r, std::vector<seed_file>* files) const {
    run_builder run(*this, table_, bounds_, r);
    *files = seed_files(r, *this, table_);
    run.start();
    const size_t n = 100 + below(r, 1000);
    run.play_opening(pick(r, openings));
    while (run.lines.size() < n) run.step();
    drop_logs_read_back(run.lines, files->front().content);
    return run.lines;
}

}  // namespace fuzz
