#include "mutador.h"

#include "files/TvpTexto.h"
#include "partida_aleatoria.h"

#include <QString>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

namespace fuzz_ficheros {

namespace {

using Azar = std::mt19937_64;

size_t Entre(Azar& azar, size_t desde, size_t hasta) { return desde + size_t(azar() % (hasta - desde + 1)); }
bool Moneda(Azar& azar, int porciento) { return int(azar() % 100) < porciento; }
template <class T, size_t N>
const T& Uno(Azar& azar, const std::array<T, N>& de) {
    return de[size_t(azar() % N)];
}

// A line end of the three kinds Tavorin reads (old Mac files end lines with CR).
std::string FinDeLinea(Azar& azar) {
    const int r = int(azar() % 100);
    return r < 50 ? "\n" : r < 85 ? "\r\n" : "\r";
}

// Every line end as LF.
std::string SoloLf(const std::string& texto) {
    std::string t;
    t.reserve(texto.size());
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] != '\r') {
            t += texto[i];
            continue;
        }
        t += '\n';
        if (i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
    }
    return t;
}

// A text of LF line ends with `fin` in their place.
std::string ConFin(const std::string& texto, const std::string& fin) {
    if (fin == "\n") return texto;
    std::string t;
    t.reserve(texto.size() + texto.size() / 16);
    for (char c : texto) {
        if (c == '\n')
            t += fin;
        else
            t += c;
    }
    return t;
}

// A random legal game from the start, `medias` half-moves at most.
pgngen::PartidaAleatoria Juego(rules::Reglas& r, Azar& azar, int medias) {
    pgngen::NuevaPartida(r);
    std::mt19937 juego{unsigned(azar())};
    return pgngen::Jugar(r, juego, std::max(1, medias));
}

// The move text of a PGN game with the decorations of real files put between its
// words: comments, variations, glyphs, suffix marks, remarks, escape lines, the
// number of Black's move, numbers glued to their moves.
std::string Adornar(const std::string& jugadas, Azar& azar) {
    static const std::array<const char*, 14> kAdornos = {"{a comment}",
                                                         "{nested {comment}}",
                                                         "(1. d4 d5 2. c4)",
                                                         "(2... Nc6 (2... d6))",
                                                         "$1",
                                                         "$14",
                                                         "!?",
                                                         "??",
                                                         "; a remark\n",
                                                         "\n%escape line\n",
                                                         "{}",
                                                         "()",
                                                         "{multi\nline}",
                                                         "1-0"};
    std::string salida;
    size_t i = 0;
    while (i < jugadas.size()) {
        size_t fin = jugadas.find(' ', i);
        if (fin == std::string::npos) fin = jugadas.size();
        std::string palabra = jugadas.substr(i, fin - i);
        i = fin + 1;
        // "12. e4" as "12.e4", and Black's move with its own number.
        if (Moneda(azar, 5) && !palabra.empty() && palabra.back() == '.') {
            salida += palabra;
            continue;
        }
        salida += palabra;
        if (Moneda(azar, 8)) salida += std::string(" ") + Uno(azar, kAdornos);
        if (Moneda(azar, 3)) salida += " 99...";
        salida += ' ';
    }
    return salida;
}

std::string TextoJuegoPgn(rules::Reglas& r, Azar& azar, int numero) {
    const pgngen::PartidaAleatoria p = Juego(r, azar, int(azar() % 120));
    std::string texto = SoloLf(pgngen::TextoPgn(r, numero, p.resultado));
    // Tags beyond the seven, a FEN set-up, and decorations in the move text.
    static const std::array<const char*, 6> kEtiquetas = {"[WhiteElo \"2100\"]\n",
                                                          "[ECO \"C20\"]\n",
                                                          "[Annotator \"x\"]\n",
                                                          "[PlyCount \"12\"]\n",
                                                          "[TimeControl \"40/7200:3600\"]\n",
                                                          "[Event\"glued\"]\n"};
    const size_t finTags = texto.find("\n\n");
    if (finTags == std::string::npos) return texto;
    std::string tags = texto.substr(0, finTags + 1), cuerpo = texto.substr(finTags + 2);
    for (int k = int(azar() % 3); k > 0; --k) tags += Uno(azar, kEtiquetas);
    if (Moneda(azar, 15)) {
        rules::Reglas otra;
        Juego(otra, azar, int(azar() % 60));
        otra.EscribirFen();
        tags += "[SetUp \"1\"]\n[FEN \"" + otra.TextoFen + "\"]\n";
    }
    return tags + "\n" + Adornar(cuerpo, azar) + "\n";
}

