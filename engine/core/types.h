// The engine's shared vocabulary: move words and their masks, the special words of
// variations and table entries, scores, the flag words of the search's nodes and of
// its history records, table bounds, the ordering bonuses, and the one idea of a blank.
#pragma once

#include <cstdint>

// ---- move word ---------------------------------------------------------------------
// bits 0-5 origin, 6-11 destination, 12-14 promotion code, 15 promotion,
// 16 castling, 17 en passant, 21 capture.
constexpr uint32_t MOVE_SQUARES = 0xFFF;  // origin and destination
constexpr uint32_t MOVE_PROMOTION_CODE = 0x7000;
constexpr uint32_t MOVE_STORED = 0x7FFF;  // the part kept by the table, the book and the learning files
constexpr uint32_t MOVE_PROMOTION = 0x8000;
constexpr uint32_t MOVE_CASTLE = 0x10000;
constexpr uint32_t MOVE_EP = 0x20000;
constexpr uint32_t MOVE_CAPTURE = 0x200000;

inline constexpr int move_from(uint32_t m) { return static_cast<int>(m & 63); }
inline constexpr int move_to(uint32_t m) { return static_cast<int>((m >> 6) & 63); }
inline constexpr int move_promotion(uint32_t m) { return static_cast<int>((m >> 12) & 7); }
inline constexpr bool move_is_null(uint32_t m) { return (m & MOVE_SQUARES) == 0; }
inline constexpr bool move_is_capture(uint32_t m) { return (m & MOVE_CAPTURE) != 0; }
inline constexpr bool move_is_castle(uint32_t m) { return (m & MOVE_CASTLE) != 0; }
inline constexpr bool move_is_ep(uint32_t m) { return (m & MOVE_EP) != 0; }
inline constexpr uint32_t make_move_word(int from, int to, uint32_t flags = 0) {
    return static_cast<uint32_t>(from) | (static_cast<uint32_t>(to) << 6) | flags;
}
inline constexpr uint32_t promotion_flags(int code) { return MOVE_PROMOTION | (static_cast<uint32_t>(code) << 12); }

// ---- special words of variations and table entries ---------------------------------
constexpr uint32_t PV_END = 0xEFFF;      // ends a variation (continue from the table)
constexpr uint32_t PV_NO_MOVE = 0xFFFF;  // no move
constexpr uint32_t PV_EGTB = 0xDFFF;     // line ended in an endgame-table result
constexpr uint32_t PV_BITBASE = 0xCFFF;  // line ended in a bitbase result
constexpr uint32_t HASH_NULL_MOVE = 0xF000;
constexpr uint32_t HASH_EGTB_MOVE = 0xE000;
// Whether a variation word ends the line (any of the words above with squares 0xFFF).
inline constexpr bool is_pv_end(uint32_t w) { return (w & MOVE_SQUARES) == MOVE_SQUARES; }
// Whether a stored move names squares (not empty, not an end word).
inline constexpr bool names_squares(uint32_t m) { return (m & MOVE_SQUARES) != 0 && !is_pv_end(m); }

// ---- scores -------------------------------------------------------------------------
constexpr int MATE = 30000;        // a side mated at ply p scores p - MATE
constexpr int MATE_RANGE = 29200;  // beyond this a score is a mate score
constexpr int MATE_KILLER_SCORE = 29900;
constexpr int NO_MOVE_SCORE = -31000;    // no move searched yet
constexpr int FULL_WINDOW = 30001;       // the bounds of an open window
constexpr int TABLE_MATE_LIMIT = 29500;  // table scores beyond it are mate scores, kept relative to the node
constexpr int PLY_LIMIT = 63;            // deepest ply a node is searched at
constexpr int PV_WORDS = 66;             // words of one continuation buffer

constexpr int MATE_IN_ONE = MATE - 1;  // the score of a mate with the next move
// A table value v (Nalimov or bitbase) becomes the score 2v - ply - TABLE_WIN_OFFSET for a
// win, 2v + ply + TABLE_LOSS_OFFSET for a loss.
constexpr int TABLE_WIN_OFFSET = 35533;
constexpr int TABLE_LOSS_OFFSET = 35532;
// Openings are named up to this game ply.
constexpr int OPENING_NAME_PLIES = 60;
constexpr int FIFTY_MOVE_PLIES = 100;  // reversible plies that draw by the fifty-move rule

