// The PGN batch tools: marks, ECO tags, normalised games, move lists, reports, EPD
// extraction and the SAN copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/pgn_tools.h"
#include "book_env.h"
#include "front/handlers.h"

namespace {
const char* const GAMES =
    "[Event \"Club\"]\n[White \"orvik 1.0\"]\n[Black \"someone\"]\n[Result \"1-0\"]\n[ECO \"Z99\"]\n"
    "[Opening \"Old name\"]\n[TimeControl \"40/7200\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 1-0\n\n"
    "[Event \"Club\"]\n[White \"someone\"]\n[Black \"Orvik\"]\n[Result \"1/2-1/2\"]\n[ECO \"B90\"]\n\n"
    "1. e4 c5 2. Nf3 d6! 1/2-1/2\n\n"
    "[Event \"Blitz\"]\n[White \"Orvik\"]\n[Black \"x\"]\n[Result \"0-1\"]\n[ECO \"A1\"]\n[TimeControl \"180+2\"]\n\n"
    "1. f3 e5 2. g4?? Qh4# 0-1\n";

std::string run_tool(const std::string& line, const std::string& out_name) {
    run_line(line);
    return read_file(out_name);
}
}  // namespace

TEST(PgnTools, MarksByResultAndBySide) {
    fresh_book_game();
    work_folder folder;
    write_file("in.pgn", GAMES);
    output_capture out;
    const std::string marked = run_tool("ferrun_pgn in.pgn out.pgn", "out.pgn");
    EXPECT_NE(marked.find("1. e4!! e5 2. Nf3!! Nc6 3. Bb5!! a6 1-0\n"), std::string::npos) << marked;
    EXPECT_NE(marked.find("1. e4 c5 2. Nf3 d6 1/2-1/2\n"), std::string::npos) << "a draw marks nothing";
    EXPECT_NE(marked.find("1. f3 e5!! 2. g4 Qh4#!! 0-1\n"), std::string::npos);
    EXPECT_EQ(
        marked.find("[Event \"Club\"]\n[White \"orvik 1.0\"]\n[Black \"someone\"]\n[Result \"1-0\"]\n[ECO \"Z99\"]"),
        0u)
        << "the tags are copied as they stand";

    const std::string black = run_tool("pelvat_pgn in.pgn b.pgn b", "b.pgn");
    EXPECT_NE(black.find("1. e4 e5!! 2. Nf3 Nc6!! 3. Bb5 a6!! 1-0"), std::string::npos);
    const std::string numbers = run_tool("pelvat_pgn in.pgn n.pgn n -3 1", "n.pgn");
    EXPECT_NE(numbers.find("1. e4?? e5!? 2. Nf3?? Nc6!?"), std::string::npos) << "\"??\" survives the record";
}

TEST(PgnTools, EcoTagsReplaceOldOnesAndKeepTheRest) {
    fresh_book_game();
    work_folder folder;
    write_file("in.pgn", GAMES);
    output_capture out;
    const std::string tagged = run_tool("pelvat_pgn in.pgn j.pgn j", "j.pgn");
    EXPECT_NE(tagged.find("[Event \"Club\"]\n[White \"orvik 1.0\"]\n[Black \"someone\"]\n[Result \"1-0\"]\n"
                          "[TimeControl \"40/7200\"]\n[ECO \"C60\"]\n[Opening \"Ruy Lopez (Spanish opening)\"]\n"
                          "\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 1-0\n\n"),
              std::string::npos)
        << tagged;
    EXPECT_EQ(tagged.find("Z99"), std::string::npos);
    EXPECT_EQ(tagged.find("Old name"), std::string::npos);
    // Regenerated text: the engine's own writer, with the game's result.
    const std::string again = run_tool("pelvat_pgn in.pgn k.pgn j k", "k.pgn");
    EXPECT_NE(again.find("\n1. e4 c5 2. Nf3 d6! 1/2-1/2\n\n"), std::string::npos) << again;
    // A ply limit names the opening from the first plies only.
    const std::string limited = run_tool("vadro_pgn in.pgn v.pgn x 2", "v.pgn");
    EXPECT_NE(limited.find("[ECO \"C20\"]"), std::string::npos) << limited;
    EXPECT_NE(limited.find("\n1. e4 e5 1-0\n"), std::string::npos);

    // A game whose move text does not fit the capture is written anew.
    std::string moves;
    for (int i = 0; i < 800; ++i) moves += "Nf3 {a comment long enough} Nf6 Ng1 Ng8 ";
    write_file("long.pgn", "[Result \"*\"]\n\n1. " + moves + "*\n");
    const std::string rewritten = run_tool("pelvat_pgn long.pgn l.pgn j", "l.pgn");
    EXPECT_EQ(rewritten.find("comment"), std::string::npos);
    EXPECT_NE(rewritten.find("1. Nf3 Nf6 2. Ng1 Ng8"), std::string::npos);
}