// Words of each format, put anywhere by the mutations.
const std::vector<std::string>& Palabras(Clase clase) {
    // clang-format off
    static const std::vector<std::string> pgn = {
        "{", "}", "(", ")", "[", "]", "\"", "\\", "$", "$255", "...", "1.", "99999999999.", "1-0", "0-1", "1/2-1/2",
        "*", "O-O", "O-O-O", "0-0-0", "o-o", "=Q", "e8", "e8=Q", "exd8=N", "Kxe1", "Nbd7", "R1a3", "Qh4#", "--", ";",
        "%", "\n", "\r", "\r\n", "\n\n", std::string(1, '\0'), "\xEF\xBB\xBF", "\xC3", "\xFF\xFE", "\t",
        "[Event \"", "[FEN \"", "[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n", "[FEN \"k7/P7/8/8/8/8/8/K7 w - - 0 1\"]\n",
        "[Result \"*\"]\n", "[White \"", "[Tag", "\n[Event \"new\"]\n\n", "e4", "exd6", "bxa8=Q+", "12...Nf6", "!!",
        "{ ( }", "( { )", "e.p."};
    static const std::vector<std::string> epd = {
        "/", "//", "8", "9", "0", "p", "P", "k", "K", "KQkq", "-", " w ", " b ", " - ", "e3", "e6", "h9", "a0",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "8/8/8/8/8/8/8/8 w - - 0 1",
        "kkkkkkkk/8/8/8/8/8/8/KKKKKKKK w - -", "; bm e4;", " id \"", "\"", "\n", "\r", "\r\n", std::string(1, '\0'),
        "\xEF\xBB\xBF", "\xC3", "\t", " 0 1", " 4294967296 99999999999999999999", "pppppppp/", "P7/"};
    static const std::vector<std::string> tvp = {
        ",", "\"", "\"\"", "0000", "9999", "12000", "99999999999999999999", "-1", "5254", "5758", "57585", "575811",
        "5171", "1111", "0", "R", "A", "X", "\r\n", "\n", "\r", "\r\n\r\n", std::string(1, '\0'), "\xEF\xBB\xBF",
        "\xC3", " ", "\t", "5254,5755", "\"5254\"", "5"};
    static const std::vector<std::string> ini = {
        "[", "]", "=", ";", "[Configuracion]", "[Mdi]", "[Mensajes]", "[Version]", "Version=1.55", "Version=9",
        "Idioma=", "Idioma=English", "Apariencia=", "Apariencia=marmol", "Apariencia=../..", "Tama\xC3\xB1o=",
        "Nick=", "Color=999:-1:x", "Windows=1", "Width=-99999", "Top=1e308", "Check=9", "PointClick=2", "$", "$$",
        "\"", "''", "\n", "\r", "\r\n", std::string(1, '\0'), "\xEF\xBB\xBF", "\xC3", "\xFF", "\t",
        "51=", "28=$", "28=", "Nombre=", "Titulo="};
    static const std::vector<std::string> binario = {
        std::string(1, '\0'), std::string(4, '\xFF'), std::string("\x89PNG\r\n\x1A\n", 8), "IHDR", "IDAT",
        "IEND", std::string("\x7F\xFF\xFF\xFF", 4), std::string("\x80\0\0\0", 4), std::string(16, '\0')};
    switch (clase) {
        case Clase::Pgn: return pgn;
        case Clase::Epd: return epd;
        case Clase::Tvp: return tvp;
        case Clase::Ajustes:
        case Clase::Idioma: return ini;
        case Clase::Piel:
        case Clase::Puntuacion:
        case Clase::Escritura:
        case Clase::Nombres: return binario;
    }
    // clang-format on
    return pgn;
}

// A file of the delivered program folder, read once.
const std::string& Entregado(const std::string& nombre) {
    static std::map<std::string, std::string> leidos;
    auto [i, nuevo] = leidos.try_emplace(nombre);
    if (nuevo) {
        std::ifstream f(std::string(TAVORIN_RECURSOS) + "/" + nombre, std::ios::binary);
        i->second.assign(std::istreambuf_iterator<char>(f), {});
    }
    return i->second;
}

// clang-format off
const std::array<const char*, kClases> kExtensiones = {"pgn", "epd", "tvp", "ini", "lng", "png", "dat", "escritura",
                                                       "nombres"};
