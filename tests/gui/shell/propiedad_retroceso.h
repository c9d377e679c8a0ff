// The take-back property: play the moves of a game one by one, then take them all
// back; after each take-back the position, rights, en-passant state, texts, records,
// numbering, turn (and, when asked, the legal moves) equal those before that move.
#pragma once

#include "shell/Retroceso.h"

#include "juego.h"
#include "legales.h"
#include "pgn_partidas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace propiedad {

using rules_test::Jugar;
using rules_test::kInicial;
using rules_test::Preparar;

// The castling flags as "A1 H1 A8 H8", 1 = lost.
inline std::string Torres(const rules::Variables& v) {
    std::string s;
    for (bool t : {v.TorreA1Movida, v.TorreH1Movida, v.TorreA8Movida, v.TorreH8Movida}) s += t ? '1' : '0';
    return s;
}

struct Foto {
    rules::Tablero casillas;
    std::string torres;
    bool alPaso;
    int casillaAlPaso;
    std::array<std::string, 6> textos;
    std::vector<std::string> registros;
    int numero;
    bool negras;
    int turno;
    std::vector<std::string> legales;

    bool operator==(const Foto&) const = default;
};

inline std::vector<std::string> Legales(rules::Reglas& g) {
    // The trial moves write texts and records; they are not the game's.
    const rules::ListaJugadas textos = g.Jugadas;
    std::vector<std::string> v;
    for (const auto& j : rules_test::JugadasAceptadas(g)) v.push_back(j.uci);
    g.Jugadas = textos;
    std::sort(v.begin(), v.end());
    return v;
}

inline Foto Tomar(rules::Reglas& g, bool conLegales) {
    Foto f{g.Casillas,      Torres(g),
           g.AlPasoPosible, g.AlPasoPosible ? g.CasillaAlPaso : 0,
           g.Jugadas.List,  g.Jugadas.List1,
           g.NumeroJugada,  g.NotacionNegras,
           g.Turno,         {}};
    if (conLegales) f.legales = Legales(g);
    return f;
}

inline std::string Diferencia(const Foto& a, const Foto& b) {
    if (a.casillas != b.casillas) return "board";
    if (a.torres != b.torres) return "castling " + a.torres + " / " + b.torres;
    if (a.alPaso != b.alPaso || a.casillaAlPaso != b.casillaAlPaso)
        return "en passant " + std::to_string(a.casillaAlPaso) + " / " + std::to_string(b.casillaAlPaso);
    for (size_t i = 0; i < a.textos.size(); ++i)
        if (a.textos[i] != b.textos[i])
            return "text " + std::to_string(i) + " [" + a.textos[i] + "] / [" + b.textos[i] + "]";
    if (a.registros != b.registros) return "records";
    if (a.numero != b.numero || a.negras != b.negras) return "numbering";
    if (a.turno != b.turno) return "turn";
    if (a.legales != b.legales) return "legal moves";
    return {};
}

// Plays the moves one by one (each given as a function that plays it), then takes
// them all back, comparing each position with the one before its move.
template <class Jugada>
void IdaYVuelta(rules::Reglas& g, size_t jugadas, Jugada&& jugar, bool conLegales, const std::string& nombre) {
    std::vector<Foto> fotos;
    std::vector<std::string> hechas;
    for (size_t i = 0; i < jugadas; ++i) {
        fotos.push_back(Tomar(g, conLegales));
        std::string hecha;
        if (!jugar(i, hecha)) break;
        hechas.push_back(hecha);
    }
    ASSERT_EQ(g.Jugadas.List1.size(), hechas.size()) << nombre;
    for (size_t i = hechas.size(); i-- > 0;) {
        ASSERT_TRUE(retroceso::Retroceder(g)) << nombre << " move " << i;
        const std::string d = Diferencia(Tomar(g, conLegales), fotos[i]);
        ASSERT_EQ(d, "") << nombre << ": taking back move " << i + 1 << " (" << hechas[i] << ")";
    }
}

// Every `paso`-th game; the legal moves are compared in every `cadaLegales`-th game.
inline void PartidasEco(size_t paso, size_t cadaLegales) {
    const auto partidas = rules_test::LeerPartidasPgn(std::string(TAVORIN_TEST_DATA) + "/eco.pgn");
    ASSERT_EQ(partidas.size(), 2014u);
    for (size_t n = 0; n < partidas.size(); n += paso) {
        const auto& p = partidas[n];
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, kInicial));
        const bool legales = n % cadaLegales == 0;
        IdaYVuelta(
            g, p.tokens.size(),
            [&](size_t i, std::string& hecha) {
                const int lado = g.Turno;
                g.ErrorPgn = false;
                g.ComFicha(p.tokens[i], lado);
                g.MovimientoAnulado();
                if (g.ErrorPgn) return false;
                g.Turno = lado == 1 ? 2 : 1;
                hecha = p.tokens[i];
                return true;
            },
            legales, "game " + std::to_string(n) + " (" + p.eco + ")");
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_EQ(g.Jugadas.List1.size(), 0u);
    }
}

// Random games from positions rich in castling, en passant and promotions.
inline void PartidasAlAzar(int cuantas, size_t largo) {
    const char* const inicios[] = {
        kInicial,
        "r3k2r/pppq1ppp/2np1n2/2b1p1B1/2B1P1b1/2NP1N2/PPPQ1PPP/R3K2R w KQkq - 0 1",
        "r3k2r/1P4P1/8/2pP4/5pP1/8/1p4p1/R3K2R w KQkq c6 0 1",
        "4k3/PPP5/8/8/8/8/5ppp/4K3 w - - 0 1",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 1",
    };
    std::mt19937 azar(20240517);
    for (int n = 0; n < cuantas; ++n) {
        const char* fen = inicios[n % std::size(inicios)];
        rules::Reglas g;
        ASSERT_TRUE(Preparar(g, fen));
        IdaYVuelta(
            g, largo,
            [&](size_t, std::string& hecha) {
                const auto legales = Legales(g);
                if (legales.empty()) return false;
                hecha = legales[azar() % legales.size()];
                return Jugar(g, hecha).valido;
            },
            true, "random game " + std::to_string(n) + " from " + fen);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace propiedad
