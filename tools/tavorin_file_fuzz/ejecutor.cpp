#include "ejecutor.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace fuzz_ficheros {

namespace {

// A field of /proc/<pid>/status in kB.
long EstadoKb(pid_t pid, const std::string& campo) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    for (std::string linea; std::getline(f, linea);)
        if (linea.rfind(campo + ":", 0) == 0) return std::atol(linea.c_str() + campo.size() + 1);
    return 0;
}

std::string SinDirecciones(std::string linea) {
    static const std::regex kDireccion("0x[0-9a-fA-F]+");
    static const std::regex kProceso("==[0-9]+==");
    static const std::regex kHilo("thread T[0-9]+");
    linea = std::regex_replace(linea, kDireccion, "0x");
    linea = std::regex_replace(linea, kProceso, "");
    return std::regex_replace(linea, kHilo, "thread T");
}

bool Contiene(const std::string& s, const char* t) { return s.find(t) != std::string::npos; }

}  // namespace

std::string ClaveSanitizer(const std::vector<std::string>& lineas) {
    std::string primera, marco;
    for (const std::string& l : lineas) {
        if (primera.empty() && (Contiene(l, "ERROR: AddressSanitizer") || Contiene(l, "ERROR: LeakSanitizer") ||
                                Contiene(l, "runtime error:") || Contiene(l, "WARNING: AddressSanitizer"))) {
            primera = SinDirecciones(l);
            continue;
        }
        // The first frame in the program's own sources.
        if (!primera.empty() && marco.empty() && Contiene(l, " in ") &&
            (Contiene(l, "/gui/") || Contiene(l, "/tools/") || Contiene(l, "/tests/"))) {
            marco = SinDirecciones(l.substr(l.find(" in ") + 4));
            break;
        }
    }
    if (primera.empty()) return {};
    return marco.empty() ? primera : primera + " | " + marco;
}

Trabajador::Trabajador(std::string programa, LimitesTrabajador limites)
    : programa_(std::move(programa)), limites_(limites) {}

Trabajador::~Trabajador() { proceso_.kill(); }

std::optional<std::string> Trabajador::Arrancar(bool aparte) {
    std::vector<std::string> entorno = {"QT_QPA_PLATFORM=offscreen"};
    // Leaks of the libraries under Tavorin are not its own (lsan.supp says which).
    if (!limites_.supresiones.empty()) {
        const char* antes = std::getenv("LSAN_OPTIONS");
        entorno.push_back("LSAN_OPTIONS=" + std::string(antes ? antes : "") + (antes && *antes ? ":" : "") +
                          "suppressions=" + limites_.supresiones);
    }
    std::vector<std::string> argumentos = {"--worker"};
    if (aparte) argumentos.push_back("--alone");
    if (!proceso_.start(programa_, argumentos, {}, entorno)) return "cannot start " + programa_;
    return std::nullopt;
}

std::string Trabajador::ErroresRecientes() const {
    std::vector<std::string> lineas = const_cast<testsupport::ChildProcess&>(proceso_).errorLines();
    std::ostringstream s;
    const size_t desde = lineas.size() > 200 ? lineas.size() - 200 : 0;
    for (size_t i = desde; i < lineas.size(); ++i) s << lineas[i] << "\n";
    return s.str();
}

Hallazgo Trabajador::Caido(const std::string& que) {
    // Whatever it still writes, then its status.
    const std::optional<int> estado = proceso_.waitExit(std::chrono::seconds(30));
    const std::vector<std::string> errores = proceso_.errorLines();
    Hallazgo h;
    h.informe = que + "\n" + ErroresRecientes();
    if (std::string clave = ClaveSanitizer(errores); !clave.empty()) {
        h.clase = "sanitizer";
        h.clave = clave;
    } else if (!estado) {
        proceso_.kill();
        h.clase = "hang";
        h.clave = "the worker does not end";
    } else if (*estado >= 128) {
        h.clase = "signal";
        h.clave = "signal " + std::to_string(*estado - 128);
    } else {
        h.clase = "exit status";
        h.clave = "exit status " + std::to_string(*estado);
    }
    return h;
}