TEST(PgnTools, NormalisedGamesAndMoveLists) {
    fresh_book_game();
    work_folder folder;
    write_file("in.pgn", GAMES);
    output_capture out;
    const std::string plain = run_tool("pelvat_pgn in.pgn p.pgn p", "p.pgn");
    EXPECT_NE(
        plain.find("[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n[White \"?\"]\n[Black \"?\"]\n"
                   "[Result \"*\"]\n[ECO \"B50\"]\n[Opening \"Sicilian\"]\n\n1. e4 c5 2. Nf3 d6 *\n\n"),
        std::string::npos)
        << plain;
    const std::string kept = run_tool("pelvat_pgn in.pgn pk.pgn p k", "pk.pgn");
    EXPECT_NE(kept.find("2. g4?? Qh4# *"), std::string::npos);
    const std::string own = run_tool("pelvat_pgn in.pgn x.pgn x", "x.pgn");
    EXPECT_NE(own.find("[ECO \"Z99\"]\n[Opening \"Old name\"]\n"), std::string::npos);
    EXPECT_NE(out.text().find("Huch ECO Z99"), std::string::npos);

    EXPECT_EQ(run_tool("pelvat_pgn in.pgn h.txt h", "h.txt"),
              "e2e4e7e5g1f3b8c6f1b5a7a6\ne2e4c7c5g1f3d7d6\nf2f3e7e5g2g4d8h4\n");
    EXPECT_EQ(run_tool("pelvat_pgn in.pgn s.txt s k ! 1 3", "s.txt"),
              "[TimeControl \"40/7200\"]\n\ne4 e5! Nf3 \n\n[ECO \"B90\"]\n\ne4 c5! Nf3 \n\n"
              "[TimeControl \"180+2\"]\n\nf3 e5! g4?? \n\n");
    EXPECT_EQ(run_tool("mq_pgn in.pgn mq.pgn", "mq.pgn").substr(0, 40),
              "[Site \"\"]\n\ne4 e5 Nf3 Nc6 Bb5 a6 \n\n[Site ");
}

TEST(PgnTools, OpeningReportsSkipUnknownCodes) {
    fresh_book_game();
    work_folder folder;
    write_file("in.pgn", GAMES);
    output_capture out;
    // Game 1 has "Z99" and game 3 "A1": neither is a code of the tables.
    const std::string report = run_tool("vadro_pgn in.pgn s.txt s", "s.txt");
    EXPECT_EQ(report,
              "Opening performance of Orvik as White\n\n\n"
              "Opening performance of Orvik as Black\n\n"
              "   B90: +0     =1     -0     ( 50.00% in      1 games)\n"
              "  B9X:  +0     =1     -0     ( 50.00% in      1 games)\n"
              " BXX:   +0     =1     -0     ( 50.00% in      1 games)\n"
              "Black: +0     =1     -0     ( 50.00% in      1 games)\n\n");
    const std::string stats = run_tool("vadro_pgn in.pgn m.txt m", "m.txt");
    EXPECT_EQ(stats, " B90    1 b=   0.5 -   0.5 ( 50.00%)    0    0    0    0    1    0\n");

    const struct {
        const char* text;
        int value;
    } controls[] = {{"40/7200", 10800}, {"180+2", 300}, {"60 600 +0 20 200", 600}, {"300", 300}, {"1/100000", 30000},
                    {"?", -1},          {"", -1}};
    for (const auto& c : controls) EXPECT_EQ(time_control_value(c.text), c.value) << c.text;
    EXPECT_TRUE(eco_code_valid("E99"));
    EXPECT_FALSE(eco_code_valid("F00"));
    EXPECT_FALSE(eco_code_valid("A1"));
}

TEST(PgnTools, EpdLinesFromParComments) {
    fresh_book_game();
    work_folder folder;
    write_file("in.pgn", "[White \"A\"]\n[Black \"B\"]\n\n1. e4 {[%eval] ; Par = 15 d4=10, Nf3=-5]} e5 {no list} *\n");
    output_capture out;
    EXPECT_EQ(run_tool("vadro_pgn in.pgn e.epd j", "e.epd"), "");
    write_file("in.pgn",
               "[White \"A\"]\n[Black \"B\"]\n\n1. e4 {[ ; Par = 15 d4=10, Nf3=-5]} e5 {no list} "
               "2. Nf3 {[Par=3 Nc3=1]} *\n");
    EXPECT_EQ(run_tool("vadro_pgn in.pgn e.epd j", "e.epd"),
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - bm e4 d4 Nf3; c1 \"15 10 -5\"; id \"1w A-B\";\n"
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - bm Nf3 Nc3; c1 \"3 1\"; id \"2w A-B\";\n");
}
