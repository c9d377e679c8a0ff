// Move-generation count.
#include "core/perft.h"
#include "core/state.h"
#include "front/handlers.h"
#include "front/settings_args.h"

int cmd_perftest(const std::string& arg) {
    perftest(read_integer_arg(arg), side_to_move);
    return 0;
}
