// The input grammar: every command of the engine's table with the forms its argument
// may take (numbers at and beyond the ends of their types, texts that are empty, huge or
// no text at all, file names, mutated FENs, long move lists), and host-like runs of the
// xboard and UCI dialogues around them.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "runner.h"

namespace fuzz {

// Commands that by design run for minutes without reading input (benchmarks, table
// generation): never sent, also not through an abbreviation. Nor is "help": its list,
// logged and read back by "input", would run them all.
extern const std::vector<std::string> long_commands;

// Commands that search or count many times as one run: the lines that come meanwhile
// wait for its end (so does the end of the input), and only "?" stops a search of it.
// Each is followed by as many "?" as it may have searches; none stands in a script.
struct batch_command {
    const char* name;
    int searches;
};
extern const std::vector<batch_command> batch_commands;

// Whether `line` would run the table row `name` (the engine's matching: a non-empty
// prefix of the name, case aside, ended by the line's end, a blank or '=').
bool selects(const std::string& name, const std::string& line);
// The argument text of a command line as the engine takes it (after the word, blanks and
// an optional '=', trailing blanks removed).
std::string argument_of(const std::string& line);

// The bounds of the late-answer oracle: `margin` on top of a clock, a time per move or
// a small limit (for a sanitizer build on a busy machine), and `prompt` for the answers
// due at once: readyok during a search and the bestmove that answers stop.
struct answer_bounds {
    std::chrono::milliseconds margin{2000};
    std::chrono::milliseconds prompt{250};
};

// How long a sound engine may take to answer the UCI go `words` (the text after "go"):
// the longest clock given (with its increment) or the movetime, or nothing for a small
// depth (4 at most, 0 and below being 1) or mate (2 at most) while `short_plies` (no
// extension setting has made a ply long), or for a node limit (100,000 at most),
// whichever is least, and `margin` on top. None when the search may run until stop
// (ponder, infinite), when it has no limit of these, or when its words are not plain (a
// value that is no integer, a searchmoves word that the engine may take for a word of
// go: the engine may read them otherwise).
std::optional<std::chrono::milliseconds> go_answer_bound(const std::string& words, bool short_plies = true,
                                                         std::chrono::milliseconds margin = answer_bounds{}.margin);

// The random source of run `run` of a fuzzing session with `seed`.
inline std::mt19937_64 run_random(uint64_t seed, size_t run) { return std::mt19937_64(seed * 1000003u + run); }

class grammar {
public:
    // `table`: the command names in table order, as the engine's "help" lists them.
    explicit grammar(std::vector<std::string> table, answer_bounds bounds = {});

    // The lines of one engine run, and the files they may name (written into the
    // run's folder first).
    std::vector<input_line> make_run(std::mt19937_64& rng, std::vector<seed_file>* files) const;

    // Table names the grammar has no argument form for (they get random arguments).
    std::vector<std::string> unknown_commands() const;

    // Whether a line is safe to send: no shell escape, no "quit", no long command.
    bool acceptable(const std::string& line) const;

    // The table row a line runs ("" when none).
    std::string row_for(const std::string& line) const;

private:
    // A log holds the engine's own output, and read back by "input" every line of it is
    // a command: "cr in string line 1" of the PGN reader runs create_bitbases. No file a
    // run logs to (in its main input or its script) is read back with "input" in it.
    void drop_logs_read_back(std::vector<input_line>& lines, std::string& script) const;

    std::vector<std::string> table_;
    answer_bounds bounds_;
};

}  // namespace fuzz
