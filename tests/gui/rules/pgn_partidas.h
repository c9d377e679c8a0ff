// The games of a PGN file as move tokens (comments, variations, numbers, results and
// annotation glyphs removed). Enough for the test data; the program's own PGN reader
// belongs to the PGN browser.
#pragma once

#include <string>
#include <vector>

namespace rules_test {

struct PartidaPgn {
    std::string eco;                  // the ECO tag
    std::vector<std::string> tokens;  // SAN tokens in game order, White's first
};

std::vector<PartidaPgn> LeerPartidasPgn(const std::string& ruta);

}  // namespace rules_test
