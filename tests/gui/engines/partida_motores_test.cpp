// The engine game without a window or an engine: whose turn it is, the lines each
// engine is told and when, the engine clocks on a clock source the test drives, the
// castling retry, the requests and their answers, how a game ends and the take-backs.
// The board is the rules' own game state; the test plays the moves on it as the board
// window does.
#include "engines/PartidaMotores.h"

#include "rules/textos.h"
#include "app/Variables.h"
#include "juego.h"
#include "platform/FuenteReloj.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

// Texts in failure messages as text.
void PrintTo(const QString& texto, std::ostream* os) { *os << '"' << texto.toStdString() << '"'; }

namespace {

using Decision = PartidaMotores::Decision;
using Orden = PartidaMotores::Temporizador;
using Icono = PartidaMotores::Icono;

// The writes of a decision, each as "slot:text".
QStringList Escritas(const Decision& d) {
    QStringList l;
    for (const auto& e : d.escrituras) l << QString::number(e.motor) + ":" + e.texto;
    return l;
}

QStringList Mensajes(const Decision& d) {
    QStringList l;
    for (const auto& m : d.mensajes) l << m.texto;
    return l;
}

class Juego : public ::testing::Test {
protected:
    void SetUp() override {
        textos_ = TextosIdioma;
        TextosIdioma[texto::PartidaTerminada] = "The game is over.";
        TextosIdioma[texto::TiempoPropioAgotado] = "Your time is up. You lose.";
        TextosIdioma[texto::TiempoRivalAgotado] = "You win on time!";
        TextosIdioma[texto::ErrorMotor] = "Engine error:";
        TextosIdioma[texto::MotorAbandona] = "$ resigns. You win!";
        TextosIdioma[texto::AbandonaYGana] = "resigns. $ wins.";
        TextosIdioma[texto::OfertaTablasMotor] = "$ offers a draw.";
        reloj::FijarFuente([this] { return ahora; });
        ASSERT_TRUE(rules_test::Preparar(tablero, rules_test::kInicial));
    }
    void TearDown() override {
        reloj::FijarFuente({});
        TextosIdioma = textos_;
    }

    // A new game on the position, the engines seated ("" for a person) and started.
    Decision Empezar(const QString& blancas, const QString& negras, const char* fen = rules_test::kInicial,
                     bool arrancado = true) {
        p.Olvidar();
        EXPECT_TRUE(rules_test::Preparar(tablero, fen));
        tablero.Turno = turno::Nadie;
        if (!blancas.isEmpty()) p.Sentar(turno::Blancas, blancas);
        if (!negras.isEmpty()) p.Sentar(turno::Negras, negras);
        return p.Empezar(arrancado);
    }
    // The person's move, made on the board as the board window makes it in a game
    // against one engine.
    Decision Persona(const std::string& uci) {
        rules_test::PonerMovimiento(tablero, uci);
        tablero.ValidarMovimiento();
        EXPECT_TRUE(tablero.MovimientoValido) << uci;
        tablero.Turno = turno::Nadie;
        const Decision d = p.JugadaDePersona();
        tablero.MovimientoAnulado();
        return d;
    }
    // An engine's line. The move it names is played on the board as the panel plays
    // it: the decision on the line is kept in `leida`, and the one on the board's
    // outcome is returned.
    Decision Motor(int ranura, const QString& linea) {
        leida = p.Linea(ranura, linea);
        if (!leida.jugada) return leida;
        EXPECT_EQ(leida.jugada->ranura, ranura);
        const xboard::JugadaTablero& j = leida.jugada->jugada;
        tablero.PiezaCoronacion = j.pieza;
        tablero.Origen = j.origen;
        tablero.Destino = j.destino;
        tablero.ValidarMovimiento();
        using Aplicada = PartidaMotores::Aplicada;
        const Aplicada a = !tablero.MovimientoValido              ? Aplicada::Rechazada
                           : tablero.JaqueMate || tablero.Ahogado ? Aplicada::Fin
                                                                  : Aplicada::Jugada;
        const bool enroque = tablero.MovimientoEnroque;
        tablero.MovimientoAnulado();
        return p.JugadaEnTablero(a, enroque);
    }
    // The game ended: the engines that played are to be stopped and are forgotten.
    void Terminada(const Decision& d, int ganador, std::array<bool, 3> detener) {
        ASSERT_TRUE(d.fin);
        EXPECT_EQ(d.fin->ganador, ganador);
        EXPECT_EQ(d.fin->detener, detener);
        EXPECT_EQ(tablero.Turno, turno::Nadie);
        EXPECT_FALSE(motor1.Activo || motor2.Activo);
        EXPECT_EQ(d.reloj[turno::Blancas], Orden::Parar);
        EXPECT_EQ(d.reloj[turno::Negras], Orden::Parar);
    }