// ---- depths (1/64 ply) ----------------------------------------------------------------
constexpr int ONE_PLY = 64;
constexpr int QSEARCH_DEPTH = -640;        // table depth of quiescence entry nodes
constexpr int QSEARCH_NODE_DEPTH = -1280;  // table depth of quiescence capture nodes
constexpr int QSEARCH_CHECK_DEPTH = 0;     // table depth of quiescence nodes in check
constexpr int QSEARCH_CAPTURE_PLIES = 8;   // capture plies the capture nodes follow below the entry node
// The null move is tried from five plies on only with more legal moves than this.
constexpr int NULL_MIN_LEGAL_MOVES = 6;
// Up to this ply a position seen once before plays on (seen twice it is a draw); deeper
// the first repetition is a draw.
constexpr int REPETITION_NEAR_ROOT_PLIES = 3;
// Up to this ply a threatened node's moves are extended even when the threat stood before.
constexpr int THREAT_NEAR_ROOT_PLIES = 4;

// ---- material thresholds (centipawns of the piece values) --------------------------------
// A side's pieces (pawns and king apart) worth no more than this are an ending's: the
// null move takes its ending reduction, futility is not armed and no move is futile.
constexpr int ENDING_PIECES = 450;
// The check and repeated-check extensions need the mover no further ahead than this
// (own material less the opponent's, before the move).
constexpr int CHECK_EXTENSION_LEAD = 750;
// The pawn-to-the-seventh and recapture extensions need the mover no further ahead.
constexpr int EXTENSION_LEAD = 550;
// A repeated check is extended down to the iteration depth while the checking side's
// pieces are worth more than this.
constexpr int REPCHECK_PIECES = 800;
// A queen, the most that the opponent's pieces may be worth for the pawn-ending extension
// (the same in both piece-value sets).
constexpr int QUEEN_MATERIAL = 1001;
// Futility: a move whose evaluation stays this far below alpha is not searched.
constexpr int FUTILITY_MARGIN = 100;
// Delta pruning in the quiescence search: only while the opponent has more than this
// in pawns.
constexpr int DELTA_OPPONENT_PAWNS = 110;
// Men besides the kings up to which the bitbases are probed.
constexpr int BITBASE_MEN = 2;
// The iteration's check-extension limits shrink when both sides' pieces are below
// ENDGAME_PIECES, and again below BARE_ENDGAME_PIECES.
constexpr int ENDGAME_PIECES = 1000;
constexpr int BARE_ENDGAME_PIECES = 500;

// ---- game stages of the evaluation --------------------------------------------------------
// The stage runs from 0 (opening) to LAST_STAGE (bare ending) by both sides' pieces
// together: 0 from STAGE_OPENING_PIECES on, one stage more for each 512 (1 <<
// STAGE_STEP_SHIFT) taken off, LAST_STAGE below STAGE_BARE_PIECES.
constexpr int EVAL_STAGES = 11;
constexpr int LAST_STAGE = EVAL_STAGES - 1;
constexpr int STAGE_OPENING_PIECES = 6600;
constexpr int STAGE_BARE_PIECES = 1481;
constexpr int STAGE_STEP_SHIFT = 9;
// From this stage on the pawns are valued as in an ending, rooks take no mobility term
// and the king no safety terms.
constexpr int ENDING_STAGE = 9;
// The root's lazy margins: its positional score and this much beside it.
constexpr int LAZY_MARGIN_START = 60;
// The stronger side without pawns, its pieces below a rook, against pawns: its score
// less this (toward zero), divided by MINOR_VS_PAWNS_DIVISOR.
constexpr int MINOR_VS_PAWNS_OFFSET = 500;
constexpr int MINOR_VS_PAWNS_DIVISOR = 16;
// Without pawns, a single queen against pieces worth at least this much less is a win
// to play for (no scaling).
constexpr int QUEEN_WIN_MARGIN = 200;
// Opposite-coloured bishops with other pieces: the sum is scaled when the sides' pieces
// differ by less than this.
constexpr int OPPOSITE_BISHOPS_EVEN = 100;
// A pawn that the king alone cannot stop counts only from this value on.
constexpr int KING_VS_PAWNS_MIN_VALUE = 100;

