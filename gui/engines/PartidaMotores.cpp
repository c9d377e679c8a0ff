#include "engines/PartidaMotores.h"

#include "app/CMensaje.h"
#include "app/Idioma.h"
#include "app/Variables.h"
#include "engines/Respuesta.h"
#include "files/PgnEscritor.h"
#include "rules/reglas.h"
#include "rules/textos.h"

#include <QLatin1String>
#include <QStringList>

namespace {

// The flag of an engine fell in a game between engines: the loser's name, that its
// time is up (the first sentence of that language text), and that the other engine
// wins (the sentence of the resignation text that names the winner at its "$").
QString TextoTiempoEntreMotores(const QString& perdedor, const QString& ganador) {
    const QString& agotado = TextosIdioma[texto::TiempoPropioAgotado];
    const qsizetype finAgotado = agotado.indexOf(u'.');
    const QString tiempo = finAgotado < 0 ? agotado : agotado.left(finAgotado + 1);
    const QString& gana = TextosIdioma[texto::AbandonaYGana];
    const qsizetype dolar = gana.indexOf(u'$');
    QString frase = ganador;
    if (dolar >= 0) {
        // The sentence begins after the full stop before the "$".
        const qsizetype punto = gana.lastIndexOf(u'.', dolar);
        frase = gana.mid(punto + 1).trimmed();
        frase.replace(u'$', ganador);
    }
    return perdedor + ": " + tiempo + " " + frase;
}

}  // namespace

PartidaMotores::PartidaMotores(DatosMotor& motor1, DatosMotor& motor2, rules::Reglas& tablero, Tiempo blancas,
                               Tiempo negras, std::function<Nivel()> nivel)
    : motor1_(motor1),
      motor2_(motor2),
      tablero_(tablero),
      blancas_(blancas),
      negras_(negras),
      nivel_(std::move(nivel)),
      relojBlancas_(blancas.minutos, blancas.segundos),
      relojNegras_(negras.minutos, negras.segundos) {}

QString PartidaMotores::NombreMotor(int lado) const {
    return lado == turno::Blancas || lado == turno::Negras ? nombres_[size_t(lado)] : QString();
}

int PartidaMotores::LadoAMover() const {
    return tablero_.Jugadas.List1.size() % 2 == 0 ? turno::Blancas : turno::Negras;
}

void PartidaMotores::TurnoDelColorLocal() {
    if (tablero_.MiColor == color_local::Negras) tablero_.Turno = turno::Negras;
    if (tablero_.MiColor == color_local::Blancas) tablero_.Turno = turno::Blancas;
}

// ---- Writes and clocks ---------------------------------------------------------------------

void PartidaMotores::Escribir(Decision& d, int ranura, const QString& texto) {
    DatosMotor& m = Ranura(ranura);
    m.Comando = texto;
    if (!m.Activo) return;
    m.UltimaLinea = "...";
    d.escrituras.push_back({ranura, texto});
}

QString PartidaMotores::ConRelojes(int receptor, const QString& jugada, bool reloj) {
    const long blancas = xboard::Centesimas(blancas_.minutos, blancas_.segundos);
    const long negras = xboard::Centesimas(negras_.minutos, negras_.segundos);
    const bool esBlancas = receptor == turno::Blancas;
    return xboard::ConRelojes(jugada, esBlancas ? blancas : negras, esBlancas ? negras : blancas, reloj);
}

void PartidaMotores::EncenderReloj(Decision& d, int lado) {
    d.reloj[size_t(turno::Otro(lado))] = Temporizador::Parar;
    Reloj(turno::Otro(lado)).Parar();
    Reloj(lado).Arrancar();
    d.reloj[size_t(lado)] = Temporizador::Arrancar;
}

void PartidaMotores::ApagarRelojes(Decision& d) {
    d.reloj[turno::Blancas] = d.reloj[turno::Negras] = Temporizador::Parar;
    relojBlancas_.Parar();
    relojNegras_.Parar();
}

