// The engine's main routine.
#pragma once

// Release label shown by the banner, the xboard name feature, the UCI id and the ICS
// greeting (the version command extends it).
extern char release_label[256];

// Start-up, the game loop until it asks to end, shut-down. One optional argument names
// the script file (orvik.ini otherwise).
int engine_main(int argc, char** argv);
// Hooks of the search core into the interpreter.
void register_core_hooks();
