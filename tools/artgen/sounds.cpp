#include "sounds.h"

#include "raster.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace artgen {
namespace {

constexpr int kRate = 22050;

struct Signal {
    std::vector<double> samples;
    explicit Signal(double seconds) : samples(size_t(seconds * kRate), 0.0) {}

    // A struck note: partials (ratio, level) under one exponential decay,
    // with a few milliseconds of attack so it starts without a click.
    void note(double start, double freq, double level, double decay,
              std::initializer_list<std::pair<double, double>> partials) {
        const size_t first = size_t(start * kRate);
        for (size_t i = first; i < samples.size(); ++i) {
            const double t = double(i - first) / kRate;
            const double attack = std::min(1.0, t / 0.004);
            const double env = attack * std::exp(-t / decay);
            if (env < 1e-4 && t > 0.01) break;
            double v = 0;
            for (const auto& [ratio, amp] : partials)
                v += amp * std::sin(2 * M_PI * freq * ratio * t) * std::exp(-t * (ratio - 1) * 2.0);
            samples[i] += level * env * v;
        }
    }

    // A short beep with a flat top and soft edges (odd partials, gently).
    void beep(double start, double length, double freq, double level) {
        const size_t first = size_t(start * kRate);
        const size_t count = size_t(length * kRate);
        for (size_t k = 0; k < count && first + k < samples.size(); ++k) {
            const double t = double(k) / kRate;
            const double edge = std::min({1.0, t / 0.006, (length - t) / 0.012});
            const double v = std::sin(2 * M_PI * freq * t) + 0.22 * std::sin(2 * M_PI * 3 * freq * t) +
                             0.07 * std::sin(2 * M_PI * 5 * freq * t);
            samples[first + k] += level * std::max(0.0, edge) * v;
        }
    }

    // Filtered noise with a fast decay: the knock of wood on wood.
    void knock(double start, double level, double decay, double smoothing, unsigned seed) {
        const size_t first = size_t(start * kRate);
        double low = 0;
        unsigned state = seed;
        for (size_t i = first; i < samples.size(); ++i) {
            const double t = double(i - first) / kRate;
            state = state * 1664525u + 1013904223u;
            const double white = double(state >> 8) / double(1u << 24) * 2.0 - 1.0;
            low += smoothing * (white - low);
            samples[i] += level * std::exp(-t / decay) * low;
        }
    }

    void write(const QString& path, double loudness) const {
        double peak = 1e-9;
        for (double v : samples) peak = std::max(peak, std::abs(v));
        const double gain = loudness * 32767.0 / peak;
        std::vector<int16_t> pcm(samples.size());
        for (size_t i = 0; i < samples.size(); ++i) {
            // A 5 ms fade at the end, so the file never stops on a step.
            const double tail = std::min(1.0, double(samples.size() - i) / (0.005 * kRate));
            pcm[i] = int16_t(std::lround(samples[i] * gain * tail));
        }
        QByteArray data;
        auto u32 = [&](uint32_t v) {
            for (int k = 0; k < 4; ++k) data.append(char((v >> (8 * k)) & 0xff));
        };
        auto u16 = [&](uint16_t v) {
            data.append(char(v & 0xff));
            data.append(char(v >> 8));
        };
        const uint32_t bytes = uint32_t(pcm.size() * 2);
        data.append("RIFF");
        u32(36 + bytes);
        data.append("WAVE");
        data.append("fmt ");
        u32(16);
        u16(1);  // PCM
        u16(1);  // mono
        u32(kRate);
        u32(kRate * 2);  // bytes per second
        u16(2);          // block align
        u16(16);         // bits per sample
        data.append("data");
        u32(bytes);
        for (int16_t s : pcm) u16(uint16_t(s));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
    }
};

const std::initializer_list<std::pair<double, double>> kBell{{1.0, 1.0}, {2.0, 0.32}, {3.0, 0.10}, {4.2, 0.05}};

}  // namespace

void writeSounds(const QString& folder) {
    ensureFolder(folder);

    // Connection made: two rising bell notes.
    Signal connected(0.8);
    connected.note(0.00, 659.26, 0.8, 0.16, kBell);
    connected.note(0.13, 987.77, 0.9, 0.20, kBell);
    connected.write(folder + "/Conexion.wav", 0.8);

    // Connection lost: the same two notes falling, softer and lower.
    Signal lost(0.8);
    lost.note(0.00, 493.88, 0.8, 0.15, kBell);
    lost.note(0.14, 329.63, 0.9, 0.20, kBell);
    lost.write(folder + "/Desconectado.wav", 0.75);

    // A move: a piece set down on a wooden board.
    Signal move(0.12);
    move.note(0.0, 420.0, 0.7, 0.018, {{1.0, 1.0}, {2.76, 0.45}});
    move.note(0.0, 1150.0, 0.25, 0.008, {{1.0, 1.0}});
    move.knock(0.0, 0.55, 0.006, 0.35, 7u);
    move.write(folder + "/Mueve.wav", 0.7);

    // Checkmate: a bright rising arpeggio ending on a held chord.
    Signal mate(1.8);
    const double arp[] = {523.25, 659.26, 783.99, 1046.50};
    for (int i = 0; i < 4; ++i) mate.note(0.11 * i, arp[i], 0.7, i == 3 ? 0.45 : 0.25, kBell);
    mate.note(0.44, 523.25, 0.35, 0.4, kBell);
    mate.note(0.44, 659.26, 0.30, 0.4, kBell);
    mate.note(0.44, 783.99, 0.30, 0.4, kBell);
    mate.write(folder + "/Gana.wav", 0.8);

    // Flag fall: three short alarm beeps.
    Signal time(0.62);
    for (int i = 0; i < 3; ++i) time.beep(0.04 + i * 0.19, 0.11, 1318.5, 0.6);
    time.write(folder + "/Tiempo.wav", 0.5);
}

}  // namespace artgen
