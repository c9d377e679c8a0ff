// Tavorin: the board window. Its load step runs most of the program's start-up
// (options, language, skin, screen checks, file types, pictures, layout, window
// placement). It holds the picture sets of the board and the procedures that
// size, lay out and paint it.
#pragma once

#include "platform/Forma.h"

#include <QCursor>
#include <QImage>

#include <array>
#include <memory>
#include <string>

class ConectorTcp;
class PictureBox;
class QMimeData;
class QFrame;
class QLabel;
class QTimer;

namespace forms {

class Tavorin : public Forma {
    Q_OBJECT
    // One instance, made by its accessor.
    Tavorin();
    ~Tavorin() override;
    template <class T>
    friend T& ::InstanciaForma(T*&);

public:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    // The board window is never unloaded (the exit ends the program with it).
    bool Form_QueryUnload() override;

    // Options, language, skin and the other windows.
    void LeerOpciones();
    void SituarVentanas();
    void OcultarVentanas();
    void ElegirApariencia(const QString& nombre);
    void CambiarNick();

    // Pictures: the working set (R...), the skin loaded from a folder (S...) and the
    // built-in skin (O..., OCB, OCN).
    void CrearImagenes();
    void CopiarOriginales();
    void CopiarApariencia();
    // Start position into the board.
    void PonerFichas();

    // ---- Network play (its members are defined in gui/network/).
    // Makes the two sockets and the timers of network play (from the constructor).
    void CrearRed();
    // Ends the connection with the peer (client: "Close" queued; server: closed).
    void Desconectar();
    // Connects out to `ip` as client; false (the socket closed again) when the
    // connection cannot even be tried.
    bool ConectarCliente(const QString& ip);
    // Listens as server; false when the port cannot be had.
    bool Escuchar();
    void CerrarCliente();
    void CerrarServidor();
    // The outgoing queue's sender runs (one already running keeps its pace).
    void ArrancarEmisor();
    // The sockets' events.
    void WCli_Connect();
    void WSer_ConnectionRequest(long peticion);
    void WCli_DataArrival(long bytes);
    void WSer_DataArrival(long bytes);
    void WCli_SendComplete();
    void WSer_SendComplete();
    void WCli_Error(int numero, const QString& descripcion);
    void WSer_Error(int numero, const QString& descripcion);
    void WCli_Close();
    void WSer_Close();
    // A connection made, failed or closed.
    void AlConectar();
    void ErrorConexion(const QString& descripcion);
    void ConexionCerrada();
    // The outgoing queue: one message a tick, the next only once the last is sent.
    void Timer2_Timer();
    void OrdenarCola();
    void EnviarPorSocket(const QString& texto);
    void EnvioCompleto();
    void Ping_Timer();
    void TimerR_Timer();
    // The ranking of a new link has yet to be queued.
    bool RankingPendiente() const;
    // The receive dispatcher: acts on the message in DatosRecibidos.
    void ProcesarDatos();

    // ---- Game files (their members are defined in gui/files/).
    // Opens an own game file on the board and replays it.
    void AbrirTvp(const QString& ruta);
    // Sets up one EPD line as a game without clock.
    void AbrirEpd(const QString& linea);
    // One tick of the replay of an own game file, and one of its closing.
    void SendTvp_Timer();
    void TimerRetrasoTVP_Timer();
    // Files dropped on the board window or on the board: the first local file is
    // opened by its kind; data without files does nothing.
    void Form_OLEDragDrop(const QMimeData* datos);
    // The empty board over the board picture; `aviso` prints the waiting notice
    // (text 69) centred on it.
    void CubrirTablero(bool aviso);
    QTimer* SendTvp = nullptr;          // replay, 100 ms to 1500 ms
    QTimer* TimerRetrasoTVP = nullptr;  // end of the replay, 100 ms

