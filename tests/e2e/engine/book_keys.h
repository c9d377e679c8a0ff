// The book's position keys worked out apart from the engine: Tavorin's rules play the
// moves, and this copy of the key generator keys the board they leave.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "rules/reglas.h"

namespace book_keys {

// The key table [colour][code][square] as the engine draws it.
inline const std::array<std::array<std::array<uint64_t, 64>, 8>, 2>& table() {
    static const auto keys = [] {
        std::array<std::array<std::array<uint64_t, 64>, 8>, 2> k{};
        uint32_t a = 0x12345678u, b = 0x87654321u;
        auto next = [&] {
            a = 36969u * (a & 0xFFFFu) + (a >> 16);
            b = 18000u * (b & 0xFFFFu) + (b >> 16);
            return (a << 16) + (b & 0xFFFFu);
        };
        for (auto& colour : k)
            for (auto& code : colour)
                for (auto& square : code) {
                    const uint64_t lo = next();
                    const uint64_t hi = next();
                    square = lo | (hi << 32);
                }
        return k;
    }();
    return keys;
}

// A game played with Tavorin's rules, keyed as the engine keys its positions.
class game {
public:
    game() {
        rules_.VariablesCero();
        rules_.MovimientoAnulado();
        rules_.TorreA1Movida = rules_.TorreH1Movida = rules_.TorreA8Movida = rules_.TorreH8Movida = true;
        rules_.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
        rules_.Turno = 1;
    }
    int side() const { return side_; }

    // Key of the position on the board.
    uint64_t key() const {
        // Tavorin's codes: 1 pawn, 2 rook, 3 knight, 4 bishop, 5 queen, 6 king (+6 Black);
        // the engine's: 1 pawn, 2 knight, 3 bishop, 4 rook, 5 queen, 6 king.
        static const int engine_code[7] = {0, 1, 4, 2, 3, 5, 6};
        const auto& k = table();
        uint64_t key = 0;
        for (int x = 1; x <= 8; ++x)
            for (int y = 1; y <= 8; ++y) {
                const int c = rules_.Casillas[x][y];
                if (c == 0) continue;
                const int colour = c > 6 ? 1 : 0;
                key ^= k[colour][engine_code[c - 6 * colour]][(x - 1) + 8 * (y - 1)];
            }
        const unsigned rights = (rules_.TorreA1Movida ? 0u : 1u) | (rules_.TorreH1Movida ? 0u : 2u) |
                                (rules_.TorreA8Movida ? 0u : 4u) | (rules_.TorreH8Movida ? 0u : 8u);
        return key ^ k[0][7][ep_square_ + 1] ^ k[1][7][rights];
    }

    // Plays a SAN token; its 15-bit move word through `move15`. False when refused.
    bool play(const std::string& san, uint32_t* move15 = nullptr) {
        rules_.PgnJugadas.clear();
        rules_.ErrorPgn = false;
        rules_.ComFicha(san, side_ + 1);
        if (rules_.ErrorPgn || rules_.PgnJugadas.size() != 1) return false;
        const std::string& m = rules_.PgnJugadas[0];  // "5254", "57583" with a promotion code
        const int from = (m[0] - '1') + 8 * (m[1] - '1');
        const int to = (m[2] - '1') + 8 * (m[3] - '1');
        static const int promotion_code[7] = {0, 0, 4, 2, 3, 5, 0};
        int promotion = 0;
        if (m.size() > 4) promotion = promotion_code[(std::stoi(m.substr(4)) - 1) % 6 + 1];
        if (move15) *move15 = static_cast<uint32_t>(from | to << 6 | promotion << 12);
        // The en-passant square counts when an enemy pawn stands beside the pawn that
        // has just stepped two squares.
        ep_square_ = -1;
        const int x = m[2] - '0', y = m[3] - '0';
        const int pawn = side_ == 0 ? rules::PeonBlanco : rules::PeonNegro;
        const int enemy = side_ == 0 ? rules::PeonNegro : rules::PeonBlanco;
        if (rules_.Casillas[x][y] == pawn && m[0] == m[2] && (m[1] - m[3] == 2 || m[3] - m[1] == 2)) {
            const bool beside =
                (x > 1 && rules_.Casillas[x - 1][y] == enemy) || (x < 8 && rules_.Casillas[x + 1][y] == enemy);
            if (beside) ep_square_ = (x - 1) + 8 * ((y + (m[1] - '0')) / 2 - 1);
        }
        side_ ^= 1;
        rules_.Turno = side_ + 1;
        return true;
    }

private:
    rules::Reglas rules_;
    int side_ = 0;
    int ep_square_ = -1;
};

}  // namespace book_keys