bool PartidaMotores::Contar(Decision& d, int lado) {
    RelojMotor& reloj = Reloj(lado);
    if (!nivel_().reloj) {
        d.reloj[size_t(lado)] = Temporizador::Parar;
        reloj.Parar();
        return false;
    }
    // White's clock also ends a game whose White engine has gone.
    if (lado == turno::Blancas && !NombreMotor(turno::Blancas).isEmpty() && !motor1_.Activo) {
        Acabar(d, {}, Icono::Ninguno);
        return true;
    }
    reloj.Arrancar();
    reloj.Contar();
    d.mostrar.push_back(lado);
    if (!reloj.Agotado()) return false;
    // The flag fell: the person lost, or the engine did.
    QString texto = MensajeNumero(texto::TiempoPropioAgotado);
    const bool motor = Ranura(lado).Activo;
    if (motor) {
        const QString perdedor = NombreMotor(lado);
        texto = DosMotores() ? TextoTiempoEntreMotores(perdedor, NombreMotor(turno::Otro(lado)))
                             : perdedor + ". " + TextosIdioma[texto::TiempoRivalAgotado];
    }
    Acabar(d, texto, Icono::Informacion, turno::Otro(lado));
    d.fin->porTiempo = true;
    d.fin->sonido = motor;
    return true;
}

// ---- Ends --------------------------------------------------------------------------------

void PartidaMotores::Acabar(Decision& d, const QString& texto, Icono icono, int ganador) {
    Fin fin;
    fin.ganador = ganador;
    fin.detener = {false, motor1_.Activo, motor2_.Activo};
    d.fin = fin;
    ApagarRelojes(d);
    Reiniciar();
    tablero_.Turno = turno::Nadie;
    if (!texto.isEmpty()) d.mensajes.push_back({texto, icono});
}

void PartidaMotores::Reiniciar() {
    ultimoMovimiento_.clear();
    enroquePendiente_ = false;
    esperandoRespuesta_ = false;
    pistaPedida_ = false;
    ofertaVista_ = {};
    ofertaRecibida_ = {};
    relojBlancas_.Parar();
    relojNegras_.Parar();
    motor1_ = DatosMotor{};
    motor2_ = DatosMotor{};
}

void PartidaMotores::Cerrar() {
    Reiniciar();
    tablero_.Turno = turno::Nadie;
}

PartidaMotores::Decision PartidaMotores::Terminar() {
    Decision d;
    Acabar(d, {}, Icono::Ninguno);
    return d;
}

PartidaMotores::Decision PartidaMotores::Detener() { return Terminar(); }

void PartidaMotores::Abandono(Decision& d, int ranura) {
    const QString nombre = NombreMotor(ranura);
    QString texto;
    if (DosMotores()) {
        const auto [antes, despues] = PartirEnDolar(TextosIdioma[texto::AbandonaYGana]);
        texto = nombre + " " + antes + NombreMotor(turno::Otro(ranura)) + despues;
    } else {
        texto = nombre + PartirEnDolar(TextosIdioma[texto::MotorAbandona]).second;
    }
    Acabar(d, texto, Icono::Informacion, turno::Otro(ranura));
}

QString PartidaMotores::TextoAbandonoPersona(int motor) const {
    auto [antes, despues] = PartirEnDolar(TextosIdioma[texto::AbandonaYGana]);
    if (!antes.isEmpty()) antes[0] = antes[0].toUpper();
    return antes + NombreMotor(motor) + despues;
}

void PartidaMotores::FinPorResultado(Decision& d, int ranura, const respuesta::Resultado& r, const QString& linea) {
    ApagarRelojes(d);
    reclamacion::Tablero tablero;
    tablero.resultado = pgn::ResultadoDelTablero(tablero_);
    tablero.tablasPorRegla = historia_.TablasPorRegla(tablero_);
    tablero.ofertaPendiente = OfertaEnPie(ranura);
    if (!reclamacion::Admitida(r, ranura, tablero)) {
        Acabar(d, TextosIdioma[texto::ErrorMotor] + " " + respuesta::Citar(linea), Icono::Parada);
        return;
    }
    // A mate or a stalemate the board shows is said by the board's text.
    if (tablero.resultado == reclamacion::Marcador(r) && (r.ganador != turno::Nadie || r.ahogado)) {
        const int mensaje = r.ahogado                     ? texto::Ahogado
                            : r.ganador == turno::Blancas ? texto::MateBlancas
                                                          : texto::MateNegras;
        Acabar(d, MensajeNumero(mensaje), Icono::Informacion, r.ganador);
        return;
    }
    if (r.ganador == turno::Nadie) {
        Acabar(d, MensajeNumero(texto::Tablas), Icono::Informacion, turno::Nadie);
        return;
    }
    // What stands now is the engine's own loss.
    if (r.abandona == ranura) {
        Abandono(d, ranura);
        return;
    }
    Acabar(d, TextosIdioma[texto::PartidaTerminada] + "\r\n" + respuesta::Citar(linea), Icono::Informacion, r.ganador);
}

