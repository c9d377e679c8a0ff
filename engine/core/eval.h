// Static evaluation.
#pragma once

// Builds the evaluation tables once at start-up.
void eval_init();
