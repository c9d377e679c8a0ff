// Commands on standard input for the end-to-end tests, read while the program runs
// (TAVORIN_PRUEBA_ORDENES set). One command a line:
//
//   menu <item>                 runs a menu item or toolbar button of the main window
//                               by its name ("mnuNuevaPartida", "Toolbar1_8"), or of
//                               another window ("Cpu.Toolbar1_1")
//   boton <Form>.<Control>      clicks a button or option of a window ("Nuevo.Command1")
//   poner <Form>.<Control> <v>  sets a text box, or checks an option (v "1")
//   elegir <Form>.<Control> <v> picks the item of a list with that text, as a click
//   tecla <Form>.<Control> <k>  sends a key to a control ("Enter", one character, or a
//                               key by its name: "End", "Home", "PgUp", "PgDown")
//   chat <text>                 types a chat line and Enter
//   arrastrar <sq> <sq>         drags a piece on the board with the mouse ("f2 f3")
//   clic <sq>                   clicks a square
//   responder <n>               answers the box that is open (6 Yes, 7 No, 1 OK), or
//                               the next one
//   texto <v>                   answers the open input box, or the next one
//   dialogo [<path>]            answers the open file dialog, or the next one: picks
//                               the path, or cancels without one; prints
//                               "DIALOGO|<title>|<filter shown>"
//   soltar <where> <path>       drops a file on the board ("tablero") or on the main
//                               window ("ventana")
//   reloj <ms>                  moves the clock source on (TAVORIN_PRUEBA_RELOJ set)
//   estado                      prints the state (a line "ESTADO|key=value|...");
//                               "Lugares" holds each window shown as
//                               "<Form>:left,top,width,height" (pixels of the main
//                               window's area) and "Barras" the area's scroll bars
//   cerrar <Form>               closes a window by its close box
//   activar <Form>              brings a window shown to the front, as a click on it
//   salir                       closes the main window
//
// Each command ends with a line "OK <command>" (or "ERROR <command>"). A box prints
// "MENSAJE|<style>|<title>|<text>" and waits in a nested loop for its answer, as a
// real one does; while it is open only responder, texto, reloj and estado run, the
// other commands wait for it to close. With TAVORIN_PRUEBA_AVISOS set, boxes with
// only an OK button answer themselves; set to "todo", every box takes its default
// button at once. Sounds print "SONIDO|<file>"; a peer's move
// shown on the board prints "TRAZA|<ms>|JUGADA <digits>" and a drop "SOLTADA|<ms>",
// the times in milliseconds of the system's steady clock.
#pragma once

#include <QString>

// Starts reading commands when the environment asks for it.
void IniciarOrdenesPrueba();

// The state line of "estado".
QString EstadoPrueba();
