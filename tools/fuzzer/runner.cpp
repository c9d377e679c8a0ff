#include "runner.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fuzz {

namespace fs = std::filesystem;

namespace {
using clock_type = std::chrono::steady_clock;

// Keeps the last `limit` bytes of a stream.
void keep_tail(std::string& tail, const char* data, size_t n, size_t limit) {
    tail.append(data, n);
    if (tail.size() > limit) tail.erase(0, tail.size() - limit);
}

// Reads what a descriptor has; false at its end.
bool drain(int fd, std::string& tail, size_t limit, std::string* window) {
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            keep_tail(tail, buf, static_cast<size_t>(n), limit);
            if (window) keep_tail(*window, buf, static_cast<size_t>(n), 1 << 20);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}

// The part of a source location from "engine/" or "tools/" on, so that reports of
// builds in different folders compare equal.
std::string short_location(const std::string& line) {
    for (const char* root : {"engine/", "tools/", "tests/"}) {
        const size_t at = line.find(root);
        if (at != std::string::npos) return line.substr(at);
    }
    return line;
}

std::string line_with(const std::string& text, const std::string& what, size_t from = 0) {
    const size_t at = text.find(what, from);
    if (at == std::string::npos) return "";
    const size_t begin = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    const size_t end = text.find('\n', at);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// First stack frame of the engine's own code after `from` ("#3 0x... in f engine/x.cpp:12").
std::string first_engine_frame(const std::string& text, size_t from) {
    size_t at = from;
    while ((at = text.find("\n    #", at)) != std::string::npos) {
        ++at;
        const size_t end = text.find('\n', at);
        const std::string frame = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (frame.find("engine/") != std::string::npos) {
            const size_t in = frame.find(" in ");
            return in == std::string::npos ? short_location(frame) : short_location(frame.substr(in + 4));
        }
    }
    return "";
}

// A sanitizer's finding in the standard error, as kind and key; false when none.
bool sanitizer_finding(const std::string& err, std::string* key) {
    const std::string ub = line_with(err, "runtime error:");
    if (!ub.empty()) {
        *key = short_location(ub);
        return true;
    }
    for (const char* tool : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "ERROR: UndefinedBehaviorSanitizer"}) {
        const size_t at = err.find(tool);
        if (at == std::string::npos) continue;
        std::string head = line_with(err, tool);
        const size_t colon = head.find(": ", head.find(tool) + std::strlen(tool));
        std::string what = std::string(tool + 7) + (colon == std::string::npos ? "" : head.substr(colon));
        const size_t pc = what.find(" on address");
        if (pc != std::string::npos) what.erase(pc);
        *key = what + " at " + first_engine_frame(err, at);
        return true;
    }
    return false;
}

void set_nonblocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }
}  // namespace

// The command table as the program's "help" lists it, one name a line after the prompt.
std::vector<std::string> command_table(const std::string& program, const std::string& scratch) {
    const fs::path folder = scratch;
    fs::create_directories(folder);
    const std::string cmd =
        "cd '" + folder.string() + "' && printf 'help\\nquit\\n' | '" + program + "' > help.txt 2>/dev/null";
    std::vector<std::string> names;
    if (std::system(cmd.c_str()) == 0) {
        std::ifstream in(folder / "help.txt");
        bool started = false;
        for (std::string line; std::getline(in, line);) {
            const size_t prompt = line.find("): rem");
            if (!started && prompt != std::string::npos && line.size() == prompt + 6) {
                started = true;
                names.push_back("rem");
            } else if (started) {
                if (line.find(' ') != std::string::npos) break;
                names.push_back(line);
            }
        }
    }
    fs::remove_all(folder);
    return names;
}

