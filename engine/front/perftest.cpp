// Move-generation count.
#include "core/input.h"
#include "core/perft.h"
#include "core/state.h"
#include "front/commands.h"
#include "front/handlers.h"
#include "front/settings_args.h"

int cmd_perftest(const std::string& arg) {
    // A script's next lines wait for the count; "?" and "quit" stop it.
    const batch_run run;
    perftest(read_integer_arg(arg), side_to_move);
    return CMD_READ_ON;
}