// ---- root search and iterative deepening ---------------------------------------------------
constexpr int MAX_ROOT_MOVES = 256;
constexpr int ROOT_ORDER_BONUS =
    10000;                          // the table's move (or every move of the game's first) before the first iteration
constexpr int ROOT_NO_DEPTH = -10;  // depth of a root move not yet searched
// A fail low widens alpha by the first step, then the second, then opens the window;
// a fail high widens beta alike.
constexpr int ASPIRATION_FIRST_STEP = 100;
constexpr int ASPIRATION_SECOND_STEP = 500;
// An iteration whose score is no more than this below the previous one's is stable.
constexpr int SCORE_DROP_MARGIN = 25;
// From this iteration on a mate found (or suffered) with MATE_SPARE_PLIES to spare ends
// the search.
constexpr int MATE_STOP_DEPTH = 4;
constexpr int MATE_SPARE_PLIES = 2;
// Searches in a row without a book move after which the book is no longer asked.
constexpr int BOOK_MISS_LIMIT = 5;
// Nodes between two looks at the clock and the input.
constexpr uint32_t POLL_INTERVAL = 5000;

// ---- time allocation (seconds) --------------------------------------------------------------
// Per-move cost of a move beyond its search (the host's reading and writing, the
// position, the root list): every move still to come in the control keeps this much.
constexpr double MOVE_OVERHEAD = 0.02;
// A fixed time per move keeps back a second above FIXED_LONG, a tenth above FIXED_MEDIUM.
constexpr double FIXED_LONG = 10.0;
constexpr double FIXED_MEDIUM = 3.0;
// A clock keeps back a second, and one more from CLOCK_SECOND_SPARE on; below
// CLOCK_TIGHT seconds it keeps only the smaller reserve.
constexpr double CLOCK_SPARE = 1.0;
constexpr double CLOCK_SECOND_SPARE = 30.0;
constexpr double CLOCK_TIGHT = 10.0;
// Moves to go when the control gives no count: without and with an increment.
constexpr int MOVES_TO_GO = 40;
constexpr int MOVES_TO_GO_WITH_INCREMENT = 35;
// From this many moves to go the maximum time is five times the planned time.
constexpr int MAXTIME_LONG_RUN = 11;
constexpr double MAXTIME_LONG_FACTOR = 5.0;
// Pondering (with more than PONDER_MIN_MOVES to go) plans this much more time.
constexpr int PONDER_MIN_MOVES = 5;
constexpr double PONDER_TIME_FACTOR = 1.4;
// The engine's first moves out of the book take more time while more than this many
// moves are to go.
constexpr int EARLY_MOVES_TO_GO = 20;

// ---- node flags of the search ----------------------------------------------------------
enum : int {
    NF_NO_NULL = 0x1,      // no null move at this node
    NF_FOLLOW_PV = 0x2,    // the move of pv_hint gets the largest ordering bonus
    NF_PV = 0x4,           // node on the expected principal variation
    NF_PV_FIRST = 0x8,     // ... reached through first moves only
    NF_AFTER_NULL = 0x20,  // this node follows a null move
    NF_PARITY = 0x40,      // toggles at each ply
    NF_ROOT = NF_FOLLOW_PV | NF_PV | NF_PV_FIRST | NF_PARITY,
    NF_NODE_ONLY = NF_NO_NULL | NF_AFTER_NULL,  // bits a child does not inherit
};

// ---- flag bits of the history record of a move made in the search -----------------------
enum : uint32_t {
    HF_RECAPTURE = 0x1,
    HF_CHECK = 0x2,
    HF_PAWN7 = 0x4,
    HF_THREAT = 0x10,
    HF_REPCHECK = 0x20,
    HF_PAWN_ENDING = 0x80,
    HF_ONE_REPLY = 0x800,
};

