#include "orvik_referencia.h"

#include <cctype>
#include <vector>

#include "core/board.h"
#include "core/fen.h"
#include "core/makemove.h"
#include "core/movegen.h"
#include "core/movetext.h"
#include "core/output.h"

namespace rules_test {

namespace {

void Tablas() {
    static bool hechas = false;
    if (hechas) return;
    hechas = true;
    init_output_levels();
    output_levels[LVL_NORMAL] = 0;
    init_geometry_tables();
    init_ray_tables();
    init_zobrist_keys();
}

std::string Coordenadas(uint32_t m) {
    std::string s = move_to_coordinates(m);
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<uint32_t> Legales(int lado) {
    std::vector<move_list_entry> lista(256);
    lista.resize(size_t(generate_moves(lado, 0, lista.data())));
    std::vector<uint32_t> legales;
    for (const auto& e : lista) {
        make_move(lado, e.move);
        if (!in_check(lado)) legales.push_back(e.move);
        unmake_move(lado, e.move);
    }
    return legales;
}

}  // namespace

int OrvikPosicion(const std::string& fen) {
    Tablas();
    int lado = -1;
    if (parse_fen(fen, &lado, false) != 0) return -1;
    return lado;
}

std::set<std::string> OrvikJugadas(int lado) {
    std::set<std::string> jugadas;
    for (uint32_t m : Legales(lado)) jugadas.insert(Coordenadas(m));
    return jugadas;
}

bool OrvikEnJaque(int lado) { return in_check(lado); }

bool OrvikHacer(int lado, const std::string& uci) {
    for (uint32_t m : Legales(lado))
        if (Coordenadas(m) == uci) {
            make_move(lado, m);
            return true;
        }
    return false;
}

Veredicto OrvikTrasJugada(int lado, const std::string& uci) {
    Veredicto v;
    for (uint32_t m : Legales(lado)) {
        if (Coordenadas(m) != uci) continue;
        make_move(lado, m);
        const int rival = 1 - lado;
        v.jaque = in_check(rival);
        const bool ninguna = Legales(rival).empty();
        v.mate = v.jaque && ninguna;
        v.ahogado = !v.jaque && ninguna;
        unmake_move(lado, m);
        break;
    }
    return v;
}

std::string DiferenciaConOrvik(const rules::Reglas& r) {
    // Rules' piece codes 1..6: pawn, rook, knight, bishop, queen, king.
    static const uint32_t kClase[7] = {EMPTY, PAWN, ROOK, KNIGHT, BISHOP, QUEEN, KING};
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) {
            const int sq = (y - 1) * 8 + (x - 1);
            const int c = r.Casillas[x][y];
            const uint32_t clase = c == 0 ? uint32_t(EMPTY) : kClase[rules::EsBlanca(c) ? c : c - 6];
            const uint32_t color = c == 0 ? uint32_t(NO_COLOR) : rules::EsBlanca(c) ? uint32_t(WHITE) : uint32_t(BLACK);
            if (board.piece[sq] != clase || board.color[sq] != color)
                return "square " + std::string{char('a' + x - 1), char('0' + y)};
        }
    const uint32_t derechos = board.castling_rights;
    if (bool(derechos & CASTLE_WHITE_SHORT) == r.TorreH1Movida) return "White's king-side right";
    if (bool(derechos & CASTLE_WHITE_LONG) == r.TorreA1Movida) return "White's queen-side right";
    if (bool(derechos & CASTLE_BLACK_SHORT) == r.TorreH8Movida) return "Black's king-side right";
    if (bool(derechos & CASTLE_BLACK_LONG) == r.TorreA8Movida) return "Black's queen-side right";
    return "";
}

}  // namespace rules_test
