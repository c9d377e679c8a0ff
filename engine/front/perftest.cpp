// Move-generation count.
#include <cstdlib>

#include "core/perft.h"
#include "core/state.h"
#include "front/handlers.h"

int cmd_perftest(const std::string& arg) {
    perftest(std::atoi(arg.c_str()), side_to_move);
    return 0;
}