const std::array<const char*, kFormas> kNombresForma = {
    "mutada", "fifo", "dispositivo", "carpeta", "enlace", "enlacefifo", "enlacedispositivo", "enlaceroto", "bucle"};
const std::array<const char*, kEscritores> kNombresEscritor = {"tvp", "pgn", "epd", "chat", "imagen", "reserva",
                                                               "salida", "opciones", "colores", "nivel", "tipos"};
// The usual size of what each writer writes: the disk fills at a byte up to a little past it.
const std::array<long long, kEscritores> kTamanos = {400, 1200, 80, 200, 310000, 24, 1600, 1600, 1600, 1600, 1600};
// clang-format on

template <size_t N>
int Indice(const std::array<const char*, N>& nombres, const std::string& nombre) {
    for (size_t i = 0; i < N; ++i)
        if (nombre == nombres[i]) return int(i);
    return -1;
}

size_t Posicion(const std::string& t, Azar& azar) { return t.empty() ? 0 : size_t(azar() % (t.size() + 1)); }

void Recortar(std::string& texto, size_t limite) {
    if (texto.size() > limite) texto.resize(limite);
}

}  // namespace

const char* Extension(Clase clase) { return kExtensiones[size_t(clase)]; }

bool Aparte(const Caso& c) {
    return c.clase == Clase::Nombres || c.clase == Clase::Ajustes || c.clase == Clase::Idioma ||
           c.clase == Clase::Piel || c.clase == Clase::Puntuacion ||
           (c.clase == Clase::Escritura && c.escritor == Escritor::Salida);
}

std::string Palabra(const Caso& c) {
    std::string p = Extension(c.clase);
    if (c.clase == Clase::Nombres) return p;
    if (c.clase == Clase::Escritura)
        return p + ":" + kNombresEscritor[size_t(c.escritor)] + ":" + std::to_string(c.sitio) + ":" +
               (c.existe ? "1" : "0");
    if (c.clase >= Clase::Ajustes)
        p += std::string(":") + kNombresForma[size_t(c.forma)] + ":" + std::to_string(c.sitio);
    return p;
}

bool DePalabra(const std::string& palabra, Caso& c) {
    std::vector<std::string> partes;
    for (size_t i = 0;;) {
        const size_t dos = palabra.find(':', i);
        partes.push_back(palabra.substr(i, dos == std::string::npos ? std::string::npos : dos - i));
        if (dos == std::string::npos) break;
        i = dos + 1;
    }
    const int clase = Indice(kExtensiones, partes[0]);
    if (clase < 0) return false;
    c.clase = Clase(clase);
    if (c.clase == Clase::Nombres) return partes.size() == 1;
    try {
        if (c.clase == Clase::Escritura) {
            const int e = partes.size() == 4 ? Indice(kNombresEscritor, partes[1]) : -1;
            if (e < 0) return false;
            c.escritor = Escritor(e);
            c.sitio = std::stoll(partes[2]);
            c.existe = partes[3] == "1";
        } else if (c.clase >= Clase::Ajustes) {
            const int f = partes.size() == 3 ? Indice(kNombresForma, partes[1]) : -1;
            if (f < 0) return false;
            c.forma = Forma(f);
            c.sitio = std::stoll(partes[2]);
        } else if (partes.size() != 1) {
            return false;
        }
    } catch (const std::logic_error&) {
        return false;
    }
    return true;
}

std::string PropioBase(Clase clase, Azar& azar) {
    switch (clase) {
        case Clase::Ajustes: return Entregado("Default.ini");
        case Clase::Idioma: return Entregado("lang/Espa\xC3\xB1ol.lng");
        case Clase::Piel: return Entregado("apariencias/marmol/peonb.png");
        default: break;
    }
    // Games, wins, losses, draws that add up, and points.
    std::array<std::int32_t, 5> r{};
    r[1] = std::int32_t(azar() % 50), r[2] = std::int32_t(azar() % 50), r[3] = std::int32_t(azar() % 50);
    r[0] = r[1] + r[2] + r[3];
    r[4] = std::int32_t(azar() % 3000);
    std::string b;
    for (std::int32_t v : r)
        for (int k = 0; k < 4; ++k) b += char((std::uint32_t(v) >> (8 * k)) & 0xFF);
    return b;
}

std::string PgnBase(Azar& azar) {
    rules::Reglas r;
    const std::string fin = FinDeLinea(azar);
    std::string texto = Moneda(azar, 5) ? "\xEF\xBB\xBF" : "";
    for (int i = 1, n = int(Entre(azar, 1, 4)); i <= n; ++i) texto += TextoJuegoPgn(r, azar, i) + "\n";
    return ConFin(texto, fin);
}