PartidaMotores::Decision PartidaMotores::MotorTerminado(int ranura) {
    Decision d;
    if (!Ranura(ranura).Activo) return d;
    Acabar(d, TextosIdioma[texto::ErrorMotor] + " " + NombreMotor(ranura), Icono::Parada);
    return d;
}

PartidaMotores::Decision PartidaMotores::ErrorDelMotor(const QString& texto) {
    Decision d;
    Acabar(d, "[ERROR] " + respuesta::Citar(texto), Icono::Parada);
    d.fin->descargar = true;
    return d;
}

// ---- The start ------------------------------------------------------------------------------

bool PartidaMotores::PreguntarAntesDeEmpezar() const { return !tablero_.Jugadas.List[1].empty() && HayMotor(); }

void PartidaMotores::Olvidar() {
    Reiniciar();
    nombres_ = {};
}

void PartidaMotores::EntrePersonas() { tablero_.Turno = turno::Blancas; }

void PartidaMotores::Sentar(int ranura, const QString& nombre) {
    Ranura(ranura).Activo = true;
    nombres_[size_t(ranura)] = nombre;
}

PartidaMotores::Decision PartidaMotores::Empezar(bool arrancado) {
    Decision d;
    // White moves first: the person, unless an engine plays White.
    tablero_.Turno = motor1_.Activo ? turno::Nadie : turno::Blancas;
    if (!arrancado) {
        nombres_ = {};
        Acabar(d, MensajeNumero(texto::MotorNoArranca), Icono::Parada);
        return d;
    }
    historia_.Empezar(tablero_);
    const Nivel nivel = nivel_();
    if (nivel.reloj) {
        if (tablero_.Jugadas.List1.empty()) {
            relojBlancas_.Poner(nivel.minutos, 0);
            relojNegras_.Poner(nivel.minutos, 0);
            d.mostrar = {turno::Blancas, turno::Negras};
        }
    } else {
        relojBlancas_.Poner(0, 0);
        relojNegras_.Poner(0, 0);
        d.relojesACero = true;
    }
    if (motor2_.Activo)
        for (const QString& texto : xboard::Arranque(nivel.comando, false)) Escribir(d, turno::Negras, texto);
    if (motor1_.Activo)
        for (const QString& texto : xboard::Arranque(nivel.comando, true)) Escribir(d, turno::Blancas, texto);
    // White's clock runs from the start; a person's first move sets both clocks again.
    if (nivel.reloj) EncenderReloj(d, turno::Blancas);
    if (motor1_.Activo != motor2_.Activo) d.invertir = motor1_.Activo;
    return d;
}

// ---- Moves -----------------------------------------------------------------------------------

PartidaMotores::Decision PartidaMotores::JugadaDePersona() {
    Decision d;
    // A game the move has ended on the board ends for the engines too; the board
    // then tells how.
    if (tablero_.JaqueMate || tablero_.Ahogado) return Terminar();
    historia_.Anotar(tablero_);
    ultimoMovimiento_ = xboard::Coordenadas(tablero_.Origen, tablero_.Destino, tablero_.PiezaCoronacion);
    ofertaVista_ = {};
    if (xboard::EsEnroque(ultimoMovimiento_)) {
        enroquePendiente_ = true;
        d.enroque = Temporizador::Arrancar;
    }
    const Nivel nivel = nivel_();
    if (nivel.reloj && tablero_.Jugadas.List1.size() == 1 && negras_.minutos == nivel.minutos) {
        relojBlancas_.Poner(nivel.minutos, 0);
        relojNegras_.Poner(nivel.minutos, 0);
        d.mostrar = {turno::Blancas, turno::Negras};
    }
    // The engine plays the side that did not move.
    const int motor = motor1_.Activo ? turno::Blancas : turno::Negras;
    if (nivel.reloj && Ranura(motor).Activo) {
        EncenderReloj(d, motor);
        if (Contar(d, motor)) return d;
    }
    Escribir(d, motor, ConRelojes(motor, ultimoMovimiento_, nivel.reloj));
    return d;
}

