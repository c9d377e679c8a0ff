// The parts of engine play that need no window: what an engine's line means, the
// texts written to engines, an engine's move read for the board, the level rules, the
// engine clocks on a clock source the test drives, and the engine folder listing.
#include "engines/ListaMotores.h"
#include "engines/Nivel.h"
#include "engines/RelojMotor.h"
#include "engines/Respuesta.h"
#include "engines/Xboard.h"
#include "platform/FuenteReloj.h"

#include "child_process.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using respuesta::Clase;

// ---- Reply parser ---------------------------------------------------------------------

struct Caso {
    const char* linea;
    respuesta::Estado estado;
    Clase clase;
    const char* dato = "";
};

constexpr respuesta::Estado kUno{false, true};            // the person plays White against slot 2
constexpr respuesta::Estado kDos{true, true};             // two engines
constexpr respuesta::Estado kEnroque{false, true, true};  // castling retry armed
constexpr respuesta::Estado kPeticion{false, true, false, true};
constexpr respuesta::Estado kSinJugadas{false, true, false, false, true};

TEST(Respuesta, EachLineFallsIntoTheFirstClassItMatches) {
    const Caso casos[] = {
        // Errors: game over unless an exception word, a retry or a request explains them.
        {"Illegal move: e2e5", kUno, Clase::Error},
        {"Error (unknown command): ics", kUno, Clase::Ignorar},
        {"Error (unknown command): protover", kUno, Clase::Ignorar},
        {"Error (unknown command): random", kUno, Clase::Ignorar},
        {"Error (unknown command): ?", kUno, Clase::Ignorar},
        {"Error (unknown command): sd", kUno, Clase::Ignorar},
        {"Error (unknown command): st", kUno, Clase::NivelAlternativo},
        {"Error: st 10 is not supported", kUno, Clase::NivelAlternativo},
        // "st" inside a word is no "st".
        {"Illegal move (last): e7e5", kUno, Clase::Error},
        // Errors about the optional commands of the start and the clocks, and about
        // the feature replies, are ignored; one about a move or a needed command is not.
        {"Error (unknown command): post", kUno, Clase::Ignorar},
        {"Error (unknown command): easy", kUno, Clase::Ignorar},
        {"Error (unknown command): hard", kUno, Clase::Ignorar},
        {"Error (unknown command): time 30000", kUno, Clase::Ignorar},
        {"Error (unknown command): otim 29800", kUno, Clase::Ignorar},
        {"Error (unknown command): computer", kUno, Clase::Ignorar},
        {"Error (unknown command): rejected usermove", kUno, Clase::Ignorar},
        {"Error (unknown command): accepted done", kUno, Clase::Ignorar},
        {"Illegal move: post", kUno, Clase::Ignorar},
        {"Error (unknown command): new", kUno, Clase::Error},
        {"Error (unknown command): e2e4", kUno, Clase::Error},
        {"Illegal move (time is short): e2e5", kUno, Clase::Error},
        {"Error (postponed): e2e4", kUno, Clase::Error},
        {"Illegal move: e2e5", kEnroque, Clase::Ignorar},
        {"Error (unknown command): hint", kPeticion, Clase::ErrorPeticion},
        {"Error (unknown command): draw", kPeticion, Clase::ErrorPeticion},
        {"tellusererror Bad position", kUno, Clase::Error},
        // Only the protocol's errors end a game; other complaints are shown, also
        // while a request waits or the castling retry is armed.
        {"warning: time exeeded in exact clock mode", kUno, Clase::Diagnostico,
         "warning: time exeeded in exact clock mode"},
        {"Warning: post disabled", kUno, Clase::Diagnostico},
        {"unknown command 'easy'", kUno, Clase::Diagnostico},
        {"unkown command", kUno, Clase::Diagnostico},
        {"  Invalid hash size", kPeticion, Clase::Diagnostico, "Invalid hash size"},
        {"info: error margin 3", kEnroque, Clase::Diagnostico},
        // "null" and "killer" lines are never read.
        {"null move error", kUno, Clase::Ignorar},
        {"killer table illegal", kUno, Clase::Ignorar},
        // Features: answered when they end in 1.
        {"feature ping=1 setboard=1", kUno, Clase::Caracteristica, "ping=1 setboard=1"},
        {"feature done=0", kUno, Clase::Ignorar},
        {"feature myname=\"Orvik\"", kUno, Clase::Ignorar},
        // Draws, hints, results, resignations.
        {"offer draw", kUno, Clase::OfertaTablas},
        {"draw", kUno, Clase::Tablas},
        {"Draw!", kUno, Clase::Tablas},
        {"draw by repetition", kUno, Clase::Otra},
        {"Hint: e7e5", kUno, Clase::Pista, " e7e5"},
        {"hint e7e5", kUno, Clase::Pista, "hint e7e5"},
        {"Hint: e7e5", kDos, Clase::Ignorar},
        // Before the first move a "hint" line of an engine playing Black is not read.
        {"hint: e2e4", kSinJugadas, Clase::Ignorar},
        {"Hint: e2e4", kSinJugadas, Clase::Pista, " e2e4"},
        {"1-0 {White mates}", kUno, Clase::Resultado},
        {"1/2-1/2 {Stalemate}", kUno, Clase::Resultado},
        {"resign", kUno, Clase::Abandono},
        {"resigns", kUno, Clase::Abandono},
        {"I resign now", kUno, Clase::Otra},
        // Moves: the lowered line; longer than 16 characters is too long.
        {"move e7e5", kUno, Clase::Jugada, "move e7e5"},
        {"My move is: e2e4", kUno, Clase::Jugada, "my move is: e2e4"},
        {"move E7E8Q\r", kUno, Clase::Jugada, "move e7e8q"},
        {"move e7e5 {book move}", kUno, Clase::Jugada, "move e7e5 {book move}"},
        {"tellics say Fairy-Max 5.0b", kUno, Clase::Otra},
    };
    for (const Caso& c : casos) {
        const auto r = respuesta::Analizar(c.linea, c.estado);
        EXPECT_EQ(int(r.clase), int(c.clase)) << c.linea;
        if (*c.dato) {
            EXPECT_EQ(r.dato.toStdString(), c.dato) << c.linea;
        }
    }
    EXPECT_TRUE(respuesta::Analizar("move e7e5 {book move}", kUno).larga);
    EXPECT_FALSE(respuesta::Analizar("my move is: e2e4", kUno).larga);
}

