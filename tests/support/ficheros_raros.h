// What the tests put where a program's files should be, and the full disk they write on.
//
// DiscoLleno: while it lives, every file the process writes holds `bytes` bytes at most
// (the file-size limit): a write past them fails as it does on a full disk, and so does
// the flush of what a buffer held back. Unlike a full disk it also refuses rewriting
// bytes already there beyond the limit, which only makes it stricter.
//
// VigiaFifo: a FIFO that tells whether anyone opened it to read. A reader that opens it
// (and would wait there for ever for a writer) is let go at once with an empty read,
// and counted.
//
// NodoNulo: a character device of its own that swallows what is written and reads
// empty (the system's null device, numbers 1 and 3), made where the test says; false
// where the system does not let the test make device nodes.
#pragma once

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

class DiscoLleno {
public:
    explicit DiscoLleno(rlim_t bytes = 0) {
        previa_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &antes_);
        rlimit r = antes_;
        r.rlim_cur = std::min(bytes, antes_.rlim_max);
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    ~DiscoLleno() {
        ::setrlimit(RLIMIT_FSIZE, &antes_);
        std::signal(SIGXFSZ, previa_);
    }
    DiscoLleno(const DiscoLleno&) = delete;
    DiscoLleno& operator=(const DiscoLleno&) = delete;

private:
    rlimit antes_{};
    void (*previa_)(int) = SIG_DFL;
};

class VigiaFifo {
public:
    explicit VigiaFifo(std::string ruta) : ruta_(std::move(ruta)) {
        hecha_ = ::mkfifo(ruta_.c_str(), 0644) == 0;
        hilo_ = std::thread([this] {
            while (!parar_) {
                const int fd = ::open(ruta_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    abierta_ = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~VigiaFifo() {
        parar_ = true;
        hilo_.join();
    }
    VigiaFifo(const VigiaFifo&) = delete;
    VigiaFifo& operator=(const VigiaFifo&) = delete;

    bool Hecha() const { return hecha_; }
    bool Abierta() const { return abierta_; }

private:
    std::string ruta_;
    bool hecha_ = false;
    std::atomic<bool> parar_{false}, abierta_{false};
    std::thread hilo_;
};

inline bool NodoNulo(const std::string& ruta) { return ::mknod(ruta.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0; }

// The kind of what stands at `ruta` itself ('l' link, 'p' FIFO, 'c' device, 'd' folder,
// 'f' regular file, '-' nothing), and that of what it leads to after a colon for a link.
inline std::string Clase(const std::string& ruta) {
    auto letra = [](mode_t m) {
        return S_ISLNK(m) ? 'l' : S_ISFIFO(m) ? 'p' : S_ISCHR(m) ? 'c' : S_ISDIR(m) ? 'd' : S_ISREG(m) ? 'f' : '?';
    };
    struct stat st {};
    if (::lstat(ruta.c_str(), &st) != 0) return "-";
    std::string clase(1, letra(st.st_mode));
    if (S_ISLNK(st.st_mode)) clase += ::stat(ruta.c_str(), &st) == 0 ? std::string(":") + letra(st.st_mode) : ":-";
    return clase;
}

}  // namespace testsupport
