// Starts a program with pipes on its standard streams, writes lines to it and
// reads its output line by line with a time-out. Used by every end-to-end test.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` with `args` in folder `workdir` (empty: the current one).
    // Extra environment entries ("NAME=value") are added to the inherited ones.
    bool start(const std::string& program, const std::vector<std::string>& args = {}, const std::string& workdir = {},
               const std::vector<std::string>& env = {});

    bool running();
    pid_t pid() const { return pid_; }

    // Writes text and a line end. False when the child no longer reads.
    bool writeLine(const std::string& line);
    void closeInput();

    // Next line of standard output (without its line end), or nothing after the time-out
    // or at the end of output.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Reads lines until one satisfies `match`; every line read lands in `seen` when given.
    std::optional<std::string> readUntil(const std::function<bool(const std::string&)>& match,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                         std::vector<std::string>* seen = nullptr);
    // Reads lines until one contains `text`.
    std::optional<std::string> readUntilContains(const std::string& text,
                                                 std::chrono::milliseconds timeout = std::chrono::seconds(10),
                                                 std::vector<std::string>* seen = nullptr);
    // Every line that arrives within `quiet` of the previous one (or of the call).
    std::vector<std::string> drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(200));

    // Lines the child wrote to standard error so far.
    std::vector<std::string> errorLines();

    // Waits for the child to end; its exit status, or nothing after the time-out.
    std::optional<int> waitExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void kill();

private:
    void pump(int timeoutMs);
    static bool takeLine(std::string& buffer, std::vector<std::string>& lines);

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    std::string outBuf_, errBuf_;
    std::vector<std::string> outLines_, errLines_;
    size_t outNext_ = 0;
    bool outClosed_ = false;
    std::optional<int> exitStatus_;
};

// A fresh temporary folder, removed with everything in it when the object ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace testsupport