void PartidaMotores::JugadaLeida(Decision& d, int ranura, const respuesta::Lectura& lectura, const QString& linea) {
    // Any move answers the castling retry: the receiver has played on.
    if (enroquePendiente_) {
        enroquePendiente_ = false;
        d.enroque = Temporizador::Parar;
    }
    for (DatosMotor* m : {&motor1_, &motor2_})
        if (m->Comando == u"?") m->Comando.clear();
    if (lectura.larga) return;
    const QString error = TextosIdioma[texto::ErrorMotor] + " " + respuesta::Citar(linea);
    // Only the engine whose side is to move, while no person is to move, may move.
    if (tablero_.Turno != turno::Nadie || LadoAMover() != ranura) {
        Acabar(d, error, Icono::Parada);
        return;
    }
    if (nivel_().reloj) EncenderReloj(d, turno::Otro(ranura));
    Ranura(ranura).UltimaLinea = lectura.dato;
    tablero_.Turno = ranura;
    ultimoMovimiento_.clear();
    const auto jugada = xboard::LeerJugada(xboard::TextoJugada(lectura.dato), ranura, tablero_.Casillas);
    if (!jugada) {
        Acabar(d, error, Icono::Parada);
        return;
    }
    ultimoMovimiento_ = QString::fromStdString(jugada->origen + jugada->destino);
    TurnoDelColorLocal();
    ranuraJugada_ = ranura;
    lineaJugada_ = linea;
    textoJugada_ = jugada->texto;
    d.jugada = JugadaMotor{ranura, *jugada};
}

PartidaMotores::Decision PartidaMotores::JugadaEnTablero(Aplicada aplicada, bool enroque) {
    Decision d;
    switch (aplicada) {
        case Aplicada::Rechazada:
            Acabar(d, TextosIdioma[texto::ErrorMotor] + " " + respuesta::Citar(lineaJugada_), Icono::Parada);
            return d;
        case Aplicada::Fin: return Terminar();
        case Aplicada::Jugada: break;
    }
    historia_.Anotar(tablero_);
    TurnoDelColorLocal();
    ofertaVista_ = {};
    // An engine that moves has let the offer it was given go.
    ofertaRecibida_[size_t(ranuraJugada_ - 1)] = false;
    const int otra = turno::Otro(ranuraJugada_);
    if (Ranura(otra).Activo) {
        tablero_.Turno = turno::Nadie;
        PasarJugada(d, otra, textoJugada_, enroque);
    } else {
        tablero_.Turno = otra;
    }
    return d;
}

void PartidaMotores::PasarJugada(Decision& d, int receptor, const QString& jugada, bool enroque) {
    const bool reloj = nivel_().reloj;
    if (reloj && Contar(d, receptor)) return;
    if (enroque) {
        enroquePendiente_ = true;
        d.enroque = Temporizador::Arrancar;
    }
    Escribir(d, receptor, ConRelojes(receptor, jugada, reloj));
}

PartidaMotores::Decision PartidaMotores::ReintentarEnroque() {
    Decision d;
    d.enroque = Temporizador::Parar;
    if (ultimoMovimiento_ == u"e1c1") motor1_.UltimaLinea = "move o-o-o";
    if (ultimoMovimiento_ == u"e1g1") motor1_.UltimaLinea = "move o-o";
    if (ultimoMovimiento_ == u"e8c8") motor2_.UltimaLinea = "move o-o-o";
    if (ultimoMovimiento_ == u"e8g8") motor2_.UltimaLinea = "move o-o";
    // The castling the engine played, again in the words for a castling, for the other
    // engine: only a "move" line of coordinates ("move e1g1") is read this way.
    auto reintentar = [&](int mueve, const char* largo, const char* corto) {
        const QString& l = Ranura(mueve).UltimaLinea;
        if (l.size() != 9) return;
        const char* enroque = l.endsWith(QLatin1String(largo))   ? "O-O-O"
                              : l.endsWith(QLatin1String(corto)) ? "O-O"
                                                                 : nullptr;
        if (!enroque) return;
        const int receptor = turno::Otro(mueve);
        Escribir(d, receptor, ConRelojes(receptor, enroque, nivel_().reloj));
    };
    reintentar(turno::Blancas, "e1c1", "e1g1");
    reintentar(turno::Negras, "e8c8", "e8g8");
    enroquePendiente_ = false;
    return d;
}