    // Layout and drawing. Squares given to the drawing are display squares.
    // The working pictures made lado x lado pixels (blank until stretched).
    void TamanoImagenes(int lado);
    // The layout of start-up and of the deferred resize: the pictures stretched, the
    // window, board and labels laid out, squares and pieces painted, the window
    // painted in the colour scheme.
    void Disponer();
    void ResiceImagenes();
    void Resice();
    void LetrasNumeros();
    // The empty board (squares, border lines) on PicBuffer and Fondo; no pieces.
    void PaintTablero();
    // Every piece of the board on PicBuffer, or into BoardTemp(1) for the set-up
    // window and the PGN browser.
    void PaintFichas();
    // Every piece over freshly painted squares (no erasing, no frames).
    void PaintFichasResice();
    // One moved piece: erases the two squares (unless RepintarFichas) and draws the
    // piece on the destination, then frames the move (unless RepintarTablero).
    void RedibujarFichas(int xOrigen, int yOrigen, int xDestino, int yDestino, int ficha);
    // The last-move frames on two display squares; four zeros re-place the frames
    // shown (after a size change or a flip).
    void Marco(long x1, long y1, long x2, long y2);
    void QuitaMarco();
    // Ends the move in progress (the board picture is not touched).
    void MovimientoAnulado();
    // The game on the board is over for this side: its markers go and no game type or colour is left.
    void OlvidarPartida();
    // One piece (FichaOrigen) while the board is being flipped.
    void IdibujoFicha(long x, long y);
    // XDestino, YDestino = (x, y), mirrored while the board is shown inverted: turns a
    // display square into a board square and back.
    void FijarDestino(long x, long y);
    // Repaints the square of a pawn taken en passant ("xy", a board square).
    void SubComoFicha(const QString& casilla);
    // The deferred resize (one tick of Timer1).
    void Timer1_Timer();
    // A board window that the main window's area no longer shows whole is moved
    // so that the area shows as much of it as it can, its top-left corner always.
    void AlAreaVisible();
    // A side window (move list, chat, clocks, ranking, engine panel, PGN windows,
    // set-up, EPD list, colours) that covers the board window or another side window,
    // or that the main window's area does not show whole, goes beside the board
    // (lugares::Apartar): in the area where there is room, else past its edge, never
    // over the board; any other keeps its place. Runs when such a window opens.
    void ApartarDelTablero(Forma& ventana);
    // Every side window shown laid out again at once (lugares::Disponer), once the
    // board has been laid out again; after a change of its size (from
    // `tableroAntes`), those that stood against it or over it go beside it again.
    void ApartarVentanas(const QRect& tableroAntes);
    // The same with the board as it stands (the area changed, not the board).
    void ApartarVentanas();

    // Move input on the board picture (X, Y in pixels of PicBuffer; Button 1 left,
    // 2 right; State 1 when the pointer leaves the picture).
    void PicBuffer_MouseDown(int Button, int Shift, double X, double Y);
    void PicBuffer_MouseMove(int Button, int Shift, double X, double Y);
    void PicBuffer_DragOver(double X, double Y, int State);
    void PicBuffer_DragDrop(double X, double Y);
    // The drag of DragDro: 1 begins it, 0 cancels it, 2 ends it with a drop where
    // the pointer is (a peer request ends a drag this way).
    void DragDro_Drag(int accion);
    bool Arrastrando() const { return arrastrando_; }
    // 0 the arrow, 12 no drop, 99 the board's own cursor.
    void setMousePointer(int puntero);
    int MousePointer() const { return mousePointer_; }

    // The board's drawing of one piece (mask with AND, then the piece with XOR,
    // one square from their top-left corner).
    void DibujarPieza(QImage& destino, long x, long y, int ficha) const;
    // The whole board picture (8 x 8 squares) copied from one picture box to another.
    void CopiarTablero(PictureBox* destino, const PictureBox* fuente);
    // Both drag snapshots emptied.
    void BorrarTemporales();

