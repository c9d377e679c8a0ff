// The file fuzzer's watch over its worker: the key of a sanitizer report, and each
// fault the short run must fail on (a crash, a worker that stops answering, a heap
// that grows from file to file, a good file that loses bytes) found and named, with the
// fuzzer failing.
#include "ejecutor.h"

#include "child_process.h"

#include <gtest/gtest.h>

namespace {

using namespace fuzz_ficheros;

TEST(FileFuzzWatch, TheKeyOfASanitizerReport) {
    const std::vector<std::string> informe = {
        "some output",
        "==12345==ERROR: AddressSanitizer: heap-buffer-overflow on address 0x602000000a1f at pc 0x55d3 bp 0x7ffc",
        "READ of size 1 at 0x602000000a1f thread T0",
        "    #0 0x7f1 in __interceptor_memcpy ../../src/libsanitizer/asan/asan_interceptors.cpp:827",
        "    #1 0x55d in pgn::SepararJugadas(std::basic_string_view<char>) /work/x/gui/files/PgnLector.cpp:231",
        "    #2 0x55e in LeerMovimientosPgn(QString const&) /work/x/gui/files/PgnAbrir.cpp:180",
    };
    EXPECT_EQ(ClaveSanitizer(informe),
              "ERROR: AddressSanitizer: heap-buffer-overflow on address 0x at pc 0x bp 0x | "
              "pgn::SepararJugadas(std::basic_string_view<char>) /work/x/gui/files/PgnLector.cpp:231");
    EXPECT_EQ(ClaveSanitizer({"x.cpp:10:5: runtime error: signed integer overflow"}),
              "x.cpp:10:5: runtime error: signed integer overflow");
    EXPECT_EQ(ClaveSanitizer({"QWidget: nothing to see", "This plugin does not support raise()"}), "");
}

// The fuzzer's output with its worker failing the way FUZZ_FALLO names.
std::string Correr(const std::string& fallo, const std::vector<std::string>& argumentos, int& estado) {
    testsupport::ChildProcess p;
    std::vector<std::string> args = {"--seed", "1", "--jobs", "1"};
    args.insert(args.end(), argumentos.begin(), argumentos.end());
    EXPECT_TRUE(p.start(TAVORIN_FILE_FUZZ, args, {}, {"QT_QPA_PLATFORM=offscreen", "FUZZ_FALLO=" + fallo}));
    std::string salida;
    while (auto l = p.readLine(std::chrono::seconds(120))) salida += *l + "\n";
    estado = p.waitExit(std::chrono::seconds(60)).value_or(-1);
    return salida;
}

TEST(FileFuzzWatch, ACrashIsFoundAndFailsTheRun) {
    int estado = 0;
    const std::string salida = Correr("senal", {"--files", "2"}, estado);
    EXPECT_EQ(estado, 1) << salida;
    // The sanitizer build reports the signal itself.
    EXPECT_TRUE(salida.find("(signal) in case 0") != std::string::npos ||
                salida.find("(sanitizer) in case 0") != std::string::npos)
        << salida;
}

TEST(FileFuzzWatch, AWorkerThatStopsAnsweringIsFoundAndFailsTheRun) {
    int estado = 0;
    const std::string salida = Correr("cuelgue", {"--files", "1", "--stall", "3"}, estado);
    EXPECT_EQ(estado, 1) << salida;
    EXPECT_NE(salida.find("(hang) in case 0"), std::string::npos) << salida;
}

TEST(FileFuzzWatch, AHeapGrowingFromFileToFileIsFoundAndFailsTheRun) {
    int estado = 0;
    const std::string salida = Correr("crece", {"--files", "8", "--warmup", "1", "--growth", "8"}, estado);
    EXPECT_EQ(estado, 1) << salida;
    EXPECT_NE(salida.find("(memory)"), std::string::npos) << salida;
    EXPECT_NE(salida.find("the heap grows from file to file"), std::string::npos) << salida;
}

// The worker cuts a good file of its program folder short while a case of a writer or
// of a start and exit runs (case 1 of seed 1 is one).
TEST(FileFuzzWatch, AGoodFileThatLosesBytesIsFoundAndFailsTheRun) {
    int estado = 0;
    const std::string salida = Correr("pierde", {"--files", "2"}, estado);
    EXPECT_EQ(estado, 1) << salida;
    EXPECT_NE(salida.find("(file) in case 1"), std::string::npos) << salida;
    EXPECT_NE(salida.find("English.lng held"), std::string::npos) << salida;
}

}  // namespace