PartidaMotores::Decision PartidaMotores::Tic(int lado) {
    Decision d;
    Contar(d, lado);
    return d;
}

// ---- Replies ----------------------------------------------------------------------------------

PartidaMotores::Decision PartidaMotores::Linea(int ranura, const QString& linea) {
    Decision d;
    respuesta::Estado estado;
    estado.activo1 = motor1_.Activo;
    estado.activo2 = motor2_.Activo;
    estado.enroquePendiente = enroquePendiente_;
    estado.esperandoRespuesta = esperandoRespuesta_;
    estado.sinJugadas = tablero_.Jugadas.List[1].empty();
    estado.esperaJugada = tablero_.Turno == turno::Nadie && LadoAMover() == ranura && Ranura(ranura).Activo;
    const respuesta::Lectura r = respuesta::Analizar(linea, estado, respuesta::JugadaDelTexto(Ranura(ranura).Comando));
    using respuesta::Clase;
    switch (r.clase) {
        case Clase::Ignorar: break;
        case Clase::NivelAlternativo: Escribir(d, ranura, "level 0 15 0"); break;
        case Clase::Error:
            Acabar(d, TextosIdioma[texto::ErrorMotor] + " " + respuesta::Citar(linea), Icono::Parada);
            break;
        case Clase::ErrorPeticion: {
            esperandoRespuesta_ = false;
            d.espera = Temporizador::Parar;
            const QString texto = DosMotores() ? TextosIdioma[texto::PeticionNoAdmitida] + "\r\n" +
                                                     respuesta::Citar(respuesta::Minusculas(linea))
                                               : MensajeNumero(texto::PeticionNoAdmitida);
            d.mensajes.push_back({texto, Icono::Informacion});
            break;
        }
        case Clase::Diagnostico:
            // Shown with the engine's output; the game goes on.
            d.diagnostico = respuesta::Citar(r.dato);
            break;
        case Clase::Caracteristica:
            if (const QString respuesta = xboard::RespuestaCaracteristicas(r.dato); !respuesta.isEmpty())
                Escribir(d, ranura, respuesta);
            break;
        case Clase::OfertaTablas: OfertaDeTablas(d, ranura); break;
        case Clase::Tablas: Acabar(d, MensajeNumero(texto::Tablas), Icono::Informacion, 0); break;
        case Clase::Pista:
            // Only the hint the person asked for, once.
            if (!pistaPedida_) break;
            pistaPedida_ = false;
            for (DatosMotor* m : {&motor1_, &motor2_})
                if (m->Comando == u"hint") m->Comando.clear();
            esperandoRespuesta_ = false;
            d.espera = Temporizador::Parar;
            d.mensajes.push_back({r.dato, Icono::Informacion});
            break;
        case Clase::Resultado: FinPorResultado(d, ranura, r.resultado, linea); break;
        case Clase::Abandono: Abandono(d, ranura); break;
        case Clase::Otra:
            if (enroquePendiente_) {
                enroquePendiente_ = false;
                d.enroque = Temporizador::Parar;
            } else if (esperandoRespuesta_) {
                esperandoRespuesta_ = false;
                d.espera = Temporizador::Parar;
            } else {
                d.pensamiento = r.pensamiento;
            }
            break;
        case Clase::Jugada: JugadaLeida(d, ranura, r, linea); break;
    }
    return d;
}

bool PartidaMotores::OfertaEnPie(int ranura) const {
    return (esperandoRespuesta_ && Ranura(ranura).Comando == u"draw") || ofertaRecibida_[size_t(ranura - 1)];
}

