#include "core/input.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {
int in_fd = 0;
std::string buffer;
bool at_end = false;
int last_errno = 0;

int batch_depth = 0;
std::vector<std::string> held_lines;
bool batch_quit = false;

// Reads what is available (blocking when `block`); false when nothing more will come.
bool fill(bool block) {
    if (at_end) return false;
    if (!block) {
        pollfd p{in_fd, POLLIN, 0};
        if (poll(&p, 1, 0) <= 0) return true;
    }
    char chunk[4096];
    for (;;) {
        ssize_t n = read(in_fd, chunk, sizeof chunk);
        if (n > 0) {
            buffer.append(chunk, static_cast<size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        last_errno = n < 0 ? errno : 0;
        at_end = true;
        return false;
    }
}
}  // namespace

void stdin_use_descriptor(int fd) {
    in_fd = fd;
    buffer.clear();
    at_end = false;
    last_errno = 0;
}

bool stdin_input_waiting() {
    if (!buffer.empty() || at_end) return true;
    pollfd p{in_fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

bool stdin_at_end() { return at_end && buffer.empty(); }

// A line longer than this is taken in pieces: the buffer never holds much more.
constexpr size_t LINE_PIECE = 8191;

bool stdin_line_ready() {
    if (buffer.find('\n') != std::string::npos || at_end || buffer.size() >= LINE_PIECE) return true;
    fill(false);
    return buffer.find('\n') != std::string::npos || at_end || buffer.size() >= LINE_PIECE;
}

bool stdin_read_line(std::string& line, size_t max_len) {
    for (;;) {
        size_t nl = buffer.find('\n');
        if (nl != std::string::npos || buffer.size() >= max_len || (at_end && !buffer.empty())) {
            size_t take = nl == std::string::npos ? buffer.size() : nl;
            if (take > max_len) take = max_len;
            line.assign(buffer, 0, take);
            size_t drop = take;
            if (take < buffer.size() && buffer[take] == '\n') ++drop;
            buffer.erase(0, drop);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (!fill(true) && buffer.empty()) return false;
    }
}

const char* stdin_error_text() { return strerror(last_errno); }

batch_run::batch_run() {
    if (batch_depth++ == 0) {
        held_lines.clear();
        batch_quit = false;
    }
}

batch_run::~batch_run() {
    if (--batch_depth != 0) return;
    // The held lines come first, before whatever arrived after them.
    std::string text;
    for (const std::string& l : held_lines) text += l + '\n';
    buffer.insert(0, text);
    held_lines.clear();
    batch_quit = false;
}

bool batch_run::active() { return batch_depth > 0; }
void batch_run::hold(const std::string& line) { held_lines.push_back(line); }
// A script far longer than this waits in the pipe, not in memory.
bool batch_run::full() { return held_lines.size() >= 10000; }
void batch_run::ask_quit() { batch_quit = true; }
bool batch_run::quitting() { return batch_depth > 0 && batch_quit; }
