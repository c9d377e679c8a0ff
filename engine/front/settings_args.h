// Argument readers of the settings commands and small helpers they share with the
// UCI options and the parameter dump.
#pragma once

#include <string>

// Decimal whole number after blanks (no digits: 0), limited to the int range.
int read_integer_arg(const std::string& arg);
// Decimal real number after blanks (no digits: 0.0).
double read_real_arg(const std::string& arg);
// Real number of plies stored in 1/64 ply, truncated toward zero; `typed` gets the number read.
int read_plies_arg(const std::string& arg, double* typed = nullptr);
// Settings in 1/64 ply (null-move reductions, extensions) stay within +-64 plies, so that
// the search's sums of depths and extensions cannot overflow.
constexpr int PLIES_SETTING_LIMIT = 64 * 64;
int limit_plies_setting(int sixty_fourths);
// Real number with an optional k/K (thousands) or m/M (millions) after it; a value
// outside the signed 32-bit range gives `fallback`.
long read_count_arg(const std::string& arg, long fallback);
// The same number without a limit of range.
double read_count_value(const std::string& arg);

// Quiescence mask of a qexact value, and the names of its bits.
int qsearch_mask_for(int qexact_value);
std::string qsearch_mask_text(int mask);
