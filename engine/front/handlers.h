// Command handlers: each takes the argument text after the command word and returns
// a command_code for the command reader (front/commands.h; CMD_READ_ON = read on).
#pragma once

#include <string>

// Settings commands (settings_commands.cpp)
int cmd_st(const std::string& arg);
int cmd_sd(const std::string& arg);
int cmd_ut1(const std::string& arg);
int cmd_ut2(const std::string& arg);
int cmd_hash(const std::string& arg);
int cmd_null_low(const std::string& arg);
int cmd_null_high(const std::string& arg);
int cmd_null_endgame(const std::string& arg);
int cmd_null_split(const std::string& arg);
int cmd_prune(const std::string& arg);
int cmd_qexact(const std::string& arg);
int cmd_deepen(const std::string& arg);
int cmd_fail_low_early(const std::string& arg);
int cmd_window(const std::string& arg);
int cmd_nodes(const std::string& arg);
int cmd_noise(const std::string& arg);
int cmd_book_random(const std::string& arg);
int cmd_book_split(const std::string& arg);
int cmd_book_mode(const std::string& arg);
int cmd_pval(const std::string& arg);
int cmd_rscore(const std::string& arg);
int cmd_rmoves(const std::string& arg);
int cmd_icheck(const std::string& arg);
int cmd_irepcheck(const std::string& arg);
int cmd_irecapture(const std::string& arg);
int cmd_ipawn7(const std::string& arg);
int cmd_inullthreat(const std::string& arg);
int cmd_ionerep(const std::string& arg);
int cmd_ipawne(const std::string& arg);
int cmd_nval(const std::string& arg);
int cmd_tu(const std::string& arg);
int cmd_fritz(const std::string& arg);
int cmd_autokibitz(const std::string& arg);
int cmd_op_info(const std::string& arg);
int cmd_ignore_time(const std::string& arg);
int cmd_eml_mode(const std::string& arg);
int cmd_kids_mode(const std::string& arg);
int cmd_trosk_mode(const std::string& arg);
int cmd_nmoves_inctime(const std::string& arg);
int cmd_tb_usage(const std::string& arg);
int cmd_overwrite_vgm(const std::string& arg);
int cmd_mintime_factor(const std::string& arg);
int cmd_comm_only(const std::string& arg);
int cmd_show_book(const std::string& arg);
int cmd_max_PV_WB(const std::string& arg);
int cmd_max_PV_tellics(const std::string& arg);
int cmd_space_in_PV(const std::string& arg);
int cmd_move_number_in_PV(const std::string& arg);
int cmd_bell(const std::string& arg);
int cmd_min_learn_tc(const std::string& arg);
int cmd_show_eco(const std::string& arg);
int cmd_posentries(const std::string& arg);
int cmd_ignore_system(const std::string& arg);
int cmd_factor(const std::string& arg);

// Time-control commands (time_control.cpp)
int cmd_time(const std::string& arg);
int cmd_xtime(const std::string& arg);
int cmd_otim(const std::string& arg);
int cmd_level(const std::string& arg);
int cmd_at(const std::string& arg);

// Game-control commands (game_control.cpp)
int cmd_display(const std::string& arg);
int cmd_go(const std::string& arg);
int cmd_force(const std::string& arg);
int cmd_auto(const std::string& arg);
int cmd_newgame(const std::string& arg);
int cmd_setboard(const std::string& arg);
int cmd_rv(const std::string& arg);
int cmd_undo(const std::string& arg);
int cmd_remove(const std::string& arg);
int cmd_input(const std::string& arg);
int cmd_edit(const std::string& arg);
int cmd_white(const std::string& arg);
int cmd_black(const std::string& arg);
int cmd_post(const std::string& arg);
int cmd_nopost(const std::string& arg);
int cmd_mn(const std::string& arg);
int cmd_gui(const std::string& arg);
int cmd_analyze(const std::string& arg);
int cmd_exit(const std::string& arg);
int cmd_xdisplay(const std::string& arg);
int cmd_score(const std::string& arg);

// Command reader (commands.cpp)
int cmd_help(const std::string& arg);

// Test suites (test_suites.cpp)
int cmd_test(const std::string& arg);
int cmd_epdtest(const std::string& arg);
int cmd_cooktest(const std::string& arg);