TEST(Respuesta, AResultLineStatesItsScoreAndTheSideItNames) {
    struct Fila {
        const char* linea;
        int ganador, abandona;
        bool mate, ahogado, coherente;
    };
    const Fila filas[] = {
        {"1/2-1/2 {Draw by repetition}", 0, 0, false, false, true},
        {"0-1 {White resigns}", 2, 1, false, false, true},
        {"1-0 {Black resigns}", 1, 2, false, false, true},
        {"1-0 {resign}", 1, 2, false, false, true},
        {"1-0 {White mates}", 1, 0, true, false, true},
        {"0-1 {Xboard adjudication: checkmate}", 2, 0, true, false, true},
        {"1/2-1/2 {Stalemate}", 0, 0, false, true, true},
        {"1-0 {White wins on time}", 1, 0, false, false, true},
        {"0-1", 2, 0, false, false, true},
        {"1-0 {automated adjudication}", 1, 0, false, false, true},
        // A comment that contradicts the score.
        {"1-0 {White resigns}", 1, 1, false, false, false},
        {"0-1 {White mates}", 2, 0, true, false, false},
        {"1/2-1/2 {Black mates}", 0, 0, true, false, false},
        {"1-0 {Stalemate}", 1, 0, false, true, false},
        {"1/2-1/2 {White resigns}", 0, 1, false, false, false},
    };
    for (const Fila& f : filas) {
        const auto l = respuesta::Analizar(f.linea, kUno);
        ASSERT_EQ(int(l.clase), int(Clase::Resultado)) << f.linea;
        const auto& r = l.resultado;
        EXPECT_EQ(r.ganador, f.ganador) << f.linea;
        EXPECT_EQ(r.abandona, f.abandona) << f.linea;
        EXPECT_EQ(r.mate, f.mate) << f.linea;
        EXPECT_EQ(r.ahogado, f.ahogado) << f.linea;
        EXPECT_EQ(r.coherente, f.coherente) << f.linea;
    }
}

TEST(Respuesta, StIsFoundOnlyAsAWordOfItsOwn) {
    for (const char* si : {"st", "error: st", "unknown command st 10", "(st)", "st=1"})
        EXPECT_TRUE(respuesta::PalabraSt(si)) << si;
    for (const char* no : {"last", "post", "stop", "best move", "fast", ""})
        EXPECT_FALSE(respuesta::PalabraSt(no)) << no;
}

