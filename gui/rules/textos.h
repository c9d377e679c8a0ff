// The numbers of the language texts (section Mensajes of a language file; TextosIdioma[n]
// in the windows) that the program names in its code. A message box given the number
// as its text shows that language text.
#pragma once

namespace texto {

// ---- Ends of a game -----------------------------------------------------------------
constexpr int MateBlancas = 1;           // checkmate, White wins
constexpr int MateNegras = 2;            // checkmate, Black wins
constexpr int Ahogado = 3;               // stalemate, a draw
constexpr int PartidaTerminada = 23;     // the game is over
constexpr int TiempoPropioAgotado = 29;  // your time is up: you lose
constexpr int TiempoRivalAgotado = 30;   // your opponent's time is up: you win
constexpr int Tablas = 95;               // the game is drawn

// ---- The connection ---------------------------------------------------------------------
constexpr int EsperaImposible = 4;       // cannot wait for a connection on the port
constexpr int ConexionImposible = 5;     // cannot connect to the opponent
constexpr int ConexionPerdida = 7;       // the connection was lost
constexpr int FaltaNick = 8;             // a nick is needed to play
constexpr int YaConectado = 9;           // already connected
constexpr int FaltaDireccion = 13;       // enter the address to connect to
constexpr int AhoraSeLlama = 31;         // "is now known as"
constexpr int NickLargo = 38;            // a nick of more than 9 characters
constexpr int Conectado = 39;            // "Connected"
constexpr int Version = 40;              // "version"
constexpr int Desconectado = 41;         // "Disconnected"
constexpr int SeHaConectadoCon = 42;     // "has connected with"
constexpr int DesconectarPuntuada = 53;  // a rated game is in progress: disconnect?
constexpr int SinRed = 68;               // no network, only 127.0.0.1
constexpr int PedirNick = 66;            // the nick question
constexpr int Nick = 67;                 // its title
constexpr int Estado = 78;               // "Status:"
constexpr int Retardo = 109;             // "Lag: $ s"
constexpr int SinConexion = 115;         // not connected to an opponent

// ---- Requests between the peers -----------------------------------------------------------
constexpr int PropuestaPuntuada = 10;      // a rated game of $ minutes is proposed
constexpr int PropuestaPuntuadaUno = 110;  // the same of one minute, in the singular
constexpr int NuevaPartidaRechazada = 11;  // the opponent declines the new game
constexpr int ProponerNuevaPartida = 12;   // a game is in progress: propose a new one?
constexpr int ConfirmarAbandono = 14;      // resign?
constexpr int AbandonoPropio = 15;         // you have resigned
constexpr int AbandonoRival = 16;          // your opponent has resigned
constexpr int ProponerTablas = 17;         // offer a draw?
constexpr int OfertaTablasRival = 18;      // your opponent offers a draw: accept?
constexpr int TablasAceptadas = 19;        // your opponent accepts the draw
constexpr int PeticionRechazada = 20;      // your opponent declines the request
constexpr int ColorBlancas = 21;           // "White"
constexpr int ColorNegras = 22;            // "Black"
constexpr int SinRelojes = 24;             // "without clocks"
constexpr int RivalQuiereCargar = 35;      // your opponent wants to load a file: agree?
constexpr int RivalSinEpd = 56;            // the opponent's program has no position lists
constexpr int PedirCargaEnPartida = 57;    // a game is in progress: ask to load the file?
constexpr int ChatDuranteCarga = 79;       // no messages while a game file loads
constexpr int EspereRespuesta = 81;        // wait for the answer to the last request
constexpr int PropuestaPartida = 87;       // a game is proposed ("$" between the parts)
constexpr int NuevaPartidaAceptada = 101;  // the opponent accepts the new game
constexpr int ListaEpdCerrada = 102;       // the opponent closed the position list
constexpr int RetrocesoPedido = 103;       // your opponent asks to take back a move
constexpr int RetrocesoAceptado = 104;     // the take-back is agreed
constexpr int RetrocesoRechazado = 105;    // the take-back is refused
constexpr int RivalSinRetroceso = 106;     // the opponent's program cannot take back

// ---- Files ----------------------------------------------------------------------------------
constexpr int FicheroNoExiste = 26;    // the file does not exist
constexpr int JugadaNoValida = 27;     // the game holds a move that is not valid
constexpr int NoSeEscribe = 28;        // cannot write the file ("$" where the name goes)
constexpr int ChatGuardado = 33;       // the chat has been saved
constexpr int PartidaGuardada = 34;    // the game has been saved
constexpr int ImagenGuardada = 37;     // the board picture has been saved
constexpr int AbrirPartida = 43;       // title: open a game
constexpr int PartidasDe = 44;         // "Games of" (file filter)
constexpr int GuardarComo = 45;        // title: save as
constexpr int FicherosTexto = 46;      // text files (file filter)
constexpr int TodosLosFicheros = 47;   // all files (file filter)
constexpr int Partidas = 48;           // "Games" (file filter)
constexpr int GuardarImagen = 49;      // title: save the board picture
constexpr int PartidasLeidas = 50;     // "games." after the count of a PGN file
constexpr int JugadaIlegible = 51;     // a move that cannot be read (the token follows)
constexpr int JugadaNoPermitida = 52;  // a move the rules refuse (the token follows)
constexpr int PosicionNoValida = 61;   // the position is not valid
constexpr int NadaCargado = 55;        // no game or position could be loaded
constexpr int PgnConectado = 58;       // no PGN files while connected
constexpr int EsperePorFavor = 69;     // "Please wait..."
constexpr int AsociarPgn = 70;         // open PGN files with the program?
constexpr int FicheroIlegible = 73;    // the file cannot be read
constexpr int NoConFichero = 80;       // not while a game file is shown
constexpr int Posiciones = 82;         // "Positions" (file filter)
constexpr int PrepararConectado = 83;  // no set-up while connected
constexpr int AsociarEpd = 85;         // open EPD files with the program?
constexpr int PartidaCargada = 86;     // a game is loaded; to move: (the colour follows)
constexpr int NoConListaPgn = 112;     // not while the PGN games are shown
constexpr int PreguntaColor = 59;      // which colour do you play? (the colours' letters end it: "(W/B)")
constexpr int ColorJugador = 60;       // its title

// ---- The program ------------------------------------------------------------------------------
constexpr int PielNoValida = 25;        // the chosen skin cannot be used
constexpr int FaltaSonido = 54;         // a sound file is missing ("$" between sentences)
constexpr int AyudaNoEncontrada = 63;   // the help is not found ("$" where the name goes)
constexpr int AyudaNoAbierta = 117;     // the help page could not be opened ("$" where the reason goes)
constexpr int PielOtroTamano = 64;      // the skin's pictures have another size: use it?
constexpr int PocosColores = 71;        // the screen has too few colours
constexpr int PantallaEstrecha = 72;    // the screen is too narrow
constexpr int VersionSinDescarga = 93;  // the version information could not be downloaded
constexpr int VersionNueva = 98;        // a new version is available: open its page?
constexpr int VersionAlDia = 99;        // this is the latest version
constexpr int BuscarVersion = 100;      // look for a new version? ("$" between sentences)

// ---- Engine games ------------------------------------------------------------------------------
constexpr int PartidaEnCurso = 84;        // a game is in progress; go on? ("$" between sentences)
constexpr int MotorNoArranca = 88;        // the engine cannot be started
constexpr int PeticionNoAdmitida = 89;    // the engine cannot handle the request
constexpr int ErrorMotor = 90;            // engine error, the game is stopped (the cause follows)
constexpr int MotorAbandona = 91;         // "$ resigns": the person wins
constexpr int AbandonaYGana = 92;         // "resigns. $ wins." (the winner at "$")
constexpr int OfertaTablasMotor = 94;     // "$ offers a draw": accept?
constexpr int OfertaSinRespuesta = 96;    // the engine did not answer the draw offer
constexpr int PeticionSinRespuesta = 97;  // the engine did not answer the request
constexpr int NoConPartidaMotor = 111;    // no file opens during a game against the engine
constexpr int SinPartidaEnCurso = 113;    // no game with an opponent is in progress
constexpr int SinJugadaAtras = 114;       // there is no move to take back
constexpr int PrepararConMotor = 116;     // no set-up during a game against the engine

// The last number of section Mensajes.
constexpr int UltimoTexto = 117;

}  // namespace texto