void PartidaMotores::OfertaDeTablas(Decision& d, int ranura) {
    DatosMotor& emisor = Ranura(ranura);
    const bool respondeOferta = OfertaEnPie(ranura);
    bool& vista = ofertaVista_[size_t(ranura - 1)];
    if (respondeOferta) {
        esperandoRespuesta_ = false;
        d.espera = Temporizador::Parar;
        emisor.Comando.clear();
    } else if (vista) {
        // An engine's offer is taken once between two moves, and not again while its
        // question waits.
        return;
    }
    vista = true;
    if (DosMotores()) {
        // An offer answered with an offer is a draw agreed between the engines.
        if (respondeOferta) {
            Acabar(d, MensajeNumero(texto::Tablas), Icono::Informacion, 0);
            return;
        }
        esperandoRespuesta_ = true;
        d.espera = Temporizador::Arrancar;
        Escribir(d, turno::Otro(ranura), "draw");
        ofertaRecibida_[size_t(turno::Otro(ranura) - 1)] = true;
        return;
    }
    if (!emisor.Activo) return;
    d.oferta = NombreMotor(ranura) + PartirEnDolar(TextosIdioma[texto::OfertaTablasMotor]).second;
}

PartidaMotores::Decision PartidaMotores::RespuestaOferta(bool acepta) {
    Decision d;
    // The game may have ended while the question was open.
    if (acepta && HayMotor()) Acabar(d, {}, Icono::Ninguno, 0);
    return d;
}

PartidaMotores::Decision PartidaMotores::SinRespuesta() {
    Decision d;
    d.espera = Temporizador::Parar;
    pistaPedida_ = false;
    for (const char* pendiente : {"draw", "hint", "?"})
        for (int n : {turno::Blancas, turno::Negras})
            if (Ranura(n).Comando == QLatin1String(pendiente))
                d.mensajes.push_back(
                    {MensajeNumero(pendiente[0] == 'd' ? texto::OfertaSinRespuesta : texto::PeticionSinRespuesta),
                     Icono::Informacion});
    esperandoRespuesta_ = false;
    return d;
}

// ---- The panel's commands -------------------------------------------------------------------

PartidaMotores::Decision PartidaMotores::Rendirse() {
    Decision d;
    if (DosMotores()) return d;
    if (!motor2_.Activo && (tablero_.Turno == turno::Nadie || !motor1_.Activo)) return d;
    // The engine that wins: the one that runs.
    const int motor = motor1_.Activo ? turno::Blancas : turno::Negras;
    Acabar(d, TextoAbandonoPersona(motor), Icono::Informacion, motor);
    return d;
}

PartidaMotores::Decision PartidaMotores::OfrecerTablas() {
    Decision d;
    if (DosMotores() || tablero_.Turno == turno::Nadie) return d;
    for (int n : {turno::Blancas, turno::Negras}) {
        if (!Ranura(n).Activo) continue;
        esperandoRespuesta_ = true;
        d.espera = Temporizador::Arrancar;
        Escribir(d, n, "draw");
    }
    return d;
}

PartidaMotores::Decision PartidaMotores::Retroceder() {
    Decision d;
    // The engines that play: the board takes back what the engine is told to take back.
    const bool motor1 = motor1_.Activo, motor2 = motor2_.Activo;
    const auto registros = tablero_.Jugadas.List1.size();
    if (tablero_.Turno == turno::Nadie || registros == 0) return d;
    if ((registros == 1 && motor1) || (motor1 && motor2)) return d;
    // Against an engine the person's move and the engine's answer go.
    d.retrocesos = motor1 || motor2 ? 2 : 1;
    historia_.Retirar(d.retrocesos);
    for (int n : {turno::Blancas, turno::Negras})
        if (Ranura(n).Activo) Escribir(d, n, "remove");
    return d;
}

PartidaMotores::Decision PartidaMotores::PedirPista() { return Pedir(true); }
PartidaMotores::Decision PartidaMotores::MoverYa() { return Pedir(false); }

PartidaMotores::Decision PartidaMotores::Pedir(bool pista) {
    Decision d;
    // A hint while the person is to move, a move at once while the engine thinks.
    if ((tablero_.Turno != turno::Nadie) != pista || DosMotores() || !HayMotor()) return d;
    for (int n : {turno::Blancas, turno::Negras})
        if (Ranura(n).Activo) Escribir(d, n, pista ? "hint" : "?");
    pistaPedida_ = pista;
    esperandoRespuesta_ = true;
    d.espera = Temporizador::Arrancar;
    return d;
}
