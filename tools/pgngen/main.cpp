// pgngen: writes random legal games as a PGN file through Tavorin's rules and PGN
// writer, with the coded moves of each game (one game a line) beside it.
//
//   pgngen GAMES SEED OUT.pgn MOVES.txt [MAX_HALF_MOVES]
#include "partida_aleatoria.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::cerr << "usage: pgngen GAMES SEED OUT.pgn MOVES.txt [MAX_HALF_MOVES]\n";
        return 2;
    }
    const int partidas = std::atoi(argv[1]);
    std::mt19937 azar(unsigned(std::strtoul(argv[2], nullptr, 10)));
    const int maximo = argc > 5 ? std::atoi(argv[5]) : 300;
    std::ofstream pgn(argv[3], std::ios::binary), jugadas(argv[4], std::ios::binary);
    if (!pgn || !jugadas || partidas < 0 || maximo < 1) {
        std::cerr << "pgngen: cannot write the output files\n";
        return 1;
    }
    rules::Reglas r;
    for (int i = 1; i <= partidas; ++i) {
        pgngen::NuevaPartida(r);
        const int medias = 1 + int(azar() % unsigned(maximo));
        const pgngen::PartidaAleatoria p = pgngen::Jugar(r, azar, medias);
        pgn << pgngen::TextoPgn(r, i, p.resultado) << "\r\n";
        for (size_t k = 0; k < p.codificadas.size(); ++k) jugadas << (k ? " " : "") << p.codificadas[k];
        jugadas << "\n";
    }
    return pgn && jugadas ? 0 : 1;
}