std::string EpdBase(Azar& azar) {
    rules::Reglas r;
    const std::string fin = FinDeLinea(azar);
    static const std::array<const char*, 5> kOperaciones = {"", " bm e4;", " id \"pos\";", " bm Nf3; id \"a\";",
                                                            " c0 \"x\";"};
    std::string texto;
    for (int i = 0, n = int(Entre(azar, 1, 30)); i < n; ++i) {
        Juego(r, azar, int(azar() % 80));
        r.EscribirFen();
        std::string linea = r.TextoFen;
        // EPD lines end after the castling and en-passant fields, opcodes follow.
        if (Moneda(azar, 50)) linea = linea.substr(0, linea.rfind(' ', linea.rfind(' ') - 1));
        texto += linea + Uno(azar, kOperaciones) + "\n";
    }
    return ConFin(texto, fin);
}

std::string TvpBase(Azar& azar) {
    rules::Reglas r;
    Juego(r, azar, int(azar() % 100));
    static const std::array<const char*, 5> kRelojes = {"0000", "0500", "0030", "12000", "9959"};
    QString jugadas = QString::fromStdString(r.Jugadas.List[4]);
    if (jugadas.endsWith("\r\n")) jugadas.chop(2);
    const QByteArray datos =
        tvp::TextoFichero(Uno(azar, kRelojes), Uno(azar, kRelojes), Moneda(azar, 50) ? "R" : "A", jugadas);
    std::string texto = datos.toStdString();
    if (Moneda(azar, 20)) texto = ConFin(SoloLf(texto), FinDeLinea(azar));
    return texto;
}

void Mutar(std::string& t, Clase clase, Azar& azar, int veces, const Limites& limites) {
    const auto& palabras = Palabras(clase);
    const size_t limite = Moneda(azar, 2) ? limites.tamanoRaro : limites.tamanoMaximo;
    for (int v = 0; v < veces; ++v) {
        switch (azar() % 14) {
            case 0:  // one byte changed
                if (!t.empty()) t[size_t(azar() % t.size())] = char(azar());
                break;
            case 1: {  // random bytes
                std::string b(Entre(azar, 1, 16), '\0');
                for (char& c : b) c = char(azar());
                t.insert(Posicion(t, azar), b);
                break;
            }
            case 2: {  // a range deleted
                if (t.empty()) break;
                const size_t a = size_t(azar() % t.size());
                t.erase(a, Entre(azar, 1, std::max<size_t>(1, std::min<size_t>(t.size() / 8, 512))));
                break;
            }
            case 3: {  // a range repeated elsewhere
                if (t.empty()) break;
                const size_t a = size_t(azar() % t.size());
                const std::string trozo = t.substr(a, Entre(azar, 1, 256));
                t.insert(Posicion(t, azar), trozo);
                break;
            }
            case 4: {  // two ranges swapped
                if (t.size() < 4) break;
                size_t a = size_t(azar() % t.size()), b = size_t(azar() % t.size());
                if (a > b) std::swap(a, b);
                const size_t n = std::min({Entre(azar, 1, 64), b - a, t.size() - b});
                std::swap_ranges(t.begin() + std::ptrdiff_t(a), t.begin() + std::ptrdiff_t(a + n),
                                 t.begin() + std::ptrdiff_t(b));
                break;
            }
            case 5:
            case 6:  // a word of the format
                t.insert(Posicion(t, azar), palabras[size_t(azar() % palabras.size())]);
                break;
            case 7:  // cut short
                t.resize(Posicion(t, azar));
                break;
            case 8: {  // a line repeated many times
                if (t.empty()) break;
                const size_t a = t.rfind('\n', size_t(azar() % t.size()));
                const size_t inicio = a == std::string::npos ? 0 : a + 1;
                const size_t fin = t.find('\n', inicio);
                const std::string linea =
                    t.substr(inicio, fin == std::string::npos ? std::string::npos : fin - inicio + 1);
                const size_t veces = Entre(azar, 2, 2000);
                std::string muchas;
                for (size_t k = 0; k < veces && muchas.size() < limite; ++k) muchas += linea.empty() ? "\n" : linea;
                t.insert(inicio, muchas);
                break;
            }
            case 9:  // every line end of another kind
                t = ConFin(SoloLf(t), FinDeLinea(azar));
                break;
            case 10: {  // a number made extreme
                static const std::array<const char*, 8> kNumeros = {
                    "0", "-1", "00000000", "4294967296", "99999999999999999999", "2147483648", "-2147483649", "1e9"};
                const size_t a = t.find_first_of("0123456789", Posicion(t, azar));
                if (a == std::string::npos) break;
                const size_t b = t.find_first_not_of("0123456789", a);
                t.replace(a, (b == std::string::npos ? t.size() : b) - a, Uno(azar, kNumeros));
                break;
            }
            case 11: {  // one huge word
                const size_t largo = Moneda(azar, 10) ? Entre(azar, 64 * 1024, limite) : Entre(azar, 41, 4096);
                const std::string& semilla = palabras[size_t(azar() % palabras.size())];
                std::string palabra;
                palabra.reserve(largo);
                if (Moneda(azar, 50) || semilla.empty())
                    palabra.assign(largo, char("aN{(\"e9/,x"[azar() % 10]));
                else
                    while (palabra.size() < largo) palabra += semilla;
                t.insert(Posicion(t, azar), palabra);
                break;
            }
            case 12: {  // lines joined: the line ends of a stretch removed
                const size_t a = Posicion(t, azar);
                const size_t b = std::min(t.size(), a + Entre(azar, 1, 2000));
                t.erase(std::remove_if(t.begin() + std::ptrdiff_t(a), t.begin() + std::ptrdiff_t(b),
                                       [](char c) { return c == '\n' || c == '\r'; }),
                        t.begin() + std::ptrdiff_t(b));
                break;
            }
            default: {  // a piece of a file of another kind
                Azar otro(azar());
                const std::string ajeno = azar() % 3 == 0 ? PgnBase(otro) : azar() % 2 ? EpdBase(otro) : TvpBase(otro);
                t.insert(Posicion(t, azar), ajeno.substr(0, Entre(azar, 1, 4096)));
                break;
            }
        }
        Recortar(t, limite);
    }
}

