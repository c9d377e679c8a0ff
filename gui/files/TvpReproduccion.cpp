#include "files/TvpReproduccion.h"

#include "files/TvpTexto.h"
#include "network/Palabras.h"
#include "rules/textos.h"

namespace tvp {

int Intervalo(bool conectado, long enCola) {
    if (!conectado || enCola < 6) return 100;
    if (enCola <= 10) return 300;
    if (enCola <= 15) return 500;
    if (enCola <= 20) return 700;
    if (enCola <= 25) return 1000;
    return 1500;
}

int ColorDeRespuesta(const QString& respuesta, const QString& pregunta) {
    // A language file without the question's letters still lets the player answer.
    const QChar blancas = pregunta.size() >= 4 ? pregunta[pregunta.size() - 4].toUpper() : QChar(u'W');
    const QChar negras = pregunta.size() >= 4 ? pregunta[pregunta.size() - 2].toUpper() : QChar(u'B');
    const QString r = respuesta.trimmed().toUpper();
    if (r.size() != 1) return 0;
    if (r[0] == blancas) return turno::Blancas;
    if (r[0] == negras) return turno::Negras;
    return 0;
}

int PreguntarColor(Entorno& e, int mueve) {
    const QString mueven = e.Texto(mueve == turno::Blancas ? texto::ColorBlancas : texto::ColorNegras);
    const QString pregunta =
        e.Texto(texto::PartidaCargada) + " " + mueven + "." + "\r\n" + e.Texto(texto::PreguntaColor);
    while (e.Juego().Conectado) {
        const QString respuesta = e.PedirTexto(pregunta, e.Texto(texto::ColorJugador));
        const int color = ColorDeRespuesta(respuesta, e.Texto(texto::PreguntaColor));
        if (color != 0) return color;
    }
    return 0;
}

Reproduccion::Reproduccion(Entorno& entorno, std::vector<QString>& datos) : e_(entorno), datos_(datos) {}

void Reproduccion::Empezar() {
    indice_ = 0;
    intervalo_ = 100;
    e_.Juego().TurnoFichero = turno_fichero::Blancas;
}

Reproduccion::Paso Reproduccion::Tick() {
    auto& g = e_.Juego();
    const long enCola = e_.EnCola();
    intervalo_ = Intervalo(g.Conectado, enCola);
    if (enCola > kMaximoEnCola) return Paso::Espera;
    ++indice_;
    if (indice_ >= long(datos_.size())) return Paso::Fin;
    const QString token = datos_[size_t(indice_)];
    if (token.isEmpty()) return Paso::Sigue;

    Paso paso = Paso::Sigue;
    if (token.size() == 1) {
        // Any one-letter token is the game type; the last one wins.
        g.TipoPartida = g.Conectado ? token.toStdString() : "A";
        if (g.Conectado) e_.Encolar(tvp::Tvp(corriente::Dato, token));
    } else if (token.size() >= 4 && e_.RelojVacio(turno::Blancas)) {
        PonerReloj(turno::Blancas, token, paso);
    } else if (token.size() >= 4 && e_.RelojVacio(turno::Negras)) {
        PonerReloj(turno::Negras, token, paso);
    } else if (token.size() >= 4) {
        Mover(token, paso);
    }
    return paso;
}

void Reproduccion::PonerReloj(int lado, const QString& token, Paso& paso) {
    auto& g = e_.Juego();
    if (!g.Conectado) {
        // A game replayed at one board has no clock.
        e_.FijarReloj(lado, 0, 0);
        return;
    }
    const auto reloj = LeerReloj(token);
    if (!reloj) {
        Abortar();
        paso = Paso::Abortada;
        return;
    }
    e_.FijarReloj(lado, reloj->minutos, reloj->segundos);
    e_.Encolar(tvp::Tvp(lado == turno::Blancas ? corriente::RelojBlancas : corriente::RelojNegras, token));
}

void Reproduccion::Mover(const QString& token, Paso& paso) {
    auto& g = e_.Juego();
    g.Turno = g.LadoFichero();
    const auto jugada = LeerJugada(token);
    if (!jugada) {
        // A field that is no number: the replay ends without naming a bad move.
        Abortar();
        paso = Paso::Abortada;
        return;
    }
    g.Origen = jugada->origen;
    g.Destino = jugada->destino;
    g.PiezaCoronacion = jugada->pieza;
    // A four-digit promotion asks for the piece: the chooser's answer is what the
    // peer gets too.
    g.ValidarMovimiento();
    if (!g.MovimientoValido) {
        TokenErroneo();
        paso = Paso::Abortada;
        return;
    }
    if (g.Conectado)
        e_.Encolar(tvp::Tvp(corriente::Jugada,
                            token.left(4) + (g.PiezaCoronacion != 0 ? QString::number(g.PiezaCoronacion) : QString())));
    g.SeguirTurnoFichero();
    if (g.JaqueMate || g.Ahogado) {
        const bool mate = g.JaqueMate;
        g.Turno = turno::Nadie;
        g.MiColor.clear();
        g.TipoPartida.clear();
        RelojesACero();
        if (mate)
            e_.FinJaqueMate();
        else
            e_.FinAhogado();
    }
    e_.MovimientoAnulado();
}

void Reproduccion::TokenErroneo() {
    auto& g = e_.Juego();
    g.Turno = turno::Nadie;
    g.TurnoFichero = turno_fichero::Blancas;
    e_.Aviso(texto::JugadaNoValida);
    Abortar();
}

void Reproduccion::Abortar() {
    auto& g = e_.Juego();
    if (g.Conectado) e_.Encolar(tvp::Tvp(corriente::Error));
    datos_.assign(2, QString());
    e_.TableroVacio();
    e_.FijarPartidaDeFichero(false);
    e_.FijarPosicionPreparada(false);
    g.TipoPartida.clear();
    g.MiColor.clear();
    g.Turno = turno::Nadie;
    g.TurnoFichero = turno_fichero::Blancas;
    e_.NuevaPartida();
    e_.VentanasLaterales();
    e_.MostrarDesde(false);
    e_.QuitaMarco();
    e_.Aviso(texto::NadaCargado);
    RelojesACero();
}

void Reproduccion::RelojesACero() {
    e_.FijarReloj(turno::Blancas, 0, 0);
    e_.FijarReloj(turno::Negras, 0, 0);
}

Reproduccion::Cierre Reproduccion::TickCierre() {
    // Every mirrored token leaves before the replay ends.
    if (e_.EnCola() > 0) return Cierre::Espera;
    auto& g = e_.Juego();
    if (!g.TipoPartida.empty()) {
        if (g.Conectado) {
            if (const int color = PreguntarColor(e_, g.LadoFichero())) g.Turno = color;
        }
        g.TurnoFichero = g.TurnoFichero == turno_fichero::Negras ? turno::Negras : turno::Blancas;
        const bool conectado = g.Conectado;
        if (!conectado) g.Turno = g.TurnoFichero;
        g.MiColor = g.Turno == turno::Blancas  ? color_local::Blancas
                    : g.Turno == turno::Negras ? color_local::Negras
                                               : "";
        if (conectado) e_.Encolar(tvp::Tvp(corriente::Dato, g.Turno == turno::Blancas ? "N" : "B"));
        QString primero = QString::number(turno::Nadie);
        if (g.Turno != g.TurnoFichero) {
            // The peer moves first.
            primero = QString::number(g.TurnoFichero);
            g.Turno = turno::Nadie;
        }
        if (conectado) e_.Encolar(tvp::Tvp(corriente::Dato, primero));
    } else {
        // No game follows (a mate or stalemate ended it, or the file names no type):
        // nobody is to move.
        g.Turno = turno::Nadie;
    }
    e_.VentanasLaterales();
    datos_.assign(2, QString());
    // The peer leaves its waiting notice on this, moves or none.
    if (g.Conectado) e_.Encolar(tvp::Tvp(corriente::Terminado));
    e_.TableroVacio();
    e_.FijarPartidaDeFichero(false);
    e_.MostrarDesde(g.Conectado && g.MiColor == color_local::Negras);
    e_.QuitaMarco();
    if (g.Jugadas.List[1].empty()) {
        e_.Aviso(texto::NadaCargado);
        RelojesACero();
    }
    return Cierre::Hecho;
}

}  // namespace tvp
