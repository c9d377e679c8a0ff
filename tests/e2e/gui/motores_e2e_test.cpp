// Tavorin against real engines as child processes (offscreen): a person against Orvik
// by drags on the board, and whole games between Orvik and the Debian packages
// fairymax, hoichess and stockfish (through polyglot). Whole games are labelled slow;
// one that a third-party engine ends by crashing is skipped with the engine's name and
// signal, since it says nothing of Tavorin. A crash of Orvik fails, with its signal.
#include "partida_motor.h"

#include "../../gui/board/partida.h"
#include "app/CMensaje.h"
#include "app/Variables.h"
#include "engines/Cpu.h"
#include "engines/FormLevel2.h"
#include "legales.h"
#include "shell/Mdi.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <set>

namespace {

bool Invertido() { return Mdi().mnuInvertirTablero->isChecked(); }

// A legal move for the side the board lets move, never a promotion (that would ask).
std::string JugadaLegal(unsigned semilla) {
    rules::Reglas copia;
    copia.Estado() = Reglas().Estado();
    auto jugadas = rules_test::JugadasAceptadas(copia);
    std::erase_if(jugadas, [](const rules_test::JugadaAceptada& j) { return j.uci.size() != 4; });
    if (jugadas.empty()) return {};
    return jugadas[semilla % jugadas.size()].uci;
}

class Reales : public PartidaMotor {
protected:
    void SetUp() override {
        PartidaMotor::SetUp();
        Enlace("Orvik", ORVIK);
        Enlace("fairymax", "/usr/games/fairymax");
        Enlace("hoichess", "/usr/games/hoichess");
        // stockfish through polyglot: a script that starts polyglot in the engine's folder.
        const QString carpeta = e->Ruta("Motor/Stockfish");
        QDir().mkpath(carpeta);
        QFile ini(carpeta + "/polyglot.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[PolyGlot]\nEngineCommand = ./stockfish\nEngineDir = motor\nBook = false\n[Engine]\nThreads = 1\n");
        ini.close();
        // polyglot outlives its engine: the engine's signal is kept beside it, in a
        // folder of its own (the engine list takes a folder's first program).
        QDir().mkpath(carpeta + "/motor");
        QFile motor(carpeta + "/motor/stockfish");
        ASSERT_TRUE(motor.open(QIODevice::WriteOnly));
        motor.write(
            "#!/bin/sh\n/usr/games/stockfish\ns=$?\n[ $s -gt 128 ] && echo $((s - 128)) > senal.txt\nexit $s\n");
        motor.close();
        motor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile guion(carpeta + "/stockfish");
        ASSERT_TRUE(guion.open(QIODevice::WriteOnly));
        guion.write("#!/bin/sh\nexec /usr/games/polyglot\n");
        guion.close();
        guion.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Waits for the board to let the person move (0: either colour); an engine that
    // ends meanwhile fails at once, with its signal.
    void EsperarTurno(int turno = 0) {
        ASSERT_TRUE(Esperar(
            [&] { return (turno == 0 ? Reglas().Turno != 0 : Reglas().Turno == turno) || !finales.empty(); }, 60000))
            << "the engine did not move in 60 s";
        ASSERT_TRUE(finales.empty()) << Finales().toStdString();
    }

    // The person's move: the board must let the person move, then a drag.
    void MoverPersona(unsigned semilla) {
        EsperarTurno();
        if (HasFatalFailure()) return;
        const std::string j = JugadaLegal(semilla);
        ASSERT_FALSE(j.empty());
        const auto antes = Reglas().Jugadas.List1.size();
        Partida::Arrastrar(j.substr(0, 2), j.substr(2, 2));
        ASSERT_EQ(Reglas().Jugadas.List1.size(), antes + 1) << j;
    }

    // Plays on until both engines have stopped; a game without a move for 60 s while an
    // engine is to move fails.
    void HastaElFinal() {
        auto activos = [] { return Motor1.Activo || Motor2.Activo; };
        while (activos()) {
            const std::size_t n = Reglas().Jugadas.List1.size();
            const bool movido = Esperar([&] { return !activos() || Reglas().Jugadas.List1.size() != n; }, 60000);
            ASSERT_TRUE(movido) << "no move for 60 s after " << n << " moves";
            ASSERT_LT(Reglas().Jugadas.List1.size(), 1200u) << "the game does not end";
        }
    }

    // Every move of the list, replayed from the start, is legal and gives the board.
    void ListaCompleta() {
        rules::Reglas r;
        ASSERT_TRUE(r.LeerFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"));
        r.Turno = 1;
        const QStringList lineas = QString::fromStdString(Reglas().Jugadas.List[4]).split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(std::size_t(lineas.size()), Reglas().Jugadas.List1.size());
        for (const QString& l : lineas) {
            std::string uci;
            for (int i = 0; i < 4; i += 2) uci += {char('a' + l[i].digitValue() - 1), char(l[i + 1].unicode())};
            if (l.size() > 4) {
                const int pieza = l.mid(4).toInt();  // 2..5 White, 8..11 Black: rook, knight, bishop, queen
                uci += "  rnbq"[pieza > 5 ? pieza - 6 : pieza];
            }
            ASSERT_TRUE(rules_test::Hacer(r, uci)) << l.toStdString();
        }
        EXPECT_EQ(r.Casillas, Reglas().Casillas);
    }

    // Plays a whole game between two engines. Returns why the game says nothing of
    // Tavorin, when it does not: a third-party engine is not installed, or crashed (its
    // name and signal); empty otherwise.
    QString JugarHastaElFinal(const char* blancas, const char* negras) {
        for (const char* m : {blancas, negras})
            if (const QString p = Programa(m); !p.isEmpty() && !QFileInfo(p).isExecutable())
                return QString("%1 is not installed").arg(p);
        [&] {
            ASSERT_TRUE(Empezar(blancas, negras));
            HastaElFinal();
        }();
        return CaidaAjena();
    }

    // The program behind a third-party engine's name.
    static QString Programa(const QString& motor) {
        if (motor == "fairymax" || motor == "hoichess") return "/usr/games/" + motor;
        if (motor == "stockfish") return "/usr/games/polyglot";
        return {};
    }

    // A third-party engine that ended of a signal in mid-game, with the signal.
    QString CaidaAjena() const {
        QStringList t;
        for (const Final& f : finales) {
            if (Programa(f.motor).isEmpty()) continue;
            int senal = f.senal;
            if (f.motor == "stockfish" && senal == 0) {
                QFile s(e->Ruta("Motor/Stockfish/motor/senal.txt"));
                if (s.open(QIODevice::ReadOnly)) senal = s.readAll().trimmed().toInt();
            }
            if (senal != 0) t << QString("%1 ended by signal %2 (%3)").arg(f.motor).arg(senal).arg(strsignal(senal));
        }
        return t.join("; ");
    }

    // No message but the end of the game: no engine error.
    void SinErrores() {
        for (const auto& m : e->mensajes) {
            EXPECT_FALSE(m.texto.startsWith(TextosIdioma[90])) << m.texto.toStdString();
            EXPECT_FALSE(m.texto.startsWith("[ERROR]")) << m.texto.toStdString();
        }
    }
};

TEST_F(Reales, APersonPlaysWhiteAgainstOrvikTakesBackAsksAHintAndResigns) {
    Nivel(0, "3");
    ASSERT_TRUE(Empezar("", "orvik"));
    EXPECT_FALSE(Invertido());
    for (unsigned i = 0; i < 3; ++i) ASSERT_NO_FATAL_FAILURE(MoverPersona(i * 7));
    ASSERT_NO_FATAL_FAILURE(EsperarTurno(1));
    ASSERT_EQ(Registros().size(), 6);
    const QStringList antes = Registros().mid(0, 4);
    Mdi().mnuRetroceder->trigger();
    EXPECT_EQ(Registros(), antes);
    EXPECT_EQ(Reglas().Turno, 1);
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    Cpu().Toolbar1[9]->trigger();
    ASSERT_TRUE(Esperar([&] { return !e->mensajes.empty(); }, 20000));
    EXPECT_FALSE(e->mensajes[0].texto.trimmed().isEmpty());
    ASSERT_NO_FATAL_FAILURE(MoverPersona(3));
    ASSERT_NO_FATAL_FAILURE(EsperarTurno(1));
    e->mensajes.clear();
    Mdi().mnuRendirse->trigger();
    QString t = TextosIdioma[92];
    t[0] = t[0].toUpper();
    EXPECT_EQ(Mensajes(), QStringList{t.left(t.indexOf('$')) + "orvik" + t.mid(t.indexOf('$') + 1)});
    EXPECT_FALSE(Motor2.Activo);
    SinErrores();
}

TEST_F(Reales, OrvikOpensAgainstAPersonPlayingBlackOnATurnedBoard) {
    Nivel(0, "3");
    ASSERT_TRUE(Empezar("orvik", ""));
    EXPECT_TRUE(Invertido());
    for (unsigned i = 0; i < 3; ++i) ASSERT_NO_FATAL_FAILURE(MoverPersona(i * 5 + 1));
    ASSERT_NO_FATAL_FAILURE(EsperarTurno(2));
    EXPECT_EQ(Registros().size(), 7);
    EXPECT_EQ(Partida::DibujoDistinto(), "");
    Mdi().mnuRendirse->trigger();
    ASSERT_EQ(e->mensajes.size(), 1u);
    EXPECT_TRUE(e->mensajes[0].texto.contains("orvik"));
    SinErrores();
}

// ---- Whole games between engines (slow) -------------------------------------------------------

struct Encuentro {
    const char* blancas;
    const char* negras;
    int modo;
    const char* valor;
};

class Partidas : public Reales, public ::testing::WithParamInterface<Encuentro> {};

TEST_P(Partidas, TwoEnginesPlayToTheEndAndEveryMoveIsKept) {
    const Encuentro& p = GetParam();
    Nivel(p.modo, p.valor);
    if (const QString ajeno = JugarHastaElFinal(p.blancas, p.negras); !ajeno.isEmpty())
        GTEST_SKIP() << ajeno.toStdString();
    if (HasFatalFailure()) return;
    ListaCompleta();
    SinErrores();
    EXPECT_GT(Registros().size(), 2);
    std::cout << p.blancas << "-" << p.negras << ": " << Registros().size() << " moves; "
              << (e->mensajes.empty() ? QString("a result line") : e->mensajes.back().texto).toStdString() << "\n";
}

INSTANTIATE_TEST_SUITE_P(Motores, Partidas,
                         ::testing::Values(Encuentro{"orvik", "fairymax", 0, "2"},
                                           Encuentro{"stockfish", "orvik", 0, "2"},
                                           Encuentro{"fairymax", "stockfish", 0, "2"},
                                           // hoichess left at once while the start sequence held "ics -".
                                           Encuentro{"hoichess", "orvik", 0, "2"}),
                         [](const ::testing::TestParamInfo<Encuentro>& i) {
                             return std::string(i.param.blancas) + "_" + i.param.negras;
                         });

TEST_F(Reales, UnderATimeControlTheClocksCountAndTheGameEnds) {
    Nivel(2, "1", "0");
    EXPECT_EQ(ComandoNivel, "level 0 1 0");
    // Both clocks count down while the engines play.
    std::set<QString> blancas, negras;
    QTimer mirar;
    QObject::connect(&mirar, &QTimer::timeout, [&] {
        blancas.insert(Cpu().Text6->text());
        negras.insert(Cpu().Text7->text());
    });
    mirar.start(100);
    if (const QString ajeno = JugarHastaElFinal("fairymax", "stockfish"); !ajeno.isEmpty())
        GTEST_SKIP() << ajeno.toStdString();
    if (HasFatalFailure()) return;
    EXPECT_GT(blancas.size(), 5u);
    EXPECT_GT(negras.size(), 5u);
    ListaCompleta();
    SinErrores();
}

}  // namespace
