// Endgame tables and bitbases in the engine's search.
#pragma once

// Points the search's table and bitbase probes at the endgame databases.
void register_egtb_hooks();
