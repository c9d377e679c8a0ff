#include <thread>
template <class C>
bool Hasta(C c) {
    while (!c()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return true;
}
