// Levelled output, the one place where files are opened, and the millisecond clock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr int OUTPUT_LEVELS = 19;
// Levels: 0 book/benchmark, 1 thinking and hints, 2 console thinking under xboard,
// 3 test results, 4 help list, 5 illegal-move replies, 6 board, 7 errors, 8 normal
// messages, 9 move echo, 10 test solutions, 11 input echo, 12 time control and
// opening names, 13 prompt, 14 book rejects, 15 search statistics, 16 UCI protocol,
// 17 UCI progress, 18 learned-position notice.
// clang-format off
enum : int {
    LVL_BOOK = 0, LVL_THINKING = 1, LVL_XBOARD_CONSOLE = 2, LVL_TEST = 3, LVL_HELP = 4,
    LVL_ILLEGAL = 5, LVL_BOARD = 6, LVL_ERROR = 7, LVL_NORMAL = 8, LVL_MOVE = 9,
    LVL_SOLUTION = 10, LVL_ECHO = 11, LVL_TIME = 12, LVL_PROMPT = 13, LVL_BOOK_REJECT = 14,
    LVL_STATS = 15, LVL_UCI = 16, LVL_UCI_PROGRESS = 17, LVL_LEARNED = 18
};
// clang-format on

extern int output_levels[OUTPUT_LEVELS];
extern FILE* log_file;  // open log file or null
extern int comm_only;   // with the xboard dialogue: restricts what reaches the log

// All levels on, then 2 and 11 off (the console dialogue's set).
void init_output_levels();

// Writes the message to standard output (flushed) when its level is on, and to the
// log file. Input text must be passed as an argument, never as the format.
void level_printf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// printf into a string (for texts built before they are printed).
template <typename... Args>
std::string text_printf(const char* f, Args... args) {
    const int n = std::snprintf(nullptr, 0, f, args...);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) std::snprintf(s.data(), s.size() + 1, f, args...);
    return s;
}

// Opens a file with a mode of fopen; on failure prints the uniform message at level 7
// (unless `quiet`) and returns null. Only a regular file is opened, and the open never
// waits: a FIFO, a device or a socket under the name is not opened, as if it were not
// there (every file the engine opens is opened here or by open_for_reading).
FILE* open_file(const char* name, const char* mode, bool quiet = false);
// The uniform message of a file that could not be opened, at level 7.
void report_open_failure(const char* name, const char* mode);

// Whether two open files are one file on disk, and whether `name` names the open `f`.
bool same_file(FILE* a, FILE* b);
bool names_file(const std::string& name, FILE* f);
// Opens a file to read from; every reader of files opens them here. Refused:
// - the engine's own standard input, output or error (under any name, /dev/stdout or a
//   link): reading its own output pipe would wait for ever, and reading its input would
//   take the host's commands. The uniform open message, as for a file that is not there;
// - the open log: what is read would be logged into it, and read again for ever.
// `quiet` leaves out the messages (for files that are looked for, not asked for).
FILE* open_for_reading(const std::string& name, const char* mode = "r", bool quiet = false);

// The length of an open file in bytes, its position kept; false when it cannot be told.
bool file_length(FILE* f, uint64_t* length);

// Reading text files. A NUL byte, which no text holds, ends the text: a device such as
// /dev/zero would otherwise be read for ever.
enum class text_read { line, end, nul };
// The next line without its "\n" (a "\r" before it stays). At most `limit` characters
// are kept: the rest of a longer line is passed over, or with `pieces` it is returned as
// the next line. A last line without a line end counts; `nul` drops the line it ends.
text_read read_text_line(FILE* f, std::string& line, size_t limit, bool pieces = false);
// "<file> holds a NUL byte: no more <items> are read from it" at level 7.
void report_nul_byte(const std::string& file, const char* items);

// Milliseconds since start-up (only differences are meaningful).
void init_millis();
uint32_t millis();