    // What the other windows ask of the board picture.
    // The selection marker, and both last-move frames, hidden (where they are).
    void OcultarMarcador();
    void OcultarMarcos();
    // The empty board (no pieces) shown.
    void MostrarTableroVacio();
    // Shows what was drawn on the board picture.
    void RefrescarTablero();
    // The board's 8 x 8 squares as they show now: as the whole of snapshot n (0 or
    // 1), or drawn over it (CopiarTablero).
    void Instantanea(int n);
    void GuardarTablero(int n);
    // Snapshot 1 holds the empty board.
    void VaciarCopia();
    // Every piece over the empty board: painted in snapshot 1 and copied onto the
    // board picture when `enCopia`, else painted on the board picture itself; both
    // shown. PorCopia does the same through CopiarTablero, snapshot 1 being cut to
    // the board picture's size first.
    void RepintarDesdeFondo(bool enCopia);
    void RepintarPorCopia();
    // The board picture's drawing, at its size.
    QImage ImagenTablero() const;
    // The file letters and rank numbers round the board, from Black's side when `invertido`.
    void RotularBordes(bool invertido);
    // The layout again in a moment (the deferred resize).
    void DisponerLuego();

    PictureBox* PicBuffer;
    PictureBox* Fondo;
    std::array<PictureBox*, 2> BoardTemp{};
    QWidget* DragDro;       // the drag source: one square over the picked piece
    QCursor DragMano;       // drag icon over a legal target
    QCursor DragStop;       // drag icon over an illegal target
    QCursor CursorTablero;  // MousePointer 99
    QFrame* Margen;
    QFrame* Shape;
    std::array<QFrame*, 2> Shape1{};
    std::array<QLabel*, 8> Letras{};
    std::array<QLabel*, 8> Numeros{};
    QTimer* Timer1;               // deferred resize, 30 ms, off until an option change starts it
    QTimer* Timer2;               // outgoing message queue, 300 ms
    QTimer* Ping;                 // ping: 60 s on the server side, 65 s on the client side
    QTimer* TimerR;               // the ranking, 2.5 s after a connection, once
    ConectorTcp* WSer = nullptr;  // server socket
    ConectorTcp* WCli = nullptr;  // client socket

    std::array<QImage, 13> RFichas, RMascara, SFichas, SMascara, OFichas, OMascara;
    std::array<QImage, 3> RCuadro, SCuadro;
    QImage OCB, OCN;

    // The board window is what the rules ask of the windows (promotion, redraws,
    // move list, messages).
    class Anfitrion;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    // Files dropped on the board open as if dropped on the main window.
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

private:
    // The side windows shown laid out around the board (lugares::Disponer), `ultima`
    // (when one of them) making room after the others.
    void DisponerLaterales(Forma* ultima, const QRect& tableroAntes);
    bool Invertido() const;
    bool PointClick() const;
    // False when display square (x, y) holds a piece of the side not to move.
    bool CasillaSeleccionable(int x, int y) const;
    // True when display square (x, y) holds a piece of the side to move.
    bool PiezaDelTurno(int x, int y) const;
    void MarcarSeleccion(double x, double y);
    void ClicPreparar(int Button, double X, double Y, int x, int y);
    // What a legal local move does once it is drawn (sound, peer, engine, turn, end).
    void CompletarMovimiento(bool porClic);
    void CopiarCuadro(PictureBox* destino, const PictureBox* fuente, long x, long y);
    // The pawn on its last rank while the promotion chooser is open.
    void MostrarCoronacion();
    // The replay's timers and the drops on the board (gui/files/).
    void PrepararFicheros();

    std::unique_ptr<Anfitrion> anfitrion_;
    bool arrastrando_ = false;
    bool entradaRaton_ = false;  // a validation asked for by the mouse is running
    int mousePointer_ = 0;
};

}  // namespace forms

forms::Tavorin& Tavorin();

// The move's squares (XOrigen .. YDestino) between board and display orientation:
// mirrored while the board is shown inverted, unchanged otherwise.
void InvertirCoordenadas();
// RedibujarFichas for the move in the game state (XOrigen .. YDestino, FichaOrigen).
void RedibujarFichas();

// The file stem of piece picture 1 to 12 ("peonb" .. "reyn"), built in and in the
// skin folders alike; a mask's file adds "f". "" for any other code.
const char* NombreFicha(int pieza);

// Draws the lines between the board's squares on the board picture.
void PintarBordeTablero();

// The board size of the options dialog, always within 30..100.
int TamanoTablero();