// ---- bounds of table entries and node results -------------------------------------------
enum : int {
    BOUND_UPPER = 1,  // no move beat alpha
    BOUND_LOWER = 2,  // a move reached beta
    BOUND_EXACT = 3,
    BOUND_MASK = 0xF,
    BOUND_THREAT = 0x10,    // stored from a node under a mate threat (= HF_THREAT)
    RESULT_FROM_TABLE = 8,  // the node's best move and score came from a table lower bound
};

// Answers of the bitbase probe.
enum : int { PROBE_NONE = 0, PROBE_EXACT = 1, PROBE_LOWER = 2, PROBE_UPPER = 3 };

// ---- ordering bonuses, added to history values for the time of one generation ---------------
constexpr uint32_t BONUS_HINT_FOLLOWED = 0x2EE00000;  // the expected move when the line is followed
constexpr uint32_t BONUS_HINT = 0x800000;
constexpr uint32_t BONUS_HASH = 0x10000000;           // table move of a positive depth
constexpr uint32_t BONUS_HASH_SHALLOW = 0x4000000;    // ... of depth 0 or less
constexpr uint32_t BONUS_HASH_UPPER = 0x400000;       // ... from an upper bound
constexpr uint32_t BONUS_THREAT_PRESEARCH = 0x20000;  // pre-search best move when the null move is not tried
constexpr uint32_t BONUS_THREAT = 0x1000000;          // threat move after a failed null move
constexpr uint32_t BONUS_THREAT_FULL = 0x13880000;    // ... when the pre-search was a full search
constexpr uint32_t BONUS_MATE_KILLER = 0x2000000;
constexpr uint32_t BONUS_KILLER1 = 0x800000;
constexpr uint32_t BONUS_KILLER2 = 0x7E0000;
constexpr uint32_t BONUS_RECAPTURE = 0x1000000;
constexpr uint32_t BONUS_CASTLE = 0x20000;
constexpr uint32_t BONUS_EP = 0x1140000;
constexpr uint32_t BONUS_QUEEN_PROMOTION = 0x1480000;
constexpr uint32_t BONUS_PAWN_SIXTH = 0x20000;
constexpr uint32_t BONUS_PAWN_SEVENTH = 0x60000;
constexpr uint32_t HISTORY_LIMIT = 0x200000;  // an entry this large halves both tables

// ---- dialogue ------------------------------------------------------------------------
// What the search of the moment is for (search_state).
enum search_mode : int {
    SEARCH_PLAY = 0,     // the engine's own move, a count, or no search at all
    SEARCH_PONDER = 1,   // on the opponent's time, the expected reply made
    SEARCH_ANALYSE = 2,  // analysis, until a command ends it
};

// How a ponder search ended (ponder_search's result).
enum ponder_outcome : int {
    PONDER_NEW_GAME = -2,  // a command started a new game
    PONDER_QUIT = -1,      // quit, or the end of the input
    PONDER_MISSED = 0,     // no ponder search, another move came, or a command broke it off
    PONDER_HIT = 1,        // the expected move came: the search went on as the engine's own
};

// The command that broke off a ponder search (ponder_command_result).
enum ponder_stop : int { PONDER_STOP_NONE = 0, PONDER_STOP_QUIT = 1, PONDER_STOP_NEW_GAME = 2 };

// Bits of the book_learn setting.
enum : int {
    BOOK_LEARN_GAMES = 1,  // a game that goes badly after the book is written to bklearn.pgn
    BOOK_LEARN_WRITE = 2,  // ... and the book move that led to it is marked in the learn book
    BOOK_LEARN_READ = 4,   // the book choice reads the learn book
    BOOK_LEARN_BOOK = BOOK_LEARN_WRITE | BOOK_LEARN_READ,  // the learn book is opened
};

// ---- text -----------------------------------------------------------------------------
// A blank between words of a command or a file line.
inline constexpr bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
