// An Orvik process in a fresh folder, past its start-up banners, for the protocol tests.
#pragma once

#include <chrono>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"

namespace e2e {

using namespace std::chrono_literals;

// The console prompt ("white ( 1): ") has no line end, so it leads the next line.
inline std::string without_prompt(const std::string& line) {
    static const std::regex prompt(R"(^((white|black) \( *-?\d+\): |pondering: )+)");
    return std::regex_replace(line, prompt, "");
}

struct session {
    testsupport::TempDir dir;
    testsupport::ChildProcess child;

    session() { start(); }
    // The same with files put into the folder before the engine starts.
    explicit session(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& f : files) dir.write(f.first, f.second);
        start();
    }
    void start() {
        child.start(ORVIK_PROGRAM, {}, dir.path());
        child.readUntilContains("Playing without ini file", 10s);
    }
    ~session() {
        child.writeLine("quit");
        if (!child.waitExit(5s)) child.kill();
    }
    // The lines go in one write, so all of them wait on the pipe before the engine
    // reads the first: a test of lines that wait behind a search does not depend on
    // how soon this process is scheduled again.
    void send(const std::vector<std::string>& lines) {
        if (lines.empty()) return;
        std::string text = lines.front();
        for (size_t i = 1; i < lines.size(); ++i) text += "\n" + lines[i];
        child.writeLine(text);
    }
    // Lines (prompts removed) up to and with the first that satisfies `match`; the
    // last element is empty when none came within `timeout`.
    template <typename Match>
    std::vector<std::string> until(Match match, std::chrono::milliseconds timeout = 20s) {
        std::vector<std::string> seen;
        auto hit = child.readUntil([&](const std::string& l) { return match(without_prompt(l)); }, timeout, &seen);
        for (auto& s : seen) s = without_prompt(s);
        if (!hit) seen.push_back("");
        return seen;
    }
    std::vector<std::string> until_prefix(const std::string& prefix, std::chrono::milliseconds timeout = 20s) {
        return until([&](const std::string& l) { return l.rfind(prefix, 0) == 0; }, timeout);
    }
    bool got(const std::vector<std::string>& lines) const { return !lines.empty() && !lines.back().empty(); }
};

inline bool starts_with(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }

}  // namespace e2e
