#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

using Clock = std::chrono::steady_clock;

ChildProcess::~ChildProcess() { kill(); }

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args, const std::string& workdir,
                         const std::vector<std::string>& env) {
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0) return false;
    if (pipe2(outPipe, O_CLOEXEC) != 0) return false;
    if (pipe2(errPipe, O_CLOEXEC) != 0) return false;

    std::vector<std::string> argStore;
    argStore.push_back(program);
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore = env;

    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        if (!workdir.empty() && chdir(workdir.c_str()) != 0) _exit(126);
        for (auto& e : envStore) putenv(e.data());
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    err_ = errPipe[0];
    pid_ = pid;
    signal(SIGPIPE, SIG_IGN);
    return true;
}

bool ChildProcess::running() {
    if (pid_ < 0 || exitStatus_) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

bool ChildProcess::writeLine(const std::string& line) {
    if (in_ < 0) return false;
    std::string text = line + "\n";
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(in_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

void ChildProcess::closeInput() {
    if (in_ >= 0) close(in_);
    in_ = -1;
}

bool ChildProcess::takeLine(std::string& buffer, std::vector<std::string>& lines) {
    bool any = false;
    size_t pos;
    while ((pos = buffer.find('\n')) != std::string::npos) {
        std::string line = buffer.substr(0, pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        buffer.erase(0, pos + 1);
        any = true;
    }
    return any;
}

// Waits up to timeoutMs for data on either output pipe and files what arrived.
void ChildProcess::pump(int timeoutMs) {
    pollfd fds[2];
    int n = 0;
    if (out_ >= 0) fds[n++] = {out_, POLLIN, 0};
    if (err_ >= 0) fds[n++] = {err_, POLLIN, 0};
    if (n == 0) return;
    int r = poll(fds, static_cast<nfds_t>(n), timeoutMs);
    if (r <= 0) return;
    for (int i = 0; i < n; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buf[65536];
        ssize_t got = read(fds[i].fd, buf, sizeof buf);
        bool isOut = fds[i].fd == out_;
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            close(fds[i].fd);
            if (isOut) {
                if (!outBuf_.empty()) outLines_.push_back(outBuf_);
                outBuf_.clear();
                out_ = -1;
                outClosed_ = true;
            } else {
                if (!errBuf_.empty()) errLines_.push_back(errBuf_);
                errBuf_.clear();
                err_ = -1;
            }
            continue;
        }
        if (isOut) {
            outBuf_.append(buf, static_cast<size_t>(got));
            takeLine(outBuf_, outLines_);
        } else {
            errBuf_.append(buf, static_cast<size_t>(got));
            takeLine(errBuf_, errLines_);
        }
    }
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (outNext_ >= outLines_.size()) {
        if (outClosed_) return std::nullopt;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pump(static_cast<int>(left));
    }
    return outLines_[outNext_++];
}

std::optional<std::string> ChildProcess::readUntil(const std::function<bool(const std::string&)>& match,
                                                   std::chrono::milliseconds timeout, std::vector<std::string>* seen) {
    auto deadline = Clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) left = std::chrono::milliseconds(0);
        auto line = readLine(left);
        if (!line) return std::nullopt;
        if (seen) seen->push_back(*line);
        if (match(*line)) return line;
    }
}

std::optional<std::string> ChildProcess::readUntilContains(const std::string& text, std::chrono::milliseconds timeout,
                                                           std::vector<std::string>* seen) {
    return readUntil([&](const std::string& l) { return l.find(text) != std::string::npos; }, timeout, seen);
}

std::vector<std::string> ChildProcess::drain(std::chrono::milliseconds quiet) {
    std::vector<std::string> lines;
    while (auto line = readLine(quiet)) lines.push_back(*line);
    return lines;
}

std::vector<std::string> ChildProcess::errorLines() {
    pump(0);
    return errLines_;
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() >= deadline) return std::nullopt;
        pump(20);  // keep the pipes flowing so the child never blocks on a full pipe
    }
    return exitStatus_;
}

void ChildProcess::kill() {
    if (pid_ > 0 && running()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        exitStatus_ = 128 + SIGKILL;
    }
    closeInput();
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
    out_ = err_ = -1;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tvo-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& content) const {
    std::ofstream f(file(name), std::ios::binary);
    f << content;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream f(file(name), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace testsupport
