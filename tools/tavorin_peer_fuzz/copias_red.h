// The network the two copies play over: each copy in a network namespace of its own
// (started through `unshare -n`), the two namespaces joined by a veth pair. Taking both
// ends of the pair down cuts the link without a close: what either copy sends waits in
// its kernel and goes out again once the ends are up. Where the system allows no such
// thing, both copies share the fuzzer's network and its loopback, and the link cannot
// be cut.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace peerfuzz {

class RedCopias {
public:
    // Empty when this system lets the fuzzer give a process a network of its own and
    // make a veth pair in it; else why not.
    static std::string Probar();
    // The command and its arguments that start a program that ends with the fuzzer (its
    // parent's end kills it), in a network of its own with `propia`.
    static std::vector<std::string> Lanzador(bool propia);
    // The address of copy 0 or 1 on the link.
    static std::string Direccion(int copia);

    // Joins the networks of the two processes and brings the link up. False, with
    // `error`, when the set-up did not take effect: the processes share a network,
    // or the link does not show up.
    bool Unir(pid_t a, pid_t b, std::string& error);
    // Both ends down (or up), and both seen so. False when the link does not follow.
    bool Cortar();
    bool Reponer();
    bool Cortado() const { return cortado_; }

private:
    // `ip` with these arguments in the network of copy i; its output in `salida`.
    bool Ip(int copia, const std::vector<std::string>& argumentos, std::string* salida = nullptr);
    // Waits until both ends show the link up (or down).
    bool Muestra(bool arriba);

    pid_t pid_[2] = {0, 0};
    bool cortado_ = false;
};

}  // namespace peerfuzz
