// The worker of the file fuzzer (the same program, started with --worker): Tavorin's
// windows offscreen, opening the files the fuzzer names on its standard input.
#pragma once

namespace fuzz_ficheros {

// Runs the worker until its input ends; its exit status.
int Trabajar(int argc, char** argv);

}  // namespace fuzz_ficheros
