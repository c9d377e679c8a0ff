// Module Variables: the program-wide state of Tavorin's windows (paths, language
// texts, settings that live between windows), with the small helpers that start-up
// uses and other windows share. The start-up routine itself is shell/Arranque.h.
#pragma once

#include "rules/reglas.h"
#include "rules/textos.h"

#include <QString>

#include <array>
#include <functional>
#include <vector>

class Forma;

// ---- Paths and start-up -------------------------------------------------------
extern QString RutaApp;     // the program folder, with one trailing "/"
extern QString FicheroIni;  // RutaApp + "Default.ini"
extern QString SaltoLinea;  // "\r\n", set by the board window's load step
extern QString FicheroPgn;  // the command-line path when it names a PGN file
// Token list of an opened own game file; element 0 is not used, element 1 exists.
extern std::vector<QString> DatosPartida;

// ---- The game --------------------------------------------------------------------
// The one game-state block of the program (board, move in progress, side to move,
// rights, move-list texts): every window reads and writes it here.
rules::Reglas& Reglas();

// ---- Outgoing peer messages ---------------------------------------------------
// The queue the board window's sender empties (EncolarMensaje in gui/network/Red.h
// fills it, in the order of gui/network/Cola.h).
extern std::array<QString, 41> ColaEnvio;  // slots 1 to 40
extern long NumColaEnvio;

// ---- Settings kept between windows --------------------------------------------
extern QString DirectorioFicheros;  // last folder of the file dialogs, trailing "/"
extern QString TipoFichero;         // last filter index of the file dialogs, as text
extern QString NickLocal;

// ---- Language -----------------------------------------------------------------
// The texts of section Mensajes, from 1.
extern std::array<QString, texto::UltimoTexto + 1> TextosIdioma;
extern std::array<QString, 3> TextosNivel;  // keys 19 and 20 of section CPU
extern std::array<QString, 4> TextosTab;    // keys 10 to 12 of section Pgn
extern QString AparienciaActual;            // list entry of the built-in skin, "(...)"
extern QString TextoSinMotor;               // engine list entry meaning "no engine"
extern QString FicheroIdioma;               // path of the language file in use

// ---- Skins and board layout ---------------------------------------------------
extern QString CarpetaApariencia;  // folder of the chosen skin, trailing "/"
extern bool CambiandoIdioma;       // the options dialog is switching the language
extern bool TamanoCambiado;        // the board size changed: the deferred resize redoes frames
extern bool RepintarTablero;       // the next piece redraw draws no move frames
extern bool RepintarFichas;        // a whole-board piece repaint is running
extern long AnchoCasilla;          // square size in pixels
extern long AltoCasilla;
extern bool RetrocesoEnCurso;  // a take-back is running: move frames get board squares

// ---- Game files, set-up and network requests ----------------------------------
extern bool ModoPreparar;      // the set-up window is open
extern long FichaPaleta;       // piece chosen in the set-up palette, 0 none
extern bool PartidaDeFichero;  // a game or position from a file is on the board
extern bool PosicionPreparada;
extern bool SalirPendiente;  // exit again once the connection has closed
// The child windows stand at their places from Default.ini: until then an exit
// (a failed start-up check) stores nothing, so no place is written over the user's.
extern bool VentanasSituadas;
extern bool NuevoPendiente;
extern bool RetrocesoPendiente;
extern QString FicheroPendiente;
extern QString VersionRival;
extern QString NickRival;  // the peer's nick as its messages name it, "" unknown
// The local colour of the last game with the peer once it has ended ("Blancas" or
// "Negras"), kept while that game stays on the board: its players' names are still known.
extern std::string ColorUltimaPartidaRed;

// ---- Board input ----------------------------------------------------------------
extern QString ReySeleccionado;  // set-up: the king picked up to be moved ("xy"), "" none
extern bool ArrastreCancelado;   // a peer request ended the drag under way

// ---- Game clocks ----------------------------------------------------------------
extern long MinutosBlancas, SegundosBlancas, MinutosNegras, SegundosNegras;

// ---- Start-up -----------------------------------------------------------------
// The program's command line: its arguments joined by blanks.
extern QString LineaComandos;
// Sets RutaApp and FicheroIni.
void FijarRutaIni();
// True when the file exists. An empty path is a language file that could not be
// found: the user is told and the main window unloaded. A missing Default.ini is
// told while no language is read yet.
bool ExisteFichero(const QString& ruta);
// True when the file may be written (a missing file may be created). Tells the
// user with text 28 when it may not. Changes nothing on the file.
bool FicheroEscribible(const QString& ruta);
// Tells the user with text 28 and the file's name (no folder) that the file cannot
// be written.
void AvisarNoEscribible(const QString& ruta);
// Centres a window in the main window (leaves it where it is while no main window
// is bound).
void CentrarVentana(Forma& ventana);

// ---- The main window ----------------------------------------------------------
// What the modules below the windows ask of the main window. The main window binds
// it once, from its own file; unbound, closing does nothing.
struct Principal {
    std::function<void()> cerrar;          // its Unload: the exit sequence
    std::function<double()> ancho;         // outer width, twips
    std::function<double()> altoInterior;  // height of its MDI area, twips
};
// Binds it; returns the binding it replaces.
Principal EnlazarPrincipal(Principal principal);
// Unloads the main window: the exit sequence, which ends the program.
void CerrarPrincipal();
// The long form of a path: the canonical path of an existing file, "" otherwise.
QString RutaLarga(const QString& ruta);
// Elapsed-time counter in microseconds: -1 gives a reading, a reading gives the
// time since it (0 when the difference does not fit 32 bits).
long TiempoTranscurrido(long inicio);

// The command line as Tavorin reads it: a path without its enclosing quotes, case
// kept. An opening quote without a closing one loses only the opening quote.
QString ProcesarLineaComandos(const QString& linea);
// Lower-cased last three characters: the file kind of a path.
QString ExtensionDe(const QString& ruta);

// Ends the program at once with the given status.
[[noreturn]] void Terminar(int estado);

// Registers the pictures built into the program (main and tests call it once).
void IniciarRecursos();

// ---- For tests ----------------------------------------------------------------
// The program folder; the executable's folder unless set.
QString CarpetaPrograma();
void FijarCarpetaPrograma(const QString& carpeta);
// Called by Terminar before the process ends; a test may throw from it.
extern std::function<void(int)> AlTerminar;