TEST(Respuesta, ThinkingOutputFillsTheFiveBoxes) {
    using Campos = std::array<QString, 5>;
    struct Fila {
        const char* linea;
        std::optional<Campos> campos;
    };
    const Fila filas[] = {
        {"  4 27 105 7463 1. e4 e5 2. Nf3", Campos{"4", "27", "105", "7463", "e4 e5 2. Nf3"}},
        {"3 27 0 282 .  1.e4 Nf6 2.Nc3 {0}", Campos{"3", "27", "0", "282", "e4 Nf6 2.Nc3 {0}"}},
        {"2 +46 0 66 d4 d5 c4", Campos{"2", "+46", "0", "66", "d4 d5 c4"}},
        {"12... 5 0 3 Nf6 exd5", Campos{"12...", "5", "0", "3", "Nf6 exd5"}},
        {"6 -18 11 3302 12... Nf6 exd5", Campos{"6", "-18", "11", "3302", "Nf6 exd5"}},
        // Out of blanks: the last word fills the fields still missing.
        {"1234567890123", Campos{"1234567890123", "1234567890123", "1234567890123", "1234567890123", "1234567890123"}},
        {"1 2 3456789012", Campos{"1", "2", "3456789012", "3456789012", "3456789012"}},
        {"1 2 3", std::nullopt},           // shorter than 11
        {"1.5 2 3 4 e2e4", std::nullopt},  // a digit and a dot
        {"# times @ 1527359366", std::nullopt},
        {"Nodes 1 2 3 4 5", std::nullopt},
    };
    for (const Fila& f : filas) {
        const auto c = respuesta::Pensamiento(f.linea);
        ASSERT_EQ(c.has_value(), f.campos.has_value()) << f.linea;
        if (c) {
            EXPECT_EQ(*c, *f.campos) << f.linea;
        }
    }
}

// ---- Texts written to engines ---------------------------------------------------------------

TEST(Xboard, TheStartSequenceHasNoEmptyLineAndOnlyWhiteGetsGo) {
    EXPECT_EQ(xboard::Arranque("sd 2", false),
              (QStringList{"xboard\r\nprotover 2\r\nnew\r\n", "random\r\nsd 2\r\n", "post\r\neasy"}));
    EXPECT_EQ(xboard::Arranque("level 40 5 0", true).last(), "post\r\neasy\r\ngo");
    EXPECT_EQ(xboard::Arranque("", true)[1], "random\r\n");
}

TEST(Xboard, EachFeatureIsAcceptedOnlyWhenTheDriverHonoursIt) {
    struct Fila {
        const char* anuncio;
        const char* respuesta;
    };
    const Fila filas[] = {
        // Moves go and come in plain coordinates.
        {"usermove=1 san=1", "rejected usermove\r\nrejected san"},
        {"usermove=0 san=0 done=1", "accepted usermove\r\naccepted san\r\naccepted done"},
        // What the driver sends: draw offers, and the clocks in a timed game.
        {"time=1 draw=1 reuse=1", "accepted time\r\naccepted draw\r\naccepted reuse"},
        {"time=0 draw=0 reuse=0", "rejected time\r\nrejected draw\r\naccepted reuse"},
        // Requests for commands or signals it never sends are refused; not to send
        // them is met.
        {"ping=1 setboard=1 playother=1 sigint=1 sigterm=1 analyze=1 colors=1 ics=1 name=1 pause=1 nps=1 "
         "debug=1 memory=1 smp=1 exclude=1 setscore=1 highlight=1",
         "rejected ping\r\nrejected setboard\r\nrejected playother\r\nrejected sigint\r\nrejected sigterm\r\n"
         "rejected analyze\r\nrejected colors\r\nrejected ics\r\nrejected name\r\nrejected pause\r\n"
         "rejected nps\r\nrejected debug\r\nrejected memory\r\nrejected smp\r\nrejected exclude\r\n"
         "rejected setscore\r\nrejected highlight"},
        {"sigint=0 colors=0 done=0", "accepted sigint\r\naccepted colors\r\nrejected done"},
        // Texts the driver does not use, quoted with blanks inside, and unknown names.
        {"myname=\"fairy-max 5.0b\" variants=\"normal,shatranj\" option=\"resign -check 0\" egt=\"syzygy\" xedit=1",
         "rejected myname\r\nrejected variants\r\nrejected option\r\nrejected egt\r\nrejected xedit"},
        {"myname=\"no end", "rejected myname"},
        {"words without values", ""},
        {"", ""},
    };
    for (const Fila& f : filas)
        EXPECT_EQ(xboard::RespuestaCaracteristicas(f.anuncio).toStdString(), f.respuesta) << f.anuncio;
}

