// The UCI options: one row each, read by the "uci" reply (which announces them) and by
// setoption (which finds a row by its name and hands it the value).
#pragma once

#include <string>

enum class uci_option_type { check, spin, combo, string, button };

struct uci_option {
    const char* name;
    uci_option_type type;
    bool announced = true;                            // listed in the reply; false: setoption takes it all the same
    const char* default_text = nullptr;               // the default as announced; null: `current` gives it
    int (*current)() = nullptr;                       // the setting announced as default (check: true when non-zero)
    long min = 0, max = 0;                            // spin range
    long (*max_now)() = nullptr;                      // spin: range end found at the reply (instead of `max`)
    bool default_first = false;                       // spin: "default D min A max B" (else the default last)
    const char* const* choices = nullptr;             // combo: the values, ending in null
    void (*set)(const std::string& value) = nullptr;  // takes the value text (a button: empty)
};

// The rows in the order of the reply.
extern const uci_option uci_options[];
extern const int uci_option_count;

// The reply's line for an option, without its line end.
std::string uci_option_line(const uci_option& option);
// The row whose name begins the setoption argument ("name <option> ..."), or null.
// `value` receives the text after "value" and `has_value` whether that word came.
const uci_option* find_uci_option(const std::string& arg, std::string* value, bool* has_value);
// The value of a boolean option: "true" in any case at its start.
bool uci_boolean(const std::string& value);
