// orvik_fuzz: feeds the engine hostile input and reports every distinct fault it shows:
// sanitizer reports, crashes, exits that no input asked for, hangs, and late answers: a
// search that overruns the clock, the time per move or the limit of its go (UCI, xboard
// or console, also after ponderhit) by more than the margin (--margin, 2 s), and a
// readyok during a search or the bestmove after stop that takes longer than --prompt
// (0.25 s).
//
//   orvik_fuzz --program PATH [--lines N] [--seconds S] [--jobs J] [--seed X] [--keep DIR]
//   orvik_fuzz --program PATH --seed X --print-run R     (the input of run R, to replay it)
//   orvik_fuzz --program PATH --seed X --run R [--keep DIR]   (run R alone, as the long run made it)
//
// Each run starts the program in a fresh empty folder, writes the lines of one generated
// input (a host-like xboard or UCI dialogue, or console commands, mixed with commands of
// every kind and junk) and closes its input; the program must read every line and end by
// itself. The fuzzer stops starting runs once N lines were sent or S seconds passed.
// The input of the first run that showed each fault is kept in DIR (NNN.input, with
// NNN.report beside it). An engine that takes no line for S seconds (--stall, 60 by
// default), or does not end within them after its input ended, hangs. Exit status 1
// when a fault was found.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "grammar.h"
#include "runner.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
struct options {
    std::string program;
    size_t lines = 20000;
    double seconds = 1e9;
    unsigned jobs = 1;
    uint64_t seed = 1;
    std::string keep;
    long print_run = -1;
    long only_run = -1;
    bool verbose = false;
    fuzz::run_limits limits;
    fuzz::answer_bounds bounds;
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr,
                 "orvik_fuzz: %s\nusage: orvik_fuzz --program PATH [--lines N] [--seconds S] [--jobs J] "
                 "[--seed X] [--keep DIR] [--print-run R] [--run R] [--stall S] [--margin S] [--prompt S] "
                 "[--verbose]\n",
                 why);
    std::exit(2);
}

options parse(int argc, char** argv) {
    options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (i + 1 >= argc) usage(("missing value after " + a).c_str());
        const std::string v = argv[++i];
        if (a == "--program")
            o.program = v;
        else if (a == "--lines")
            o.lines = std::stoull(v);
        else if (a == "--seconds")
            o.seconds = std::stod(v);
        else if (a == "--jobs")
            o.jobs = static_cast<unsigned>(std::max(1, std::stoi(v)));
        else if (a == "--seed")
            o.seed = std::stoull(v);
        else if (a == "--keep")
            o.keep = v;
        else if (a == "--print-run")
            o.print_run = std::stol(v);
        else if (a == "--run")
            o.only_run = std::stol(v);
        else if (a == "--stall")
            o.limits.stall = std::chrono::milliseconds(static_cast<long>(std::stod(v) * 1000));
        else if (a == "--margin")
            o.bounds.margin = std::chrono::milliseconds(static_cast<long>(std::stod(v) * 1000));
        else if (a == "--prompt")
            o.bounds.prompt = std::chrono::milliseconds(static_cast<long>(std::stod(v) * 1000));
        else
            usage(("unknown option " + a).c_str());
    }
    if (o.program.empty()) usage("no --program");
    // Every run changes into a folder of its own.
    o.program = fs::absolute(o.program).string();
    return o;
}