TEST(Xboard, MovesWithAndWithoutTheClocks) {
    EXPECT_EQ(xboard::ConRelojes("e2e4", 6000, 5900, true), "time 6000\r\notim 5900\r\ne2e4");
    EXPECT_EQ(xboard::ConRelojes("e2e4", 0, 0, false), "e2e4");
    EXPECT_EQ(xboard::Centesimas(10, 0), 60000);
    EXPECT_EQ(xboard::Centesimas(0, 59), 5900);
    EXPECT_EQ(xboard::Centesimas(-1, 30), 3000);
    EXPECT_EQ(xboard::Coordenadas("52", "54", 0), "e2e4");
    EXPECT_EQ(xboard::Coordenadas("57", "58", rules::CaballoBlanco), "e7e8n");
    EXPECT_EQ(xboard::Coordenadas("22", "21", rules::DamaNegra), "b2b1q");
    EXPECT_EQ(xboard::Coordenadas("12", "11", rules::TorreNegra), "a2a1r");
    EXPECT_EQ(xboard::TextoJugada("move e2e4"), "e2e4");
    EXPECT_EQ(xboard::TextoJugada("my move is: e2e4"), "e2e4");
    for (const char* e : {"e1g1", "e1c1", "e8g8", "e8c8"}) EXPECT_TRUE(xboard::EsEnroque(e));
    EXPECT_FALSE(xboard::EsEnroque("e1f1"));
}

rules::Tablero TableroCon(std::initializer_list<std::tuple<int, int, int>> piezas) {
    rules::Tablero t{};
    for (auto [x, y, p] : piezas) t[x][y] = p;
    return t;
}

TEST(Xboard, AnEnginesMoveIsReadForItsOwnSlot) {
    const rules::Tablero t =
        TableroCon({{5, 7, rules::PeonBlanco}, {2, 2, rules::PeonNegro}, {5, 2, rules::PeonBlanco}});
    struct Fila {
        const char* texto;
        int ranura;
        const char* origen;
        const char* destino;
        int pieza;
        const char* paraOtro;
    };
    const Fila filas[] = {
        {"e2e4", 1, "52", "54", 0, "e2e4"},
        {" E2E4", 1, "52", "54", 0, "e2e4"},
        // SAN castling takes the sending slot's colour.
        {"O-O", 1, "51", "71", 0, "e1g1"},
        {"O-O-O", 1, "51", "31", 0, "e1c1"},
        {"o-o", 2, "58", "78", 0, "e8g8"},
        {"O-O-O+", 2, "58", "38", 0, "e8c8"},
        // Promotion: the letter of the text in the sender's colour; no letter is a queen.
        {"e7e8n", 1, "57", "58", rules::CaballoBlanco, "e7e8n"},
        {"e7e8", 1, "57", "58", rules::DamaBlanca, "e7e8q"},
        {"b2b1R", 2, "22", "21", rules::TorreNegra, "b2b1r"},
        {"b2b1", 2, "22", "21", rules::DamaNegra, "b2b1q"},
    };
    for (const Fila& f : filas) {
        const auto j = xboard::LeerJugada(f.texto, f.ranura, t);
        ASSERT_TRUE(j) << f.texto;
        EXPECT_EQ(j->origen, f.origen) << f.texto;
        EXPECT_EQ(j->destino, f.destino) << f.texto;
        EXPECT_EQ(j->pieza, f.pieza) << f.texto;
        EXPECT_EQ(j->texto.toStdString(), f.paraOtro) << f.texto;
    }
    for (const char* malo : {"zz99", "e2", "e2e9", "e2e4k", "Nf3", "", "e2e4e5"})
        EXPECT_FALSE(xboard::LeerJugada(malo, 1, t)) << malo;
}

// ---- Level rules -------------------------------------------------------------------------

