#include "core/output.h"

#include <chrono>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "core/state.h"

int output_levels[OUTPUT_LEVELS];
FILE* log_file = nullptr;
int comm_only = 0;

void init_output_levels() {
    for (int& l : output_levels) l = 1;
    output_levels[LVL_XBOARD_CONSOLE] = 0;
    output_levels[LVL_ECHO] = 0;
}

void level_printf(int level, const char* format, ...) {
    const bool on = level >= 0 && level < OUTPUT_LEVELS && output_levels[level];
    const bool restricted = xboard_mode && comm_only && (level >= OUTPUT_LEVELS || (!on && level != LVL_ECHO));
    const bool to_log = log_file && !restricted && level != LVL_STATS && level != LVL_UCI_PROGRESS;
    if (!on && !to_log) return;

    char small[512];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return;
    std::string big;
    const char* text = small;
    if (static_cast<size_t>(n) >= sizeof small) {
        big.resize(static_cast<size_t>(n) + 1);
        va_start(args, format);
        vsnprintf(big.data(), big.size(), format, args);
        va_end(args);
        text = big.c_str();
    }
    if (on) {
        fwrite(text, 1, static_cast<size_t>(n), stdout);
        fflush(stdout);
    }
    if (to_log) {
        fwrite(text, 1, static_cast<size_t>(n), log_file);
        fflush(log_file);
    }
}

namespace {
// The flags of open(2) for a mode of fopen.
int open_flags(const char* mode) {
    const bool both = std::strchr(mode, '+') != nullptr;
    int flags = O_CLOEXEC | O_NOCTTY;
    switch (mode[0]) {
        case 'r': flags |= both ? O_RDWR : O_RDONLY; break;
        case 'w': flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
        default: flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    }
    if (std::strchr(mode, 'x')) flags |= O_EXCL;
    return flags;
}

// Opens a regular file only. The open does not wait (a FIFO's open waits for the other
// end), and what it opened is looked at before anything is read or written: a FIFO, a
// device or a socket is closed again, as if it were not there.
FILE* open_regular(const char* name, const char* mode) {
    const int fd = ::open(name, open_flags(mode) | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    const char stream_mode[3] = {mode[0], std::strchr(mode, '+') ? '+' : '\0', '\0'};
    FILE* f = fdopen(fd, stream_mode);
    if (!f) ::close(fd);
    return f;
}
}  // namespace

FILE* open_file(const char* name, const char* mode, bool quiet) {
    FILE* f = open_regular(name, mode);
    if (!f && !quiet) report_open_failure(name, mode);
    return f;
}

void report_open_failure(const char* name, const char* mode) {
    level_printf(LVL_ERROR, "Could not open \"%s\" in mode %s: %s\n", name, mode,
                 "Winboard does not like my error message");
}

bool same_file(FILE* a, FILE* b) {
    struct stat sa, sb;
    if (!a || !b || fstat(fileno(a), &sa) != 0 || fstat(fileno(b), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool names_file(const std::string& name, FILE* f) {
    struct stat sn, sf;
    if (!f || stat(name.c_str(), &sn) != 0 || fstat(fileno(f), &sf) != 0) return false;
    return sn.st_dev == sf.st_dev && sn.st_ino == sf.st_ino;
}

namespace {
// Whether the file is the engine's standard input, output or error.
bool is_own_stream(const struct stat& file) {
    for (int fd = 0; fd <= 2; ++fd) {
        struct stat s;
        if (fstat(fd, &s) == 0 && s.st_dev == file.st_dev && s.st_ino == file.st_ino) return true;
    }
    return false;
}
}  // namespace

FILE* open_for_reading(const std::string& name, const char* mode, bool quiet) {
    FILE* f = open_regular(name.c_str(), mode);
    struct stat st;
    if (f && fstat(fileno(f), &st) == 0 && is_own_stream(st)) {
        std::fclose(f);
        f = nullptr;
    }
    if (!f) {
        if (!quiet) report_open_failure(name.c_str(), mode);
        return nullptr;
    }
    if (same_file(f, log_file)) {
        if (!quiet) level_printf(LVL_ERROR, "\"%s\" is not read: it is the open log file\n", name.c_str());
        std::fclose(f);
        return nullptr;
    }
    return f;
}

bool file_length(FILE* f, uint64_t* length) {
    *length = 0;
    const off_t at = ftello(f);
    if (at < 0 || fseeko(f, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(f);
    if (fseeko(f, at, SEEK_SET) != 0 || end < 0) return false;
    *length = static_cast<uint64_t>(end);
    return true;
}

text_read read_text_line(FILE* f, std::string& line, size_t limit, bool pieces) {
    line.clear();
    bool any = false;
    int c;
    while ((c = std::getc(f)) != EOF) {
        if (c == '\0') return text_read::nul;
        any = true;
        if (c == '\n') return text_read::line;
        if (line.size() < limit) {
            line += static_cast<char>(c);
            if (pieces && line.size() == limit) return text_read::line;
        }
    }
    return any ? text_read::line : text_read::end;
}

void report_nul_byte(const std::string& file, const char* items) {
    level_printf(LVL_ERROR, "%s holds a NUL byte: no more %s are read from it\n", file.c_str(), items);
}

namespace {
std::chrono::steady_clock::time_point clock_start = std::chrono::steady_clock::now();
}

void init_millis() { clock_start = std::chrono::steady_clock::now(); }

uint32_t millis() {
    auto d = std::chrono::steady_clock::now() - clock_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}