Respuesta Trabajador::Abrir(const std::string& palabra, std::uint64_t semillaAcciones, const std::string& ruta,
                            size_t tamano) {
    Respuesta r;
    mayor_ = std::max(mayor_, tamano);
    if (!proceso_.writeLine(palabra + " " + std::to_string(semillaAcciones) + " " + ruta)) {
        r.vivo = false;
        r.hallazgo = Caido("the worker took no more input");
        return r;
    }
    const auto desde = std::chrono::steady_clock::now();
    const std::optional<std::string> linea = proceso_.readLine(limites_.espera);
    if (!linea) {
        r.vivo = false;
        // Its output ended before the time was up: it is ending (a crash), not stuck,
        // even while the system has not yet seen it end.
        if (std::chrono::steady_clock::now() - desde >= limites_.espera) {
            Hallazgo h;
            h.clase = "hang";
            h.clave = "no answer on a " + palabra.substr(0, palabra.find(':')) + " case";
            proceso_.kill();
            h.informe = "no answer within " + std::to_string(limites_.espera.count()) + " ms\n" + ErroresRecientes();
            r.hallazgo = h;
        } else {
            r.hallazgo = Caido("the worker ended on this file");
        }
        return r;
    }
    ++ficheros_;
    r.picoKb = EstadoKb(proceso_.pid(), "VmHWM");
    std::istringstream s(*linea);
    std::string respuesta;
    s >> respuesta;
    if (respuesta == "diff") {
        r.hallazgo = Hallazgo{"navigation", linea->substr(5), *linea};
        return r;
    }
    if (respuesta == "lost") {
        // One fault, whatever the sizes and the room of the case.
        static const std::regex kCifras("-?[0-9]+");
        r.hallazgo = Hallazgo{"file", std::regex_replace(linea->substr(5), kCifras, "N"), *linea};
        return r;
    }
    if (respuesta == "end") {
        r.vivo = false;
        r.hallazgo = Hallazgo{"program end", *linea, *linea + "\n" + ErroresRecientes()};
        proceso_.kill();
        return r;
    }
    s >> r.ms >> r.monton;
    if (ficheros_ == limites_.calentamiento) base_ = r.monton;
    const unsigned long long tope = base_ + limites_.crecimiento + limites_.porByte * mayor_;
    if (ficheros_ > limites_.calentamiento && r.monton > tope && !crecimientoVisto_) {
        crecimientoVisto_ = true;
        r.hallazgo =
            Hallazgo{"memory", "the heap grows from file to file",
                     "heap " + std::to_string(r.monton >> 20) + " MB after " + std::to_string(ficheros_) + " files, " +
                         std::to_string(base_ >> 20) + " MB after " + std::to_string(limites_.calentamiento)};
    } else if (r.picoKb > limites_.picoKb) {
        r.vivo = false;
        r.hallazgo = Hallazgo{"memory", "peak memory above " + std::to_string(limites_.picoKb >> 10) + " MB",
                              "peak " + std::to_string(r.picoKb >> 10) + " MB"};
        proceso_.kill();
    }
    return r;
}

std::optional<Hallazgo> Trabajador::Terminar() {
    if (!proceso_.running()) return std::nullopt;
    proceso_.closeInput();
    const std::optional<int> estado = proceso_.waitExit(limites_.espera);
    if (estado && *estado == 0 && ClaveSanitizer(proceso_.errorLines()).empty()) return std::nullopt;
    if (!estado) proceso_.kill();
    Hallazgo h = Caido("at the worker's end");
    if (!estado) {
        h.clase = "hang";
        h.clave = "the worker does not end";
    }
    return h;
}

}  // namespace fuzz_ficheros