run_outcome run_engine(const std::string& program, const std::string& folder, const std::vector<seed_file>& files,
                       const std::vector<input_line>& lines, const run_limits& limits) {
    run_outcome outcome;
    const auto started = clock_type::now();
    for (const seed_file& f : files) {
        const std::string path = folder + "/" + f.name;
        if (!f.link_to.empty()) {
            if (symlink(f.link_to.c_str(), path.c_str()) != 0) std::perror(path.c_str());
        } else {
            std::ofstream(path, std::ios::binary) << f.content;
        }
    }

    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        outcome.finding = true;
        outcome.kind = outcome.key = "no pipes";
        return outcome;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    int to_engine = in[1];
    set_nonblocking(to_engine);
    set_nonblocking(out[0]);
    set_nonblocking(err[0]);

    std::string out_tail, err_tail, window;
    std::string pending;
    size_t next = 0;
    bool waiting = false, answered_last = true, out_open = true, err_open = true, exited = false;
    std::string marker, late_key;
    clock_type::time_point wait_until, last_progress = clock_type::now(), exit_deadline, send_at;
    size_t paused_line = SIZE_MAX;
    int status = 0;
    int polls_after_exit = 0;

    while (out_open || err_open || !exited) {
        const auto now = clock_type::now();
        if (!exited) {
            const pid_t r = waitpid(pid, &status, WNOHANG);
            if (r == pid) exited = true;
        }
        if (waiting && now >= wait_until) {
            waiting = false;
            answered_last = false;
            ++outcome.waits_missed;
            outcome.missed += " " + std::to_string(next) + ":" + marker;
            if (!late_key.empty() && !outcome.finding) {
                outcome.finding = true;
                outcome.kind = "late answer";
                outcome.key = late_key;
                outcome.late_line = "line " + std::to_string(next) + ": " + lines[next - 1].text;
            }
        }
        if (to_engine >= 0 && !waiting && pending.empty()) {
            if (next < lines.size()) {
                if (lines[next].pause > std::chrono::milliseconds(0) && paused_line != next) {
                    paused_line = next;
                    send_at = now + lines[next].pause;
                }
                if (paused_line != next || now >= send_at) pending = lines[next].text + "\n";
            } else {
                close(to_engine);
                to_engine = -1;
                exit_deadline = now + limits.stall;
            }
        }
        if (!exited && to_engine >= 0 && !pending.empty() && now - last_progress > limits.stall) {
            outcome.finding = true;
            outcome.kind = "stall";
            outcome.key = "stopped reading its input";
            kill(pid, SIGKILL);
        }
        if (!exited && to_engine < 0 && now > exit_deadline && !outcome.finding) {
            outcome.finding = true;
            outcome.kind = "no exit";
            outcome.key = "did not end after the end of its input";
            kill(pid, SIGKILL);
        }
        pollfd fds[3];
        int n = 0;
        if (out_open) fds[n++] = {out[0], POLLIN, 0};
        if (err_open) fds[n++] = {err[0], POLLIN, 0};
        const bool want_write = !exited && to_engine >= 0 && !pending.empty();
        if (want_write) fds[n++] = {to_engine, POLLOUT, 0};
        if (n == 0) {
            // Both outputs closed: only the exit is awaited.
            usleep(2000);
            continue;
        }
        poll(fds, static_cast<nfds_t>(n), exited ? 10 : 50);
        if (out_open && !drain(out[0], out_tail, 1 << 16, &window)) out_open = false;
        if (err_open && !drain(err[0], err_tail, 1 << 18, nullptr)) err_open = false;
        if (waiting && window.find(marker) != std::string::npos) {
            waiting = false;
            answered_last = true;
        }
        if (want_write) {
            const ssize_t w = write(to_engine, pending.data(), pending.size());
            if (w > 0) {
                pending.erase(0, static_cast<size_t>(w));
                last_progress = clock_type::now();
                if (pending.empty()) {
                    const input_line& l = lines[next++];
                    ++outcome.lines_sent;
                    if (!l.keep_window) window.clear();
                    // An engine that has not answered thrice is in a dialogue of its own
                    // (an editor, the console's move list): it is awaited no more.
                    if (!l.wait_for.empty() && outcome.waits_missed < 3) {
                        waiting = true;
                        marker = l.wait_for;
                        // An engine that did not answer the line awaited before is still
                        // busy with it (a batch run, a long search): this one is not late.
                        late_key = answered_last ? l.late_key : "";
                        wait_until = last_progress + l.wait;
                    }
                }
            } else if (w < 0 && errno == EPIPE) {
                pending.clear();
                close(to_engine);
                to_engine = -1;
                exit_deadline = clock_type::now() + limits.stall;
            }
        }
        if (exited && !out_open && !err_open) break;
        // A process the engine started could hold its output open: do not wait for ever.
        if (exited && ++polls_after_exit > 500) break;
    }
    if (to_engine >= 0) close(to_engine);
    close(out[0]);
    close(err[0]);
    if (!exited) waitpid(pid, &status, 0);

    outcome.seconds = std::chrono::duration<double>(clock_type::now() - started).count();
    const bool early = next < lines.size() || !pending.empty();
    std::string key;
    if (sanitizer_finding(err_tail, &key)) {
        outcome.finding = true;
        outcome.kind = "sanitizer";
        outcome.key = key;
    } else if (outcome.finding) {
        // stall, no exit or a late answer, set above
    } else if (WIFSIGNALED(status)) {
        outcome.finding = true;
        outcome.kind = "signal";
        outcome.key = "killed by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    } else if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        outcome.finding = true;
        outcome.kind = "exit status";
        outcome.key = "exit status " + std::to_string(WEXITSTATUS(status));
    } else if (early) {
        outcome.finding = true;
        outcome.kind = "early exit";
        outcome.key = "ended before the end of its input";
    }
    if (outcome.finding)
        outcome.report =
            (outcome.late_line.empty() ? "" : "---- no answer in time to ----\n" + outcome.late_line + "\n") +
            "---- standard error (end) ----\n" + err_tail + "\n---- standard output (end) ----\n" +
            out_tail.substr(out_tail.size() > 8192 ? out_tail.size() - 8192 : 0) + "\n";
    return outcome;
}

}  // namespace fuzz