TEST(Nivel, BoxesStayInRangeAndStepByOne) {
    struct Fila {
        const char* texto;
        long maximo;
        const char* enRango;
        const char* subir;
        const char* bajar;
    };
    const Fila filas[] = {
        {"", 60, "1", "1", "1"},      {"0", 60, "1", "1", "1"},     {"1", 60, "1", "2", "1"},
        {"59", 60, "59", "60", "58"}, {"60", 60, "60", "60", "59"}, {"75", 60, "60", "60", "60"},
        {"25", 20, "20", "20", "20"}, {"20", 20, "20", "20", "19"}, {"7x", 20, "7x", "8", "6"},
        {"x", 20, "1", "1", "1"},
    };
    for (const Fila& f : filas) {
        EXPECT_EQ(nivel::EnRango(f.texto, f.maximo).toStdString(), f.enRango) << f.texto;
        EXPECT_EQ(nivel::Subir(f.texto, f.maximo).toStdString(), f.subir) << f.texto;
        EXPECT_EQ(nivel::Bajar(f.texto, f.maximo).toStdString(), f.bajar) << f.texto;
    }
    EXPECT_EQ(nivel::Comando(0, "10", "4", "30", "10"), "sd 4");
    EXPECT_EQ(nivel::Comando(1, "10", "4", "30", "10"), "st 10");
    EXPECT_EQ(nivel::Comando(2, "10", "4", "30", "10"), "level 30 10 0");
    EXPECT_EQ(nivel::Comando(2, "10", "4", "0", "5"), "level 0 5 0");
    EXPECT_EQ(nivel::Comando(-1, "10", "4", "0", "5"), "");
    EXPECT_EQ(nivel::ListaJugadas().size(), 11);
}

// ---- Engine clocks -----------------------------------------------------------------------------

struct RelojFalso : ::testing::Test {
    std::int64_t ahora = 1'000'000;
    long minutos = 0, segundos = 0;
    RelojMotor reloj{minutos, segundos};
    void SetUp() override {
        reloj::FijarFuente([this] { return ahora; });
    }
    void TearDown() override { reloj::FijarFuente({}); }
};

TEST_F(RelojFalso, CountsWholeSecondsOnTheSourceAndKeepsTheRestOfATurn) {
    reloj.Poner(1, 0);
    reloj.Arrancar();
    ahora += 999;
    EXPECT_FALSE(reloj.Contar());
    ahora += 1;
    EXPECT_TRUE(reloj.Contar());
    EXPECT_EQ(minutos, 0);
    EXPECT_EQ(segundos, 59);
    ahora += 3'600;  // a busy spell loses nothing
    reloj.Contar();
    EXPECT_EQ(segundos, 56);
    reloj.Parar();    // 600 ms of this turn are kept
    ahora += 50'000;  // the other side's turn
    EXPECT_FALSE(reloj.Contar());
    reloj.Arrancar();
    ahora += 400;
    EXPECT_TRUE(reloj.Contar());
    EXPECT_EQ(segundos, 55);
    // Setting the time forgets the rest.
    reloj.Parar();
    reloj.Poner(0, 2);
    reloj.Arrancar();
    ahora += 10'000;
    reloj.Contar();
    EXPECT_TRUE(reloj.Agotado());
    EXPECT_EQ(segundos, 0);
    EXPECT_EQ(minutos, 0);
}

// ---- Engine folders -------------------------------------------------------------------------

TEST(ListaMotores, OneEnginePerFolderAndNothingFromMotorItself) {
    testsupport::TempDir dir;
    const QString m = QString::fromStdString(dir.path()) + "/Motor";
    auto fichero = [&](const QString& ruta, bool ejecutable) {
        QDir().mkpath(QFileInfo(m + "/" + ruta).path());
        QFile f(m + "/" + ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (ejecutable) f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    fichero("Alfa/datos.txt", false);
    fichero("Alfa/segundo", true);
    fichero("Alfa/primero", true);
    fichero("Beta/X.COM", false);
    fichero("Delta/Mi.Motor.EXE", false);
    fichero("Gamma/libro.bin", false);
    fichero("suelto", true);
    QDir().mkpath(m + "/Enlace");
    QFile::link(m + "/Alfa/primero", m + "/Enlace/Enlazado");
    QStringList nombres, rutas;
    for (const MotorEncontrado& e : MotoresEncontrados(m)) {
        nombres << e.nombre;
        rutas << e.ruta;
    }
    EXPECT_EQ(nombres, (QStringList{"primero", "x", "mi.motor", "enlazado"}));
    EXPECT_EQ(rutas,
              (QStringList{m + "/Alfa/primero", m + "/Beta/X.COM", m + "/Delta/Mi.Motor.EXE", m + "/Enlace/Enlazado"}));
    EXPECT_TRUE(MotoresEncontrados(m + "/no-existe").empty());
}

}  // namespace