struct finding_record {
    std::string kind;
    size_t count = 0;
    size_t first_run = 0;
};
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const options opt = parse(argc, argv);
    const fs::path root = fs::temp_directory_path() / ("orvik_fuzz." + std::to_string(getpid()));
    const std::vector<std::string> table = fuzz::command_table(opt.program, (root / "help").string());
    if (table.size() < 100) {
        std::fprintf(stderr, "orvik_fuzz: could not read the command table from %s's help (%zu names)\n",
                     opt.program.c_str(), table.size());
        return 2;
    }
    const fuzz::grammar grammar(table, opt.bounds);
    for (const auto& name : grammar.unknown_commands())
        std::printf("note: no argument form for \"%s\": it gets free text\n", name.c_str());
    if (!opt.keep.empty()) fs::create_directories(opt.keep);
    auto run_rng = [&](size_t number) { return fuzz::run_random(opt.seed, number); };
    if (opt.print_run >= 0) {
        auto rng = run_rng(static_cast<size_t>(opt.print_run));
        std::vector<fuzz::seed_file> files;
        for (const auto& l : grammar.make_run(rng, &files)) std::printf("%s\n", l.text.c_str());
        return 0;
    }

    std::atomic<size_t> lines_sent{0}, runs{0}, next_run{opt.only_run >= 0 ? static_cast<size_t>(opt.only_run) : 0};
    std::mutex lock;
    std::map<std::string, finding_record> findings;
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };

    auto job = [&](unsigned) {
        for (;;) {
            if (lines_sent.load() >= opt.lines || elapsed() >= opt.seconds) return;
            const size_t number = next_run++;
            if (opt.only_run >= 0 && number != static_cast<size_t>(opt.only_run)) return;
            auto rng = run_rng(number);
            std::vector<fuzz::seed_file> files;
            const std::vector<fuzz::input_line> input = grammar.make_run(rng, &files);
            // A parent folder per run: ".." in a file name stays inside the fuzzer's own.
            const fs::path folder = root / ("run" + std::to_string(number)) / "work";
            fs::create_directories(folder);
            const fuzz::run_outcome out = fuzz::run_engine(opt.program, folder.string(), files, input, opt.limits);
            fs::remove_all(folder.parent_path());
            lines_sent += out.lines_sent;
            ++runs;
            if (opt.verbose) {
                std::lock_guard<std::mutex> hold(lock);
                std::printf("run %zu: %zu lines, %.2f s, %zu answers awaited in vain%s\n", number, out.lines_sent,
                            out.seconds, out.waits_missed, out.missed.c_str());
            }
            if (!out.finding) continue;
            std::lock_guard<std::mutex> hold(lock);
            finding_record& f = findings[out.key];
            if (f.count++ == 0) {
                f.kind = out.kind;
                f.first_run = number;
                std::printf("finding %zu (%s) in run %zu: %s\n", findings.size(), out.kind.c_str(), number,
                            out.key.c_str());
                std::fflush(stdout);
                if (!opt.keep.empty()) {
                    const std::string base = opt.keep + "/" + std::to_string(findings.size());
                    std::ofstream in(base + ".input", std::ios::binary);
                    for (const auto& l : input) in << l.text << '\n';
                    std::ofstream rep(base + ".report");
                    rep << out.kind << ": " << out.key << "\nseed " << opt.seed << " run " << number << "\n";
                    for (const auto& file : files)
                        rep << "file " << file.name
                            << (file.link_to.empty() ? " (" + std::to_string(file.content.size()) + " bytes)"
                                                     : " -> " + file.link_to)
                            << "\n";
                    rep << out.report;
                    for (const auto& file : files)
                        if (file.link_to.empty())
                            std::ofstream(base + "." + file.name, std::ios::binary) << file.content;
                }
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned j = 0; j < opt.jobs; ++j) threads.emplace_back(job, j);
    for (auto& t : threads) t.join();
    fs::remove_all(root);

    size_t total = 0;
    for (const auto& [key, f] : findings) total += f.count;
    std::printf("%zu runs, %zu input lines, %.1f s, %zu findings (%zu distinct)\n", runs.load(), lines_sent.load(),
                elapsed(), total, findings.size());
    for (const auto& [key, f] : findings)
        std::printf("  %zux %s: %s (first in run %zu)\n", f.count, f.kind.c_str(), key.c_str(), f.first_run);
    return findings.empty() ? 0 : 1;
}