    decltype(TextosIdioma) textos_;
    std::int64_t ahora = 5'000'000;
    rules::Reglas tablero;
    DatosMotor motor1, motor2;
    long minutosB = 0, segundosB = 0, minutosN = 0, segundosN = 0;
    PartidaMotores::Nivel nivel{false, 0, "sd 2"};
    PartidaMotores p{motor1, motor2, tablero, {minutosB, segundosB}, {minutosN, segundosN}, [this] { return nivel; }};
    Decision leida;
};

// The three writes of the start, at level "sd 2".
QStringList Arranque(int ranura, bool go) {
    const QString n = QString::number(ranura) + ":";
    return {n + "xboard\r\nprotover 2\r\nnew\r\n", n + "random\r\nsd 2\r\n", n + "post\r\neasy" + (go ? "\r\ngo" : "")};
}

// ---- Whose turn ------------------------------------------------------------------------------

TEST_F(Juego, WhiteMovesFirstAndOnlyTheEngineOfTheSideToMoveMayMove) {
    Decision d = Empezar("", "negro");
    EXPECT_EQ(tablero.Turno, turno::Blancas);
    EXPECT_EQ(Escritas(d), Arranque(2, false));
    EXPECT_TRUE(d.relojesACero);
    EXPECT_EQ(p.NombreMotor(2), "negro");
    EXPECT_EQ(p.NombreMotor(1), "");
    EXPECT_EQ(d.invertir, false);  // the person's White at the bottom
    // Without the clock option the move goes alone.
    EXPECT_EQ(Escritas(Persona("e2e4")), QStringList{"2:e2e4"});
    d = Motor(2, "move e7e5");
    EXPECT_TRUE(d.escrituras.empty());
    EXPECT_EQ(tablero.Turno, turno::Blancas);
    EXPECT_EQ(motor2.UltimaLinea, "move e7e5");
    // A move while the person is to move ends the game, and is not played.
    d = Motor(2, "move g8f6");
    EXPECT_FALSE(leida.jugada);
    Terminada(d, -1, {false, false, true});
    EXPECT_EQ(Mensajes(d), QStringList{"Engine error: move g8f6"});
    EXPECT_EQ(d.mensajes[0].icono, Icono::Parada);
    // The name stays with the game on the board.
    EXPECT_EQ(p.NombreMotor(2), "negro");
}

TEST_F(Juego, AWhiteEngineIsToldToGoAndBetweenEnginesEachMoveGoesToTheOther) {
    Decision d = Empezar("blanco", "negro");
    EXPECT_EQ(tablero.Turno, turno::Nadie);
    EXPECT_EQ(Escritas(d), Arranque(2, false) + Arranque(1, true));
    EXPECT_FALSE(d.invertir);  // between engines the board stays as it is
    EXPECT_EQ(Escritas(Motor(1, "move e2e4")), QStringList{"2:e2e4"});
    EXPECT_EQ(tablero.Turno, turno::Nadie);
    EXPECT_EQ(Escritas(Motor(2, "move e7e5")), QStringList{"1:e7e5"});
    // Black again, while White is to move.
    d = Motor(2, "move d7d5");
    Terminada(d, -1, {false, true, true});
    EXPECT_EQ(Mensajes(d), QStringList{"Engine error: move d7d5"});
    // A move the board refuses ends the game with its line.
    EXPECT_EQ(Empezar("blanco", "").invertir, true);  // the person's Black at the bottom
    d = Motor(1, "move e2e5");
    Terminada(d, -1, {false, true, false});
    EXPECT_EQ(Mensajes(d), QStringList{"Engine error: move e2e5"});
    // A start that failed ends at once and names no engine.
    d = Empezar("blanco", "negro", rules_test::kInicial, false);
    Terminada(d, -1, {false, true, true});
    EXPECT_EQ(Mensajes(d), QStringList{"88"});
    EXPECT_TRUE(d.escrituras.empty());
    EXPECT_FALSE(d.invertir);
    EXPECT_EQ(p.NombreMotor(1), "");
    // The panel closing leaves nobody to move.
    Empezar("", "negro");
    p.Cerrar();
    EXPECT_EQ(tablero.Turno, turno::Nadie);
    EXPECT_FALSE(p.HayMotor());
}

// ---- Clocks ------------------------------------------------------------------------------------

TEST_F(Juego, OnTheClockEachMoveCarriesTheReceiversTimeThenTheOthersThenTheMove) {
    nivel = {true, 5, "level 40 5 0"};
    Decision d = Empezar("", "negro");
    EXPECT_EQ(d.mostrar, (std::vector<int>{1, 2}));
    EXPECT_EQ(d.reloj[turno::Blancas], Orden::Arrancar);
    EXPECT_EQ(minutosB, 5);
    // White thinks before the first move: the first move gives that time back.
    ahora += 3'000;
    d = p.Tic(turno::Blancas);
    EXPECT_EQ(d.mostrar, std::vector<int>{1});
    EXPECT_EQ(std::pair(minutosB, segundosB), std::pair(4L, 57L));
    d = Persona("e2e4");
    EXPECT_EQ(Escritas(d), QStringList{"2:time 30000\r\notim 30000\r\ne2e4"});
    EXPECT_EQ(d.reloj[turno::Negras], Orden::Arrancar);
    EXPECT_EQ(d.reloj[turno::Blancas], Orden::Parar);
    // The engine thinks four seconds; then White's clock runs.
    ahora += 4'000;
    Motor(2, "move e7e5");
    EXPECT_EQ(leida.reloj[turno::Blancas], Orden::Arrancar);
    EXPECT_EQ(leida.reloj[turno::Negras], Orden::Parar);
    ahora += 2'500;
    EXPECT_EQ(Escritas(Persona("d2d4")), QStringList{"2:time 29600\r\notim 29800\r\nd2d4"});

    // Between engines the receiver's own clock comes first.
    Empezar("blanco", "negro");
    ahora += 1'000;
    EXPECT_EQ(Escritas(Motor(1, "move e2e4")), QStringList{"2:time 30000\r\notim 29900\r\ne2e4"});
}

TEST_F(Juego, AFlagFallEndsTheGameAndNamesTheEngineWhoseTimeIsUp) {
    nivel = {true, 1, "level 0 1 0"};
    Empezar("", "negro");
    Persona("e2e4");
    ahora += 30'000;
    EXPECT_FALSE(p.Tic(turno::Negras).fin);
    ahora += 31'000;
    Decision d = p.Tic(turno::Negras);
    Terminada(d, 1, {false, false, true});
    EXPECT_TRUE(d.fin->porTiempo);
    EXPECT_TRUE(d.fin->sonido);
    EXPECT_EQ(Mensajes(d), QStringList{"negro. You win on time!"});
    // The person's flag.
    Empezar("", "negro");
    ahora += 61'000;
    d = p.Tic(turno::Blancas);
    Terminada(d, 2, {false, false, true});
    EXPECT_FALSE(d.fin->sonido);
    EXPECT_EQ(Mensajes(d), QStringList{"29"});
    // Between engines both are named.
    Empezar("blanco", "negro");
    Motor(1, "move e2e4");
    ahora += 61'000;
    d = p.Tic(turno::Negras);
    EXPECT_EQ(Mensajes(d), QStringList{"negro: Your time is up. blanco wins."});
    // Without the clock option a tick only stops that clock.
    nivel.reloj = false;
    Empezar("", "negro");
    d = p.Tic(turno::Blancas);
    EXPECT_EQ(d.reloj[turno::Blancas], Orden::Parar);
    EXPECT_FALSE(d.fin);
    EXPECT_TRUE(d.mostrar.empty());
}

// ---- Castling ------------------------------------------------------------------------------------

TEST_F(Juego, ACastlingIsSaidAgainInWordsWhenTheReceiverStaysSilent) {
    const char* enroques = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    Empezar("blanco", "negro", enroques);
    Decision d = Motor(1, "move e1g1");
    EXPECT_EQ(Escritas(d), QStringList{"2:e1g1"});
    EXPECT_EQ(d.enroque, Orden::Arrancar);
    EXPECT_TRUE(p.EnroquePendiente());
    d = p.ReintentarEnroque();
    EXPECT_EQ(Escritas(d), QStringList{"2:O-O"});
    EXPECT_EQ(d.enroque, Orden::Parar);
    EXPECT_FALSE(p.EnroquePendiente());
    // Any line of the receiver answers the retry.
    EXPECT_EQ(Escritas(Motor(2, "move e8c8")), QStringList{"1:e8c8"});
    EXPECT_TRUE(p.EnroquePendiente());
    d = Motor(1, "thinking about it");
    EXPECT_EQ(d.enroque, Orden::Parar);
    EXPECT_FALSE(p.EnroquePendiente());
    // A castling in words is not said again.
    Empezar("blanco", "negro", enroques);
    EXPECT_EQ(Escritas(Motor(1, "move O-O-O")), QStringList{"2:e1c1"});
    EXPECT_TRUE(p.EnroquePendiente());
    EXPECT_TRUE(p.ReintentarEnroque().escrituras.empty());
    // A rook from e1 to g1 is no castling.
    Empezar("blanco", "negro", "k7/8/8/8/8/8/7K/4R3 w - - 0 1");
    d = Motor(1, "move e1g1");
    EXPECT_EQ(Escritas(d), QStringList{"2:e1g1"});
    EXPECT_EQ(d.enroque, Orden::Igual);
    EXPECT_FALSE(p.EnroquePendiente());
}

// ---- Requests ---------------------------------------------------------------------------------------

TEST_F(Juego, AnEnginesDrawOfferIsPutToThePersonOnceBetweenTwoMoves) {
    Empezar("", "negro");
    Persona("e2e4");
    EXPECT_EQ(Motor(2, "offer draw").oferta, "negro offers a draw.");
    EXPECT_EQ(Motor(2, "offer draw").oferta, "");
    Motor(2, "move e7e5");
    Persona("d2d4");
    EXPECT_EQ(Motor(2, "offer draw").oferta, "negro offers a draw.");
    EXPECT_FALSE(p.RespuestaOferta(false).fin);
    const Decision d = p.RespuestaOferta(true);
    Terminada(d, 0, {false, false, true});
    EXPECT_TRUE(d.mensajes.empty());
    // Once the game has ended a late Yes changes nothing.
    EXPECT_FALSE(p.RespuestaOferta(true).fin);
}

TEST_F(Juego, TwoEnginesAgreeADrawByOfferingBothWays) {
    struct Fila {
        QStringList lineas;  // "1:" White's, "2:" Black's, in turn
        bool tablas;         // the last line ends the game as a draw
    };
    const Fila filas[] = {
        {{"1:offer draw", "2:offer draw"}, true},
        // The offer goes with the move that follows it: answered before the next move.
        {{"1:offer draw", "1:move e2e4", "2:offer draw"}, true},
        {{"1:offer draw", "1:move e2e4", "2:1/2-1/2"}, true},
        // An offer the other engine has moved past is no longer there.
        {{"1:offer draw", "1:move e2e4", "2:move e7e5", "1:move g1f3", "2:offer draw"}, false},
    };
    for (const Fila& f : filas) {
        Empezar("blanco", "negro");
        Decision d = Motor(1, f.lineas[0].mid(2));
        EXPECT_EQ(Escritas(d), QStringList{"2:draw"});
        EXPECT_EQ(d.espera, Orden::Arrancar);
        EXPECT_EQ(d.oferta, "");
        for (qsizetype i = 1; i < f.lineas.size(); ++i) d = Motor(f.lineas[i].left(1).toInt(), f.lineas[i].mid(2));
        if (f.tablas) {
            Terminada(d, 0, {false, true, true});
            EXPECT_EQ(Mensajes(d), QStringList{"95"}) << f.lineas.join(", ").toStdString();
        } else {
            EXPECT_FALSE(d.fin) << f.lineas.join(", ").toStdString();
            EXPECT_EQ(Escritas(d), QStringList{"1:draw"});
        }
    }
}

TEST_F(Juego, AHintIsShownOnlyWhenAskedForAndOnlyOnce) {
    Empezar("", "negro");
    Persona("e2e4");
    Motor(2, "move e7e5");
    EXPECT_TRUE(Motor(2, "Hint: g8f6").mensajes.empty());
    // "Move now" only while the engine thinks.
    EXPECT_TRUE(p.MoverYa().escrituras.empty());
    Decision d = p.PedirPista();
    EXPECT_EQ(Escritas(d), QStringList{"2:hint"});
    EXPECT_EQ(d.espera, Orden::Arrancar);
    EXPECT_TRUE(p.EsperandoRespuesta());
    d = Motor(2, "Hint: g8f6");
    EXPECT_EQ(Mensajes(d), QStringList{" g8f6"});
    EXPECT_EQ(d.espera, Orden::Parar);
    EXPECT_FALSE(p.EsperandoRespuesta());
    EXPECT_TRUE(Motor(2, "Hint: g8f6").mensajes.empty());
}

TEST_F(Juego, RequestsWithoutAnAnswerAreReportedWhenTheirTimeRunsOut) {
    Empezar("", "negro");
    Persona("e2e4");
    Motor(2, "move e7e5");
    p.PedirPista();
    EXPECT_EQ(Mensajes(p.SinRespuesta()), QStringList{"97"});
    EXPECT_EQ(Escritas(p.OfrecerTablas()), QStringList{"2:draw"});
    Decision d = p.SinRespuesta();
    EXPECT_EQ(Mensajes(d), QStringList{"96"});
    EXPECT_EQ(d.mensajes[0].icono, Icono::Informacion);
    EXPECT_FALSE(p.EsperandoRespuesta());
    // An error that answers a request is reported as refused; the game goes on.
    Persona("d2d4");
    p.MoverYa();
    d = Motor(2, "Error (unknown command): ?");
    EXPECT_EQ(Mensajes(d), QStringList{"89"});
    EXPECT_FALSE(d.fin);
    EXPECT_TRUE(motor2.Activo);
}

// ---- Ends ---------------------------------------------------------------------------------------------

TEST_F(Juego, AResultLineEndsTheGameWithTheResultItStatesForTheSideItNames) {
    struct Fila {
        QString linea;
        QString mensaje;
        int ganador;
    };
    const Fila filas[] = {
        {"resign", "negro resigns. You win!", 1},
        {"1-0 {Black resigns}", "negro resigns. You win!", 1},
        {"draw", "95", 0},
        // A claim the board does not bear out is the engine's error: a win, a draw by
        // rule, the person's resignation.
        {"1-0 {White mates}", "Engine error: 1-0 {White mates}", -1},
        {"0-1 {Black resigns}", "Engine error: 0-1 {Black resigns}", -1},
        {"0-1", "Engine error: 0-1", -1},
        {"0-1 {Black wins}", "Engine error: 0-1 {Black wins}", -1},
        {"1/2-1/2 {Draw by repetition}", "Engine error: 1/2-1/2 {Draw by repetition}", -1},
        {"0-1 {White resigns}", "Engine error: 0-1 {White resigns}", -1},
        // A result against the engine itself is said with the engine's line.
        {"1-0", "The game is over.\r\n1-0", 1},
        {"1-0 {White wins on time}", "The game is over.\r\n1-0 {White wins on time}", 1},
    };
    for (const Fila& f : filas) {
        Empezar("", "negro");
        Persona("e2e4");
        Motor(2, "move e7e5");
        const Decision d = Motor(2, f.linea);
        Terminada(d, f.ganador, {false, false, true});
        EXPECT_EQ(Mensajes(d), QStringList{f.mensaje}) << f.linea.toStdString();
    }
    // A mate the board shows is said by the board's text.
    Empezar("blanco", "", "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3");
    EXPECT_EQ(Mensajes(Motor(1, "0-1 {Black mates}")), QStringList{"2"});
    // Between engines the engine that resigns and the winner are named.
    Empezar("blanco", "negro");
    Motor(1, "move e2e4");
    EXPECT_EQ(Mensajes(Motor(1, "resign")), QStringList{"blanco resigns. negro wins."});
}

TEST_F(Juego, AWinOrADrawAnEngineClaimsStandsWhereTheBoardBearsItOut) {
    const char* kMate = "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3";
    const char* kReyes = "8/8/4k3/8/8/3K4/8/8 w - - 0 1";
    // Black's d-pawn may take en passant once White's e-pawn has made its double step.
    const char* kPeonD4 = "rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    const QStringList kVaivenes = {"g1f3", "g8f6", "f3g1", "f6g8"};
    struct Fila {
        const char* fen;
        const char* apertura;  // the person's first move, "" none
        int vaivenes;          // the knights out and back: the position comes again each time
        bool oferta;           // the person's draw offer waits
        const char* linea;     // from the Black engine
        QString mensaje;
        int ganador;
    };
    const Fila filas[] = {
        {kMate, "", 0, false, "0-1", "2", 2},
        {kReyes, "", 0, false, "1/2-1/2", "95", 0},
        {rules_test::kInicial, "", 2, false, "1/2-1/2 {Draw by repetition}", "95", 0},
        {rules_test::kInicial, "", 1, false, "1/2-1/2 {Draw by repetition}",
         "Engine error: 1/2-1/2 {Draw by repetition}", -1},
        {rules_test::kInicial, "", 0, true, "1/2-1/2 {Draw agreed}", "95", 0},
        // Real engines' words: a result line whatever its comment says.
        {rules_test::kInicial, "", 2, false, "1/2-1/2 {Draw by fifty move rule}", "95", 0},
        {kReyes, "", 0, false, "1/2-1/2 {Draw by fifty-move rule}", "95", 0},
        {rules_test::kInicial, "", 2, false, "1/2-1/2 {3-fold repetition, no move left}", "95", 0},
        {rules_test::kInicial, "", 1, false, "1/2-1/2 {50 move rule}", "Engine error: 1/2-1/2 {50 move rule}", -1},
        // The first of the three positions could be taken en passant, the others not.
        {kPeonD4, "e2e4", 2, false, "1/2-1/2 {3-fold repetition}", "Engine error: 1/2-1/2 {3-fold repetition}", -1},
        // A double step that no pawn can take changes no right.
        {rules_test::kInicial, "e2e4", 2, false, "1/2-1/2 {3-fold repetition}", "95", 0},
    };
    for (const Fila& f : filas) {
        Empezar("", "negro", f.fen);
        if (*f.apertura) Persona(f.apertura);
        // Each side takes its knight out and back, the side to move first.
        const int primera = *f.apertura ? 1 : 0;
        for (int i = 0; i < 4 * f.vaivenes; ++i) {
            const QString& j = kVaivenes[(primera + i) % 2 + 2 * ((i / 2) % 2)];
            if (tablero.Jugadas.List1.size() % 2 == 0)
                Persona(j.toStdString());
            else
                Motor(2, "move " + j);
        }
        if (f.oferta) p.OfrecerTablas();
        const Decision d = Motor(2, f.linea);
        Terminada(d, f.ganador, {false, false, true});
        EXPECT_EQ(Mensajes(d), QStringList{f.mensaje}) << f.linea << " " << f.fen;
    }
}

TEST_F(Juego, ALineThatRefusesTheMoveJustSentEndsTheGameAndIsQuotedWhole) {
    struct Fila {
        QString linea;    // from the Black engine after the person's 2.Nf3
        QString mensaje;  // "" the game goes on, and the engine's next move is played
    };
    const Fila filas[] = {
        {"Invalid move: g1f3", "Engine error: Invalid move: g1f3"},
        {"unknown command: g1f3", "Engine error: unknown command: g1f3"},
        {"Illegal move: g1f3", "Engine error: Illegal move: g1f3"},
        // While the engine is to move, a refusal in any words, of any move or of none.
        {"Invalid move", "Engine error: Invalid move"},
        {"Invalid move: Nf3", "Engine error: Invalid move: Nf3"},
        {"Invalid move: e2e4", "Engine error: Invalid move: e2e4"},
        {QString::fromLatin1("move b8c6\0 e7e6", 15), "Engine error: move b8c6<NUL> e7e6"},
        // Thinking, comments, words for the user and warnings refuse nothing.
        {"  3 12 5 345 b8c6 g1f3 invalid", ""},
        {"# g1f3: no error, thinking", ""},
        {"telluser unknown book line after g1f3", ""},
        {"info string no error after g1f3", ""},
        {"warning: g1f3 is illegal in my book", ""},
        {"Invalid hash size", ""},
    };
    for (const Fila& f : filas) {
        Empezar("", "negro");
        Persona("e2e4");
        Motor(2, "move e7e5");
        Persona("g1f3");
        Decision d = Motor(2, f.linea);
        EXPECT_EQ(Mensajes(d), f.mensaje.isEmpty() ? QStringList{} : QStringList{f.mensaje}) << f.linea.toStdString();
        if (!f.mensaje.isEmpty()) {
            Terminada(d, -1, {false, false, true});
            continue;
        }
        EXPECT_FALSE(d.fin) << f.linea.toStdString();
        d = Motor(2, "move b8c6");
        EXPECT_FALSE(d.fin) << f.linea.toStdString();
        EXPECT_EQ(tablero.Jugadas.List1.size(), 4u) << f.linea.toStdString();
    }
}

TEST_F(Juego, AnEngineThatEndsOrComplainsOnItsErrorOutputEndsTheGame) {
    Empezar("", "negro");
    EXPECT_FALSE(p.MotorTerminado(1).fin);
    Decision d = p.MotorTerminado(2);
    Terminada(d, -1, {false, false, true});
    EXPECT_EQ(Mensajes(d), QStringList{"Engine error: negro"});
    Empezar("", "negro");
    d = p.ErrorDelMotor("ruido 0");
    Terminada(d, -1, {false, false, true});
    EXPECT_TRUE(d.fin->descargar);
    EXPECT_EQ(Mensajes(d), QStringList{"[ERROR] ruido 0"});
    EXPECT_EQ(d.mensajes[0].icono, Icono::Parada);
}

TEST_F(Juego, ThePersonResignsAgainstAWhiteEngineOnlyOnItsOwnTurn) {
    Empezar("blanco", "");
    EXPECT_FALSE(p.Rendirse().fin);
    Motor(1, "move e2e4");
    Decision d = p.Rendirse();
    Terminada(d, 1, {false, true, false});
    EXPECT_EQ(Mensajes(d), QStringList{"Resigns. blanco wins."});
    // Against a Black engine at any time; between engines never.
    Empezar("", "negro");
    Persona("e2e4");
    EXPECT_EQ(p.Rendirse().fin->ganador, 2);
    Empezar("blanco", "negro");
    EXPECT_FALSE(p.Rendirse().fin);
}

// ---- Take-back -------------------------------------------------------------------------------------

TEST_F(Juego, TakeBackRemovesTheMovesTheEngineIsToldToRemove) {
    Empezar("", "negro");
    Persona("e2e4");
    Motor(2, "move e7e5");
    Persona("d2d4");
    // Not while the engine thinks.
    Decision d = p.Retroceder();
    EXPECT_EQ(d.retrocesos, 0);
    EXPECT_TRUE(d.escrituras.empty());
    Motor(2, "move g8f6");
    d = p.Retroceder();
    EXPECT_EQ(d.retrocesos, 2);
    EXPECT_EQ(Escritas(d), QStringList{"2:remove"});
    // Against a White engine not after its first move alone; between engines never.
    Empezar("blanco", "");
    Motor(1, "move e2e4");
    EXPECT_EQ(p.Retroceder().retrocesos, 0);
    Empezar("blanco", "negro");
    Motor(1, "move e2e4");
    EXPECT_EQ(p.Retroceder().retrocesos, 0);
    // Between persons one move.
    p.Olvidar();
    ASSERT_TRUE(rules_test::Preparar(tablero, rules_test::kInicial));
    p.EntrePersonas();
    ASSERT_TRUE(rules_test::Jugar(tablero, "e2e4").valido);
    d = p.Retroceder();
    EXPECT_EQ(d.retrocesos, 1);
    EXPECT_TRUE(d.escrituras.empty());
}

}  // namespace
