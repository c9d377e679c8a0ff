// Waiting in the tests that run no event loop of their own (the end-to-end tests) for
// the state they need (a line, a file, a window, a port, a value of the program's state
// line) instead of sleeping a fixed time: the condition is asked again every `paso`
// until it holds or the deadline passes. Tests on Qt's event loop wait the same way with
// QTest::qWaitFor. The deadlines are generous, since the machine that runs the tests may
// be loaded.
#pragma once

#include <chrono>
#include <thread>

namespace testsupport {

// A deadline for a state that comes in a moment on an idle machine.
inline constexpr std::chrono::seconds kEsperaLarga{90};

// True as soon as `condicion()` holds; false when it still fails at the deadline.
template <class Condicion>
bool Hasta(Condicion&& condicion, std::chrono::milliseconds espera = kEsperaLarga,
           std::chrono::milliseconds paso = std::chrono::milliseconds(50)) {
    const auto fin = std::chrono::steady_clock::now() + espera;
    for (;;) {
        if (condicion()) return true;
        if (std::chrono::steady_clock::now() >= fin) return false;
        std::this_thread::sleep_for(paso);
    }
}

}  // namespace testsupport
