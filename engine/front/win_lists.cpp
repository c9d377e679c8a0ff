// Win lists.
#include "front/win_lists.h"

void update_win_lists() {}