// Speed benchmark and ending tests (benchmark.cpp)
int cmd_speed(const std::string& arg);
int cmd_kbpk(const std::string& arg);
int cmd_xtest(const std::string& arg);

// Log files and games files (logs.cpp)
int cmd_log(const std::string& arg);
int cmd_loga(const std::string& arg);
int cmd_log_path(const std::string& arg);
int cmd_sgames(const std::string& arg);
int cmd_nsgames(const std::string& arg);

// Learning and book-file commands (learning.cpp)
int cmd_book_learn(const std::string& arg);
int cmd_book_holes(const std::string& arg);
int cmd_book_file(const std::string& arg);
int cmd_lbook_file(const std::string& arg);
int cmd_margin_book_learn(const std::string& arg);
int cmd_margin_book_learn_white(const std::string& arg);
int cmd_margin_book_learn_black(const std::string& arg);
int cmd_pos_learn(const std::string& arg);
int cmd_import_pos(const std::string& arg);
int cmd_margin_pos_learn(const std::string& arg);

// xboard dialogue and ICS commands (xboard.cpp)
int cmd_xboard(const std::string& arg);
int cmd_protover(const std::string& arg);
int cmd_use_book(const std::string& arg);
int cmd_resign(const std::string& arg);
int cmd_random(const std::string& arg);
int cmd_result(const std::string& arg);
int cmd_rating(const std::string& arg);
int cmd_ics(const std::string& arg);
int cmd_rem(const std::string& arg);
int cmd_name(const std::string& arg);
int cmd_comment(const std::string& arg);
int cmd_echo(const std::string& arg);
int cmd_event(const std::string& arg);
int cmd_whisper(const std::string& arg);
int cmd_version(const std::string& arg);
int cmd_announce_mate(const std::string& arg);
int cmd_say(const std::string& arg);
int cmd_ping(const std::string& arg);

// Parameter dump (parameters.cpp)
int cmd_parameters(const std::string& arg);

// Position, clock, ICS and log commands (position_cmds.cpp)
int cmd_fen(const std::string& arg);
int cmd_bk(const std::string& arg);
int cmd_read_pgn(const std::string& arg);
int cmd_ponder(const std::string& arg);
int cmd_hint(const std::string& arg);
int cmd_dot(const std::string& arg);
int cmd_reset(const std::string& arg);
int cmd_auto_log(const std::string& arg);
int cmd_wclock(const std::string& arg);
int cmd_bclock(const std::string& arg);
int cmd_clocks(const std::string& arg);
int cmd_easy(const std::string& arg);
int cmd_hard(const std::string& arg);
int cmd_computer(const std::string& arg);
int cmd_win_humans(const std::string& arg);
int cmd_win_computers(const std::string& arg);
int cmd_win_all(const std::string& arg);
int cmd_win_file(const std::string& arg);
int cmd_prompt_human(const std::string& arg);
int cmd_prompt_computer(const std::string& arg);
int cmd_prompt_all(const std::string& arg);

// PGN game records (pgn_record.cpp)
int cmd_ml(const std::string& arg);

// UCI dialogue commands (uci.cpp)
int cmd_uci(const std::string& arg);
int cmd_debug(const std::string& arg);
int cmd_isready(const std::string& arg);
int cmd_ucinewgame(const std::string& arg);
int cmd_setoption(const std::string& arg);
int cmd_position(const std::string& arg);
int cmd_stop(const std::string& arg);

// Move-generation count (perftest.cpp)
int cmd_perftest(const std::string& arg);

// Opening book, opening names and PGN tools (book_commands.cpp)
int cmd_book_parse(const std::string& arg);
int cmd_book_create(const std::string& arg);
int cmd_book_add(const std::string& arg);
int cmd_book_clean(const std::string& arg);
int cmd_eco(const std::string& arg);
int cmd_pelvat_pgn(const std::string& arg);
int cmd_ferrun_pgn(const std::string& arg);
int cmd_mq_pgn(const std::string& arg);
int cmd_vadro_pgn(const std::string& arg);
int cmd_annotate(const std::string& arg);

// Endgame tables and bitbases (egtb_commands.cpp)
int cmd_tbldir(const std::string& arg);
int cmd_egtb_cache(const std::string& arg);
int cmd_create_bitbases(const std::string& arg);
int cmd_bbpath(const std::string& arg);
int cmd_tbb(const std::string& arg);
