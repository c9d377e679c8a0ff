// emd_encoder <table file> <compressed file>: writes the compressed form of a table.
#include <cstdio>
#include <vector>

#include "emd_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: emd_encoder <table file> <compressed file>\n");
        return 1;
    }
    FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "emd_encoder: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) data.insert(data.end(), buf, buf + n);
    std::fclose(in);
    const std::vector<uint8_t> out = emd_encode(data);
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "emd_encoder: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %zu bytes, %zu compressed\n", argv[1], data.size(), out.size());
    return 0;
}