namespace {

// One of the program's own files: mostly mutated, else something other than a file.
void CasoPropio(Caso& caso, Azar& azar, const Limites& limites) {
    caso.forma = Moneda(azar, 45) ? Forma::Mutada : Forma(Entre(azar, 1, kFormas - 1));
    caso.sitio = Moneda(azar, 25) ? (long long)Entre(azar, 0, 1600) : -1;
    if (caso.forma != Forma::Mutada) return;
    caso.contenido = PropioBase(caso.clase, azar);
    Mutar(caso.contenido, caso.clase, azar, int(Entre(azar, 1, 6)), limites);
}

void CasoEscritura(Caso& caso, Azar& azar) {
    caso.escritor = Escritor(Entre(azar, 0, kEscritores - 1));
    const long long tamano = kTamanos[size_t(caso.escritor)];
    caso.sitio = Moneda(azar, 25) ? -1 : (long long)Entre(azar, 0, size_t(tamano + tamano / 4));
    caso.existe = Moneda(azar, 70);
}

}  // namespace

Caso HacerCaso(std::uint64_t semilla, size_t numero, const Limites& limites) {
    Azar azar = AzarDeCaso(semilla, numero);
    Caso caso;
    const int r = int(azar() % 100);
    caso.clase = r < 40   ? Clase::Pgn
                 : r < 58 ? Clase::Epd
                 : r < 70 ? Clase::Tvp
                 : r < 82 ? Clase::Escritura
                 : r < 86 ? Clase::Nombres
                 : r < 90 ? Clase::Ajustes
                 : r < 93 ? Clase::Idioma
                 : r < 96 ? Clase::Piel
                          : Clase::Puntuacion;
    switch (caso.clase) {
        case Clase::Pgn: caso.contenido = PgnBase(azar); break;
        case Clase::Epd: caso.contenido = EpdBase(azar); break;
        case Clase::Tvp: caso.contenido = TvpBase(azar); break;
        case Clase::Escritura: CasoEscritura(caso, azar); break;
        case Clase::Nombres: break;
        default: CasoPropio(caso, azar, limites); break;
    }
    if (caso.clase <= Clase::Tvp) {
        // Some files stay as written: the readers and the board go all the way with them.
        const int veces = Moneda(azar, 15) ? 0 : int(Entre(azar, 1, 8));
        Mutar(caso.contenido, caso.clase, azar, veces, limites);
    }
    caso.semillaAcciones = azar();
    return caso;
}

}  // namespace fuzz_ficheros
