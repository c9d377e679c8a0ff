// Orvik's test suites as a whole program: epdtest twice on ten Win-at-chess positions
// at a node limit gives the same verdicts and result files, cooktest keeps away from
// the solution, and a script of the engine's own writes its PGN and EPD copies.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine_session.h"

namespace {

using namespace e2e;

std::vector<std::string> wac_lines(size_t n) {
    std::ifstream in(std::string(ORVIK_TEST_DATA) + "/wac.epd");
    std::vector<std::string> out;
    std::string l;
    while (out.size() < n && std::getline(in, l))
        if (!l.empty()) out.push_back(l);
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

std::string id_of(const std::string& epd) {
    const size_t at = epd.find("id \"");
    return at == std::string::npos ? "" : epd.substr(at + 4, epd.find('"', at + 4) - at - 4);
}

bool file_exists(const testsupport::TempDir& d, const std::string& name) {
    std::ifstream f(d.file(name));
    return f.good();
}

bool has_summary(const std::vector<std::string>& lines) {
    for (const auto& l : lines)
        if (starts_with(l, "        Summary: ")) return true;
    return false;
}

// The verdicts of one epdtest run, in order ("ok" or "nf").
std::vector<std::string> run_epdtest(session& s, std::vector<std::string>* lines) {
    s.send({"epdtest wac10.epd"});
    *lines = s.until_prefix("Dalvry formula Sum(10.0*exp(-ln(2)*solution_time/60.0)) = ", std::chrono::minutes(3));
    std::vector<std::string> verdicts;
    for (const auto& l : *lines) {
        if (starts_with(l, "ok after")) verdicts.push_back("ok");
        if (l == "solution not found") verdicts.push_back("nf");
    }
    return verdicts;
}

TEST(OrvikSuites, EpdtestGivesTheSameVerdictsTwice) {
    session s;
    const auto wac = wac_lines(10);
    s.dir.write("wac10.epd", joined(wac));
    s.send({"nodes 20000"});
    std::vector<std::string> lines;
    const auto first = run_epdtest(s, &lines);
    ASSERT_TRUE(s.got(lines));
    ASSERT_EQ(first.size(), 10u);
    EXPECT_TRUE(has_summary(lines));
    const std::string lost = s.dir.read("lost.epd");
    const auto second = run_epdtest(s, &lines);
    ASSERT_TRUE(s.got(lines));
    EXPECT_EQ(first, second);

    // lost.epd holds exactly the lines not solved.
    std::set<std::string> unsolved, written;
    for (size_t i = 0; i < wac.size(); ++i)
        if (first[i] == "nf") unsolved.insert(id_of(wac[i]));
    std::istringstream in(lost);
    for (std::string l; std::getline(in, l);)
        if (!l.empty()) written.insert(id_of(l));
    EXPECT_EQ(written, unsolved);
    for (const char* f : {"hairy.ci", "clean.ci", "eclean.ci", "rh.ci", "tmp.pgn"})
        EXPECT_TRUE(file_exists(s.dir, f)) << f;
    // Every unsolved position is in hairy.ci as a script group.
    const std::string hairy = s.dir.read("hairy.ci");
    for (const auto& id : unsolved) EXPECT_NE(hairy.find("title " + id + "\nsetboard "), std::string::npos) << id;

    const std::string sum = s.dir.read("test.sum");
    EXPECT_EQ(sum.rfind("TEST wac10.epd by Orvik Vellimast search_nodes 20000  ", 0), 0u) << sum;
    EXPECT_NE(sum.find(" 10 tested, "), std::string::npos);
    EXPECT_NE(sum.find("egtb_probe="), std::string::npos);
    EXPECT_NE(sum.find("log(win_nodes) = "), std::string::npos);
}

TEST(OrvikSuites, CooktestNeverPlaysTheSolution) {
    session s;
    s.dir.write("wac1.epd", wac_lines(1)[0] + "\n");
    s.send({"nodes 20000", "cooktest wac1.epd"});
    const auto lines = s.until_prefix("log(win_nodes)", std::chrono::minutes(2));
    ASSERT_TRUE(s.got(lines));
    bool disabled = false;
    for (const auto& l : lines) {
        disabled = disabled || l == "solution moves disabled";
        EXPECT_EQ(l.find("1.Qg6"), std::string::npos) << l;
        EXPECT_FALSE(starts_with(l, "ok after"));
    }
    EXPECT_TRUE(disabled);
}

TEST(OrvikSuites, AScriptWritesItsPositionsAsPgnAndEpd) {
    session s;
    std::string script = "; made from Win-at-chess lines\n";
    for (const auto& l : wac_lines(3)) {
        std::istringstream in(l);
        std::string placement, side, castling, ep;
        in >> placement >> side >> castling >> ep;
        const size_t bm = l.find("bm ");
        const std::string moves = l.substr(bm + 3, l.find(';', bm) - bm - 3);
        script += "title " + id_of(l) + "\nsetboard " + placement + " " + side + " " + castling + " " + ep +
                  "\nsolution " + moves + "\n";
    }
    s.dir.write("wac3.ci", script);
    s.send({"nodes 20000", "test wac3.ci"});
    const auto lines = s.until_prefix("log(win_nodes)", std::chrono::minutes(2));
    ASSERT_TRUE(s.got(lines));
    const std::string pgn = s.dir.read("tmp.pgn"), epd = s.dir.read("tmp.epd");
    EXPECT_NE(pgn.find("[Event \"wac3.ci 1\"]"), std::string::npos);
    EXPECT_NE(pgn.find("[FEN \"2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1\"]"), std::string::npos);
    EXPECT_NE(pgn.find("1. Qg6 $1  *"), std::string::npos) << pgn;
    EXPECT_NE(pgn.find("1...Rxb2 $1  *"), std::string::npos) << pgn;
    EXPECT_NE(epd.find("2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6; id \"wac3.ci 1\";"),
              std::string::npos)
        << epd;
    EXPECT_NE(epd.find("id \"wac3.ci 3\";"), std::string::npos);
}

// A position line that is refused skips its test: searched on the position before it,
// the solution would be graded there.
TEST(OrvikSuites, ARefusedPositionSkipsItsTest) {
    session s;
    const auto wac = wac_lines(3);
    auto group = [](const std::string& l) {
        std::istringstream in(l);
        std::string placement, side, castling, ep;
        in >> placement >> side >> castling >> ep;
        const size_t bm = l.find("bm ");
        return "title " + id_of(l) + "\nsetboard " + placement + " " + side + " " + castling + " " + ep +
               "\nsolution " + l.substr(bm + 3, l.find(';', bm) - bm - 3) + "\n";
    };
    // The middle one: the side not to move is in check. Its solution is WAC.002's.
    s.dir.write("three.ci",
                group(wac[1]) + "title broken\nsetboard 4k3/4Q3/8/8/8/8/8/4K3 w - -\nsolution Rxb2\n" + group(wac[2]));
    s.send({"nodes 20000", "test three.ci"});
    const auto lines = s.until_prefix("log(win_nodes)", std::chrono::minutes(2));
    ASSERT_TRUE(s.got(lines));
    const auto rest = s.until_prefix("  1 skipped (no position)", 5s);
    EXPECT_TRUE(s.got(rest));
    bool skipped = false, two = false;
    for (const auto& l : lines) {
        skipped = skipped || l == "ERROR position refused, test 2 skipped: setboard 4k3/4Q3/8/8/8/8/8/4K3 w - -";
        two = two || starts_with(l, "  2 tested, ");
        EXPECT_FALSE(starts_with(l, "  3 tested, ")) << l;
    }
    EXPECT_TRUE(skipped);
    EXPECT_TRUE(two);
    // test.sum is written last: the next command's answer comes after it.
    s.send({"fen"});
    EXPECT_TRUE(s.got(s.until_prefix("5rk1/1ppb3p/")));
    const std::string sum = s.dir.read("test.sum");
    EXPECT_NE(sum.find("  2 tested, "), std::string::npos) << sum;
    EXPECT_NE(sum.find("  1 skipped (no position)\n"), std::string::npos) << sum;
}

}  // namespace
